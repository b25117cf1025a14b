#include "tools/core/printer_search.h"

#include <algorithm>
#include <cstdio>

#include "common/cp1250.h"
#include "link/frame.h"
#include "link/link.h"

namespace ulvo {

namespace {

constexpr char kDle = 0x10;
constexpr std::size_t kAnswerMax = 50;
constexpr std::size_t kNameMax = 19;
constexpr int kDrainReads = 64;  // a port that keeps talking must not hold the search
constexpr std::chrono::milliseconds kReadTimeout{100};
constexpr std::chrono::milliseconds kNextStep{1};

bool StartsWith(const std::string& text, std::size_t at, const char* prefix) {
  const std::size_t length = std::char_traits<char>::length(prefix);
  return text.size() >= at + length && text.compare(at, length, prefix) == 0;
}

}  // namespace

ProbeResult JudgeProbeAnswer(const std::string& answer, std::uint8_t printerType) {
  ProbeResult probe;
  if (answer.empty()) return probe;
  if (printerType == 0) {
    if (StartsWith(answer, 0, "\x1BP1#E")) probe.result = 2;
    return probe;
  }
  const auto status = static_cast<unsigned char>(answer[0]);
  if ((status & 0xF8) != 0x70) return probe;
  if (answer.size() == 1) {
    if ((status & 0x04) == 0) probe.result = 2;  // off-line: it cannot say who it is
    return probe;
  }
  if (!StartsWith(answer, 1, "\x1BP1#R")) return probe;
  probe.result = 1;
  for (std::size_t i = 6; i < answer.size() && probe.name.size() < kNameMax; ++i) {
    if (answer[i] == '/' || answer[i] == kEsc) break;
    probe.name.push_back(answer[i]);
  }
  return probe;
}

void PrinterSearch::Start() {
  savedPort_ = link_.PortNumber;
  savedXonXoff_ = link_.PortSettings.XonXoff;
  savedRtsCts_ = link_.PortSettings.RtsCts;
  link_.PortSettings.XonXoff = 0;
  link_.PortSettings.RtsCts = 0;
  results_.fill(ProbeResult{});
  link_.ClosePort();
  link_.PortNumber = kNoPort;
  port_ = 1;
  phase_ = Phase::NotSent;
  firstBytes_.clear();
  started_ = true;
}

void PrinterSearch::Drain() {
  char scratch[kAnswerMax];
  for (int i = 0; i < kDrainReads; ++i) {
    if (link_.ReadRaw(scratch, sizeof scratch, std::chrono::milliseconds(0)) <= 0) break;
  }
}

std::string PrinterSearch::ReadAnswer(std::chrono::milliseconds limit) {
  // Up to 50 bytes within the read time-out, but no longer than the answer needs: a frame
  // ends with ESC '\'. A busy machine may deliver a printer's status byte and the frame
  // behind it in pieces, so a pause inside the answer does not end it.
  const auto deadline = std::chrono::steady_clock::now() + limit;
  char buffer[kAnswerMax];
  std::size_t total = 0;
  while (total < sizeof buffer) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    const long got = link_.ReadRaw(buffer + total, sizeof buffer - total, left);
    if (got < 0) break;
    total += static_cast<std::size_t>(got);
    if (total >= 2 && buffer[total - 2] == kEsc && buffer[total - 1] == kBackslash) break;
  }
  return std::string(buffer, total);
}

std::chrono::milliseconds PrinterSearch::Step() {
  if (done()) return std::chrono::milliseconds(0);
  switch (phase_) {
    case Phase::NotSent:
      Probe();
      return kNextStep;
    case Phase::Sent:
      ReadProbeAnswer();
      return phase_ == Phase::OneByte ? kOneByteWait : kNextStep;
    case Phase::OneByte:
      Finish(firstBytes_ + ReadAnswer(kReadTimeout));
      return kNextStep;
  }
  return kNextStep;
}

void PrinterSearch::Probe() {
  // A port that does not exist costs nothing: the next one is tried at once.
  while (port_ <= kLastPort) {
    link_.PortNumber = static_cast<std::uint8_t>(port_);
    if (!link_.OpenPort(false)) break;
    ++port_;
  }
  if (done()) {
    link_.PortNumber = kNoPort;
    return;
  }
  Drain();
  char probe[16];
  if (link_.settings().PrinterType == 0) {
    FormatFrame(probe, sizeof probe, "%cP0#n%c%c", kEsc, kEsc, kBackslash);
  } else {
    FormatFrame(probe, sizeof probe, "%c%cP1#v%c%c", kDle, kEsc, kEsc, kBackslash);
  }
  if (link_.SendFrame(probe)) link_.PortNumber = kNoPort;
  phase_ = Phase::Sent;
}

void PrinterSearch::ReadProbeAnswer() {
  if (!link_.PortOpen() || link_.PortNumber == kNoPort) {
    Finish({});
    return;
  }
  const std::string answer = ReadAnswer(kReadTimeout);
  if (answer.size() == 1) {
    // One byte may be all an off-line printer says, or the start of a slow answer.
    firstBytes_ = answer;
    phase_ = Phase::OneByte;
    return;
  }
  Finish(answer);
}

void PrinterSearch::Finish(const std::string& answer) {
  link_.ClosePort();
  link_.PortNumber = kNoPort;
  if (!answer.empty())
    results_[static_cast<std::size_t>(port_)] =
        JudgeProbeAnswer(answer, link_.settings().PrinterType);
  firstBytes_.clear();
  phase_ = Phase::NotSent;
  ++port_;
}

std::vector<FoundPrinter> PrinterSearch::List() const {
  std::vector<FoundPrinter> list;
  const bool alta = link_.settings().PrinterType == 0;
  for (int port = 1; port <= kLastPort; ++port) {
    const ProbeResult& probe = results_[static_cast<std::size_t>(port)];
    if (probe.result == 0) continue;
    std::string what;
    if (probe.result == 1) {
      what = Cp1250ToUtf8(probe.name);
    } else {
      what = alta ? "Alta lub Alta Plus"
                  : "Drukarka nierozpoznana ponieważ znajduje się w trybie Off-line.";
    }
    char head[16];
    std::snprintf(head, sizeof head, "COM%u - ", static_cast<unsigned>(port));
    list.push_back({port, head + what});
  }
  return list;
}

int PrinterSearch::FoundCount() const {
  return static_cast<int>(
      std::count_if(results_.begin() + 1, results_.end(),
                    [](const ProbeResult& probe) { return probe.result != 0; }));
}

void PrinterSearch::Choose(int port) {
  link_.ClosePort();
  link_.PortSettings.XonXoff = savedXonXoff_;
  link_.PortSettings.RtsCts = savedRtsCts_;
  link_.PortNumber = static_cast<std::uint8_t>(port);
  link_.OpenPort(true);
  link_.CashDataState = 2;
  started_ = false;
}

void PrinterSearch::Cancel() {
  if (!started_) return;
  started_ = false;
  link_.ClosePort();
  link_.PortNumber = savedPort_;
  link_.PortSettings.XonXoff = savedXonXoff_;
  link_.PortSettings.RtsCts = savedRtsCts_;
  if (link_.PortNumber != kNoPort) link_.OpenPort(true);
}

}  // namespace ulvo
