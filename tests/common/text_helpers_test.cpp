#include "common/text_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ulvo {
namespace {

using namespace std::string_literals;

TEST(DotsAndCommas, ReplaceEveryOneInPlace) {
  char text[] = "1.234.5";
  DotToComma(text);
  EXPECT_STREQ(text, "1,234,5");
  CommaToDot(text);
  EXPECT_STREQ(text, "1.234.5");
  std::string s = "a.b,c.";
  DotToComma(s);
  EXPECT_EQ(s, "a,b,c,");
  CommaToDot(s);
  EXPECT_EQ(s, "a.b.c.");
}

TEST(UpperCaseText, OnlyAsciiLettersAndReturnsTheLength) {
  char text[] = "abc xyz 1;\xb9\xb3";  // Polish letters are not touched
  EXPECT_EQ(UpperCaseText(text), 12);
  EXPECT_EQ(std::string(text), "ABC XYZ 1;\xb9\xb3"s);
  char empty[] = "";
  EXPECT_EQ(UpperCaseText(empty), 0);
}

TEST(IsBlank, EmptyOrOnlyBlanks) {
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank("    "));
  EXPECT_TRUE(IsBlank(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(IsBlank(" a "));
  EXPECT_FALSE(IsBlank(std::string_view("  0")));
  EXPECT_TRUE(IsBlank(std::string_view("   ")));
}

TEST(FieldText, AtMost49BytesReachAFrame) {
  FieldText field;
  field.Assign(std::string(80, 'x'));
  EXPECT_EQ(std::strlen(field.c_str()), 49u);
  field.Assign(std::string(49, 'y'));
  EXPECT_EQ(std::string(field.c_str()), std::string(49, 'y'));
  field.Assign("krótki");
  EXPECT_STREQ(field.c_str(), "krótki");
  field.Assign("");
  EXPECT_STREQ(field.c_str(), "");
}

}  // namespace
}  // namespace ulvo
