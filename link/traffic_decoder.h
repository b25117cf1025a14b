#pragma once
// Reads the byte stream of the printer line (both directions, as the transmission log sees
// it) back into rows a person can follow: one row per frame, status query, status byte or
// run of stray bytes, with its time, the command it is, whether its check is right and what
// a status byte or error number means.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>

namespace ulvo {

enum class TrafficDirection : std::uint8_t { Out, In };

// The two characters before ESC '\': absent where the frame goes without them, else right or
// wrong.
enum class CheckVerdict : std::uint8_t { None, Right, Wrong };

// Silence on the line longer than this is marked.
constexpr std::chrono::milliseconds kTrafficGap{100};
constexpr std::size_t kTrafficRowsMax = 10000;

struct TrafficRow {
  std::chrono::milliseconds time{0};       // of the row's first byte, since the listening began
  std::chrono::microseconds exactTime{0};  // the same, to the microsecond (for captures)
  std::chrono::milliseconds gap{0};        // the longest silence before or inside the row
  TrafficDirection direction = TrafficDirection::Out;
  std::string display;   // the bytes in console form (UTF-8)
  std::size_t size = 0;  // bytes in the row
  std::string bytes;     // the row's bytes as they went over the line
  std::string code;      // "#s", "$h" ...; empty when the row is no frame
  std::string name;      // what the row is: command name, status query ...
  CheckVerdict check = CheckVerdict::None;
  std::string detail;  // status bits by name, the error number and its text
  bool Gap() const { return gap > kTrafficGap; }
};

// How a frame's check is read, by its code.
enum class TrafficCheckRule : std::uint8_t {
  Required,     // sent with a check place
  Optional,     // queries sent without one; a check, where present, is verified
  None,         // free text up to the end, or a reply the program does not check
  MavitoReply,  // checked in the Mavito layout (parameter 2), unchecked otherwise
};

struct TrafficCode {
  std::string_view code;
  std::string_view name;
  TrafficCheckRule check;
};

// Every code the decoder knows (a code not among them is checked where a pair of hex digits
// stands in a frame sent, and not at all in one received).
std::span<const TrafficCode> TrafficCodes();

// The catalogue name of a command or reply code ("#s" -> "Odeślij informacje kasowe");
// empty for a code the program does not use.
std::string_view CommandName(std::string_view code);

// The bits of a status byte by name ('\x05' for ENQ, '\x10' for DLE), e.g.
// "Drukarka jest w trybie fiskalnym; Ostatni rozkaz został wykonany poprawnie".
std::string StatusBitsText(char query, std::uint8_t status);

class TrafficDecoder {
 public:
  // `letterCoding` decides which bytes show as Polish letters in the console form.
  explicit TrafficDecoder(std::uint8_t letterCoding = 0, std::size_t maxRows = kTrafficRowsMax)
      : letterCoding_(letterCoding), maxRows_(maxRows) {}

  // Bytes that passed in `direction` at `time`. Whole rows become visible in rows(); a
  // frame waits for its ESC '\' (or for the other side to speak).
  void Feed(TrafficDirection direction, std::string_view bytes, std::chrono::microseconds time);
  // Frames still waiting for their end become rows as they are (the listening stops).
  void Finish();

  // The last rows, oldest first; at most maxRows.
  const std::deque<TrafficRow>& rows() const { return rows_; }
  // Rows made since the start, including those that fell off the front.
  std::uint64_t TotalRows() const { return total_; }

  void Clear();

 private:
  struct Partial {
    std::string bytes;
    std::chrono::microseconds time{0};
    std::chrono::milliseconds gap{0};
  };
  void Start(Partial& part, char byte, std::chrono::microseconds time,
             std::chrono::milliseconds gap);
  void EmitFrame(TrafficDirection direction, Partial& part);
  void EmitStray(TrafficDirection direction, Partial& part);
  void EmitSingle(TrafficDirection direction, char byte, std::chrono::microseconds time,
                  std::chrono::milliseconds gap);
  void Push(TrafficRow row);
  std::string Display(std::string_view bytes) const;

  std::uint8_t letterCoding_;
  std::size_t maxRows_;
  std::deque<TrafficRow> rows_;
  std::uint64_t total_ = 0;
  Partial frame_[2];       // a frame under way, per direction
  Partial stray_[2];       // bytes outside any frame, per direction
  char pendingQuery_ = 0;  // ENQ or DLE sent and not answered yet
  bool anyTraffic_ = false;
  std::chrono::microseconds lastTime_{0};
};

// One row as a line of text (UTF-8, no line end), tab-separated: time, the gap when it is
// marked, "Wy" (sent) or "We" (received), bytes, code, name, check and detail.
std::string TrafficRowLine(const TrafficRow& row);

}  // namespace ulvo
