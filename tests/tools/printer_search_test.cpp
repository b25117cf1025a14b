// The printer search: how a probe's answer is judged (literal bytes), and whole searches over
// in-process emulators standing at chosen COM numbers.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "link/link.h"
#include "sim/emulator.h"
#include "tests/support/environment.h"
#include "tests/support/scripted_link_ui.h"
#include "tests/tools/emulator_port.h"
#include "tools/core/printer_search.h"

namespace ulvo {
namespace {

using namespace std::string_literals;

TEST(PrinterSearchJudge, AnswersAndWhatTheyMean) {
  struct Case {
    const char* what;
    std::string answer;
    std::uint8_t printerType;
    int result;
    const char* name;
  } cases[] = {
      {"nothing", "", 2, 0, ""},
      {"off-line status byte alone", "\x70", 2, 2, ""},
      {"off-line with paper out", "\x72", 1, 2, ""},
      {"on-line status byte alone", "\x74", 2, 0, ""},
      {"not a status byte (an echo)", "\x10\x1BP1#v\x1B\\", 2, 0, ""},
      {"status and type", "\x74\x1BP1#RMavito/1.07\x1B\\", 2, 1, "Mavito"},
      {"Alta Pro", "\x76\x1BP1#RAlta Pro/3.10F\x1B\\", 1, 1, "Alta Pro"},
      {"name cut at 19", "\x74\x1BP1#RA very long printer name/1\x1B\\", 2, 1,
       "A very long printer"},
      {"name without version", "\x74\x1BP1#RMavito\x1B\\", 2, 1, "Mavito"},
      {"another reply", "\x74\x1BP1#E0\x1B\\", 2, 0, ""},
      {"Alta error reply", "\x1BP1#E0\x1B\\", 0, 2, ""},
      {"Alta, any number", "\x1BP1#E137\x1B\\", 0, 2, ""},
      {"Alta, noise first", "\x00\x1BP1#E0\x1B\\"s, 0, 0, ""},
      {"Alta probe, status byte", "\x70", 0, 0, ""},
  };
  for (const Case& c : cases) {
    const ProbeResult probe = JudgeProbeAnswer(c.answer, c.printerType);
    EXPECT_EQ(probe.result, c.result) << c.what;
    EXPECT_EQ(probe.name, c.name) << c.what;
  }
}

class PrinterSearchOverEmulators : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "ULVO_COM<n> names the ports on POSIX only; Windows has COM<n> itself";
#endif
    for (int n = 1; n <= 64; ++n) Name(n, "absent");
  }
  void TearDown() override {
    for (int n = 1; n <= 64; ++n) ulvo::testing::UnsetEnv(("ULVO_COM" + std::to_string(n)).c_str());
  }
  static void Name(int n, const std::string& device) {
    ulvo::testing::SetEnv(("ULVO_COM" + std::to_string(n)).c_str(), device.c_str());
  }
  Emulator& Add(int n, PrinterFamily family, bool offline = false) {
    SimOptions options;
    options.baud = 0;
    options.variant.family = family;
    options.offline = offline;
    const std::string device = "emulator" + std::to_string(n);
    emulators[device] = std::make_unique<Emulator>(options);
    Name(n, device);
    return *emulators[device];
  }
  Link& MakeLink() {
    link = std::make_unique<Link>(settings, ui, [this](const std::string& device) {
      auto it = emulators.find(device);
      ++opens[device];
      return it == emulators.end() ? nullptr : std::make_unique<EmulatorPort>(*it->second);
    });
    return *link;
  }
  // Runs the search to its end as the dialog's timer would (without the waits).
  void RunSearch(PrinterSearch& search) {
    search.Start();
    for (int steps = 0; !search.done() && steps < 1000; ++steps) search.Step();
    ASSERT_TRUE(search.done());
  }

  Settings settings;
  ScriptedLinkUi ui;
  std::map<std::string, std::unique_ptr<Emulator>> emulators;
  std::map<std::string, int> opens;
  std::unique_ptr<Link> link;
};

TEST_F(PrinterSearchOverEmulators, ListsNamedAndOfflinePrintersInPortOrder) {
  Add(9, PrinterFamily::kMavito, true);
  Add(5, PrinterFamily::kMavito);
  Emulator& last = Add(64, PrinterFamily::kMavito);
  Link& l = MakeLink();
  settings.PrinterType = 2;
  PrinterSearch search(l);
  RunSearch(search);
  const std::vector<FoundPrinter> list = search.List();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].port, 5);
  EXPECT_EQ(list[0].text, "COM5 - Mavito");
  EXPECT_EQ(list[1].port, 9);
  EXPECT_EQ(list[1].text, "COM9 - Drukarka nierozpoznana ponieważ znajduje się w trybie Off-line.");
  EXPECT_EQ(search.FoundCount(), 2);
  EXPECT_EQ(last.Control("get bytesin", {}), "ok 0");  // port 64 is never probed
  EXPECT_EQ(opens["emulator64"], 0);
  EXPECT_EQ(opens["absent"], 61);  // every other port tried once
  EXPECT_FALSE(l.PortOpen());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PrinterSearchOverEmulators, AltaFamilyIsAskedForItsLastError) {
  Emulator& alta = Add(3, PrinterFamily::kAlta);
  Add(4, PrinterFamily::kMavito, true);  // an off-line printer says nothing to #n
  Link& l = MakeLink();
  settings.PrinterType = 0;
  PrinterSearch search(l);
  RunSearch(search);
  const std::vector<FoundPrinter> list = search.List();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].text, "COM3 - Alta lub Alta Plus");
  EXPECT_EQ(alta.Control("get lastframe", {}), "ok " + std::string("30236E"));  // "0#n"
}

TEST_F(PrinterSearchOverEmulators, CancelAndChooseRestoreTheLineSettings) {
  Add(5, PrinterFamily::kMavito);
  Add(7, PrinterFamily::kMavito);
  Link& l = MakeLink();
  settings.PortNumber = 7;
  settings.PortSettings.BaudRate = 57600;
  settings.PortSettings.XonXoff = 1;
  settings.PortSettings.RtsCts = 1;
  ASSERT_FALSE(l.OpenPort(true));
  PrinterSearch search(l);
  search.Start();
  EXPECT_EQ(settings.PortSettings.XonXoff, 0);
  EXPECT_EQ(settings.PortSettings.RtsCts, 0);
  EXPECT_EQ(settings.PortNumber, kNoPort);
  for (int i = 0; i < 3; ++i) search.Step();  // half-way
  search.Cancel();
  EXPECT_EQ(settings.PortNumber, 7);
  EXPECT_EQ(settings.PortSettings.XonXoff, 1);
  EXPECT_EQ(settings.PortSettings.RtsCts, 1);
  EXPECT_TRUE(l.PortOpen());

  RunSearch(search);
  l.CashDataState = 1;
  search.Choose(5);
  EXPECT_EQ(settings.PortNumber, 5);
  EXPECT_TRUE(l.PortOpen());
  EXPECT_EQ(l.CashDataState, 2);
  EXPECT_EQ(settings.PortSettings.XonXoff, 1);
  EXPECT_EQ(settings.PortSettings.RtsCts, 1);
  EXPECT_EQ(settings.PortSettings.BaudRate, 57600u);
  search.Cancel();  // after a choice there is nothing left to undo
  EXPECT_EQ(settings.PortNumber, 5);
}

}  // namespace
}  // namespace ulvo
