#pragma once
// The Win32 port's line settings and time-outs as plain values, so that the mapping from the
// settings record can be tested on any system. win_serial_port.cpp copies them into the
// driver's DCB and COMMTIMEOUTS; the numbers are the Win32 ones (checked there).

#include <chrono>
#include <cstdint>
#include <optional>

#include "link/settings.h"

namespace ulvo {

struct WinDcbFields {
  std::uint32_t BaudRate = 0;
  bool fBinary = true;
  bool fParity = false;  // parity checking
  bool fOutxCtsFlow = false;
  bool fOutxDsrFlow = false;
  std::uint8_t fDtrControl = 0;  // 0 disable, 1 enable, 2 handshake
  bool fDsrSensitivity = false;
  bool fTXContinueOnXoff = true;
  bool fOutX = false;
  bool fInX = false;
  bool fErrorChar = false;
  bool fNull = false;
  std::uint8_t fRtsControl = 0;  // 0 disable, 1 enable, 2 handshake, 3 toggle
  bool fAbortOnError = false;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
  bool operator==(const WinDcbFields&) const = default;
};

struct WinCommTimeouts {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
  bool operator==(const WinCommTimeouts&) const = default;
};

inline constexpr std::uint32_t kWinMaxDword = 0xFFFFFFFFu;

// Every DCB field the port sets from the settings record; empty for settings no driver takes
// (baud 0, data bits outside 5..8, parity above 4, stop bits above 2).
std::optional<WinDcbFields> DcbFieldsFor(const LineSettings& settings);

// Time-outs for one read and one write: a read returns at once with what has arrived, waits
// for the first byte at most `read` (0: does not wait); a write gives up after `write`.
WinCommTimeouts CommTimeoutsFor(std::chrono::milliseconds read, std::chrono::milliseconds write);

// CheckLineErrors from ClearCommError's answer: 1 when the call failed or an error was pending,
// 2 when output is held (CTS, DSR, carrier detect, XOFF received), otherwise 0.
int LineErrorResult(bool callSucceeded, std::uint32_t errors, bool ctsHold, bool dsrHold,
                    bool rlsdHold, bool xoffHold);

}  // namespace ulvo
