// Whatever arrives on the line, the printer stays in step and its state stays sane.

#include <gtest/gtest.h>

#include <random>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Exchange;
using simtest::LastError;
using simtest::Unchecked;

// Frame bodies built from the real command codes with random parameters and fields, so the
// handlers' argument parsing is reached, not just the framing.
std::string RandomBody(std::mt19937& rng) {
  static const char* kCodes[] = {
      "#n", "#s", "#c", "#v", "$0", "$4", "$8", "$1", "$2", "$3", "$5", "$6", "$7", "$9", "$!",
      "$@", "$r", "#e", "$o", "$#", "#p", "#q", "#i", "#d", "#t", "#k", "#l", "$d", "$h", "$l",
      "$e", "#r", "$c", "$p", "$f", "$n", "$x", "#g", "#h", "#b", "#o", "$$", "##", "$*", "#o"};
  static const char kPieces[] = "0123456789;/\r.,-ABGPZ# \xFF";
  std::uniform_int_distribution<int> small(0, 6);
  std::string body;
  int params = small(rng);
  for (int i = 0; i < params; ++i) {
    if (i) body += ';';
    body += std::to_string(std::uniform_int_distribution<int>(0, 300)(rng));
  }
  body += kCodes[std::uniform_int_distribution<std::size_t>(0, std::size(kCodes) - 1)(rng)];
  int len = std::uniform_int_distribution<int>(0, 40)(rng);
  for (int i = 0; i < len; ++i) {
    body += kPieces[std::uniform_int_distribution<std::size_t>(0, sizeof kPieces - 2)(rng)];
  }
  return body;
}

TEST(SimRobustness, RandomCommandsKeepThePrinterInStep) {
  std::mt19937 rng(12345);
  for (PrinterFamily family :
       {PrinterFamily::kAlta, PrinterFamily::kAltaPro, PrinterFamily::kMavito}) {
    Printer p(PrinterVariant{family, false, family == PrinterFamily::kMavito});
    for (int i = 0; i < 4000; ++i) {
      std::string body = RandomBody(rng);
      Exchange(p, i % 3 ? Checked(body) : Unchecked(body));
    }
    // Whatever happened, the printer still answers in step.
    std::string enq = Exchange(p, "\x05");
    ASSERT_EQ(enq.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(enq[0]) & 0xF0, 0x60);
    EXPECT_GE(LastError(p), 0);
    EXPECT_GE(p.State().cash, 0);
    for (std::int64_t total : p.State().totals) EXPECT_GE(total, 0);
    std::string clock = Exchange(p, Checked("0#c"));
    EXPECT_EQ(clock.substr(0, 5), "\x1BP1#C");
  }
}

TEST(SimRobustness, RandomBytesNeverBreakFraming) {
  std::mt19937 rng(777);
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 200; ++round) {
    std::string noise;
    int len = std::uniform_int_distribution<int>(1, 300)(rng);
    for (int i = 0; i < len; ++i) noise.push_back(static_cast<char>(byte(rng)));
    Exchange(p, noise);
  }
  // Close whatever frame the noise left open, then the printer must answer a clean query.
  Exchange(p, "\x1B\\");
  EXPECT_EQ(Exchange(p, Unchecked("0#n")).substr(0, 5), "\x1BP1#E");
  EXPECT_EQ(Exchange(p, Unchecked("1#v")), "\x1BP1#RMavito/1.07\x1B\\");
}

TEST(SimRobustness, HugeNumbersAreRefusedNotWrapped) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  Exchange(p, Checked("#i9999999999.99/"));  // ten digits: the largest amount taken
  EXPECT_EQ(LastError(p), 31);               // more than the drawer can count
  Exchange(p, Checked("#i99999999.99/"));
  EXPECT_EQ(LastError(p), 0);
  Exchange(p, Checked("#i0.01/"));
  EXPECT_EQ(LastError(p), 31);
  EXPECT_EQ(p.State().cash, 9999999999);
  Exchange(p, Checked("0$h"));
  Exchange(p, Checked("1$lX\r9999999\rA/9999999999/1/"));
  EXPECT_EQ(LastError(p), 22);  // more than a receipt can hold, found without overflowing
}

}  // namespace
}  // namespace ulvo
