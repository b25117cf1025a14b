// The currency payment table, its receipt lines, and the two currency commands.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/core/currency.h"

namespace ulvo {
namespace {

std::string Body(const FrameList& list) {
  EXPECT_FALSE(list.Refused()) << list.error;
  EXPECT_EQ(list.frames.size(), 1u);
  if (list.frames.size() != 1 || list.frames[0].size() < 5) return {};
  const std::string& frame = list.frames[0];
  return frame.substr(1, frame.size() - 5);
}

CurrencyEntryFields Entry(bool enabled, const char* multiplier, const char* code, const char* rate,
                          const char* amount) {
  return {enabled, multiplier, code, rate, amount};
}

TEST(CurrencyTable, ConfirmationLinesOfTheEnabledEntries) {
  struct Case {
    CurrencyFields fields;
    const char* lines;
  };
  const std::vector<Case> cases = {
      // 100 units at 3,7887 and 50 paid: 1.89435, shown as 1.89; the rate goes with a point.
      {{Entry(true, "100", "EUR", "3,7887", "50"), Entry(false, "1", "USD", "4", "1"),
        Entry(false, "1", "GBP", "5", "1")},
       "$16 1.89 50.00 0.00 100 EUR 3.7887 0.00\n"},
      {{Entry(true, "1", "EUR", "4.5", "10,5"), Entry(false, "1", "USD", "4", "1"),
        Entry(true, "10", "CZK", "1,75", "200")},
       "$16 47.25 10.50 0.00 1 EUR 4.5 0.00\n$16 35.00 200.00 0.00 10 CZK 1.75 0.00\n"},
      {{Entry(false, "1", "EUR", "4", "1"), Entry(false, "1", "USD", "4", "1"),
        Entry(false, "1", "GBP", "5", "1")},
       ""},
  };
  for (const Case& c : cases) {
    CurrencyPayments table;
    EXPECT_EQ(ApplyCurrencyFields(c.fields, table), "");
    EXPECT_EQ(CurrencyLines(table), c.lines);
  }
}

TEST(CurrencyTable, EveryEntryIsComputedEnabledOrNot) {
  CurrencyPayments table;
  ASSERT_EQ(
      ApplyCurrencyFields({Entry(false, "100", "eur", "3,7887", "50"),
                           Entry(false, "1", "USD", "4", "1"), Entry(false, "1", "GBP", "5", "1")},
                          table),
      "");
  const CurrencyPayment& e = table.entries[0];
  EXPECT_EQ(e.Enabled, 0);
  EXPECT_EQ(e.Multiplier, 100);
  EXPECT_STREQ(e.Code, "EUR");
  EXPECT_STREQ(e.RateText, "3.7887");
  EXPECT_DOUBLE_EQ(e.Amount, 50.0);
  EXPECT_NEAR(e.Value, 1.89435, 1e-12);
}

bool Same(const CurrencyPayments& a, const CurrencyPayments& b) {
  for (std::size_t i = 0; i < kCurrencyEntries; ++i) {
    const CurrencyPayment& x = a.entries[i];
    const CurrencyPayment& y = b.entries[i];
    if (x.Enabled != y.Enabled || x.Multiplier != y.Multiplier || x.Rate != y.Rate ||
        x.Amount != y.Amount || x.Value != y.Value || std::strcmp(x.Code, y.Code) != 0 ||
        std::strcmp(x.RateText, y.RateText) != 0) {
      return false;
    }
  }
  return true;
}

TEST(CurrencyTable, FieldThatIsNoNumberLeavesTheTableAsItWas) {
  CurrencyPayments table;
  const CurrencyFields good = {Entry(true, "100", "EUR", "3,7887", "50"),
                               Entry(true, "1", "USD", "4", "2"),
                               Entry(false, "1", "GBP", "5", "1")};
  ASSERT_EQ(ApplyCurrencyFields(good, table), "");
  const CurrencyPayments before = table;

  struct Case {
    int entry;
    CurrencyEntryFields fields;
    const char* names;
  };
  const std::vector<Case> cases = {
      {1, Entry(true, "1", "USD", "4,x", "2"), "\"Przelicznik\""},
      {1, Entry(true, "1", "USD", "", "2"), "\"Przelicznik\""},
      {2, Entry(false, "1", "GBP", "5", "dużo"), "\"Wartość wpłaty w walucie\""},
      {2, Entry(false, "1", "GBP", "12345678901234567890", "1"), "\"Przelicznik\""},
      {1, Entry(true, "abc", "USD", "4", "2"), "\"Mnożnik\""},
      {1, Entry(true, "1", "U$D", "4", "2"), "\"Kod waluty\""},
  };
  for (const Case& c : cases) {
    CurrencyFields fields = good;
    fields[0].enabled = false;  // a change that must not be kept either
    fields[0].amount = "70";
    fields[c.entry] = c.fields;
    const std::string error = ApplyCurrencyFields(fields, table);
    EXPECT_NE(error.find(c.names), std::string::npos) << error;
    EXPECT_NE(error.find("Waluta " + std::to_string(c.entry + 1)), std::string::npos) << error;
    EXPECT_TRUE(Same(table, before)) << c.names;
  }
}

TEST(CurrencyConversionFrame, PrintOrNot) {
  struct Case {
    ConversionFields fields;
    const char* body;
  };
  const std::vector<Case> cases = {
      {{true, "1", "EUR", "3.4054", "PLN"}, "P1$$1/EUR\r3.4054\rPLN\r"},
      // A comma in the rate goes as a point; codes go upper-case.
      {{true, "100", "eur", "3,4054", "pln"}, "P1$$100/EUR\r3.4054\rPLN\r"},
      {{false, "100", "EUR", "3,4054", "PLN"}, "P0$$"},
  };
  for (const Case& c : cases) EXPECT_EQ(Body(BuildCurrencyConversion(c.fields)), c.body);
}

TEST(AccountingCurrencyFrame, DateAndTimeGoInEveryMode) {
  struct Case {
    AccountingCurrencyFields fields;
    const char* body;
  };
  const std::vector<Case> cases = {
      {{0, 2026, 12, 8, "09:05", "EUR"}, "P0;26;12;8;09;05##EUR\r"},
      {{1, 2027, 1, 31, "23:59", "eur"}, "P1;27;1;31;23;59##EUR\r"},
      {{2, 2026, 12, 8, "10:15", "PLN"}, "P2;26;12;8;10;15##PLN\r"},
      {{0, 2026, 12, 8, "00:00", "PLNX"}, "P0;26;12;8;00;00##PLN\r"},
  };
  for (const Case& c : cases) EXPECT_EQ(Body(BuildAccountingCurrency(c.fields)), c.body);
  EXPECT_TRUE(BuildAccountingCurrency({1, 2026, 1, 1, "9:", "PLN"}).Refused());
}

TEST(AccountingCurrencyFrame, TimeFieldFormat) {
  EXPECT_EQ(FormatHourMinute(9, 5), "09:05");
  EXPECT_EQ(FormatHourMinute(23, 59), "23:59");
  EXPECT_EQ(FormatHourMinute(0, 0), "00:00");
}

}  // namespace
}  // namespace ulvo
