// The exchange engine over an in-memory port: buffer bounds, replies that do not parse,
// the writer's passes. The link over a real pseudo-terminal is in tests/qt/link_*_gtest.cpp.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "link/link.h"
#include "link/serial_port.h"
#include "tests/support/scripted_link_ui.h"

namespace ulvo {
namespace {

using namespace std::string_literals;

const std::string kEnd = "\x1b\\";

// The far end of the in-memory line: what was written, and the replies it gives, one per
// frame (or status byte) written.
struct Wire {
  std::string written;
  std::deque<std::string> script;  // next replies, one per completed frame
  std::string incoming;            // bytes waiting to be read
  std::size_t acceptPerWrite = 1 << 20;
  WriteStatus failStatus = WriteStatus::Ok;  // returned once by the next write
  int lineError = 0;
  bool gone = false;  // the device went away; a new open finds it back
  bool configureOk = true;
  int opens = 0;
};

class WirePort : public SerialPort {
 public:
  explicit WirePort(Wire& wire) : wire_(wire) {}
  bool Configure(const LineSettings&) override { return wire_.configureOk; }
  WriteResult Write(const char* data, std::size_t count, std::chrono::milliseconds) override {
    if (wire_.gone) return {0, WriteStatus::Failed};
    if (wire_.failStatus != WriteStatus::Ok) {
      const WriteResult failed{0, wire_.failStatus};
      wire_.failStatus = WriteStatus::Ok;
      return failed;
    }
    const std::size_t n = std::min(count, wire_.acceptPerWrite);
    wire_.written.append(data, n);
    const std::string& w = wire_.written;
    const bool frameDone = (w.size() >= 2 && w.compare(w.size() - 2, 2, kEnd) == 0) ||
                           (n == 1 && (data[0] == 0x05 || data[0] == 0x10));
    if (frameDone && !wire_.script.empty()) {
      wire_.incoming += wire_.script.front();
      wire_.script.pop_front();
    }
    return {n, WriteStatus::Ok};
  }
  long Read(char* data, std::size_t count, std::chrono::milliseconds) override {
    const std::size_t n = std::min(count, wire_.incoming.size());
    wire_.incoming.copy(data, n);
    wire_.incoming.erase(0, n);
    return static_cast<long>(n);
  }
  int CheckLineErrors() override { return wire_.gone ? 1 : wire_.lineError; }
  void SetWakeup(std::function<void()>) override {}
  bool Gone() const override { return wire_.gone; }

 private:
  Wire& wire_;
};

bool SendText(Link& link, const char* frame) {
  std::snprintf(link.TxBuf, kTxBufSize, "%s", frame);
  return link.SendFrame(link.TxBuf);
}

class LinkEngine : public ::testing::Test {
 protected:
  LinkEngine() {
    settings.PortNumber = 3;
    ui.replyWaitLimit = std::chrono::milliseconds(300);
    ui.readyWaitLimit = std::chrono::milliseconds(300);
  }
  PortOpener Opener() {
    return [this](const std::string&) -> std::unique_ptr<SerialPort> {
      ++wire.opens;
      if (refuseOpen) return nullptr;
      wire.gone = false;
      return std::make_unique<WirePort>(wire);
    };
  }
  Link& Open() {
    link = std::make_unique<Link>(settings, ui, Opener());
    EXPECT_FALSE(link->OpenPort(true));
    return *link;
  }
  Settings settings;
  ScriptedLinkUi ui;
  Wire wire;
  bool refuseOpen = false;
  std::unique_ptr<Link> link;
};

TEST_F(LinkEngine, OpenFailuresNameThePortAndForgetIt) {
  refuseOpen = true;
  Link l(settings, ui, Opener());
  EXPECT_TRUE(l.OpenPort(true));
  EXPECT_EQ(settings.PortNumber, kNoPort);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], "Nie mogę otworzyć portu COM3.");

  refuseOpen = false;
  wire.configureOk = false;
  settings.PortNumber = 12;
  EXPECT_TRUE(l.OpenPort(true));
  EXPECT_EQ(ui.messages.back(), "Nie mogę otworzyć portu COM12 z takimi ustawieniami.");
  EXPECT_EQ(settings.PortNumber, kNoPort);
  EXPECT_FALSE(l.PortOpen());

