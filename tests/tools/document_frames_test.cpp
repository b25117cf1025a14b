// Orders and goods-database reports: single steps, tables and the bus ticket report.

#include "tools/core/document_frames.h"

#include <gtest/gtest.h>

#include "tests/tools/tools_test_util.h"

namespace ulvo {
namespace {

using testing::Bodies;
using Strings = std::vector<std::string>;

constexpr std::uint8_t kWindows = 3;

TEST(OrderFrames, CountCharacterAndLinesComeRightBeforeTheCheck) {
  const OrderExtraLines none{};
  const OrderExtraLines two{true, "pierwsza\ndruga"};
  const OrderExtraLines unchecked{false, "nie idzie"};
  struct Case {
    FrameList list;
    const char* body;
  } cases[] = {
      {BuildOrderStart("Jan Kowalski", none, kWindows), "P0;1;0;0#lJan Kowalski\r"},
      {BuildOrderStart("Jan", two, kWindows), "P0;1;0;2#lJan\rpierwsza\rdruga\r"},
      {BuildOrderLine("Mleko", "2 l", two, kWindows), "P0;1;1;2#lMleko\r2 l\rpierwsza\rdruga\r"},
      {BuildOrderLine("Mleko", "2", unchecked, kWindows), "P0;1;1;0#lMleko\r2\r"},
      {BuildOrderEnd(none, kWindows), "P0;1;2;0#l"},
      {BuildOrderEnd({true, "a\nb\nc"}, kWindows), "P0;1;2;3#la\rb\rc\r"},
  };
  for (const Case& c : cases) EXPECT_EQ(Bodies(c.list), Strings{c.body});
  // The closing frame with no lines: count 0 and at once the check.
  EXPECT_EQ(BuildOrderEnd(none, kWindows).frames[0], "\x1BP0;1;2;0#l88\x1B\\");
}

TEST(OrderFrames, MoreLinesThanOneDigitCountsAreRefused) {
  const FrameList ten = BuildOrderEnd({true, "1\n2\n3\n4\n5\n6\n7\n8\n9\n10"}, kWindows);
  EXPECT_TRUE(ten.frames.empty());
  EXPECT_NE(ten.error.find("najwyżej 9"), std::string::npos);
  EXPECT_EQ(Bodies(BuildOrderEnd({true, "1\n2\n3\n4\n5\n6\n7\n8\n9"}, kWindows))[0].substr(0, 10),
            "P0;1;2;9#l");
}

TEST(DocumentFields, OverFortyNineCharactersAreRefusedByNameNeverCut) {
  const std::string fifty(50, 'x');
  const std::string polish49 = "ż" + std::string(48, 'a');  // 49 characters, 50 bytes
  const OrderExtraLines none{};
  struct Case {
    FrameList list;
    const char* field;  // empty: accepted
  } cases[] = {
      {BuildOrderStart(fifty, none, kWindows), "Zamawiający"},
      {BuildOrderLine(fifty, "1", none, kWindows), "Nazwa artykułu"},
      {BuildOrderLine("Mleko", fifty, none, kWindows), "Ilość"},
      {BuildDatabaseReportItem(fifty, "A", kWindows), "Nazwa towaru"},
      {BuildOrderStart(polish49, none, kWindows), ""},
      {BuildOrderLine(polish49, polish49, none, kWindows), ""},
      {BuildDatabaseReportItem(polish49, "A", kWindows), ""},
  };
  for (const Case& c : cases) {
    if (*c.field == '\0') {
      EXPECT_EQ(c.list.frames.size(), 1u) << c.list.error;
      EXPECT_NE(c.list.frames[0].find("\xBF" + std::string(48, 'a')), std::string::npos);
      continue;
    }
    EXPECT_TRUE(c.list.frames.empty()) << c.field;
    EXPECT_EQ(c.list.error, std::string("Pole \"") + c.field +
                                "\" może mieć najwyżej 49 znaków. Rozkaz nie został wysłany.");
  }
}

TEST(DatabaseFrames, SingleStepsCarryTheirKindDigit) {
  EXPECT_EQ(Bodies(BuildDatabaseReportStart(0)), Strings{"P0;0#b"});
  EXPECT_EQ(Bodies(BuildDatabaseReportStart(1)), Strings{"P0;1#b"});
  EXPECT_EQ(Bodies(BuildDatabaseReportStart(2)), Strings{"P0;2#b"});
  EXPECT_EQ(Bodies(BuildDatabaseReportItem("Mąka", "B", kWindows)), Strings{"P1#bM\xB9ka\rB/"});
  EXPECT_EQ(Bodies(BuildDatabaseReportEnd()), Strings{"P2#b"});
}

TEST(DatabaseFrames, FullCheckStopsAtTheFirstEmptyRow) {
  using Rows = std::vector<std::array<std::string, 2>>;
  Rows nineteenPlus(25, {"T", "A"});
  struct Case {
    int kind;
    Rows rows;
    Strings bodies;
  } cases[] = {
      {0, Rows{{"", ""}, {"Mleko", "A"}}, {"P0;0#b", "P2;0#b"}},
      {1,
       Rows{{"Mleko", "A"}, {"Chleb", "B"}, {"Ser", ""}, {"Masło", "A"}},
       {"P0;1#b", "P1;1#bMleko\rA/", "P1;1#bChleb\rB/", "P2;1#b"}},
      {2, Rows{}, {"P0;2#b", "P2;2#b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Bodies(BuildFullDatabaseCheck(c.kind, c.rows, kWindows)), c.bodies);
  }
  // At most rows 1 to 19.
  EXPECT_EQ(BuildFullDatabaseCheck(0, nineteenPlus, kWindows).frames.size(), 21u);
}

TEST(DatabaseFrames, TicketReportJoinsTheTwoRateLetters) {
  using Rows = std::vector<std::array<std::string, 4>>;
  struct Case {
    Rows rows;
    Strings bodies;
  } cases[] = {
      {Rows{}, {"P0;5#b", "P2;5#b"}},
      {Rows{{"NORMALNY", "PRZEJAZD", "A", "B"}},
       {"P0;5#b", "P1;5#bNORMALNY\rPRZEJAZD\rAB/", "P2;5#b"}},
      {Rows{{"N", "P", "A", ""}, {"U", "P", "B", "C"}, {"X", "", "A", "A"}, {"Y", "P", "A", "A"}},
       {"P0;5#b", "P1;5#bN\rP\rA/", "P1;5#bU\rP\rBC/", "P2;5#b"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Bodies(BuildTicketDatabaseCheck(5, c.rows, kWindows)), c.bodies);
}

TEST(DatabaseFrames, OverlongCellsRefuseTheWholeReport) {
  const FrameList full =
      BuildFullDatabaseCheck(0, {{"Mleko", "A"}, {std::string(50, 'm'), "A"}}, kWindows);
  EXPECT_TRUE(full.frames.empty());
  EXPECT_EQ(full.error.rfind("Komórka w wierszu 2, kolumnie \"Nazwa towaru/usługi\"", 0), 0u);
  const FrameList ticket =
      BuildTicketDatabaseCheck(4, {{"N", "P", "A", std::string(50, 'B')}}, kWindows);
  EXPECT_EQ(ticket.error.rfind("Komórka w wierszu 1, kolumnie \"PTU Dopłata\"", 0), 0u);
  EXPECT_NE(DatabaseReportStoppedMessage(1, 3).find("\"Zakończenie raportu\""), std::string::npos);
}

}  // namespace
}  // namespace ulvo
