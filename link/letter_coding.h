#pragma once
// The four code pages of the printer's Polish letters.

#include <cstdint>
#include <string>

namespace ulvo {

enum LetterCodingIndex : std::uint8_t { kMazovia = 0, kLatin = 1, kIsoLatin = 2, kWindows = 3 };

// "MAZOVIA", "LATIN", "ISOLATIN", "WINDOWS"; empty for an index above 3.
const char* LetterCodingName(std::uint8_t coding);

// Converts the 18 Polish letters of a Windows-1250 text to the printer's code page, in place.
void EncodePolishLetters(char* text, std::uint8_t coding);
void EncodePolishLetters(std::string& text, std::uint8_t coding);

// The Windows-1250 letter that `byte` stands for in the code page, or 0 when it is none of the 18.
unsigned char DecodePolishLetter(unsigned char byte, std::uint8_t coding);

// The printer command that switches its code page: ESC "P<coding>$1" check ESC '\'.
std::string CodePageFrame(std::uint8_t coding);

}  // namespace ulvo
