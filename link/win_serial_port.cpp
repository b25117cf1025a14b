#include "link/win_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

#include "link/win_port_settings.h"

namespace ulvo {
namespace {

// The plain values of win_port_settings.h are the driver's own numbers.
static_assert(DTR_CONTROL_DISABLE == 0 && DTR_CONTROL_ENABLE == 1 && DTR_CONTROL_HANDSHAKE == 2);
static_assert(RTS_CONTROL_DISABLE == 0 && RTS_CONTROL_ENABLE == 1 && RTS_CONTROL_HANDSHAKE == 2 &&
              RTS_CONTROL_TOGGLE == 3);
static_assert(NOPARITY == 0 && ODDPARITY == 1 && EVENPARITY == 2 && MARKPARITY == 3 &&
              SPACEPARITY == 4);
static_assert(ONESTOPBIT == 0 && ONE5STOPBITS == 1 && TWOSTOPBITS == 2);
static_assert(MAXDWORD == kWinMaxDword);

using std::chrono::milliseconds;

// The write time-out the port uses until a write names its own.
constexpr milliseconds kDefaultWriteTimeout{100};

void CopyInto(const WinDcbFields& f, DCB& dcb) {
  dcb.BaudRate = f.BaudRate;
  dcb.fBinary = f.fBinary;
  dcb.fParity = f.fParity;
  dcb.fOutxCtsFlow = f.fOutxCtsFlow;
  dcb.fOutxDsrFlow = f.fOutxDsrFlow;
  dcb.fDtrControl = f.fDtrControl;
  dcb.fDsrSensitivity = f.fDsrSensitivity;
  dcb.fTXContinueOnXoff = f.fTXContinueOnXoff;
  dcb.fOutX = f.fOutX;
  dcb.fInX = f.fInX;
  dcb.fErrorChar = f.fErrorChar;
  dcb.fNull = f.fNull;
  dcb.fRtsControl = f.fRtsControl;
  dcb.fAbortOnError = f.fAbortOnError;
  dcb.XonLim = f.XonLim;
  dcb.XoffLim = f.XoffLim;
  dcb.ByteSize = f.ByteSize;
  dcb.Parity = f.Parity;
  dcb.StopBits = f.StopBits;
  dcb.XonChar = f.XonChar;
  dcb.XoffChar = f.XoffChar;
  dcb.ErrorChar = f.ErrorChar;
  dcb.EofChar = f.EofChar;
  dcb.EvtChar = f.EvtChar;
}

class WinSerialPort final : public SerialPort {
 public:
  explicit WinSerialPort(HANDLE handle) : handle_(handle) {}
  ~WinSerialPort() override { CloseHandle(handle_); }
  WinSerialPort(const WinSerialPort&) = delete;
  WinSerialPort& operator=(const WinSerialPort&) = delete;

  bool Configure(const LineSettings& settings) override {
    const auto fields = DcbFieldsFor(settings);
    if (!fields) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return false;
    // A known base first, then every field, so nothing of an earlier user of the port stays.
    char mode[] = "9600,N,8,1";
    if (!BuildCommDCBA(mode, &dcb)) return false;
    CopyInto(*fields, dcb);
    if (!SetCommState(handle_, &dcb)) return false;
    if (!ApplyTimeouts(milliseconds(0), kDefaultWriteTimeout)) return false;
    CheckLineErrors();  // clears what an earlier user left on the line
    return true;
  }

  WriteResult Write(const char* data, std::size_t count, milliseconds timeout) override {
    WriteResult result;
    if (count == 0) return result;
    if (!ApplyTimeouts(readTimeout_, timeout)) {
      result.status = WriteStatus::Failed;
      return result;
    }
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, kWinMaxDword));
    if (!WriteFile(handle_, data, asked, &written, nullptr)) {
      result.status =
          GetLastError() == ERROR_ACCESS_DENIED ? WriteStatus::AccessDenied : WriteStatus::Failed;
    }
    // What did not leave in time is dropped by the driver; the caller sends it again.
    result.written = written;
    return result;
  }

  long Read(char* data, std::size_t count, milliseconds timeout) override {
    if (count == 0) return 0;
    if (!ApplyTimeouts(timeout, writeTimeout_)) return -1;
    DWORD read = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, 0x7FFFFFFF));
    if (!ReadFile(handle_, data, asked, &read, nullptr)) return -1;
    return static_cast<long>(read);
  }

  int CheckLineErrors() override {
    DWORD errors = 0;
    COMSTAT status{};
    const bool ok = ClearCommError(handle_, &errors, &status) != 0;
    return LineErrorResult(ok, errors, status.fCtsHold, status.fDsrHold, status.fRlsdHold,
                           status.fXoffHold);
  }

  // The reply wait also reads on its own timer; a blocking port has no event to wake it with.
  void SetWakeup(std::function<void()> wake) override { wake_ = std::move(wake); }

 private:
  // Sets the driver's time-outs when they differ from the ones in force.
  bool ApplyTimeouts(milliseconds read, milliseconds write) {
    if (applied_ && read == readTimeout_ && write == writeTimeout_) return true;
    const WinCommTimeouts t = CommTimeoutsFor(read, write);
    COMMTIMEOUTS c{};
    c.ReadIntervalTimeout = t.ReadIntervalTimeout;
    c.ReadTotalTimeoutMultiplier = t.ReadTotalTimeoutMultiplier;
    c.ReadTotalTimeoutConstant = t.ReadTotalTimeoutConstant;
    c.WriteTotalTimeoutMultiplier = t.WriteTotalTimeoutMultiplier;
    c.WriteTotalTimeoutConstant = t.WriteTotalTimeoutConstant;
    if (!SetCommTimeouts(handle_, &c)) return false;
    applied_ = true;
    readTimeout_ = read;
    writeTimeout_ = write;
    return true;
  }

  HANDLE handle_;
  std::function<void()> wake_;
  bool applied_ = false;
  milliseconds readTimeout_{0};
  milliseconds writeTimeout_{kDefaultWriteTimeout};
};

}  // namespace

std::unique_ptr<SerialPort> OpenWinSerialPort(const std::string& device) {
  // Exclusive, existing device only, no overlapped I/O.
  HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinSerialPort>(handle);
}

PortOpener WinPortOpener() {
  return [](const std::string& device) { return OpenWinSerialPort(device); };
}

}  // namespace ulvo
