// The cash information reply (#s) read with the program's own templates, both families.

#include <gtest/gtest.h>

#include <cstring>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Command;
using simtest::Exchange;
using simtest::Unchecked;

struct Parsed {
  char esc = 0;
  int ints[9] = {};
  double ptu[7] = {};
  int receipts = 0;
  double amounts[10] = {};
  int fields = 0;
};

// The program's Alta template.
Parsed ParseAlta(const std::string& reply) {
  Parsed r;
  double* a = r.amounts;
  r.fields = std::sscanf(
      reply.c_str(),
      "%cP1#X%d;%d;%d;%d;%d;%d;%d;%d;%d/%lf/%lf/%lf/%lf/%lf/%lf/%lf/%d/%lf/%lf/%lf/%lf/%lf/%lf/"
      "%lf/%lf/%lf/%lf/",
      &r.esc, &r.ints[0], &r.ints[1], &r.ints[2], &r.ints[3], &r.ints[4], &r.ints[5], &r.ints[6],
      &r.ints[7], &r.ints[8], &r.ptu[0], &r.ptu[1], &r.ptu[2], &r.ptu[3], &r.ptu[4], &r.ptu[5],
      &r.ptu[6], &r.receipts, &a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6], &a[7], &a[8], &a[9]);
  return r;
}

// The program's Mavito template.
Parsed ParseMavito(const std::string& reply) {
  Parsed r;
  double* a = r.amounts;
  r.fields = std::sscanf(
      reply.c_str(),
      "%cP2#X%d;%d;%d;%d;%d;%d;%d;%d;%d/%lf/%lf/%lf/%lf/%lf/%lf/%lf/%d/%lf/%lf/%lf/%lf/%lf/%lf/"
      "%lf/%lf/",
      &r.esc, &r.ints[0], &r.ints[1], &r.ints[2], &r.ints[3], &r.ints[4], &r.ints[5], &r.ints[6],
      &r.ints[7], &r.ints[8], &r.ptu[0], &r.ptu[1], &r.ptu[2], &r.ptu[3], &r.ptu[4], &r.ptu[5],
      &r.ptu[6], &r.receipts, &a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6], &a[7]);
  return r;
}

// The trailing text as the program cuts it: back over ESC '\', back to the nearest '/'.
std::string TrailingText(const std::string& reply, bool mavito) {
  if (reply.size() < 3) return {};
  std::size_t end = reply.size() - 2;
  std::size_t slash = reply.rfind('/', end - 1);
  if (slash == std::string::npos) return {};
  std::string text = reply.substr(slash + 1, end - slash - 1);
  if (mavito && text.size() > 1) text.resize(text.size() - 2);
  return text;
}

void SellOneGrosz(Printer& p) {
  ASSERT_EQ(Command(p, "0$h") & simtest::kCarriedOutBit, simtest::kCarriedOutBit);
  ASSERT_EQ(Command(p, "1$lTowar Testowy\r1\rA/0.01/0.01/") & simtest::kCarriedOutBit,
            simtest::kCarriedOutBit);
  ASSERT_EQ(Command(p, "1;0$e\r0.01/0.01/") & simtest::kCarriedOutBit, simtest::kCarriedOutBit);
}

TEST(SimCashInfo, AltaReplyParsesWithTheProgramTemplate) {
  Printer p(PrinterVariant{PrinterFamily::kAlta, false, false});
  p.MutableState().fiscal = true;
  Command(p, "#i12.50/");
  SellOneGrosz(p);
  Parsed r = ParseAlta(Exchange(p, Unchecked("7#s")));
  ASSERT_EQ(r.fields, 28);
  EXPECT_EQ(r.esc, 0x1B);
  EXPECT_EQ(r.ints[1], 1);  // fiscal
  EXPECT_DOUBLE_EQ(r.ptu[0], 23.0);
  EXPECT_DOUBLE_EQ(r.ptu[4], 100.0);  // tax-free
  EXPECT_DOUBLE_EQ(r.ptu[5], 101.0);  // not in use
  EXPECT_EQ(r.receipts, 1);
  EXPECT_DOUBLE_EQ(r.amounts[0], 0.01);   // total A
  EXPECT_DOUBLE_EQ(r.amounts[9], 12.51);  // cash: the deposit and the sale
}

