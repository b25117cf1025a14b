// The periodic report text: line formats, blocks, control numbers, title and file name.

#include "readout/core/report_text.h"

#include <gtest/gtest.h>

#include "link/fiscal_control_number.h"
#include "readout/core/fiscal_readout.h"
#include "readout/core/report_names.h"
#include "tests/readout/readout_test_util.h"

namespace ulvo {
namespace {

using testing::Daily;
using testing::Lines;

TEST(ReportText, NumberFormats) {
  struct Case {
    std::string got, want;
  } cases[] = {
      {AmountText(12345), "     123,45"},
      {AmountText(5), "       0,05"},
      {AmountText(4294967295u), "42949672,95"},
      {RateText(2300), "23,00"},
      {RateText(805), "8,05"},
      {DateText({20, 10, 3, 5}), "05-03-2010"},
      {TimeText(9, 5), " 9:05"},
      {AmountText(SumPair{3, 123'456'789}), "31234567,89"},
      {WideAmountText(SumPair{12, 345'678'912}), "  123456789,12"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(ReportText, CentredAndRightAlignedCountCharactersNotBytes) {
  EXPECT_EQ(Centred("BRAK ZAPISÓW"), std::string(15, ' ') + "BRAK ZAPISÓW");
  const std::string line = RightAligned("ŁĄCZNA KWOTA PTU", AmountText(2300));
  EXPECT_EQ(TextWidth(line), 42u);
  EXPECT_EQ(line.substr(line.size() - 11), "      23,00");
}

TEST(ReportText, HeaderTextDoubleWidthGetsBlanks) {
  std::string body =
      "AB\x0E"
      "CD\x14"
      "E\r\nF\n";
  body.resize(252, '\0');
  const auto lines = HeaderTextLines(body);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "ABC D E");
  EXPECT_EQ(lines[1], "F");
}

ReportContext Rates() {
  ReportContext c;
  c.rate = {2300, 800, 0, 0, 0, 0, 0};
  c.kind = {1, 1, 0, 0, 2, 0, 0};
  c.currency = "PLN";
  c.currencyRead = true;
  return c;
}

std::string Body(const Daily& d, bool ecopy = false) {
  return testing::DailyRecord(d, ecopy).substr(1);
}

TEST(ReportText, DailyBlockLines) {
  Daily d;
  d.number = 17;
  d.net[0] = 10000;
  d.ptu[0] = 2300;
  d.net[4] = 500;
  d.receipts = 4;
  d.cancelled = 2;
  d.cancelledAmount = fiscal::kCancelledOverflow;
  Lines out;
  WriteDailyBlock(out, Rates(), Body(d), "");
  const std::vector<std::string> want = {
      std::string(42, '-') + "  ",
      "05-03-2010                   Nr rap.    17",
      std::string(42, '-'),
      "SPRZED. OPOD. PTU A                 100,00",
      "SPRZED. OPOD. PTU B                   0,00",
      "SPRZED. ZWOL. PTU E                   5,00",
      "KWOTA PTU A                          23,00",
      "KWOTA PTU B                           0,00",
      "ŁĄCZNA KWOTA PTU                     23,00",
      "ŁĄCZNA NALEŻNOŚĆ                    128,00",
      "PARAGONÓW ANULOWANYCH 2      PRZEPEŁNIENIE",
      "ILOŚĆ PARAGONÓW                          4",
      "ILOŚĆ POZYCJI                           13",
      "WALUTA EWIDENCYJNA                     PLN",
  };
  EXPECT_EQ(out.lines, want);
}

TEST(ReportText, DailyBlockWithoutSalesHasOnlyTotalsCountsAndCurrency) {
  Lines out;
  WriteDailyBlock(out, Rates(), Body(Daily{}), "");
  ASSERT_EQ(out.lines.size(), 8u);
  EXPECT_EQ(out.lines[3], "ŁĄCZNA KWOTA PTU                      0,00");
  EXPECT_EQ(out.lines[7], "WALUTA EWIDENCYJNA                     PLN");
}

TEST(ReportText, RateBlock) {
  Lines out;
  WriteRateBlock(out, Rates(), {20, 10, 1, 1});
  const std::vector<std::string> want = {
      "Zapis PTU dn.  01-01-2010", "PTU A  23,00%", "PTU B   8,00%", "    C    -", "    D    -",
      "    E  SP.ZW.PTU",          "    F    -",    "    G    -"};
  EXPECT_EQ(out.lines, want);
}

TEST(ReportText, HeaderTitleFollowsTheRequest) {
  struct Case {
    bool full, fiscal, monthly;
    const char* title;
    bool nonFiscalLine;
  } cases[] = {
      {true, true, false, "RAPORT FISKALNY OKRESOWY", false},
      {false, true, false, "SKRÓCONY RAPORT OKRESOWY", true},
      {true, false, true, "RAPORT OKRESOWY MIESIĘCZNY", true},
  };
  for (const Case& k : cases) {
    ReportContext c;
    c.fullReport = k.full;
    c.fiscal = k.fiscal;
    c.monthly = k.monthly;
    c.from = {20, 10, 3, 0};
    c.todayText = "08.12.2026";
    Lines out;
    WriteReportHeader(out, c);
    EXPECT_TRUE(out.Has(Centred(k.title))) << k.title;
    EXPECT_EQ(out.Has("# NIEFISKALNY #"), k.nonFiscalLine) << k.title;
    EXPECT_TRUE(out.Has("08.12.2026                               1"));
  }
}

DailyControlData Sample() {
  DailyControlData d;
  d.dateText = "05-03-2010";
  d.reportNumber = 7;
  d.sales = {{0, 10000}, {1, 2345}, {4, 500}};
  d.ptuSum = 2300;
  d.receipts = 12;
  d.runningPtu = 123456;
  d.uniqueNumber = "ABC 12345678";
  return d;
}

// The message built by hand, one 64-byte block per field, and digests taken outside this
// program (Python's hashlib and coreutils' sha1sum agree on them).
std::string Block(const std::string& bytes) {
  return bytes + std::string(64 - bytes.size(), ':');
}

std::string Be(std::uint64_t v, int bytes) {
  std::string out;
  for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  return out;
}

TEST(ControlNumber, HandBuiltBlocksAndDigestsTakenElsewhere) {
  DailyControlData taxedOnly;
  taxedOnly.dateText = "31-12-2025";
  taxedOnly.reportNumber = 1234;
  taxedOnly.sales = {{0, 99}, {1, 0}};
  taxedOnly.ptuSum = 23;
  taxedOnly.receipts = 1;
  taxedOnly.uniqueNumber = "XYZ 00000001";
  const std::string message = Block("31-12-2025" + Be(1234, 4)) +
                              Block(std::string(1, '\0') + Be(99, 4)) + Block("\x01" + Be(0, 4)) +
                              Block(Be(23, 4)) + Block(Be(1, 4)) + Block(Be(0, 6)) +
                              Block("XYZ 0000000100:00:00");
  EXPECT_EQ(DailyControlMessage(taxedOnly), message);
  EXPECT_EQ(DailyControlNumber(taxedOnly), "A477D0FC2F3ADEFF4A62CE85F46DF1300B9098C2");

  // Through the whole reader: taxed A and B, exempt E, a running PTU total.
  Daily d;
  d.number = 7;
  d.net[0] = 10000;
  d.ptu[0] = 2300;
  d.net[1] = 2345;
  d.ptu[1] = 188;
  d.net[4] = 500;
  d.receipts = 12;
  d.runningPtuTotal = 123456;
  ReadoutRequest request;
  request.ecopy = true;
  Lines out;
  FiscalReadoutPass pass(request, out);
  for (const std::string& record : testing::Pass({d}, true)) {
    std::string_view bytes = record;
    while (!bytes.empty() && !pass.Finished()) bytes.remove_prefix(pass.Feed(bytes).used);
  }
  ASSERT_TRUE(pass.Succeeded());
  EXPECT_TRUE(out.Has("#654FF08A251389F217D1D4C5AC23FB7E865BE320#"));
}

TEST(ControlNumber, SameReportFromAnotherPrinterDiffers) {
  DailyControlData other = Sample();
  other.uniqueNumber = "ABC 12345679";
  EXPECT_NE(DailyControlNumber(other), DailyControlNumber(Sample()));
  EXPECT_EQ(DailyControlNumber(other).size(), 40u);
}

TEST(ControlNumber, Sha1OfTheStandardsSample) {
  EXPECT_EQ(Sha1Hex("abc"), "A9993E364706816ABA3E25717850C26C9CD0D89D");
}

TEST(ReportNames, TitleAndFileName) {
  ReportNaming n;
  n.ecopy = true;
  n.uniqueNumber = "ABC 12345678";
  n.firstDate = {20, 10, 1, 1};
  n.lastDate = {20, 10, 12, 31};
  EXPECT_EQ(ReportTitle(n),
            "Raport okresowy z drukarki ULVO MAVITO 60K KE o numerze unikatowym ABC 12345678 od "
            "dnia 01-01-2010 do dnia 31-12-2010.");
  EXPECT_EQ(ReportFileName(n), "MAVITO_ABC 12345678_Daty_01-01-2010_31-12-2010.txt");
  n.byNumbers = true;
  n.emergency = true;
  n.firstNumber = 1;
  n.lastNumber = 20;
  n.uniqueNumber.clear();
  EXPECT_EQ(ReportFileName(n), "MAVITO__Nr_1_20_Awaryjny.txt");
  EXPECT_EQ(ReportTitle(n),
            "Raport okresowy z drukarki ULVO MAVITO 60K KE od nr 1 do nr 20 - raport awaryjny.");
  n.byNumbers = false;
  n.monthly = true;
  n.emergency = false;
  n.monthYear = 10;
  n.month = 3;
  EXPECT_EQ(ReportFileName(n), "MAVITO__Miesiac_03-2010.txt");
}

}  // namespace
}  // namespace ulvo
