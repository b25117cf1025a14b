#pragma once
// Builds fiscal memory records by hand for the reader's tests.

#include <cstdint>
#include <string>
#include <vector>

#include "link/fiscal_record_layout.h"
#include "readout/core/report_text.h"

namespace ulvo::testing {

inline void Put(std::string& b, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

inline void PutDate(std::string& b, std::size_t at, int year, int month, int day) {
  b[at] = 20;
  b[at + 1] = static_cast<char>(year);
  b[at + 2] = static_cast<char>(month);
  b[at + 3] = static_cast<char>(day);
}

// Type byte and body, padded to its length, the check last.
inline std::string Record(int type, std::string body, bool ecopy = false, bool damaged = false) {
  const std::size_t size = fiscal::RecordBodySize(type, ecopy);
  body.resize(size, '\0');
  body[size - 1] =
      static_cast<char>(fiscal::RecordCheckByte(std::string_view(body).substr(0, size - 1)));
  return std::string(1, static_cast<char>(type | (damaged ? fiscal::kDamagedBit : 0))) + body;
}

struct Daily {
  unsigned number = 1;
  int marker = 1;
  int year = 10, month = 3, day = 5;
  std::uint32_t net[7] = {};
  std::uint32_t ptu[7] = {};
  unsigned receipts = 0;
  unsigned cancelled = 0;
  std::uint32_t cancelledAmount = 0;
  int ramResetKind = 0;
  bool damaged = false;
  std::uint32_t rateA = 2300;         // the rate record sent after this report, if any
  std::uint64_t runningPtuTotal = 0;  // electronic copy
  std::string mediumUnique;           // electronic copy: a medium label before the report
  std::uint32_t Due() const {
    std::uint32_t d = 0;
    for (int i = 0; i < 7; ++i) d += net[i] + ptu[i];
    return d;
  }
};

inline std::string DailyRecord(const Daily& r, bool ecopy = false) {
  std::string b(fiscal::RecordBodySize(fiscal::kDaily, ecopy), '\0');
  Put(b, fiscal::kDailyRateMarker, static_cast<unsigned>(r.marker), 1);
  Put(b, fiscal::kDailyNumber, r.number, 2);
  PutDate(b, fiscal::kDailyDate, r.year, r.month, r.day);
  Put(b, fiscal::kDailyTime, 30, 1);
  Put(b, fiscal::kDailyTime + 1, 21, 1);
  Put(b, fiscal::kDailyRamResetKind, static_cast<unsigned>(r.ramResetKind), 1);
  Put(b, fiscal::kDailyReceipts, r.receipts, 2);
  for (int i = 0; i < 7; ++i) {
    Put(b, fiscal::kDailyPtu + 4 * i, r.ptu[i], 4);
    Put(b, fiscal::kDailyNet + 4 * i, r.net[i], 4);
  }
  Put(b, fiscal::kDailyDue, r.Due(), 4);
  Put(b, fiscal::kDailyCancelled, r.cancelled, 2);
  Put(b, fiscal::kDailyCancelledAmount, r.cancelledAmount, 4);
  if (ecopy) Put(b, fiscal::kDailyRunningPtuTotal, r.runningPtuTotal, 6);
  return Record(fiscal::kDaily, b, ecopy, r.damaged);
}

// Rates: A 23 %, B 8 %, E exempt, the rest not used.
inline std::string RatesRecord(bool ecopy = false, std::uint32_t rateA = 2300) {
  std::string b(31, '\0');
  PutDate(b, fiscal::kRatesDate, 10, 1, 1);
  Put(b, fiscal::kRatesValue + 0, rateA, 2);
  Put(b, fiscal::kRatesValue + 2, 800, 2);
  b[fiscal::kRatesKind + 0] = 1;
  b[fiscal::kRatesKind + 1] = 1;
  b[fiscal::kRatesKind + 4] = 2;
  return Record(fiscal::kRates, b, ecopy);
}

inline std::string SumsBody(unsigned reports, std::uint64_t due, std::uint64_t ptu,
                            bool more = false) {
  std::string b(58, '\0');
  b[fiscal::kSumMoreCurrencies] = more ? 1 : 0;
  Put(b, fiscal::kSumReports, reports, 2);
  Put(b, fiscal::kSumDueHigh, due / 1'000'000'000, 4);
  Put(b, fiscal::kSumDueLow, due % 1'000'000'000, 4);
  Put(b, fiscal::kSumPtuHigh, ptu / 1'000'000'000, 4);
  Put(b, fiscal::kSumPtuLow, ptu % 1'000'000'000, 4);
  return b;
}

// The records of one pass over `reports` (rates sent after the first), closed with the sums
// of the good ones unless `closing` is given.
inline std::vector<std::string> Pass(const std::vector<Daily>& reports, bool ecopy = false,
                                     const std::string& closing = {}, bool more = false,
                                     const std::string& currency = "PLN") {
  std::vector<std::string> out;
  out.push_back(Record(fiscal::kHeaderText, "FIRMA\nUL. DLUGA 1\n", ecopy));
  out.push_back(Record(fiscal::kUniqueNumber, "ABC 12345678", ecopy));
  out.push_back(Record(fiscal::kMode, std::string(1, '\0'), ecopy));
  out.push_back(Record(fiscal::kNip, "123-456-78-90", ecopy));
  out.push_back(Record(fiscal::kReference, std::string("\x14\x0A\x03\x1F\x05\x0C", 6), ecopy));
  out.push_back(Record(fiscal::kTypeVersion, "MAVITO/2.00", ecopy));
  out.push_back(Record(fiscal::kUniqueAgain, "ABC123", ecopy));
  std::uint64_t due = 0, ptu = 0;
  for (const Daily& r : reports) {
    if (r.damaged) continue;
    due += r.Due();
    for (std::uint32_t p : r.ptu) ptu += p;
  }
  out.push_back(Record(fiscal::kRange,
                       SumsBody(static_cast<unsigned>(reports.size()), due, ptu, more), ecopy));
  if (!reports.empty()) out.push_back(Record(fiscal::kCurrency, currency, ecopy));
  int marker = 0;
  for (const Daily& r : reports) {
    if (!r.mediumUnique.empty()) {
      out.push_back(Record(fiscal::kMediumLabel, std::string("\x03", 1), ecopy));
      std::string media = r.mediumUnique;
      media.resize(fiscal::kMediumFirstDate, '\0');
      out.push_back(Record(fiscal::kMediumData, media, ecopy));
    }
    out.push_back(DailyRecord(r, ecopy));
    if (r.marker != marker) {
      out.push_back(RatesRecord(ecopy, r.rateA));
      marker = r.marker;
    }
  }
  out.push_back(closing.empty()
                    ? Record(fiscal::kClosing,
                             SumsBody(static_cast<unsigned>(reports.size()), due, ptu, more), ecopy)
                    : closing);
  return out;
}

struct Lines : LineSink {
  void Line(std::string_view utf8) override { lines.emplace_back(utf8); }
  bool Has(const std::string& text) const {
    for (const std::string& l : lines) {
      if (l.find(text) != std::string::npos) return true;
    }
    return false;
  }
  std::vector<std::string> lines;
};

}  // namespace ulvo::testing