TEST(SimCashInfo, AltaGolden) {
  Printer p(PrinterVariant{PrinterFamily::kAlta, false, false});
  EXPECT_EQ(Exchange(p, Unchecked("7#s")),
            "\x1BP1#X0;0;0;1;0;0;0;0;0/23.00/8.00/5.00/0.00/100.00/101.00/101.00/0/"
            "0.00/0.00/0.00/0.00/0.00/0.00/0.00/0.00/0.00/0.00/ABA11223344\x1B\\");
}

TEST(SimCashInfo, AltaTrailingTextIsTheUniqueNumber) {
  Printer p(PrinterVariant{PrinterFamily::kAltaPro, false, false});
  EXPECT_EQ(TrailingText(Exchange(p, Unchecked("7#s")), false), "ABP22334455");
}

TEST(SimCashInfo, MavitoReplyParsesWithTheProgramTemplate) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  Command(p, "#i100/");
  SellOneGrosz(p);
  Parsed r = ParseMavito(Exchange(p, Unchecked("23#s")));
  ASSERT_EQ(r.fields, 26);
  EXPECT_EQ(r.ints[1], 0);  // training mode
  EXPECT_EQ(r.receipts, 1);
  EXPECT_DOUBLE_EQ(r.amounts[0], 0.01);
  EXPECT_DOUBLE_EQ(r.amounts[7], 100.01);  // cash
}

TEST(SimCashInfo, MavitoUniqueNumberCarriesTheReplyCheck) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  std::string reply = Exchange(p, Unchecked("23#s"));
  EXPECT_EQ(TrailingText(reply, true), "ABM33445566");
  // The two characters before ESC '\' are the check of everything after ESC 'P', as the
  // program's own frame code computes it.
  std::string rebuilt = reply.substr(0, reply.size() - 4) + "xx\x1B\\";
  std::vector<char> buf(rebuilt.begin(), rebuilt.end());
  buf.push_back('\0');
  ASSERT_FALSE(AddChecksum(buf.data(), buf.size()));
  EXPECT_EQ(std::string(buf.data()), reply);
}

TEST(SimCashInfo, PrinterWithoutUniqueNumberSendsElevenBlanks) {
  Printer alta(PrinterVariant{PrinterFamily::kAlta, false, false});
  alta.MutableState().uniqueNumber = std::string(11, ' ');
  EXPECT_EQ(TrailingText(Exchange(alta, Unchecked("7#s")), false), std::string(11, ' '));
  Printer mavito(PrinterVariant{PrinterFamily::kMavito, false, false});
  mavito.MutableState().uniqueNumber = std::string(11, ' ');
  EXPECT_EQ(TrailingText(Exchange(mavito, Unchecked("23#s")), true), std::string(11, ' '));
}

TEST(SimCashInfo, LastErrorAndLastRecordDateAreReported) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  Command(p, "#l");  // error 3
  Parsed before = ParseMavito(Exchange(p, Unchecked("23#s")));
  EXPECT_EQ(before.ints[0], 3);
  EXPECT_EQ(before.ints[6] + before.ints[7] + before.ints[8], 0);  // no record yet
  Command(p, "0#r");
  Parsed after = ParseMavito(Exchange(p, Unchecked("23#s")));
  EXPECT_EQ(after.ints[0], 0);
  EXPECT_EQ(after.ints[6], 26);
  EXPECT_EQ(after.ints[7], 6);
  EXPECT_EQ(after.ints[8], 15);
}

TEST(SimCashInfo, AmountsUseTwoDecimals) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  Command(p, "#i1234567.8/");
  std::string reply = Exchange(p, Unchecked("23#s"));
  EXPECT_NE(reply.find("/1234567.80/"), std::string::npos) << reply;
}

}  // namespace
}  // namespace ulvo
