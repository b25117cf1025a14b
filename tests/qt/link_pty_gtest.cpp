// The link over the Qt serial port on a real pseudo-terminal, against ulvo-sim.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/frame.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "link/transmission_log.h"
#include "sim/sim_process.h"
#include "tests/support/scripted_link_ui.h"

namespace ulvo {
namespace {

using std::chrono::milliseconds;

// QSerialPort wants an application object for its notifiers.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "link_pty_gtest";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QCoreApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QCoreApplication> app_;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr int kPort = 7;

// A scripted user who does something at the start of a wait: what a person might do while
// the dialog is up, or what the printer does meanwhile.
class ActingUi : public ScriptedLinkUi {
 public:
  std::function<void()> onReplyWait;
  std::function<void()> onReadyWait;
  bool RunReplyWait(ReplyWaitTask& task) override {
    if (onReplyWait) onReplyWait();
    return ScriptedLinkUi::RunReplyWait(task);
  }
  bool RunReadyWait(ReadyWaitTask& task) override {
    if (onReadyWait) onReadyWait();
    return ScriptedLinkUi::RunReadyWait(task);
  }
};

class LinkOverPty : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args = {}) {
    std::string error;
    sim_ = SimProcess::Start(ULVO_SIM_PATH, args, &error);
    ASSERT_TRUE(sim_) << error;
    ::setenv(("ULVO_COM" + std::to_string(kPort)).c_str(), sim_->PtyPath().c_str(), 1);
    settings_.PortNumber = kPort;
    link_ = std::make_unique<Link>(settings_, ui_, QtPortOpener());
    ASSERT_FALSE(link_->OpenPort(true)) << (ui_.messages.empty() ? "" : ui_.messages[0]);
  }
  int Frames() { return std::atoi(Control("get frames").c_str() + 3); }
  std::string Control(const std::string& command) { return sim_->Control(command); }
  std::string LastFrameHex() { return Control("get lastframe").substr(3); }
  // The emulator reports a frame without its ESC 'P' and ESC '\\', in upper-case hex.
  static std::string BodyHex(const std::string& frame) {
    std::string out;
    char two[3];
    for (unsigned char c : frame.substr(2, frame.size() - 4)) {
      std::snprintf(two, sizeof two, "%02X", c);
      out += two;
    }
    return out;
  }
  // Paper feed, the simplest command that changes nothing.
  bool SendPaperFeed() {
    FormatFrame(link_->TxBuf, kTxBufSize, "%cP1#lxx%c%c", kEsc, kEsc, kBackslash);
    AddChecksum(link_->TxBuf);
    return link_->SendFrame(link_->TxBuf);
  }

  Settings settings_;
  ActingUi ui_;
  std::unique_ptr<SimProcess> sim_;
  std::unique_ptr<Link> link_;
};

TEST_F(LinkOverPty, NoPortChosenSendsNothing) {
  Start();
  settings_.PortNumber = kNoPort;
  EXPECT_TRUE(SendPaperFeed());
  EXPECT_TRUE(link_->QueryEnq());
  link_->ReadCashInfo();
  EXPECT_TRUE(link_->CheckCommandResult());
  EXPECT_EQ(ui_.messages, std::vector<std::string>(3, "Nie wybrano portu komunikacyjnego."));
  EXPECT_EQ(ui_.replyWaits, 0);
  EXPECT_EQ(Frames(), 0);
}

TEST_F(LinkOverPty, EverySettingOpensOnAPty) {
  Start();
  for (std::uint8_t parity = 0; parity <= 4; ++parity) {
    for (std::uint8_t stop = 0; stop <= 2; ++stop) {
      settings_.PortSettings = {115200,
                                8,
                                parity,
                                stop,
                                static_cast<std::uint8_t>(stop == 1),
                                static_cast<std::uint8_t>(parity == 3)};
      settings_.PortNumber = kPort;
      EXPECT_FALSE(link_->OpenPort(true)) << int(parity) << "/" << int(stop);
    }
  }
  for (std::uint32_t baud : {110u, 128000u, 256000u}) {
    settings_.PortSettings = {baud, 7, 2, 0, 0, 0};
    EXPECT_FALSE(link_->OpenPort(true)) << baud;
  }
  EXPECT_TRUE(ui_.messages.empty());
  settings_.PortSettings = LineSettings{};
  ASSERT_FALSE(link_->OpenPort(true)) << ui_.messages.back();
  ASSERT_FALSE(link_->QueryEnq());
  EXPECT_EQ(link_->ReplyReceived, 1);
  EXPECT_EQ(link_->EnqStatus & 0xF0, 0x60);
}

