// Framing, the check and the status bytes of the emulated printer.

#include <gtest/gtest.h>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Command;
using simtest::Exchange;
using simtest::LastError;
using simtest::Unchecked;

Printer Mavito() {
  return Printer(PrinterVariant{PrinterFamily::kMavito, false, false});
}

TEST(SimProtocol, PowerOnStatusBytes) {
  Printer p = Mavito();
  // Training mode, nothing failed yet, no transaction, the last one (none) fine.
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
  EXPECT_EQ(Exchange(p, "\x10"), "\x74");  // on-line
}

TEST(SimProtocol, StatusBytesFollowTheState) {
  Printer p = Mavito();
  p.MutableState().fiscal = true;
  EXPECT_EQ(Exchange(p, "\x05"), "\x6D");
  Command(p, "0$h");
  EXPECT_EQ(Exchange(p, "\x05"), "\x6E");  // in transaction, last one not finished
  p.MutableState().paperOut = true;
  p.MutableState().mechanismError = true;
  p.MutableState().online = false;
  EXPECT_EQ(Exchange(p, "\x10"), "\x73");
}

TEST(SimProtocol, EachStatusQueryGetsOneByte) {
  Printer p = Mavito();
  EXPECT_EQ(Exchange(p, "\x05\x10\x05"), "\x65\x74\x65");
}

TEST(SimProtocol, ClockQueryGolden) {
  Printer p = Mavito();
  // The program's clock query: "%cP0#cxx%c%c" with its check 8F.
  ASSERT_EQ(Checked("0#c"), "\x1BP0#c8F\x1B\\");
  EXPECT_EQ(Exchange(p, "\x1BP0#c8F\x1B\\"), "\x1BP1#C26;6;15;10;30;0\x1B\\");
}

TEST(SimProtocol, ClockReplyParsesWithTheProgramTemplate) {
  Printer p = Mavito();
  std::string reply = Exchange(p, Checked("0#c"));
  int y, m, d, h, mi;
  ASSERT_EQ(std::sscanf(reply.c_str(), "%*c%*c1#C%d;%d;%d;%d;%d;0", &y, &m, &d, &h, &mi), 5);
  EXPECT_EQ(y, 26);
  EXPECT_EQ(m, 6);
  EXPECT_EQ(d, 15);
  EXPECT_EQ(h, 10);
  EXPECT_EQ(mi, 30);
}

TEST(SimProtocol, WrongCheckIsRefusedWithError2) {
  Printer p = Mavito();
  EXPECT_EQ(Exchange(p, "\x1BP0#c00\x1B\\"), "");  // no clock answer
  EXPECT_EQ(Exchange(p, "\x05")[0] & simtest::kCarriedOutBit, 0);
  EXPECT_EQ(LastError(p), 2);
}

TEST(SimProtocol, MissingCheckOnACheckedCommandIsError2) {
  Printer p = Mavito();
  Exchange(p, Unchecked("1#l"));
  EXPECT_EQ(LastError(p), 2);
  EXPECT_EQ(p.State().linesFed, 0);
}

TEST(SimProtocol, LowerCaseCheckDigitsAreAccepted) {
  Printer p = Mavito();
  std::string frame = Checked("3#l");  // P3#l + check
  for (char& c : frame) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  frame[1] = 'P';
  frame[3] = '#';
  Exchange(p, frame);
  EXPECT_EQ(LastError(p), 0);
  EXPECT_EQ(p.State().linesFed, 3);
}

TEST(SimProtocol, ErrorQueryDoesNotClearTheError) {
  Printer p = Mavito();
  Exchange(p, "\x1BP0#c00\x1B\\");
  EXPECT_EQ(LastError(p), 2);
  EXPECT_EQ(LastError(p), 2);
  Command(p, "1#l");
  EXPECT_EQ(LastError(p), 0);
}

