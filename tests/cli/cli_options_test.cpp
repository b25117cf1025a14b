// ulvo-cli's command line: what it takes, and what it refuses before touching a port.

#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace ulvo {
namespace {

std::optional<CliOptions> Parse(std::vector<std::string> args, std::string* error = nullptr) {
  return ParseCliOptions(args, error);
}

TEST(CliOptions, ReadsPortsCommandsAndRanges) {
  auto o = Parse({"--port", "COM12", "--model", "altapro", "--json", "status"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->comNumber, 12);
  EXPECT_EQ(o->printerType, 1);
  EXPECT_TRUE(o->json);
  EXPECT_EQ(o->command, CliCommand::kStatus);

  o = Parse({"--port", "rfc2217://10.1.1.1:2217", "readout", "--dates", "01-03-2026",
             "31-03-2026", "--summary", "--speed", "57600", "-o", "r.txt"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->comNumber, 0);
  EXPECT_EQ(o->readout.range, PeriodicReportFields::Range::kDates);
  EXPECT_EQ(o->readout.toDateText, "31-03-2026");
  EXPECT_FALSE(o->readout.fullReport);
  EXPECT_EQ(o->readout.baudRate, 57600u);
  EXPECT_EQ(o->output, "r.txt");
}

TEST(CliOptions, RefusesWhatMakesNoSense) {
  const std::vector<std::vector<std::string>> bad = {
      {"status"},
      {"--port", "COM65", "status"},
      {"--port", "COM1", "dance"},
      {"--port", "COM1", "--model", "epson", "status"},
      {"--port", "COM1", "status", "extra"},
      {"--port", "COM1", "clock"},
      {"--port", "COM1", "readout", "-o", "r.txt"},
      {"--port", "COM1", "readout", "--month", "03-2026"},
      {"--port", "COM1", "readout", "--month", "03-2026", "--numbers", "1", "2", "-o", "r"},
      {"--port", "COM1", "readout", "--numbers", "1", "x", "-o", "r"},
      {"--port", "COM1", "--baud", "0", "status"},
  };
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error)) << args.back();
    EXPECT_FALSE(error.empty()) << args.back();
  }
}

}  // namespace
}  // namespace ulvo
