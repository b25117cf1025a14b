#include "sim/traffic_log.h"

#include <chrono>
#include <ctime>

#include "common/local_time.h"
#include "sim/emulator.h"

namespace ulvo {

namespace {

constexpr char kEscByte = 0x1B;

bool IsControl(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

long long MsOfDayNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const std::tm tm = LocalTime(t);
  const long long ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  return ((tm.tm_hour * 60LL + tm.tm_min) * 60 + tm.tm_sec) * 1000 + ms;
}

std::string Stamp(long long msOfDay, char direction) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02lld:%02lld:%02lld.%03lld %c ", msOfDay / 3600000,
                msOfDay / 60000 % 60, msOfDay / 1000 % 60, msOfDay % 1000, direction);
  return stamp;
}

}  // namespace

void TrafficSplitter::Append(char c) {
  if (pending_.bytes.size() < kShownBytes) pending_.bytes.push_back(c);
  ++pending_.size;
}

std::vector<TrafficSplitter::Unit> TrafficSplitter::Feed(std::string_view bytes) {
  std::vector<Unit> units;
  auto emit = [&] {
    if (pending_.size > 0) units.push_back(std::move(pending_));
    pending_ = Unit{};
  };
  for (char c : bytes) {
    if (inFrame_) {
      // A frame ends at ESC '\'; the shown part may have been cut, so look at the last two
      // bytes seen rather than at the kept text.
      const bool end = c == '\\' && last_ == kEscByte;
      Append(c);
      last_ = c;
      if (end) {
        pending_.frame = true;
        emit();
        inFrame_ = false;
      }
      continue;
    }
    if (c == kEscByte) {
      emit();
      inFrame_ = true;
      Append(c);
      last_ = c;
    } else if (IsControl(c)) {
      emit();
      Append(c);
      emit();
    } else {
      Append(c);
    }
  }
  if (!inFrame_) emit();
  return units;
}

std::vector<TrafficSplitter::Unit> TrafficSplitter::Flush() {
  std::vector<Unit> units;
  if (pending_.size > 0) units.push_back(std::move(pending_));
  pending_ = Unit{};
  inFrame_ = false;
  return units;
}

std::string TrafficLogLine(long long msOfDay, char direction, const TrafficSplitter::Unit& unit,
                           std::string_view note) {
  std::string line = Stamp(msOfDay, direction) + LogText(unit.bytes);
  if (unit.size > unit.bytes.size()) {
    line += " ... (" + std::to_string(unit.size) + " bajtów)";
  }
  if (!note.empty()) {
    line += "  [";
    line += note;
    line += ']';
  }
  return line;
}

TrafficLog::TrafficLog(const std::string& path) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "w");
}

TrafficLog::~TrafficLog() {
  if (!file_) return;
  Write('<', in_.Flush(), nullptr);
  Write('>', out_.Flush(), nullptr);
  std::fclose(file_);
}

void TrafficLog::In(std::string_view bytes, std::vector<std::string> notes) {
  for (std::string& note : notes) notes_.push_back(std::move(note));
  if (!file_) {
    notes_.clear();
    return;
  }
  Write('<', in_.Feed(bytes), &notes_);
  // Notes of frames the log did not see as frames must not slide onto later ones.
  if (!in_.InFrame()) notes_.clear();
}

void TrafficLog::Out(std::string_view bytes) {
  if (file_) Write('>', out_.Feed(bytes), nullptr);
}

void TrafficLog::Control(std::string_view text) {
  if (!file_) return;
  std::fprintf(file_, "%s%s\n", Stamp(MsOfDayNow(), '#').c_str(), LogText(text).c_str());
  std::fflush(file_);
}

void TrafficLog::Write(char direction, const std::vector<TrafficSplitter::Unit>& units,
                       std::deque<std::string>* notes) {
  if (units.empty()) return;
  const long long ms = MsOfDayNow();
  for (const TrafficSplitter::Unit& unit : units) {
    std::string note;
    if (notes && unit.frame && !notes->empty()) {
      note = std::move(notes->front());
      notes->pop_front();
    }
    std::fprintf(file_, "%s\n", TrafficLogLine(ms, direction, unit, note).c_str());
  }
  std::fflush(file_);
}

}  // namespace ulvo
