#include "tools/core/checked_field.h"

#include <cstdio>

#include "link/frame.h"

namespace ulvo {

namespace {

void RefuseTooLong(FrameList& list, const char* caption, std::size_t maxChars) {
  if (list.Refused()) return;
  char text[256];
  std::snprintf(text, sizeof text,
                "Pole \"%s\" może mieć najwyżej %zu znaków. Rozkaz nie został wysłany.", caption,
                maxChars);
  list.frames.clear();
  list.error = text;
}

}  // namespace

std::size_t CharCount(std::string_view utf8) {
  std::size_t count = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++count;
  }
  return count;
}

std::string CheckedField(FrameList& list, std::string_view utf8, const char* caption,
                         std::size_t maxChars, bool letterCoded, std::uint8_t letterCoding) {
  if (CharCount(utf8) > maxChars) {
    RefuseTooLong(list, caption, maxChars);
    return {};
  }
  return list.Text(utf8, maxChars, letterCoded, letterCoding);
}

JoinedLines AdditionalLines(FrameList& list, bool withLines, std::string_view utf8,
                            std::size_t maxBytes, std::uint8_t letterCoding) {
  JoinedLines result;
  if (!withLines) return result;
  std::string joined;
  result.count = JoinLinesWithCR(utf8, joined);
  std::size_t start = 0;
  while (start < joined.size()) {
    const std::size_t end = joined.find('\r', start);
    const std::string_view line = std::string_view(joined).substr(start, end - start);
    result.text += list.Text(line, line.size(), true, letterCoding);
    result.text.push_back('\r');
    start = end + 1;
  }
  if (!result.text.empty() && result.text.size() - 1 > maxBytes) {
    RefuseTooLong(list, "Dodatkowe linie", maxBytes);
    return {};
  }
  return result;
}

}  // namespace ulvo
