#pragma once
// The fiscal memory readout as a Mavito sends it, shared by the program's reader and the
// emulator: binary records, each a type byte (bit 0x80 set for a record the printer found
// damaged) and a body of fixed length whose last byte makes 0xFF plus all body bytes add up to
// 0 modulo 256. The program asks for every record with ENQ; the closing record is not
// acknowledged.
//
// Byte layout of the records (multi-byte numbers little-endian):
// - packed date, 4 bytes: century (20), year (two digits), month, day - so read as a 32-bit
//   number the day is the top byte; time, 2 bytes: minute, hour.
// - type 5, daily report (90 bytes, 174 with the electronic copy): 0 rate marker (changes
//   whenever the rates changed; a type 4 record follows the report whose marker differs from
//   the previous one's, starting from 0 in every pass), 1 report number (16), 3 date, 7 time,
//   9..10 zero, 11 RAM-reset number, 12 RAM-reset kind, 19 receipts (16), 21 + 4i PTU amount
//   of letter i, 49 + 4i net sales of letter i, 77 total due, 81 cancelled receipts (16),
//   83 cancelled amount (all amounts 32-bit grosze).
//   Electronic-copy part (174-byte records only): 89 first and 91 last report number (16 each)
//   of the running totals, 93 + 6i running PTU of letter i, 135 running total PTU, 141 running
//   total due (each 48-bit grosze, little-endian); the rest is zero.
// - type 4, rates (31): 2 date, 9 + 2i rate of letter i in hundredths of a percent (16),
//   23 + i kind of letter i (0 not used, 1 taxed, 2 exempt).
// - type 10 range and type 11 closing (58): 0 status, 1 another currency follows, 2 reports
//   (16), 4/8 total due high/low, 12/16 total PTU high/low (low below 1 000 000 000), 21 range
//   start, 28 range end, 35 first report, 42 last report (each date, time, one zero byte),
//   49 first report number (32), 53 last report number (32).
// - type 0 header text (252), 1 unique number (14), 2 mode (10; first byte 0 = fiscal,
//   second byte 1 = the fiscal memory is read-only), 3 NIP (18), 6 reference date (8: date,
//   time, zero), 7 type and version (34), 8 unique number again (10), 12 currency (16: 0 code
//   text of up to 8 characters, 8 date and 12 time of its last change, zero when unknown):
//   texts start at the body's first byte, zero-padded.
// - electronic copy only, before the first daily report of a pass: type 13 medium label (12:
//   0 medium number (16)) and type 14 medium data (33: 0 unique number, 12 first date,
//   16 last date, 20 first report number (32), 24 last report number (32)).
// Whatever else a printer puts in the bytes not named here is ignored by the reader.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ulvo::fiscal {

enum RecordType : int {
  kHeaderText = 0,
  kUniqueNumber = 1,
  kMode = 2,
  kNip = 3,
  kRates = 4,
  kDaily = 5,
  kReference = 6,
  kTypeVersion = 7,
  kUniqueAgain = 8,
  kRange = 10,
  kClosing = 11,
  kCurrency = 12,
  kMediumLabel = 13,
  kMediumData = 14,
};

constexpr std::uint8_t kDamagedBit = 0x80;
constexpr std::uint8_t kTypeMask = 0x7F;
constexpr int kAnyType = 255;
constexpr int kLetters = 7;
constexpr std::uint32_t kLowPartLimit = 1'000'000'000;
constexpr std::uint32_t kCancelledOverflow = 100'000'000;  // the cancelled amount overflowed

// Daily report.
constexpr std::size_t kDailyBodySize = 90;
constexpr std::size_t kDailyBodySizeEcopy = 174;
constexpr std::size_t kDailyRateMarker = 0;
constexpr std::size_t kDailyNumber = 1;
constexpr std::size_t kDailyDate = 3;
constexpr std::size_t kDailyTime = 7;
constexpr std::size_t kDailyRamResetNumber = 11;
constexpr std::size_t kDailyRamResetKind = 12;
constexpr std::size_t kDailyReceipts = 19;
constexpr std::size_t kDailyPtu = 21;  // + 4i
constexpr std::size_t kDailyNet = 49;  // + 4i
constexpr std::size_t kDailyDue = 77;
constexpr std::size_t kDailyCancelled = 81;
constexpr std::size_t kDailyCancelledAmount = 83;
constexpr std::size_t kDailyRunningFirst = 89;
constexpr std::size_t kDailyRunningLast = 91;
constexpr std::size_t kDailyRunningPtu = 93;  // + 6i
constexpr std::size_t kDailyRunningPtuTotal = 135;
constexpr std::size_t kDailyRunningDue = 141;

