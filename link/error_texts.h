#pragma once
// The printer's error numbers and their Polish texts.

#include <string>
#include <string_view>

namespace ulvo {

// The text of an error code (UTF-8); empty for codes without a text and outside 0..161.
std::string_view ErrorText(int code);

// "Wystąpił bład nr: <code>: <text>", with 255 shown as 0.
std::string PrinterErrorMessage(int code);

}  // namespace ulvo
