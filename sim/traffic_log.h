#pragma once
// The emulator's traffic log: one line per frame, status byte or run of other bytes, whole
// however the line delivered it, with the time, the direction, the readable form and, for
// the frames the printer took, what it made of them.

#include <cstddef>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace ulvo {

// Cuts one direction's bytes into units: a frame from ESC up to ESC '\' (across reads), a
// single control byte outside frames, or the other bytes of one read taken together.
class TrafficSplitter {
 public:
  struct Unit {
    std::string bytes;     // at most kShownBytes of them when the unit is longer
    std::size_t size = 0;  // the unit's real length
    bool frame = false;    // ESC ... ESC '\'
  };
  static constexpr std::size_t kShownBytes = 6000;

  // The units these bytes completed, in order.
  std::vector<Unit> Feed(std::string_view bytes);
  // An unfinished frame, as it stands (the line went quiet or the log closes).
  std::vector<Unit> Flush();
  bool InFrame() const { return inFrame_; }

 private:
  void Append(char c);
  Unit pending_;
  bool inFrame_ = false;
  char last_ = 0;
};

// One log line: "12:03:04.567 < <ESC>P23#s<ESC>\  [przyjęty]" (UTF-8).
std::string TrafficLogLine(long long msOfDay, char direction, const TrafficSplitter::Unit& unit,
                           std::string_view note);

// The log file: in from the program ('<') and out to it ('>'). Frames of the input get the
// printer's notes in their order.
class TrafficLog {
 public:
  explicit TrafficLog(const std::string& path);
  ~TrafficLog();
  TrafficLog(const TrafficLog&) = delete;
  TrafficLog& operator=(const TrafficLog&) = delete;

  bool Failed(const std::string& path) const { return !path.empty() && !file_; }
  void In(std::string_view bytes, std::vector<std::string> notes);
  void Out(std::string_view bytes);
  // A control command and its answer: "12:03:04.567 # online off -> ok".
  void Control(std::string_view text);

 private:
  void Write(char direction, const std::vector<TrafficSplitter::Unit>& units,
             std::deque<std::string>* notes);
  std::FILE* file_ = nullptr;
  TrafficSplitter in_, out_;
  std::deque<std::string> notes_;
};

}  // namespace ulvo
