#pragma once
// The fiscal memory readout without a window, for the command-line program and the tests:
// the request frame, then one pass per accounting currency with the port at the transfer
// speed (and back afterwards), the records read as they come and acknowledged, the report
// written to a file that is left behind only when every pass checked out.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "readout/core/fiscal_readout.h"
#include "readout/core/report_names.h"

namespace ulvo {

class Link;

enum class ReadoutOutcome {
  kDone,
  kRefused,       // the printer did not take the request (its error has been told)
  kTransmission,  // silence, a bad record, sums that differ, a lost line
  kFiscalMemory,  // a damaged record outside emergency mode, a closing status not 0
  kFile,          // the report file could not be written
  kAborted,       // `keepGoing` said stop
};

struct ReadoutRunResult {
  ReadoutOutcome outcome = ReadoutOutcome::kTransmission;
  unsigned passes = 0;
  ReportNaming naming;  // for a finished readout
};

struct ReadoutRunOptions {
  std::uint32_t transferBaud = 115200;
  bool busMode = false;
  bool mavito = true;
  // Called after every record with (received, announced); false stops the readout.
  std::function<bool(std::uint32_t, std::uint32_t)> keepGoing;
};

// Sends `requestFrame` (a checked frame, as BuildPeriodicReadout makes it) and reads the
// readout into `file`. The link's messages tell the user what failed, once.
ReadoutRunResult RunBlockingReadout(Link& link, const std::string& requestFrame,
                                    const ReadoutRequest& request, const ReadoutRunOptions& options,
                                    const std::filesystem::path& file);

}  // namespace ulvo
