// Helpers shared by the command handlers of every area.

#include <cstdio>

#include "common/local_time.h"
#include "link/frame.h"
#include "sim/command_table.h"

namespace ulvo {

namespace {
constexpr std::size_t kMaxPrintouts = 200;
}

std::optional<std::string_view> ArgReader::Field(char end) {
  std::size_t at = rest_.find(end);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view field = rest_.substr(0, at);
  rest_.remove_prefix(at + 1);
  return field;
}

std::optional<std::int64_t> ParseGrosze(std::string_view text) {
  std::int64_t whole = 0;
  int wholeDigits = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (++wholeDigits > 10) return std::nullopt;
    whole = whole * 10 + (text[i] - '0');
  }
  std::int64_t fraction = 0;
  int fractionDigits = 0;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (++fractionDigits > 2) return std::nullopt;
      fraction = fraction * 10 + (text[i] - '0');
    }
  }
  if (i != text.size() || wholeDigits + fractionDigits == 0) return std::nullopt;
  if (fractionDigits == 1) fraction *= 10;
  return whole * 100 + fraction;
}

std::optional<long> ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string FormatGrosze(std::int64_t grosze) {
  char buf[32];
  const char* sign = grosze < 0 ? "-" : "";
  std::int64_t magnitude = grosze < 0 ? -grosze : grosze;
  std::snprintf(buf, sizeof buf, "%s%lld.%02lld", sign, static_cast<long long>(magnitude / 100),
                static_cast<long long>(magnitude % 100));
  return buf;
}

std::tm PrinterClock(const PrinterState& state, std::chrono::system_clock::time_point now) {
  std::time_t t = std::chrono::system_clock::to_time_t(now + state.clockOffset);
  return LocalTime(t);
}

bool ValidDateTime(int year, int month, int day, int hour, int minute, int second) {
  if (year < 2000 || year > 2099 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int days = kDays[month - 1];
  if (month == 2 && year % 4 == 0) ++days;  // 2000..2099: every fourth year is a leap year
  if (day > days) return false;
  return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60;
}

std::string FrameCheck(std::string_view body) {
  // The program's own frame code computes the check, so both sides agree by construction.
  // It stops at a NUL byte, which a printer does not: such frames get the plain XOR.
  if (body.find('\0') == std::string_view::npos) {
    std::string frame = "\x1BP";
    frame += body;
    frame += "XX\x1B\\";
    frame.push_back('\0');
    if (!AddChecksum(frame.data(), frame.size())) return frame.substr(2 + body.size(), 2);
  }
  unsigned char check = 0xFF;
  for (char c : body) check ^= static_cast<unsigned char>(c);
  char buf[3];
  std::snprintf(buf, sizeof buf, "%02X", check);
  return buf;
}

std::string ReplyFrame(std::string_view body) {
  std::string out;
  out.reserve(body.size() + 4);
  out += "\x1BP";
  out += body;
  out += "\x1B\\";
  return out;
}

void Print(PrinterState& state, std::string title) {
  if (state.printouts.size() >= kMaxPrintouts) state.printouts.erase(state.printouts.begin());
  state.printouts.push_back(std::move(title));
}

}  // namespace ulvo
