#include "common/money.h"

#include <gtest/gtest.h>

namespace ulvo {
namespace {

constexpr double kCent = 1e-9;

TEST(RoundMoney, RoundsHalfACentUpDespiteBinaryFractions) {
  EXPECT_NEAR(RoundMoney(1.005), 1.01, kCent);  // 100.49999... without the extra 1e-10
  EXPECT_NEAR(RoundMoney(2.675), 2.68, kCent);
  EXPECT_NEAR(RoundMoney(0.135), 0.14, kCent);
  EXPECT_NEAR(RoundMoney(0.134), 0.13, kCent);
  EXPECT_NEAR(RoundMoney(0.0), 0.0, kCent);
  EXPECT_NEAR(RoundMoney(123456.789), 123456.79, kCent);
}

TEST(ComputeAmount, DifferenceAndSum) {
  EXPECT_NEAR(ComputeAmount(2, 1, 2.5, 10.0), 7.5, kCent);
  EXPECT_NEAR(ComputeAmount(2, 3, 2.5, 10.0), 12.5, kCent);
  EXPECT_NEAR(ComputeAmount(1, 1, 2.5, 10.0), 7.5, kCent);
}

TEST(ComputeAmount, AltaProRoundsTheDiscountOnItsOwn) {
  // 10 % of 0.15: Alta Pro takes off a rounded 0.02, the others round 0.135 as a whole.
  EXPECT_NEAR(ComputeAmount(1, 2, 10, 0.15), 0.13, kCent);
  EXPECT_NEAR(ComputeAmount(0, 2, 10, 0.15), 0.14, kCent);
  EXPECT_NEAR(ComputeAmount(2, 2, 10, 0.15), 0.14, kCent);
  EXPECT_EQ(FormatMoney(ComputeAmount(1, 2, 10, 0.15)), "0.13");
  EXPECT_EQ(FormatMoney(ComputeAmount(2, 2, 10, 0.15)), "0.14");
}

TEST(ComputeAmount, Markup) {
  EXPECT_NEAR(ComputeAmount(1, 4, 10, 0.15), 0.17, kCent);
  EXPECT_NEAR(ComputeAmount(2, 4, 10, 0.15), 0.17, kCent);
  EXPECT_NEAR(ComputeAmount(2, 4, 23, 100.0), 123.0, kCent);
  EXPECT_NEAR(ComputeAmount(1, 4, 7, 1.99), 2.13, kCent);  // 1.99 + 0.14
}

TEST(FormatPtuRate, ExemptAndNoneAndRates) {
  EXPECT_EQ(FormatPtuRate(100), "ZWOLN");
  EXPECT_EQ(FormatPtuRate(101), "BRAK");
  EXPECT_EQ(FormatPtuRate(22), "22.00");
  EXPECT_EQ(FormatPtuRate(7), "7.00");
  EXPECT_EQ(FormatPtuRate(0), "0.00");
  EXPECT_EQ(FormatPtuRate(99.99), "99.99");
  EXPECT_EQ(FormatPtuRate(100.5), "");
  EXPECT_EQ(FormatPtuRate(102), "");
}

TEST(FormatMoney, TwoDecimalsWithADot) {
  EXPECT_EQ(FormatMoney(1.005), "1.01");
  EXPECT_EQ(FormatMoney(0), "0.00");
  EXPECT_EQ(FormatMoney(12.3), "12.30");
}

TEST(ParseAmount, CommaOrDotIsTheDecimalSeparator) {
  EXPECT_EQ(ParseAmount("12,50"), 12.5);
  EXPECT_EQ(ParseAmount("12.50"), 12.5);
  EXPECT_EQ(ParseAmount(",5"), 0.5);
  EXPECT_EQ(ParseAmount("5,"), 5.0);
  EXPECT_EQ(ParseAmount("  3 "), 3.0);
  EXPECT_EQ(ParseAmount("-3,5"), -3.5);
  EXPECT_EQ(ParseAmount("0"), 0.0);
}

TEST(ParseAmount, TextThatIsNotWhollyANumberIsReported) {
  EXPECT_FALSE(ParseAmount(""));
  EXPECT_FALSE(ParseAmount("   "));
  EXPECT_FALSE(ParseAmount("abc"));
  EXPECT_FALSE(ParseAmount("12a"));
  EXPECT_FALSE(ParseAmount("1,2,3"));
  EXPECT_FALSE(ParseAmount("1.2,3"));
  EXPECT_FALSE(ParseAmount("1 000"));
  EXPECT_FALSE(ParseAmount("1e5"));
  EXPECT_FALSE(ParseAmount("inf"));
  EXPECT_FALSE(ParseAmount("nan"));
  EXPECT_FALSE(ParseAmount("-"));
  EXPECT_FALSE(ParseAmount(","));
  EXPECT_FALSE(ParseAmount("--1"));
}

TEST(ParseInteger, WholeNumbersOnly) {
  EXPECT_EQ(ParseInteger("42"), 42);
  EXPECT_EQ(ParseInteger(" -7 "), -7);
  EXPECT_EQ(ParseInteger("+5"), 5);
  EXPECT_FALSE(ParseInteger(""));
  EXPECT_FALSE(ParseInteger("+"));
  EXPECT_FALSE(ParseInteger("+-5"));
  EXPECT_FALSE(ParseInteger("4.5"));
  EXPECT_FALSE(ParseInteger("4,5"));
  EXPECT_FALSE(ParseInteger("12x"));
  EXPECT_FALSE(ParseInteger("99999999999999999999999"));
}

}  // namespace
}  // namespace ulvo
