#pragma once
// The title and the file name of a finished readout, built from the request and what the
// records said.

#include <string>

#include "readout/core/report_text.h"

namespace ulvo {

struct ReportNaming {
  bool mavito = true;  // PrinterType 2
  bool ecopy = false;
  bool emergency = false;
  bool monthly = false;
  bool byNumbers = false;
  std::string uniqueNumber;  // empty when none was read
  int monthCentury = 20, monthYear = 0, month = 0;
  std::uint32_t firstNumber = 0, lastNumber = 0;
  fiscal::PackedDate firstDate, lastDate;
};

// "Raport okresowy z drukarki ULVO MAVITO 60K KE o numerze unikatowym ... od dnia ... ."
std::string ReportTitle(const ReportNaming& n);
// "MAVITO_<unique>_Daty_<first>_<last>.txt" and its kin.
std::string ReportFileName(const ReportNaming& n);

// The naming of a pass's context.
ReportNaming NamingOf(const ReportContext& c, bool mavito);

}  // namespace ulvo
