#pragma once
// Everything a ULVO printer remembers, as the emulator keeps it. Amounts are whole grosze so
// that totals never drift; the clock is an offset from the host clock.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace ulvo {

enum class PrinterFamily { kAlta, kAltaPro, kMavito };

struct PrinterVariant {
  PrinterFamily family = PrinterFamily::kMavito;
  bool bus = false;    // ticket printer (bileterka)
  bool ecopy = false;  // electronic copy
};

constexpr int kPtuCount = 7;                     // rates A..G
constexpr int kPtuTaxFree = 10000;               // rate 100.00 = ZWOLN (in hundredths of a percent)
constexpr int kPtuNotUsed = 10100;               // rate 101.00 = BRAK
constexpr int kOptionCount = 13;                 // the values the settings query reports
constexpr std::size_t kInputHistorySize = 1024;  // bytes the input-buffer query can show back

// Indexes of the thirteen 16-bit configuration values, in the order of the settings reply.
enum OptionIndex : int {
  kOptIdentifier = 0,
  kOptLetterCoding,
  kOptDrawerPulse,
  kOptCopyMode,
  kOptWinderPulse,
  kOptCoverSensor,
  kOptResponseTime,
  kOptMonthlyReminder,
  kOptExternalDisplay,
  kOptDisplayProtocol,
  kOptErrorMode,
  kOptDepositMode,
  kOptFlags,
};

// Bits of the flags value.
constexpr std::uint16_t kFlagDrawerAfterTransaction = 0x01;
constexpr std::uint16_t kFlagSystemNumberUlvo = 0x02;
constexpr std::uint16_t kFlagDiscountMethod2 = 0x04;
constexpr std::uint16_t kFlagDiscountMethod1 = 0x08;

// One line of the receipt being printed.
struct ReceiptLine {
  std::string name;
  int ptu = 0;             // 0..6 = A..G, kDepositPtu for a deposit (kaucja)
  std::int64_t value = 0;  // grosze, after the line's discount or markup
};
constexpr int kDepositPtu = -1;

// One daily report as the fiscal memory keeps it.
struct DailyRecord {
  int year = 0, month = 0, day = 0;  // year in full
  int hour = 0, minute = 0;
  std::array<std::int64_t, kPtuCount> totals{};  // gross sales per rate
  std::int64_t receipts = 0;                     // receipts of that day
  std::array<int, kPtuCount> ptu{};              // the rates the day was sold at
  int rateMarker = 1;                            // changes whenever the rates changed
  std::string currency = "PLN";
  bool damaged = false;  // fault injection: the fiscal memory holds a bad record here
};

// Faults of the fiscal memory readout: the closing record disagrees with the reports, or one
// record of the stream (counted from 1 in the first pass) is spoilt.
struct FiscalFaults {
  int closingCountDelta = 0;
  std::int64_t closingDueDelta = 0;  // grosze
  std::int64_t closingPtuDelta = 0;
  int closingStatus = 0;
  long badCheckRecord = 0;  // its check byte is wrong
  long cutRecord = 0;       // only its first half is sent, then the printer falls silent
};

// The fiscal memory readout in progress: the records still to send, one per ENQ.
enum class StreamPhase {
  kNone,
  kArmed,    // request accepted; the next ENQ is still the status query that checks it
  kRunning,  // every ENQ asks for the next record
};

struct PrinterState {
  PrinterVariant variant;
  bool fiscal = false;  // fiscal mode; training mode when false

  // Clock: an offset from the host clock.
  std::chrono::seconds clockOffset{0};
  bool clockCorrectionAllowed = false;  // true right after a daily report