  settings.PortNumber = 12;
  EXPECT_TRUE(l.OpenPort(false));  // probing: silent
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(LinkEngine, WriterResendsOnlyWhatDidNotLeave) {
  Link& l = Open();
  wire.acceptPerWrite = 3;
  std::snprintf(l.TxBuf, kTxBufSize, "\x1bP1#e17\x1b\\");
  EXPECT_FALSE(l.SendFrame(l.TxBuf));
  EXPECT_EQ(wire.written, "\x1bP1#e17\x1b\\");

  wire.written.clear();
  char data[] = "\x00\x01\x02\x03\x04\x05\x06";
  EXPECT_FALSE(l.SendBytes(data, 7));
  EXPECT_EQ(wire.written, std::string(data, 7));
}

TEST_F(LinkEngine, LineErrorClosesThePortClearsTheFrameAndKeepsThePortAsLost) {
  Link& l = Open();
  wire.failStatus = WriteStatus::Failed;
  wire.lineError = 1;
  std::snprintf(l.TxBuf, kTxBufSize, "\x1bP0#n\x1b\\");
  EXPECT_TRUE(l.SendFrame(l.TxBuf));
  EXPECT_EQ(l.TxBuf[0], '\0');
  EXPECT_EQ(settings.PortNumber, 3);  // still chosen: the settings file keeps it
  EXPECT_EQ(l.LostPort, 3);
  EXPECT_TRUE(l.PortIsLost());
  EXPECT_FALSE(l.PortOpen());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Wystąpił błąd transmisji."});
}

const std::string kStillLost =
    "Port COM3 nadal jest niedostępny. Podłącz ponownie drukarkę (lub przejściówkę USB) i "
    "powtórz polecenie.";

// Each exchange started while the port is lost tries to open it once; one message per try.
TEST_F(LinkEngine, LostPortIsTriedOnceByEachExchangeUntilItComesBack) {
  Link& l = Open();
  wire.failStatus = WriteStatus::Failed;
  wire.lineError = 1;
  std::snprintf(l.TxBuf, kTxBufSize, "\x1bP0#n\x1b\\");
  ASSERT_TRUE(l.SendFrame(l.TxBuf));
  wire.lineError = 0;
  refuseOpen = true;
  struct Step {
    const char* what;
    std::function<bool(Link&)> exchange;
  };
  const Step steps[] = {
      {"command", [](Link& k) { return SendText(k, "\x1bP1#lxx\x1b\\"); }},
      {"status", [](Link& k) { return k.QueryEnq(); }},
      {"cash information",
       [](Link& k) {
         k.ReadCashInfo();
         return k.CashDataState != 1;
       }},
      {"result check", [](Link& k) { return k.CheckCommandResult(); }},
      {"receive",
       [](Link& k) {
         k.WaitForReply();
         return k.ReplyMissing != 0;
       }},
  };
  for (const Step& step : steps) {
    const int opens = wire.opens;
    const std::size_t messages = ui.messages.size();
    EXPECT_TRUE(step.exchange(l)) << step.what;
    EXPECT_EQ(wire.opens, opens + 1) << step.what;
    ASSERT_EQ(ui.messages.size(), messages + 1) << step.what;
    EXPECT_EQ(ui.messages.back(), kStillLost) << step.what;
    EXPECT_EQ(settings.PortNumber, 3) << step.what;
  }
  EXPECT_TRUE(wire.written.empty());

  refuseOpen = false;
  const std::size_t messages = ui.messages.size();
  EXPECT_FALSE(SendText(l, "\x1bP1#lxx\x1b\\"));
  EXPECT_EQ(wire.written, "\x1bP1#lxx\x1b\\");
  EXPECT_FALSE(l.PortIsLost());
  EXPECT_EQ(l.LostPort, kNoPort);
  EXPECT_EQ(ui.messages.size(), messages);
}

// An adapter pulled out and put back while nothing was sent: the next frame goes out on the
// device opened anew, and nobody is bothered.
TEST_F(LinkEngine, DeviceReplacedWhileIdleIsReopenedSilentlyByTheNextFrame) {
  Link& l = Open();
  wire.gone = true;
  EXPECT_FALSE(SendText(l, "\x1bP1#lxx\x1b\\"));
  EXPECT_EQ(wire.opens, 2);
  EXPECT_EQ(wire.written, "\x1bP1#lxx\x1b\\");
  EXPECT_TRUE(ui.messages.empty());

  // Not back: the loss is told once, in the usual words, and the port stays chosen.
  wire.gone = true;
  refuseOpen = true;
  EXPECT_TRUE(SendText(l, "\x1bP2#lxx\x1b\\"));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Wystąpił błąd transmisji."});
  EXPECT_TRUE(l.PortIsLost());
  EXPECT_EQ(settings.PortNumber, 3);
}

TEST_F(LinkEngine, ChoosingNoPortEndsTheLoss) {
  Link& l = Open();
  wire.gone = true;
  refuseOpen = true;
  ASSERT_TRUE(SendText(l, "\x1bP1#lxx\x1b\\"));
  settings.PortNumber = kNoPort;
  EXPECT_FALSE(l.PortIsLost());
  const int opens = wire.opens;
  EXPECT_TRUE(SendText(l, "\x1bP1#lxx\x1b\\"));
  EXPECT_EQ(wire.opens, opens);
  EXPECT_EQ(ui.messages.back(), "Nie wybrano portu komunikacyjnego.");
}

TEST_F(LinkEngine, AccessDeniedReopensAndCarriesOn) {
  Link& l = Open();
  wire.failStatus = WriteStatus::AccessDenied;
  std::snprintf(l.TxBuf, kTxBufSize, "\x1bP0#n\x1b\\");
  EXPECT_FALSE(l.SendFrame(l.TxBuf));
  EXPECT_EQ(wire.opens, 2);
  EXPECT_EQ(wire.written, "\x1bP0#n\x1b\\");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(LinkEngine, FrameWithoutEndInTxBufIsRefused) {
  Link& l = Open();
  std::memset(l.TxBuf, 'A', kTxBufSize);
  EXPECT_TRUE(l.SendFrame(l.TxBuf));
  EXPECT_TRUE(wire.written.empty());
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(LinkEngine, ReplyBoundsAndEmbeddedNul) {
  Link& l = Open();
  // A stream that never ends in ESC '\' completes past 4920 bytes, at most 4970 kept.
  wire.incoming.clear();
  wire.script.push_back(std::string(6000, 'x'));
  char frame[] = "\x1bP0#n\x1b\\";
  ASSERT_FALSE(l.SendFrame(frame));
  l.WaitForReply();
  EXPECT_EQ(l.ReplyMissing, 0);
  EXPECT_GT(l.RxLength(), kReplyCompleteAt);
  EXPECT_LE(l.RxLength(), kReplyKeepMax);
  EXPECT_EQ(l.RxBuf[l.RxLength()], '\0');

  wire.incoming.clear();
  wire.script.push_back("\x1bP1#Ea\0b\x1b\\"s);
  char again[] = "\x1bP0#n\x1b\\";
  ASSERT_FALSE(l.SendFrame(again));
  l.WaitForReply();
  EXPECT_EQ(l.RxLength(), 10u);
  EXPECT_EQ(std::string(l.RxBuf, l.RxLength()), "\x1bP1#Ea\0b\x1b\\"s);
}

TEST_F(LinkEngine, ErrorCodeReplyWithoutNumberCountsAsNoReply) {
  Link& l = Open();
  for (const std::string& reply : {"\x1bP1#X12\x1b\\"s, "\x1bP1#E\x1b\\"s, "\x1bP1#Ex1\x1b\\"s,
                                   "\x1bP1#E99999999999\x1b\\"s}) {
    wire.script.push_back(reply);
    l.LastErrorCode = 5;
    l.ReadLastErrorCode();
    EXPECT_EQ(l.LastErrorCode, -1) << reply;
    EXPECT_EQ(l.ReplyMissing, 1);
  }
  for (const auto& [reply, code] : {std::pair{"zz\x1bP1#E17\x1b\\"s, 17},
                                    std::pair{"\x1bP1#E1x\x1b\\"s, 1},
                                    std::pair{"\x1bP1#E23/ab\r\x1b\\"s, 23}}) {
    wire.script.push_back(reply);
    l.ReadLastErrorCode();
    EXPECT_EQ(l.LastErrorCode, code) << reply;
  }
}

TEST_F(LinkEngine, CommandNotCarriedOutWithoutAReadableErrorNumberFails) {
  Link& l = Open();
  const std::string notDone(1, '\x60');  // on-line, command bit clear
  for (const auto& [reply, failed] : {std::pair{"\x1bP1#E0\x1b\\"s, false},
                                      std::pair{"\x1bP1#E3 \x1b\\"s, true},
                                      std::pair{"\x1bP1#E?\x1b\\"s, true}}) {
    wire.script.push_back(notDone);
    wire.script.push_back(reply);
    EXPECT_EQ(l.CheckCommandResult(), failed) << reply;
  }
}

TEST_F(LinkEngine, CashReplyWithWrongLetterOrMissingFieldsKeepsTheOldReading) {
  settings.PrinterType = 0;
  Link& l = Open();
  const std::string good =
      "\x1bP1#X0;1;0;0;0;2;24;5;17/23.00/8.00/5.00/0.00/100.00/101.00/0.00/42/"
      "10.00/20.00/30.00/0.00/0.00/0.00/0.00/60.00/0.00/123.45/ABC12345678\x1b\\";
  wire.script.push_back(good);
  l.ReadCashInfo();
  ASSERT_EQ(l.CashDataState, 1);
  EXPECT_EQ(l.CashInfo.ReceiptCount, 42);
  EXPECT_DOUBLE_EQ(l.CashInfo.Cash, 123.45);
  EXPECT_EQ(l.CashInfo.UniqueNumber, "ABC12345678");

  for (const std::string& bad :
       {"\x1bP1#Y0;1;0;0;0;2;24;5;17/23.00/\x1b\\"s, "\x1bP1#X0;1;0;0;0;2;24;5;17/23.00/\x1b\\"s,
        "\x1bP1#X0;1;0;0;0;2\x1b\\"s, "no frame at all"s}) {
    wire.incoming.clear();
    wire.script.push_back(bad);
    l.ReadCashInfo();
    EXPECT_EQ(l.CashDataState, 0) << bad;
    EXPECT_EQ(l.ReplyMissing, 1);
    EXPECT_EQ(l.CashInfo.ReceiptCount, 42);
    EXPECT_EQ(l.CashInfo.UniqueNumber, "ABC12345678");
  }
}

TEST_F(LinkEngine, TypeAndVersionAreCutAtNineteenAndNeedTheirSlash) {
  Link& l = Open();
  wire.script.push_back("\x1bP1#R" + std::string(30, 'T') + "/" + std::string(25, 'V') + kEnd);
  l.ReadTypeAndVersion();
  EXPECT_EQ(std::string(l.TypeText), std::string(19, 'T'));
  EXPECT_EQ(std::string(l.VersionText), std::string(19, 'V'));

  wire.script.push_back("\x1bP1#RMAVITO 1.02" + kEnd);
  l.ReadTypeAndVersion();
  EXPECT_EQ(l.ReplyMissing, 1);
  EXPECT_EQ(std::string(l.TypeText), std::string(19, 'T'));
}

TEST_F(LinkEngine, CommandFileStopsAtAnOverlongLine) {
  Link& l = Open();
  const std::string text = "1#e\r\n2#e\r\n" + std::string(250, 'a') + "\r\n3#e\r\n";
  EXPECT_TRUE(l.SendCommandFile(text.c_str()));
  EXPECT_NE(wire.written.find("1#e"), std::string::npos);
  EXPECT_NE(wire.written.find("2#e"), std::string::npos);
  EXPECT_EQ(wire.written.find("3#e"), std::string::npos);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0],
            "Wiersz nr 3 pliku rozkazów jest za długi (ponad 249 znaków). Wysyłanie przerwano.");
}

}  // namespace
}  // namespace ulvo
