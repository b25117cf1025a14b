#pragma once
// What a command dialog hands to the link: the finished frames of one command, or the reason
// why nothing may be sent. Builders fill it from a dialog's plain field values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ulvo {

struct FrameList {
  std::vector<std::string> frames;  // finished frames (check placed), in sending order
  std::string error;                // not empty: send nothing and show this (UTF-8)
  std::u32string unmappable;        // characters the code page cannot carry (sent as '?')

  bool Refused() const { return !error.empty(); }

  // Formats one frame (printf template with ESC ... ESC '\') and, when `checksum`, places the
  // check. A frame that does not fit the command buffer refuses the whole command.
  void Add(bool checksum, const char* format, ...) __attribute__((format(printf, 3, 4)));

  // A text field as it reaches a frame: Windows-1250, at most 49 characters, and, when
  // `letterCoded`, with its Polish letters in the printer's code page. Characters the code
  // page lacks are collected in `unmappable`; control characters refuse the command, since
  // they would break the frame apart.
  std::string Field(std::string_view utf8, bool letterCoded, std::uint8_t letterCoding);

  // Like Field but without the 49-character cut (for the few fields with a limit of their own).
  std::string Text(std::string_view utf8, std::size_t maxChars, bool letterCoded,
                   std::uint8_t letterCoding);
};

// The question asked before a text with characters the printer cannot print is sent.
std::string UnmappableQuestion(const std::u32string& characters);

}  // namespace ulvo
