// The fiscal memory readout against ulvo-sim over a real pty at 115200 baud, the emulator
// pacing its records to the line: 1000 daily reports without and with the electronic copy,
// through the transfer window itself. Prints the bytes carried, the time, and how much of the
// line's capacity in that time the readout used (the ENQ before every record costs a turn).

#include <sys/resource.h>
#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/console_link_ui.h"
#include "link/frame_list.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "readout/core/periodic_report_frames.h"
#include "readout/core/report_file.h"
#include "readout/fiscal_transfer_dialog.h"
#include "sim/fiscal_memory.h"
#include "sim/sim_process.h"

namespace {

using namespace ulvo;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kBaud = 115200;
constexpr int kReports = 1000;

long MaxRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

bool RunCase(bool ecopy) {
  std::vector<std::string> args = {"--baud", std::to_string(kBaud), "--fiscal-reports",
                                   std::to_string(kReports)};
  if (ecopy) args.push_back("--ecopy");
  std::string error;
  auto sim = SimProcess::Start(ULVO_SIM_PATH, args, &error);
  if (!sim) {
    std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
    return false;
  }
  ::setenv("ULVO_COM1", sim->PtyPath().c_str(), 1);
  Settings settings;
  settings.PortNumber = 1;
  settings.PortSettings.BaudRate = kBaud;
  settings.ElectronicCopy = ecopy ? 1 : 0;
  ConsoleLinkUi ui("message: ", std::chrono::seconds(10), std::chrono::milliseconds(0));
  Link link(settings, ui, QtPortOpener());
  if (link.OpenPort(true)) return false;

  // The bytes the emulator will send: its own stream of the same memory.
  PrinterState state = PowerOnState(PrinterVariant{PrinterFamily::kMavito, false, ecopy});
  GenerateFiscalMemory(state, kReports, 1, 0);
  FiscalRange range;
  range.kind = FiscalRange::Kind::kNumbers;
  range.fromNumber = 1;
  range.toNumber = kReports;
  std::size_t bytes = 0;
  const auto passes = BuildFiscalStream(state, range, std::chrono::system_clock::now());
  for (const std::string& record : passes.front()) bytes += record.size();

  PeriodicReportFields fields;
  fields.range = PeriodicReportFields::Range::kNumbers;
  fields.fromNumber = "1";
  fields.toNumber = std::to_string(kReports);
  fields.baudRate = kBaud;
  ReadoutRequest request;
  const FrameList frames = BuildPeriodicReadout(fields, request);
  request.ecopy = ecopy;
  request.todayText = "08.12.2026";
  std::snprintf(link.TxBuf, sizeof link.TxBuf, "%s", frames.frames.front().c_str());
  if (link.SendFrame(link.TxBuf) || link.CheckCommandResult()) return false;

  QTemporaryDir dir;
  ReportFile file;
  const long rssBefore = MaxRssKb();
  const auto start = Clock::now();
  bool ok = false;
  {
    TPobieranieFiskalnejSklepu transfer(link, file, dir.filePath("OdczytFiskPrTemp.txt"), request,
                                        nullptr);
    transfer.exec();
    ok = transfer.pass().Succeeded();
  }
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  file.Close();
  const double lineBytes = kBaud / 10.0 * ms / 1000.0;
  std::printf(
      "readout reports=%d ecopy=%d bytes=%zu ms=%.0f line_rate_ratio=%.3f ok=%d "
      "maxrss_kb_before=%ld maxrss_kb_after=%ld\n",
      kReports, ecopy ? 1 : 0, bytes, ms, bytes / lineBytes, ok ? 1 : 0, rssBefore, MaxRssKb());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const bool plain = RunCase(false);
  const bool ecopy = RunCase(true);
  return plain && ecopy ? 0 : 1;
}
