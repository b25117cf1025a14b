// The receipt-lines table and the full transaction: discount notation, frames, totals.

#include "tools/core/line_tables.h"

#include <gtest/gtest.h>

#include "common/money.h"
#include "link/letter_coding.h"
#include "tests/tools/tools_test_util.h"

namespace ulvo {
namespace {

using testing::Bodies;
using testing::Body;

constexpr std::uint8_t kWindows = 3;  // letter coding that keeps Windows-1250 as it is

TEST(DiscountNotation, SignAndPercentGiveTheKindAndAreBlankedOut) {
  struct Case {
    const char* cell;
    int kind;
    const char* sent;
  } cases[] = {
      {"10", 1, "10"},
      {"10%", 2, "10 "},
      {"-10", 3, " 10"},
      {"-2.5%", 4, " 2.5 "},
      {"%", 0, " "},
      {"", 0, ""},
      {"  +5", 1, "   5"},
      {"  -1,5 %", 4, "   1,5  "},
      {"-", 0, " "},
      {"abc", 0, " bc"},
      {"5%%", 2, "5  "},
      {"-%", 0, "  "},
      // The cell is Windows-1250: a leading Polish letter is one character, one space.
      {"\xF3"
       "10",
       1, " 10"},  // "ó10"
      {"\xEA"
       "5%",
       2, " 5 "},  // "ę5%"
      {"\xE6\xF3"
       "1",
       1,
       " \xF3"
       "1"},                 // "ćó1": only the first letter goes
      {"  \xBF", 0, "   "},  // "ż" alone: no digit
  };
  for (const Case& c : cases) {
    const DiscountNotation n = ReadDiscountNotation(c.cell);
    EXPECT_EQ(n.kind, c.kind) << '"' << c.cell << '"';
    EXPECT_EQ(n.text, c.sent) << '"' << c.cell << '"';
  }
}

std::vector<LineRow> Table(std::initializer_list<LineRow> rows) {
  std::vector<LineRow> table(rows);
  table.resize(kReceiptTableRows);
  return table;
}

TEST(ReceiptTable, SendsRowsUpToTheFirstWithoutNameOrQuantity) {
  struct Case {
    std::vector<LineRow> rows;
    int first;
    std::vector<std::string> bodies;
  } cases[] = {
      {Table({{"Chleb", "1", "A", "3.50", "3.50", ""},
              {"", "1", "A", "1.00", "1.00", ""},
              {"Mleko", "1", "A", "1.00", "1.00", ""}}),
       1,
       {"P1$lChleb\r1\rA/3.50/3.50/"}},
      {Table({{"Chleb", "1", "A", "3.50", "3.50", "10%"},
              {"Masło", "2", "B", "4.00", "8.00", "-0.50"},
              {"Mleko", "  ", "A", "1.00", "1.00", ""}}),
       7,
       {"P7;2$lChleb\r1\rA/3.50/3.50/10 /", "P8;3$lMas\xB3o\r2\rB/4.00/8.00/ 0.50/"}},
      {Table({{"   ", "1", "A", "1", "1", ""}}), 1, {}},
  };
  for (const Case& c : cases) {
    const ReceiptTablePlan plan = PlanReceiptTable(c.rows, c.first, kWindows);
    ASSERT_TRUE(plan.error.empty()) << plan.error;
    std::vector<std::string> bodies;
    for (const ReceiptTableLine& line : plan.lines) bodies.push_back(Body(line.frame));
    EXPECT_EQ(bodies, c.bodies);
  }
}

TEST(ReceiptTable, AllSixteenRowsAtMostAndFramesCarryTheirCheck) {
  std::vector<LineRow> rows(20, LineRow{"T", "1", "A", "0.01", "0.01", ""});
  const ReceiptTablePlan plan = PlanReceiptTable(rows, 1, kWindows);
  ASSERT_EQ(plan.lines.size(), kReceiptTableRows);
  EXPECT_EQ(plan.lines.back().row, 16u);
  EXPECT_EQ(plan.lines.front().frame, "\x1BP1$lT\r1\rA/0.01/0.01/8D\x1B\\");
}

TEST(ReceiptTable, ACellOverFortyNineCharactersRefusesTheWholeTable) {
  std::vector<LineRow> rows = Table(
      {{"Chleb", "1", "A", "1", "1", ""}, {"Mleko", "1", "A", "1", "1", std::string(50, '1')}});
  const ReceiptTablePlan plan = PlanReceiptTable(rows, 1, kWindows);
  EXPECT_TRUE(plan.lines.empty());
  EXPECT_EQ(plan.error,
            "Komórka w wierszu 2, kolumnie \"Rabat\" ma więcej niż 49 znaków. Nic nie zostało "
            "wysłane.");
  // 49 characters, Polish letters counted as one each, still go.
  rows[1][5].clear();
  rows[1][0] = "ż" + std::string(48, 'a');
  EXPECT_EQ(PlanReceiptTable(rows, 1, kWindows).lines.size(), 2u);
}

TEST(ReceiptTable, NamesAreLetterCodedOtherCellsGoAsTyped) {
  const auto rows = Table({{"Łódź", "1,5", "A", "2,00", "3.00", ""}});
  const ReceiptTablePlan plan = PlanReceiptTable(rows, 1, 0 /* MAZOVIA */);
  ASSERT_EQ(plan.lines.size(), 1u);
  std::string name = "\xA3\xF3\x64\x9F";  // "Łódź" in Windows-1250
  EncodePolishLetters(name, 0);
  EXPECT_EQ(Body(plan.lines[0].frame), "P1$l" + name + "\r1,5\rA/2,00/3.00/");
}

TEST(ReceiptTable, LineValuesFollowTheDiscountKind) {
  struct Case {
    int printerType;
    const char* gross;
    const char* discount;
    double value;
    const char* error;
  } cases[] = {
      {2, "12.50", "10%", ComputeAmount(2, 2, 10, 12.50), ""},
      {1, "0.15", "10%", 0.13, ""},
      {2, "0.15", "10%", 0.14, ""},
      {2, "0,15", "10%", 0.14, ""},
      {2, "4.00", "-0.50", 4.50, ""},
      {2, "4.00", "0.50", 3.50, ""},
      {2, "4.00", "", 4.00, ""},
      {2, "4.00", "-10%", 4.40, ""},
      {2, "cztery", "", 0, "Błędna Wartość Brutto"},
      {2, "4.00", "-x5", 0, "Błędna Wartość Rabatu"},
      {2, "4.00", "ó0.50", 3.50, ""},
      {2, "4.00", "ę5%", 3.80, ""},
  };
  for (const Case& c : cases) {
    const auto rows = Table({{"T", "1", "A", "1", c.gross, c.discount}});
    const ReceiptTablePlan plan = PlanReceiptTable(rows, 1, kWindows);
    ASSERT_EQ(plan.lines.size(), 1u);
    const LineValue v = ReceiptTableLineValue(c.printerType, plan.lines[0]);
    EXPECT_EQ(v.error, c.error) << c.gross << " " << c.discount;
    EXPECT_NEAR(v.value, c.value, 1e-9) << c.gross << " " << c.discount;
  }
}

TEST(ReceiptTable, StoppedSendsSayHowManyLinesWentOut) {
  const std::string failed = ReceiptTableStoppedMessage(2, 5, true);
  EXPECT_NE(failed.find("Wysłano linijek: 2 z 5."), std::string::npos);
  EXPECT_NE(failed.find("\"Anulowanie transakcji\""), std::string::npos);
  EXPECT_NE(ReceiptTableStoppedMessage(0, 3, false).find("0 z 3"), std::string::npos);
}

// ---- full transaction ----

std::vector<LineRow> Lines(std::initializer_list<LineRow> rows) {
  std::vector<LineRow> table(rows);
  table.resize(kFullTransactionRows);
  return table;
}

FullTransaction Transaction(std::vector<LineRow> rows) {
  FullTransaction t;
  t.rows = std::move(rows);
  t.payments = {{"20.00", ""}, {"", "Visa"}, {"", ""}, {"", ""}};
  t.cashier = "Anna";
  return t;
}

TEST(FullTransaction, AnEmptyRowEndsTheLinesSentButNotTheTotal) {
  FullTransaction t = Transaction(Lines({{"Chleb", "2", "A", "3.50", "", ""},
                                         {"Mleko", "1,5", "B", "2.00", "", ""},
                                         {"", "", "", "", "", ""},
                                         {"Ser", "1", "A", "4.00", "", ""}}));
  const FullTransactionTally tally = AddUpFullTransaction(t.rows);
  EXPECT_TRUE(tally.messages.empty());
  EXPECT_EQ(tally.total, "14.00");  // rows 1, 2 and 4
  const FrameList list = BuildFullTransactionFrames(t, tally, 2, kWindows);
  EXPECT_EQ(Bodies(list), (std::vector<std::string>{
                              "P0$h",
                              "P1$lChleb\r2\rA/3.50/7.00/",
                              "P2$lMleko\r1,5\rB/2.00/3.00/",
                              "P0;0;0;1;1;0;0;0;0;0;0$xAnna\r\r\r\r\r\rVisa\r\r\r"
                              "14.00/0.00/20.00/0.00/0.00/0.00/0.00/0.00/0.00/",
                          }));
}

TEST(FullTransaction, AltaClosesWithTheShortConfirmationAndOnlyCash) {
  FullTransaction t = Transaction(Lines({{"Chleb", "1", "A", "2.00", "", ""}}));
  t.payments = {{"", ""}};
  t.discount = "5";
  t.extraLines = "Dziękujemy\nZapraszamy";
  const FullTransactionTally tally = AddUpFullTransaction(t.rows);
  const FrameList list = BuildFullTransactionFrames(t, tally, 0, kWindows);
  ASSERT_EQ(list.frames.size(), 3u);
  EXPECT_EQ(Body(list.frames[2]), "P1;0;2;0;0;1$eAnna\rDzi\xEAkujemy\rZapraszamy\r0.00/2.00/5/");
}

TEST(FullTransaction, ExtraLinesArePaddedToFiveAndCounted) {
  FullTransaction t = Transaction(Lines({{"Chleb", "1", "A", "2.00", "", ""}}));
  t.extraLines = "L1\nL2";
  const FrameList list = BuildFullTransactionFrames(t, AddUpFullTransaction(t.rows), 1, kWindows);
  ASSERT_EQ(list.frames.size(), 3u);
  EXPECT_EQ(Body(list.frames[2]).substr(0, 38), "P2;0;0;1;1;0;0;0;0;0;0$xAnna\rL1\rL2\r\r\r\r");
  EXPECT_EQ(Body(list.frames[2]).substr(38, 6), "Visa\r\r");

  t.extraLines = std::string(251, 'a');
  const FrameList tooLong =
      BuildFullTransactionFrames(t, AddUpFullTransaction(t.rows), 1, kWindows);
  EXPECT_TRUE(tooLong.Refused());
  EXPECT_TRUE(tooLong.frames.empty());
  EXPECT_NE(tooLong.error.find("250"), std::string::npos);
}

TEST(FullTransaction, CommaAndPointQuantitiesCountTheSameAndGoAsTyped) {
  const auto rows = Lines({{"A1", "1,5", "A", "2.10", "", ""}, {"A2", "1.5", "A", "2,10", "", ""}});
  const FullTransactionTally tally = AddUpFullTransaction(rows);
  EXPECT_EQ(tally.value[0], tally.value[1]);
  EXPECT_EQ(tally.total, "6.30");
  const FrameList list = BuildFullTransactionFrames(Transaction(rows), tally, 2, kWindows);
  ASSERT_GE(list.frames.size(), 3u);
  EXPECT_EQ(Body(list.frames[1]), "P1$lA1\r1,5\rA/2.10/3.15/");
  EXPECT_EQ(Body(list.frames[2]), "P2$lA2\r1.5\rA/2.10/3.15/");
}

TEST(FullTransaction, CellsThatAreNotNumbersAreNamedByRowAndCountAsZero) {
  const auto rows = Lines({{"A", "dwa", "A", "2.00", "", ""},
                           {"B", "1", "A", "x", "", ""},
                           {"C", "  ", "A", "", "", ""}});
  const FullTransactionTally tally = AddUpFullTransaction(rows);
  EXPECT_EQ(tally.messages, (std::vector<std::string>{
                                "Niewłaściwy format danej <Ilosć> w wierszu 1.",
                                "Niewłaściwy format danej <Cena> w wierszu 2.",
                            }));
  EXPECT_EQ(tally.total, "0.00");
  EXPECT_STREQ(kZeroSumMessage, " ZEROWA SUMA PARAGONU !!! ");
  EXPECT_EQ(FullTransactionQuestion("12.00", "0.00"),
            "Suma transakcji: 12.00. Rabat procentowy: 0.00 %. Czy wysłać do drukarki[T/N] ?");
}

TEST(FullTransaction, OverlongCellsAndFieldsRefuseBeforeAnythingGoesOut) {
  struct Case {
    int column;
    const char* field;
    const char* expected;
  } cases[] = {
      {0, nullptr, "Komórka w wierszu 1, kolumnie \"Nazwa towaru/usługi\""},
      {2, nullptr, "Komórka w wierszu 1, kolumnie \"PTU\""},
      {-1, "cashier", "Pole \"Kasjer\""},
      {-1, "payment", "Płatność \"Karta\""},
  };
  for (const Case& c : cases) {
    FullTransaction t = Transaction(Lines({{"Chleb", "1", "A", "2.00", "", ""}}));
    const std::string longText(50, '7');
    if (c.column >= 0) t.rows[0][c.column] = longText;
    if (c.field && std::string(c.field) == "cashier") t.cashier = longText;
    if (c.field && std::string(c.field) == "payment") t.payments[1].name = longText;
    const FrameList list = BuildFullTransactionFrames(t, AddUpFullTransaction(t.rows), 2, kWindows);
    EXPECT_TRUE(list.frames.empty()) << c.expected;
    EXPECT_EQ(list.error.rfind(c.expected, 0), 0u) << list.error;
  }
  EXPECT_NE(FullTransactionStoppedMessage(2, 5).find("\"Anulowanie transakcji\""),
            std::string::npos);
}

}  // namespace
}  // namespace ulvo
