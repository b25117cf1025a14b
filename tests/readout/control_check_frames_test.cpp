// Frames of the receipt and daily-report control-number checks.

#include "readout/core/control_check_frames.h"

#include <gtest/gtest.h>

namespace ulvo {
namespace {

std::vector<std::string> Bodies(const FrameList& list) {
  std::vector<std::string> out;
  for (const std::string& f : list.frames) out.push_back(f.substr(1, f.size() - 5));
  return out;
}

ReceiptCheckFields Receipt() {
  ReceiptCheckFields f;
  f.date = "05-03-2010";
  f.documentNumber = "12";
  f.ptuSum = "2,30";
  f.receiptSum = "12,30";
  f.receiptNumber = "7";
  f.time = "12:30:00";
  f.uniqueLetters = "ABC";
  f.uniqueDigits = "12345678";
  f.controlNumber = std::string(40, 'A');
  return f;
}

TEST(ControlCheckFrames, ReceiptWithAnEmptyFirstRowSendsNoItems) {
  ReceiptCheckFields f = Receipt();
  f.items = {{"", "A"}, {"Chleb", "A"}};
  const std::vector<std::string> want = {"P0$*05-03-2010\r12/",
                                         "P2$*2,30/12,30/7/ABC 12345678\r12:30:00\r",
                                         "P10$*" + std::string(40, 'A') + "\r"};
  EXPECT_EQ(Bodies(BuildReceiptCheck(f, 0)), want);
}

TEST(ControlCheckFrames, CancelledReceiptSendsDigitsAndTimeOnly) {
  ReceiptCheckFields f = Receipt();
  f.cancelled = true;
  f.items = {{"Chleb", "A"}, {"Mleko", "B"}, {"", ""}, {"Masło", "C"}};
  const auto bodies = Bodies(BuildReceiptCheck(f, 0));
  ASSERT_EQ(bodies.size(), 5u);
  EXPECT_EQ(bodies[1], "P1$*Chleb\rA/");
  EXPECT_EQ(bodies[2], "P1$*Mleko\rB/");
  EXPECT_EQ(bodies[3], "P3$*12345678\r12:30:00\r");
}

TEST(ControlCheckFrames, ReportSequence) {
  ReportCheckFields f;
  f.date = "05-03-2010";
  f.reportNumber = "7";
  f.taxed = {{"A", "100,00"}, {"B", "23,45"}, {"", "1"}, {"C", "9"}};
  f.exempt = {{"E", "5,00"}, {"F", ""}};
  f.ptuTotal = "23,00";
  f.receipts = "12";
  f.runningPtu = "123456789,12";
  f.uniqueLetters = "ABC";
  f.uniqueDigits = "12345678";
  f.controlNumber = "7E99C5FAE2FF8EA5A3EEB5CC06AD6A171FDE9FF8";
  const std::vector<std::string> want = {"P0$*05-03-2010\r7/",
                                         "P4$*A\r100,00/",
                                         "P4$*B\r23,45/",
                                         "P4$*E\r5,00/",
                                         "P5$*23,00/",
                                         "P5$*12/",
                                         "P6$*12/3456789.12/",
                                         "P7$*ABC 12345678\r00:00:00\r",
                                         "P10$*7E99C5FAE2FF8EA5A3EEB5CC06AD6A171FDE9FF8\r"};
  EXPECT_EQ(Bodies(BuildReportCheck(f, 0)), want);
}

TEST(ControlCheckFrames, RunningTotalSplit) {
  struct Case {
    const char* text;
    const char* count;
    const char* rest;
  } cases[] = {
      {"123456789,12", "12", "3456789.12"},
      {"123456789.12", "12", "3456789.12"},
      {"10000000", "1", "0.00"},
      {"9999999,999", "1", "0.00"},
      {"0", "0", "0.00"},
      {"5,5", "0", "5.50"},
  };
  for (const Case& c : cases) {
    const auto split = SplitRunningTotal(c.text);
    ASSERT_TRUE(split) << c.text;
    EXPECT_EQ(split->first, c.count) << c.text;
    EXPECT_EQ(split->second, c.rest) << c.text;
  }
  for (const char* bad : {"", "abc", "12,3x", ","}) EXPECT_FALSE(SplitRunningTotal(bad)) << bad;
}

TEST(ControlCheckFrames, WrongRunningTotalSendsNothing) {
  ReportCheckFields f;
  f.runningPtu = "dużo";
  const FrameList list = BuildReportCheck(f, 0);
  EXPECT_TRUE(list.frames.empty());
  EXPECT_EQ(list.error, kRunningPtuError);
}

}  // namespace
}  // namespace ulvo
