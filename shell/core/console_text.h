#pragma once
// The raw console's conversions between the boxes (UTF-8 text with "<ESC>"-style names) and
// the link's byte buffers, its insert tokens, and the command-list file.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ulvo {

struct ConsoleToken {
  const char* caption;  // the insert button: "ESC", "CR", ...
  const char* token;    // what it inserts: "<ESC>", "<CR >", ...
};
constexpr int kConsoleTokenCount = 9;
const ConsoleToken& ConsoleTokenAt(int index);

// The token of the hex field: "<", its three places (unfilled ones as blanks) and ">".
// `fieldText` is what the field shows, with `blank` marking unfilled places.
std::string HexFieldToken(std::string_view fieldText, char blank = '_');

// The readable UTF-8 form of raw printer bytes.
std::string BytesToConsoleText(std::string_view bytes, std::uint8_t letterCoding);

enum class ConsoleConversion { Ok, TooLong };

// Converts the send box's text to the frame and stores it NUL-terminated in `buffer`.
// TooLong leaves the buffer untouched: a frame is never cut silently.
ConsoleConversion ConsoleTextToBuffer(std::string_view utf8Text, char* buffer, std::size_t size);

// "Ramka jest za długa: ..." for a frame that does not fit into the command buffer.
std::string FrameTooLongMessage(std::size_t bufferSize);

// The command-list file: at most `limit` bytes of it, or nothing when it cannot be read.
std::optional<std::string> ReadCommandFile(const std::filesystem::path& file, std::size_t limit);

// The question before sending only the first `limit` bytes of a longer command file.
std::string CommandFileTooLongQuestion(std::size_t limit);

// "Nie mogę otworzyc pliku" + path + ".".
std::string CannotOpenFileMessage(const std::string& fullPath);

}  // namespace ulvo
