#include "link/network_port_name.h"

#include <cctype>

namespace ulvo {

namespace {

constexpr std::string_view kTcp = "tcp://";
constexpr std::string_view kRfc2217 = "rfc2217://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

bool HostCharacter(char ch) {
  const auto c = static_cast<unsigned char>(ch);
  return std::isalnum(c) || ch == '-' || ch == '.' || ch == '_';
}

}  // namespace

bool IsNetworkPortName(std::string_view device) {
  return StartsWithNoCase(device, kTcp) || StartsWithNoCase(device, kRfc2217);
}

std::optional<NetworkPortName> ParseNetworkPortName(std::string_view device, std::string* error) {
  auto fail = [error](const char* why) -> std::optional<NetworkPortName> {
    if (error) *error = why;
    return std::nullopt;
  };
  NetworkPortName name;
  std::string_view rest;
  if (StartsWithNoCase(device, kTcp)) {
    rest = device.substr(kTcp.size());
  } else if (StartsWithNoCase(device, kRfc2217)) {
    name.kind = NetworkPortName::Kind::kRfc2217;
    rest = device.substr(kRfc2217.size());
  } else {
    return fail("adres musi się zaczynać od tcp:// albo rfc2217://");
  }
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  std::size_t colon;
  if (!rest.empty() && rest.front() == '[') {
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close == 1) return fail("błędny adres IPv6 w nawiasach");
    for (char ch : rest.substr(1, close - 1)) {
      if (!std::isxdigit(static_cast<unsigned char>(ch)) && ch != ':' && ch != '.')
        return fail("błędny adres IPv6 w nawiasach");
    }
    name.host = std::string(rest.substr(1, close - 1));
    if (close + 1 >= rest.size() || rest[close + 1] != ':') return fail("brak numeru portu");
    colon = close + 1;
  } else {
    colon = rest.rfind(':');
    if (colon == std::string_view::npos) return fail("brak numeru portu (HOST:PORT)");
    name.host = std::string(rest.substr(0, colon));
    if (name.host.empty()) return fail("brak nazwy albo adresu hosta");
    if (name.host.size() > 253) return fail("za długa nazwa hosta");
    for (char ch : name.host) {
      if (!HostCharacter(ch)) return fail("niedozwolony znak w nazwie hosta");
    }
  }
  const std::string_view digits = rest.substr(colon + 1);
  if (digits.empty() || digits.size() > 5) return fail("błędny numer portu (1-65535)");
  unsigned long port = 0;
  for (char ch : digits) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) return fail("błędny numer portu (1-65535)");
    port = port * 10 + static_cast<unsigned long>(ch - '0');
  }
  if (port == 0 || port > 65535) return fail("błędny numer portu (1-65535)");
  name.port = static_cast<std::uint16_t>(port);
  return name;
}

}  // namespace ulvo
