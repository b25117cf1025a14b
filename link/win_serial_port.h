#pragma once
// The serial port over the Win32 communications API (Windows only): CreateFile on the COM
// device, the DCB and COMMTIMEOUTS of win_port_settings.h, blocking ReadFile and WriteFile.

#include <memory>
#include <string>

#include "link/serial_port.h"

namespace ulvo {

// Opens `device` ("COM3", "\\.\COM12") exclusively for reading and writing; null when it
// cannot be opened. The line settings come with Configure.
std::unique_ptr<SerialPort> OpenWinSerialPort(const std::string& device);

// A PortOpener that opens through OpenWinSerialPort.
PortOpener WinPortOpener();

}  // namespace ulvo
