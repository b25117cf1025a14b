#pragma once
// Small string helpers used by the dialogs and the link.

#include <cstddef>
#include <string>
#include <string_view>

namespace ulvo {

void DotToComma(char* text);
void DotToComma(std::string& text);
void CommaToDot(char* text);
void CommaToDot(std::string& text);

// Upper-cases the ASCII letters in place; returns the length of the text.
int UpperCaseText(char* text);

// True when the text is empty or holds only blanks.
bool IsBlank(const char* text);
bool IsBlank(std::string_view text);

// A 50-byte field buffer as the command dialogs use it: at most 49 bytes of a field reach a frame.
constexpr std::size_t kFieldTextSize = 50;
struct FieldText {
  char text[kFieldTextSize] = {};
  // Copies at most 49 bytes of `value` and NUL-terminates.
  void Assign(std::string_view value);
  const char* c_str() const { return text; }
};

}  // namespace ulvo
