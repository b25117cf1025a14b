#pragma once
// The link over an in-memory line for the reply fuzzers: whatever the fuzzer gives is what
// "the printer" sends back, and the reply wait ends as soon as the line has nothing more
// (no clock is involved, so every input runs in microseconds).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "link/link.h"
#include "link/link_ui.h"
#include "link/serial_port.h"
#include "link/settings.h"

namespace ulvo::fuzz {

// The far end: `replies` are handed out one per completed frame or status byte written.
struct FuzzWire {
  std::string replies[4];
  int next = 0;
  std::string incoming;
};

class FuzzPort : public SerialPort {
 public:
  explicit FuzzPort(FuzzWire& wire) : wire_(wire) {}
  bool Configure(const LineSettings&) override { return true; }
  WriteResult Write(const char* data, std::size_t count, std::chrono::milliseconds) override {
    const bool status = count == 1 && (data[0] == 0x05 || data[0] == 0x10);
    const bool frameEnd = count >= 2 && data[count - 2] == 0x1B && data[count - 1] == '\\';
    if ((status || frameEnd) && wire_.next < 4) wire_.incoming += wire_.replies[wire_.next++];
    return {count, WriteStatus::Ok};
  }
  long Read(char* data, std::size_t count, std::chrono::milliseconds) override {
    const std::size_t n = std::min(count, wire_.incoming.size());
    wire_.incoming.copy(data, n);
    wire_.incoming.erase(0, n);
    return static_cast<long>(n);
  }
  int CheckLineErrors() override { return 0; }
  void SetWakeup(std::function<void()>) override {}

 private:
  FuzzWire& wire_;
};

// Polls until the reply is complete or the line has gone quiet: a quiet line is the user
// giving up.
class FuzzUi : public LinkUi {
 public:
  void ShowMessage(std::string_view) override {}
  bool AskYesNo(std::string_view) override { return false; }
  bool RunReplyWait(ReplyWaitTask& task) override {
    unsigned seen = ~0u;
    for (int i = 0; i < 1000; ++i) {
      if (task.Poll(std::chrono::milliseconds(0))) return true;
      if (task.BytesReceived() == seen) return false;
      seen = task.BytesReceived();
    }
    return false;
  }
  bool RunReadyWait(ReadyWaitTask&) override { return false; }
};

// Splits the fuzzer's bytes into up to four replies at each "\xff\xfe" pair.
inline void SplitReplies(const std::uint8_t* data, std::size_t size, FuzzWire& wire) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  for (int i = 0; i < 4; ++i) {
    const std::size_t cut = i < 3 ? rest.find("\xff\xfe") : std::string_view::npos;
    wire.replies[i] = std::string(rest.substr(0, cut));
    if (cut == std::string_view::npos) break;
    rest.remove_prefix(cut + 2);
  }
}

// A link with an open port over `wire`.
struct FuzzLink {
  explicit FuzzLink(std::uint8_t printerType) {
    settings.PortNumber = 1;
    settings.PrinterType = printerType;
    link = std::make_unique<Link>(settings, ui, [this](const std::string&) {
      return std::unique_ptr<SerialPort>(new FuzzPort(wire));
    });
    link->OpenPort(false);
  }
  Settings settings;
  FuzzUi ui;
  FuzzWire wire;
  std::unique_ptr<Link> link;
};

}  // namespace ulvo::fuzz
