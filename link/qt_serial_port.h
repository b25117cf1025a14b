#pragma once
// The serial port over Qt SerialPort: real ports and pseudo-terminals alike.

#include <memory>
#include <string>

#include "link/serial_port.h"

namespace ulvo {

// Opens `device` (a Qt port name or a path such as /dev/pts/7) exclusively for reading and
// writing; null when it cannot be opened. The line settings come with Configure.
std::unique_ptr<SerialPort> OpenQtSerialPort(const std::string& device);

// A PortOpener that opens through OpenQtSerialPort.
PortOpener QtPortOpener();

}  // namespace ulvo
