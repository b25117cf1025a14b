// Receipts by hand: system numbers, block mode, discounts, STORNO, deposits, both
// confirmations and the card slips.

#include <gtest/gtest.h>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using namespace std::string_literals;

using simtest::Command;
using simtest::LastError;

constexpr unsigned char kOk = simtest::kCarriedOutBit;

Printer Make(PrinterFamily family = PrinterFamily::kMavito) {
  return Printer(PrinterVariant{family, false, false});
}

bool Ok(Printer& p, const std::string& body) {
  return Command(p, body) & kOk;
}

TEST(SimReceiptBegin, SystemNumberFollowsTheOption) {
  Printer p = Make();
  EXPECT_TRUE(Ok(p, "0;1$h#A123\r"));
  EXPECT_EQ(p.State().systemNumber, "#A123");
  Ok(p, "0$e");
  EXPECT_TRUE(Ok(p, "0;1$h##5901234123457#\r"));  // as a bar code
  Ok(p, "0$e");
  Command(p, "0;1$hA123\r");  // the POSNET rule wants the '#'
  EXPECT_EQ(LastError(p), 4);
  Ok(p, "0$@");  // the older ULVO rule does not
  EXPECT_TRUE(Ok(p, "0;1$hA123\r"));
}

TEST(SimReceiptBegin, BlockModeWantsExactlyTheAnnouncedLines) {
  Printer p = Make();
  ASSERT_TRUE(Ok(p, "2;1$h#0\r"));
  ASSERT_TRUE(Ok(p, "1$lA\r1\rA/1/1/"));
  Command(p, "1;0$e\r1/1/");
  EXPECT_EQ(LastError(p), 23);
  ASSERT_TRUE(Ok(p, "2$lB\r1\rA/1/1/"));
  Command(p, "3$lC\r1\rA/1/1/");
  EXPECT_EQ(LastError(p), 23);
  EXPECT_TRUE(Ok(p, "1;0$e\r2/2/"));
}

TEST(SimReceiptLine, DiscountsWithBlanksForTheirSignAreTaken) {
  // The program's discount notation puts blanks where "-" and "%" stood.
  for (const std::string& line : {"1;2$lX\r1\rA/1.00/1.00/10 /"s, "1;1$lX\r1\rA/1.00/1.00/ 0.10/"s,
                                  "1;4$lX\r1\rA/1.00/1.00/ 2.5 /"s}) {
    Printer p = Make();
    Ok(p, "0$h");
    EXPECT_TRUE(Ok(p, line)) << line << " error " << LastError(p);
  }
}

TEST(SimReceiptEnd, AConfirmationWithoutKindMayCarryADiscountField) {
  Printer p = Make(PrinterFamily::kAlta);
  Ok(p, "0$h");
  ASSERT_TRUE(Ok(p, "1$lX\r1\rA/2.00/2.00/"));
  EXPECT_TRUE(Ok(p, "1;0;0;0;0$eK1\r0/2.00/0/")) << LastError(p);
}

TEST(SimReceiptEnd, APercentReceiptDiscountIsRoundedPerRate) {
  // 10 % off 0.15 on A and 0.15 on B: each rate rounds on its own (0.135 -> 0.14 twice),
  // where one discount over 0.30 would give 0.27.
  Printer p = Make();
  Ok(p, "0$h");
  ASSERT_TRUE(Ok(p, "1$lX\r1\rA/0.15/0.15/"));
  ASSERT_TRUE(Ok(p, "2$lY\r1\rB/0.15/0.15/"));
  const auto before = p.State().totals;
  ASSERT_TRUE(Ok(p, "1;0;0;0;1$eK1\r0/0.30/10/")) << LastError(p);
  EXPECT_EQ(p.State().totals[0] - before[0], 14);
  EXPECT_EQ(p.State().totals[1] - before[1], 14);
}

TEST(SimReceiptBegin, NoReceiptInsideAnOrder) {
  Printer p = Make();
  p.MutableState().orderOpen = true;
  Command(p, "0$h");
  EXPECT_EQ(LastError(p), 140);
  p.MutableState().orderOpen = false;
  EXPECT_TRUE(Ok(p, "0$h"));
}

