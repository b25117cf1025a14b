#pragma once
// Drives a test run on the printer: the checks before and after it, and the timer-paced
// loop of the progress dialog (one step per tick, the next only after the printer answered
// the ENQ that followed the previous one). Qt-free; the dialogs only show what it says.

#include <chrono>
#include <string>

#include "tools/core/test_transactions.h"

namespace ulvo {

class Link;

// Printer totals around a run (sum of TOT A..G).
struct TestRunTotals {
  double CashTotalBefore = 0;
  double CashTotalAfter = 0;
};

// Before the run (the settings dialog has closed). The Mavito is told the discount method
// first; then the totals are read. Returns true when the run may start (TestRunActive 1).
bool PrepareTestRun(Link& link, TestRunSettings& run, TestRunTotals& totals);

// After the run: the totals must have grown by the grand total ("Błąd obliczeń!" otherwise).
// Only for the Mavito.
void CheckTestRunTotals(Link& link, const TestRunSettings& run, TestRunTotals& totals);

// True when the printer's totals grew by exactly the run's grand total (within half a grosz).
bool TotalsAgree(const TestRunTotals& totals, const TestRunSettings& run);

class TestRunDriver {
 public:
  enum class Outcome {
    Wait,     // no answer to the last ENQ yet: tick again with the same interval
    Next,     // a step went out: tick again after `interval`
    Stopped,  // a write failed: the timer stays stopped, the dialog stays on screen
    Close,    // the run is over (printer error, totals mismatch, limit reached)
  };
  struct TickResult {
    Outcome outcome = Outcome::Wait;
    std::chrono::milliseconds interval{0};
  };
  // What the progress dialog shows.
  struct Texts {
    std::string receiptNumber, lineNumber, receiptSum, grandTotal;
  };

  TestRunDriver(Link& link, TestRunSettings& run, TestRunTotals& totals,
                TestReceiptGenerator& generator);

  // On show: no receipt in progress, stale input drained, the first ENQ sent. True when that
  // ENQ could not be written.
  bool Start();

  // One timer tick. `current` is the interval the timer ran with.
  TickResult Tick(std::chrono::milliseconds lineDelay, std::chrono::milliseconds receiptDelay,
                  std::chrono::milliseconds current);

  // The "&Przerwij" path: the last command's result, then the open receipt cancelled.
  void Stop();

  Texts CurrentTexts() const;
  bool Finished() const { return finished_; }

 private:
  // Cancels the receipt when the printer says one is open. `checkResult`: ask through
  // CheckCommandResult first (the user's stop), else only the status byte. True when a
  // receipt was cancelled.
  bool CancelOpenReceipt(bool checkResult);
  bool SendEnq();
  // The status byte said the last command was not carried out: true (and the printer's error
  // shown) when the printer names an error for it.
  bool RefusedByPrinter();
  // The run ends on a refusal: an unbooked receipt leaves the grand total, an open one is
  // cancelled.
  void EndAfterRefusal();
  // Asks at once how the last command went, before another frame takes its place in the
  // status byte. True when the run ends (refused, or no answer).
  bool LastCommandEndsRun();

  Link& link_;
  TestRunSettings& run_;
  TestRunTotals& totals_;
  TestReceiptGenerator& generator_;
  // The last frame out was a receipt's confirmation (not a line, an opening or the drawer).
  bool confirmationLast_ = false;
  double lastReceiptTotal_ = 0;
  bool finished_ = false;
};

// The message shown when a run that stopped by itself left a receipt open and it was cancelled.
inline constexpr const char* kTestReceiptCancelledText =
    "Otwarty paragon testowy został anulowany.";

}  // namespace ulvo
