#include "link/letter_coding.h"

#include <array>
#include <cstring>

#include "link/frame.h"

namespace ulvo {
namespace {

// The 18 Polish letters: Windows-1250 source byte, then MAZOVIA, LATIN, ISOLATIN, WINDOWS.
// Order matters: the first match wins.
constexpr std::array<std::array<unsigned char, 5>, 18> kLetters = {{
    {0xB9, 0x86, 0xA5, 0xB1, 0xB9},  // ą
    {0xE6, 0x8D, 0x86, 0xE6, 0xE6},  // ć
    {0xEA, 0x91, 0xA9, 0xEA, 0xEA},  // ę
    {0xB3, 0x92, 0x88, 0xB3, 0xB3},  // ł
    {0xF1, 0xA4, 0xE4, 0xF1, 0xF1},  // ń
    {0xF3, 0xA2, 0xA2, 0xF3, 0xF3},  // ó
    {0x9C, 0x9E, 0x98, 0xB6, 0x9C},  // ś
    {0x9F, 0xA6, 0xAB, 0xBC, 0x9F},  // ź
    {0xBF, 0xA7, 0xBE, 0xBF, 0xBF},  // ż
    {0xA5, 0x8F, 0xA4, 0xA1, 0xA5},  // Ą
    {0xC6, 0x95, 0x8F, 0xC6, 0xC6},  // Ć
    {0xCA, 0x90, 0xA8, 0xCA, 0xCA},  // Ę
    {0xA3, 0x9C, 0x9D, 0xA3, 0xA3},  // Ł
    {0xD1, 0xA5, 0xE3, 0xD1, 0xD1},  // Ń
    {0xD3, 0xA3, 0xE0, 0xD3, 0xD3},  // Ó
    {0x8C, 0x98, 0x97, 0xA6, 0x8C},  // Ś
    {0x8F, 0xA0, 0x8D, 0xAC, 0x8F},  // Ź
    {0xAF, 0xA1, 0xBD, 0xAF, 0xAF},  // Ż
}};

constexpr std::array<const char*, 4> kCodingNames = {"MAZOVIA", "LATIN", "ISOLATIN", "WINDOWS"};

unsigned char EncodeByte(unsigned char byte, std::uint8_t coding) {
  for (const auto& letter : kLetters) {
    if (letter[0] == byte) return letter[1 + coding];
  }
  return byte;
}

}  // namespace

const char* LetterCodingName(std::uint8_t coding) {
  return coding < kCodingNames.size() ? kCodingNames[coding] : "";
}

void EncodePolishLetters(char* text, std::uint8_t coding) {
  if (text == nullptr || coding >= kCodingNames.size()) return;
  for (; *text != '\0'; ++text) {
    *text = static_cast<char>(EncodeByte(static_cast<unsigned char>(*text), coding));
  }
}

void EncodePolishLetters(std::string& text, std::uint8_t coding) {
  if (coding >= kCodingNames.size()) return;
  for (char& c : text) c = static_cast<char>(EncodeByte(static_cast<unsigned char>(c), coding));
}

unsigned char DecodePolishLetter(unsigned char byte, std::uint8_t coding) {
  if (coding >= kCodingNames.size()) return 0;
  for (const auto& letter : kLetters) {
    if (letter[1 + coding] == byte) return letter[0];
  }
  return 0;
}

std::string CodePageFrame(std::uint8_t coding) {
  char buf[32];
  if (FormatFrame(buf, sizeof buf, "%cP%d$1xx%c%c", kEsc, static_cast<int>(coding), kEsc,
                  kBackslash) ||
      AddChecksum(buf, sizeof buf)) {
    return {};
  }
  return buf;
}

}  // namespace ulvo
