#pragma once
// What the printer data readout dialogs show, as UTF-8 texts built from the link's state.

#include <cstdint>
#include <string>

#include "link/link.h"

namespace ulvo {

// Every field of the cash information dialog.
struct CashInfoTexts {
  std::string mode;  // "Fiskalny" / "Szkoleniowy"
  std::string trfFlag;
  std::string lastError;
  std::string ramResets;
  std::string cash;
  std::string uniqueNumber;  // eleven blanks show as "BRAK"
  std::string ptu[7];
  std::string totals[7];
  std::string totalZ;
  std::string recordDate;  // "dd-mm-20yy", "Brak" for 0-0-0
  std::string receiptCount;
};

// The Mavito family (printerType 2) shows PTU rates through FormatPtuRate; the others as "%3.2f".
CashInfoTexts FormatCashInfo(const CashInfo& info, std::uint8_t printerType);

// The last error dialog: "???" and "Brak odpowiedzi od drukarki." when no reply came (-1).
struct ErrorCodeTexts {
  std::string code;
  std::string description;
};
ErrorCodeTexts FormatLastErrorCode(std::int32_t code);

// The printer's clock: "20yy-mm-dd" and "hh:mm".
std::string FormatPrinterDate(int year2, int month, int day);
std::string FormatPrinterTime(int hour, int minute);

}  // namespace ulvo
