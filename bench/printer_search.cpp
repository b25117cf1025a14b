// The printer search over 63 ports: ulvo-sim on COM 5, an off-line ulvo-sim on COM 9, every
// other port absent. Runs the search as its dialog does (each step after the delay the step
// asks for, the 1 ms timer included) and prints the median time of several searches:
//   search ports=63 found=2 ms=<median>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "link/console_link_ui.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "sim/sim_process.h"
#include "tools/core/printer_search.h"

namespace {

using namespace ulvo;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string error;
  auto online = SimProcess::Start(ULVO_SIM_PATH, {"--baud", "9600"}, &error);
  auto offline = SimProcess::Start(ULVO_SIM_PATH, {"--baud", "9600", "--offline"}, &error);
  if (!online || !offline) {
    std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
    return 1;
  }
  for (int n = 1; n <= 64; ++n) {
    const std::string name = "ULVO_COM" + std::to_string(n);
    ::setenv(name.c_str(), "/nonexistent/ulvo-bench-port", 1);
  }
  ::setenv("ULVO_COM5", online->PtyPath().c_str(), 1);
  ::setenv("ULVO_COM9", offline->PtyPath().c_str(), 1);

  Settings settings;
  ConsoleLinkUi ui("message: ", std::chrono::seconds(10), std::chrono::milliseconds(0));
  Link link(settings, ui, QtPortOpener());
  std::vector<double> times;
  int found = 0;
  for (int round = 0; round < kRounds; ++round) {
    PrinterSearch search(link);
    const auto start = Clock::now();
    search.Start();
    // The dialog's single-shot timer: the first step after 1 ms, each next one after the
    // delay the step returned.
    std::chrono::milliseconds next(1);
    while (!search.done()) {
      std::this_thread::sleep_for(next);
      next = search.Step();
    }
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    found = search.FoundCount();
    search.Cancel();
  }
  std::sort(times.begin(), times.end());
  std::printf("search ports=%d found=%d ms=%.0f\n", PrinterSearch::kLastPort, found,
              times[times.size() / 2]);
  return ui.messages == 0 && found == 2 ? 0 : 1;
}
