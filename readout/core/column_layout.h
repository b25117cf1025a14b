#pragma once
// Newspaper columns for printing a report file: which line goes to which page, column and
// row. Pure arithmetic in character units; the printer dialog only paints the result.

#include <string>
#include <vector>

namespace ulvo {

constexpr int kBlockMaxLines = 64;

struct PlacedLine {
  int page = 0, column = 0, row = 0;  // all from 0
  std::string text;
};

struct ColumnLayout {
  int pages = 0;
  std::vector<PlacedLine> lines;
};

// Lays the report's lines out. Blocks (at most 64 lines) end after a separator of 42 '-' and
// two blanks; a line of two TABs ends a block, the four lines after it are skipped and the next
// block starts in a new column; a line of three TABs ends the document. A block that does not
// fit in the rest of a column starts in the next one.
ColumnLayout LayOutColumns(const std::vector<std::string>& lines, int columnsPerPage,
                           int linesPerColumn);

}  // namespace ulvo
