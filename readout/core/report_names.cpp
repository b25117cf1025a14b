#include "readout/core/report_names.h"

#include <cstdio>
#include <string_view>

namespace ulvo {

namespace {

std::string MonthText(const ReportNaming& n) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d-%2d%02d", n.month, n.monthCentury, n.monthYear);
  return buffer;
}

}  // namespace

std::string ReportTitle(const ReportNaming& n) {
  std::string title = "Raport okresowy z drukarki ";
  if (n.mavito) title += "ULVO MAVITO 60K";
  if (n.ecopy) title += " KE";
  if (!n.uniqueNumber.empty()) title += " o numerze unikatowym " + n.uniqueNumber;
  if (n.byNumbers) {
    title += " od nr " + std::to_string(n.firstNumber) + " do nr " + std::to_string(n.lastNumber);
  } else if (n.monthly) {
    title += " z miesiąca " + MonthText(n);
  } else {
    title += " od dnia " + DateText(n.firstDate) + " do dnia " + DateText(n.lastDate);
  }
  if (n.emergency) title += " - raport awaryjny";
  return title + ".";
}

std::string ReportFileName(const ReportNaming& n) {
  std::string name = "MAVITO_";
  // The unique number comes from the printer: nothing of it may make a folder or a name
  // that Windows refuses.
  for (char ch : n.uniqueNumber) {
    name += std::string_view("/\\:*?\"<>|").find(ch) == std::string_view::npos ? ch : '_';
  }
  if (n.byNumbers) {
    name += "_Nr_" + std::to_string(n.firstNumber) + "_" + std::to_string(n.lastNumber);
  } else if (n.monthly) {
    name += "_Miesiac_" + MonthText(n);
  } else {
    name += "_Daty_" + DateText(n.firstDate) + "_" + DateText(n.lastDate);
  }
  if (n.emergency) name += "_Awaryjny";
  return name + ".txt";
}

ReportNaming NamingOf(const ReportContext& c, bool mavito) {
  ReportNaming n;
  n.mavito = mavito;
  n.ecopy = c.ecopy;
  n.emergency = c.emergency;
  n.monthly = c.monthly;
  n.byNumbers = c.byNumbers;
  // A printer without a unique number sends blanks.
  std::string unique = c.uniqueNumber;
  while (!unique.empty() && unique.back() == ' ') unique.pop_back();
  n.uniqueNumber = unique;
  n.monthCentury = c.from.century;
  n.monthYear = c.from.year;
  n.month = c.from.month;
  n.firstNumber = c.firstNumber;
  n.lastNumber = c.lastNumber;
  n.firstDate = c.firstDate;
  n.lastDate = c.lastDate;
  return n;
}

}  // namespace ulvo
