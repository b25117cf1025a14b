#include "common/cp1250.h"

#include <gtest/gtest.h>

#include <string>

namespace ulvo {
namespace {

using namespace std::string_literals;

TEST(Utf8ToCp1250, PolishLettersBecomeTheirWindowsBytes) {
  const Cp1250Text t = Utf8ToCp1250("Łódź ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");
  EXPECT_TRUE(t.Complete());
  EXPECT_EQ(
      t.bytes,
      "\xa3\xf3\x64\x9f \xb9\xe6\xea\xb3\xf1\xf3\x9c\x9f\xbf \xa5\xc6\xca\xa3\xd1\xd3\x8c\x8f\xaf"s);
}

TEST(Utf8ToCp1250, OtherCharactersOfTheCodePage) {
  const Cp1250Text t = Utf8ToCp1250("€ „” – ˙ Š ü");
  EXPECT_TRUE(t.Complete());
  EXPECT_EQ(t.bytes, "\x80 \x84\x94 \x96 \xff \x8a \xfc"s);
}

TEST(Utf8ToCp1250, CharactersTheCodePageLacksAreReportedNotDropped) {
  const Cp1250Text t = Utf8ToCp1250("a日b€c😀");
  EXPECT_FALSE(t.Complete());
  EXPECT_EQ(t.bytes,
            "a?b\x80"
            "c?"s);
  EXPECT_EQ(t.unmappable, U"日😀");
}

TEST(Utf8ToCp1250, InvalidUtf8CountsAsUnmappable) {
  // A cut sequence, an overlong '/', a lone continuation byte and an encoded surrogate.
  const Cp1250Text t = Utf8ToCp1250("x\xc3"s);
  EXPECT_EQ(t.bytes, "x?");
  EXPECT_FALSE(t.Complete());
  EXPECT_EQ(Utf8ToCp1250("\xc0\xaf"s).bytes, "??");
  EXPECT_EQ(Utf8ToCp1250("\x80z"s).bytes, "?z");
  EXPECT_EQ(Utf8ToCp1250("\xed\xa0\x80"s).bytes, "???");
  EXPECT_FALSE(Utf8ToCp1250("\xef\xbf\xbd"s).Complete());  // U+FFFD itself has no byte
}

TEST(Cp1250ToUtf8, EveryAssignedByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) continue;
    const std::string one(1, static_cast<char>(b));
    const Cp1250Text back = Utf8ToCp1250(Cp1250ToUtf8(one));
    EXPECT_TRUE(back.Complete()) << b;
    EXPECT_EQ(back.bytes, one) << b;
  }
}

TEST(Cp1250ToUtf8, UnassignedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Cp1250ToUtf8("\x81\x98"s), "\xef\xbf\xbd\xef\xbf\xbd");
  EXPECT_EQ(Cp1250ToUtf8("\xa3\xf3\x64\x9f"s), "Łódź");
  EXPECT_EQ(Cp1250ToUtf8("a\0b"s), "a\0b"s);
}

}  // namespace
}  // namespace ulvo
