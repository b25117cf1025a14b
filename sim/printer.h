#pragma once
// The emulated printer: bytes in, replies out, given the time. It knows nothing of ports,
// pacing or faults of the line; the front end (emulator.h) adds those.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/printer_state.h"

namespace ulvo {

class CommandTable;

// One answer of the printer: a single status byte or a whole frame.
struct PrinterReply {
  std::string bytes;
  bool frame = false;
  bool checked = false;  // the frame carries a check before its ESC '\'
  bool record = false;   // a fiscal memory record, sent at the readout's baud rate
};

// The longest frame the printer takes; a longer one is dropped as a whole.
constexpr std::size_t kMaxFrameSize = 5120;

class Printer {
 public:
  using Clock = std::chrono::system_clock;

  explicit Printer(PrinterVariant variant);
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // Takes bytes from the line and returns the replies they caused, in order.
  std::vector<PrinterReply> Feed(std::string_view bytes, Clock::time_point now);

  // Back to the power-on state (family and variant kept).
  void Reset();

  const PrinterState& State() const { return state_; }
  PrinterState& MutableState() { return state_; }

  // What became of each frame taken since the last call ("przyjęty", "odrzucony: błąd 27"),
  // in order, for the traffic log.
  std::vector<std::string> TakeFrameNotes();

  std::uint8_t EnqStatus() const;
  std::uint8_t DleStatus() const;

 private:
  void StopStream();
  void NextPass();
  void NoteFrame(int result);
  void HandleFrame(std::string_view body, Clock::time_point now, std::vector<PrinterReply>& out);

  PrinterState state_;
  const CommandTable* table_;
  enum class RxState { kIdle, kGotEsc, kInFrame, kInFrameEsc } rx_ = RxState::kIdle;
  std::string frame_;
  bool frameTooLong_ = false;
  std::vector<std::string> frameNotes_;
};

}  // namespace ulvo
