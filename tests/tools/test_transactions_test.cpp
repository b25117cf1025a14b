// The test transaction generator: the settings check, and the frames of whole receipts made
// from a scripted random sequence, pinned as the bytes that go to the printer.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "common/cp1250.h"
#include "link/letter_coding.h"
#include "tools/core/test_transactions.h"

namespace ulvo {
namespace {

using namespace std::string_literals;

// Gives the scripted values in order, then starts over.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<int> values) : values_(std::move(values)) {}
  int Next() override {
    const int value = values_[next_ % values_.size()];
    ++next_;
    return value;
  }
  std::size_t used() const { return next_; }

 private:
  std::vector<int> values_;
  std::size_t next_ = 0;
};

std::vector<std::string> Goods() {
  return {Utf8ToCp1250("Mysz optyczna").bytes,
          Utf8ToCp1250("Dysk zewnętrzny z bardzo długą nazwą ponad czterdzieści znaków").bytes,
          Utf8ToCp1250("Kabel USB").bytes};
}

TestRunSettings BlockRun() {
  TestRunSettings run;
  run.TestRunActive = 1;
  run.TestReceiptLimit = -1;
  run.TestFixedLines = 2;
  run.TestOnline = 0;
  run.TestLineDiscountMax = -1;
  run.TestReceiptDiscountMax = 5.00;
  run.TestDiscountMethod = 1;
  return run;
}

std::vector<std::string> WholeReceipt(TestReceiptGenerator& generator) {
  std::vector<std::string> frames;
  do {
    frames.push_back(generator.NextStep().frame);
  } while (generator.receipt().LineNumber != 0 && frames.size() < 100);
  return frames;
}

// Line 1: goods 1 (B), quantity 3, price 12.34; line 2: goods 0 (A), a 0 quantity drawn again
// then 1, price 5.00; receipt discount 250 mod 500 -> 2.50 %.
const std::vector<int> kReceiptScript = {4, 13, 1234, 6, 10, 21, 500, 1250};

TEST(TestGenerator, BlockReceiptWithReceiptDiscountIsPinned) {
  TestRunSettings run = BlockRun();
  ScriptedRandom random(kReceiptScript);
  TestReceiptGenerator generator(run, random, Goods(), kMazovia);
  const std::vector<std::string> frames = WholeReceipt(generator);
  // The long name is letter-coded (MAZOVIA) and then cut to 40 bytes.
  const std::vector<std::string> expected = {
      "\x1BP2$h81\x1B\\",
      "\x1BP1$lDysk zewn\x91trzny z bardzo d\x92ug\x86 nazw\x86 pon\r3.00\rB/12.34/37.02/C0\x1B\\",
      "\x1BP2$lMysz optyczna\r1.00\rA/5.00/5.00/ED\x1B\\",
      "\x1BP1;0;0;0;1$e00A\r42.02/42.02/2.50/F4\x1B\\"};
  EXPECT_EQ(frames, expected);
  EXPECT_EQ(random.used(), kReceiptScript.size());
  EXPECT_EQ(run.TestReceiptCount, 1u);
  // Method 1: each letter's sum times (1 - d/100), rounded: 4.875 -> 4.88 and 36.0945 -> 36.09.
  EXPECT_NEAR(generator.receipt().ReceiptSum, 40.97, 1e-9);
  EXPECT_NEAR(run.TestGrandTotal, 40.97, 1e-9);
}

TEST(TestGenerator, MethodTwoRoundsThePercentagePartOfEachLetter) {
  TestRunSettings run = BlockRun();
  run.TestDiscountMethod = 2;
  ScriptedRandom random(kReceiptScript);
  TestReceiptGenerator generator(run, random, Goods(), kMazovia);
  const std::vector<std::string> frames = WholeReceipt(generator);
  EXPECT_EQ(frames.back(), "\x1BP1;0;0;0;1$e00A\r42.02/42.02/2.50/F4\x1B\\");
  // 5.00 - 0.13 and 37.02 - 0.93: one grosz less than method 1 gives.
  EXPECT_NEAR(generator.receipt().ReceiptSum, 40.96, 1e-9);
  EXPECT_NEAR(run.TestGrandTotal, 40.96, 1e-9);
}

TEST(TestGenerator, OnlineReceiptWithLineDiscountsIsPinned) {
  TestRunSettings run = BlockRun();
  run.TestOnline = 1;
  run.TestLineDiscountMax = 10.00;
  run.TestReceiptDiscountMax = -1;
  run.TestDiscountMethod = 2;
  // Line 1: goods 2 (C), 7 x 9.99, 2.34 % (1234 mod 1000); line 2: goods 0, 9 x 0.01, 9.99 %.
  ScriptedRandom random({2, 7, 999, 1234, 3, 9, 1, 999});
  TestReceiptGenerator generator(run, random, Goods(), kWindows);
  const std::vector<std::string> expected = {
      "\x1BP0$h83\x1B\\", "\x1BP1;2$lKabel USB\r7.00\rC/9.99/69.93/2.34/D7\x1B\\",
      "\x1BP2;2$lMysz optyczna\r9.00\rA/0.01/0.09/9.99/DC\x1B\\",
      // 69.93 - 1.64 + 0.09 - 0.01
      "\x1BP1$e00A\r68.37/68.37/C3\x1B\\"};
  EXPECT_EQ(WholeReceipt(generator), expected);
  EXPECT_NEAR(run.TestGrandTotal, 68.37, 1e-9);
}

TEST(TestGenerator, AZeroMaximumGivesZeroPercentButKeepsTheField) {
  TestRunSettings run = BlockRun();
  run.TestFixedLines = 1;
  run.TestLineDiscountMax = 0.00;
  ScriptedRandom random({0, 1, 500});
  TestReceiptGenerator generator(run, random, Goods(), kMazovia);
  generator.MakeOpening();
  EXPECT_EQ(generator.MakeLine(), "\x1BP1;2$lMysz optyczna\r1.00\rA/5.00/5.00/0.00/D6\x1B\\");
  EXPECT_EQ(random.used(), 3u);  // no draw for the percentage
  EXPECT_EQ(generator.RandomPercent(0.00), 0.0);
  EXPECT_EQ(generator.RandomPercent(0.004), 0.0);
}

TEST(TestGenerator, RandomPercentStaysBelowTheMaximumInHundredths) {
  TestRunSettings run = BlockRun();
  struct Case {
    double max;
    int r;
    double percent;
  } cases[] = {{99.99, 9998, 99.98}, {99.99, 9999, 0.00}, {99.99, 32767, 27.70},
               {0.01, 32767, 0.00},  {5.00, 499, 4.99},   {12.5, 1300, 0.50}};
  for (const Case& c : cases) {
    ScriptedRandom random({c.r});
    TestReceiptGenerator generator(run, random, Goods(), kMazovia);
    EXPECT_NEAR(generator.RandomPercent(c.max), c.percent, 1e-9) << c.max << " " << c.r;
  }
}

TEST(TestGenerator, RandomLineCountFromZeroNeverGivesAnEmptyReceipt) {
  TestRunSettings run = BlockRun();
  run.TestFixedLines = -1;
  run.TestLinesFrom = 0;
  run.TestLinesTo = 5;
  // 0, 6 and 12 all give 0 lines and are drawn again; 4 gives 4.
  ScriptedRandom scripted({0, 6, 12, 4});
  TestReceiptGenerator generator(run, scripted, Goods(), kMazovia);
  generator.MakeOpening();
  EXPECT_EQ(generator.receipt().PlannedLines, 4);
  EXPECT_EQ(scripted.used(), 4u);

  RuntimeRandom runtime(12345);
  TestReceiptGenerator many(run, runtime, Goods(), kMazovia);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    many.MakeOpening();
    seen.insert(many.receipt().PlannedLines);
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5}));
}

