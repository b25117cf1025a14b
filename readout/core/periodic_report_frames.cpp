#include "readout/core/periodic_report_frames.h"

#include <cstdio>

#include "link/frame.h"

namespace ulvo {

namespace {

constexpr bool kCheck = true;

struct Dates {
  int fromYear = 0, fromMonth = 0, fromDay = 0;
  int toYear = 0, toMonth = 0, toDay = 0;
  int flags = 0;
};

bool YearInRange(int year) {
  return year >= 1980 && year <= 2079;
}

// Reads and checks the dates; a field that does not read as numbers is out of range.
// Empty on success, else the message.
std::string ReadDates(const PeriodicReportFields& f, Dates& d) {
  using Range = PeriodicReportFields::Range;
  const bool fromRead = std::sscanf(f.fromDateText.c_str(), "%2d-%2d-%4d", &d.fromDay, &d.fromMonth,
                                    &d.fromYear) == 3;
  const bool toRead =
      std::sscanf(f.toDateText.c_str(), "%2d-%2d-%4d", &d.toDay, &d.toMonth, &d.toYear) == 3;
  bool monthRead = false;
  if (f.range == Range::kMonth) {
    monthRead = std::sscanf(f.monthText.c_str(), "%2d-%4d", &d.fromMonth, &d.fromYear) == 2;
  }
  if (f.range != Range::kNumbers) {
    const bool read = f.range == Range::kMonth ? monthRead : fromRead;
    if (!read || !YearInRange(d.fromYear)) return kFromYearOutOfRange;
    d.fromYear %= 100;
  }
  if (f.range == Range::kDates) {
    if (!toRead || !YearInRange(d.toYear)) return kToYearOutOfRange;
    d.toYear %= 100;
  }
  if (!f.fullReport) d.flags |= 1;
  if (f.emergency) d.flags |= 2;
  if (f.range == Range::kNumbers) d.flags |= 4;
  if (f.range == Range::kMonth) d.fromDay = d.toDay = d.toMonth = d.toYear = 0;
  if (f.range == Range::kNumbers) d = Dates{0, 0, 0, 0, 0, 0, d.flags};
  return {};
}

}  // namespace

FrameList BuildPeriodicReport(const PeriodicReportFields& f, std::uint8_t printerType,
                              bool busMode) {
  FrameList list;
  Dates d;
  list.error = ReadDates(f, d);
  if (list.Refused()) return list;
  if (f.nonFiscal && busMode) d.flags |= 16;
  if (f.range != PeriodicReportFields::Range::kNumbers) {
    list.Add(kCheck, "%cP%d;%d;%d;%d;%d;%d;%d#oxx%c%c", kEsc, d.fromYear, d.fromMonth, d.fromDay,
             d.toYear, d.toMonth, d.toDay, d.flags, kEsc, kBackslash);
    return list;
  }
  const std::string from = list.Field(f.fromNumber, false, 0);
  const std::string to = list.Field(f.toNumber, false, 0);
  if (list.Refused()) return list;
  if (printerType == 0) {
    list.Add(kCheck, "%cP0;0;%s;0;0;%s;%d#oxx%c%c", kEsc, from.c_str(), to.c_str(),
             f.fullReport ? 2 : 3, kEsc, kBackslash);
  } else {
    list.Add(kCheck, "%cP%d#o%s/%s/xx%c%c", kEsc, d.flags, from.c_str(), to.c_str(), kEsc,
             kBackslash);
  }
  return list;
}

FrameList BuildPeriodicReadout(const PeriodicReportFields& f, ReadoutRequest& request) {
  using Range = PeriodicReportFields::Range;
  FrameList list;
  Dates d;
  list.error = ReadDates(f, d);
  if (list.Refused()) return list;
  request.emergency = f.emergency;
  request.monthly = f.range == Range::kMonth;
  request.fullReport = f.fullReport;
  request.byNumbers = f.range == Range::kNumbers;
  request.fromYear = d.fromYear;
  request.fromMonth = d.fromMonth;
  request.fromDay = d.fromDay;
  request.toYear = d.toYear;
  request.toMonth = d.toMonth;
  request.toDay = d.toDay;
  if (f.range != Range::kNumbers) {
    list.Add(kCheck, "%cP%d;%d;%d;%d;%d;%d;%d;128#o\r\r%lu/xx%c%c", kEsc, d.fromYear, d.fromMonth,
             d.fromDay, d.toYear, d.toMonth, d.toDay, d.flags, f.baudRate, kEsc, kBackslash);
    return list;
  }
  const std::string from = list.Field(f.fromNumber, false, 0);
  const std::string to = list.Field(f.toNumber, false, 0);
  if (list.Refused()) return list;
  list.Add(kCheck, "%cP%d;0;0;0;0;0;0;128#o%s/%s/\r\r%lu/xx%c%c", kEsc, d.flags, from.c_str(),
           to.c_str(), f.baudRate, kEsc, kBackslash);
  return list;
}

}  // namespace ulvo
