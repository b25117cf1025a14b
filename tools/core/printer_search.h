#pragma once
// The search for a printer on the serial ports: ports 1..63 in order, each probed with a
// short query chosen by the printer family, and the list of the ports where a fiscal printer
// answered. Qt-free; the dialog calls Step() on its timer and shows the list.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace ulvo {

class Link;

// How one probe's answer reads: 0 nothing, 1 a printer that named itself, 2 a printer that
// answered without naming itself (off-line, or an Alta). `name` at most 19 characters.
struct ProbeResult {
  int result = 0;
  std::string name;
};

// Judges the bytes that came back from a probe for `printerType`.
ProbeResult JudgeProbeAnswer(const std::string& answer, std::uint8_t printerType);

// One entry of the result list.
struct FoundPrinter {
  int port = 0;
  std::string text;  // "COM%u - %s" (UTF-8)
};

class PrinterSearch {
 public:
  static constexpr int kLastPort = 63;  // port 64 is never probed
  static constexpr std::chrono::milliseconds kOneByteWait{500};

  explicit PrinterSearch(Link& link) : link_(link) {}

  // Keeps the port and its flow control, switches flow control off, closes the port.
  void Start();

  // One step of the search. Returns the delay before the next step; `done()` tells when
  // every port has been probed.
  std::chrono::milliseconds Step();
  bool done() const { return port_ > kLastPort; }
  // The port being probed (1..64) and the progress in steps (two per port).
  int port() const { return port_; }
  int progress() const { return (port_ - 1) * 2 + (phase_ == Phase::NotSent ? 0 : 1); }

  // The found printers in port order.
  std::vector<FoundPrinter> List() const;
  int FoundCount() const;

  // "&Wybierz": flow control back, the chosen port opened (with messages), no old data shown.
  void Choose(int port);
  // "&Anuluj" (also after a failed search): the old port and flow control back and reopened.
  void Cancel();

 private:
  enum class Phase { NotSent, Sent, OneByte };
  void Probe();
  void ReadProbeAnswer();
  void Finish(const std::string& answer);
  void Drain();
  std::string ReadAnswer(std::chrono::milliseconds limit);

  Link& link_;
  std::array<ProbeResult, kLastPort + 1> results_{};
  int port_ = 1;
  Phase phase_ = Phase::NotSent;
  std::string firstBytes_;
  std::uint8_t savedPort_ = 255;
  std::uint8_t savedXonXoff_ = 0;
  std::uint8_t savedRtsCts_ = 0;
  bool started_ = false;
};

}  // namespace ulvo
