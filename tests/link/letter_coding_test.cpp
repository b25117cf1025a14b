#include "link/letter_coding.h"

#include <gtest/gtest.h>

#include <string>

namespace ulvo {
namespace {

using namespace std::string_literals;

// The 18 letters in table order, as typed (Windows-1250).
const std::string kPolish =
    "\xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf\xa5\xc6\xca\xa3\xd1\xd3\x8c\x8f\xaf"s;

std::string Encoded(std::string text, std::uint8_t coding) {
  EncodePolishLetters(text, coding);
  return text;
}

TEST(EncodePolishLetters, LodzInMazovia) {
  EXPECT_EQ(Encoded("\xa3\xf3\x64\x9f"s, kMazovia), "\x9c\xa2\x64\xa6"s);
}

TEST(EncodePolishLetters, EveryLetterInEveryCodePage) {
  EXPECT_EQ(Encoded(kPolish, kMazovia),
            "\x86\x8d\x91\x92\xa4\xa2\x9e\xa6\xa7\x8f\x95\x90\x9c\xa5\xa3\x98\xa0\xa1"s);
  EXPECT_EQ(Encoded(kPolish, kLatin),
            "\xa5\x86\xa9\x88\xe4\xa2\x98\xab\xbe\xa4\x8f\xa8\x9d\xe3\xe0\x97\x8d\xbd"s);
  EXPECT_EQ(Encoded(kPolish, kIsoLatin),
            "\xb1\xe6\xea\xb3\xf1\xf3\xb6\xbc\xbf\xa1\xc6\xca\xa3\xd1\xd3\xa6\xac\xaf"s);
  EXPECT_EQ(Encoded(kPolish, kWindows), kPolish);
}

TEST(EncodePolishLetters, WindowsSendsEveryByteUnchanged) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Encoded(all, kWindows), all);
}

TEST(EncodePolishLetters, LettersOutsideTheEighteenPassUnchanged) {
  // é ü Á Š ß ř and plain ASCII
  const std::string other = "\xe9\xfc\xc1\x8a\xdf\xf8 Abc;1/"s;
  for (std::uint8_t coding = 0; coding < 4; ++coding) {
    EXPECT_EQ(Encoded(other, coding), other) << int(coding);
  }
}

TEST(EncodePolishLetters, EachByteIsConvertedOnceInPlace) {
  // In MAZOVIA ś becomes 9E; a byte already converted is not looked up again.
  char text[] = "\x9c\x8c";
  EncodePolishLetters(text, kMazovia);
  EXPECT_EQ(std::string(text), "\x9e\x98"s);
}

TEST(EncodePolishLetters, CStringStopsAtItsEnd) {
  char text[] = "\xb9\0\xb9";
  EncodePolishLetters(text, kMazovia);
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0x86);
  EXPECT_EQ(static_cast<unsigned char>(text[2]), 0xB9);
}

TEST(EncodePolishLetters, UnknownCodingLeavesTextAlone) {
  EXPECT_EQ(Encoded(kPolish, 4), kPolish);
}

TEST(DecodePolishLetter, ReversesTheTableInEveryPage) {
  for (std::uint8_t coding = 0; coding < 4; ++coding) {
    const std::string encoded = Encoded(kPolish, coding);
    for (std::size_t i = 0; i < kPolish.size(); ++i) {
      EXPECT_EQ(DecodePolishLetter(static_cast<unsigned char>(encoded[i]), coding),
                static_cast<unsigned char>(kPolish[i]))
          << "coding " << int(coding) << " letter " << i;
    }
  }
}

TEST(DecodePolishLetter, OtherBytesAreNoLetter) {
  EXPECT_EQ(DecodePolishLetter('A', kMazovia), 0);
  EXPECT_EQ(DecodePolishLetter(0xB9, kMazovia), 0);     // ą in Windows-1250, nothing in MAZOVIA
  EXPECT_EQ(DecodePolishLetter(0x9C, kMazovia), 0xA3);  // Ł
  EXPECT_EQ(DecodePolishLetter(0x9C, kWindows), 0x9C);  // ś
  EXPECT_EQ(DecodePolishLetter(0x86, 7), 0);
}

TEST(LetterCodingName, NamesAsSaved) {
  EXPECT_STREQ(LetterCodingName(0), "MAZOVIA");
  EXPECT_STREQ(LetterCodingName(1), "LATIN");
  EXPECT_STREQ(LetterCodingName(2), "ISOLATIN");
  EXPECT_STREQ(LetterCodingName(3), "WINDOWS");
  EXPECT_STREQ(LetterCodingName(4), "");
}

TEST(CodePageFrame, IsoLatinCommand) {
  EXPECT_EQ(CodePageFrame(2), "\x1bP2$1D8\x1b\\"s);
  EXPECT_EQ(CodePageFrame(0), "\x1bP0$1DA\x1b\\"s);
}

}  // namespace
}  // namespace ulvo
