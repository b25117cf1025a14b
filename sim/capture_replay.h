#pragma once
// The printer of a capture: it answers as the printer did when the capture was made. What
// the program writes is matched byte by byte against the next recorded piece sent to the
// printer; once a piece is whole, the printer's recorded pieces up to the next one sent to
// it go out. A difference is noted with both pieces and where it stands, the piece received
// is dropped, and the same recorded piece is expected again.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "link/traffic_decoder.h"

namespace ulvo {

struct ReplayPacket {
  TrafficDirection direction = TrafficDirection::Out;
  std::string bytes;
};

class CaptureReplay {
 public:
  explicit CaptureReplay(std::vector<ReplayPacket> packets);

  // Bytes the program wrote; returns the recorded answers now due.
  std::string Feed(std::string_view bytes);
  // What was noted since the last call (differences, the end of the capture), Polish.
  std::vector<std::string> TakeNotes();
  // Every recorded piece has been matched or sent.
  bool Done() const { return next_ >= packets_.size(); }

 private:
  void Note(std::string note) { notes_.push_back(std::move(note)); }
  std::string AnswersFrom(std::size_t index);

  std::vector<ReplayPacket> packets_;
  std::size_t next_ = 0;      // the recorded piece expected next (one sent to the printer)
  std::size_t matched_ = 0;   // its bytes received so far
  std::size_t framesIn_ = 0;  // recorded pieces to the printer matched so far
  bool endNoted_ = false;
  std::vector<std::string> notes_;
};

}  // namespace ulvo
