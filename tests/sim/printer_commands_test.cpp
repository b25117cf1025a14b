// The effects of the catalogue's commands, as the printer shows them back.

#include <gtest/gtest.h>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Command;
using simtest::Exchange;
using simtest::FixedNow;
using simtest::LastError;
using simtest::Unchecked;

constexpr unsigned char kOk = simtest::kCarriedOutBit;

Printer Mavito(bool ecopy = false) {
  return Printer(PrinterVariant{PrinterFamily::kMavito, false, ecopy});
}

std::vector<unsigned> Settings(Printer& p) {
  std::string reply = Exchange(p, Checked("$8"));
  unsigned v[13] = {};
  char esc = 0;
  int n =
      std::sscanf(reply.c_str(), "%cP#U%u/%u/%u/%u/%u/%u/%u/%u/%u/%u/%u/%u/%u/", &esc, &v[0], &v[1],
                  &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11], &v[12]);
  if (n != 14) return {};
  return std::vector<unsigned>(v, v + 13);
}

std::string Clock(Printer& p, std::chrono::system_clock::time_point now = FixedNow()) {
  return Exchange(p, Checked("0#c"), now);
}

// --- clock correction -------------------------------------------------------------------

TEST(SimClockCorrection, RefusedWithoutDailyReport) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "26;6;15;10;40;0$c") & kOk, 0);
  EXPECT_EQ(LastError(p), 136);
  EXPECT_EQ(Clock(p), "\x1BP1#C26;6;15;10;30;0\x1B\\");
}

TEST(SimClockCorrection, AllowedRightAfterDailyReport) {
  Printer p = Mavito();
  Command(p, "0#r");
  EXPECT_EQ(Command(p, "26;6;15;11;35;0$c") & kOk, kOk);
  EXPECT_EQ(Clock(p), "\x1BP1#C26;6;15;11;35;0\x1B\\");
  // The clock keeps running from there.
  EXPECT_EQ(Clock(p, FixedNow() + std::chrono::minutes(10)), "\x1BP1#C26;6;15;11;45;0\x1B\\");
}

TEST(SimClockCorrection, MoreThanSeventyMinutesIsError129) {
  Printer p = Mavito();
  Command(p, "0#r");
  EXPECT_EQ(Command(p, "26;6;15;11;41;0$c") & kOk, 0);  // 71 minutes on
  EXPECT_EQ(LastError(p), 129);
  EXPECT_EQ(Command(p, "26;6;15;9;19;0$c") & kOk, 0);  // 71 minutes back
  EXPECT_EQ(LastError(p), 129);
  EXPECT_EQ(Command(p, "26;6;15;9;20;0$c") & kOk, kOk);  // exactly 70 back
}

TEST(SimClockCorrection, OneCorrectionPerReport) {
  Printer p = Mavito();
  Command(p, "0#r");
  EXPECT_EQ(Command(p, "26;6;15;10;35;0$c") & kOk, kOk);
  Command(p, "26;6;15;10;40;0$c");
  EXPECT_EQ(LastError(p), 136);
}

TEST(SimClockCorrection, SaleAfterReportForbidsCorrection) {
  Printer p = Mavito();
  Command(p, "0#r");
  Command(p, "0$h");
  Command(p, "1$lA\r1\rA/1/1/");
  Command(p, "1;0$e\r1/1/");
  Command(p, "26;6;15;10;35;0$c");
  EXPECT_EQ(LastError(p), 136);
}

TEST(SimClockCorrection, BadDateAndCount) {
  Printer p = Mavito();
  Command(p, "0#r");
  Command(p, "26;2;30;10;30;0$c");
  EXPECT_EQ(LastError(p), 135);
  Command(p, "26;6;15;24;0;0$c");
  EXPECT_EQ(LastError(p), 135);
  Command(p, "26;6;15;10;30$c");
  EXPECT_EQ(LastError(p), 3);
}

// --- daily report -------------------------------------------------------------------------

TEST(SimDailyReport, ZeroesTotalsAndKeepsThemInTotalZ) {
  Printer p(PrinterVariant{PrinterFamily::kAlta, false, false});
  Command(p, "0$h");
  Command(p, "1$lMleko\r2\rB/1.50/3.00/");
  Command(p, "1;0$e\r5/3.00/");
  EXPECT_EQ(p.State().totals[1], 300);
  EXPECT_EQ(Command(p, "1;26;6;15#r") & kOk, kOk);
  EXPECT_EQ(p.State().totals[1], 0);
  EXPECT_EQ(p.State().totalZ, 300);
  EXPECT_EQ(p.State().dailyReports, 1);
  ASSERT_EQ(p.State().fiscalMemory.size(), 1u);
  EXPECT_EQ(p.State().fiscalMemory[0].totals[1], 300);
}

