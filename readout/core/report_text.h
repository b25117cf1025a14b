#pragma once
// The periodic report text of a fiscal memory readout: line formats and the blocks the reader
// writes record by record. Lines are UTF-8 here, at most 42 characters; the sink turns them
// into the file's Windows-1250 lines ended by CR LF.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/fiscal_control_number.h"
#include "link/fiscal_record_layout.h"

namespace ulvo {

constexpr int kReportWidth = 42;

// Where report lines go.
class LineSink {
 public:
  virtual ~LineSink() = default;
  virtual void Line(std::string_view utf8) = 0;
};

// A sum as the printer keeps it: a low part below 1 000 000 000 grosze and a high part in
// units of 1 000 000 000 that takes the carry.
struct SumPair {
  std::uint32_t high = 0, low = 0;
  void Add(std::uint64_t grosze);
  std::uint64_t Grosze() const;
  bool operator==(const SumPair&) const = default;
};

// "%8lu,%02d": złote right-aligned in 8 places, the grosze.
std::string AmountText(std::uint64_t grosze);
std::string AmountText(const SumPair& sum);
// The same in 11 places, for sums over a whole range.
std::string WideAmountText(const SumPair& sum);
// A PTU rate in hundredths of a percent: "%lu,%02d" (2300 gives "23,00").
std::string RateText(std::uint32_t hundredths);
// "%02d-%02d-%2d%02d": day, month, century, year.
std::string DateText(const fiscal::PackedDate& date);
// "%2d:%2.2d": hour, minute.
std::string TimeText(int hour, int minute);

// Characters (not bytes) of a UTF-8 text.
std::size_t TextWidth(std::string_view utf8);
// The text after (42 - length) / 2 blanks.
std::string Centred(std::string_view utf8);
// `left`, then `right` ending in column 42 (at least one blank between).
std::string RightAligned(std::string_view left, std::string_view right);

// The lines of the header text of record type 0 (Windows-1250 bytes): LF ends a line, CR, SO
// and DC4 are left out, and between SO and DC4 (double width) every character is followed by
// a blank.
std::vector<std::string> HeaderTextLines(std::string_view body);

// A zero-padded field of a record, up to its first zero byte.
std::string_view RecordBytes(std::string_view body, std::size_t at, std::size_t size);
// The same as report text in UTF-8: control bytes (below 0x20, and 0x7F) become '?'.
std::string RecordText(std::string_view body, std::size_t at, std::size_t size);

// True when a daily report body has net sales in any letter.
bool HasSales(std::string_view daily);

// What one pass knows for its text: the request, the header records and the running sums.
struct ReportContext {
  // request
  bool fullReport = true;
  bool emergency = false;
  bool monthly = false;
  bool byNumbers = false;
  bool ecopy = false;
  fiscal::PackedDate from, to;  // the requested dates (month: `from`)
  std::string todayText;        // the computer's date in its short form
  // header records
  std::string headerBody;         // type 0
  std::string uniqueNumber;       // as the report writes it
  std::string uniqueNumberBytes;  // as the printer sent it, for the control numbers
  bool fiscal = true;
  bool readOnly = false;
  std::string nip;
  bool nipRead = false;
  fiscal::PackedDate referenceDate;
  int referenceHour = 0, referenceMinute = 0;
  std::string typeVersion;
  std::string uniqueAgain;
  // currency
  std::string currency;
  bool currencyRead = false, currencyDamaged = false;
  fiscal::PackedDate currencyDate;
  int currencyHour = 0, currencyMinute = 0;
  // rates in effect
  std::array<std::uint32_t, fiscal::kLetters> rate{};
  std::array<int, fiscal::kLetters> kind{};
  std::array<bool, fiscal::kLetters> rateChanged{};
  bool ratesRead = false;
  // numbers known from the range record and the reports
  std::uint32_t firstNumber = 0, lastNumber = 0;
  fiscal::PackedDate firstDate, lastDate;
  // sums over the good reports
  std::array<SumPair, fiscal::kLetters> taxedNet{}, exemptNet{}, ptu{};
  // letters taxed (exempt) in a report with sales
  std::array<bool, fiscal::kLetters> everTaxed{}, everExempt{};
  SumPair due, ptuTotal, cancelledAmount;
  bool cancelledOverflow = false;
  std::uint64_t cancelled = 0, receipts = 0, ramResets = 0;
};

// Fiscal when the full report was asked for and the mode record says fiscal.
bool FiscalReport(const ReportContext& c);

void WriteReportHeader(LineSink& out, const ReportContext& c);
void WriteRateBlock(LineSink& out, const ReportContext& c, const fiscal::PackedDate& date);
void WriteDamagedBlock(LineSink& out, bool rates, unsigned number);
// One daily report (full report only); `controlNumber` is written with the electronic copy.
void WriteDailyBlock(LineSink& out, const ReportContext& c, std::string_view body,
                     const std::string& controlNumber);
void WriteMediumLabel(LineSink& out, std::string_view label, std::string_view media);
void WriteSummary(LineSink& out, const ReportContext& c, std::uint32_t reports);

// The control-number data of one daily report under the rates in effect.
DailyControlData ControlDataOf(const ReportContext& c, std::string_view body);

}  // namespace ulvo
