// Orders, goods-database reports, periodic reports and currencies.

#include <gtest/gtest.h>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Command;
using simtest::FixedNow;
using simtest::LastError;

constexpr unsigned char kOk = simtest::kCarriedOutBit;

Printer Make(PrinterFamily family = PrinterFamily::kMavito, bool bus = false) {
  return Printer(PrinterVariant{family, bus, false});
}

bool Ok(Printer& p, const std::string& body) {
  return Command(p, body) & kOk;
}

std::string LastPrintout(const Printer& p) {
  return p.State().printouts.empty() ? "" : p.State().printouts.back();
}

TEST(SimOrder, StartLinesEnd) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "0;1;0;0#lJan Kowalski\r"));
  ASSERT_TRUE(Ok(p, "0;1;1;2#lMleko\r2 l\rlinia 1\rlinia 2\r"));
  ASSERT_TRUE(Ok(p, "0;1;1;0#lChleb\r1\r"));
  ASSERT_TRUE(Ok(p, "0;1;2;0#l"));
  EXPECT_EQ(LastPrintout(p), "Zamówienie");
  EXPECT_EQ(p.State().orderLines, 2);
  // The paper feed shares the code and still works.
  EXPECT_TRUE(Ok(p, "2#l"));
  EXPECT_EQ(p.State().linesFed, 2);
}

TEST(SimOrder, OutOfOrderAndMiscountedLines) {
  Printer p = Make();
  Command(p, "0;1;1;0#lMleko\r1\r");
  EXPECT_EQ(LastError(p), 4);
  Ok(p, "0;1;0;0#lJan\r");
  Command(p, "0;1;1;2#lMleko\r1\rtylko jedna\r");
  EXPECT_EQ(LastError(p), 3);
  Command(p, "0;1;1;0#lMleko\r1\rnadmiarowa\r");
  EXPECT_EQ(LastError(p), 3);
  Command(p, "0;1;1;1#lMleko\r1\r" + std::string(41, 'x') + "\r");
  EXPECT_EQ(LastError(p), 15);
  Command(p, "0;1;3;0#l");
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimDatabaseReport, StepByStep) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "0;1#b"));
  ASSERT_TRUE(Ok(p, "1#bMleko\rA/"));
  ASSERT_TRUE(Ok(p, "1;1#bChleb\rB/"));
  Command(p, "1#b\rA/");
  EXPECT_EQ(LastError(p), 38);
  Command(p, "1#bMleko\rH/");
  EXPECT_EQ(LastError(p), 39);
  Command(p, "1;2#bMleko\rA/");  // another kind than the open report
  EXPECT_EQ(LastError(p), 4);
  ASSERT_TRUE(Ok(p, "2#b"));
  EXPECT_EQ(p.State().databaseReportItems, 2);
  EXPECT_EQ(LastPrintout(p), "Raport kontroli bazy towarowej");
  Command(p, "1#bMleko\rA/");  // the report is closed
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimDatabaseReport, TicketLinesTakeTheirRateAndAnOptionalSurchargeRate) {
  struct Case {
    const char* rates;
    int error;  // 0: accepted
  } cases[] = {
      {"AB", 0},   {"A", 0},   {"G", 0},  {"GA", 0}, {"", 39},
      {"ABC", 39}, {"AH", 39}, {"H", 39}, {"a", 39},
  };
  Printer bus = Make(PrinterFamily::kMavito, true);
  ASSERT_TRUE(Ok(bus, "0;5#b"));
  int accepted = 0;
  for (const Case& c : cases) {
    const bool ok = Ok(bus, std::string("1;5#bNORMALNY\rPRZEJAZD\r") + c.rates + "/");
    EXPECT_EQ(ok, c.error == 0) << c.rates;
    if (!ok) {
      EXPECT_EQ(LastError(bus), c.error) << c.rates;
    }
    accepted += ok ? 1 : 0;
  }
  ASSERT_TRUE(Ok(bus, "2;5#b"));
  EXPECT_EQ(bus.State().databaseReportItems, accepted);
}

