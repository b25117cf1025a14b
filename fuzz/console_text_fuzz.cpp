// The console: its text to frame bytes ("<ESC>", "<1BH>" tokens), and bytes back to text.

#include <cstdint>
#include <string_view>

#include "link/frame.h"
#include "shell/core/console_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ulvo::DisplayTextToFrame(text);
  char buffer[ulvo::kTxBufSize];
  ulvo::ConsoleTextToBuffer(text, buffer, sizeof buffer);
  const std::uint8_t coding = size > 0 ? data[0] % 8 : 0;
  ulvo::FrameToDisplayText(text, coding);
  ulvo::BytesToConsoleText(text, coding);
  ulvo::HexFieldToken(text);
  return 0;
}
