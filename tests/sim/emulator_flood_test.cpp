// The emulator under floods, on a simulated clock: its input buffer and its unread answers
// stay bounded, the overflow is dropped with XOFF and XON, and a status query after the
// flood is answered as soon as the line has carried what was already on its way.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "sim/emulator.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Unchecked;
using Time = Emulator::Time;
using std::chrono::milliseconds;

const Time kT0 = Time{} + std::chrono::hours(1);

// Writes `total` bytes of `pattern` in the pieces a pty read gives, with nobody reading the
// answers; checks the bounds after every piece.
void Flood(Emulator& e, const std::string& pattern, std::size_t total, std::size_t replyMax) {
  std::string piece;
  while (piece.size() < 4096) piece += pattern;
  piece.resize(4096 - 4096 % pattern.size());
  for (std::size_t sent = 0; sent < total; sent += piece.size()) {
    e.OnInput(piece, kT0);
    ASSERT_LE(e.BufferedInput(), kInputBufferSize);
    ASSERT_LE(e.PendingOutput(), kOutputBacklogLimit + replyMax);
  }
}

// The program drains its line (FlushInput) until the emulator has nothing more on its way;
// returns everything that came and sets `end` to when the last byte left.
std::string Drain(Emulator& e, Time& end) {
  std::string got = e.TakeOutput(end);
  for (int i = 0; i < 100000 && e.NextWakeup(); ++i) {
    end = std::max(end, *e.NextWakeup());
    got += e.TakeOutput(end);
  }
  return got;
}

TEST(SimFlood, EnqFloodIsDroppedAtTheBufferAndTheNextStatusAnswerIsPrompt) {
  SimOptions o;  // 9600 baud: about a millisecond a byte
  Emulator e(o);
  const std::size_t flood = 8 * 1024 * 1024;
  Flood(e, "\x05", flood, 1);
  EXPECT_GE(e.DroppedInput(), flood - kInputBufferSize - kOutputBacklogLimit - 4096);
  EXPECT_EQ(e.Control("get dropped", kT0), "ok " + std::to_string(e.DroppedInput()));

  Time end = kT0;
  const std::string drained = Drain(e, end);
  // The busy signal first, ahead of the answers; XON once the buffer has room again.
  ASSERT_FALSE(drained.empty());
  EXPECT_EQ(drained[0], '\x13');
  EXPECT_EQ(std::count(drained.begin(), drained.end(), '\x13'), 1);
  EXPECT_EQ(std::count(drained.begin(), drained.end(), '\x11'), 1);
  EXPECT_EQ(std::count(drained.begin(), drained.end(), '\x65') + 2,
            static_cast<long>(drained.size()));
  // What was on its way is gone after the backlog and one buffer of answers, not hours.
  EXPECT_LE(end - kT0, milliseconds(1500));
  EXPECT_EQ(e.BufferedInput(), 0u);
  EXPECT_EQ(e.PendingOutput(), 0u);

  const Time ask = end + milliseconds(10);
  e.OnInput("\x05", ask);
  EXPECT_EQ(e.TakeOutput(ask + milliseconds(2)), "\x65");
}

TEST(SimFlood, UnreadQueriesKeepAtMostOneBufferOfAnswers) {
  SimOptions o;
  Emulator e(o);
  const std::string query = Unchecked("23#s");
  Flood(e, query, 4 * 1024 * 1024, 300);
  // Only what the buffer held was carried out; the rest never reached the printer.
  EXPECT_LE(e.GetPrinter().State().framesReceived, 4u);

  Time end = kT0;
  Drain(e, end);
  EXPECT_LE(e.GetPrinter().State().framesReceived, 4u + kInputBufferSize / query.size() + 1);
  EXPECT_EQ(e.PendingOutput(), 0u);
  e.OnInput("\x10", end);
  EXPECT_EQ(e.TakeOutput(end + milliseconds(2)), "\x74");
}

TEST(SimFlood, AnIdlePrinterTakesALongFrameWhole) {
  SimOptions o;
  o.baud = 0;
  Emulator e(o);
  // Longer than the input buffer, but the printer keeps up with it: nothing is dropped.
  const std::string frame = "\x1BP1#t" + std::string(4000, 'x') + "\x1B\\";
  e.OnInput(frame + "\x05" + frame + "\x05", kT0);
  EXPECT_EQ(e.DroppedInput(), 0u);
  EXPECT_EQ(e.GetPrinter().State().framesReceived, 2u);
  EXPECT_EQ(e.TakeOutput(kT0).size(), 2u);
}

TEST(SimFlood, AnswersHeldByTheLineStopTheIntakeWithoutLosingIt) {
  SimOptions o;
  o.baud = 1000;  // 10 ms a byte
  Emulator e(o);
  // Six cash information queries in one write: the later ones wait in the buffer until the
  // first answers have left, then are carried out.
  const std::string query = Unchecked("23#s");
  std::string six;
  for (int i = 0; i < 6; ++i) six += query;
  e.OnInput(six, kT0);
  const std::uint64_t atOnce = e.GetPrinter().State().framesReceived;
  EXPECT_LT(atOnce, 6u);
  EXPECT_EQ(e.BufferedInput(), (6 - atOnce) * query.size());
  Time end = kT0;
  const std::string got = Drain(e, end);
  EXPECT_EQ(e.GetPrinter().State().framesReceived, 6u);
  EXPECT_EQ(e.DroppedInput(), 0u);
  EXPECT_EQ(std::count(got.begin(), got.end(), '#'), 6);
}

}  // namespace
}  // namespace ulvo