TEST_F(LinkOverPty, MissingDeviceIsReportedWithItsNumber) {
  Start();
  ::setenv(("ULVO_COM" + std::to_string(kPort)).c_str(), "/dev/ulvo-no-such-port", 1);
  EXPECT_TRUE(link_->OpenPort(true));
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Nie mogę otworzyć portu COM7."});
  EXPECT_EQ(settings_.PortNumber, kNoPort);
}

TEST_F(LinkOverPty, CommandAndItsResult) {
  Start();
  ASSERT_FALSE(SendPaperFeed());
  EXPECT_FALSE(link_->CheckCommandResult());
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(Frames(), 1);  // no "#n": the status byte said carried out

  // Not carried out, and "#n" answers 0: still a success, silently.
  ASSERT_EQ(Control("refuse 0"), "ok");
  ASSERT_FALSE(SendPaperFeed());
  EXPECT_FALSE(link_->CheckCommandResult());
  EXPECT_EQ(link_->LastErrorCode, 0);
  EXPECT_TRUE(ui_.messages.empty());

  ASSERT_EQ(Control("refuse 3"), "ok");
  ASSERT_FALSE(SendPaperFeed());
  EXPECT_TRUE(link_->CheckCommandResult());
  EXPECT_EQ(link_->LastErrorCode, 3);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Wystąpił bład nr: 3: Zła ilość parametrów."});
  EXPECT_EQ(ui_.beeps, 1);
}

TEST_F(LinkOverPty, StatusBytesFollowThePrinter) {
  Start();
  ASSERT_EQ(Control("paperout on"), "ok");
  ASSERT_FALSE(link_->QueryDle());
  EXPECT_EQ(link_->DleStatus, 0x70 | 0x04 | 0x02);
  ASSERT_EQ(Control("online off"), "ok");
  ASSERT_EQ(Control("paperout off"), "ok");
  ASSERT_FALSE(link_->QueryDle());
  EXPECT_EQ(link_->DleStatus, 0x70);
  EXPECT_EQ(link_->SingleByteReply, 0);
}

TEST_F(LinkOverPty, SingleByteWaitEndsOnTheFirstReadEvenWithMoreBytes) {
  Start({"--baud", "0"});
  ASSERT_EQ(Control("garbage 5"), "ok");
  ASSERT_FALSE(link_->QueryEnq());
  EXPECT_EQ(link_->ReplyReceived, 1);
  EXPECT_EQ(link_->ReplyMissing, 0);
  EXPECT_GE(link_->RxLength(), 1u);
  EXPECT_EQ(link_->EnqStatus, static_cast<std::uint8_t>(link_->RxBuf[0]));
  EXPECT_EQ(link_->SingleByteReply, 0);
}

TEST_F(LinkOverPty, EndTestLooksOnlyAtTheLastTwoBytes) {
  Start();
  ui_.replyWaitLimit = milliseconds(3000);
  ASSERT_EQ(Control("trailing 3"), "ok");
  link_->ReadClock();
  EXPECT_EQ(link_->ReplyMissing, 1);
  EXPECT_EQ(link_->ReplyReceived, 0);
  // The reply itself did arrive: ESC '\' is in the buffer, just not at its end.
  const std::string got(link_->RxBuf, link_->RxLength());
  EXPECT_NE(got.find("\x1b\\"), std::string::npos);
  EXPECT_NE(got.substr(got.size() - 2), "\x1b\\");
}

TEST_F(LinkOverPty, LongReplyCompletesWithoutItsEnd) {
  Start({"--baud", "115200"});
  ASSERT_EQ(Control("longreply 6000"), "ok");
  FormatFrame(link_->TxBuf, kTxBufSize, "%cP0#cxx%c%c", kEsc, kEsc, kBackslash);
  AddChecksum(link_->TxBuf);
  ASSERT_FALSE(link_->SendFrame(link_->TxBuf));
  link_->WaitForReply();
  EXPECT_EQ(link_->ReplyReceived, 1);
  EXPECT_EQ(link_->ReplyMissing, 0);
  EXPECT_GT(link_->RxLength(), kReplyCompleteAt);
  EXPECT_LE(link_->RxLength(), kReplyKeepMax);
  EXPECT_GT(ui_.lastReplyBytes, 200u);  // the dialog shows its count from 200 on

  // Filler is no clock reading: the query counts it as no reply.
  ASSERT_EQ(Control("longreply 6000"), "ok");
  link_->ReadClock();
  EXPECT_EQ(link_->ReplyMissing, 1);
}

