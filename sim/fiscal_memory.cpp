#include "sim/fiscal_memory.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

#include "common/local_time.h"

namespace ulvo {

namespace {

constexpr std::int64_t kLowPartLimit = 1'000'000'000;

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
  std::string b(58, '\0');
  Put16(b, 2, static_cast<unsigned>(reports.size()));
  Put32(b, 4, Clamp32(sums.due / kLowPartLimit));
  Put32(b, 8, Clamp32(sums.due % kLowPartLimit));
  Put32(b, 12, Clamp32(sums.ptu / kLowPartLimit));
  Put32(b, 16, Clamp32(sums.ptu % kLowPartLimit));
  switch (range.kind) {
    case FiscalRange::Kind::kDates:
      PutDate(b, 21, range.fromYear, range.fromMonth, range.fromDay);
      PutDate(b, 28, range.toYear, range.toMonth, range.toDay);
      break;
    case FiscalRange::Kind::kMonth:
      PutDate(b, 21, range.fromYear, range.fromMonth, 1);
      PutDate(b, 28, range.fromYear, range.fromMonth, 31);
      break;
    case FiscalRange::Kind::kNumbers:
      if (!reports.empty()) {
        const DailyRecord& f = *reports.front();
        const DailyRecord& l = *reports.back();
        PutDate(b, 21, f.year % 100, f.month, f.day);
        PutDate(b, 28, l.year % 100, l.month, l.day);
      }
      break;
  }
  if (!reports.empty()) {
    const DailyRecord& f = *reports.front();
    const DailyRecord& l = *reports.back();
    PutDate(b, 35, f.year % 100, f.month, f.day);
    PutTime(b, 39, f.hour, f.minute);
    PutDate(b, 42, l.year % 100, l.month, l.day);
    PutTime(b, 46, l.hour, l.minute);
    Put32(b, 49, static_cast<std::uint32_t>(firstNumber));
    Put32(b, 53, static_cast<std::uint32_t>(lastNumber));
  }
  return b;
}

std::string DailyBody(const DailyRecord& r, long number) {
  std::string b(90, '\0');
  Put8(b, 0, static_cast<unsigned>(r.rateMarker));
  Put16(b, 1, static_cast<unsigned>(number));
  PutDate(b, 3, r.year % 100, r.month, r.day);
  PutTime(b, 7, r.hour, r.minute);
  Put16(b, 19, static_cast<unsigned>(std::min<std::int64_t>(r.receipts, 0xFFFF)));
  std::int64_t due = 0;
  for (int i = 0; i < kPtuCount; ++i) {
    std::int64_t ptu = PtuOf(r.totals[i], r.ptu[i]);
    Put32(b, 21 + 4 * i, Clamp32(ptu));
    Put32(b, 49 + 4 * i, Clamp32(r.totals[i] - ptu));
    due += r.totals[i];
  }
  Put32(b, 77, Clamp32(due));
  return b;
}

std::string RatesBody(const DailyRecord& r) {
  std::string b(31, '\0');
  PutDate(b, 2, r.year % 100, r.month, r.day);
  for (int i = 0; i < kPtuCount; ++i) {
    int rate = r.ptu[i];
    Put16(b, 9 + 2 * i, rate < kPtuTaxFree ? static_cast<unsigned>(rate) : 0);
    Put8(b, 23 + i, rate == kPtuNotUsed ? 0 : rate == kPtuTaxFree ? 2 : 1);
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
  switch (type) {
    case 0:
      return 252;
    case 1:
      return 14;
    case 2:
      return 10;
    case 3:
      return 18;
    case 4:
      return 31;
    case 5:
      return ecopy ? 174 : 90;
    case 6:
      return 8;
    case 7:
      return 34;
    case 8:
      return 10;
    case 10:
      return 58;
    case 11:
      return 58;
    case 12:
      return 16;
    case 13:
      return 12;
    case 14:
      return 33;
  }
  return 0;
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
  unsigned sum = 0xFF;
  for (char c : body) sum += static_cast<unsigned char>(c);
  return (sum & 0xFF) == 0;
}

std::vector<std::vector<std::string>> BuildFiscalStream(const PrinterState& s,
                                                        const FiscalRange& range,
                                                        std::chrono::system_clock::time_point now) {
  bool ecopy = s.variant.ecopy;
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
  PutDate(reference, 0, clock.tm_year % 100, clock.tm_mon + 1, clock.tm_mday);
  PutTime(reference, 4, clock.tm_hour, clock.tm_min);
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
    rangeBody[1] = more ? 1 : 0;
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
      Put16(label, 0, 1);  // medium number
      std::string media(33, '\0');
      PutText(media, 0, s.uniqueNumber, 12);
      PutDate(media, 12, f.year % 100, f.month, f.day);
      PutDate(media, 16, l.year % 100, l.month, l.day);
      Put32(media, 20, static_cast<std::uint32_t>(run.firstNumber));
      Put32(media, 24, static_cast<std::uint32_t>(run.lastNumber));
      out.push_back(FiscalRecord(13, label, ecopy));
      out.push_back(FiscalRecord(14, media, ecopy));
    }
    for (const DailyRecord* r : run.reports) {
      // The fiscal memory is in date order, so every run is one run of report numbers.
      out.push_back(FiscalRecord(5, DailyBody(*r, number++), ecopy, r->damaged));
      if (r->rateMarker != previousMarker) {
        out.push_back(FiscalRecord(4, RatesBody(*r), ecopy));
        previousMarker = r->rateMarker;
      }
    }
    std::string closing = RangeBody(range, run.reports, run.firstNumber, run.lastNumber, good);
    closing[1] = more ? 1 : 0;
    out.push_back(FiscalRecord(11, closing, ecopy));
    passes.push_back(std::move(out));
  }
  return passes;
}

}  // namespace ulvo
