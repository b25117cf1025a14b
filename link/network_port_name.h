#pragma once
// Ports on the network: "tcp://HOST:PORT" carries the line's bytes as they are, and
// "rfc2217://HOST:PORT" speaks Telnet's COM-PORT-OPTION to a serial device server. HOST is a
// name, an IPv4 address or an IPv6 address in brackets.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ulvo {

struct NetworkPortName {
  enum class Kind { kTcp, kRfc2217 };
  Kind kind = Kind::kTcp;
  std::string host;
  std::uint16_t port = 0;
};

// True when `device` names a network port (by its scheme), well formed or not.
bool IsNetworkPortName(std::string_view device);

// The parts of a network port name; nothing, and a Polish reason in `error`, when it is
// malformed.
std::optional<NetworkPortName> ParseNetworkPortName(std::string_view device, std::string* error);

}  // namespace ulvo
