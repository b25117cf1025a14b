#pragma once
// The fiscal memory readout as a Mavito sends it: binary records, each a type byte (bit 0x80
// set for a record the printer found damaged) and a body of fixed length whose last byte makes
// 0xFF plus all body bytes add up to 0 modulo 256.
//
// Byte layout of the records (multi-byte numbers little-endian):
// - packed date, 4 bytes: century (20), year (two digits), month, day - so read as a 32-bit
//   number the day is the top byte; time, 2 bytes: minute, hour.
// - type 5, daily report (90 bytes, 174 with the electronic copy): 0 rate marker (changes
//   whenever the rates changed; a type 4 record follows the report whose marker differs from
//   the previous one's, starting from 0), 1 report number (16), 3 date, 7 time, 9..10 zero,
//   11 RAM-reset number, 12 RAM-reset kind, 19 receipts (16), 21 + 4i PTU amount of letter i,
//   49 + 4i net sales of letter i, 77 total due, 81 cancelled receipts (16), 83 cancelled
//   amount (all amounts 32-bit grosze); the electronic-copy part is zero.
// - type 4, rates (31): 2 date, 9 + 2i rate of letter i in hundredths of a percent (16),
//   23 + i kind of letter i (0 not used, 1 taxed, 2 exempt).
// - type 10 range and type 11 closing (58): 0 status, 1 another currency follows, 2 reports
//   (16), 4/8 total due high/low, 12/16 total PTU high/low (low below 1 000 000 000), 21 range
//   start, 28 range end, 35 first report, 42 last report (each date, time, one zero byte),
//   49 first report number (32), 53 last report number (32).
// - type 0 header text (252), 1 unique number (14), 2 mode (10; first byte 0 = fiscal),
//   3 NIP (18), 6 reference date (8: date, time, zero), 7 type and version (34), 8 unique
//   number again (10), 12 currency code (16): texts from the start, zero-padded.
// - electronic copy only, before the first daily report of a pass: type 13 medium label (12:
//   0 medium number (16)) and type 14 medium data (33: 0 unique number, 12 first date,
//   16 last date, 20 first report number (32), 24 last report number (32)).

#include <chrono>
#include <string>
#include <vector>

#include "sim/printer_state.h"

namespace ulvo {

// Which daily reports a readout asks for.
struct FiscalRange {
  enum class Kind { kMonth, kDates, kNumbers } kind = Kind::kNumbers;
  int fromYear = 0, fromMonth = 0, fromDay = 0;  // two-digit years
  int toYear = 0, toMonth = 0, toDay = 0;
  long fromNumber = 0, toNumber = 0;
};

// Body length of a record type; 0 for a type the stream does not know.
std::size_t FiscalRecordBodySize(int type, bool ecopy);

// One record: the type byte (with 0x80 when `damaged`) and `body` padded with zeros to its
// length, its last byte set to the check.
std::string FiscalRecord(int type, std::string body, bool ecopy, bool damaged = false);

// True when the body of a record (check byte included) adds up correctly.
bool FiscalRecordCheckOk(std::string_view body);

// The whole readout of `range`, one pass per run of reports in one accounting currency (at
// least one pass): header records, range record, currency record (when reports follow), each
// daily report with its rate record where the rates changed, closing record. The range and
// closing records of every pass but the last say that another currency follows.
std::vector<std::vector<std::string>> BuildFiscalStream(const PrinterState& state,
                                                        const FiscalRange& range,
                                                        std::chrono::system_clock::time_point now);

}  // namespace ulvo
