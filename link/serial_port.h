#pragma once
// The serial port as the link sees it. One implementation sits over Qt SerialPort
// (qt_serial_port.h); tests may add their own.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "link/settings.h"

namespace ulvo {

enum class WriteStatus { Ok, AccessDenied, Failed };

struct WriteResult {
  std::size_t written = 0;  // bytes that actually left; the rest is discarded, not queued
  WriteStatus status = WriteStatus::Ok;
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Applies every line setting; false when the driver refuses them.
  virtual bool Configure(const LineSettings& settings) = 0;

  // Writes up to `count` bytes, waiting at most `timeout` for them to leave.
  virtual WriteResult Write(const char* data, std::size_t count,
                            std::chrono::milliseconds timeout) = 0;

  // Reads up to `count` bytes. Returns as soon as something has arrived, after at most
  // `timeout` otherwise (0 means: only what is already there). -1 when the port failed.
  virtual long Read(char* data, std::size_t count, std::chrono::milliseconds timeout) = 0;

  // 0: no error and nothing held; 1: status not available or a line error was pending
  // (the call clears it); 2: output held by flow control.
  virtual int CheckLineErrors() = 0;

  // `wake` is called from the event loop whenever data arrives or the line fails, so that
  // a waiting dialog can read without polling. An empty function disconnects.
  virtual void SetWakeup(std::function<void()> wake) = 0;

  // True once the device has gone away (a USB adapter pulled out): only closing it and
  // opening the device again helps.
  virtual bool Gone() const { return false; }

  // Drops what the other end still holds for us (a device server's input buffer); what has
  // already arrived is the caller's to read away.
  virtual void PurgeInput() {}

  // Why the port could not be opened, for a port object that stands for a failed open (a
  // network address that did not answer); empty for a port that is open.
  virtual std::string OpenError() const { return {}; }
};

// Opens a device by name; null when it cannot be opened.
using PortOpener = std::function<std::unique_ptr<SerialPort>(const std::string& device)>;

// Device name of COM n on Windows: "COM%d" up to 9, "\\.\COM%d" from 10.
std::string WindowsPortName(int portNumber);

// Device name of COM n on POSIX: $ULVO_COM<n> when set, else /dev/ttyS<n-1> (1-32),
// /dev/ttyUSB<n-33> (33-48), /dev/ttyACM<n-49> (49-64).
// `getenv` is injectable for tests.
std::string PosixPortName(int portNumber,
                          const std::function<const char*(const char*)>& getenv = nullptr);

// The name for this platform: the address the user gave COM n (`addresses`, a device path or a
// network port name) first, then $ULVO_COM<n>, then the platform's own name.
std::string PortDeviceName(int portNumber, const std::map<int, std::string>& addresses = {});

}  // namespace ulvo
