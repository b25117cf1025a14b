// The fiscal memory readout at 115200 baud from ulvo-sim, once over its pty and once through
// Debian's ser2net as an RFC 2217 server on 127.0.0.1, 1000 daily reports each; then how long
// `ulvo-cli status` takes from start to exit. Prints one line per figure.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QTcpServer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "link/console_link_ui.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "readout/core/periodic_report_frames.h"
#include "readout/core/readout_run.h"
#include "sim/fiscal_memory.h"
#include "sim/sim_process.h"

namespace {

using namespace ulvo;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::uint32_t kBaud = 115200;
constexpr int kReports = 1000;

int FreePort() {
  QTcpServer server;
  server.listen(QHostAddress::LocalHost, 0);
  return server.serverPort();
}

// One readout through `address`; prints its line. False when it failed.
bool Readout(const char* transport, const std::string& address, const fs::path& file) {
  Settings settings;
  settings.PortNumber = 1;
  settings.PortAddresses[1] = address;
  ConsoleLinkUi ui("message: ", std::chrono::seconds(10), std::chrono::milliseconds(0));
  Link link(settings, ui, QtPortOpener());
  if (link.OpenPort(true)) return false;
  PeriodicReportFields fields;
  fields.range = PeriodicReportFields::Range::kNumbers;
  fields.fromNumber = "1";
  fields.toNumber = std::to_string(kReports);
  ReadoutRequest request;
  const FrameList frames = BuildPeriodicReadout(fields, request);
  request.todayText = "09.12.2026";
  if (frames.Refused()) {
    std::fprintf(stderr, "%s\n", frames.error.c_str());
    return false;
  }
  const auto start = Clock::now();
  const ReadoutRunResult result =
      RunBlockingReadout(link, frames.frames.front(), request, ReadoutRunOptions{}, file);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  // What the printer sent: its own stream of the same memory.
  PrinterState state = PowerOnState(PrinterVariant{PrinterFamily::kMavito, false, false});
  GenerateFiscalMemory(state, kReports, 1, 0);
  FiscalRange range;
  range.kind = FiscalRange::Kind::kNumbers;
  range.fromNumber = 1;
  range.toNumber = kReports;
  double bytes = 0;
  const auto passes = BuildFiscalStream(state, range, std::chrono::system_clock::now());
  for (const std::string& record : passes.front()) bytes += static_cast<double>(record.size());
  std::printf("readout transport=%s reports=%d ms=%.0f line_rate_ratio=%.3f ok=%d\n", transport,
              kReports, ms, bytes / (kBaud / 10.0 * ms / 1000.0),
              result.outcome == ReadoutOutcome::kDone ? 1 : 0);
  return result.outcome == ReadoutOutcome::kDone;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::string error;
  auto sim = SimProcess::Start(
      ULVO_SIM_PATH,
      {"--baud", std::to_string(kBaud), "--fiscal-reports", std::to_string(kReports)}, &error);
  if (!sim) {
    std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
    return 1;
  }
  const fs::path dir = fs::temp_directory_path() / ("ulvo_bench_net_" + std::to_string(getpid()));
  fs::create_directories(dir);
  bool ok = Readout("pty", sim->PtyPath(), dir / "pty.txt");

  const int port = FreePort();
  std::ofstream(dir / "ser2net.yaml")
      << "connection: &rfc\n  accepter: telnet(rfc2217),tcp(nodelay),127.0.0.1," << port
      << "\n  connector: serialdev," << sim->PtyPath() << ",9600n81,local\n"
      << "  options:\n    chardelay: false\n";
  const pid_t ser2net = fork();
  if (ser2net == 0) {
    freopen("/dev/null", "w", stderr);
    const std::string config = (dir / "ser2net.yaml").string();
    execlp("ser2net", "ser2net", "-n", "-c", config.c_str(), "-P", (dir / "ser2net.pid").c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  // Ready when it listens; a few tries at most.
  bool listening = false;
  for (int i = 0; i < 100 && !listening; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream table("/proc/net/tcp");
    char local[16];
    std::snprintf(local, sizeof local, "0100007F:%04X", port);
    for (std::string line; std::getline(table, line);)
      if (line.find(local) != std::string::npos && line.find(" 0A ") != std::string::npos)
        listening = true;
  }
  if (!listening) {
    std::fprintf(stderr, "ser2net did not start (is it installed?)\n");
    ok = false;
  } else {
    ok = Readout("rfc2217", "rfc2217://127.0.0.1:" + std::to_string(port), dir / "net.txt") && ok;
  }
  kill(ser2net, SIGTERM);
  waitpid(ser2net, nullptr, 0);

  // ulvo-cli status, start to exit, the best of five.
  const std::string cli = (fs::path(ULVO_SIM_PATH).parent_path() / "ulvo-cli").string();
  const std::string command = cli + " --port " + sim->PtyPath() + " status > /dev/null";
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0) ok = false;
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::printf("cli status ms=%.1f\n", best);
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return ok ? 0 : 1;
}
