#pragma once
// The printer's input buffer readout ($0), the error table print ($4) and the display and
// drawer control ($d).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_list.h"

namespace ulvo {

// "P$4" with its check: the printer prints its own error table.
FrameList BuildPrintErrorTable();

// "P$0" with its check.
FrameList BuildInputBufferQuery();

// The buffer text of a $0 reply in lines of at most 51 characters (Windows-1250 bytes): the
// text runs from the fifth byte to the ESC before the last backslash; a line also ends after
// a LF, and CR and LF at its end are dropped; a console token ("<05H>") is never cut, the
// line ends before it instead. A reply too short to hold text gives no lines.
std::vector<std::string> SplitInputBufferReply(std::string_view reply);

inline constexpr int kBufferLineLength = 51;

// The five operations of the display and drawer control, in the order of its list.
inline constexpr int kDisplayOperationCount = 5;
const char* DisplayOperationCaption(int index);
int DisplayOperationNumber(int index);      // 1, 2, 5, 3, 4
bool DisplayOperationTakesText(int index);  // the two text operations

// "P<number>$d" 0xFF, at most 250 characters of text (letter-coded), no check. The text goes
// out also for the operations that show none, as the printer has always received it.
FrameList BuildDisplayControl(int index, const std::string& text, std::uint8_t letterCoding);

}  // namespace ulvo
