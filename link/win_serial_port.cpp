#include "link/win_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
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
// How long past its time-out a write may take before it is cancelled, and how long a read of
// bytes the driver said it holds.
constexpr milliseconds kWriteGrace{1000};
constexpr milliseconds kReadBound{200};
// How long a cancelled operation may take to end (ms).
constexpr DWORD kStopBound = 500;
// A wait for data that ends this soon with nothing to report, this many times in a row, shows
// a driver that cannot wait.
constexpr milliseconds kEmptyWakeWindow{50};
constexpr int kEmptyWakesToGiveUp = 3;

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

// wine (8.0) carries out a pending WaitCommEvent on a thread of its own that ends without
// leaving the loader's list of threads; the next DLL with thread-local data that the program
// loads (one of Qt's plugins, say) then writes through what that thread left behind and the
// program crashes. Under wine the port therefore never asks for such a wait and looks at the
// driver's queue instead, as for a driver that cannot wait.
bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Errors after which the device is no longer there (a USB adapter pulled out).
bool MeansGone(DWORD error) {
  return error == ERROR_ACCESS_DENIED || error == ERROR_BAD_COMMAND ||
         error == ERROR_DEVICE_REMOVED || error == ERROR_GEN_FAILURE ||
         error == ERROR_FILE_NOT_FOUND || error == ERROR_DEV_NOT_EXIST;
}

// One overlapped operation's OVERLAPPED with its own manual-reset event.
class Overlapped {
 public:
  Overlapped() { ov_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  ~Overlapped() {
    if (ov_.hEvent) CloseHandle(ov_.hEvent);
  }
  Overlapped(const Overlapped&) = delete;
  Overlapped& operator=(const Overlapped&) = delete;

  bool Valid() const { return ov_.hEvent != nullptr; }
  OVERLAPPED* Get() { return &ov_; }
  HANDLE Event() const { return ov_.hEvent; }
  // Ready for the next operation.
  void Reset() {
    ResetEvent(ov_.hEvent);
    ov_.Internal = ov_.InternalHigh = 0;
    ov_.Offset = ov_.OffsetHigh = 0;
  }

 private:
  OVERLAPPED ov_{};
};

class Win32SerialPort final : public WinSerialPort {
 public:
  explicit Win32SerialPort(HANDLE handle) : handle_(handle) {}
  ~Win32SerialPort() override {
    StopArrivalWait();
    CloseHandle(handle_);
  }
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  bool Valid() const { return io_.Valid() && arrival_.Valid(); }

  bool Configure(const LineSettings& settings) override {
    const auto fields = DcbFieldsFor(settings);
    if (!fields) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) return Failed(GetLastError());
    // A known base first, then every field, so nothing of an earlier user of the port stays.
    char mode[] = "9600,N,8,1";
    if (!BuildCommDCBA(mode, &dcb)) return false;
    CopyInto(*fields, dcb);
    if (!SetCommState(handle_, &dcb)) return Failed(GetLastError());
    if (!ApplyTimeouts(kDefaultWriteTimeout)) return false;
    CheckLineErrors();  // clears what an earlier user left on the line
    return true;
  }

