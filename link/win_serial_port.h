#pragma once
// The serial port over the Win32 communications API (Windows only): CreateFile on the COM
// device, the DCB and COMMTIMEOUTS of win_port_settings.h, overlapped ReadFile and WriteFile
// that the port waits for itself, and a WaitCommEvent kept pending so that an event loop can
// be woken when data arrives (qt_win_serial_port.cpp).

#include <memory>
#include <string>

#include "link/serial_port.h"

namespace ulvo {

// The Win32 port with its arrival event. The event is a manual-reset event HANDLE (as void*,
// so that this header needs no windows.h), signalled when data arrives, the line breaks or
// the driver reports an error.
class WinSerialPort : public SerialPort {
 public:
  virtual void* ArrivalEvent() const = 0;
  // Takes the signalled event back and waits for the next one. True when data is already
  // waiting to be read, so that the caller wakes its reader at once.
  virtual bool RearmArrival() = 0;
  // False once the driver has shown that it cannot wait for data: its WaitCommEvent ends at
  // once with nothing to report, again and again (wine's does so on a pseudo-terminal, which
  // has no modem lines to ask). The arrival event is then left signalled, the port's reads
  // look at the driver's queue every few milliseconds, and so must a watcher (QueuedBytes).
  virtual bool ArrivalWaits() const = 0;
  // The bytes the driver holds; -1 when the port failed. Safe from another thread.
  virtual long QueuedBytes() = 0;
  // How many reads have taken bytes so far. Safe from another thread.
  virtual unsigned long Takes() const = 0;
};

// How often a port whose driver cannot wait for data looks at its queue (ms).
constexpr unsigned kWinQueuePollMs = 2;

// Opens `device` ("COM3", "\\.\COM12") exclusively for reading and writing; null when it
// cannot be opened. The line settings come with Configure.
std::unique_ptr<WinSerialPort> OpenWinSerialPort(const std::string& device);

// A PortOpener that opens through OpenWinSerialPort. Its ports never call a wake-up: the
// program's opener (QtPortOpener) watches their arrival event.
PortOpener WinPortOpener();

}  // namespace ulvo
