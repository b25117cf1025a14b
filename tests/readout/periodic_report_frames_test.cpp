// The "#o" frames of the periodic report and its readout.

#include "readout/core/periodic_report_frames.h"

#include <gtest/gtest.h>

namespace ulvo {
namespace {

using Range = PeriodicReportFields::Range;

PeriodicReportFields Fields(Range range, std::string month, std::string from, std::string to,
                            std::string fromNumber = "", std::string toNumber = "",
                            bool emergency = false, bool full = true, bool nonFiscal = false) {
  PeriodicReportFields f;
  f.range = range;
  f.monthText = month;
  f.fromDateText = from;
  f.toDateText = to;
  f.fromNumber = fromNumber;
  f.toNumber = toNumber;
  f.emergency = emergency;
  f.fullReport = full;
  f.nonFiscal = nonFiscal;
  return f;
}

// The body between ESC and the check.
std::string Body(const FrameList& list) {
  if (list.frames.size() != 1) return "<" + list.error + ">";
  const std::string& f = list.frames[0];
  return f.substr(1, f.size() - 5);
}

TEST(PeriodicReportFrames, PrintBodies) {
  struct Case {
    PeriodicReportFields f;
    std::uint8_t printerType;
    bool bus;
    std::string body;
  } cases[] = {
      {Fields(Range::kMonth, "03-2010", "", "", "", "", false, true), 2, false,
       "P10;3;0;0;0;0;0#o"},
      {Fields(Range::kDates, "", "01-01-2010", "31-12-2010", "", "", false, false), 2, false,
       "P10;1;1;10;12;31;1#o"},
      {Fields(Range::kNumbers, "", "", "", "1", "20", true, true), 2, false, "P6#o1/20/"},
      {Fields(Range::kNumbers, "", "", "", "1", "20", true, true), 0, false, "P0;0;1;0;0;20;2#o"},
      {Fields(Range::kNumbers, "", "", "", "1", "20", false, false), 0, false, "P0;0;1;0;0;20;3#o"},
      {Fields(Range::kNumbers, "", "", "", "3", "4", false, true, true), 1, true, "P20#o3/4/"},
      {Fields(Range::kNumbers, "", "", "", "3", "4", false, true, true), 1, false, "P4#o3/4/"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Body(BuildPeriodicReport(c.f, c.printerType, c.bus)), c.body) << c.body;
  }
}

TEST(PeriodicReportFrames, YearsOutsideTheRangeAreRefusedWithTheirOwnMessage) {
  struct Case {
    PeriodicReportFields f;
    const char* message;
  } cases[] = {
      {Fields(Range::kMonth, "03-1979", "", ""), kFromYearOutOfRange},
      {Fields(Range::kMonth, "03-2080", "", ""), kFromYearOutOfRange},
      {Fields(Range::kMonth, "  -    ", "", ""), kFromYearOutOfRange},
      {Fields(Range::kDates, "", "01-01-1979", "01-01-2010"), kFromYearOutOfRange},
      {Fields(Range::kDates, "", "01-01-2010", "01-01-2080"), kToYearOutOfRange},
      {Fields(Range::kDates, "", "01-01-2010", "  -  -    "), kToYearOutOfRange},
  };
  for (const Case& c : cases) {
    const FrameList list = BuildPeriodicReport(c.f, 2, false);
    EXPECT_TRUE(list.frames.empty());
    EXPECT_EQ(list.error, c.message);
  }
  EXPECT_EQ(std::string(kFromYearOutOfRange), "     Data spoza zakresu     ");
  EXPECT_EQ(std::string(kToYearOutOfRange), "    Data spoza zakresu     ");
}

TEST(PeriodicReportFrames, ReadoutBodiesCarryTheBaudRate) {
  PeriodicReportFields dates = Fields(Range::kDates, "", "01-01-2010", "31-12-2010");
  ReadoutRequest request;
  EXPECT_EQ(Body(BuildPeriodicReadout(dates, request)), "P10;1;1;10;12;31;0;128#o\r\r115200/");
  EXPECT_EQ(request.toMonth, 12);
  EXPECT_FALSE(request.byNumbers);
  PeriodicReportFields numbers = Fields(Range::kNumbers, "", "", "", "5", "9", true, false);
  numbers.baudRate = 9600;
  EXPECT_EQ(Body(BuildPeriodicReadout(numbers, request)), "P7;0;0;0;0;0;0;128#o5/9/\r\r9600/");
  EXPECT_TRUE(request.byNumbers);
  EXPECT_TRUE(request.emergency);
}

}  // namespace
}  // namespace ulvo
