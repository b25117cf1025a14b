#include "link/frame_list.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "common/cp1250.h"
#include "common/text_helpers.h"
#include "link/frame.h"
#include "link/letter_coding.h"

namespace ulvo {

void FrameList::Add(bool checksum, const char* format, ...) {
  if (Refused()) return;
  char buffer[kTxBufSize];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) {
    frames.clear();
    error = "Rozkaz nie mieści się w buforze nadawczym i nie został wysłany.";
    return;
  }
  if (checksum && AddChecksum(buffer, sizeof buffer)) {
    frames.clear();
    error = "Nie można obliczyć sumy kontrolnej rozkazu; rozkaz nie został wysłany.";
    return;
  }
  frames.emplace_back(buffer);
}

std::string FrameList::Field(std::string_view utf8, bool letterCoded, std::uint8_t letterCoding) {
  return Text(utf8, kFieldTextSize - 1, letterCoded, letterCoding);
}

std::string FrameList::Text(std::string_view utf8, std::size_t maxChars, bool letterCoded,
                            std::uint8_t letterCoding) {
  // Character by character, so that only the characters that really go out are asked about.
  std::string bytes;
  std::size_t pos = 0;
  while (pos < utf8.size() && bytes.size() < maxChars) {
    const unsigned char lead = static_cast<unsigned char>(utf8[pos]);
    std::size_t len = 1;
    if (lead >= 0xF0) {
      len = 4;
    } else if (lead >= 0xE0) {
      len = 3;
    } else if (lead >= 0xC0) {
      len = 2;
    }
    len = std::min(len, utf8.size() - pos);
    const Cp1250Text one = Utf8ToCp1250(utf8.substr(pos, len));
    pos += len;
    bytes += one.bytes;
    for (char32_t c : one.unmappable) {
      if (unmappable.find(c) == std::u32string::npos) unmappable.push_back(c);
    }
  }
  if (bytes.size() > maxChars) bytes.resize(maxChars);
  for (unsigned char c : bytes) {
    if (c < 0x20 || c == 0x7F) {
      if (!Refused()) {
        frames.clear();
        error =
            "Pole zawiera znak sterujący, którego nie można wysłać do drukarki. "
            "Rozkaz nie został wysłany.";
      }
      break;
    }
  }
  if (letterCoded) EncodePolishLetters(bytes, letterCoding);
  return bytes;
}

std::string UnmappableQuestion(const std::u32string& characters) {
  std::string list;
  for (char32_t c : characters) {
    if (!list.empty()) list += ", ";
    list += "\"";
    AppendUtf8(list, c);
    list += "\"";
  }
  return "Tekst zawiera znaki, których drukarka nie może wydrukować: " + list +
         ". Zostaną wysłane jako \"?\". Czy wysłać rozkaz?";
}

}  // namespace ulvo
