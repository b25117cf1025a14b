#pragma once
// The serial port over Qt SerialPort: real ports and pseudo-terminals alike.

#include <memory>
#include <string>

#include "link/serial_port.h"

namespace ulvo {

// Opens `device` (a Qt port name or a path such as /dev/pts/7) exclusively for reading and
// writing; null when it cannot be opened. The line settings come with Configure.
std::unique_ptr<SerialPort> OpenQtSerialPort(const std::string& device);

// The program's port opener: network port names through link/qt_network_port.h, the rest
// through OpenQtSerialPort (on Windows, where there is no Qt SerialPort, through the Win32
// port of link/win_serial_port.h).
PortOpener QtPortOpener();

}  // namespace ulvo