TEST(SimReceiptLine, PercentDiscountFollowsThePrintersMethod) {
  // 10 % off 0.15: the Alta Pro rounds the discount (0.015 -> 0.02) and gets 0.13; the others
  // round the result (0.135 -> 0.14).
  Printer pro = Make(PrinterFamily::kAltaPro);
  Ok(pro, "0$h");
  ASSERT_TRUE(Ok(pro, "1;2$lX\r1\rA/0.15/0.15/10/"));
  EXPECT_EQ(pro.State().receipt.back().value, 13);
  Printer mavito = Make();
  Ok(mavito, "0$h");
  ASSERT_TRUE(Ok(mavito, "1;2$lX\r1\rA/0.15/0.15/10/"));
  EXPECT_EQ(mavito.State().receipt.back().value, 14);
  // The option overrides the habit.
  Printer method2 = Make();
  Ok(method2, "0$r");
  Ok(method2, "0$h");
  ASSERT_TRUE(Ok(method2, "1;2$lX\r1\rA/0.15/0.15/10/"));
  EXPECT_EQ(method2.State().receipt.back().value, 13);
}

TEST(SimReceiptLine, AmountDiscountsAndMarkups) {
  Printer p = Make();
  Ok(p, "0$h");
  ASSERT_TRUE(Ok(p, "1;1$lX\r2\rA/5/10/1.50/"));
  EXPECT_EQ(p.State().receipt.back().value, 850);
  ASSERT_TRUE(Ok(p, "2;3$lY\r1\rB/4/4/0.25/"));
  EXPECT_EQ(p.State().receipt.back().value, 425);
  ASSERT_TRUE(Ok(p, "3;4$lZ\r1\rC/10/10/5/"));
  EXPECT_EQ(p.State().receipt.back().value, 1050);
  Command(p, "4;1$lX\r1\rA/1/1/2/");  // more off than the line is worth
  EXPECT_EQ(LastError(p), 20);
  Command(p, "4;2$lX\r1\rA/1/1/101/");
  EXPECT_EQ(LastError(p), 20);
  Command(p, "4;5$lX\r1\rA/1/1/1/");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "4;1$lX\r1\rA/1/1/");  // kind given, amount missing
  EXPECT_EQ(LastError(p), 3);
}

TEST(SimReceiptLine, StornoTakesBackAnEarlierLine) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lMleko\r1\rA/3/3/");
  Ok(p, "2$lChleb\r1\rB/4/4/");
  EXPECT_TRUE(Ok(p, "0$lMleko\r1\rA/3/3/"));
  ASSERT_EQ(p.State().receipt.size(), 1u);
  EXPECT_EQ(p.State().receipt[0].name, "Chleb");
  Command(p, "0$lMleko\r1\rA/3/3/");
  EXPECT_EQ(LastError(p), 23);
  EXPECT_TRUE(Ok(p, "1;0$e\r4/4/"));
  EXPECT_EQ(p.State().totals[0], 0);
  EXPECT_EQ(p.State().totals[1], 400);
}

TEST(SimReceiptLine, DepositIsNoSale) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lPiwo\r1\rA/3/3/");
  ASSERT_TRUE(Ok(p, "2$lButelka\r1\rP/0.50/0.50/"));
  ASSERT_TRUE(Ok(p, "1;0$e\r3.50/3.50/"));
  EXPECT_EQ(p.State().totals[0], 300);
  EXPECT_EQ(p.State().depositsTaken, 50);
  EXPECT_EQ(p.State().cash, 350);
}

TEST(SimReceiptEnd, ConfirmationWithLinesAndDiscount) {
  Printer p = Make();
  Ok(p, "1$!");  // the drawer opens after a receipt ...
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/6/6/");
  Ok(p, "2$lY\r1\rB/4/4/");
  ASSERT_TRUE(Ok(p, "1;0;2;0;3;8$eKOD1\rLinia 1\rLinia 2\r10.00/10.00/1.00/"));
  // 1.00 off shared in proportion: 0.60 from A, 0.40 from B.
  EXPECT_EQ(p.State().totals[0], 540);
  EXPECT_EQ(p.State().totals[1], 360);
  EXPECT_EQ(p.State().cash, 900);
  EXPECT_EQ(p.State().drawerOpenings, 0);  // ... unless the confirmation says 8
}

TEST(SimReceiptEnd, PercentMarkupOnTheReceipt) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/10/10/");
  ASSERT_TRUE(Ok(p, "1;0;0;0;2;8$e\r0/10/10/"));
  EXPECT_EQ(p.State().totals[0], 1100);
}

