#pragma once
// The command handlers of the emulated printer, one table keyed by the two-character code.
// Handlers live in files by area (status, configuration, cash, receipts, reports) and each
// area registers itself through its Add...Commands function.

#include <chrono>
#include <cstdint>
#include <ctime>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/printer_state.h"

namespace ulvo {

// A handler's result: kCarriedOut or one of the printer's error codes.
constexpr int kCarriedOut = -1;

// Error codes the handlers use most.
enum PrinterError : int {
  kErrUnknownCommand = 0,
  kErrChecksum = 2,
  kErrParameterCount = 3,
  kErrParameter = 4,
  kErrClock = 5,
  kErrDateEarlier = 7,
  kErrName = 16,
  kErrQuantity = 17,
  kErrPtu = 18,
  kErrPrice = 19,
  kErrValue = 20,
  kErrNotInTransaction = 21,
  kErrReceiptRegister = 22,
  kErrLineNumber = 23,
  kErrCashierText = 25,
  kErrPayment = 26,
  kErrTotal = 27,
  kErrCashAmount = 30,
  kErrCashNegative = 32,
  kErrShiftText = 33,
  kErrCashier = 34,
  kErrTooManyDisplayTexts = 84,
  kErrTransactionAgain = 95,
  kErrClockCorrectionTooBig = 129,
  kErrBadDate = 135,
  kErrClockCorrectionNotAfterReport = 136,
  kErrDuringTransaction = 140,
};

// A command frame taken apart: "P" params code args [check].
struct CommandFrame {
  std::vector<long> params;
  std::string code;  // '#' or '$' and the letter
  std::string args;  // everything after the code, check removed
};

struct CommandContext {
  PrinterState& state;
  const CommandFrame& frame;
  std::chrono::system_clock::time_point now;
  std::string reply;          // a whole reply frame when the command answers with data
  bool replyChecked = false;  // the reply ends in a check before ESC '\'
};

using CommandHandler = int (*)(CommandContext&);

// Whether the two characters before ESC '\' are a check the printer verifies.
enum class CheckRule {
  kRequired,  // every command the program sends with a check place
  kOptional,  // queries the program sends without one (a check is still accepted)
  kNone,      // commands whose last bytes are free text (the display command)
};

struct CommandEntry {
  CheckRule check = CheckRule::kRequired;
  CommandHandler handler = nullptr;
  bool query = false;  // leaves the last error as it was (the error query)
};

class CommandTable {
 public:
  void Add(std::string code, CommandEntry entry) { entries_[std::move(code)] = entry; }
  const CommandEntry* Find(std::string_view code) const;

  // The table with every area's commands.
  static const CommandTable& Standard();

 private:
  std::map<std::string, CommandEntry, std::less<>> entries_;
};

void AddStatusCommands(CommandTable& table);
void AddConfigCommands(CommandTable& table);
void AddCashCommands(CommandTable& table);
void AddReceiptCommands(CommandTable& table);
void AddReportCommands(CommandTable& table);
void AddProgrammingCommands(CommandTable& table);
void AddDocumentCommands(CommandTable& table);
void AddCurrencyCommands(CommandTable& table);
void AddEcopyCommands(CommandTable& table);

// "#l" with four parameters is an order, not a paper feed.
int OrderCommand(CommandContext& ctx);

// Switches to a scheduled accounting currency once its moment has come (the daily report
// calls this).
void ApplyScheduledCurrency(PrinterState& state, std::chrono::system_clock::time_point now);

// Helpers the handlers share.

// Walks the argument text field by field.
class ArgReader {
 public:
  explicit ArgReader(std::string_view args) : rest_(args) {}
  // The text up to the next `end` byte (which is consumed); empty optional when there is none.
  std::optional<std::string_view> Field(char end);
  std::string_view Rest() const { return rest_; }
  bool AtEnd() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// An amount as typed ("12", "0.01", "3,5"); grosze, or empty when it is not an amount
// with at most two decimals and at most 10 digits before the point.
std::optional<std::int64_t> ParseGrosze(std::string_view text);

// A whole number without sign; empty when it is not one or has more than 9 digits.
std::optional<long> ParseCount(std::string_view text);

// "%.2f" of an amount in grosze.
std::string FormatGrosze(std::int64_t grosze);

// The printer's clock at `now` as local broken-down time.
std::tm PrinterClock(const PrinterState& state, std::chrono::system_clock::time_point now);

// True when year (full), month, day, hour, minute, second name a real moment.
bool ValidDateTime(int year, int month, int day, int hour, int minute, int second);

// Builds a reply frame ESC 'P' body ESC '\'.
std::string ReplyFrame(std::string_view body);

// The two-digit upper-case XOR check (start 0xFF) of `body`.
std::string FrameCheck(std::string_view body);

// Adds a printout title to the printer's paper log (bounded).
void Print(PrinterState& state, std::string title);

// A receipt as printed: the programmed header lines (without their width codes) above the
// receipt's title.
std::string WithHeader(const PrinterState& state, std::string_view title);

}  // namespace ulvo
