#include "shell/core/console_text.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/cp1250.h"
#include "link/frame.h"

namespace ulvo {
namespace {

constexpr ConsoleToken kTokens[kConsoleTokenCount] = {
    {"ESC", "<ESC>"}, {"CR", "<CR >"},  {"LF", "<LF >"}, {"ENQ", "<ENQ>"}, {"BEL", "<BEL>"},
    {"DLE", "<DLE>"}, {"CAN", "<CAN>"}, {"SO", "<SO >"}, {"DC4", "<DC4>"},
};

}  // namespace

const ConsoleToken& ConsoleTokenAt(int index) {
  if (index < 0 || index >= kConsoleTokenCount) index = 0;
  return kTokens[index];
}

std::string HexFieldToken(std::string_view fieldText, char blank) {
  // The field always has three places: two digits and the fixed H.
  std::string places = "  H";
  for (std::size_t i = 0; i < 2 && i < fieldText.size(); ++i)
    places[i] = fieldText[i] == blank ? ' ' : fieldText[i];
  return "<" + places + ">";
}

std::string BytesToConsoleText(std::string_view bytes, std::uint8_t letterCoding) {
  return Cp1250ToUtf8(FrameToDisplayText(bytes, letterCoding));
}

ConsoleConversion ConsoleTextToBuffer(std::string_view utf8Text, char* buffer, std::size_t size) {
  const std::string frame = DisplayTextToFrame(Utf8ToCp1250(utf8Text).bytes);
  if (size == 0 || frame.size() >= size) return ConsoleConversion::TooLong;
  std::memcpy(buffer, frame.data(), frame.size());
  buffer[frame.size()] = '\0';
  return ConsoleConversion::Ok;
}

std::string FrameTooLongMessage(std::size_t bufferSize) {
  return "Ramka jest za długa: mieści się najwyżej " + std::to_string(bufferSize - 1) +
         " bajtów. Nic nie zostało zmienione.";
}

std::optional<std::string> ReadCommandFile(const std::filesystem::path& file, std::size_t limit) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(file.string().c_str(), "rb"),
                                                     &std::fclose);
  if (!in) return std::nullopt;
  std::string text(limit, '\0');
  const std::size_t got = std::fread(text.data(), 1, limit, in.get());
  if (std::ferror(in.get())) return std::nullopt;
  text.resize(got);
  return text;
}

std::string CommandFileTooLongQuestion(std::size_t limit) {
  return "Plik rozkazów jest dłuższy niż " + std::to_string(limit) +
         " bajtów. Wysłać tylko wiersze z jego pierwszych " + std::to_string(limit) + " bajtów?";
}

std::string CannotOpenFileMessage(const std::string& fullPath) {
  return "Nie mogę otworzyc pliku" + fullPath + ".";
}

}  // namespace ulvo
