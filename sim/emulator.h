#pragma once
// The emulator without its port: the printer plus what happens on the line (pacing at the baud
// rate, delayed or missing answers, junk bytes, flow-control bytes) and the control commands
// that switch those faults. The pty front end (main.cpp) only moves bytes and waits.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/settings.h"
#include "sim/capture_replay.h"
#include "sim/printer.h"

namespace ulvo {

struct SimOptions {
  PrinterVariant variant;
  long baud = 9600;  // 0 = no pacing
  std::string logPath;
  std::string controlPath;
  std::string listen;      // HOST:PORT: the line over raw TCP too (empty: pty only)
  std::string replayPath;  // a capture to answer from instead of the printer (empty: none)
  bool fiscal = false;
  bool noUniqueNumber = false;
  // A fiscal memory made up from a seed: this many daily reports (0: empty), the accounting
  // currency EUR from report `fiscalCurrencyFrom` on (0: PLN throughout).
  long fiscalReports = 0;
  long fiscalSeed = 1;
  long fiscalCurrencyFrom = 0;
  // Faults switched on from the start.
  bool noAnswer = false;
  long delayMs = 0;
  bool offline = false;
  bool paperOut = false;
  bool mechanismError = false;
  long garbage = 0;
};

// The printer a settings record of the program names (family, bus, electronic copy).
PrinterVariant VariantOfSettings(const Settings& settings);

// Reads the command line (without the program name). On a bad argument: empty, and `error`
// holds a message for the user.
std::optional<SimOptions> ParseSimOptions(const std::vector<std::string>& args, std::string* error);

// The usage text of ulvo-sim.
std::string SimUsage();

// The printer's input buffer: as many bytes as its input-buffer readout shows.
constexpr std::size_t kInputBufferSize = kInputHistorySize;
// The printer takes nothing more from its input buffer while this many answer bytes still
// wait for the line, so a program that writes without reading cannot pile answers up.
constexpr std::size_t kOutputBacklogLimit = 256;
// Paced output leaves in batches of about this much line time (at least one byte).
constexpr std::chrono::nanoseconds kPacingBatch{500'000};
// A full input buffer drops what comes and says so with XOFF; XON once it is down to this.
constexpr std::size_t kInputBufferXonLevel = 200;
// The loopback keeps at most this much unread.
constexpr std::size_t kEchoBacklogLimit = 1'000'000;

class Emulator {
 public:
  using Time = std::chrono::steady_clock::time_point;

  explicit Emulator(const SimOptions& options);

  // Bytes the program wrote. `wall` is the host clock that the printer's clock follows.
  void OnInput(std::string_view bytes, Time now,
               std::chrono::system_clock::time_point wall = std::chrono::system_clock::now());

  // Bytes due on the line at `now` (already paced), to be written in one go.
  std::string TakeOutput(Time now);

  // When TakeOutput will next have something; empty when nothing is waiting.
  std::optional<Time> NextWakeup() const;

  // Carries out one control line; returns the answer line without its newline.
  std::string Control(std::string_view line, Time now);

  bool ReadingStopped() const { return stopRead_; }

  // Bytes in the input buffer not yet taken by the printer; bytes it dropped when full.
  std::size_t BufferedInput() const { return inbox_.size(); }
  std::uint64_t DroppedInput() const { return dropped_; }
  // Answer bytes not yet handed to the line (delayed ones included).
  std::size_t PendingOutput() const { return pending_; }
  bool DisconnectRequested() const { return disconnect_; }

  // From now on the answers are those of a capture, not the printer's (capture_replay.h).
  void StartReplay(std::vector<ReplayPacket> packets);
  // What the replay noted since the last call (differences, its end).
  std::vector<std::string> TakeReplayNotes();

  Printer& GetPrinter() { return printer_; }
  const Printer& GetPrinter() const { return printer_; }

 private:
  struct Chunk {
    std::string bytes;
    std::size_t sent = 0;
    std::size_t gluedTail = 0;  // the last bytes leave in the same write as the one before
    std::chrono::nanoseconds byteTime{0};
  };
  struct Delayed {
    Time due;
    std::string bytes;
    std::size_t gluedTail = 0;
    std::chrono::nanoseconds byteTime{0};
  };

  void Emit(PrinterReply reply, Time now);
  void Enqueue(std::string bytes, std::size_t gluedTail, Time now,
               std::chrono::nanoseconds byteTime);
  void Enqueue(std::string bytes, std::size_t gluedTail, Time now) {
    Enqueue(std::move(bytes), gluedTail, now, byteTime_);
  }
  void ReleaseDelayed(Time now);
  // The printer works through its input buffer while the line is not backed up.
  void Pump(Time now, std::chrono::system_clock::time_point wall);
  std::chrono::system_clock::time_point WallAt(Time now) const;
  std::optional<std::string> Get(std::string_view name) const;  // empty: no such item

  Printer printer_;
  std::chrono::nanoseconds byteTime_{0};
  Time wireFreeAt_{};
  std::string urgent_;  // XON/XOFF: out at once, ahead of everything
  std::deque<Chunk> wire_;
  std::deque<Delayed> delayed_;
  std::size_t pending_ = 0;  // bytes in wire_ not sent yet, and in delayed_
  std::string inbox_;        // the input buffer, at most kInputBufferSize
  std::uint64_t dropped_ = 0;
  bool busy_ = false;  // XOFF sent for an overflow, XON not yet
  Time lastInput_{};
  std::chrono::system_clock::time_point lastWall_{};

  bool noAnswer_ = false;
  bool echo_ = false;  // raw loopback: every byte goes back unchanged, the printer sees none
  std::chrono::milliseconds delay_{0};
  long garbageNext_ = 0;
  long trailingNext_ = 0;
  long longReplyNext_ = -1;
  bool badCheckNext_ = false;
  bool stopRead_ = false;
  std::uint64_t bytesIn_ = 0;  // everything read from the line, swallowed bytes too
  bool disconnect_ = false;
  std::optional<CaptureReplay> replay_;
};

// Bytes that never contain ESC (nor XON/XOFF): what `garbage`, `trailing` and `longreply` send.
std::string JunkBytes(std::size_t count);

// The readable form used in the traffic log: control bytes by name ("<ESC>"), other
// non-printable bytes as "<XXH>".
std::string LogText(std::string_view bytes);

}  // namespace ulvo
