#include "sim/capture_replay.h"

#include "link/frame.h"
#include "sim/emulator.h"

namespace ulvo {

namespace {

// A long piece is shown by its start; the position says where it differs.
constexpr std::size_t kShownMax = 160;

std::string Shown(std::string_view bytes) {
  std::string text = LogText(bytes.substr(0, kShownMax));
  if (bytes.size() > kShownMax) text += " ... (" + std::to_string(bytes.size()) + " bajtów)";
  return text;
}

}  // namespace

CaptureReplay::CaptureReplay(std::vector<ReplayPacket> packets) : packets_(std::move(packets)) {
  // What the printer said before the program said anything answers nothing now.
  while (next_ < packets_.size() && packets_[next_].direction == TrafficDirection::In) ++next_;
  if (next_ > 0)
    Note("Pominięto " + std::to_string(next_) +
         " nagranych fragmentów od drukarki sprzed pierwszego rozkazu.");
}

std::string CaptureReplay::AnswersFrom(std::size_t index) {
  std::string answers;
  next_ = index;
  while (next_ < packets_.size() && packets_[next_].direction == TrafficDirection::In)
    answers += packets_[next_++].bytes;
  if (Done() && !endNoted_) {
    endNoted_ = true;
    Note("Odtworzono całe nagranie (" + std::to_string(packets_.size()) + " fragmentów).");
  }
  return answers;
}

std::string CaptureReplay::Feed(std::string_view bytes) {
  std::string answers;
  while (!bytes.empty()) {
    if (Done()) {
      Note("Nagranie się skończyło, a program wysłał jeszcze: " + Shown(bytes));
      return answers;
    }
    const std::string& expected = packets_[next_].bytes;
    std::size_t i = 0;
    while (i < bytes.size() && matched_ < expected.size() && bytes[i] == expected[matched_]) {
      ++i;
      ++matched_;
    }
    if (matched_ == expected.size()) {
      bytes.remove_prefix(i);
      matched_ = 0;
      ++framesIn_;
      answers += AnswersFrom(next_ + 1);
      continue;
    }
    if (i == bytes.size()) return answers;  // the rest comes with the next read
    // A difference. The piece received is dropped up to the end of its frame (ESC '\\'), or
    // with the rest of this read when it is no frame; what follows is matched afresh.
    const std::size_t at = matched_;
    std::string received = expected.substr(0, matched_ - i);  // from earlier reads
    std::size_t drop = bytes.size();
    const bool frame = !received.empty() ? received[0] == kEsc : bytes[0] == kEsc;
    if (frame) {
      const std::size_t end = bytes.find("\x1b\\", i);
      if (end != std::string_view::npos) drop = end + 2;
    }
    received += bytes.substr(0, drop);
    bytes.remove_prefix(drop);
    Note("Rozbieżność z nagraniem: fragment nr " + std::to_string(next_ + 1) +
         " nagrania (rozkaz nr " + std::to_string(framesIn_ + 1) + " do drukarki), bajt nr " +
         std::to_string(at + 1) + ".\n  nagrano:  " + Shown(expected) +
         "\n  odebrano: " + Shown(received));
    matched_ = 0;
  }
  return answers;
}

std::vector<std::string> CaptureReplay::TakeNotes() {
  std::vector<std::string> notes;
  notes.swap(notes_);
  return notes;
}

}  // namespace ulvo