TEST(SimDailyReport, ConfirmedDateMustBeThePrintersDate) {
  Printer p = Mavito();
  Command(p, "1;26;6;14#r");
  EXPECT_EQ(LastError(p), 5);
  Command(p, "1;26;2;31#r");
  EXPECT_EQ(LastError(p), 135);
  EXPECT_EQ(p.State().dailyReports, 0);
}

TEST(SimDailyReport, RefusedDuringTransaction) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "0#r");
  EXPECT_EQ(LastError(p), 140);
}

// --- receipt ------------------------------------------------------------------------------

TEST(SimReceipt, OneGroszReceiptGrowsTotalA) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "0$h"), 0x66);  // begun: in transaction, last one not finished
  EXPECT_EQ(Command(p, "1$lTowar Testowy\r1\rA/0.01/0.01/"), 0x66);
  EXPECT_EQ(Command(p, "1;0$e\r0.01/0.01/"), 0x65);  // confirmed
  EXPECT_EQ(p.State().totals[0], 1);
  EXPECT_EQ(p.State().receiptCount, 1);
  // The drawer command the dialog sends afterwards has no check.
  Exchange(p, "\x1BP1$d\x1B\\");
  EXPECT_EQ(LastError(p), 0);
  EXPECT_EQ(p.State().drawerOpenings, 1);
  // A second receipt adds up.
  Command(p, "0$h");
  Command(p, "1$lTowar Testowy\r1\rA/0.01/0.01/");
  Command(p, "1;0$e\r0.01/0.01/");
  EXPECT_EQ(p.State().totals[0], 2);
}

TEST(SimReceipt, LineOutsideTransactionIsError21) {
  Printer p = Mavito();
  Command(p, "1$lTowar Testowy\r1\rA/0.01/0.01/");
  EXPECT_EQ(LastError(p), 21);
  Command(p, "1;0$e\r0.01/0.01/");
  EXPECT_EQ(LastError(p), 29);
}

TEST(SimReceipt, SecondBeginIsError95) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "0$h");
  EXPECT_EQ(LastError(p), 95);
  EXPECT_TRUE(p.State().inTransaction);
}

TEST(SimReceipt, BadLinesAreRefused) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "1$l\r1\rA/1/1/");
  EXPECT_EQ(LastError(p), 16);
  Command(p, "1$lX\r0\rA/1/1/");
  EXPECT_EQ(LastError(p), 17);
  Command(p, "1$lX\r1\rH/1/1/");
  EXPECT_EQ(LastError(p), 18);
  Command(p, "1$lX\r1\rF/1/1/");  // rate F is not in use
  EXPECT_EQ(LastError(p), 18);
  Command(p, "1$lX\r1\rA/1.234/1/");
  EXPECT_EQ(LastError(p), 19);
  Command(p, "1$lX\r2\rA/1.50/3.01/");  // value is not quantity times price
  EXPECT_EQ(LastError(p), 20);
  Command(p, "1$lX\r1\rA/1/");
  EXPECT_EQ(LastError(p), 3);
  Command(p, "1$lX\r0.5\rA/0.03/0.02/");  // 0.015 rounds half up
  EXPECT_EQ(LastError(p), 0);
}

TEST(SimReceipt, ConfirmChecksTotalAndPayment) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "1$lX\r1\rA/2/2/");
  Command(p, "1;0$e\r2/1.99/");
  EXPECT_EQ(LastError(p), 27);
  Command(p, "1;0$e\r1/2/");
  EXPECT_EQ(LastError(p), 26);
  EXPECT_TRUE(p.State().inTransaction);
  EXPECT_EQ(Command(p, "1;0$e\r2/2/") & kOk, kOk);
  EXPECT_EQ(p.State().totals[0], 200);
}

TEST(SimReceipt, CancelLeavesTotalsAlone) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "1$lX\r1\rA/2/2/");
  EXPECT_EQ(Command(p, "0$e\r0/0/"), 0x64);  // cancelled: not finished positively
  EXPECT_EQ(p.State().totals[0], 0);
  EXPECT_EQ(p.State().receiptCount, 0);
}

TEST(SimReceipt, EmptyReceiptCannotBeConfirmed) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "1;0$e\r0/0/");
  EXPECT_EQ(LastError(p), 23);
}

// --- cash ---------------------------------------------------------------------------------

TEST(SimCash, InAndOut) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "#i100.50/") & kOk, kOk);
  EXPECT_EQ(Command(p, "#d0,50/") & kOk, kOk);
  EXPECT_EQ(p.State().cash, 10000);
  EXPECT_EQ(Command(p, "0#t") & kOk, kOk);
}