  WriteResult Write(const char* data, std::size_t count, milliseconds timeout) override {
    WriteResult result;
    if (count == 0) return result;
    if (gone_ || !ApplyTimeouts(timeout)) {
      result.status = WriteStatus::Failed;
      return result;
    }
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, kWinMaxDword));
    if (!Transfer(false, const_cast<char*>(data), asked, written, timeout + kWriteGrace)) {
      const DWORD error = GetLastError();
      result.status = error == ERROR_ACCESS_DENIED ? WriteStatus::AccessDenied : WriteStatus::Failed;
    }
    // What did not leave in time is dropped by the driver; the caller sends it again.
    result.written = written;
    return result;
  }

  // Reads only what the driver already holds, and waits for more on the arrival event: a read
  // that waits through COMMTIMEOUTS is not honoured the same everywhere for overlapped I/O
  // (wine waits for the first byte however short the time-out).
  long Read(char* data, std::size_t count, milliseconds timeout) override {
    if (count == 0) return 0;
    if (gone_ || !ApplyTimeouts(writeTimeout_)) return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      const long waiting = InQueue();
      if (waiting < 0) return -1;
      if (waiting > 0) {
        DWORD read = 0;
        const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(
            count, static_cast<std::size_t>(waiting)));
        if (!Transfer(true, data, asked, read, kReadBound)) return -1;
        if (read > 0) ++takes_;
        return static_cast<long>(read);
      }
      const auto left = std::chrono::ceil<milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return 0;
      if (!arrivalWaits_) {
        Sleep(static_cast<DWORD>(std::min<long long>(left.count(), kWinQueuePollMs)));
        continue;
      }
      if (!waiting_ && RearmArrival()) continue;
      if (WaitForSingleObject(arrival_.Event(), static_cast<DWORD>(left.count())) == WAIT_OBJECT_0)
        RearmArrival();
    }
  }

  int CheckLineErrors() override {
    DWORD errors = 0;
    COMSTAT status{};
    const bool ok = ClearCommError(handle_, &errors, &status) != 0;
    if (!ok) Failed(GetLastError());
    errors |= heldErrors_.exchange(0);  // seen by a read in the meantime
    return LineErrorResult(ok, errors, status.fCtsHold, status.fDsrHold, status.fRlsdHold,
                           status.fXoffHold);
  }

  // The arrival event wakes the event loop (qt_win_serial_port.cpp); nothing to keep here.
  void SetWakeup(std::function<void()>) override {}

  bool Gone() const override { return gone_; }

  void PurgeInput() override { PurgeComm(handle_, PURGE_RXCLEAR); }

  void* ArrivalEvent() const override { return arrival_.Event(); }

  bool ArrivalWaits() const override { return arrivalWaits_; }

  long QueuedBytes() override { return InQueue(); }

  unsigned long Takes() const override { return takes_; }

  bool RearmArrival() override {
    if (waiting_) {
      // The wait has ended (its event is signalled) or is still pending; take its result.
      DWORD unused = 0;
      const bool ended = GetOverlappedResult(handle_, arrival_.Get(), &unused, FALSE) != 0;
      if (!ended && GetLastError() == ERROR_IO_INCOMPLETE) return false;  // a stray call
      waiting_ = false;
      NoteWake(!ended || eventMask_ == 0);
    }
    if (gone_) return false;
    if (!arrivalWaits_) return InQueue() > 0;
    arrival_.Reset();
    if (!maskSet_) {
      if (!SetCommMask(handle_, EV_RXCHAR | EV_ERR | EV_BREAK)) {
        Failed(GetLastError());
        SetEvent(arrival_.Event());  // let the reader find out
        return true;
      }
      maskSet_ = true;
    }
    eventMask_ = 0;
    armedAt_ = std::chrono::steady_clock::now();
    if (WaitCommEvent(handle_, &eventMask_, arrival_.Get())) {
      SetEvent(arrival_.Event());  // already happened: the event loop takes it next
    } else if (GetLastError() == ERROR_IO_PENDING) {
      waiting_ = true;
    } else {
      Failed(GetLastError());
      NoteWake(true);  // a driver that refuses every wait is no better than one that cannot
      SetEvent(arrival_.Event());
      return true;
    }
    return InQueue() > 0;
  }

 private:
  // Starts a read or write and waits for it, at most `bound`: the COMMTIMEOUTS in force end a
  // write, and a read asks only for bytes already there, but a driver that keeps either
  // waiting (wine, for a read the line then cannot serve) has it cancelled, with what it did.
  bool Transfer(bool reading, char* data, DWORD count, DWORD& done, milliseconds bound) {
    done = 0;
    io_.Reset();
    const BOOL started = reading ? ReadFile(handle_, data, count, nullptr, io_.Get())
                                 : WriteFile(handle_, data, count, nullptr, io_.Get());
    if (!started && GetLastError() != ERROR_IO_PENDING) {
      const DWORD error = GetLastError();
      Failed(error);
      SetLastError(error);
      return false;
    }
    if (!started && WaitForSingleObject(io_.Event(), static_cast<DWORD>(bound.count())) ==
                        WAIT_TIMEOUT) {
      CancelIoEx(handle_, io_.Get());
      WaitForSingleObject(io_.Event(), kStopBound);
    }
    if (!GetOverlappedResult(handle_, io_.Get(), &done, FALSE)) {
      const DWORD error = GetLastError();
      // Cancelled above: `done` bytes went (none when it has not even ended yet).
      if (error == ERROR_OPERATION_ABORTED || error == ERROR_IO_INCOMPLETE) return true;
      Failed(error);
      SetLastError(error);
      return false;
    }
    return true;
  }

  // A wait for data has ended. One that ended with nothing to report, soon after it began,
  // though nothing here cancelled it, counts against the driver; enough of them in a row and
  // the port stops asking it to wait (ArrivalWaits), leaving the event signalled for whoever
  // still waits on it.
  void NoteWake(bool empty) {
    if (!empty || std::chrono::steady_clock::now() - armedAt_ > kEmptyWakeWindow) {
      emptyWakes_ = 0;
      return;
    }
    if (++emptyWakes_ < kEmptyWakesToGiveUp) return;
    arrivalWaits_ = false;
    SetEvent(arrival_.Event());
  }

  // The bytes the driver holds for us; -1 when the port failed. Line errors the call clears
  // are kept for CheckLineErrors.
  long InQueue() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(handle_, &errors, &status)) {
      Failed(GetLastError());
      return -1;
    }
    heldErrors_.fetch_or(errors);
    return static_cast<long>(std::min<DWORD>(status.cbInQue, 0x7FFFFFFF));
  }

  // Notes a failed call; false for the caller to return.
  bool Failed(DWORD error) {
    if (MeansGone(error)) gone_ = true;
    return false;
  }

  void StopArrivalWait() {
    if (!waiting_) return;
    SetCommMask(handle_, 0);  // ends a pending WaitCommEvent
    CancelIoEx(handle_, arrival_.Get());
    WaitForSingleObject(arrival_.Event(), kStopBound);
    waiting_ = false;
  }

  // Sets the driver's write time-out when it differs from the one in force; reads return at
  // once with what is there.
  bool ApplyTimeouts(milliseconds write) {
    if (applied_ && write == writeTimeout_) return true;
    const WinCommTimeouts t = CommTimeoutsFor(milliseconds(0), write);
    COMMTIMEOUTS c{};
    c.ReadIntervalTimeout = t.ReadIntervalTimeout;
    c.ReadTotalTimeoutMultiplier = t.ReadTotalTimeoutMultiplier;
    c.ReadTotalTimeoutConstant = t.ReadTotalTimeoutConstant;
    c.WriteTotalTimeoutMultiplier = t.WriteTotalTimeoutMultiplier;
    c.WriteTotalTimeoutConstant = t.WriteTotalTimeoutConstant;
    if (!SetCommTimeouts(handle_, &c)) return Failed(GetLastError());
    applied_ = true;
    writeTimeout_ = write;
    return true;
  }

  HANDLE handle_;
  Overlapped io_;       // the read or write under way
  Overlapped arrival_;  // the pending WaitCommEvent
  DWORD eventMask_ = 0;
  bool waiting_ = false;
  bool maskSet_ = false;
  std::chrono::steady_clock::time_point armedAt_;
  int emptyWakes_ = 0;
  std::atomic<bool> arrivalWaits_{!RunningUnderWine()};
  // Set and read from a watcher thread too (QueuedBytes).
  std::atomic<bool> gone_{false};
  std::atomic<DWORD> heldErrors_{0};
  std::atomic<unsigned long> takes_{0};
  bool applied_ = false;
  milliseconds writeTimeout_{kDefaultWriteTimeout};
};

}  // namespace

std::unique_ptr<WinSerialPort> OpenWinSerialPort(const std::string& device) {
  // Exclusive, existing device only, overlapped so that a wait for data can stay pending.
  HANDLE handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  auto port = std::make_unique<Win32SerialPort>(handle);
  if (!port->Valid()) return nullptr;
  return port;
}

PortOpener WinPortOpener() {
  return [](const std::string& device) { return OpenWinSerialPort(device); };
}

}  // namespace ulvo
