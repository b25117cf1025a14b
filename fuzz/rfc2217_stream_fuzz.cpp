// What a Telnet COM-PORT-OPTION server sends, in pieces of any size, and the network port
// names and porty.txt lines a user types.

#include <cstdint>
#include <string>
#include <string_view>

#include "link/network_port_name.h"
#include "link/rfc2217.h"
#include "link/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ulvo::Rfc2217Client client;
  client.Start();
  std::string line;
  // The first byte picks the piece size, so one input covers many splits.
  const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 17;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    client.Receive(bytes.substr(at, piece), line);
    const std::string replies = client.TakeReplies();
    // Answers are bounded: each option is refused at most once per direction.
    if (replies.size() > 3 * 2 * 256 + 64) __builtin_trap();
  }
  if (line.size() > bytes.size()) __builtin_trap();
  std::string error;
  ulvo::ParseNetworkPortName(bytes, &error);
  ulvo::ParsePortAddresses(bytes);
  return 0;
}
