#pragma once
// The command line of ulvo-cli, read without touching a port:
//   ulvo-cli --port PORT [--model mavito|altapro|alta] [--baud N] [--json]
//            [--capture FILE.pcap] COMMAND ...

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "readout/core/periodic_report_frames.h"

namespace ulvo {

// Exit statuses.
enum CliExit : int {
  kExitOk = 0,
  kExitRefused = 1,  // the printer refused (its error on stderr)
  kExitUsage = 2,
  kExitTransmission = 3,  // no answer, a transmission error, no port
  kExitFile = 4,
};

enum class CliCommand { kStatus, kInfo, kClock, kSend, kReadout, kSearch, kHelp, kVersion };

struct CliOptions {
  std::string port;   // as given: COM<n>, a device path, tcp://..., rfc2217://...
  int comNumber = 0;  // n of "COM<n>"; 0 for a path or an address
  std::uint8_t printerType = 2;
  std::uint32_t baud = 9600;
  bool json = false;
  std::string capture;  // a pcap file that records the command's traffic (empty: none)
  CliCommand command = CliCommand::kHelp;
  std::string frame;  // send
  // readout
  PeriodicReportFields readout;
  std::string output;
};

// Reads the arguments after the program name. Nothing, and a Polish reason in `error`, for a
// command line that does not make sense.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& args, std::string* error);

// The --help text.
std::string CliHelp();

}  // namespace ulvo
