#include "common/text_helpers.h"

#include <algorithm>
#include <cstring>

namespace ulvo {

void DotToComma(char* text) {
  for (; text != nullptr && *text != '\0'; ++text) {
    if (*text == '.') *text = ',';
  }
}

void DotToComma(std::string& text) {
  std::replace(text.begin(), text.end(), '.', ',');
}

void CommaToDot(char* text) {
  for (; text != nullptr && *text != '\0'; ++text) {
    if (*text == ',') *text = '.';
  }
}

void CommaToDot(std::string& text) {
  std::replace(text.begin(), text.end(), ',', '.');
}

int UpperCaseText(char* text) {
  if (text == nullptr) return 0;
  int length = 0;
  for (; text[length] != '\0'; ++length) {
    // ASCII only: the Polish letters are bytes of the code page and stay as typed.
    if (text[length] >= 'a' && text[length] <= 'z')
      text[length] = static_cast<char>(text[length] - 'a' + 'A');
  }
  return length;
}

bool IsBlank(const char* text) {
  return text == nullptr || IsBlank(std::string_view(text));
}

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
}

void FieldText::Assign(std::string_view value) {
  const std::size_t count = std::min(value.size(), kFieldTextSize - 1);
  std::memcpy(text, value.data(), count);
  text[count] = '\0';
}

}  // namespace ulvo
