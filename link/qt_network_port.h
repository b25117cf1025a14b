#pragma once
// Serial ports on the network, over QTcpSocket: "tcp://HOST:PORT" (the line's bytes as they
// are) and "rfc2217://HOST:PORT" (a serial device server that takes the line settings through
// Telnet's COM-PORT-OPTION, link/rfc2217.h).

#include <chrono>
#include <memory>
#include <string>

#include "link/serial_port.h"

namespace ulvo {

// How long a connection may take before the address is given up.
constexpr std::chrono::milliseconds kNetworkConnectBound{3000};

// Connects to a network port name (link/network_port_name.h). Never null: a port that could
// not be connected says why through OpenError().
std::unique_ptr<SerialPort> OpenNetworkPort(const std::string& device);

// `local` for device paths and COM names, OpenNetworkPort for network port names.
PortOpener WithNetworkPorts(PortOpener local);

}  // namespace ulvo
