// The line faults and the pacing of the emulator, on a simulated clock, and its command line.

#include <gtest/gtest.h>

#include "sim/emulator.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Unchecked;
using Time = Emulator::Time;
using std::chrono::milliseconds;

SimOptions Unpaced() {
  SimOptions o;
  o.baud = 0;
  return o;
}

const Time kT0 = Time{} + std::chrono::hours(1);

TEST(SimEmulator, AnswersAtOnceWithoutPacing) {
  Emulator e(Unpaced());
  e.OnInput("\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
  EXPECT_FALSE(e.NextWakeup().has_value());
}

TEST(SimEmulator, PacesAtTheBaudRate) {
  SimOptions o;
  o.baud = 1000;  // 10 ms a byte
  Emulator e(o);
  e.OnInput(Unchecked("0#n"), kT0);  // 7-byte answer
  EXPECT_EQ(e.TakeOutput(kT0), "\x1B");
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(5)), "");
  ASSERT_TRUE(e.NextWakeup().has_value());
  EXPECT_EQ(*e.NextWakeup(), kT0 + milliseconds(10));
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(35)), "P1#");
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(1000)), "E0\x1B\\");
  EXPECT_FALSE(e.NextWakeup().has_value());
}

TEST(SimEmulator, NoAnswerSwallowsEverything) {
  SimOptions o = Unpaced();
  o.noAnswer = true;
  Emulator e(o);
  e.OnInput("\x05" + Checked("1#l"), kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "");
  EXPECT_EQ(e.GetPrinter().State().framesReceived, 0u);
  EXPECT_EQ(e.Control("noanswer off", kT0), "ok");
  e.OnInput("\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
}

TEST(SimEmulator, DelayHoldsAnswers) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("delay 200", kT0), "ok");
  e.OnInput("\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(199)), "");
  EXPECT_EQ(*e.NextWakeup(), kT0 + milliseconds(200));
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(200)), "\x65");
}

TEST(SimEmulator, StatusBitsFromControl) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("online off", kT0), "ok");
  EXPECT_EQ(e.Control("paperout on", kT0), "ok");
  EXPECT_EQ(e.Control("mecherror on", kT0), "ok");
  e.OnInput("\x10", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x73");
  EXPECT_EQ(e.Control("paperout maybe", kT0).rfind("error", 0), 0u);
}

TEST(SimEmulator, XonXoffGoOutAhead) {
  SimOptions o;
  o.baud = 1000;
  Emulator e(o);
  e.OnInput(Unchecked("0#n"), kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x1B");
  EXPECT_EQ(e.Control("xoff", kT0), "ok");
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(1)), "\x13");
  EXPECT_EQ(e.Control("xon", kT0), "ok");
  EXPECT_EQ(e.TakeOutput(kT0 + milliseconds(10)), "\x11P");
}

TEST(SimEmulator, GarbageBeforeTheNextReplyOnly) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("garbage 5", kT0), "ok");
  e.OnInput("\x05", kT0);
  std::string out = e.TakeOutput(kT0);
  ASSERT_EQ(out.size(), 6u);
  EXPECT_EQ(out.back(), '\x65');
  EXPECT_EQ(out.find('\x1B'), std::string::npos);
  e.OnInput("\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
}

TEST(SimEmulator, JunkNeverHoldsEscOrFlowControl) {
  std::string junk = JunkBytes(5000);
  EXPECT_EQ(junk.size(), 5000u);
  EXPECT_EQ(junk.find_first_of("\x1B\x11\x13\x05\x10"), std::string::npos);
}

TEST(SimEmulator, TrailingBytesFollowTheFrameInTheSameWrite) {
  SimOptions o;
  o.baud = 1000;
  Emulator e(o);
  EXPECT_EQ(e.Control("trailing 3", kT0), "ok");
  e.OnInput("\x05", kT0);  // a status byte is not a frame reply: no tail
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
  e.OnInput(Unchecked("0#n"), kT0 + milliseconds(10));
  std::string all;
  std::string last;
  for (int ms = 10; ms <= 200; ms += 10) {
    std::string chunk = e.TakeOutput(kT0 + milliseconds(ms));
    if (!chunk.empty()) last = chunk;
    all += chunk;
  }
  EXPECT_EQ(all.substr(0, 8), std::string("\x1BP1#E0\x1B\\"));
  EXPECT_EQ(all.size(), 11u);
  EXPECT_EQ(last.size(), 4u);  // the backslash and its three followers together
  EXPECT_EQ(last[0], '\\');
}