// RAM-reset kinds.
constexpr int kRamResetSales = 170;
constexpr int kRamResetRates = 187;
constexpr int kRamResetCache = 204;

// Rates.
constexpr std::size_t kRatesDate = 2;
constexpr std::size_t kRatesValue = 9;  // + 2i
constexpr std::size_t kRatesKind = 23;  // + i
constexpr int kRateNotUsed = 0;
constexpr int kRateTaxed = 1;
constexpr int kRateExempt = 2;

// Range and closing records.
constexpr std::size_t kSumStatus = 0;
constexpr std::size_t kSumMoreCurrencies = 1;
constexpr std::size_t kSumReports = 2;
constexpr std::size_t kSumDueHigh = 4;
constexpr std::size_t kSumDueLow = 8;
constexpr std::size_t kSumPtuHigh = 12;
constexpr std::size_t kSumPtuLow = 16;
constexpr std::size_t kSumRangeStart = 21;
constexpr std::size_t kSumRangeEnd = 28;
constexpr std::size_t kSumFirstReport = 35;
constexpr std::size_t kSumLastReport = 42;
constexpr std::size_t kSumFirstNumber = 49;
constexpr std::size_t kSumLastNumber = 53;

// Header records.
constexpr std::size_t kModeReadOnly = 1;
constexpr std::size_t kReferenceDate = 0;
constexpr std::size_t kReferenceTime = 4;
constexpr std::size_t kCurrencyCode = 0;
constexpr std::size_t kCurrencyCodeSize = 8;
constexpr std::size_t kCurrencyDate = 8;
constexpr std::size_t kCurrencyTime = 12;
constexpr std::size_t kUniqueNumberSize = 12;

// Electronic-copy medium records.
constexpr std::size_t kLabelMediumNumber = 0;
constexpr std::size_t kMediumUnique = 0;
constexpr std::size_t kMediumFirstDate = 12;
constexpr std::size_t kMediumLastDate = 16;
constexpr std::size_t kMediumFirstNumber = 20;
constexpr std::size_t kMediumLastNumber = 24;

// Body length of a record type; 0 for a type the stream does not know.
constexpr std::size_t RecordBodySize(int type, bool ecopy) {
  switch (type) {
    case kHeaderText:
      return 252;
    case kUniqueNumber:
      return 14;
    case kMode:
      return 10;
    case kNip:
      return 18;
    case kRates:
      return 31;
    case kDaily:
      return ecopy ? kDailyBodySizeEcopy : kDailyBodySize;
    case kReference:
      return 8;
    case kTypeVersion:
      return 34;
    case kUniqueAgain:
      return 10;
    case kRange:
    case kClosing:
      return 58;
    case kCurrency:
      return 16;
    case kMediumLabel:
      return 12;
    case kMediumData:
      return 33;
  }
  return 0;
}

// True when the body of a record (check byte included) adds up correctly.
constexpr bool RecordCheckOk(std::string_view body) {
  unsigned sum = 0xFF;
  for (char c : body) sum += static_cast<unsigned char>(c);
  return (sum & 0xFF) == 0;
}

// The check byte that completes `bodyWithoutCheck`.
constexpr std::uint8_t RecordCheckByte(std::string_view bodyWithoutCheck) {
  unsigned sum = 0xFF;
  for (char c : bodyWithoutCheck) sum += static_cast<unsigned char>(c);
  return static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF);
}

// Little-endian readers over a body; bytes past its end read as 0.
constexpr std::uint32_t Get8(std::string_view b, std::size_t at) {
  return at < b.size() ? static_cast<unsigned char>(b[at]) : 0u;
}
constexpr std::uint32_t Get16(std::string_view b, std::size_t at) {
  return Get8(b, at) | (Get8(b, at + 1) << 8);
}
constexpr std::uint32_t Get32(std::string_view b, std::size_t at) {
  return Get16(b, at) | (Get16(b, at + 2) << 16);
}
constexpr std::uint64_t Get48(std::string_view b, std::size_t at) {
  return Get32(b, at) | (static_cast<std::uint64_t>(Get16(b, at + 4)) << 32);
}

// A packed date: century, year, month, day.
struct PackedDate {
  int century = 0, year = 0, month = 0, day = 0;
  bool Empty() const { return century == 0 && year == 0 && month == 0 && day == 0; }
};
constexpr PackedDate GetDate(std::string_view b, std::size_t at) {
  return {static_cast<int>(Get8(b, at)), static_cast<int>(Get8(b, at + 1)),
          static_cast<int>(Get8(b, at + 2)), static_cast<int>(Get8(b, at + 3))};
}

}  // namespace ulvo::fiscal
