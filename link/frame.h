#pragma once
// Command frames: template expansion, the XOR check, the readable console form, the
// command-file line form and multi-line text fields.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ulvo {

constexpr char kEsc = 0x1B;
constexpr char kBackslash = 0x5C;
constexpr std::size_t kTxBufSize = 5120;

// printf into `buf` (templates start with "%c" for ESC and end with "%c%c" for ESC '\').
// Returns true when the frame did not fit (the buffer then holds an empty string).
bool FormatFrame(char* buf, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Writes the two-digit check over the placeholder before the closing ESC '\' and ends the
// string after it. Returns true (and leaves the buffer untouched) when the frame has no
// closing ESC '\' within `size` bytes, so there is nowhere to put the check.
bool AddChecksum(char* frame, std::size_t size = kTxBufSize);

// The readable form of raw bytes: control names ("<ESC>", "<CR >" ...), "<XXH>" for other
// bytes, and the 18 Polish letters of `letterCoding` shown as Windows-1250 letters.
// The result is Windows-1250 text.
std::string FrameToDisplayText(std::string_view bytes, std::uint8_t letterCoding);

// The reverse: Windows-1250 console text to raw bytes (line breaks skipped, names and
// "<XXH>" tokens turned into their bytes, everything else unchanged).
std::string DisplayTextToFrame(std::string_view text);

// Copies a multi-line text (CR LF line ends) as CR-separated lines with a final CR;
// returns the number of lines (0 for an empty text). A lone CR or LF ends a line too.
int JoinLinesWithCR(std::string_view text, std::string& out);

// The longest line a command file may hold once its tokens are replaced.
constexpr std::size_t kCommandLineMax = 249;

// Builds the frame of one command-file line: ESC 'P', the line with "<CR>", "<LF>", '[' and
// ']' replaced, the check, ESC '\'. Empty when the line is longer than kCommandLineMax.
std::optional<std::string> BuildCommandFileFrame(std::string_view line);

}  // namespace ulvo
