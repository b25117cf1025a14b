// The off-line printer: status queries answer, command frames go nowhere.

#include <gtest/gtest.h>

#include "sim/emulator.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Exchange;
using simtest::Unchecked;

TEST(SimOffline, SearchProbeGetsOnlyTheStatusByte) {
  Printer p(PrinterVariant{});
  p.MutableState().online = false;
  // The printer search's probe: DLE and the type query in one write.
  EXPECT_EQ(Exchange(p, "\x10" + Unchecked("1#v")), "\x70");
  EXPECT_EQ(p.State().framesReceived, 0u);
  p.MutableState().online = true;
  EXPECT_EQ(Exchange(p, "\x10" + Unchecked("1#v")), "\x74\x1BP1#RMavito/1.07\x1B\\");
}

TEST(SimOffline, CommandsHaveNoEffectUntilOnLineAgain) {
  SimOptions options;
  options.baud = 0;
  Emulator e(options);
  const auto t0 = std::chrono::steady_clock::time_point{};
  ASSERT_EQ(e.Control("online off", t0), "ok");
  e.OnInput(Checked("3#l") + "\x05", t0);
  EXPECT_EQ(e.TakeOutput(t0), "\x65");  // ENQ still answers
  EXPECT_EQ(e.Control("get linesfed", t0), "ok 0");
  ASSERT_EQ(e.Control("online on", t0), "ok");
  e.OnInput(Checked("3#l"), t0);
  EXPECT_EQ(e.Control("get linesfed", t0), "ok 3");
}

}  // namespace
}  // namespace ulvo
