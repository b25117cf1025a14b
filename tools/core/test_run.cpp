#include "tools/core/test_run.h"

#include <cstdio>
#include <cstring>

#include "link/frame.h"
#include "link/link.h"

namespace ulvo {

namespace {

constexpr char kEnq = 0x05;
constexpr std::uint8_t kCommandDone = 0x04;
constexpr std::uint8_t kReceiptOpen = 0x02;
constexpr double kTotalsTolerance = 0.005;

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string FormatCount(std::uint32_t value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%u", static_cast<unsigned>(value));
  return buffer;
}

}  // namespace

bool PrepareTestRun(Link& link, TestRunSettings& run, TestRunTotals& totals) {
  if (run.TestRunActive != 1) return false;
  if (link.settings().PrinterType == 2) {
    FormatFrame(link.TxBuf, kTxBufSize, "%cP%d$rcc%c%c", kEsc, run.TestDiscountMethod == 1 ? 1 : 0,
                kEsc, kBackslash);
    AddChecksum(link.TxBuf);
    if (link.SendFrame(link.TxBuf)) {
      run.TestRunActive = 0;
      return false;
    }
  }
  if (link.ReadTotalsSum(totals.CashTotalBefore)) run.TestRunActive = 0;
  return run.TestRunActive == 1;
}

bool TotalsAgree(const TestRunTotals& totals, const TestRunSettings& run) {
  const double difference = totals.CashTotalAfter - totals.CashTotalBefore - run.TestGrandTotal;
  return difference <= kTotalsTolerance && difference >= -kTotalsTolerance;
}

void CheckTestRunTotals(Link& link, const TestRunSettings& run, TestRunTotals& totals) {
  if (link.settings().PrinterType != 2) return;
  if (link.ReadTotalsSum(totals.CashTotalAfter)) return;
  if (!TotalsAgree(totals, run)) link.ui().ShowMessage("Błąd obliczeń!");
}

TestRunDriver::TestRunDriver(Link& link, TestRunSettings& run, TestRunTotals& totals,
                             TestReceiptGenerator& generator)
    : link_(link), run_(run), totals_(totals), generator_(generator) {}

bool TestRunDriver::SendEnq() {
  char enq[2] = {kEnq, '\0'};
  return link_.SendFrame(enq);
}

bool TestRunDriver::Start() {
  generator_.Reset();
  finished_ = false;
  confirmationLast_ = false;
  link_.FlushInput();
  return SendEnq();
}

TestRunDriver::TickResult TestRunDriver::Tick(std::chrono::milliseconds lineDelay,
                                              std::chrono::milliseconds receiptDelay,
                                              std::chrono::milliseconds current) {
  char status = 0;
  const long got = link_.ReadRaw(&status, 1, std::chrono::milliseconds(0));
  if (got < 0) return {Outcome::Stopped, current};
  if (got == 0) return {Outcome::Wait, current};
  link_.EnqStatus = static_cast<std::uint8_t>(status);

  if ((link_.EnqStatus & kCommandDone) == 0 && RefusedByPrinter()) {
    EndAfterRefusal();
    return {Outcome::Close, current};
  }

  std::chrono::milliseconds interval = current;
  TestReceiptGenerator::Step step = generator_.NextStep();
  confirmationLast_ = step.kind == TestReceiptGenerator::StepKind::Confirm;
  std::strncpy(link_.TxBuf, step.frame.c_str(), kTxBufSize - 1);
  link_.TxBuf[kTxBufSize - 1] = '\0';
  link_.SendFrame(link_.TxBuf);  // its result shows in the ENQ answer
  if (step.kind == TestReceiptGenerator::StepKind::Open) {
    interval = lineDelay;
  } else if (step.kind == TestReceiptGenerator::StepKind::Confirm) {
    interval = receiptDelay;
    lastReceiptTotal_ = generator_.receipt().ReceiptSum;
    // The status byte tells about the last command only: a drawer frame or a totals reading
    // behind the confirmation would hide its result, and a refusal seen after them would be
    // taken for the receipt's. So each result is asked for before the next frame goes out.
    const bool drawer = run_.TestOpenDrawer == 1 && link_.settings().PrinterType == 2;
    if (drawer || run_.TestVerifyTotals == 1) {
      if (LastCommandEndsRun()) return {Outcome::Close, interval};
      confirmationLast_ = false;  // carried out: the receipt is booked
    }
    if (drawer) {
      FormatFrame(link_.TxBuf, kTxBufSize, "%cP1$d%c%c", kEsc, kEsc, kBackslash);
      if (link_.SendFrame(link_.TxBuf)) return {Outcome::Stopped, interval};
      if (run_.TestVerifyTotals == 1 && LastCommandEndsRun()) return {Outcome::Close, interval};
    }
    if (run_.TestVerifyTotals == 1) {
      if (link_.ReadTotalsSum(totals_.CashTotalAfter)) return {Outcome::Close, interval};
      if (!TotalsAgree(totals_, run_)) {
        link_.ui().ShowMessage("Błąd obliczeń!");
        if (CancelOpenReceipt(false)) link_.ui().ShowMessage(kTestReceiptCancelledText);
        return {Outcome::Close, interval};
      }
    }
    if (run_.TestReceiptLimit != -1 &&
        run_.TestReceiptCount >= static_cast<std::uint32_t>(run_.TestReceiptLimit)) {
      finished_ = true;
      return {Outcome::Close, interval};
    }
  }
  if (SendEnq()) return {Outcome::Stopped, interval};
  return {Outcome::Next, interval};
}

bool TestRunDriver::RefusedByPrinter() {
  link_.ReadLastErrorCode();
  if (link_.LastErrorCode <= 0) return false;
  link_.ShowPrinterError();
  return true;
}

bool TestRunDriver::LastCommandEndsRun() {
  link_.ReplyReceived = 0;
  // No answer: the link has told the user, and the run cannot go on blind.
  if (link_.QueryEnq() || link_.ReplyReceived != 1 || link_.ReplyMissing) return true;
  if ((link_.EnqStatus & kCommandDone) != 0 || !RefusedByPrinter()) return false;
  EndAfterRefusal();
  return true;
}

void TestRunDriver::EndAfterRefusal() {
  // A refused confirmation booked nothing: it must not count in the totals check after.
  if (confirmationLast_) run_.TestGrandTotal -= lastReceiptTotal_;
  confirmationLast_ = false;
  if (CancelOpenReceipt(false)) link_.ui().ShowMessage(kTestReceiptCancelledText);
}

bool TestRunDriver::CancelOpenReceipt(bool checkResult) {
  if (link_.PortNumber == kNoPort) return false;
  // Only a status byte that comes now tells about an open receipt, not one from before.
  link_.ReplyReceived = 0;
  if (checkResult) {
    link_.CheckCommandResult();
  } else if (link_.QueryEnq()) {
    return false;
  }
  // A status byte that did not come says nothing about an open receipt.
  if (link_.ReplyReceived != 1 || (link_.EnqStatus & kReceiptOpen) == 0) return false;
  FormatFrame(link_.TxBuf, kTxBufSize, "%cP0$exx%c%c", kEsc, kEsc, kBackslash);
  AddChecksum(link_.TxBuf);
  if (link_.SendFrame(link_.TxBuf)) return false;
  return !link_.CheckCommandResult();
}

void TestRunDriver::Stop() {
  CancelOpenReceipt(true);
}

TestRunDriver::Texts TestRunDriver::CurrentTexts() const {
  const GeneratedReceipt& receipt = generator_.receipt();
  Texts texts;
  texts.receiptNumber = FormatCount(run_.TestReceiptCount);
  texts.lineNumber = receipt.LineNumber == 0
                         ? std::string("Otwarcie par.")
                         : FormatCount(static_cast<std::uint32_t>(receipt.LineNumber - 1));
  texts.receiptSum = Format("%.2f", receipt.ReceiptSum);
  texts.grandTotal = Format("%.2f", run_.TestGrandTotal);
  return texts;
}

}  // namespace ulvo