  // Rates and totals.
  std::array<int, kPtuCount> ptu{};            // hundredths of a percent; kPtuTaxFree, kPtuNotUsed
  std::array<bool, kPtuCount> ptuSurcharge{};  // bus printers: rate with a surcharge
  bool foreignTicketRate = false;              // bus printers: the eighth rate
  int ptuChanges = 0;
  std::array<std::int64_t, kPtuCount> totals{};
  std::int64_t totalZ = 0;  // sum of every total closed by a daily report
  std::int64_t cash = 0;
  std::int64_t receiptCount = 0;
  std::int64_t depositsTaken = 0;
  std::int64_t depositsReturned = 0;
  std::int64_t cardPayments = 0;

  // Fiscal memory and its readout.
  int dailyReports = 0;
  int ramResets = 0;
  int lastRecordYear = 0, lastRecordMonth = 0, lastRecordDay = 0;  // two-digit year; 0 = none
  std::vector<DailyRecord> fiscalMemory;
  std::int64_t receiptCountAtReport = 0;  // receipt count at the last daily report
  StreamPhase streamPhase = StreamPhase::kNone;
  std::vector<std::string> stream;  // the records of the pass in progress
  std::size_t streamNext = 0;
  std::vector<std::vector<std::string>> streamLaterPasses;  // one per further currency
  long streamBaud = 0;
  FiscalFaults fiscalFaults;

  // Owner data.
  std::string uniqueNumber;  // eleven blanks when not programmed
  std::string header;        // lines ended by LF, SO/DC4 around double-width text
  int headerMethod = 0;
  std::string nip;          // programmed at fiscalisation
  std::string trainingNip;  // programmed in training mode

  // Currencies.
  std::string accountingCurrency = "PLN";
  std::string scheduledCurrency;             // empty: no change scheduled
  std::array<int, 5> scheduledCurrencyAt{};  // yy, mm, dd, hh, mi
  int currencyChanges = 0;
  std::string conversionCurrency;  // printed under receipts; empty: none

  // Documents in progress.
  bool orderOpen = false;
  int orderLines = 0;
  bool databaseReportOpen = false;
  int databaseReportKind = 0;
  int databaseReportItems = 0;
  int controlCheckStage = -1;  // control-number check in progress: its last step; -1 none
  char controlCheckKind = 0;   // 'R' receipt, 'D' daily report
  int controlCheckReceiptSums = 0;
  long controlCheckNumber = 0;  // the document or report number of the check in progress

  // Cashier.
  std::string cashier;
  std::string registerNumber;
  bool cashierLoggedIn = false;

  // Command results and the receipt in progress.
  int lastError = 0;
  bool lastCommandOk = true;
  bool inTransaction = false;
  bool lastTransactionOk = true;
  std::vector<ReceiptLine> receipt;
  int receiptPlannedLines = 0;  // block mode: the lines announced when it opened; 0 = on-line
  std::string systemNumber;     // of the open receipt
  int refuseNextCode = -1;      // fault injection: the next command frame fails with this code
  std::string refuseCommand;    // ... only a frame with this command code ("$d"); empty: any

  // Configuration.
  std::array<std::uint16_t, kOptionCount> options{};
  int printSpeed = 10;  // electronic-copy printers: 8, 9 or 10
  bool serviceReminder = false;
  int serviceYear = 0, serviceMonth = 0, serviceDay = 0;
  std::string servicePhone;
  std::string typeVersionText;  // custom answer to the type query; empty = the default

  // Display, drawer, paper.
  std::string displayText;
  int displayMode = 4;  // 3 clock, 4 cash register
  int drawerOpenings = 0;
  int linesFed = 0;
  std::vector<std::string> printouts;  // titles of what the printer printed, newest last

  // Mechanism (the DLE answer).
  bool online = true;
  bool paperOut = false;
  bool mechanismError = false;

  // What came in.
  std::string inputHistory;  // the last bytes received, for the input-buffer query
  std::uint64_t framesReceived = 0;
  std::string lastFrame;
};

// The state of a printer fresh from the factory (or after `reset`).
PrinterState PowerOnState(PrinterVariant variant);

// The default type and version texts of the type query.
std::string DefaultTypeVersion(const PrinterVariant& variant);

}  // namespace ulvo
