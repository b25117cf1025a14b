#include "link/frame.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "link/letter_coding.h"

namespace ulvo {
namespace {

struct ControlName {
  unsigned char byte;
  const char* name;
};

// The names the console form uses; all five characters long.
constexpr std::array<ControlName, 9> kControlNames = {{
    {0x1B, "<ESC>"},
    {0x0D, "<CR >"},
    {0x0A, "<LF >"},
    {0x05, "<ENQ>"},
    {0x07, "<BEL>"},
    {0x10, "<DLE>"},
    {0x18, "<CAN>"},
    {0x0E, "<SO >"},
    {0x14, "<DC4>"},
}};

constexpr std::size_t kTokenLength = 5;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendHexByte(std::string& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out.push_back(kDigits[(value >> 4) & 0x0F]);
  out.push_back(kDigits[value & 0x0F]);
}

}  // namespace

bool FormatFrame(char* buf, std::size_t size, const char* format, ...) {
  if (buf == nullptr || size == 0) return true;
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(buf, size, format, args);
  va_end(args);
  if (length < 0 || static_cast<std::size_t>(length) >= size) {
    buf[0] = '\0';
    return true;
  }
  return false;
}

bool AddChecksum(char* frame, std::size_t size) {
  if (frame == nullptr || size < 2) return true;
  // Only the text itself is scanned: bytes after its NUL may be left over from an earlier frame.
  const std::size_t length = strnlen(frame, size);
  unsigned char check = 0xFF;
  for (std::size_t i = 2; i < length; ++i) {
    if (i + 3 < length && frame[i + 2] == kEsc && frame[i + 3] == kBackslash) {
      if (i + 4 >= size) return true;  // no room for the NUL after ESC '\'
      frame[i + 4] = '\0';
      std::string digits;  // two upper-case digits, leading zero kept
      AppendHexByte(digits, check);
      frame[i] = digits[0];
      frame[i + 1] = digits[1];
      return false;
    }
    check ^= static_cast<unsigned char>(frame[i]);
  }
  return true;
}

std::string FrameToDisplayText(std::string_view bytes, std::uint8_t letterCoding) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char ch : bytes) {
    const auto b = static_cast<unsigned char>(ch);
    const char* name = nullptr;
    for (const auto& control : kControlNames) {
      if (control.byte == b) name = control.name;
    }
    if (name != nullptr) {
      out += name;
    } else if (b == 0xFF) {
      out += "<FFH>";
    } else if (const unsigned char letter = DecodePolishLetter(b, letterCoding); letter != 0) {
      out.push_back(static_cast<char>(letter));
    } else if (b >= 0x20 && b <= 0x7E) {
      out.push_back(ch);
    } else {
      out.push_back('<');
      AppendHexByte(out, b);
      out += "H>";
    }
  }
  return out;
}

std::string DisplayTextToFrame(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\r' || c == '\n') {
      ++pos;
      continue;
    }
    if (c != '<') {
      out.push_back(c);
      ++pos;
      continue;
    }
    // Collect the token; line breaks inside it are only the edit box's wrapping.
    std::string token;
    std::size_t next = pos;
    while (next < text.size() && token.size() < kTokenLength) {
      const char t = text[next++];
      if (t == '\r' || t == '\n') continue;
      token.push_back(t);
      if (t == '>') break;
    }
    bool matched = false;
    for (const auto& control : kControlNames) {
      if (token == control.name) {
        out.push_back(static_cast<char>(control.byte));
        matched = true;
        break;
      }
    }
    if (!matched && token.size() == kTokenLength && token[3] == 'H' && token[4] == '>') {
      const int high = HexValue(token[1]);
      const int low = HexValue(token[2]);
      // A token like "<XYH>" with non-hex middle characters is plain text, like any unknown one.
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>(high * 16 + low));
        matched = true;
      }
    }
    if (matched) {
      pos = next;
    } else {
      out.push_back('<');
      ++pos;
    }
  }
  return out;
}

int JoinLinesWithCR(std::string_view text, std::string& out) {
  out.clear();
  out.reserve(text.size() + 1);
  int lines = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out.push_back('\r');
      ++lines;
      // Only the LF of a CR LF pair goes; any other character after a lone CR is kept.
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      // Widgets hand over LF-only line ends; they end a line just the same.
      out.push_back('\r');
      ++lines;
    } else {
      out.push_back(c);
    }
  }
  if (!text.empty()) {
    out.push_back('\r');
    ++lines;
  }
  return lines;
}

std::optional<std::string> BuildCommandFileFrame(std::string_view line) {
  std::string body;
  body.reserve(line.size());
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::string_view rest = line.substr(pos);
    if (rest.starts_with("<CR>")) {
      body.push_back('\r');
      pos += 4;
    } else if (rest.starts_with("<LF>")) {
      body.push_back('\n');
      pos += 4;
    } else if (rest.front() == '[') {
      body.push_back(0x0E);
      ++pos;
    } else if (rest.front() == ']') {
      body.push_back(0x14);
      ++pos;
    } else {
      body.push_back(rest.front());
      ++pos;
    }
    if (body.size() > kCommandLineMax) return std::nullopt;
  }
  // The check covers the whole line, so a NUL or an ESC '\' inside it cannot cut the frame short.
  unsigned char check = 0xFF;
  for (const char c : body) check ^= static_cast<unsigned char>(c);
  std::string frame;
  frame.reserve(body.size() + 6);
  frame.push_back(kEsc);
  frame.push_back('P');
  frame += body;
  AppendHexByte(frame, check);
  frame.push_back(kEsc);
  frame.push_back(kBackslash);
  return frame;
}

}  // namespace ulvo
