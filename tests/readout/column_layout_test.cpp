// Newspaper columns: blocks kept in one column, control lines, page count.

#include "readout/core/column_layout.h"

#include <gtest/gtest.h>

namespace ulvo {
namespace {

const std::string kBlockEnd = std::string(42, '-') + "  ";

std::vector<std::string> Block(const std::string& name, int lines) {
  std::vector<std::string> out;
  for (int i = 0; i + 1 < lines; ++i) out.push_back(name + std::to_string(i));
  out.push_back(kBlockEnd);
  return out;
}

TEST(ColumnLayout, ThreePagesOfBlocksKeptWhole) {
  // Two columns of 10 rows a page; blocks of 6 lines: one block per column.
  std::vector<std::string> lines;
  for (int b = 0; b < 6; ++b) {
    const auto block = Block("b" + std::to_string(b) + "-", 6);
    lines.insert(lines.end(), block.begin(), block.end());
  }
  lines.push_back("\t\t\t");
  lines.push_back("after the end");
  const ColumnLayout layout = LayOutColumns(lines, 2, 10);
  EXPECT_EQ(layout.pages, 3);
  ASSERT_EQ(layout.lines.size(), 36u);
  struct Where {
    std::size_t index;
    int page, column, row;
  } where[] = {{0, 0, 0, 0}, {5, 0, 0, 5}, {6, 0, 1, 0}, {12, 1, 0, 0}, {35, 2, 1, 5}};
  for (const Where& w : where) {
    const PlacedLine& l = layout.lines[w.index];
    EXPECT_EQ(l.page, w.page) << w.index;
    EXPECT_EQ(l.column, w.column) << w.index;
    EXPECT_EQ(l.row, w.row) << w.index;
  }
}

TEST(ColumnLayout, TwoTabsStartANewColumnAndSkipTheirFourFellows) {
  std::vector<std::string> lines = {"a",    "b",    "\t\t", "\t\t",  "\t\t",
                                    "\t\t", "\t\t", "c",    "\t\t\t"};
  const ColumnLayout layout = LayOutColumns(lines, 3, 20);
  ASSERT_EQ(layout.lines.size(), 3u);
  EXPECT_EQ(layout.lines[2].text, "c");
  EXPECT_EQ(layout.lines[2].column, 1);
  EXPECT_EQ(layout.lines[2].row, 0);
  EXPECT_EQ(layout.pages, 1);
}

TEST(ColumnLayout, LongBlocksAreCutAt64LinesAndFlowOn) {
  std::vector<std::string> lines(100, "x");
  const ColumnLayout layout = LayOutColumns(lines, 1, 50);
  // 64 lines: 50 in the first column, 14 on the second page; the other 36 follow them.
  EXPECT_EQ(layout.pages, 2);
  EXPECT_EQ(layout.lines[64].page, 1);
  EXPECT_EQ(layout.lines[64].row, 14);
}

TEST(ColumnLayout, EmptyFileHasNoPages) {
  EXPECT_EQ(LayOutColumns({"\t\t\t"}, 2, 10).pages, 0);
}

}  // namespace
}  // namespace ulvo
