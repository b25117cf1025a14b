#pragma once
// The "#o" periodic report: printed by the printer or sent over the line for a readout.

#include <cstdint>
#include <string>

#include "link/frame_list.h"
#include "readout/core/fiscal_readout.h"

namespace ulvo {

struct PeriodicReportFields {
  enum class Range { kMonth, kDates, kNumbers } range = Range::kMonth;
  std::string monthText;     // "mm-rrrr"
  std::string fromDateText;  // "dd-mm-rrrr"
  std::string toDateText;
  std::string fromNumber, toNumber;  // as typed
  bool emergency = false;
  bool fullReport = true;
  bool nonFiscal = false;  // "Niefiskalny raport sprzedaży" (print dialog, bus printers)
  unsigned long baudRate = 115200;
};

// The two "Data spoza zakresu" messages (the from year, the to year).
inline constexpr const char* kFromYearOutOfRange = "     Data spoza zakresu     ";
inline constexpr const char* kToYearOutOfRange = "    Data spoza zakresu     ";
inline constexpr const char* kReadoutNotAvailable =
    "Ta funkcja jest niedostępna dla tego modelu drukarki fiskalnej.";

// The print dialog's frame.
FrameList BuildPeriodicReport(const PeriodicReportFields& f, std::uint8_t printerType,
                              bool busMode);

// The readout dialog's request frame; `request` receives what the reader needs.
FrameList BuildPeriodicReadout(const PeriodicReportFields& f, ReadoutRequest& request);

}  // namespace ulvo
