// Raw binary transfer against an emulator in this process that loops every byte back.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>

#include "link/link.h"
#include "sim/emulator.h"
#include "tests/support/environment.h"
#include "tests/support/scripted_link_ui.h"
#include "tests/tools/emulator_port.h"
#include "tools/core/binary_transfer.h"

namespace ulvo {
namespace {

namespace fs = std::filesystem;

class BinaryTransferOverLoopback : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("ulvo-binary-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    ulvo::testing::SetEnv("ULVO_COM1", "loopback");
    SimOptions options;
    options.baud = 0;
    emulator = std::make_unique<Emulator>(options);
    ASSERT_EQ(emulator->Control("echo on", {}), "ok");
    settings.PortNumber = 1;
    link = std::make_unique<Link>(settings, ui, [this](const std::string&) {
      ++opens;
      return portThere ? std::make_unique<EmulatorPort>(*emulator) : nullptr;
    });
    ASSERT_FALSE(link->OpenPort(true));
  }
  void TearDown() override {
    ulvo::testing::UnsetEnv("ULVO_COM1");
    fs::remove_all(dir);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir;
  Settings settings;
  ScriptedLinkUi ui;
  std::unique_ptr<Emulator> emulator;
  std::unique_ptr<Link> link;
  int opens = 0;
  bool portThere = true;  // false: the port cannot be opened (adapter pulled out)
};

TEST_F(BinaryTransferOverLoopback, EmptyFileEndsOnTheFirstTick) {
  BinaryTransfer transfer(*link);
  transfer.Begin();
  std::string error;
  ASSERT_TRUE(transfer.StartSend(Write("empty.bin", ""), error));
  EXPECT_EQ(transfer.ProgressText(), "Wysłaono: 0.00%");
  EXPECT_TRUE(transfer.Tick().sendEnded);
  EXPECT_FALSE(transfer.sending());
  EXPECT_EQ(emulator->Control("get bytesin", {}), "ok 0");
}

TEST_F(BinaryTransferOverLoopback, BlocksOf512ComeBackIdenticalIntoTheReceiveFile) {
  std::string data(1300, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
  BinaryTransfer transfer(*link);
  transfer.Begin();
  std::string error;
  bool portLost = false;
  const std::string out = (dir / "out.bin").string();
  ASSERT_TRUE(transfer.StartReceive(out, error, portLost));
  ASSERT_TRUE(transfer.StartSend(Write("in.bin", data), error));
  EXPECT_EQ(transfer.sendSize(), 1300u);
  const char* progress[] = {"Wysłaono: 39.38%", "Wysłaono: 78.77%", "Wysłaono: 100.00%"};
  for (const char* text : progress) {
    const BinaryTransfer::TickResult tick = transfer.Tick();
    ASSERT_FALSE(tick.sendEnded);
    ASSERT_FALSE(tick.receiveEnded) << tick.error;
    EXPECT_EQ(transfer.ProgressText(), text);
    // What came back is on disc at once, while the receive runs.
    EXPECT_EQ(transfer.bytesReceived(), static_cast<std::int32_t>(transfer.bytesSent()));
    EXPECT_EQ(Read(out), data.substr(0, transfer.bytesSent()));
  }
  EXPECT_TRUE(transfer.Tick().sendEnded);
  EXPECT_EQ(transfer.bytesReceived(), 1300);
  EXPECT_EQ(transfer.ReceivedText(), "Odebrano 1300 bajtów.");
  EXPECT_EQ(Read(out), data);
  EXPECT_FALSE(transfer.EndReceive());
  EXPECT_FALSE(transfer.receiving());
}

TEST_F(BinaryTransferOverLoopback, SoftwareFlowControlIsOffOnlyWhileReceiving) {
  settings.PortSettings.XonXoff = 1;
  BinaryTransfer transfer(*link);
  transfer.Begin();
  std::string error;
  bool portLost = false;
  const int before = opens;
  ASSERT_TRUE(transfer.StartReceive((dir / "out.bin").string(), error, portLost));
  EXPECT_EQ(settings.PortSettings.XonXoff, 0);
  EXPECT_EQ(opens, before + 1);
  EXPECT_TRUE(link->PortOpen());
  EXPECT_FALSE(transfer.EndReceive());
  EXPECT_EQ(settings.PortSettings.XonXoff, 1);
  EXPECT_EQ(opens, before + 2);
  EXPECT_TRUE(link->PortOpen());
}

TEST_F(BinaryTransferOverLoopback, SoftwareFlowControlComesBackOnEveryWayOut) {
  enum class Way { Stopped, PortGoneAtStart, PortGoneAtEnd, Destroyed };
  struct Case {
    Way way;
    bool started;  // the receive ran
    bool portOpen;
  } cases[] = {
      {Way::Stopped, true, true},
      {Way::PortGoneAtStart, false, false},
      {Way::PortGoneAtEnd, true, false},
      {Way::Destroyed, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.way));
    settings.PortNumber = 1;
    settings.PortSettings.XonXoff = 1;
    portThere = true;
    ASSERT_FALSE(link->OpenPort(true));
    auto transfer = std::make_unique<BinaryTransfer>(*link);
    transfer->Begin();
    std::string error;
    bool portLost = false;
    portThere = c.way != Way::PortGoneAtStart;
    EXPECT_EQ(transfer->StartReceive((dir / "out.bin").string(), error, portLost), c.started);
    EXPECT_EQ(portLost, !c.started);
    if (c.started) {
      EXPECT_EQ(settings.PortSettings.XonXoff, 0);
    }
    portThere = c.way != Way::PortGoneAtEnd;
    if (c.way == Way::Stopped || c.way == Way::PortGoneAtEnd) {
      EXPECT_EQ(transfer->EndReceive(), !c.portOpen);
    }
    if (c.way == Way::Destroyed) link->ClosePort();  // the program ends with it running
    transfer.reset();
    EXPECT_EQ(settings.PortSettings.XonXoff, 1);
    EXPECT_EQ(link->PortOpen(), c.portOpen);
  }
}

#ifndef _WIN32
// A full disc: tests/qt/testtools_qtest.cpp, with the dialog and its message box.
TEST_F(BinaryTransferOverLoopback, AReceiveFileThatDisappearsStopsTheReceive) {
  BinaryTransfer transfer(*link);
  transfer.Begin();
  std::string error;
  bool portLost = false;
  const std::string out = (dir / "out.bin").string();
  ASSERT_TRUE(transfer.StartReceive(out, error, portLost));
  ASSERT_TRUE(transfer.StartSend(Write("in.bin", std::string(1024, 'y')), error));
  ASSERT_FALSE(transfer.Tick().receiveEnded);
  EXPECT_EQ(Read(out), std::string(512, 'y'));
  fs::remove(out);
  const BinaryTransfer::TickResult tick = transfer.Tick();
  EXPECT_TRUE(tick.receiveEnded);
  EXPECT_EQ(tick.error, "Plik " + out +
                            " zniknął w trakcie odbierania (usunięty albo nośnik odłączony). "
                            "Odbieranie przerwane.");
  EXPECT_FALSE(transfer.receiving());
}
#endif

TEST_F(BinaryTransferOverLoopback, FilesThatCannotBeUsedAreNamed) {
  BinaryTransfer transfer(*link);
  transfer.Begin();
  std::string error;
  const std::string missing = (dir / "brak.bin").string();
  EXPECT_FALSE(transfer.FileSize(missing, error));
  EXPECT_EQ(error, "Nie mogę otworzyc pliku" + missing + ".");
  EXPECT_FALSE(transfer.StartSend(missing, error));
  EXPECT_FALSE(transfer.sending());
  bool portLost = false;
  const std::string nowhere = (dir / "no-such-dir" / "out.bin").string();
  EXPECT_FALSE(transfer.StartReceive(nowhere, error, portLost));
  EXPECT_EQ(error, "Nie mogę utworzyć pliku" + nowhere + ".");
  EXPECT_FALSE(portLost);
  EXPECT_FALSE(transfer.receiving());
  EXPECT_EQ(transfer.FileSize(Write("five.bin", "12345"), error), 5u);
}

}  // namespace
}  // namespace ulvo
