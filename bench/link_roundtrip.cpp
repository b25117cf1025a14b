// Round trips of the link against ulvo-sim over a real pty: a paper feed with its result
// check, and the cash information query, at 9600 and 115200 baud. Prints, per case, the
// median time, the wire time of the bytes exchanged and their ratio.

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "link/console_link_ui.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "sim/sim_process.h"

namespace {

using namespace ulvo;
using Clock = std::chrono::steady_clock;

constexpr int kPort = 1;
constexpr int kRounds = 31;

struct Sample {
  double ms = 0;
  std::size_t bytes = 0;
};

bool RunCase(const char* name, std::uint32_t baud, bool cashQuery) {
  std::string error;
  auto sim = SimProcess::Start(ULVO_SIM_PATH, {"--baud", std::to_string(baud)}, &error);
  if (!sim) {
    std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
    return false;
  }
  ::setenv("ULVO_COM1", sim->PtyPath().c_str(), 1);
  Settings settings;
  settings.PortNumber = kPort;
  settings.PortSettings.BaudRate = baud;
  ConsoleLinkUi ui("message: ", std::chrono::seconds(10), std::chrono::milliseconds(0));
  Link link(settings, ui, QtPortOpener());
  if (link.OpenPort(true)) return false;

  std::vector<Sample> samples;
  for (int round = 0; round < kRounds; ++round) {
    Sample s;
    const auto start = Clock::now();
    if (cashQuery) {
      link.ReadCashInfo();
      if (link.CashDataState != 1) return false;
      s.bytes = std::strlen(link.TxBuf) + link.RxLength();
    } else {
      FormatFrame(link.TxBuf, kTxBufSize, "%cP1#lxx%c%c", kEsc, kEsc, kBackslash);
      AddChecksum(link.TxBuf);
      const std::size_t frame = std::strlen(link.TxBuf);
      if (link.SendFrame(link.TxBuf) || link.CheckCommandResult()) return false;
      s.bytes = frame + 1 + link.RxLength();  // the frame, ENQ, the status byte
    }
    s.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    samples.push_back(s);
  }
  std::sort(samples.begin(), samples.end(),
            [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
  const Sample& median = samples[samples.size() / 2];
  const double wire = median.bytes * 10.0 * 1000.0 / baud;
  std::printf("roundtrip %s baud=%u median_ms=%.2f wire_ms=%.2f ratio=%.2f\n", name, baud,
              median.ms, wire, median.ms / (wire + 5.0));
  return ui.messages == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  bool ok = true;
  for (std::uint32_t baud : {9600u, 115200u}) ok = RunCase("feed+check", baud, false) && ok;
  for (std::uint32_t baud : {9600u, 115200u}) ok = RunCase("cashinfo", baud, true) && ok;
  return ok ? 0 : 1;
}
