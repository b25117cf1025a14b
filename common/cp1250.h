#pragma once
// Windows-1250 <-> Unicode (UTF-8). Files, settings and the letter coding work in
// Windows-1250; the user interface holds Unicode.

#include <string>
#include <string_view>

namespace ulvo {

struct Cp1250Text {
  std::string bytes;          // the Windows-1250 text; unmappable characters are '?'
  std::u32string unmappable;  // every character that the code page cannot hold, in order
  bool Complete() const { return unmappable.empty(); }
};

// Converts UTF-8 text to Windows-1250. Invalid UTF-8 sequences count as unmappable.
Cp1250Text Utf8ToCp1250(std::string_view utf8);

// Converts Windows-1250 bytes to UTF-8 (every byte maps; the five unassigned ones become U+FFFD).
std::string Cp1250ToUtf8(std::string_view bytes);

// Appends one code point to a UTF-8 string.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace ulvo
