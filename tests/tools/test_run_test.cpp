// The test run's drive loop and its checks before and after, against an emulator in this
// process: what reaches the printer, its totals, and how a run ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "link/link.h"
#include "sim/emulator.h"
#include "tests/support/environment.h"
#include "tests/support/scripted_link_ui.h"
#include "tests/tools/emulator_port.h"
#include "tools/core/test_run.h"

namespace ulvo {
namespace {

using std::chrono::milliseconds;

class TestRunOverEmulator : public ::testing::Test {
 protected:
  void Start(PrinterFamily family = PrinterFamily::kMavito) {
    ulvo::testing::SetEnv("ULVO_COM1", "emulator");
    SimOptions options;
    options.baud = 0;
    options.variant.family = family;
    emulator = std::make_unique<Emulator>(options);
    settings.PortNumber = 1;
    settings.PrinterType = family == PrinterFamily::kMavito    ? 2
                           : family == PrinterFamily::kAltaPro ? 1
                                                               : 0;
    link = std::make_unique<Link>(settings, ui, [this](const std::string&) {
      return std::make_unique<EmulatorPort>(*emulator);
    });
    ASSERT_FALSE(link->OpenPort(true));
  }
  void TearDown() override { ulvo::testing::UnsetEnv("ULVO_COM1"); }

  std::string Get(const std::string& item) {
    const std::string answer = emulator->Control("get " + item, {});
    return answer.size() > 3 ? answer.substr(3) : std::string();
  }
  double Totals() {
    double sum = 0;
    for (char letter = 'A'; letter <= 'G'; ++letter)
      sum += std::stod(Get(std::string("total") + letter));
    return sum;
  }

  // Starts a run from the form as the settings dialog does.
  void Begin(TestRunForm form) {
    ASSERT_EQ(CheckTestRunForm(form, settings.PrinterType, run).result,
              TestRunCheck::Result::Start);
    ASSERT_TRUE(PrepareTestRun(*link, run, totals));
    generator = std::make_unique<TestReceiptGenerator>(run, random, GoodsNames(), 0);
    driver = std::make_unique<TestRunDriver>(*link, run, totals, *generator);
    ASSERT_FALSE(driver->Start());
  }

  // Ticks until the run closes (or `until` says stop); the outcome of the last tick.
  TestRunDriver::Outcome TickUntilClosed(const std::function<bool()>& until = nullptr) {
    TestRunDriver::Outcome outcome = TestRunDriver::Outcome::Wait;
    for (int i = 0; i < 5000; ++i) {
      if (until && until()) break;
      outcome = driver->Tick(milliseconds(25), milliseconds(25), milliseconds(25)).outcome;
      if (outcome == TestRunDriver::Outcome::Close || outcome == TestRunDriver::Outcome::Stopped)
        break;
    }
    return outcome;
  }

  Settings settings;
  ScriptedLinkUi ui;
  std::unique_ptr<Emulator> emulator;
  std::unique_ptr<Link> link;
  TestRunSettings run;
  TestRunTotals totals;
  RuntimeRandom random{2024};
  std::unique_ptr<TestReceiptGenerator> generator;
  std::unique_ptr<TestRunDriver> driver;
};

TEST_F(TestRunOverEmulator, LimitedRunEndsFinishedWithThePrintersTotalsInStep) {
  Start();
  const double before = Totals();
  TestRunForm form;
  form.limitedReceipts = true;
  form.receiptLimit = "5";
  form.linesFrom = "1";
  form.linesTo = "6";
  form.randomReceiptDiscount = false;
  form.verifyTotals = true;
  Begin(form);
  EXPECT_EQ(TickUntilClosed(), TestRunDriver::Outcome::Close);
  EXPECT_TRUE(driver->Finished());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Get("receipts"), "5");
  EXPECT_EQ(Get("drawer"), "5");
  EXPECT_EQ(Get("intransaction"), "0");
  EXPECT_NEAR(Totals() - before, run.TestGrandTotal, 0.005);
  CheckTestRunTotals(*link, run, totals);
  EXPECT_TRUE(ui.messages.empty());
  const TestRunDriver::Texts texts = driver->CurrentTexts();
  EXPECT_EQ(texts.receiptNumber, "5");
  EXPECT_EQ(texts.lineNumber, "Otwarcie par.");
}

TEST_F(TestRunOverEmulator, PrinterErrorInALineCancelsTheReceiptAndSaysSo) {
  Start();
  TestRunForm form;
  form.fixedLines = true;
  form.fixedLineCount = "4";
  Begin(form);
  // Open and two lines, then the printer refuses the third.
  TickUntilClosed([this] { return generator->receipt().LineNumber == 3; });
  ASSERT_EQ(Get("intransaction"), "1");
  ASSERT_EQ(emulator->Control("refuse 17", {}), "ok");
  EXPECT_EQ(TickUntilClosed(), TestRunDriver::Outcome::Close);
  EXPECT_FALSE(driver->Finished());
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].rfind("Wystąpił bład nr: 17", 0), 0u);
  EXPECT_EQ(ui.messages[1], kTestReceiptCancelledText);
  EXPECT_EQ(Get("intransaction"), "0");
  EXPECT_EQ(Get("lastprintout"), "Paragon anulowany");
}

