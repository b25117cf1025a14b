// The frames of the simple command dialogs, built from their field values.

#include <gtest/gtest.h>

#include <string>

#include "commands/core/command_frames.h"
#include "link/letter_coding.h"

namespace ulvo {
namespace {

// The frame between ESC and its two check digits ("P...$c").
std::string Body(const std::string& frame) {
  EXPECT_GE(frame.size(), 5u);
  if (frame.size() < 5) return {};
  EXPECT_EQ(frame.front(), '\x1B');
  EXPECT_EQ(frame.substr(frame.size() - 2), "\x1B\\");
  return frame.substr(1, frame.size() - 5);
}

std::string CheckDigits(const std::string& frame) {
  return frame.substr(frame.size() - 4, 2);
}

bool IsHexPair(const std::string& s) {
  return s.size() == 2 && std::isxdigit(static_cast<unsigned char>(s[0])) &&
         std::isxdigit(static_cast<unsigned char>(s[1])) && s != "xx" && s != "cc";
}

std::string Single(const FrameList& list) {
  EXPECT_FALSE(list.Refused()) << list.error;
  EXPECT_EQ(list.frames.size(), 1u);
  return list.frames.empty() ? std::string() : list.frames.front();
}

TEST(CommandFrames, ClockCorrectionSendsNumbersWithoutLeadingZeros) {
  ClockCorrectionFields fields{{2010, 5, 7}, {14, 3, 9}};
  const std::string frame = Single(BuildClockCorrection(fields));
  EXPECT_EQ(Body(frame), "P10;5;7;14;3;9$c");
  EXPECT_TRUE(IsHexPair(CheckDigits(frame)));
}

TEST(CommandFrames, EveryTemplatedFrameGetsItsCheck) {
  for (const FrameList& list :
       {BuildCashState(), BuildPaperFeed("1"), BuildCopyMode(2), BuildAutoDrawer(1),
        BuildTypeAndVersionAnswer("", kMazovia), BuildDailyReport({false, {}})}) {
    ASSERT_EQ(list.frames.size(), 1u);
    EXPECT_TRUE(IsHexPair(CheckDigits(list.frames[0]))) << list.frames[0];
  }
}

TEST(CommandFrames, CashierTextsAreLetterCodedAndCutTo49) {
  const std::string longName(60, 'K');
  const std::string frame = Single(BuildCashierLogin({longName, "12"}, kMazovia));
  EXPECT_EQ(Body(frame), "P#p" + std::string(49, 'K') + "\r12\r");
  EXPECT_EQ(Body(Single(BuildCashierLogout({"Jan", "3"}, kMazovia))), "P#qJan\r3\r");

  // "Łódź" in the WINDOWS coding stays Windows-1250; in MAZOVIA its letters change.
  const std::string windows = Body(Single(BuildCashierLogin({"Łódź", "1"}, kWindows)));
  EXPECT_EQ(windows, std::string("P#p\xA3\xF3\x64\x9F\r1\r"));
  const std::string mazovia = Body(Single(BuildCashierLogin({"Łódź", "1"}, kMazovia)));
  EXPECT_NE(mazovia, windows);
  EXPECT_EQ(mazovia.size(), windows.size());
}

TEST(CommandFrames, FortyNineCharactersCountAfterConversion) {
  // Two-byte UTF-8 letters must not halve the limit.
  std::string name;
  for (int i = 0; i < 60; ++i) name += "ą";
  const std::string body = Body(Single(BuildCashierLogin({name, ""}, kWindows)));
  EXPECT_EQ(body, "P#p" + std::string(49, '\xB9') + "\r\r");
}

TEST(CommandFrames, AmountsGoAsTyped) {
  EXPECT_EQ(Body(Single(BuildCashIn("0.00"))), "P#i0.00/");
  EXPECT_EQ(Body(Single(BuildCashOut("12,50"))), "P#d12,50/");
  EXPECT_EQ(Body(Single(BuildCashState())), "P0#t");
  EXPECT_EQ(Body(Single(BuildDrawerPulse("100"))), "P100$2");
  EXPECT_EQ(Body(Single(BuildPaperFeed("1"))), "P1#l");
  EXPECT_EQ(Body(Single(BuildPaperFeed(std::string(60, '9')))), "P" + std::string(49, '9') + "#l");
}

TEST(CommandFrames, ShiftReportResettingSendsZeroOtherwise23) {
  EXPECT_EQ(Body(Single(BuildShiftReport({"Ranna", "Ola", true}, kMazovia))), "P0#kRanna\rOla\r");
  EXPECT_EQ(Body(Single(BuildShiftReport({"Ranna", "Ola", false}, kMazovia))), "P23#kRanna\rOla\r");
}

TEST(CommandFrames, RemindersAndOptions) {
  EXPECT_EQ(Body(Single(BuildMonthlyReminder(true))), "P2;1$o");
  EXPECT_EQ(Body(Single(BuildMonthlyReminder(false))), "P2;0$o");
  EXPECT_EQ(Body(Single(BuildServiceReminder({true, {2027, 3, 4}, "600100200"}, kMazovia))),
            "P0;1;27;3;4$o600100200\r");
  EXPECT_EQ(Body(Single(BuildServiceReminder({false, {2027, 12, 31}, ""}, kMazovia))),
            "P0;0;27;12;31$o\r");
  EXPECT_EQ(Body(Single(BuildErrorHandling(3))), "P3#e");
  EXPECT_EQ(Body(Single(BuildCopyMode(1))), "P1$3");
  EXPECT_EQ(Body(Single(BuildDiscountMethod(0))), "P0$r");
  EXPECT_EQ(Body(Single(BuildCoverSensor(2))), "P2$6");
  EXPECT_EQ(Body(Single(BuildPrintSpeed(10))), "P10$6");
  EXPECT_EQ(Body(Single(BuildResponseTime(1))), "P1$7");
  EXPECT_EQ(Body(Single(BuildDepositHandling(1))), "P1$9");
  EXPECT_EQ(Body(Single(BuildAutoDrawer(0))), "P0$!");
  EXPECT_EQ(Body(Single(BuildSystemNumberMode(1))), "P1$@");
  EXPECT_EQ(Body(Single(BuildTypeAndVersionAnswer("POSNET Thermal/2.01", kMazovia))),
            "P$#POSNET Thermal/2.01\r");
  EXPECT_EQ(Body(Single(BuildTypeAndVersionAnswer("", kMazovia))), "P$#\r");
}

TEST(CommandFrames, RewinderTimeIsSentInTenthsOfASecond) {
  EXPECT_EQ(Body(Single(BuildRewinderTime("3"))), "P30$5");
  EXPECT_EQ(Body(Single(BuildRewinderTime("5"))), "P50$5");
  EXPECT_EQ(Body(Single(BuildRewinderTime("0,5"))), "P5$5");
  EXPECT_EQ(Body(Single(BuildRewinderTime("1,25"))),
            "P12$5");  // 12.5 rounds to even, as printf does
  EXPECT_EQ(Body(Single(BuildRewinderTime(" 2,7 "))), "P27$5");
}

TEST(CommandFrames, RewinderTimeThatIsNoNumberSendsNothing) {
  const std::string huge = "1" + std::string(400, '0');
  for (const std::string& text : {std::string(), std::string("abc"), std::string("3s"),
                                  std::string("1,2,3"), std::string("1e3"), huge}) {
    const FrameList list = BuildRewinderTime(text);
    EXPECT_TRUE(list.Refused()) << text;
    EXPECT_TRUE(list.frames.empty()) << text;
    EXPECT_NE(list.error.find("nie jest poprawną liczbą"), std::string::npos);
  }
}

TEST(CommandFrames, OneGroszReceiptIsThreeFramesAndTheDrawerWithoutCheck) {
  const FrameList list = BuildOneGroszReceipt(true);
  ASSERT_EQ(list.frames.size(), 4u);
  EXPECT_EQ(Body(list.frames[0]), "P0$h");
  EXPECT_EQ(Body(list.frames[1]), "P1$lTowar Testowy\r1\rA/0.01/0.01/");
  EXPECT_EQ(Body(list.frames[2]), "P1;0$e\r0.01/0.01/");
  EXPECT_EQ(list.frames[3], "\x1BP1$d\x1B\\");
  EXPECT_EQ(BuildOneGroszReceipt(false).frames.size(), 3u);
}

TEST(CommandFrames, DailyReportWithDateOnlyWithoutConfirmation) {
  EXPECT_EQ(Body(Single(BuildDailyReport({true, {2026, 12, 8}}))), "P1;26;12;8#r");
  EXPECT_EQ(Body(Single(BuildDailyReport({false, {2026, 12, 8}}))), "P0#r");
}

TEST(CommandFrames, PrinterDateBecomesTheCalendarDateOnlyWhenValid) {
  CalendarDate date;
  EXPECT_TRUE(PrinterDateToCalendar(26, 12, 8, date));
  EXPECT_EQ(date.year, 2026);
  EXPECT_EQ(date.month, 12);
  EXPECT_EQ(date.day, 8);
  EXPECT_FALSE(PrinterDateToCalendar(0, 0, 0, date));
  EXPECT_FALSE(PrinterDateToCalendar(26, 13, 1, date));
  EXPECT_EQ(date.year, 2026);
}

TEST(CommandFrames, CharactersOutsideTheCodePageAreReportedNotHidden) {
  const FrameList list = BuildCashierLogin({"Jan €→☃", "1"}, kWindows);
  EXPECT_FALSE(list.Refused());
  // '€' is in Windows-1250; the arrow and the snowman are not.
  EXPECT_EQ(list.unmappable, std::u32string(U"→☃"));
  EXPECT_EQ(Body(list.frames.at(0)), "P#pJan \x80??\r1\r");
  const std::string question = UnmappableQuestion(list.unmappable);
  EXPECT_NE(question.find("→"), std::string::npos);
  EXPECT_NE(question.find("☃"), std::string::npos);
}

TEST(CommandFrames, OnlyTheCharactersThatGoOutAreReported) {
  const FrameList list = BuildCashierLogin({std::string(49, 'a') + "☃", "1"}, kWindows);
  EXPECT_TRUE(list.unmappable.empty());
}

TEST(CommandFrames, ControlCharactersInAFieldRefuseTheCommand) {
  for (const char* text : {"Jan\x1B"
                           "P",
                           "a\rb", "x\ny"}) {
    const FrameList list = BuildCashierLogin({text, "1"}, kMazovia);
    EXPECT_TRUE(list.Refused()) << text;
    EXPECT_TRUE(list.frames.empty());
  }
}

TEST(CommandFrames, AFrameTooLongForTheBufferIsRefused) {
  FrameList list;
  const std::string huge(6000, 'A');
  list.Add(true, "%cP%s#lxx%c%c", '\x1B', huge.c_str(), '\x1B', '\\');
  EXPECT_TRUE(list.Refused());
  EXPECT_TRUE(list.frames.empty());
}

}  // namespace
}  // namespace ulvo