TEST(SimDatabaseReport, TicketKindsOnlyOnBusPrinters) {
  Printer bus = Make(PrinterFamily::kMavito, true);
  ASSERT_TRUE(Ok(bus, "0;5#b"));
  ASSERT_TRUE(Ok(bus, "1;5#bNORMALNY\rPRZEJAZD\rAB/"));
  ASSERT_TRUE(Ok(bus, "2;5#b"));
  Printer plain = Make();
  Command(plain, "0;4#b");
  EXPECT_EQ(LastError(plain), 4);
}

TEST(SimPeriodicReport, PrintedForMonthDatesAndNumbers) {
  Printer p = Make();
  EXPECT_TRUE(Ok(p, "26;5;0;0;0;0;0#o"));
  EXPECT_EQ(LastPrintout(p), "Raport okresowy miesięczny");
  EXPECT_TRUE(Ok(p, "26;5;1;26;5;31;1#o"));
  EXPECT_TRUE(Ok(p, "4#o1/10/"));
  EXPECT_TRUE(Ok(p, "6#o3/3/"));
  Command(p, "26;5;31;26;5;1;0#o");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "26;2;30;26;3;1;0#o");
  EXPECT_EQ(LastError(p), 135);
  Command(p, "4#o10/1/");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "4#o0/1/");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "4#o1/");
  EXPECT_EQ(LastError(p), 3);
}

TEST(SimPeriodicReport, AltaByNumbers) {
  Printer p = Make(PrinterFamily::kAlta);
  EXPECT_TRUE(Ok(p, "0;0;1;0;0;5;2#o"));
  Command(p, "0;0;5;0;0;1;3#o");
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimCurrency, ConversionUnderReceipts) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "1$$100/EUR\r3.4054\rPLN\r"));
  EXPECT_EQ(p.State().conversionCurrency, "EUR");
  Command(p, "1$$100/EUR\r3.4054\rEUR\r");
  EXPECT_EQ(LastError(p), 120);
  Command(p, "1$$7/EUR\r3.4054\rPLN\r");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "1$$1/EUR\r3,4054\rPLN\r");  // the dialog turns ',' into '.'; a printer wants it so
  EXPECT_EQ(LastError(p), 4);
  Command(p, "1$$1/EUR\r1234567890\rPLN\r");
  EXPECT_EQ(LastError(p), 4);
  ASSERT_TRUE(Ok(p, "0$$"));
  EXPECT_EQ(p.State().conversionCurrency, "");
}

TEST(SimCurrency, AccountingCurrencyChangesNow) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "0;26;6;15;10;30##EUR\r"));
  EXPECT_EQ(p.State().accountingCurrency, "EUR");
  Command(p, "0;26;6;15;10;30##EUR\r");
  EXPECT_EQ(LastError(p), 121);
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/1/1/");
  Ok(p, "1;0$e\r1/1/");
  Command(p, "0;26;6;15;10;30##PLN\r");
  EXPECT_EQ(LastError(p), 8);
}

TEST(SimCurrency, ScheduledChangeTakesEffectAtTheDailyReport) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "1;26;6;16;0;00##EUR\r"));
  Command(p, "1;26;6;17;0;00##USD\r");
  EXPECT_EQ(LastError(p), 123);
  Ok(p, "0#r");  // still the 15th
  EXPECT_EQ(p.State().accountingCurrency, "PLN");
  Command(p, "0#r", FixedNow() + std::chrono::hours(24));
  EXPECT_EQ(p.State().accountingCurrency, "EUR");
}

TEST(SimCurrency, ScheduledChangeCanBeCancelled) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "1;26;6;16;0;00##EUR\r"));
  ASSERT_TRUE(Ok(p, "2;26;6;16;0;00##EUR\r"));
  Command(p, "0#r", FixedNow() + std::chrono::hours(24));
  EXPECT_EQ(p.State().accountingCurrency, "PLN");
  Command(p, "1;26;2;30;0;00##EUR\r");
  EXPECT_EQ(LastError(p), 135);
}

}  // namespace
}  // namespace ulvo
