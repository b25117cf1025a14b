#include "tools/core/line_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/cp1250.h"
#include "common/file_replace.h"

namespace ulvo {

namespace {

std::string NotALineFile(const std::string& why) {
  return "To nie jest plik z linijkami paragonu: " + why + " Tabela pozostała bez zmian.";
}

}  // namespace

std::size_t Utf8Length(std::string_view utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string CellTooLongMessage(std::size_t row, const char* column) {
  return "Komórka w wierszu " + std::to_string(row) + ", kolumnie \"" + column +
         "\" ma więcej niż " + std::to_string(kLineFileCellChars) + " znaków.";
}

LineFileRead ParseLineFile(std::string_view bytes, std::size_t rowCount) {
  LineFileRead result;
  if (bytes.size() > kLineFileSizeLimit) {
    result.error = NotALineFile("plik jest większy niż 1 MB.");
    return result;
  }
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // a line has begun and is not ended yet
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    if (c < 0x20 || c == 0x7F) {
      result.error = NotALineFile("zawiera znaki sterujące (plik binarny?).");
      return result;
    }
    line.push_back(static_cast<char>(c));
    open = true;
  }
  if (open) lines.push_back(line);
  result.rows.assign(rowCount, LineRow{});
  const std::size_t used = std::min(lines.size(), rowCount * kLineFileColumns);
  for (std::size_t i = 0; i < used; ++i) {
    if (lines[i].size() > kLineFileCellChars) {
      result.rows.clear();
      result.error = NotALineFile("linia " + std::to_string(i + 1) + " ma więcej niż " +
                                  std::to_string(kLineFileCellChars) + " znaków.");
      return result;
    }
    result.rows[i / kLineFileColumns][i % kLineFileColumns] = Cp1250ToUtf8(lines[i]);
  }
  return result;
}

LineFileRead ReadLineFile(const std::string& path, std::size_t rowCount) {
  LineFileRead result;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) {
    result.error = "Nie można odczytać pliku " + path + ".";
    return result;
  }
  if (size > kLineFileSizeLimit) {
    result.error = NotALineFile("plik jest większy niż 1 MB.");
    return result;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = "Nie można odczytać pliku " + path + ".";
    return result;
  }
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(size));
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kLineFileSizeLimit) {  // grew while being read
      result.error = NotALineFile("plik jest większy niż 1 MB.");
      return result;
    }
  }
  if (in.bad()) {
    result.error = "Nie można odczytać pliku " + path + ".";
    return result;
  }
  return ParseLineFile(bytes, rowCount);
}

LineFileText FormatLineFile(const std::vector<LineRow>& rows,
                            const std::array<const char*, kLineFileColumns>& columnNames) {
  LineFileText result;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < kLineFileColumns; ++c) {
      const std::string& cell = rows[r][c];
      if (Utf8Length(cell) > kLineFileCellChars) {
        result.error = CellTooLongMessage(r + 1, columnNames[c]) + " Plik nie został zapisany.";
        result.bytes.clear();
        return result;
      }
      if (cell.find_first_of("\r\n") != std::string::npos) {
        result.error = "Komórka w wierszu " + std::to_string(r + 1) + ", kolumnie \"" +
                       columnNames[c] + "\" zawiera znak końca linii. Plik nie został zapisany.";
        result.bytes.clear();
        return result;
      }
      const Cp1250Text text = Utf8ToCp1250(cell);
      for (char32_t ch : text.unmappable) {
        if (result.unmappable.find(ch) == std::u32string::npos) result.unmappable.push_back(ch);
      }
      result.bytes += text.bytes;
      result.bytes += "\r\n";
    }
  }
  return result;
}

std::string WriteFileReplacing(const std::string& path, std::string_view bytes) {
  if (ReplaceFileContents(path, bytes)) return "Nie można zapisać pliku " + path + ".";
  return {};
}

std::string LineFileOverwriteQuestion(const std::string& path) {
  return "Plik " + path + " już istnieje.Kontynuować? ";
}

std::string LineFileUnmappableQuestion(const std::u32string& characters) {
  std::string list;
  for (char32_t c : characters) {
    if (!list.empty()) list += ", ";
    list += "\"";
    AppendUtf8(list, c);
    list += "\"";
  }
  return "Tabela zawiera znaki, których nie można zapisać w pliku (Windows-1250): " + list +
         ". Zostaną zapisane jako \"?\". Czy zapisać plik?";
}

}  // namespace ulvo