TEST(SimCash, TakingOutMoreThanThereIsKeepsTheCash) {
  Printer p = Mavito();
  Command(p, "#i10/");
  Command(p, "#d10.01/");
  EXPECT_EQ(LastError(p), 32);
  EXPECT_EQ(p.State().cash, 1000);
}

TEST(SimCash, BadAmountIsError30) {
  Printer p = Mavito();
  for (const char* amount : {"#i/", "#iabc/", "#i1.005/", "#i-5/", "#i12345678901/"}) {
    Command(p, amount);
    EXPECT_EQ(LastError(p), 30) << amount;
  }
  Command(p, "#i5");
  EXPECT_EQ(LastError(p), 3);
  EXPECT_EQ(p.State().cash, 0);
}

TEST(SimCash, CashierLoginAndLogout) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "#pJan\r12\r") & kOk, kOk);
  EXPECT_EQ(p.State().cashier, "Jan");
  EXPECT_EQ(p.State().registerNumber, "12");
  EXPECT_TRUE(p.State().cashierLoggedIn);
  Command(p, "#p\r1\r");
  EXPECT_EQ(LastError(p), 34);
  Command(p, "#p" + std::string(33, 'k') + "\r1\r");
  EXPECT_EQ(LastError(p), 34);
  Command(p, "#pJan\r");
  EXPECT_EQ(LastError(p), 3);
  EXPECT_EQ(Command(p, "#qJan\r12\r") & kOk, kOk);
  EXPECT_FALSE(p.State().cashierLoggedIn);
}

TEST(SimCash, ShiftReportKinds) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "0#k1\rJan\r") & kOk, kOk);
  EXPECT_EQ(Command(p, "23#k1\rJan\r") & kOk, kOk);
  Command(p, "5#k1\rJan\r");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "0#k123456789\rJan\r");
  EXPECT_EQ(LastError(p), 33);
}

TEST(SimCash, PaperFeed) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "1#l") & kOk, kOk);
  EXPECT_EQ(Command(p, "5#l") & kOk, kOk);
  EXPECT_EQ(p.State().linesFed, 6);
  Command(p, "256#l");
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimCash, DisplayAndDrawer) {
  Printer p = Mavito();
  Exchange(p, "\x1BP2$d\xFFZapraszamy\x1B\\");
  EXPECT_EQ(LastError(p), 0);
  EXPECT_EQ(p.State().displayText, "Zapraszamy");
  Exchange(p, "\x1BP3$d\xFF\x1B\\");
  EXPECT_EQ(p.State().displayMode, 3);
  Exchange(p, "\x1BP1$d\xFFtekst\x1B\\");
  EXPECT_EQ(p.State().drawerOpenings, 1);
  EXPECT_EQ(p.State().displayText, "Zapraszamy");
  Exchange(p, "\x1BP9$d\xFF\x1B\\");
  EXPECT_EQ(LastError(p), 4);
  Exchange(p, "\x1BP2$d\xFF" + std::string(251, 'x') + "\x1B\\");
  EXPECT_EQ(LastError(p), 4);
}

// --- configuration ------------------------------------------------------------------------

