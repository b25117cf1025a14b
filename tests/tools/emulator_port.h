#pragma once
// A serial port whose far end is an emulator in this process: it answers at once (no pacing),
// so the tools' logic can run against the printer's own behaviour without a pty.

#include <algorithm>
#include <chrono>
#include <string>

#include "link/serial_port.h"
#include "sim/emulator.h"

namespace ulvo {

class EmulatorPort : public SerialPort {
 public:
  explicit EmulatorPort(Emulator& emulator) : emulator_(emulator) {}
  bool Configure(const LineSettings&) override { return true; }
  WriteResult Write(const char* data, std::size_t count, std::chrono::milliseconds) override {
    emulator_.OnInput(std::string_view(data, count), std::chrono::steady_clock::now());
    return {count, WriteStatus::Ok};
  }
  long Read(char* data, std::size_t count, std::chrono::milliseconds) override {
    pending_ += emulator_.TakeOutput(std::chrono::steady_clock::now());
    const std::size_t n = std::min(count, pending_.size());
    pending_.copy(data, n);
    pending_.erase(0, n);
    return static_cast<long>(n);
  }
  int CheckLineErrors() override { return 0; }
  void SetWakeup(std::function<void()>) override {}

 private:
  Emulator& emulator_;
  std::string pending_;
};

}  // namespace ulvo
