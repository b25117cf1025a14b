#include "readout/core/column_layout.h"

namespace ulvo {

namespace {

const std::string kBlockEnd = std::string(42, '-') + "  ";

struct Cursor {
  int page = 0, column = 0, row = 0;
  int columns = 1, rows = 1;
  bool pageUsed = false;

  void NextColumn() {
    row = 0;
    if (++column >= columns) {
      column = 0;
      ++page;
      pageUsed = false;
    }
  }
};

}  // namespace

ColumnLayout LayOutColumns(const std::vector<std::string>& lines, int columnsPerPage,
                           int linesPerColumn) {
  ColumnLayout layout;
  Cursor at;
  at.columns = columnsPerPage < 1 ? 1 : columnsPerPage;
  at.rows = linesPerColumn < 1 ? 1 : linesPerColumn;
  std::vector<std::string> block;

  auto place = [&] {
    if (block.empty()) return;
    const int size = static_cast<int>(block.size());
    if (at.row > 0 && at.row + size > at.rows) at.NextColumn();
    for (const std::string& text : block) {
      if (at.row >= at.rows) at.NextColumn();
      layout.lines.push_back({at.page, at.column, at.row++, text});
      at.pageUsed = true;
    }
    block.clear();
  };

  std::size_t skip = 0;
  for (const std::string& line : lines) {
    if (skip > 0) {
      --skip;
      continue;
    }
    if (line == "\t\t\t") break;
    if (line == "\t\t") {
      place();
      if (at.row > 0) at.NextColumn();
      skip = 4;
      continue;
    }
    block.push_back(line);
    if (line == kBlockEnd || static_cast<int>(block.size()) >= kBlockMaxLines) place();
  }
  place();
  layout.pages = at.pageUsed ? at.page + 1 : at.page;
  return layout;
}

}  // namespace ulvo
