#pragma once
// Line files (".lin"): the rows of a receipt-lines table, each row as six cells, each cell one
// line of Windows-1250 text ended by CR LF. No header, count or check. The receipt-lines
// table keeps 16 rows in them, the full transaction 9.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ulvo {

constexpr std::size_t kLineFileColumns = 6;
// A larger file is not a line file (the biggest one is 96 short lines).
constexpr std::size_t kLineFileSizeLimit = 1024 * 1024;
// A cell holds what one field of a frame can carry.
constexpr std::size_t kLineFileCellChars = 49;

using LineRow = std::array<std::string, kLineFileColumns>;  // cells in UTF-8

struct LineFileRead {
  std::vector<LineRow> rows;  // exactly the requested number of rows when no error
  std::string error;          // not empty: the file was refused, nothing to load
};

// Reads the bytes of a line file into `rowCount` rows; a file that ends early leaves the
// remaining cells empty, lines past the last row are ignored. CR LF, lone CR and lone LF all
// end a line. Refuses binary bytes, a file over the size limit and cells over 49 characters.
LineFileRead ParseLineFile(std::string_view bytes, std::size_t rowCount);

// Reads and parses the file at `path`.
LineFileRead ReadLineFile(const std::string& path, std::size_t rowCount);

struct LineFileText {
  std::string bytes;          // the file's Windows-1250 bytes
  std::u32string unmappable;  // characters Windows-1250 lacks (written as '?')
  std::string error;          // not empty: nothing may be written
};

// The file text of `rows` (every row, six lines each). A cell over 49 characters or with a
// line break in it refuses the whole file, naming the row and column.
LineFileText FormatLineFile(const std::vector<LineRow>& rows,
                            const std::array<const char*, kLineFileColumns>& columnNames);

// Writes `bytes` to a temporary file beside `path` and renames it into place. Empty on
// success, else the message to show.
std::string WriteFileReplacing(const std::string& path, std::string_view bytes);

// "Plik <path> już istnieje.Kontynuować? "
std::string LineFileOverwriteQuestion(const std::string& path);

// The question asked before characters that Windows-1250 lacks are written as '?'.
std::string LineFileUnmappableQuestion(const std::u32string& characters);

// The refusal of a cell longer than a frame field carries.
std::string CellTooLongMessage(std::size_t row, const char* column);

// Number of characters of a UTF-8 text.
std::size_t Utf8Length(std::string_view utf8);

}  // namespace ulvo