TEST(TestGenerator, LineValuesStayWithinThePrintersLimits) {
  // Whatever the runtime generator gives: quantity 1..9, price 0.01..327.67, a discounted value
  // above 0, and the receipt sum equal to the sum of the letters.
  TestRunSettings run = BlockRun();
  run.TestFixedLines = 40;
  run.TestLineDiscountMax = 99.99;
  RuntimeRandom random(777);
  TestReceiptGenerator generator(run, random, GoodsNames(), kMazovia);
  for (int receipt = 0; receipt < 20; ++receipt) {
    generator.MakeOpening();
    double previous = 0;
    for (int line = 0; line < 40; ++line) {
      const std::string frame = generator.MakeLine();
      ASSERT_FALSE(frame.empty());
      const double value = generator.receipt().ReceiptSum - previous;
      EXPECT_GT(value, 0.0);
      EXPECT_LE(value, 9 * 327.67 + 1e-9);
      previous = generator.receipt().ReceiptSum;
      // The name field: at most 40 bytes between the code and the CR.
      const std::size_t start = frame.find("$l") + 2;
      EXPECT_LE(frame.find('\r') - start, 40u);
    }
    double letters = 0;
    for (double s : generator.receipt().LetterSums) letters += s;
    EXPECT_NEAR(letters, generator.receipt().ReceiptSum, 1e-6);
    generator.MakeConfirmation();
  }
}