TEST_F(LinkOverPty, AbortLeavesTheReplyMissing) {
  Start();
  ASSERT_EQ(Control("noanswer on"), "ok");
  ui_.abortReplyWaits = true;
  link_->ReadClock();
  EXPECT_EQ(link_->ReplyMissing, 1);
  EXPECT_EQ(link_->ReplyReceived, 0);
  ASSERT_FALSE(SendPaperFeed());
  EXPECT_TRUE(link_->CheckCommandResult());
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(LinkOverPty, GarbageBeforeAReplyIsPassedOver) {
  Start();
  ASSERT_EQ(Control("garbage 7"), "ok");
  link_->ReadClock();
  ASSERT_EQ(link_->ReplyReceived, 1);
  EXPECT_EQ(link_->ClockCentury, 20);
  EXPECT_GE(link_->ClockMonth, 1);
  EXPECT_LE(link_->ClockMonth, 12);

  ASSERT_EQ(Control("garbage 3"), "ok");
  link_->ReadTypeAndVersion();
  ASSERT_EQ(link_->ReplyReceived, 1);
  const std::string expected = Control("get typeversion").substr(3);
  EXPECT_EQ(std::string(link_->TypeText) + "/" + link_->VersionText, expected);
}

TEST_F(LinkOverPty, StaleInputIsDrainedBeforeAQuery) {
  Start({"--baud", "0"});
  ASSERT_EQ(Control("garbage 40"), "ok");
  char query[] = "\x1bP0#n\x1b\\";
  ASSERT_FALSE(link_->SendFrame(query));
  // Its answer is never waited for; the next query must not take it for its own.
  for (int i = 0; i < 500 && Frames() == 0; ++i) std::this_thread::sleep_for(milliseconds(5));
  ASSERT_FALSE(SendPaperFeed());
  EXPECT_FALSE(link_->CheckCommandResult());
  EXPECT_EQ(link_->RxLength(), 1u);
  EXPECT_EQ(link_->EnqStatus & 0xF4, 0x64);
}

TEST_F(LinkOverPty, PrinterThatTakesNothingFailsSilentlyWithoutFlowControl) {
  Start({"--baud", "115200"});
  settings_.PortSettings.BaudRate = 115200;
  ASSERT_FALSE(link_->OpenPort(true));
  ASSERT_EQ(Control("stopread on"), "ok");
  std::vector<char> data(512 * 1024, 'A');
  EXPECT_TRUE(link_->SendBytes(data.data(), data.size()));
  EXPECT_EQ(data[0], '\0');
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.readyWaits, 0);
  EXPECT_EQ(settings_.PortNumber, kPort);
  EXPECT_TRUE(link_->PortOpen());
}

