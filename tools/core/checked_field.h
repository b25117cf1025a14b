#pragma once
// Text fields of the transaction dialogs as they reach a frame: a field that does not fit is
// refused with a message naming it, never cut.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/frame_list.h"

namespace ulvo {

// The number of characters of a UTF-8 text.
std::size_t CharCount(std::string_view utf8);

// The field in the printer's form (FrameList::Text). When it is longer than `maxChars`
// characters the list is refused with a message naming `caption`.
std::string CheckedField(FrameList& list, std::string_view utf8, const char* caption,
                         std::size_t maxChars, bool letterCoded, std::uint8_t letterCoding);

// The "Dodatkowe linie" text box: its lines, each ended by CR, letter-coded, and how many
// there are. Nothing when `withLines` is false. More than `maxBytes` (line breaks counted
// once) refuses the list.
struct JoinedLines {
  std::string text;
  int count = 0;
};
JoinedLines AdditionalLines(FrameList& list, bool withLines, std::string_view utf8,
                            std::size_t maxBytes, std::uint8_t letterCoding);

}  // namespace ulvo