TEST(TestGoodsNames, SixHundredFortyNamesOfNineToSeventyFiveCharacters) {
  const std::vector<std::string> names = GoodsNames();
  ASSERT_EQ(names.size(), 640u);
  int polish = 0;
  std::set<std::string> distinct;
  for (const std::string& name : names) {
    // Windows-1250: one byte a character.
    EXPECT_GE(name.size(), 9u) << name;
    EXPECT_LE(name.size(), 75u) << name;
    EXPECT_EQ(name.find_first_of("\r\n\x1B"), std::string::npos);
    for (char c : name) {
      if (DecodePolishLetter(static_cast<unsigned char>(c), kWindows) != 0) {
        ++polish;
        break;
      }
    }
    distinct.insert(name);
  }
  EXPECT_GT(polish, 0);
  EXPECT_EQ(distinct.size(), names.size());
}

// ---- the settings check ----

TestRunForm Form() {
  return TestRunForm{};
}

TEST(TestRunCheck, DefaultsStartAnUnlimitedRandomRun) {
  TestRunSettings run;
  run.TestGrandTotal = 12.5;
  run.TestReceiptCount = 7;
  const TestRunCheck check = CheckTestRunForm(Form(), 2, run);
  ASSERT_EQ(check.result, TestRunCheck::Result::Start);
  EXPECT_EQ(run.TestRunActive, 1);
  EXPECT_EQ(run.TestReceiptLimit, -1);
  EXPECT_EQ(run.TestFixedLines, -1);
  EXPECT_EQ(run.TestLinesFrom, 0);
  EXPECT_EQ(run.TestLinesTo, 48);
  EXPECT_DOUBLE_EQ(run.TestLineDiscountMax, 99.99);
  EXPECT_DOUBLE_EQ(run.TestReceiptDiscountMax, 99.99);
  EXPECT_EQ(run.TestOnline, 1);
  EXPECT_EQ(run.TestDiscountMethod, 1);
  EXPECT_EQ(run.TestOpenDrawer, 1);
  EXPECT_EQ(run.TestVerifyTotals, 0);
  EXPECT_EQ(run.TestGrandTotal, 0.0);
  EXPECT_EQ(run.TestReceiptCount, 0u);
}

