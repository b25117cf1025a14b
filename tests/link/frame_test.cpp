#include "link/frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace ulvo {
namespace {

using namespace std::string_literals;

std::string Checked(const char* format) {
  char buf[kTxBufSize];
  EXPECT_FALSE(FormatFrame(buf, sizeof buf, format, kEsc, kEsc, kBackslash));
  EXPECT_FALSE(AddChecksum(buf));
  return buf;
}

// --- template expansion and the check ---

TEST(AddChecksum, ClockQueryFrameCarriesCheck8F) {
  EXPECT_EQ(Checked("%cP0#cxx%c%c"),
            "\x1b"
            "P0#c8F\x1b\\"s);
}

TEST(AddChecksum, PlaceholdersXxCcAndUpperXXAreAlike) {
  const std::string expected =
      "\x1b"
      "P0#c8F\x1b\\"s;
  EXPECT_EQ(Checked("%cP0#cxx%c%c"), expected);
  EXPECT_EQ(Checked("%cP0#ccc%c%c"), expected);
  EXPECT_EQ(Checked("%cP0#cXX%c%c"), expected);
}

TEST(AddChecksum, CheckBelow0x10KeepsLeadingZeroAndUpperCaseDigits) {
  char buf[kTxBufSize];
  ASSERT_FALSE(
      FormatFrame(buf, sizeof buf, "%cP%u$f%s%cxx%c%c", kEsc, 0u, "A9", 0xFF, kEsc, kBackslash));
  ASSERT_FALSE(AddChecksum(buf));
  EXPECT_EQ(std::string(buf),
            "\x1b"
            "P0$fA9\xff"
            "0A\x1b\\"s);
}

TEST(AddChecksum, FrameWithoutParametersIsCheckedFromTheCommandCode) {
  char buf[kTxBufSize];
  ASSERT_FALSE(
      FormatFrame(buf, sizeof buf, "%cP#p%s\r%s\rcc%c%c", kEsc, "AB", "C", kEsc, kBackslash));
  ASSERT_FALSE(AddChecksum(buf));
  EXPECT_EQ(std::string(buf),
            "\x1b"
            "P#pAB\rC\rEC\x1b\\"s);
}

TEST(AddChecksum, EndsTheStringRightAfterTheClosingEscBackslash) {
  char buf[kTxBufSize];
  std::memset(buf, 'Z', sizeof buf);
  std::memcpy(buf, "\x1bP0#cxx\x1b\\\0", 10);
  ASSERT_FALSE(AddChecksum(buf));
  EXPECT_EQ(buf[9], '\0');
  EXPECT_EQ(std::string(buf),
            "\x1b"
            "P0#c8F\x1b\\"s);
}

TEST(AddChecksum, RefusesTextWithoutClosingEscBackslashAndLeavesItUntouched) {
  char buf[kTxBufSize];
  std::memset(buf, 'Z', sizeof buf);
  std::memcpy(buf, "\x1bP0#cxx", 8);  // with its NUL
  const std::vector<char> before(buf, buf + sizeof buf);
  EXPECT_TRUE(AddChecksum(buf));
  EXPECT_EQ(std::vector<char>(buf, buf + sizeof buf), before);
}

TEST(AddChecksum, IgnoresStaleEscBackslashLeftAfterTheText) {
  // An earlier, longer frame left ESC '\' behind the NUL of a text that has none of its own.
  char buf[kTxBufSize] = "\x1bP0#cxx\x1b\\";
  buf[5] = '\0';
  EXPECT_TRUE(AddChecksum(buf));
  EXPECT_EQ(std::memcmp(buf, "\x1bP0#c\0x\x1b\\", 10), 0);
}

TEST(AddChecksum, RefusesWhenTheBufferHoldsNoNulAndNoEnd) {
  std::vector<char> buf(kTxBufSize, 'A');
  buf[0] = kEsc;
  buf[1] = 'P';
  EXPECT_TRUE(AddChecksum(buf.data(), buf.size()));
  EXPECT_EQ(buf[2], 'A');
}

TEST(AddChecksum, RefusesAFrameWhoseEndLeavesNoRoomForTheNul) {
  // ESC '\' in the last two bytes of a buffer without a NUL: the check would fit, the NUL not.
  std::vector<char> buf(16, 'A');
  buf[0] = kEsc;
  buf[1] = 'P';
  buf[14] = kEsc;
  buf[15] = kBackslash;
  const std::vector<char> before = buf;
  EXPECT_TRUE(AddChecksum(buf.data(), buf.size()));
  EXPECT_EQ(buf, before);
  // One byte more and the frame fits.
  std::vector<char> room(buf);
  room.push_back('\0');
  EXPECT_FALSE(AddChecksum(room.data(), room.size()));
  EXPECT_EQ(room[12], 'F');
}

TEST(AddChecksum, RefusesAnEnvelopeWithNoPlaceForTheCheck) {
  char buf[8] = "\x1bP\x1b\\";
  EXPECT_TRUE(AddChecksum(buf, sizeof buf));
  EXPECT_EQ(std::string(buf), "\x1bP\x1b\\");
}

TEST(FormatFrame, RefusesAFrameThatDoesNotFit) {
  char buf[8];
  EXPECT_TRUE(FormatFrame(buf, sizeof buf, "%cP%s%c%c", kEsc, "TOO LONG", kEsc, kBackslash));
  EXPECT_EQ(buf[0], '\0');
  EXPECT_FALSE(FormatFrame(buf, sizeof buf, "%cP%s%c%c", kEsc, "1#c", kEsc, kBackslash));
  EXPECT_EQ(std::string(buf), "\x1bP1#c\x1b\\");
}

// --- the readable console form ---

TEST(FrameToDisplayText, NamesControlBytesInFiveCharacters) {
  const std::string bytes = "\x1b\r\n\x05\x07\x10\x18\x0e\x14\xff"s;
  EXPECT_EQ(FrameToDisplayText(bytes, 3), "<ESC><CR ><LF ><ENQ><BEL><DLE><CAN><SO ><DC4><FFH>");
}

TEST(FrameToDisplayText, ShowsPrintableAsItselfAndOtherBytesInHex) {
  EXPECT_EQ(FrameToDisplayText("P0#c8F ~"s, 0), "P0#c8F ~");
  EXPECT_EQ(FrameToDisplayText("\x80\x00\x7f\x01\xe9"s, 3), "<80H><00H><7FH><01H><E9H>");
}

TEST(FrameToDisplayText, ShowsPolishLettersOfTheSelectedCodePage) {
  // Łódź as the printer holds it in MAZOVIA, shown as Windows-1250 letters.
  EXPECT_EQ(FrameToDisplayText("\x9c\xa2\x64\xa6"s, 0), "\xa3\xf3\x64\x9f"s);
  // The same bytes mean other letters, or none, in another page.
  EXPECT_EQ(FrameToDisplayText("\x9c\xa2\xa6"s, 3), "\x9c<A2H><A6H>"s);
  EXPECT_EQ(FrameToDisplayText("\xa5"s, 1), "\xb9"s);  // ą in LATIN
  EXPECT_EQ(FrameToDisplayText("\xb1"s, 2), "\xb9"s);  // ą in ISOLATIN
}

TEST(DisplayTextToFrame, LineBreaksBetweenAndInsideTokensAreSkipped) {
  const std::string expected = "\x1bP0#n\x1b\\"s;
  EXPECT_EQ(DisplayTextToFrame("<ESC>P0#n<ESC>\\"), expected);
  EXPECT_EQ(DisplayTextToFrame("<ESC>\r\nP0#n\r\n<ESC>\r\n\\\r\n"), expected);
  EXPECT_EQ(DisplayTextToFrame("<E\r\nSC>P0\n#n<ES\nC>\\"), expected);
}

TEST(DisplayTextToFrame, TurnsEveryNameIntoItsByte) {
  EXPECT_EQ(DisplayTextToFrame("<ESC><CR ><LF ><ENQ><BEL><DLE><CAN><SO ><DC4>"),
            "\x1b\r\n\x05\x07\x10\x18\x0e\x14"s);
}

TEST(DisplayTextToFrame, HexTokenTakesEitherCaseOfDigits) {
  EXPECT_EQ(DisplayTextToFrame("<1bH>"), "\x1b"s);
  EXPECT_EQ(DisplayTextToFrame("<1BH>"), "\x1b"s);
  EXPECT_EQ(DisplayTextToFrame("<FFH>"), "\xff"s);
  EXPECT_EQ(DisplayTextToFrame("a<00H>b"), "a\0b"s);
}

TEST(DisplayTextToFrame, UnknownTokensAreSentAsPlainCharacters) {
  EXPECT_EQ(DisplayTextToFrame("<CR>"), "<CR>");
  EXPECT_EQ(DisplayTextToFrame("<XYH>"), "<XYH>");  // hex-shaped, but not hex digits
  EXPECT_EQ(DisplayTextToFrame("<1GH>"), "<1GH>");
  EXPECT_EQ(DisplayTextToFrame("<esc>"), "<esc>");
  EXPECT_EQ(DisplayTextToFrame("a<b"), "a<b");
  EXPECT_EQ(DisplayTextToFrame("<ES"), "<ES");
  EXPECT_EQ(DisplayTextToFrame("<"), "<");
  // The '<' is written alone and the reading goes on right after it.
  EXPECT_EQ(DisplayTextToFrame("<<ESC>"), "<\x1b"s);
}

TEST(DisplayTextToFrame, ReadsBackEveryByteTheDisplayShows) {
  std::string all;
  for (int b = 0; b < 256; ++b) {
    if (b != '<') all.push_back(static_cast<char>(b));
  }
  EXPECT_EQ(DisplayTextToFrame(FrameToDisplayText(all, 3)), all);
}

// --- multi-line text fields ---

TEST(JoinLinesWithCR, TrailingLineBreakMakesAnEmptyLastLine) {
  std::string out;
  EXPECT_EQ(JoinLinesWithCR("A\r\nB\r\n", out), 3);
  EXPECT_EQ(out, "A\rB\r\r");
}

TEST(JoinLinesWithCR, CountsLinesAndEndsTheLastOne) {
  std::string out = "stale";
  EXPECT_EQ(JoinLinesWithCR("", out), 0);
  EXPECT_EQ(out, "");
  EXPECT_EQ(JoinLinesWithCR("Jeden", out), 1);
  EXPECT_EQ(out, "Jeden\r");
  EXPECT_EQ(JoinLinesWithCR("A\r\nB", out), 2);
  EXPECT_EQ(out, "A\rB\r");
}

TEST(JoinLinesWithCR, LoneLineEndsKeepTheTextAfterThem) {
  std::string out;
  EXPECT_EQ(JoinLinesWithCR("A\nB", out), 2);
  EXPECT_EQ(out, "A\rB\r");
  EXPECT_EQ(JoinLinesWithCR("A\rB", out), 2);
  EXPECT_EQ(out, "A\rB\r");
}

// --- command-file lines ---

TEST(BuildCommandFileFrame, WrapsTheLineAndAddsTheCheck) {
  EXPECT_EQ(BuildCommandFileFrame("0#c"),
            "\x1b"
            "P0#c8F\x1b\\"s);
  EXPECT_EQ(BuildCommandFileFrame("1;2#z"),
            "\x1b"
            "P1;2#z9E\x1b\\"s);
}

TEST(BuildCommandFileFrame, ReplacesCrLfTokensAndBrackets) {
  EXPECT_EQ(BuildCommandFileFrame("#t<CR>A[B]<LF>"),
            "\x1b"
            "P#t\rA\x0e"
            "B\x14\nB6\x1b\\"s);
}

TEST(BuildCommandFileFrame, SendsConsoleNamesAndPolishLettersAsTheyStand) {
  // "<CR >" (the console's name) is not a file token; letters are not converted.
  const auto frame = BuildCommandFileFrame("<CR >\xa3");
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->substr(0, 8), "\x1bP<CR >\xa3"s);
}

TEST(BuildCommandFileFrame, RefusesALineLongerThan249BytesAfterReplacement) {
  const auto longest = BuildCommandFileFrame(std::string(249, 'A'));
  ASSERT_TRUE(longest.has_value());
  EXPECT_EQ(longest->size(), 255u);
  EXPECT_FALSE(BuildCommandFileFrame(std::string(250, 'A')).has_value());
  EXPECT_FALSE(BuildCommandFileFrame(std::string(1000, 'A')).has_value());
  // Tokens count as the single byte they become: 62 "<CR>" and one 'A' make 63 bytes.
  std::string tokens;
  for (int i = 0; i < 62; ++i) tokens += "<CR>";
  EXPECT_TRUE(BuildCommandFileFrame(tokens + "A").has_value());
}

}  // namespace
}  // namespace ulvo
