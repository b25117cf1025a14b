#include "common/money.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace ulvo {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

double RoundMoney(double x) {
  return std::trunc(x * 100 + 0.5000000001) * 0.01;
}

double ComputeAmount(int printerType, int kind, double a, double b) {
  switch (kind) {
    case 1:
      return b - a;
    case 3:
      return b + a;
    case 2:
      if (printerType == 1) return b - RoundMoney(b * a / 100);
      return RoundMoney(b * (1 - a / 100));
    case 4:
      if (printerType == 1) return b + RoundMoney(b * a / 100);
      return RoundMoney(b * (1 + a / 100));
    default:
      return b;
  }
}

std::string FormatPtuRate(double rate) {
  if (rate == 100) return "ZWOLN";
  if (rate == 101) return "BRAK";
  if (rate < 100) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%3.2f", rate);
    return buf;
  }
  return {};
}

std::string FormatMoney(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", RoundMoney(x));
  return buf;
}

std::optional<double> ParseAmount(std::string_view text) {
  text = TrimBlanks(text);
  // Only an optional sign, digits and one separator: no exponents, no "inf", nothing left over.
  std::string normalized;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    if (text[pos] == '-') normalized.push_back('-');
    ++pos;
  }
  bool digits = false;
  bool separator = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c >= '0' && c <= '9') {
      normalized.push_back(c);
      digits = true;
    } else if ((c == ',' || c == '.') && !separator) {
      normalized.push_back('.');
      separator = true;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  // from_chars does not depend on the locale, unlike strtod under a Polish locale.
  double value = 0;
  const char* first = normalized.data();
  const char* last = first + normalized.size();
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
  if (ec != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<long> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  long value = 0;
  const char* last = text.data() + text.size();
  const auto [end, ec] = std::from_chars(text.data(), last, value);
  if (ec != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace ulvo