TEST(SimEmulator, LongReplyHasNoEnd) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("longreply 6000", kT0), "ok");
  e.OnInput(Unchecked("0#n"), kT0);
  std::string out = e.TakeOutput(kT0);
  EXPECT_EQ(out.size(), 6000u);
  EXPECT_EQ(out.find('\x1B'), std::string::npos);
  e.OnInput(Unchecked("0#n"), kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x1BP1#E0\x1B\\");
}

TEST(SimEmulator, BadCheckSpoilsTheNextCheckedReply) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("badcheck", kT0), "ok");
  e.OnInput(Unchecked("1#v"), kT0);  // no check in this reply: left alone, fault kept
  EXPECT_EQ(e.TakeOutput(kT0), "\x1BP1#RMavito/1.07\x1B\\");
  e.OnInput(Unchecked("23#s"), kT0);
  std::string bad = e.TakeOutput(kT0);
  e.OnInput(Unchecked("23#s"), kT0);
  std::string good = e.TakeOutput(kT0);
  ASSERT_EQ(bad.size(), good.size());
  EXPECT_NE(bad, good);
  EXPECT_EQ(bad.substr(0, bad.size() - 4), good.substr(0, good.size() - 4));
  EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(bad[bad.size() - 3])));
}

TEST(SimEmulator, RefuseFailsTheNextCommand) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("refuse 37", kT0), "ok");
  e.OnInput(Checked("1#l") + "\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x61");  // bit 0x04 clear
  e.OnInput(Unchecked("0#n"), kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x1BP1#E37\x1B\\");
  EXPECT_EQ(e.GetPrinter().State().linesFed, 0);
  e.OnInput(Checked("1#l") + "\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
}

TEST(SimEmulator, RefuseWithACommandCodeWaitsForThatCommand) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("refuse 5 $d", kT0), "ok");
  e.OnInput(Checked("1#l") + "\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");  // another command: carried out
  e.OnInput(Unchecked("1$d") + "\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x61");
  e.OnInput(Unchecked("0#n"), kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x1BP1#E5\x1B\\");
  EXPECT_EQ(e.GetPrinter().State().drawerOpenings, 0);
  e.OnInput(Unchecked("1$d") + "\x05", kT0);  // once only
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
  EXPECT_EQ(e.GetPrinter().State().drawerOpenings, 1);
}

TEST(SimEmulator, GetReportsState) {
  Emulator e(Unpaced());
  e.OnInput(Checked("#i7.5/") + Checked("0$h") + Checked("1$lX\r1\rA/0.01/0.01/") +
                Checked("1;0$e\r0.01/0.01/"),
            kT0);
  EXPECT_EQ(e.Control("get cash", kT0), "ok 7.51");
  EXPECT_EQ(e.Control("get totalA", kT0), "ok 0.01");
  EXPECT_EQ(e.Control("get totalB", kT0), "ok 0.00");
  EXPECT_EQ(e.Control("get frames", kT0), "ok 4");
  EXPECT_EQ(e.Control("get lasterror", kT0), "ok 0");
  EXPECT_EQ(e.Control("get nosuchthing", kT0).rfind("error", 0), 0u);
}

TEST(SimEmulator, LastFrameIsHexOfTheBody) {
  Emulator e(Unpaced());
  e.OnInput(Unchecked("0#n"), kT0);
  EXPECT_EQ(e.Control("get lastframe", kT0), "ok 30236E");
}

