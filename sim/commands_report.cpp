// The daily report (#r) and the clock correction ($c) that only a fresh report allows.

#include <cstdlib>

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr std::size_t kFiscalMemoryRecords = 2100;  // a fiscal memory holds about this many
constexpr long kMaxCorrectionSeconds = 70 * 60;

// "P0#r" (no date) or "P1;yy;mm;dd#r" (the date the operator confirmed).
int DailyReport(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.empty() || !ctx.frame.args.empty()) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  std::tm today = PrinterClock(s, ctx.now);
  int year = today.tm_year + 1900, month = today.tm_mon + 1, day = today.tm_mday;
  if (p[0] == 1) {
    if (p.size() != 4) return kErrParameterCount;
    int y = 2000 + static_cast<int>(p[1]), m = static_cast<int>(p[2]), d = static_cast<int>(p[3]);
    if (p[1] > 99 || !ValidDateTime(y, m, d, 0, 0, 0)) return kErrBadDate;
    // The confirmed date must be the printer's own: a report is never filed under another day.
    if (y != year || m != month || d != day) return kErrClock;
  } else if (p[0] != 0 || p.size() != 1) {
    return kErrParameter;
  }
  if (!s.fiscalMemory.empty()) {
    const DailyRecord& last = s.fiscalMemory.back();
    if (year * 10000 + month * 100 + day < last.year * 10000 + last.month * 100 + last.day) {
      return kErrDateEarlier;
    }
  }
  if (s.fiscalMemory.size() >= kFiscalMemoryRecords) return 6;
  DailyRecord record;
  record.year = year;
  record.month = month;
  record.day = day;
  record.hour = today.tm_hour;
  record.minute = today.tm_min;
  record.totals = s.totals;
  record.receipts = s.receiptCount - s.receiptCountAtReport;
  record.ptu = s.ptu;
  record.rateMarker = s.ptuChanges + 1;
  record.currency = s.accountingCurrency;
  s.receiptCountAtReport = s.receiptCount;
  s.fiscalMemory.push_back(record);
  for (std::int64_t& total : s.totals) {
    s.totalZ += total;
    total = 0;
  }
  ++s.dailyReports;
  s.lastRecordYear = year % 100;
  s.lastRecordMonth = month;
  s.lastRecordDay = day;
  s.clockCorrectionAllowed = true;
  Print(s, "Raport dobowy");
  ApplyScheduledCurrency(s, ctx.now);
  return kCarriedOut;
}

// "P<yy>;<mm>;<dd>;<hh>;<mi>;<ss>$c"
int ClockCorrection(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.size() != 6 || !ctx.frame.args.empty()) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p[0] > 99) return kErrBadDate;
  int v[6];
  for (int i = 0; i < 6; ++i) v[i] = static_cast<int>(p[i]);
  if (!ValidDateTime(2000 + v[0], v[1], v[2], v[3], v[4], v[5])) return kErrBadDate;
  if (!s.clockCorrectionAllowed) return kErrClockCorrectionNotAfterReport;
  std::tm wanted{};
  wanted.tm_year = 100 + v[0];
  wanted.tm_mon = v[1] - 1;
  wanted.tm_mday = v[2];
  wanted.tm_hour = v[3];
  wanted.tm_min = v[4];
  wanted.tm_sec = v[5];
  wanted.tm_isdst = -1;
  std::time_t target = std::mktime(&wanted);
  if (target == static_cast<std::time_t>(-1)) return kErrBadDate;
  std::time_t current = std::chrono::system_clock::to_time_t(ctx.now + s.clockOffset);
  long diff = static_cast<long>(target - current);
  if (std::labs(diff) > kMaxCorrectionSeconds) return kErrClockCorrectionTooBig;
  s.clockOffset += std::chrono::seconds(diff);
  s.clockCorrectionAllowed = false;  // one correction per report
  return kCarriedOut;
}

}  // namespace

void AddReportCommands(CommandTable& table) {
  table.Add("#r", {CheckRule::kRequired, DailyReport, false});
  table.Add("$c", {CheckRule::kRequired, ClockCorrection, false});
}

}  // namespace ulvo
