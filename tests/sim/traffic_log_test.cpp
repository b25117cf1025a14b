// The emulator's traffic log: whole units however the line cut them, and the printer's word
// on each frame it took.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "link/frame.h"
#include "link/settings.h"
#include "sim/emulator.h"
#include "sim/traffic_log.h"

namespace ulvo {
namespace {

using Unit = TrafficSplitter::Unit;

std::vector<std::string> Shown(TrafficSplitter& s, std::vector<std::string_view> reads) {
  std::vector<std::string> out;
  for (std::string_view r : reads) {
    for (const Unit& u : s.Feed(r)) out.push_back((u.frame ? "F " : "- ") + LogText(u.bytes));
  }
  return out;
}

TEST(SimTrafficLog, FramesStayWholeAcrossReadsAndControlBytesStandAlone) {
  TrafficSplitter s;
  const auto units = Shown(s, {"\x05\x1BP2", "3#s", "\x1B", "\\\x10junk\x1BP0#n\x1B\\"});
  const std::vector<std::string> expected = {"- <ENQ>", "F <ESC>P23#s<ESC>\\", "- <DLE>", "- junk",
                                             "F <ESC>P0#n<ESC>\\"};
  EXPECT_EQ(units, expected);
}

TEST(SimTrafficLog, AnOverlongFrameIsShownCutWithItsLength) {
  TrafficSplitter s;
  const std::string body(TrafficSplitter::kShownBytes + 100, 'a');
  const auto units = s.Feed("\x1BP" + body + "\x1B\\");
  ASSERT_EQ(units.size(), 1u);
  EXPECT_TRUE(units[0].frame);
  EXPECT_EQ(units[0].size, body.size() + 4);
  const std::string line = TrafficLogLine(0, '<', units[0], "odrzucony: błąd 4");
  EXPECT_NE(line.find(" ... (" + std::to_string(body.size() + 4) + " bajtów)  [odrzucony: błąd 4]"),
            std::string::npos);
}

TEST(SimTrafficLog, FileHoldsOneLinePerFrameWithTheOutcome) {
  const auto path = std::filesystem::temp_directory_path() / "ulvo_sim_traffic_log_test.log";
  SimOptions options;
  options.baud = 0;
  {
    Emulator emu(options);
    TrafficLog log(path.string());
    char good[32];
    FormatFrame(good, sizeof good, "%cP1#exx%c%c", kEsc, kEsc, kBackslash);
    AddChecksum(good, sizeof good);
    // One read holds two frames, a third is split; the middle one has a wrong check.
    const std::string reads[] = {std::string(good) + "\x1BP1#e00\x1B\\\x1BP99#", "~\x1B\\"};
    for (const std::string& r : reads) {
      emu.OnInput(r, Emulator::Time{});
      log.In(r, emu.GetPrinter().TakeFrameNotes());
    }
    log.Out(emu.TakeOutput(Emulator::Time{}));
  }
  std::ifstream in(path);
  std::vector<std::string> tails;
  for (std::string line; std::getline(in, line);) tails.push_back(line.substr(13));
  in.close();  // Windows removes no open file
  std::filesystem::remove(path);
  ASSERT_EQ(tails.size(), 3u);
  EXPECT_EQ(tails[0].substr(0, 11), "< <ESC>P1#e");
  EXPECT_NE(tails[0].find("[przyjęty]"), std::string::npos);
  EXPECT_EQ(tails[1], "< <ESC>P1#e00<ESC>\\  [zły bajt kontrolny: błąd 2]");
  EXPECT_EQ(tails[2], "< <ESC>P99#~<ESC>\\  [odrzucony: błąd 0]");
}

TEST(SimTrafficLog, SettingsFileChoosesTheEmulatedModel) {
  const auto path = std::filesystem::temp_directory_path() / "ulvo_sim_settings_test.txt";
  struct Case {
    std::uint8_t type, bus, copy;
    PrinterFamily family;
    bool wantBus, wantCopy;
  };
  for (const Case& c : {Case{0, 0, 0, PrinterFamily::kAlta, false, false},
                        Case{1, 1, 0, PrinterFamily::kAltaPro, true, false},
                        Case{2, 0, 1, PrinterFamily::kMavito, false, true}}) {
    Settings s;
    s.PrinterType = c.type;
    s.BusMode = c.bus;
    s.ElectronicCopy = c.copy;
    ASSERT_FALSE(SaveSettings(s, path));
    std::string error;
    const auto o = ParseSimOptions({"--settings", path.string()}, &error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->variant.family, c.family);
    EXPECT_EQ(o->variant.bus, c.wantBus);
    EXPECT_EQ(o->variant.ecopy, c.wantCopy);
  }
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace ulvo