TEST(SimReceiptEnd, BadConfirmations) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/10/10/");
  Command(p, "1;0;1;0;0;8$e\r" + std::string(41, 'L') + "\r10/10/");
  EXPECT_EQ(LastError(p), 15);
  Command(p, "1;0;0;0;0;8$e123456789\r10/10/");
  EXPECT_EQ(LastError(p), 25);
  Command(p, "1;0;0;0;3;8$e\r10/10/11/");  // more off than the receipt
  EXPECT_EQ(LastError(p), 27);
  Command(p, "1;0;0;0;3;8$e\r10/10/");
  EXPECT_EQ(LastError(p), 3);
  Command(p, "1;0;0;0;0;8$e10/10/");  // no cashier code field
  EXPECT_EQ(LastError(p), 3);
  Command(p, "2;0$e\r10/10/");
  EXPECT_EQ(LastError(p), 4);
  EXPECT_TRUE(p.State().inTransaction);
}

TEST(SimReceiptEnd, CancelOfTheDialog) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/10/10/");
  EXPECT_EQ(Command(p, "0$e"), 0x64);
  EXPECT_EQ(p.State().totals[0], 0);
  Command(p, "0$e");
  EXPECT_EQ(LastError(p), 21);
}

// The extended confirmation as the dialog sends it with no extra lines: five bare CRs.
std::string Extended(const std::string& flags, const std::string& amounts) {
  return "0;0;0;" + flags + "$xK\r\r\r\r\r\rVISA\r\r\r" + amounts;
}

TEST(SimReceiptExtended, CashWithChange) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/10/10/");
  ASSERT_TRUE(Ok(p, Extended("0;1;0;0;0;0;0;1", "10.00/0.00/20.00/0/0/0/0/0/10.00/")));
  EXPECT_EQ(p.State().totals[0], 1000);
  EXPECT_EQ(p.State().cash, 1000);
}

TEST(SimReceiptExtended, CardAndCashTogether) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/10/10/");
  ASSERT_TRUE(Ok(p, Extended("0;1;1;0;0;0;0;0", "10.00/0.00/4.00/6.00/0/0/0/0/0/")));
  EXPECT_EQ(p.State().cash, 400);
  EXPECT_EQ(p.State().cardPayments, 600);
}

TEST(SimReceiptExtended, PaymentsMustCoverTheReceipt) {
  Printer p = Make();
  Ok(p, "0$h");
  Ok(p, "1$lX\r1\rA/10/10/");
  Command(p, Extended("0;1;0;0;0;0;0;0", "10.00/0.00/9.99/0/0/0/0/0/0/"));
  EXPECT_EQ(LastError(p), 26);
  Command(p, Extended("0;1;0;0;0;0;0;1", "10.00/0.00/20.00/0/0/0/0/0/9.00/"));  // wrong change
  EXPECT_EQ(LastError(p), 26);
  Command(p, Extended("0;1;0;0;0;0;0;0", "10.01/0.00/20.00/0/0/0/0/0/0/"));
  EXPECT_EQ(LastError(p), 27);
  Command(p, Extended("0;1;0;0;0;0;0", "10.00/0.00/20.00/0/0/0/0/0/0/"));
  EXPECT_EQ(LastError(p), 3);
  // Unticked amounts are ignored whatever they hold.
  EXPECT_TRUE(Ok(p, Extended("0;0;0;0;0;0;0;0", "10.00/0.00/1.00/2/3/4/5/6/7/")));
  EXPECT_EQ(p.State().cash, 1000);
}

TEST(SimCardSlips, PrintedOutsideTransactions) {
  Printer p = Make();
  const std::string fields = "1\r2\r3\rKlient\rT1\rVISA\r1234\r12\r2026\rABC\r10.00/";
  EXPECT_TRUE(Ok(p, "0;1#g" + fields));
  EXPECT_EQ(p.State().printouts.back(), "Potwierdzenie obciążenia karty płatniczej");
  EXPECT_TRUE(Ok(p, "1;2#h" + fields));
  EXPECT_EQ(p.State().printouts.back(), "Potwierdzenie uznania karty płatniczej");
  Command(p, "0;3#g" + fields);
  EXPECT_EQ(LastError(p), 4);
  Command(p, "0;1#g1\r2\r3\rKlient\rT1\r" + std::string(17, 'V') + "\r1234\r12\r2026\rABC\r1/");
  EXPECT_EQ(LastError(p), 46);
  Command(p, "0;1#g1\r2\r3\rKlient\rT1\rVISA\r1234\r12\r2026\rABC\rdziesięć/");
  EXPECT_EQ(LastError(p), 51);
  Command(p, "0;1#g1\r2\r3\r");
  EXPECT_EQ(LastError(p), 3);
  Ok(p, "0$h");
  Command(p, "0;1#g" + fields);
  EXPECT_EQ(LastError(p), 140);
}

}  // namespace
}  // namespace ulvo