TEST(SimEmulator, EchoLoopsRawBytesBack) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("echo on", kT0), "ok");
  std::string raw("\x05\x1BP0#n\x1B\\\x00\xFF", 10);
  e.OnInput(raw, kT0);
  EXPECT_EQ(e.TakeOutput(kT0), raw);
  EXPECT_EQ(e.GetPrinter().State().framesReceived, 0u);
  EXPECT_EQ(e.Control("echo off", kT0), "ok");
  e.OnInput("\x05", kT0);
  EXPECT_EQ(e.TakeOutput(kT0), "\x65");
}

TEST(SimEmulator, SendInjectsRawBytes) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("send 00FF1b5c41", kT0), "ok");
  EXPECT_EQ(e.TakeOutput(kT0), std::string("\x00\xFF\x1B\\A", 5));
  for (const char* bad : {"send", "send 0", "send 0G", "send zz"}) {
    EXPECT_EQ(e.Control(bad, kT0).rfind("error", 0), 0u) << bad;
  }
}

TEST(SimEmulator, ResetAndDisconnect) {
  Emulator e(Unpaced());
  e.OnInput(Checked("#i5/"), kT0);
  EXPECT_EQ(e.Control("reset", kT0), "ok");
  EXPECT_EQ(e.Control("get cash", kT0), "ok 0.00");
  EXPECT_FALSE(e.DisconnectRequested());
  EXPECT_EQ(e.Control("disconnect", kT0), "ok");
  EXPECT_TRUE(e.DisconnectRequested());
}

TEST(SimEmulator, StopRead) {
  Emulator e(Unpaced());
  EXPECT_EQ(e.Control("stopread on", kT0), "ok");
  EXPECT_TRUE(e.ReadingStopped());
  EXPECT_EQ(e.Control("stopread off", kT0), "ok");
  EXPECT_FALSE(e.ReadingStopped());
}

TEST(SimEmulator, BadControlLinesGetErrors) {
  Emulator e(Unpaced());
  for (const char* line :
       {"", "frobnicate", "delay", "delay -1", "garbage x", "garbage 99999999999", "refuse 256",
        "refuse 5 d", "refuse 5 $dd", "refuse x $d", "xoff now"}) {
    EXPECT_EQ(e.Control(line, kT0).rfind("error", 0), 0u) << line;
  }
}

TEST(SimOptionsParsing, DefaultsAndSwitches) {
  std::string error;
  std::optional<SimOptions> o = ParseSimOptions({}, &error);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->variant.family, PrinterFamily::kMavito);
  EXPECT_EQ(o->baud, 9600);
  o = ParseSimOptions({"--family", "altapro", "--bus", "--baud=0", "--log", "/tmp/x", "--delay",
                       "50", "--offline", "--paper-out", "--garbage", "3", "--no-answer"},
                      &error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->variant.family, PrinterFamily::kAltaPro);
  EXPECT_TRUE(o->variant.bus);
  EXPECT_EQ(o->baud, 0);
  EXPECT_EQ(o->logPath, "/tmp/x");
  EXPECT_EQ(o->delayMs, 50);
  EXPECT_TRUE(o->offline && o->paperOut && o->noAnswer);
  EXPECT_EQ(o->garbage, 3);
}

TEST(SimOptionsParsing, BadArgumentsAreRefusedWithAMessage) {
  for (std::vector<std::string> args :
       std::vector<std::vector<std::string>>{{"--family", "posnet"},
                                             {"--baud"},
                                             {"--baud", "fast"},
                                             {"--log"},
                                             {"--whatever"},
                                             {"--family", "alta", "--ecopy"},
                                             {"--delay", "-5"}}) {
    std::string error;
    EXPECT_FALSE(ParseSimOptions(args, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(SimOptionsParsing, StartupFaultsApply) {
  SimOptions o = Unpaced();
  o.offline = true;
  o.garbage = 2;
  o.fiscal = true;
  Emulator e(o);
  e.OnInput("\x10\x05", kT0);
  std::string out = e.TakeOutput(kT0);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out.substr(2), "\x70\x6D");
}

TEST(SimLog, ControlBytesByName) {
  EXPECT_EQ(LogText("\x1BP0#n\x1B\\\x05\x10\r\n\xFF"), "<ESC>P0#n<ESC>\\<ENQ><DLE><CR ><LF ><FFH>");
}

}  // namespace
}  // namespace ulvo