TEST_F(TestRunOverEmulator, RefusedConfirmationLeavesTheGrandTotalAsThePrinterBookedIt) {
  // The drawer frame or the totals reading right behind must not hide the refusal.
  for (const auto& [drawer, verify] : {std::pair{false, false}, std::pair{true, false},
                                       std::pair{false, true}, std::pair{true, true}}) {
    SCOPED_TRACE(std::string(drawer ? "drawer" : "no drawer") + (verify ? ", verify" : ""));
    Start();
    ui = ScriptedLinkUi{};
    const double before = Totals();
    TestRunForm form;
    form.fixedLines = true;
    form.fixedLineCount = "1";
    form.openDrawer = drawer;
    form.verifyTotals = verify;
    Begin(form);
    // One whole receipt, then the next one's confirmation is refused.
    TickUntilClosed(
        [this] { return run.TestReceiptCount == 2 && generator->receipt().LineNumber == 2; });
    const double booked = run.TestGrandTotal;
    ASSERT_GT(booked, 0.0);
    ASSERT_EQ(emulator->Control("refuse 27", {}), "ok");
    EXPECT_EQ(TickUntilClosed(), TestRunDriver::Outcome::Close);
    EXPECT_NEAR(run.TestGrandTotal, booked, 1e-9);
    EXPECT_EQ(Get("intransaction"), "0");
    EXPECT_EQ(Get("drawer"), drawer ? "1" : "0");  // only after the booked receipt
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].rfind("Wystąpił bład nr: 27", 0), 0u);
    EXPECT_EQ(ui.messages[1], kTestReceiptCancelledText);
    // So the check after the run agrees with the printer.
    CheckTestRunTotals(*link, run, totals);
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_NEAR(Totals() - before, booked, 0.005);
  }
}

TEST_F(TestRunOverEmulator, RefusedDrawerFrameKeepsTheBookedReceiptInTheGrandTotal) {
  for (const bool verify : {false, true}) {
    SCOPED_TRACE(verify ? "totals checked after each receipt" : "totals checked at the end");
    Start();
    ui = ScriptedLinkUi{};
    const double before = Totals();
    TestRunForm form;
    form.fixedLines = true;
    form.fixedLineCount = "2";
    form.verifyTotals = verify;
    Begin(form);
    ASSERT_EQ(emulator->Control("refuse 5 $d", {}), "ok");
    EXPECT_EQ(TickUntilClosed(), TestRunDriver::Outcome::Close);
    EXPECT_FALSE(driver->Finished());
    EXPECT_EQ(Get("receipts"), "1");
    EXPECT_EQ(Get("drawer"), "0");
    // The printer's error is the drawer's; the receipt it booked stays counted.
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].rfind("Wystąpił bład nr: 5", 0), 0u);
    EXPECT_GT(run.TestGrandTotal, 0.0);
    EXPECT_NEAR(Totals() - before, run.TestGrandTotal, 0.005);
    CheckTestRunTotals(*link, run, totals);
    EXPECT_EQ(ui.messages.size(), 1u);  // no "Błąd obliczeń!"
  }
}

TEST_F(TestRunOverEmulator, DrawerAndDiscountMethodOnlyForTheMavito) {
  Start(PrinterFamily::kAltaPro);
  TestRunForm form;
  form.limitedReceipts = true;
  form.receiptLimit = "2";
  form.openDrawer = true;  // left checked from a Mavito run
  Begin(form);
  EXPECT_EQ(Get("frames"), "1");  // only the cash information
  EXPECT_EQ(TickUntilClosed(), TestRunDriver::Outcome::Close);
  EXPECT_TRUE(driver->Finished());
  EXPECT_EQ(Get("receipts"), "2");
  EXPECT_EQ(Get("drawer"), "0");
}

TEST_F(TestRunOverEmulator, NothingIsSentWhenTheSettingsWereCancelled) {
  Start();
  run.TestRunActive = 0;
  EXPECT_FALSE(PrepareTestRun(*link, run, totals));
  EXPECT_EQ(Get("frames"), "0");
  EXPECT_EQ(Get("bytesin"), "0");
}

TEST_F(TestRunOverEmulator, StopCancelsAnOpenReceiptQuietly) {
  Start();
  TestRunForm form;
  form.fixedLines = true;
  form.fixedLineCount = "9";
  Begin(form);
  TickUntilClosed([this] { return generator->receipt().LineNumber == 4; });
  ASSERT_EQ(Get("intransaction"), "1");
  driver->Stop();
  EXPECT_EQ(Get("intransaction"), "0");
  EXPECT_TRUE(ui.messages.empty());
  driver->Stop();  // nothing open any more: nothing sent
  EXPECT_EQ(Get("lasterror"), "0");
}

}  // namespace
}  // namespace ulvo
