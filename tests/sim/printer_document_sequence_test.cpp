// Orders and goods-database reports are taken only in their order: start, items, end.

#include <gtest/gtest.h>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Command;
using simtest::LastError;

TEST(SimDocumentSequence, StepsOutOfOrderAreRefusedWithParameterError) {
  struct Case {
    std::vector<std::string> accepted;  // sent first, each carried out
    std::string refused;                // then this one, refused with error 4
  } cases[] = {
      {{}, "0;1;1;0#lMleko\r1\r"},
      {{}, "0;1;2;0#l"},
      {{"0;1;0;0#lJan\r"}, "0;1;0;0#lAnna\r"},
      {{"0;1;0;0#lJan\r", "0;1;2;0#l"}, "0;1;2;0#l"},
      {{}, "1;0#bMleko\rA/"},
      {{}, "2;0#b"},
      {{"0;0#b"}, "0;1#b"},
      {{"0;0#b", "1#bMleko\rA/", "2#b"}, "1#bMleko\rA/"},
  };
  for (const Case& c : cases) {
    Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
    for (const std::string& body : c.accepted) {
      ASSERT_TRUE(Command(p, body) & simtest::kCarriedOutBit) << body;
    }
    Command(p, c.refused);
    EXPECT_EQ(LastError(p), 4) << c.refused;
  }
}

TEST(SimDocumentSequence, AnEndedDocumentCanStartAgain) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, true, false});
  for (const char* body : {"0;1;0;0#lJan\r", "0;1;2;0#l", "0;1;0;0#lAnna\r", "0;1;2;0#l", "0;5#b",
                           "1;5#bN\rP\rAB/", "2;5#b", "0;4#b", "2;4#b"}) {
    EXPECT_TRUE(Command(p, body) & simtest::kCarriedOutBit) << body;
  }
}

}  // namespace
}  // namespace ulvo
