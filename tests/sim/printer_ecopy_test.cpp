// Control-number checks of the electronic copy, step by step.

#include <gtest/gtest.h>

#include "sim/fiscal_memory.h"
#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Command;
using simtest::LastError;

constexpr unsigned char kOk = simtest::kCarriedOutBit;
const std::string kNumber = "0123456789ABCDEF0123456789ABCDEF01234567";

Printer Ecopy() {
  return Printer(PrinterVariant{PrinterFamily::kMavito, false, true});
}

bool Ok(Printer& p, const std::string& body) {
  return Command(p, body) & kOk;
}

TEST(SimControlNumber, ReceiptSequence) {
  Printer p = Ecopy();
  ASSERT_TRUE(Ok(p, "0$*15-06-2026\r17/"));
  ASSERT_TRUE(Ok(p, "1$*Mleko\rA/"));
  ASSERT_TRUE(Ok(p, "1$*Chleb\rB/"));
  ASSERT_TRUE(Ok(p, "2$*1.23/10.00/17/ABC 12345678\r10:30:00\r"));
  ASSERT_TRUE(Ok(p, "10$*" + kNumber + "\r"));
  EXPECT_EQ(p.State().printouts.back(), "Numer kontrolny poprawny");
}

TEST(SimControlNumber, CancelledReceiptAndDailyReport) {
  Printer p = Ecopy();
  ASSERT_TRUE(Ok(p, "0$*15-06-2026\r17/"));
  ASSERT_TRUE(Ok(p, "3$*12345678\r10:30:00\r"));
  ASSERT_TRUE(Ok(p, "10$*" + kNumber + "\r"));
  ASSERT_TRUE(Ok(p, "0$*15-06-2026\r3/"));
  ASSERT_TRUE(Ok(p, "4$*A\r100.00/"));
  ASSERT_TRUE(Ok(p, "4$*G\r5.00/"));
  ASSERT_TRUE(Ok(p, "5$*23.00/"));
  ASSERT_TRUE(Ok(p, "5$*12/"));
  ASSERT_TRUE(Ok(p, "6$*12/3456789.12/"));
  ASSERT_TRUE(Ok(p, "7$*ABC 12345678\r00:00:00\r"));
  // No daily report 3 in the fiscal memory: no number can be right.
  EXPECT_FALSE(Ok(p, "10$*" + kNumber + "\r"));
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimControlNumber, DailyReportNumberIsCheckedAgainstTheFiscalMemory) {
  Printer p = Ecopy();
  GenerateFiscalMemory(p.MutableState(), 4, 3, 0);
  const std::string right = FiscalControlNumber(p.State(), 2);
  ASSERT_EQ(right.size(), 40u);
  std::string wrong = right;
  wrong[39] = wrong[39] == '0' ? '1' : '0';
  for (const auto& [number, accepted] : {std::pair{right, true}, std::pair{wrong, false}}) {
    ASSERT_TRUE(Ok(p, "0$*02-01-2000\r2/"));
    ASSERT_TRUE(Ok(p, "5$*1.00/"));
    ASSERT_TRUE(Ok(p, "5$*3/"));
    ASSERT_TRUE(Ok(p, "6$*0/5.00/"));
    ASSERT_TRUE(Ok(p, "7$*" + p.State().uniqueNumber.substr(0, 3) + " " +
                          p.State().uniqueNumber.substr(3) + "\r00:00:00\r"));
    EXPECT_EQ(Ok(p, "10$*" + number + "\r"), accepted);
    if (!accepted) {
      EXPECT_EQ(LastError(p), 4);
    }
  }
  // The same memory from the same seed: the same numbers.
  Printer again = Ecopy();
  GenerateFiscalMemory(again.MutableState(), 4, 3, 0);
  EXPECT_EQ(FiscalControlNumber(again.State(), 2), right);
  EXPECT_EQ(FiscalControlNumber(again.State(), 5), "");
}

TEST(SimControlNumber, StepsOutOfOrderAreRefused) {
  Printer p = Ecopy();
  Command(p, "1$*Mleko\rA/");  // nothing started
  EXPECT_EQ(LastError(p), 4);
  Command(p, "10$*" + kNumber + "\r");
  EXPECT_EQ(LastError(p), 4);
  Ok(p, "0$*15-06-2026\r3/");
  Ok(p, "4$*A\r100.00/");
  Command(p, "1$*Mleko\rA/");  // a receipt item inside a report check
  EXPECT_EQ(LastError(p), 4);
  Command(p, "6$*1/2.00/");  // before both sums
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimControlNumber, MalformedFieldsAreRefused) {
  Printer p = Ecopy();
  Command(p, "0$*2026-06-15\r17/");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "0$*31-02-2026\r17/");
  EXPECT_EQ(LastError(p), 4);
  Ok(p, "0$*15-06-2026\r17/");
  Command(p, "2$*1.23/10.00/17/AB 12345678\r10:30:00\r");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "2$*1.23/10.00/17/ABC 12345678\r25:30:00\r");
  EXPECT_EQ(LastError(p), 4);
  Ok(p, "2$*1.23/10.00/17/ABC 12345678\r10:30:00\r");
  Command(p, "10$*" + kNumber.substr(1) + "\r");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "10$*" + std::string(40, 'g') + "\r");
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimControlNumber, OnlyPrintersWithTheElectronicCopy) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  EXPECT_FALSE(Ok(p, "0$*15-06-2026\r17/"));
  EXPECT_EQ(LastError(p), 0);
}

}  // namespace
}  // namespace ulvo
