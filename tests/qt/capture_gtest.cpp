// Captures of ulvo-cli's traffic with ulvo-sim on a pty: Debian's tshark with the dissector
// reads them as the program's own traffic decoder does, junk does not break the dissector,
// and the emulator's replay of a captured readout gives the same report.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "link/pcap_file.h"
#include "link/traffic_decoder.h"
#include "sim/sim_process.h"

namespace ulvo {
namespace {

namespace fs = std::filesystem;

const fs::path kBuild = fs::path(ULVO_SIM_PATH).parent_path();
const std::string kTshark =
    "tshark -n -r '%s' -X lua_script:'" + (kBuild / "ulvo.lua").string() +
    "' -o 'uat:user_dlts:\"User 0 (DLT=147)\",\"ulvo\",\"0\",\"\",\"0\",\"\"' ";

struct Output {
  int status = -1;
  std::string text;  // stdout and stderr
};

Output Shell(const std::string& command) {
  Output out;
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.text.append(buffer, n);
  const int status = pclose(pipe);
  out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

std::string Tshark(const fs::path& capture, const std::string& arguments) {
  char command[1024];
  std::snprintf(command, sizeof command, kTshark.c_str(), capture.c_str());
  // tshark warns on every start as root; the rest of what it says stays.
  const Output out =
      Shell("{ " + std::string(command) + arguments + "; } 2>&1 | grep -v '^Running as user'");
  return out.text;
}

std::string Cli(const SimProcess& sim, const fs::path& capture, const std::string& command) {
  return Shell((kBuild / "ulvo-cli").string() + " --port " + sim.PtyPath() + " --capture '" +
               capture.string() + "' " + command)
      .text;
}

// The decoder's rows of a capture in the dissector's fields: direction, command (or the status
// query), check right, error number.
std::string DecoderTable(const fs::path& capture) {
  const CaptureReading reading = ReadCaptureFile(capture);
  EXPECT_FALSE(reading.Failed()) << reading.error;
  TrafficDecoder decoder;
  for (const CapturedPacket& p : reading.packets) decoder.Feed(p.direction, p.bytes, p.time);
  decoder.Finish();
  EXPECT_EQ(decoder.rows().size(), reading.packets.size()) << "each packet is one row";
  std::string table;
  for (const TrafficRow& row : decoder.rows()) {
    std::string command = row.code;
    if (command.empty() && row.name.find("status ") != std::string::npos)
      command = row.name.substr(row.name.size() - 3);
    if (command.empty() && row.name.rfind("Status ", 0) == 0) command = row.name.substr(7);
    std::string error;
    if (row.detail == "brak błędu") error = "0";
    const std::string numbered = "błąd nr ";
    if (row.detail.rfind(numbered, 0) == 0)
      error = row.detail.substr(numbered.size(), row.detail.find(':') - numbered.size());
    const char* check = row.check == CheckVerdict::Right   ? "1"
                        : row.check == CheckVerdict::Wrong ? "0"
                                                           : "";
    table += std::string(row.direction == TrafficDirection::Out ? "0" : "1") + "\t" + command +
             "\t" + check + "\t" + error + "\n";
  }
  return table;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("ulvo-capture-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(Capture, TsharkWithTheDissectorReadsCommandsChecksAndErrorsAsTheDecoderDoes) {
  std::string error;
  auto sim = SimProcess::Start(ULVO_SIM_PATH, {"--baud", "0"}, &error);
  ASSERT_TRUE(sim) << error;
  // A refused clock correction (error 5 read back with #n) and a cash information reply whose
  // check is wrong.
  ASSERT_EQ(sim->Control("refuse 5 $c"), "ok");
  const fs::path refused = dir_ / "zegar.pcap", badCheck = dir_ / "info.pcap";
  EXPECT_NE(Cli(*sim, refused, "clock --set-from-pc").find("nr: 5"), std::string::npos);
  ASSERT_EQ(sim->Control("badcheck"), "ok");
  Cli(*sim, badCheck, "info");

  const std::string fields = "-T fields -e ulvo.dir -e ulvo.cmd -e ulvo.check_ok -e ulvo.error";
  for (const fs::path& capture : {refused, badCheck}) {
    SCOPED_TRACE(capture.filename().string());
    EXPECT_EQ(Tshark(capture, fields), DecoderTable(capture));
  }
  const std::string table = DecoderTable(refused);
  EXPECT_NE(table.find("0\t$c\t1\t\n0\tENQ\t\t\n1\tENQ\t\t\n0\t#n\t\t\n1\t#E\t\t5\n"),
            std::string::npos)
      << table;
  EXPECT_NE(DecoderTable(badCheck).find("1\t#X\t0\t"), std::string::npos);
  // The wrong check is an expert warning; the error number comes with its text.
  EXPECT_EQ(Tshark(badCheck, "-Y ulvo.check_wrong -T fields -e ulvo.cmd"), "#X\n");
  EXPECT_NE(Tshark(refused, "-V").find("Błąd operacji z zegarem RTC"), std::string::npos);
}

TEST_F(Capture, DissectorTakesJunkWithoutALuaError) {
  // Written by hand: pieces no program sends, directions other than 0 and 1, a packet with no
  // byte after the direction, frames cut short, wrong checks, numbers past any integer.
  const std::vector<std::string> packets = {
      std::string("\x00", 1),
      std::string(""),
      std::string("\x07\x1bP#", 4),
      std::string("\x01\x1bP", 3),
      std::string("\x01\x1bP1#E99999999999999999999\x1b\\", 28),
      std::string("\x01\x1bP2#X1;2;3ZZ\x1b\\", 15),
      std::string("\x00\x1bP#sFF\x1b\\", 9),
      std::string("\x00\x1bP$\x1b\\", 6),
      std::string("\x01\x10", 2),
      std::string("\x00\x05", 2),
      std::string("\x01\x1b", 2),
      std::string("\x01\xff\xfe\x1b\x1b\\\\", 7),
  };
  std::string file("\xd4\xc3\xb2\xa1\x02\x00\x04\x00\0\0\0\0\0\0\0\0\xff\xff\0\0\x93\0\0\0", 24);
  for (const std::string& p : packets) {
    const char length[4] = {static_cast<char>(p.size()), 0, 0, 0};
    file += std::string(8, '\0') + std::string(length, 4) + std::string(length, 4) + p;
  }
  const fs::path junk = dir_ / "smieci.pcap";
  std::ofstream(junk, std::ios::binary) << file;
  const std::string tree = Tshark(junk, "-V");
  EXPECT_EQ(tree.find("Lua Error"), std::string::npos) << tree;
  EXPECT_NE(tree.find("Frame 12:"), std::string::npos) << tree;
  EXPECT_EQ(Tshark(junk, "-Y ulvo.check_wrong -T fields -e ulvo.cmd"), "#X\n#s\n");
}

TEST_F(Capture, ReplayOfACapturedReadoutGivesTheSameReport) {
  const fs::path capture = dir_ / "odczyt.pcap";
  const std::string readout = "readout --numbers 1 20 -o ";
  {
    std::string error;
    auto sim =
        SimProcess::Start(ULVO_SIM_PATH, {"--baud", "115200", "--fiscal-reports", "20"}, &error);
    ASSERT_TRUE(sim) << error;
    Cli(*sim, capture, readout + (dir_ / "nagrany.txt").string());
  }
  std::string error;
  auto replay =
      SimProcess::Start(ULVO_SIM_PATH, {"--baud", "0", "--replay", capture.string()}, &error);
  ASSERT_TRUE(replay) << error;
  Cli(*replay, dir_ / "odtworzony.pcap", readout + (dir_ / "odtworzony.txt").string());
  const std::string recorded = ReadAll(dir_ / "nagrany.txt");
  EXPECT_NE(recorded.find("Nr rap.    20"), std::string::npos);
  EXPECT_EQ(ReadAll(dir_ / "odtworzony.txt"), recorded);
}

TEST_F(Capture, ReplayRefusesWhatIsNoCaptureOfThisLine) {
  const fs::path good = dir_ / "dobry.pcap";
  {
    std::string error;
    auto sim = SimProcess::Start(ULVO_SIM_PATH, {"--baud", "0"}, &error);
    ASSERT_TRUE(sim) << error;
    Cli(*sim, good, "status");
  }
  const std::string bytes = ReadAll(good);
  std::string otherLink = bytes;
  otherLink[20] = 1;  // Ethernet
  const fs::path huge = dir_ / "ogromny.pcap";
  std::ofstream(huge, std::ios::binary) << bytes;
  fs::resize_file(huge, kCaptureFileMax + 1);
  const struct {
    std::string name, bytes, reason;
  } cases[] = {
      {"uciety.pcap", bytes.substr(0, bytes.size() - 3), "jest uszkodzony albo ucięty (pakiet nr"},
      {"naglowek.pcap", bytes.substr(0, 10), "nie jest plikiem przechwycenia pcap"},
      {"ethernet.pcap", otherLink, "typ łącza 1 zamiast 147"},
      {"tekst.pcap", "COM 1\r\n", "nie jest plikiem przechwycenia pcap"},
      {"ogromny.pcap", "", "jest za duży (więcej niż 64 MB)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.bytes.empty()) std::ofstream(dir_ / c.name, std::ios::binary) << c.bytes;
    const Output out =
        Shell(std::string(ULVO_SIM_PATH) + " --replay '" + (dir_ / c.name).string() + "'");
    EXPECT_EQ(out.status, 1);
    EXPECT_NE(out.text.find(c.reason), std::string::npos) << out.text;
  }
}

}  // namespace
}  // namespace ulvo