TEST(SimConfig, PowerOnSettings) {
  Printer p = Mavito();
  EXPECT_EQ(Settings(p), (std::vector<unsigned>{3, 0, 100, 2, 30, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SimConfig, EachOptionShowsInTheSettingsReply) {
  Printer p = Mavito(true);
  struct Case {
    const char* body;
    int index;
    unsigned value;
  } cases[] = {
      {"2$1", 1, 2}, {"200$2", 2, 200}, {"3$3", 3, 3},  {"50$5", 4, 50}, {"2$6", 5, 2},
      {"1$7", 6, 1}, {"2;1$o", 7, 1},   {"3#e", 10, 3}, {"1$9", 11, 1},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Command(p, c.body) & kOk, kOk) << c.body;
    std::vector<unsigned> v = Settings(p);
    ASSERT_EQ(v.size(), 13u);
    EXPECT_EQ(v[c.index], c.value) << c.body;
  }
}

TEST(SimConfig, FlagOptions) {
  Printer p = Mavito();
  Command(p, "1$!");
  EXPECT_EQ(Settings(p)[12], 0x01u);
  Command(p, "0$@");  // the older ULVO rule
  EXPECT_EQ(Settings(p)[12], 0x03u);
  Command(p, "1$@");
  EXPECT_EQ(Settings(p)[12], 0x01u);
  Command(p, "1$r");  // method 1
  EXPECT_EQ(Settings(p)[12], 0x09u);
  Command(p, "0$r");  // method 2
  EXPECT_EQ(Settings(p)[12], 0x05u);
  Command(p, "0$!");
  EXPECT_EQ(Settings(p)[12], 0x04u);
}

TEST(SimConfig, OutOfRangeValuesAreError4AndChangeNothing) {
  Printer p = Mavito();
  for (const char* body :
       {"4$1", "99$2", "256$2", "0$3", "51$5", "3$6", "3$7", "2$9", "2$!", "4#e", "2;2$o"}) {
    Command(p, body);
    EXPECT_EQ(LastError(p), 4) << body;
  }
  EXPECT_EQ(Settings(p), (std::vector<unsigned>{3, 0, 100, 2, 30, 0, 0, 0, 0, 0, 0, 0, 0}));
  Command(p, "$1");
  EXPECT_EQ(LastError(p), 3);
}

TEST(SimConfig, AltaKnowsOnlyTwoErrorModes) {
  Printer p(PrinterVariant{PrinterFamily::kAlta, false, false});
  EXPECT_EQ(Command(p, "0#e") & kOk, kOk);
  Command(p, "2#e");
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimConfig, PrintSpeedOnlyWithElectronicCopy) {
  Printer plain = Mavito();
  Command(plain, "8$6");
  EXPECT_EQ(LastError(plain), 4);
  Printer ecopy = Mavito(true);
  EXPECT_EQ(Command(ecopy, "8$6") & kOk, kOk);
  EXPECT_EQ(ecopy.State().printSpeed, 8);
}

TEST(SimConfig, ServiceReminder) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "0;1;27;6;15$o600100200\r") & kOk, kOk);
  EXPECT_TRUE(p.State().serviceReminder);
  EXPECT_EQ(p.State().servicePhone, "600100200");
  Command(p, "0;1;27;2;30$o1\r");
  EXPECT_EQ(LastError(p), 135);
  Command(p, "0;1;27;6$o1\r");
  EXPECT_EQ(LastError(p), 3);
}

TEST(SimConfig, OptionsRefusedDuringTransaction) {
  Printer p = Mavito();
  Command(p, "0$h");
  Command(p, "1$3");
  EXPECT_EQ(LastError(p), 140);
}

TEST(SimConfig, TypeAndVersionAnswerCanBeRedefined) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "$#POSNET Thermal/2.01\r") & kOk, kOk);
  EXPECT_EQ(Exchange(p, Unchecked("1#v")), "\x1BP1#RPOSNET Thermal/2.01\x1B\\");
  Command(p, "$#\r");  // back to the default
  EXPECT_EQ(Exchange(p, Unchecked("1#v")), "\x1BP1#RMavito/1.07\x1B\\");
  Command(p, "$#" + std::string(41, 'v') + "\r");
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimConfig, TypeAndVersionPerFamily) {
  Printer alta(PrinterVariant{PrinterFamily::kAlta, false, false});
  EXPECT_EQ(Exchange(alta, Unchecked("1#v")), "\x1BP1#RAlta/2.05\x1B\\");
  Printer pro(PrinterVariant{PrinterFamily::kAltaPro, false, false});
  EXPECT_EQ(Exchange(pro, Unchecked("1#v")), "\x1BP1#RAlta Pro/3.10F\x1B\\");
}

// --- input buffer and printouts -----------------------------------------------------------

TEST(SimInputBuffer, AnswersWhatWasReceivedReadably) {
  Printer p = Mavito();
  Command(p, "1#l");
  std::string reply = Exchange(p, Checked("$0"));
  ASSERT_GE(reply.size(), 6u);
  EXPECT_EQ(reply.substr(0, 4), "\x1BP#I");
  std::string text = reply.substr(4, reply.size() - 6);
  EXPECT_NE(text.find("<1BH>P1#l"), std::string::npos) << text;
  // No raw ESC inside: the answer must end only at its own ESC '\'.
  EXPECT_EQ(text.find('\x1B'), std::string::npos);
}

TEST(SimInputBuffer, IsBounded) {
  Printer p = Mavito();
  for (int i = 0; i < 500; ++i) Command(p, "1#l");
  EXPECT_LE(p.State().inputHistory.size(), kInputHistorySize);
}

TEST(SimPrintouts, ErrorTablePrints) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "$4") & kOk, kOk);
  ASSERT_FALSE(p.State().printouts.empty());
  EXPECT_EQ(p.State().printouts.back(), "Tablica błędów");
}

TEST(SimReset, BackToPowerOn) {
  Printer p = Mavito();
  Command(p, "#i5/");
  Command(p, "0$h");
  p.Reset();
  EXPECT_EQ(p.State().cash, 0);
  EXPECT_FALSE(p.State().inTransaction);
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
}

}  // namespace
}  // namespace ulvo
