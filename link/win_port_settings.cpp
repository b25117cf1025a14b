#include "link/win_port_settings.h"

#include <algorithm>

namespace ulvo {
namespace {

constexpr std::uint8_t kDtrControlDisable = 0;
constexpr std::uint8_t kRtsControlDisable = 0;
constexpr std::uint8_t kRtsControlHandshake = 2;
constexpr std::uint16_t kXonLimit = 200;
constexpr std::uint16_t kXoffLimit = 800;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

std::uint32_t Milliseconds(std::chrono::milliseconds ms, std::uint32_t low, std::uint32_t high) {
  return static_cast<std::uint32_t>(std::clamp<long long>(ms.count(), low, high));
}

}  // namespace

std::optional<WinDcbFields> DcbFieldsFor(const LineSettings& s) {
  if (s.BaudRate == 0 || s.DataBits < 5 || s.DataBits > 8 || s.Parity > 4 || s.StopBits > 2)
    return std::nullopt;
  WinDcbFields d;
  d.BaudRate = s.BaudRate;
  d.fBinary = true;
  d.fParity = s.Parity != 0;
  d.fOutxCtsFlow = s.RtsCts != 0;
  d.fOutxDsrFlow = false;
  d.fDsrSensitivity = false;
  // DTR held off; RTS held off unless it does the handshake.
  d.fDtrControl = kDtrControlDisable;
  d.fRtsControl = s.RtsCts ? kRtsControlHandshake : kRtsControlDisable;
  d.fOutX = s.XonXoff != 0;
  d.fInX = s.XonXoff != 0;
  d.fTXContinueOnXoff = s.XonXoff == 0;
  d.fErrorChar = false;
  d.fNull = false;
  d.fAbortOnError = false;
  d.XonLim = kXonLimit;
  d.XoffLim = kXoffLimit;
  d.XonChar = kXon;
  d.XoffChar = kXoff;
  d.ErrorChar = d.EofChar = d.EvtChar = 0;
  // The indexes are the driver's own codes.
  d.ByteSize = s.DataBits;
  d.Parity = s.Parity;
  d.StopBits = s.StopBits;
  return d;
}

WinCommTimeouts CommTimeoutsFor(std::chrono::milliseconds read, std::chrono::milliseconds write) {
  WinCommTimeouts t;
  // MAXDWORD interval with MAXDWORD multiplier: return at once with whatever is there, else
  // with the first byte, else after the constant. Both zero constants would mean "never
  // wait" for reads but "wait for ever" for writes, hence the floors.
  t.ReadIntervalTimeout = kWinMaxDword;
  if (read.count() > 0) {
    t.ReadTotalTimeoutMultiplier = kWinMaxDword;
    t.ReadTotalTimeoutConstant = Milliseconds(read, 1, kWinMaxDword - 1);
  }
  t.WriteTotalTimeoutMultiplier = 0;
  t.WriteTotalTimeoutConstant = Milliseconds(write, 1, kWinMaxDword - 1);
  return t;
}

int LineErrorResult(bool callSucceeded, std::uint32_t errors, bool ctsHold, bool dsrHold,
                    bool rlsdHold, bool xoffHold) {
  if (!callSucceeded || errors != 0) return 1;
  if (ctsHold || dsrHold || rlsdHold || xoffHold) return 2;
  return 0;
}

}  // namespace ulvo
