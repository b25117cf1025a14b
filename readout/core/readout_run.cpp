#include "readout/core/readout_run.h"

#include <chrono>
#include <cstdio>

#include "link/link.h"
#include "link/program_paths.h"
#include "readout/core/report_file.h"

namespace ulvo {

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kEnq = 0x05;
constexpr char kCan = 0x18;

ReadoutOutcome OutcomeOf(RecordCode code) {
  switch (code) {
    case RecordCode::kGood:
      return ReadoutOutcome::kDone;
    case RecordCode::kDamaged:
    case RecordCode::kFiscalMemory:
      return ReadoutOutcome::kFiscalMemory;
    case RecordCode::kAborted:
      return ReadoutOutcome::kAborted;
    default:
      return ReadoutOutcome::kTransmission;
  }
}

// One pass over the open port, at the transfer speed.
ReadoutOutcome RunPass(Link& link, FiscalReadoutPass& pass, const ReadoutRunOptions& options) {
  // Silence longer than this ends a record that stopped half way: three seconds, or fifty
  // byte times at a slow line (as in the program's transfer window).
  const auto baud = std::max<std::uint32_t>(link.PortSettings.BaudRate, 1);
  const auto silenceLimit = std::chrono::milliseconds(std::max<long>(3000, 50 * 10 * 1000 / baud));
  link.FlushInput();
  char enq = kEnq;
  if (link.SendBytes(&enq, 1)) return ReadoutOutcome::kTransmission;
  auto lastByte = Clock::now();
  char buffer[512];
  bool lineLost = false;
  while (!pass.Finished()) {
    const long got = link.ReadBytes(buffer, sizeof buffer, std::chrono::milliseconds(100));
    if (got < 0) {
      lineLost = true;
      pass.Stop(RecordCode::kBad);
      break;
    }
    if (got == 0) {
      if (Clock::now() - lastByte > silenceLimit) pass.Stop(RecordCode::kBad);
      continue;
    }
    lastByte = Clock::now();
    std::string_view bytes(buffer, static_cast<std::size_t>(got));
    while (!bytes.empty() && !pass.Finished()) {
      const FiscalReadoutPass::Step step = pass.Feed(bytes);
      bytes.remove_prefix(step.used);
      if (step.sendAck) {
        if (link.SendBytes(&enq, 1)) {
          pass.AckFailed();
          lineLost = true;
        }
        if (options.keepGoing && !options.keepGoing(pass.Received(), pass.Announced())) {
          pass.Stop(RecordCode::kAborted);
        }
      } else if (step.used == 0) {
        break;
      }
    }
  }
  char can = kCan;
  if (link.PortOpen()) link.SendBytes(&can, 1);
  const std::string message = RecordCodeMessage(pass.Code());
  if (!lineLost && !message.empty()) link.ui().ShowMessage(message);
  return lineLost ? ReadoutOutcome::kTransmission : OutcomeOf(pass.Code());
}

}  // namespace

ReadoutRunResult RunBlockingReadout(Link& link, const std::string& requestFrame,
                                    const ReadoutRequest& request, const ReadoutRunOptions& options,
                                    const std::filesystem::path& path) {
  ReadoutRunResult result;
  std::snprintf(link.TxBuf, sizeof link.TxBuf, "%s", requestFrame.c_str());
  if (link.SendFrame(link.TxBuf)) {
    result.outcome = ReadoutOutcome::kTransmission;
    return result;
  }
  ReportFile file;
  bool named = false;
  bool refusedAtOnce = true;
  result.outcome = ReadoutOutcome::kRefused;
  while (!link.CheckCommandResult()) {
    refusedAtOnce = false;
    link.SavePortSettings();
    link.ClosePort();
    link.PortSettings.BaudRate = options.transferBaud;
    link.PortSettings.XonXoff = 0;
    bool more = false;
    result.outcome = ReadoutOutcome::kTransmission;
    if (!link.OpenPort(true) && !options.busMode) {
      if (!file.IsOpen() && (MakeDirectory(path.parent_path().empty() ? "." : path.parent_path()) ||
                             file.Create(path))) {
        link.ui().ShowMessage("Nie mogę otworzy pliku do zapisu.");
        result.outcome = ReadoutOutcome::kFile;
      } else {
        FiscalReadoutPass pass(request, file);
        result.outcome = RunPass(link, pass, options);
        more = pass.MoreCurrencies();
        if (result.outcome == ReadoutOutcome::kDone) {
          const ReportNaming n = NamingOf(pass.Context(), options.mavito);
          if (!named) {
            result.naming = n;
            named = true;
          } else {
            result.naming.lastNumber = n.lastNumber;
            result.naming.lastDate = n.lastDate;
          }
        }
      }
    }
    link.ClosePort();
    link.RestorePortSettings();
    if (link.PortNumber != kNoPort && !link.PortIsLost()) link.OpenPort(true);
    ++result.passes;
    if (result.outcome != ReadoutOutcome::kDone || !more) break;
    file.SeparatorLines();
  }
  if (refusedAtOnce) return result;
  if (file.IsOpen()) {
    file.EndLine();
    if (file.Close() && result.outcome == ReadoutOutcome::kDone) {
      link.ui().ShowMessage("Nie mogę zapisać pliku " + path.filename().string() + ".");
      result.outcome = ReadoutOutcome::kFile;
    }
  }
  // Only a checked report stays: nothing of a failed one is left behind.
  if (result.outcome != ReadoutOutcome::kDone) file.Discard();
  return result;
}

}  // namespace ulvo
