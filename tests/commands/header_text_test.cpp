// The header editor's content turned into the printer's header text and the "$f" frame.

#include <gtest/gtest.h>

#include <string>

#include "commands/core/header_text.h"
#include "link/letter_coding.h"

namespace ulvo {
namespace {

using A = HeaderAlignment;

HeaderParagraph Para(A alignment, std::vector<HeaderRun> runs) {
  return HeaderParagraph{alignment, std::move(runs)};
}
HeaderRun N(std::string text) {
  return HeaderRun{std::move(text), kNormalSize};
}
HeaderRun W(std::string text) {
  return HeaderRun{std::move(text), kDoubleWidthSize};
}

std::string Text(const HeaderDocument& document, int width, bool doubleWidth = true) {
  HeaderPrinterText out = HeaderToPrinterText(document, width, doubleWidth);
  EXPECT_TRUE(out.error.empty()) << out.error;
  return out.bytes;
}

std::string Spaces(int n) {
  return std::string(static_cast<std::size_t>(n), ' ');
}

// The frame between ESC and its two check digits.
std::string Body(const std::string& frame) {
  return frame.size() < 5 ? std::string() : frame.substr(1, frame.size() - 5);
}

struct PaddingCase {
  const char* name;
  HeaderParagraph paragraph;
  int width;
  std::string expected;
};

TEST(HeaderText, PaddingStandsBeforeTheTextAndDropsTheFraction) {
  const PaddingCase cases[] = {
      {"centred 10 on 42", Para(A::Center, {N("0123456789")}), 42, Spaces(16) + "0123456789\n"},
      {"centred 11 on 42", Para(A::Center, {N("0123456789X")}), 42, Spaces(15) + "0123456789X\n"},
      {"right 5 on 24", Para(A::Right, {N("Tel.1")}), 24, Spaces(19) + "Tel.1\n"},
      {"right as wide as the line", Para(A::Right, {N(std::string(42, 'r'))}), 42,
       std::string(42, 'r') + "\n"},
      {"right wider than the line", Para(A::Right, {N(std::string(44, 'r'))}), 42,
       std::string(44, 'r') + "\n"},
      {"centred wider than the line", Para(A::Center, {N(std::string(45, 'c'))}), 42,
       std::string(45, 'c') + "\n"},
      {"left", Para(A::Left, {N("Sklep")}), 42, "Sklep\n"},
      {"justified pads like left", Para(A::Justify, {N("Sklep")}), 42, "Sklep\n"},
      {"centred double width ABC on 42", Para(A::Center, {W("ABC")}), 42,
       Spaces(18) + "\x0E"
                    "ABC\x14\n"},
      {"centred on 32 (narrow Mavito)", Para(A::Center, {N("AB")}), 32, Spaces(15) + "AB\n"},
  };
  for (const PaddingCase& c : cases) {
    EXPECT_EQ(Text(HeaderDocument{{c.paragraph}}, c.width), c.expected) << c.name;
  }
}

TEST(HeaderText, DoubleWidthRunIsClosedAtEveryLineEndAndReopened) {
  HeaderDocument doc{{Para(A::Left, {N("a"), W("BC")}), Para(A::Left, {W("DE"), N("f")}),
                      Para(A::Left, {N("g")})}};
  EXPECT_EQ(Text(doc, 42),
            "a\x0E"
            "BC\x14\n\x0E"
            "DE\x14"
            "f\n"
            "g\n");
}

TEST(HeaderText, MixedSizesCountTwoColumnsPerWideCharacter) {
  // 2 normal + 2 wide = 6 columns; (42 - 6) / 2 = 18.
  HeaderDocument doc{{Para(A::Center, {N("x"), W("YZ"), N("w")})}};
  EXPECT_EQ(Text(doc, 42), Spaces(18) + "x\x0EYZ\x14w\n");
}

TEST(HeaderText, OtherSizesKeepTheCurrentWidth) {
  // Only 10 and 20 switch; a size 12 character goes on in the width before it.
  HeaderDocument doc{{Para(A::Left, {W("A"), HeaderRun{"b", 12}, N("c")})}};
  EXPECT_EQ(Text(doc, 42),
            "\x0E"
            "Ab\x14"
            "c\n");
}

TEST(HeaderText, AltaNeverGetsDoubleWidth) {
  HeaderDocument doc{{Para(A::Center, {W("ABC")}), Para(A::Left, {N("x"), W("y")})}};
  EXPECT_EQ(Text(doc, 24, false), Spaces(10) + "ABC\nxy\n");
}

TEST(HeaderText, EmptyParagraphIsAnEmptyLineWithItsPadding) {
  HeaderDocument doc{{Para(A::Left, {}), Para(A::Center, {})}};
  EXPECT_EQ(Text(doc, 24), "\n" + Spaces(12) + "\n");
}

TEST(HeaderText, PolishLettersBecomeWindows1250) {
  HeaderDocument doc{{Para(A::Left, {N("Łódź")})}};
  EXPECT_EQ(Text(doc, 42),
            "\xA3\xF3"
            "d\x9F\n");
}

TEST(HeaderText, LineOverTheLineBufferIsRefusedNamingTheLine) {
  // 49 characters and LF fill the 50-byte line buffer; one more does not fit.
  HeaderDocument fits{{Para(A::Left, {N(std::string(49, 'x'))})}};
  EXPECT_EQ(Text(fits, 42), std::string(49, 'x') + "\n");
  HeaderDocument tooLong{{Para(A::Left, {N("ok")}), Para(A::Left, {N(std::string(50, 'x'))})}};
  HeaderPrinterText out = HeaderToPrinterText(tooLong, 42, true);
  EXPECT_TRUE(out.bytes.empty());
  EXPECT_NE(out.error.find("Linia nr 2 nagłówka jest za długa"), std::string::npos) << out.error;
  // SO and DC4 count: 24 wide characters take 27 bytes, 48 of them 51.
  HeaderDocument wide{{Para(A::Left, {W(std::string(48, 'W'))})}};
  EXPECT_NE(HeaderToPrinterText(wide, 42, true).error.find("Linia nr 1"), std::string::npos);
}

TEST(HeaderText, CharactersThatBreakTheFrameAreRefused) {
  for (const char* text : {"a\tb",
                           "a\x1B"
                           "b",
                           "\xCB\x99"}) {  // tab, ESC, U+02D9 = 0xFF
    HeaderDocument doc{{Para(A::Left, {N(text)})}};
    HeaderPrinterText out = HeaderToPrinterText(doc, 42, true);
    EXPECT_NE(out.error.find("Linia nr 1 nagłówka zawiera znak"), std::string::npos) << text;
  }
}

TEST(HeaderText, UnmappableCharactersAreCollectedAndSentAsQuestionMarks) {
  HeaderDocument doc{{Para(A::Left, {N("a☃b☃")})}};
  HeaderPrinterText out = HeaderToPrinterText(doc, 42, true);
  EXPECT_EQ(out.bytes, "a?b?\n");
  EXPECT_EQ(out.unmappable, U"☃");
}

TEST(HeaderFrame, EmptyEditorSendsAnEmptyHeader) {
  HeaderSendFields fields;
  FrameList list = BuildHeaderFrame(fields);
  ASSERT_EQ(list.frames.size(), 1u);
  EXPECT_EQ(Body(list.frames[0]), "P0$f\xFF");
  // The check starts at 0xFF and covers what follows the 'P': FF^30^24^66^FF = 72.
  EXPECT_EQ(list.frames[0],
            "\x1BP0$f\xFF"
            "72\x1B\\");
}

TEST(HeaderFrame, MethodNumberFollowsTheBusDiscountChoice) {
  struct Case {
    int printerType;
    bool busMode, t310;
    const char* prefix;
  } cases[] = {
      {2, false, true, "P0$f"}, {2, true, true, "P1$f"},  {1, true, true, "P20$f"},
      {0, true, true, "P20$f"}, {1, true, false, "P0$f"}, {2, true, false, "P0$f"},
  };
  for (const Case& c : cases) {
    HeaderSendFields fields;
    fields.printerType = c.printerType;
    fields.busMode = c.busMode;
    fields.methodT310 = c.t310;
    fields.document = {{Para(A::Left, {N("X")})}};
    FrameList list = BuildHeaderFrame(fields);
    ASSERT_EQ(list.frames.size(), 1u);
    EXPECT_EQ(Body(list.frames[0]), std::string(c.prefix) + "X\n\xFF")
        << c.printerType << c.busMode << c.t310;
  }
}

TEST(HeaderFrame, AltaWidthAndNoDoubleWidthWhateverTheFileHeld) {
  HeaderSendFields fields;
  fields.printerType = 0;
  fields.document = {{Para(A::Center, {W("AB")})}};
  FrameList list = BuildHeaderFrame(fields);
  ASSERT_EQ(list.frames.size(), 1u);
  EXPECT_EQ(Body(list.frames[0]), "P0$f" + Spaces(11) + "AB\n\xFF");
}

TEST(HeaderFrame, PolishLettersGoInThePrintersCoding) {
  HeaderSendFields fields;
  fields.letterCoding = kMazovia;
  fields.document = {{Para(A::Left, {N("Łódź")})}};
  FrameList list = BuildHeaderFrame(fields);
  ASSERT_EQ(list.frames.size(), 1u);
  EXPECT_EQ(Body(list.frames[0]),
            "P0$f\x9C\xA2"
            "d\xA6\n\xFF");
}

TEST(HeaderFrame, RefusedLineSendsNothing) {
  HeaderSendFields fields;
  fields.document = {{Para(A::Left, {N(std::string(60, 'x'))})}};
  FrameList list = BuildHeaderFrame(fields);
  EXPECT_TRUE(list.Refused());
  EXPECT_TRUE(list.frames.empty());
}

TEST(HeaderLayout, WidthRulerAndNormalizing) {
  EXPECT_EQ(HeaderLineWidth(0, false), 24);
  EXPECT_EQ(HeaderLineWidth(0, true), 24);
  EXPECT_EQ(HeaderLineWidth(1, true), 42);
  EXPECT_EQ(HeaderLineWidth(2, false), 42);
  EXPECT_EQ(HeaderLineWidth(2, true), 32);
  EXPECT_EQ(HeaderRuler(24), "123456789012345678901234");
  EXPECT_EQ(HeaderRuler(32), "12345678901234567890123456789012");
  HeaderDocument doc{{Para(A::Left, {N("a"), N(""), N("b"), W("c"), W("d")})}};
  NormalizeHeader(doc);
  EXPECT_EQ(doc, (HeaderDocument{{Para(A::Left, {N("ab"), W("cd")})}}));
  SetHeaderSize(doc, kNormalSize);
  EXPECT_EQ(doc, (HeaderDocument{{Para(A::Left, {N("abcd")})}}));
}

}  // namespace
}  // namespace ulvo
