#pragma once
// The fiscal memory readout the emulated Mavito sends. The byte layout of its records is the
// one link/fiscal_record_layout.h describes; the program reads them with the same header.

#include <chrono>
#include <string>
#include <vector>

#include "link/fiscal_record_layout.h"
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

// Fills the fiscal memory with `count` daily reports, one a day from 1 January 2000, made up
// from `seed`; from report `currencyFrom` on (0: never) the accounting currency is EUR.
void GenerateFiscalMemory(PrinterState& state, std::size_t count, unsigned seed,
                          std::size_t currencyFrom);

// The electronic-copy control number of daily report `number` (from 1); empty when there is
// no such report.
std::string FiscalControlNumber(const PrinterState& state, std::size_t number);

// The control command "fiscalfault <what> <value>"; returns its answer line.
std::string SetFiscalFault(PrinterState& state, std::string_view what, long long value);

}  // namespace ulvo