TEST(TestRunCheck, RefusalsComeInTheFormsOrderWithTheirMessages) {
  struct Case {
    const char* what;
    TestRunForm form;
    const char* message;
  };
  auto with = [](auto change) {
    TestRunForm form = Form();
    change(form);
    return form;
  };
  const Case cases[] = {
      {"limit not a number", with([](TestRunForm& f) { f.receiptLimit = "x"; }),
       "Błędna Wartość : Liczba paragonów -> Oreślona liczba paragonów"},
      {"limit negative", with([](TestRunForm& f) {
         f.limitedReceipts = true;
         f.receiptLimit = "-3";
       }),
       "Błędna Wartość : Liczba paragonów -> Oreślona liczba paragonów"},
      {"fixed not a number", with([](TestRunForm& f) { f.fixedLineCount = "2,5"; }),
       "Błędna Wartość : Liczba pozycji paragonu -> Ustalona"},
      {"fixed zero", with([](TestRunForm& f) { f.fixedLines = true; }),
       "Błędna Wartość : Liczba pozycji paragonu -> Ustalona"},
      {"from", with([](TestRunForm& f) { f.linesFrom = ""; }),
       "Błędna Wartość : Liczba pozycji paragonu -> Od"},
      {"to", with([](TestRunForm& f) { f.linesTo = "4a"; }),
       "Błędna Wartość : Liczba pozycji paragonu -> Do"},
      {"to below from, even with fixed lines", with([](TestRunForm& f) {
         f.fixedLines = true;
         f.fixedLineCount = "3";
         f.linesFrom = "5";
         f.linesTo = "4";
       }),
       "Błędna Wartość : Liczba pozycji paragonu: Do < Od "},
      {"range of only zero", with([](TestRunForm& f) { f.linesTo = "0"; }),
       "Błędna Wartość : Liczba pozycji paragonu -> Do"},
      {"negative range", with([](TestRunForm& f) {
         f.linesFrom = "-4";
         f.linesTo = "-1";
       }),
       "Błędna Wartość : Liczba pozycji paragonu -> Od"},
      {"line discount too high", with([](TestRunForm& f) { f.lineDiscountMax = "100"; }),
       "Błędna Wartość : Rabat do pozycji -> Wartość maks. [%]"},
      {"line discount negative", with([](TestRunForm& f) { f.lineDiscountMax = "-1"; }),
       "Błędna Wartość : Rabat do pozycji -> Wartość maks. [%]"},
      {"line discount not a number", with([](TestRunForm& f) {
         f.randomLineDiscount = false;
         f.lineDiscountMax = "abc";
       }),
       "Błędna Wartość : Rabat do pozycji -> Wartość maks. [%]"},
      {"receipt discount", with([](TestRunForm& f) { f.receiptDiscountMax = "99,999"; }),
       "Błędna Wartość : Rabat do całej transakcji -> Wartość maks. [%]"},
      {"the first fault wins", with([](TestRunForm& f) {
         f.linesTo = "x";
         f.lineDiscountMax = "x";
       }),
       "Błędna Wartość : Liczba pozycji paragonu -> Do"},
  };
  for (const Case& c : cases) {
    TestRunSettings run;
    const TestRunCheck check = CheckTestRunForm(c.form, 2, run);
    EXPECT_EQ(check.result, TestRunCheck::Result::Refused) << c.what;
    EXPECT_EQ(check.message, c.message) << c.what;
    EXPECT_EQ(run.TestRunActive, 0) << c.what;
  }
}

TEST(TestRunCheck, ChosenZeroReceiptsDoesNothingQuietly) {
  TestRunForm form = Form();
  form.limitedReceipts = true;
  TestRunSettings run;
  const TestRunCheck check = CheckTestRunForm(form, 2, run);
  EXPECT_EQ(check.result, TestRunCheck::Result::Nothing);
  EXPECT_TRUE(check.message.empty());
  EXPECT_EQ(run.TestRunActive, 0);
}

TEST(TestRunCheck, ValuesOfTheChoicesNotMadeAreIgnored) {
  TestRunForm form = Form();
  form.limitedReceipts = true;
  form.receiptLimit = " 20 ";
  form.fixedLines = true;
  form.fixedLineCount = "3";
  form.linesFrom = "-7";  // the random range is not used
  form.linesTo = "0";
  form.randomLineDiscount = false;
  form.lineDiscountMax = "150";
  form.receiptDiscountMax = "0.5";
  TestRunSettings run;
  ASSERT_EQ(CheckTestRunForm(form, 2, run).result, TestRunCheck::Result::Start);
  EXPECT_EQ(run.TestReceiptLimit, 20);
  EXPECT_EQ(run.TestFixedLines, 3);
  EXPECT_EQ(run.TestLineDiscountMax, -1.0);
  EXPECT_DOUBLE_EQ(run.TestReceiptDiscountMax, 0.5);
}

TEST(TestRunCheck, DiscountMethodFollowsThePrinterFamily) {
  struct Case {
    std::uint8_t printerType;
    bool method1;
    std::uint8_t method;
  } cases[] = {{2, true, 1},  {2, false, 2}, {1, true, 2},
               {1, false, 2}, {0, true, 1},  {0, false, 1}};
  for (const Case& c : cases) {
    TestRunForm form = Form();
    form.discountMethod1 = c.method1;
    TestRunSettings run;
    ASSERT_EQ(CheckTestRunForm(form, c.printerType, run).result, TestRunCheck::Result::Start);
    EXPECT_EQ(run.TestDiscountMethod, c.method) << int(c.printerType) << c.method1;
  }
}

}  // namespace
}  // namespace ulvo