TEST(SimProtocol, QueriesWithoutCheckPlaceAreAnswered) {
  Printer p = Mavito();
  EXPECT_EQ(Exchange(p, Unchecked("0#n")), "\x1BP1#E0\x1B\\");
  EXPECT_EQ(Exchange(p, Unchecked("1#v")), "\x1BP1#RMavito/1.07\x1B\\");
  EXPECT_NE(Exchange(p, Unchecked("23#s")), "");
  // The same queries with a check are accepted as well.
  EXPECT_EQ(Exchange(p, Checked("1#v")), "\x1BP1#RMavito/1.07\x1B\\");
}

TEST(SimProtocol, UnknownCommandIsError0AndNotCarriedOut) {
  Printer p = Mavito();
  EXPECT_EQ(Command(p, "1$Q") & simtest::kCarriedOutBit, 0);
  EXPECT_EQ(LastError(p), 0);
  Exchange(p, Checked("12;3"));  // no command code at all
  EXPECT_EQ(Exchange(p, "\x05")[0] & simtest::kCarriedOutBit, 0);
}

TEST(SimProtocol, ParametersMustBePlainNumbers) {
  Printer p = Mavito();
  Command(p, "abc#l");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "1;;2$c");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "1;#l");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "9999999999#l");  // would overflow
  EXPECT_EQ(LastError(p), 4);
}

TEST(SimProtocol, WrongParameterCountIsError3) {
  Printer p = Mavito();
  Command(p, "#l");
  EXPECT_EQ(LastError(p), 3);
  Command(p, "1;2#l");
  EXPECT_EQ(LastError(p), 3);
}

TEST(SimProtocol, FrameSplitAcrossReadsIsOneFrame) {
  Printer p = Mavito();
  std::string frame = Checked("0#c");
  std::string out;
  for (char c : frame) out += Exchange(p, std::string(1, c));
  EXPECT_EQ(out, "\x1BP1#C26;6;15;10;30;0\x1B\\");
  EXPECT_EQ(p.State().framesReceived, 1u);
}

TEST(SimProtocol, StatusBytesInsideAFrameAreFrameData) {
  Printer p = Mavito();
  // An ENQ byte inside the text of a frame is data, not a status query.
  std::string out = Exchange(p,
                             "\x1BP2$d\xFF"
                             "a\x05"
                             "b\x1B\\");
  EXPECT_EQ(out, "");
  EXPECT_EQ(p.State().displayText,
            "a\x05"
            "b");
}

TEST(SimProtocol, NoiseOutsideFramesIsIgnored) {
  Printer p = Mavito();
  EXPECT_EQ(Exchange(p, "xyz\x1BQ" + Checked("0#c")), "\x1BP1#C26;6;15;10;30;0\x1B\\");
}

TEST(SimProtocol, StrayEscDoesNotSwallowAStatusQuery) {
  Printer p = Mavito();
  EXPECT_EQ(Exchange(p, "\x1B\x05"), "\x65");
  EXPECT_EQ(Exchange(p, "\x1B\x1B\x10"), "\x74");
}

TEST(SimProtocol, NewFrameStartAbandonsAnUnfinishedOne) {
  Printer p = Mavito();
  EXPECT_EQ(Exchange(p, "\x1BP5#l" + Checked("0#c")), "\x1BP1#C26;6;15;10;30;0\x1B\\");
  EXPECT_EQ(p.State().linesFed, 0);
}

TEST(SimProtocol, OverlongFrameIsRefusedWhole) {
  Printer p = Mavito();
  std::string text(kMaxFrameSize + 100, 'a');
  EXPECT_EQ(Exchange(p, "\x1BP2$d\xFF" + text + "\x1B\\"), "");
  EXPECT_EQ(p.State().displayText, "");
  EXPECT_EQ(LastError(p), 4);
  // The printer is still in step afterwards.
  EXPECT_EQ(Exchange(p, Checked("0#c")), "\x1BP1#C26;6;15;10;30;0\x1B\\");
}

TEST(SimProtocol, LastFrameAndFrameCountAreKept) {
  Printer p = Mavito();
  Exchange(p, Checked("1#l") + "\x05" + Unchecked("0#n"));
  EXPECT_EQ(p.State().framesReceived, 2u);
  EXPECT_EQ(p.State().lastFrame, "0#n");
}

}  // namespace
}  // namespace ulvo
