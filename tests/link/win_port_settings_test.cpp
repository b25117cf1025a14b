#include "link/win_port_settings.h"

#include <gtest/gtest.h>

namespace ulvo {
namespace {

using std::chrono::milliseconds;

LineSettings Line(std::uint32_t baud, std::uint8_t bits, std::uint8_t parity, std::uint8_t stop,
                  std::uint8_t xonXoff, std::uint8_t rtsCts) {
  return LineSettings{baud, bits, parity, stop, xonXoff, rtsCts};
}

TEST(DcbFieldsFor, DefaultsGiveAPlainLineWithBothControlLinesHeldOff) {
  const auto d = DcbFieldsFor(LineSettings{});
  ASSERT_TRUE(d.has_value());
  WinDcbFields expected;
  expected.BaudRate = 9600;
  expected.fBinary = true;
  expected.fParity = false;
  expected.fOutxCtsFlow = false;
  expected.fOutxDsrFlow = false;
  expected.fDtrControl = 0;  // DTR_CONTROL_DISABLE
  expected.fDsrSensitivity = false;
  expected.fTXContinueOnXoff = true;
  expected.fOutX = expected.fInX = false;
  expected.fErrorChar = expected.fNull = expected.fAbortOnError = false;
  expected.fRtsControl = 0;  // RTS_CONTROL_DISABLE
  expected.XonLim = 200;
  expected.XoffLim = 800;
  expected.ByteSize = 8;
  expected.Parity = 0;
  expected.StopBits = 0;
  expected.XonChar = 0x11;
  expected.XoffChar = 0x13;
  EXPECT_EQ(*d, expected);
}

TEST(DcbFieldsFor, FlowControlAndCharacterFormatFollowTheSettings) {
  struct Case {
    LineSettings line;
    bool parityCheck, ctsFlow;
    std::uint8_t rtsControl;
    bool outX, inX, continueOnXoff;
  };
  const Case cases[] = {
      // RTS/CTS: RTS does the handshake, CTS gates output; DTR stays off.
      {Line(19200, 8, 0, 0, 0, 1), false, true, 2, false, false, true},
      // XON/XOFF both ways, and no sending after an XOFF.
      {Line(9600, 7, 2, 0, 1, 0), true, false, 0, true, true, false},
      // Both at once.
      {Line(115200, 8, 1, 2, 1, 1), true, true, 2, true, true, false},
      // Mark and space parity are checked parities too.
      {Line(4800, 7, 3, 0, 0, 0), true, false, 0, false, false, true},
      {Line(4800, 7, 4, 0, 0, 0), true, false, 0, false, false, true},
  };
  for (const Case& c : cases) {
    const auto d = DcbFieldsFor(c.line);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->BaudRate, c.line.BaudRate);
    EXPECT_EQ(d->ByteSize, c.line.DataBits);
    EXPECT_EQ(d->Parity, c.line.Parity);  // the index is the driver's code
    EXPECT_EQ(d->StopBits, c.line.StopBits);
    EXPECT_EQ(d->fParity, c.parityCheck);
    EXPECT_EQ(d->fOutxCtsFlow, c.ctsFlow);
    EXPECT_EQ(d->fRtsControl, c.rtsControl);
    EXPECT_EQ(d->fDtrControl, 0);
    EXPECT_FALSE(d->fOutxDsrFlow);
    EXPECT_FALSE(d->fDsrSensitivity);
    EXPECT_EQ(d->fOutX, c.outX);
    EXPECT_EQ(d->fInX, c.inX);
    EXPECT_EQ(d->fTXContinueOnXoff, c.continueOnXoff);
  }
}

TEST(DcbFieldsFor, UnusualButValidLinesPassToTheDriver) {
  // 1.5 stop bits with 5 data bits, a baud rate outside the dialog's list.
  const auto d = DcbFieldsFor(Line(250000, 5, 0, 1, 0, 0));
  ASSERT_TRUE(d.has_value());
  EXPECT_EQ(d->StopBits, 1);
  EXPECT_EQ(d->ByteSize, 5);
  EXPECT_EQ(d->BaudRate, 250000u);
}

TEST(DcbFieldsFor, SettingsNoDriverTakesAreRefused) {
  for (const LineSettings& bad :
       {Line(0, 8, 0, 0, 0, 0), Line(9600, 4, 0, 0, 0, 0), Line(9600, 9, 0, 0, 0, 0),
        Line(9600, 8, 5, 0, 0, 0), Line(9600, 8, 0, 3, 0, 0)}) {
    EXPECT_FALSE(DcbFieldsFor(bad).has_value()) << int(bad.DataBits) << " " << int(bad.Parity);
  }
}

TEST(CommTimeoutsFor, ReadsReturnWithTheFirstBytesAndWaitAtMostTheTimeout) {
  const WinCommTimeouts t = CommTimeoutsFor(milliseconds(100), milliseconds(250));
  EXPECT_EQ(t.ReadIntervalTimeout, kWinMaxDword);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, kWinMaxDword);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 100u);
  EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 250u);
}

TEST(CommTimeoutsFor, ZeroReadTakesOnlyWhatIsThereAndZeroWriteStillEnds) {
  const WinCommTimeouts t = CommTimeoutsFor(milliseconds(0), milliseconds(0));
  // Interval MAXDWORD with both totals 0: return at once.
  EXPECT_EQ(t.ReadIntervalTimeout, kWinMaxDword);
  EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
  EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
  // Both write totals 0 would mean no time-out at all.
  EXPECT_EQ(t.WriteTotalTimeoutConstant, 1u);
  const WinCommTimeouts negative = CommTimeoutsFor(milliseconds(-5), milliseconds(-5));
  EXPECT_EQ(negative.ReadTotalTimeoutConstant, 0u);
  EXPECT_EQ(negative.WriteTotalTimeoutConstant, 1u);
}

TEST(CommTimeoutsFor, HugeTimeoutsStayBelowTheDriversNoTimeoutValue) {
  const WinCommTimeouts t = CommTimeoutsFor(milliseconds(1LL << 40), milliseconds(1LL << 40));
  EXPECT_EQ(t.ReadTotalTimeoutConstant, kWinMaxDword - 1);
  EXPECT_EQ(t.WriteTotalTimeoutConstant, kWinMaxDword - 1);
}

TEST(LineErrorResult, FailureOrPendingErrorFirstThenHeldOutput) {
  EXPECT_EQ(LineErrorResult(true, 0, false, false, false, false), 0);
  EXPECT_EQ(LineErrorResult(false, 0, false, false, false, false), 1);
  EXPECT_EQ(LineErrorResult(true, 0x0008 /* CE_FRAME */, true, false, false, false), 1);
  EXPECT_EQ(LineErrorResult(true, 0, true, false, false, false), 2);
  EXPECT_EQ(LineErrorResult(true, 0, false, true, false, false), 2);
  EXPECT_EQ(LineErrorResult(true, 0, false, false, true, false), 2);
  EXPECT_EQ(LineErrorResult(true, 0, false, false, false, true), 2);
}

}  // namespace
}  // namespace ulvo
