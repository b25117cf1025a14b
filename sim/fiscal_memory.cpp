#include "sim/fiscal_memory.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "common/local_time.h"
#include "link/fiscal_control_number.h"

namespace ulvo {

namespace {

using namespace fiscal;

void Put8(std::string& b, std::size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
}

void Put16(std::string& b, std::size_t at, unsigned v) {
  Put8(b, at, v);
  Put8(b, at + 1, v >> 8);
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// Amounts beyond 32 bits cannot be written; the record says as much as it can hold.
std::uint32_t Clamp32(std::int64_t v) {
  if (v < 0) return 0;
  return v > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<std::uint32_t>(v);
}

void PutDate(std::string& b, std::size_t at, int year2, int month, int day) {
  Put8(b, at, 20);
  Put8(b, at + 1, static_cast<unsigned>(year2));
  Put8(b, at + 2, static_cast<unsigned>(month));
  Put8(b, at + 3, static_cast<unsigned>(day));
}

void PutTime(std::string& b, std::size_t at, int hour, int minute) {
  Put8(b, at, static_cast<unsigned>(minute));
  Put8(b, at + 1, static_cast<unsigned>(hour));
}

void PutText(std::string& b, std::size_t at, std::string_view text, std::size_t room) {
  b.replace(at, std::min(text.size(), room), text.substr(0, room));
}

// PTU contained in a gross amount at `rate` (hundredths of a percent), rounded half up.
std::int64_t PtuOf(std::int64_t gross, int rate) {
  if (rate <= 0 || rate >= kPtuTaxFree) return 0;
  std::int64_t denominator = 10000 + rate;
  return (gross * rate * 2 + denominator) / (2 * denominator);
}

struct Sums {
  std::int64_t due = 0, ptu = 0;
};

Sums ReportSums(const DailyRecord& r) {
  Sums s;
  for (int i = 0; i < kPtuCount; ++i) {
    s.due += r.totals[i];
    s.ptu += PtuOf(r.totals[i], r.ptu[i]);
  }
  return s;
}

bool InRange(const FiscalRange& range, const DailyRecord& r, long number) {
  long key = (r.year % 100) * 10000L + r.month * 100L + r.day;
  switch (range.kind) {
    case FiscalRange::Kind::kNumbers:
      return number >= range.fromNumber && number <= range.toNumber;
    case FiscalRange::Kind::kMonth:
      return r.year % 100 == range.fromYear && r.month == range.fromMonth;
    case FiscalRange::Kind::kDates:
      return key >= range.fromYear * 10000L + range.fromMonth * 100L + range.fromDay &&
             key <= range.toYear * 10000L + range.toMonth * 100L + range.toDay;
  }
  return false;
}

// The range and closing records share their layout.
std::string RangeBody(const FiscalRange& range, const std::vector<const DailyRecord*>& reports,
                      long firstNumber, long lastNumber, Sums sums) {
  std::string b(RecordBodySize(kRange, false), '\0');
  Put16(b, kSumReports, static_cast<unsigned>(reports.size()));
  Put32(b, kSumDueHigh, Clamp32(sums.due / kLowPartLimit));
  Put32(b, kSumDueLow, Clamp32(sums.due % kLowPartLimit));
  Put32(b, kSumPtuHigh, Clamp32(sums.ptu / kLowPartLimit));
  Put32(b, kSumPtuLow, Clamp32(sums.ptu % kLowPartLimit));
  switch (range.kind) {
    case FiscalRange::Kind::kDates:
      PutDate(b, kSumRangeStart, range.fromYear, range.fromMonth, range.fromDay);
      PutDate(b, kSumRangeEnd, range.toYear, range.toMonth, range.toDay);
      break;
    case FiscalRange::Kind::kMonth:
      PutDate(b, kSumRangeStart, range.fromYear, range.fromMonth, 1);
      PutDate(b, kSumRangeEnd, range.fromYear, range.fromMonth, 31);
      break;
    case FiscalRange::Kind::kNumbers:
      if (!reports.empty()) {
        const DailyRecord& f = *reports.front();
        const DailyRecord& l = *reports.back();
        PutDate(b, kSumRangeStart, f.year % 100, f.month, f.day);
        PutDate(b, kSumRangeEnd, l.year % 100, l.month, l.day);
      }
      break;
  }
  if (!reports.empty()) {
    const DailyRecord& f = *reports.front();
    const DailyRecord& l = *reports.back();
    PutDate(b, kSumFirstReport, f.year % 100, f.month, f.day);
    PutTime(b, kSumFirstReport + 4, f.hour, f.minute);
    PutDate(b, kSumLastReport, l.year % 100, l.month, l.day);
    PutTime(b, kSumLastReport + 4, l.hour, l.minute);
    Put32(b, kSumFirstNumber, static_cast<std::uint32_t>(firstNumber));
    Put32(b, kSumLastNumber, static_cast<std::uint32_t>(lastNumber));
  }
  return b;
}

// Sums from the first report of the fiscal memory up to one report: the electronic copy's
// running totals.
struct Running {
  std::array<std::int64_t, kPtuCount> ptu{};
  std::int64_t ptuTotal = 0, due = 0;
};

void Put48(std::string& b, std::size_t at, std::int64_t v) {
  std::uint64_t u = v < 0 ? 0 : static_cast<std::uint64_t>(v) & 0xFFFFFFFFFFFFULL;
  Put32(b, at, static_cast<std::uint32_t>(u & 0xFFFFFFFFu));
  Put16(b, at + 4, static_cast<unsigned>(u >> 32));
}

std::vector<Running> RunningTotals(const std::vector<DailyRecord>& memory) {
  std::vector<Running> out;
  out.reserve(memory.size());
  Running r;
  for (const DailyRecord& d : memory) {
    for (int i = 0; i < kPtuCount; ++i) {
      std::int64_t ptu = Clamp32(PtuOf(d.totals[i], d.ptu[i]));
      r.ptu[i] += ptu;
      r.ptuTotal += ptu;
      r.due += d.totals[i];
    }
    out.push_back(r);
  }
  return out;
}

std::string DailyBody(const DailyRecord& r, long number, bool ecopy, const Running& running) {
  std::string b(fiscal::RecordBodySize(fiscal::kDaily, ecopy), '\0');
  Put8(b, kDailyRateMarker, static_cast<unsigned>(r.rateMarker));
  Put16(b, kDailyNumber, static_cast<unsigned>(number));
  PutDate(b, kDailyDate, r.year % 100, r.month, r.day);
  PutTime(b, kDailyTime, r.hour, r.minute);
  Put16(b, kDailyReceipts, static_cast<unsigned>(std::min<std::int64_t>(r.receipts, 0xFFFF)));
  std::int64_t due = 0;
  for (int i = 0; i < kPtuCount; ++i) {
    std::int64_t ptu = PtuOf(r.totals[i], r.ptu[i]);
    Put32(b, kDailyPtu + 4 * i, Clamp32(ptu));
    Put32(b, kDailyNet + 4 * i, Clamp32(r.totals[i] - ptu));
    due += r.totals[i];
  }
  Put32(b, kDailyDue, Clamp32(due));
  if (ecopy) {
    Put16(b, fiscal::kDailyRunningFirst, 1);
    Put16(b, fiscal::kDailyRunningLast, static_cast<unsigned>(number));
    for (int i = 0; i < kPtuCount; ++i) Put48(b, fiscal::kDailyRunningPtu + 6 * i, running.ptu[i]);
    Put48(b, fiscal::kDailyRunningPtuTotal, running.ptuTotal);
    Put48(b, fiscal::kDailyRunningDue, running.due);
  }
  return b;
}

int RateKind(int rate) {
  return rate == kPtuNotUsed   ? fiscal::kRateNotUsed
         : rate == kPtuTaxFree ? fiscal::kRateExempt
                               : fiscal::kRateTaxed;
}

std::string RatesBody(const DailyRecord& r) {
  std::string b(RecordBodySize(kRates, false), '\0');
  PutDate(b, kRatesDate, r.year % 100, r.month, r.day);
  for (int i = 0; i < kPtuCount; ++i) {
    int rate = r.ptu[i];
    Put16(b, kRatesValue + 2 * i, rate < kPtuTaxFree ? static_cast<unsigned>(rate) : 0);
    Put8(b, kRatesKind + i, static_cast<unsigned>(RateKind(rate)));
  }
  return b;
}

std::string TextBody(std::size_t size, std::string_view text) {
  std::string b(size, '\0');
  PutText(b, 0, text, size - 1);  // the last byte is the check
  return b;
}

}  // namespace

std::size_t FiscalRecordBodySize(int type, bool ecopy) {
  return fiscal::RecordBodySize(type, ecopy);
}

std::string FiscalRecord(int type, std::string body, bool ecopy, bool damaged) {
  std::size_t size = FiscalRecordBodySize(type, ecopy);
  body.resize(size, '\0');
  if (size == 0) return {};
  unsigned sum = 0xFF;
  for (std::size_t i = 0; i + 1 < size; ++i) sum += static_cast<unsigned char>(body[i]);
  body[size - 1] = static_cast<char>((0x100 - (sum & 0xFF)) & 0xFF);
  std::string out(1, static_cast<char>(type | (damaged ? 0x80 : 0)));
  return out + body;
}

bool FiscalRecordCheckOk(std::string_view body) {
  return fiscal::RecordCheckOk(body);
}

std::vector<std::vector<std::string>> BuildFiscalStream(const PrinterState& s,
                                                        const FiscalRange& range,
                                                        std::chrono::system_clock::time_point now) {
  bool ecopy = s.variant.ecopy;
  const std::vector<Running> running =
      ecopy ? RunningTotals(s.fiscalMemory) : std::vector<Running>(s.fiscalMemory.size());
  // The reports in range, split into runs of one accounting currency: one pass each.
  struct Run {
    std::vector<const DailyRecord*> reports;
    long firstNumber = 0, lastNumber = 0;
  };
  std::vector<Run> runs;
  for (std::size_t i = 0; i < s.fiscalMemory.size(); ++i) {
    const DailyRecord& r = s.fiscalMemory[i];
    long number = static_cast<long>(i + 1);
    if (!InRange(range, r, number)) continue;
    if (runs.empty() || runs.back().reports.back()->currency != r.currency) {
      runs.push_back({{}, number, number});
    }
    runs.back().reports.push_back(&r);
    runs.back().lastNumber = number;
  }
  if (runs.empty()) runs.push_back({});

  std::time_t t = std::chrono::system_clock::to_time_t(now + s.clockOffset);
  const std::tm clock = LocalTime(t);
  std::string reference(8, '\0');
  PutDate(reference, kReferenceDate, clock.tm_year % 100, clock.tm_mon + 1, clock.tm_mday);
  PutTime(reference, kReferenceTime, clock.tm_hour, clock.tm_min);
  std::string mode(10, '\0');
  mode[0] = s.fiscal ? 0 : 1;
  std::string type = s.typeVersionText.empty() ? DefaultTypeVersion(s.variant) : s.typeVersionText;

  std::vector<std::vector<std::string>> passes;
  for (std::size_t k = 0; k < runs.size(); ++k) {
    const Run& run = runs[k];
    Sums all, good;
    for (const DailyRecord* r : run.reports) {
      Sums one = ReportSums(*r);
      all.due += one.due;
      all.ptu += one.ptu;
      if (!r->damaged) {
        good.due += one.due;
        good.ptu += one.ptu;
      }
    }
    bool more = k + 1 < runs.size();
    std::vector<std::string> out;
    out.push_back(FiscalRecord(0, TextBody(252, s.header), ecopy));
    out.push_back(FiscalRecord(1, TextBody(14, s.uniqueNumber), ecopy));
    out.push_back(FiscalRecord(2, mode, ecopy));
    out.push_back(FiscalRecord(3, TextBody(18, s.nip.empty() ? s.trainingNip : s.nip), ecopy));
    out.push_back(FiscalRecord(6, reference, ecopy));
    out.push_back(FiscalRecord(7, TextBody(34, type), ecopy));
    out.push_back(FiscalRecord(8, TextBody(10, s.uniqueNumber), ecopy));
    std::string rangeBody = RangeBody(range, run.reports, run.firstNumber, run.lastNumber, all);
    rangeBody[kSumMoreCurrencies] = more ? 1 : 0;
    out.push_back(FiscalRecord(10, rangeBody, ecopy));
    if (!run.reports.empty()) {
      out.push_back(FiscalRecord(12, TextBody(16, run.reports.front()->currency), ecopy));
    }
    int previousMarker = 0;
    long number = run.firstNumber;
    if (ecopy && !run.reports.empty()) {
      // The electronic copy's medium label comes before the first report it holds.
      const DailyRecord& f = *run.reports.front();
      const DailyRecord& l = *run.reports.back();
      std::string label(12, '\0');
      Put16(label, kLabelMediumNumber, 1);  // medium number
      std::string media(33, '\0');
      PutText(media, kMediumUnique, s.uniqueNumber, kUniqueNumberSize);
      PutDate(media, kMediumFirstDate, f.year % 100, f.month, f.day);
      PutDate(media, kMediumLastDate, l.year % 100, l.month, l.day);
      Put32(media, kMediumFirstNumber, static_cast<std::uint32_t>(run.firstNumber));
      Put32(media, kMediumLastNumber, static_cast<std::uint32_t>(run.lastNumber));
      out.push_back(FiscalRecord(13, label, ecopy));
      out.push_back(FiscalRecord(14, media, ecopy));
    }
    for (const DailyRecord* r : run.reports) {
      // The fiscal memory is in date order, so every run is one run of report numbers.
      const Running& sums = running[static_cast<std::size_t>(number - 1)];
      out.push_back(FiscalRecord(5, DailyBody(*r, number++, ecopy, sums), ecopy, r->damaged));
      if (r->rateMarker != previousMarker) {
        out.push_back(FiscalRecord(4, RatesBody(*r), ecopy));
        previousMarker = r->rateMarker;
      }
    }
    const FiscalFaults& f = s.fiscalFaults;
    if (k == 0) {
      good.due += f.closingDueDelta;
      good.ptu += f.closingPtuDelta;
    }
    std::string closing = RangeBody(range, run.reports, run.firstNumber, run.lastNumber, good);
    closing[kSumMoreCurrencies] = more ? 1 : 0;
    if (k == 0) {
      Put16(closing, kSumReports,
            static_cast<unsigned>(static_cast<long>(run.reports.size()) + f.closingCountDelta));
      Put8(closing, kSumStatus, static_cast<unsigned>(f.closingStatus));
    }
    out.push_back(FiscalRecord(11, closing, ecopy));
    passes.push_back(std::move(out));
  }
  // Spoilt records of the first pass.
  std::vector<std::string>& first = passes.front();
  const FiscalFaults& f = s.fiscalFaults;
  if (f.badCheckRecord > 0 && static_cast<std::size_t>(f.badCheckRecord) <= first.size()) {
    std::string& record = first[static_cast<std::size_t>(f.badCheckRecord) - 1];
    record.back() = static_cast<char>(record.back() ^ 0x5A);
  }
  if (f.cutRecord > 0 && static_cast<std::size_t>(f.cutRecord) <= first.size()) {
    std::string& record = first[static_cast<std::size_t>(f.cutRecord) - 1];
    record.resize(record.size() / 2);
    first.resize(static_cast<std::size_t>(f.cutRecord));
    passes.resize(1);
  }
  return passes;
}

void GenerateFiscalMemory(PrinterState& s, std::size_t count, unsigned seed,
                          std::size_t currencyFrom) {
  s.fiscalMemory.clear();
  s.fiscalMemory.reserve(count);
  std::uint64_t x = seed * 2654435761ULL + 0x9E3779B97F4A7C15ULL;
  auto next = [&x](std::uint64_t bound) {
    // xorshift: the same seed gives the same memory.
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    return bound == 0 ? 0 : x % bound;
  };
  std::array<int, kPtuCount> rates = {2300, 800, 500, 0, kPtuTaxFree, kPtuNotUsed, kPtuNotUsed};
  int marker = 1;
  std::tm day{};
  day.tm_year = 100;
  day.tm_mon = 0;
  day.tm_mday = 1;
  day.tm_hour = 12;
  for (std::size_t i = 0; i < count; ++i) {
    std::tm t = day;
    t.tm_mday += static_cast<int>(i);
    std::mktime(&t);
    if (i > 0 && next(50) == 0) {
      rates[0] = rates[0] == 2300 ? 2200 : 2300;  // now and then the rates change
      ++marker;
    }
    DailyRecord r;
    r.year = t.tm_year + 1900;
    r.month = t.tm_mon + 1;
    r.day = t.tm_mday;
    r.hour = 20 + static_cast<int>(next(3));
    r.minute = static_cast<int>(next(60));
    for (int k = 0; k < kPtuCount; ++k) {
      if (rates[k] != kPtuNotUsed) r.totals[k] = static_cast<std::int64_t>(next(5'000'000));
    }
    r.receipts = static_cast<std::int64_t>(1 + next(400));
    r.ptu = rates;
    r.rateMarker = marker;
    r.currency = currencyFrom != 0 && i + 1 >= currencyFrom ? "EUR" : "PLN";
    s.fiscalMemory.push_back(r);
  }
  s.dailyReports = static_cast<int>(count);
}

std::string FiscalControlNumber(const PrinterState& s, std::size_t number) {
  if (number == 0 || number > s.fiscalMemory.size()) return {};
  const DailyRecord& r = s.fiscalMemory[number - 1];
  const std::vector<Running> running = RunningTotals(s.fiscalMemory);
  DailyControlData d;
  char date[16];
  std::snprintf(date, sizeof date, "%02d-%02d-%04d", r.day, r.month, r.year);
  d.dateText = date;
  d.reportNumber = static_cast<std::uint32_t>(number);
  for (int wanted : {fiscal::kRateTaxed, fiscal::kRateExempt}) {
    for (int i = 0; i < kPtuCount; ++i) {
      if (RateKind(r.ptu[i]) != wanted) continue;
      d.sales.emplace_back(i, Clamp32(r.totals[i] - PtuOf(r.totals[i], r.ptu[i])));
    }
  }
  for (int i = 0; i < kPtuCount; ++i) d.ptuSum += Clamp32(PtuOf(r.totals[i], r.ptu[i]));
  d.receipts = static_cast<std::uint32_t>(std::min<std::int64_t>(r.receipts, 0xFFFF));
  d.runningPtu = static_cast<std::uint64_t>(running[number - 1].ptuTotal) & 0xFFFFFFFFFFFFULL;
  d.uniqueNumber = s.uniqueNumber;
  return DailyControlNumber(d);
}

std::string SetFiscalFault(PrinterState& s, std::string_view what, long long value) {
  FiscalFaults& f = s.fiscalFaults;
  if (what == "count") {
    f.closingCountDelta = static_cast<int>(value);
  } else if (what == "due") {
    f.closingDueDelta = value;
  } else if (what == "ptu") {
    f.closingPtuDelta = value;
  } else if (what == "status") {
    f.closingStatus = static_cast<int>(value & 0xFF);
  } else if (what == "check") {
    f.badCheckRecord = static_cast<long>(value);
  } else if (what == "cut") {
    f.cutRecord = static_cast<long>(value);
  } else if (what == "none") {
    f = FiscalFaults{};
  } else {
    return "error expected count|due|ptu|status|check|cut <n> or none";
  }
  return "ok";
}

}  // namespace ulvo