TEST_F(LinkOverPty, XoffBringsTheReadyWaitAndAbortFailsTheWrite) {
  Start();
  settings_.PortSettings.XonXoff = 1;
  ASSERT_FALSE(link_->OpenPort(true));
  ASSERT_EQ(Control("xoff"), "ok");
  ui_.abortReadyWaits = true;
  // The XOFF reaches the line discipline a moment after the emulator wrote it; until then
  // frames still go through.
  for (int i = 0; i < 300 && ui_.readyWaits == 0; ++i) {
    if (SendPaperFeed()) break;
    std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_EQ(ui_.readyWaits, 1);
  EXPECT_EQ(link_->TxBuf[0], '\0');
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(settings_.PortNumber, kPort);
}

TEST_F(LinkOverPty, XonReleasesTheReadyWaitAndTheFrameArrivesWhole) {
  Start();
  settings_.PortSettings.XonXoff = 1;
  ASSERT_FALSE(link_->OpenPort(true));
  ASSERT_EQ(Control("xoff"), "ok");
  ui_.onReadyWait = [this] { EXPECT_EQ(Control("xon"), "ok"); };
  std::string sent;
  bool failed = false;
  for (int i = 0; i < 300 && ui_.readyWaits == 0 && !failed; ++i) {
    FormatFrame(link_->TxBuf, kTxBufSize, "%cP%d#lxx%c%c", kEsc, 1 + i % 9, kEsc, kBackslash);
    AddChecksum(link_->TxBuf);
    sent = link_->TxBuf;
    failed = link_->SendFrame(link_->TxBuf);
    if (ui_.readyWaits == 0) std::this_thread::sleep_for(milliseconds(10));
  }
  ASSERT_FALSE(failed);
  ASSERT_EQ(ui_.readyWaits, 1);
  EXPECT_FALSE(link_->CheckCommandResult());
  // The frame written across the hold arrived once and whole.
  EXPECT_EQ(LastFrameHex(), BodyHex(sent));
}

TEST_F(LinkOverPty, CommandFileWithoutFinalLineEndSendsAllButTheLast) {
  Start();
  const std::string text = "1#l\r\n2#l\r\n<CR>3#l";
  EXPECT_FALSE(link_->SendCommandFile(text.c_str()));
  EXPECT_EQ(Frames(), 2);
  std::string second = "\x1bP2#lXX\x1b\\";
  AddChecksum(second.data(), second.size() + 1);
  EXPECT_EQ(LastFrameHex(), BodyHex(second.c_str()));
}

TEST_F(LinkOverPty, LineErrorClosesThePortOnce) {
  Start();
  ASSERT_EQ(Control("disconnect"), "ok");
  sim_.reset();  // waits for it to go
  EXPECT_TRUE(SendPaperFeed());
  EXPECT_EQ(link_->TxBuf[0], '\0');
  EXPECT_EQ(settings_.PortNumber, kNoPort);
  EXPECT_FALSE(link_->PortOpen());
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Wystąpił błąd transmisji."});
  EXPECT_TRUE(SendPaperFeed());
  EXPECT_EQ(ui_.messages.back(), "Nie wybrano portu komunikacyjnego.");
}

TEST_F(LinkOverPty, PrinterVanishingMidWaitEndsTheWaitWithOneReport) {
  Start();
  ASSERT_EQ(Control("noanswer on"), "ok");
  ui_.replyWaitLimit = milliseconds(20000);
  ui_.onReplyWait = [this] { sim_->Kill(); };
  link_->ReadClock();
  EXPECT_EQ(link_->ReplyMissing, 1);
  EXPECT_EQ(link_->ReplyReceived, 0);
  EXPECT_EQ(settings_.PortNumber, kNoPort);
  EXPECT_FALSE(link_->PortOpen());
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Wystąpił błąd transmisji."});
  // Nothing left behind in the event loop to storm.
  QCoreApplication::processEvents();
  EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(LinkOverPty, WakeupAnnouncesDataSoAWaitNeedNotPoll) {
  Start();
  link_->ClosePort();
  auto port = OpenQtSerialPort(sim_->PtyPath());
  ASSERT_TRUE(port);
  ASSERT_TRUE(port->Configure(LineSettings{}));
  int wakes = 0;
  port->SetWakeup([&] { ++wakes; });
  ASSERT_EQ(port->Write("\x05", 1, milliseconds(100)).written, 1u);
  QElapsedTimer clock;
  clock.start();
  while (wakes == 0 && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
  ASSERT_GE(wakes, 1);
  char byte = 0;
  EXPECT_EQ(port->Read(&byte, 1, milliseconds(0)), 1);
  EXPECT_EQ(byte & 0xF0, 0x60);
  port->SetWakeup({});
}

TEST_F(LinkOverPty, VanishedDeviceWakesOnceAndStaysQuiet) {
  Start();
  link_->ClosePort();
  auto port = OpenQtSerialPort(sim_->PtyPath());
  ASSERT_TRUE(port);
  ASSERT_TRUE(port->Configure(LineSettings{}));
  int wakes = 0;
  port->SetWakeup([&] { ++wakes; });
  sim_->Kill();
  // Give the event loop every chance to storm; it must report once and go quiet.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(wakes, 1);
  char buffer[50];
  EXPECT_EQ(port->Read(buffer, sizeof buffer, milliseconds(100)), -1);
  EXPECT_EQ(port->CheckLineErrors(), 1);
  EXPECT_EQ(port->Write("\x05", 1, milliseconds(100)).status, WriteStatus::Failed);
}

TEST_F(LinkOverPty, TransmissionLogHoldsWhatWasWrittenAndWaitedFor) {
  Start({"--baud", "0"});
  const auto dir =
      std::filesystem::temp_directory_path() / ("ulvo-log-" + std::to_string(sim_->Pid()));
  std::filesystem::create_directories(dir);
  auto log = TransmissionLog::Create(dir);
  ASSERT_TRUE(log);
  // Stale bytes before the query are drained, not logged.
  ASSERT_EQ(Control("garbage 20"), "ok");
  char query[] = "\x1bP0#n\x1b\\";
  ASSERT_FALSE(link_->SendFrame(query));
  for (int i = 0; i < 500 && Frames() == 0; ++i) std::this_thread::sleep_for(milliseconds(5));
  link_->SetTransmissionLog(log.get());
  link_->ReadTypeAndVersion();
  ASSERT_EQ(link_->ReplyReceived, 1);
  const std::string reply(link_->RxBuf, link_->RxLength());
  const std::string frame = link_->TxBuf;
  link_->SetTransmissionLog(nullptr);
  log.reset();
  auto slurp = [](const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(slurp(dir / "DaneWy.bin"), frame);
  EXPECT_EQ(slurp(dir / "DaneWe.bin"), reply);
  std::filesystem::remove_all(dir);
}

void ExpectCashInfoMatches(Link& link, SimProcess& sim, bool mavito) {
  const CashInfo& c = link.CashInfo;
  auto get = [&](const std::string& name) {
    return std::atof(sim.Control("get " + name).c_str() + 3);
  };
  EXPECT_EQ(c.LastError, 3);
  EXPECT_EQ(c.FiscalMode, 1);
  EXPECT_EQ(c.RamResets, 0);
  const double ptu[7] = {23, 8, 5, 0, 100, 101, 101};
  for (int i = 0; i < 7; ++i) EXPECT_DOUBLE_EQ(c.Ptu[i], ptu[i]) << i;
  EXPECT_EQ(c.ReceiptCount, static_cast<int>(get("receipts")));
  for (int i = 0; i < 7; ++i)
    EXPECT_DOUBLE_EQ(c.Totals[i], get(std::string("total") + char('A' + i))) << i;
  if (!mavito) {
    EXPECT_DOUBLE_EQ(c.TotalZ, get("totalZ"));
  }
  EXPECT_DOUBLE_EQ(c.Cash, 1234.56);
  EXPECT_EQ(c.UniqueNumber, "ABC12345678");
}

class CashInfoOverPty : public LinkOverPty, public ::testing::WithParamInterface<const char*> {};

TEST_P(CashInfoOverPty, EveryFieldOfTheFamily) {
  const std::string family = GetParam();
  const bool mavito = family == "mavito";
  Start({"--family", family});
  settings_.PrinterType = mavito ? 2 : family == "altapro" ? 1 : 0;
  ASSERT_EQ(Control("fiscal on"), "ok");
  ASSERT_EQ(Control("unique ABC12345678"), "ok");
  FormatFrame(link_->TxBuf, kTxBufSize, "%cP#i%s/xx%c%c", kEsc, "1234.56", kEsc, kBackslash);
  AddChecksum(link_->TxBuf);
  ASSERT_FALSE(link_->SendFrame(link_->TxBuf));
  ASSERT_FALSE(link_->CheckCommandResult());
  ASSERT_EQ(Control("refuse 3"), "ok");
  ASSERT_FALSE(SendPaperFeed());
  link_->LastErrorCode = 0;
  EXPECT_TRUE(link_->CheckCommandResult());

  link_->ReadCashInfo();
  ASSERT_EQ(link_->CashDataState, 1);
  ExpectCashInfoMatches(*link_, *sim_, mavito);

  ASSERT_EQ(Control("unique none"), "ok");
  link_->ReadCashInfo();
  ASSERT_EQ(link_->CashDataState, 1);
  EXPECT_EQ(link_->CashInfo.UniqueNumber, "BRAK");

  double sum = -1;
  EXPECT_FALSE(link_->ReadTotalsSum(sum));
  EXPECT_DOUBLE_EQ(sum, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Families, CashInfoOverPty, ::testing::Values("alta", "altapro", "mavito"));

}  // namespace
}  // namespace ulvo
