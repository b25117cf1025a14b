#include "shell/readouts/core/input_buffer.h"

#include "link/frame.h"

namespace ulvo {

namespace {

constexpr const char* kOperationCaptions[kDisplayOperationCount] = {
    "Otworzenie szuflady", "Tekst na obu wyświetlaczach", "Tekst na wyświetlaczu operatora",
    "Ustaw wyświetlacz w tryb zegara", "Ustaw wyświetlacz w tryb kasowy"};
constexpr int kOperationNumbers[kDisplayOperationCount] = {1, 2, 5, 3, 4};

bool ValidIndex(int index) {
  return index >= 0 && index < kDisplayOperationCount;
}

}  // namespace

FrameList BuildPrintErrorTable() {
  FrameList list;
  list.Add(true, "%cP$4cc%c%c", kEsc, kEsc, kBackslash);
  return list;
}

FrameList BuildInputBufferQuery() {
  FrameList list;
  list.Add(true, "%cP$0xx%c%c", kEsc, kEsc, kBackslash);
  return list;
}

std::vector<std::string> SplitInputBufferReply(std::string_view reply) {
  std::vector<std::string> lines;
  std::size_t end = reply.size();
  const std::size_t backslash = reply.rfind('\\');
  if (backslash != std::string_view::npos) {
    end = backslash;
    if (end > 0 && reply[end - 1] == kEsc) --end;
  }
  constexpr std::size_t kTextStart = 4;
  if (end <= kTextStart) return lines;
  std::string_view text = reply.substr(kTextStart, end - kTextStart);
  std::string line;
  auto finish = [&] {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    lines.push_back(line);
    line.clear();
  };
  // The printer shows the control bytes it holds as console tokens ("<05H>", "<ESC>"); a line
  // full at 51 characters ends before a token it would cut, which goes on the next line.
  constexpr std::size_t kLongestToken = 6;  // "<XOFF>"
  std::size_t tokenAt = std::string::npos;  // where a token that is not closed yet starts
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '<') {
      const std::size_t close = text.find('>', i);
      if (close != std::string_view::npos && close - i < kLongestToken) tokenAt = line.size();
    }
    line.push_back(c);
    if (c == '>') tokenAt = std::string::npos;
    if (c == '\n') {
      finish();
      tokenAt = std::string::npos;
    } else if (line.size() == static_cast<std::size_t>(kBufferLineLength)) {
      std::string rest;
      if (tokenAt != std::string::npos && tokenAt > 0) {
        rest = line.substr(tokenAt);
        line.resize(tokenAt);
      }
      finish();
      line = std::move(rest);
      tokenAt = line.empty() ? std::string::npos : 0;
    }
  }
  if (!line.empty()) finish();
  return lines;
}

const char* DisplayOperationCaption(int index) {
  return ValidIndex(index) ? kOperationCaptions[index] : "";
}

int DisplayOperationNumber(int index) {
  return ValidIndex(index) ? kOperationNumbers[index] : 0;
}

bool DisplayOperationTakesText(int index) {
  return index == 1 || index == 2;
}

FrameList BuildDisplayControl(int index, const std::string& text, std::uint8_t letterCoding) {
  FrameList list;
  if (!ValidIndex(index)) {
    list.error = "Nie wybrano operacji.";
    return list;
  }
  const std::string coded = list.Text(text, 250, true, letterCoding);
  list.Add(false, "%cP%d$d%c%s%c%c", kEsc, kOperationNumbers[index], '\xFF', coded.c_str(), kEsc,
           kBackslash);
  return list;
}

}  // namespace ulvo
