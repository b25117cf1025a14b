#include "link/qt_serial_port.h"

#include "link/qt_network_port.h"

#include <QMetaObject>
#include <QSerialPort>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace ulvo {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;
// The driver's output buffer: a port that has taken nothing for as long as that buffer
// needs to drain at the line speed is not going to take more.
constexpr long kDriverBufferBytes = 4096;

bool IsFailure(QSerialPort::SerialPortError error) {
  return error != QSerialPort::NoError && error != QSerialPort::TimeoutError;
}

class QtSerialPort final : public SerialPort {
 public:
  QtSerialPort() {
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { Wake(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { OnError(error); });
  }

  bool Open(const std::string& device) {
    port_.setPortName(QString::fromStdString(device));
    return port_.open(QIODevice::ReadWrite);
  }

  bool Configure(const LineSettings& settings) override;
  WriteResult Write(const char* data, std::size_t count, milliseconds timeout) override;
  long Read(char* data, std::size_t count, milliseconds timeout) override;
  int CheckLineErrors() override;
  void SetWakeup(std::function<void()> wake) override { wake_ = std::move(wake); }
  bool Gone() const override { return failed_ || !port_.isOpen(); }

 private:
  void Wake() {
    // Never from inside our own Read or Write: the callback reads, and must not nest.
    if (wake_ && !busy_) wake_();
  }
  struct Busy {
    explicit Busy(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Busy() { flag_ = was_; }
    bool& flag_;
    bool was_;
  };
  void OnError(QSerialPort::SerialPortError error);
  void Fail();
  bool HasModemLines();
  bool Writable();
  bool OutputQueued();  // bytes still waiting in the driver
#ifdef Q_OS_UNIX
  void TakeBackUnsent(int fd, Clock::time_point until, WriteResult& result);
#endif

  QSerialPort port_;
  std::function<void()> wake_;
  bool failed_ = false;        // the device is gone; only closing helps
  bool errorPending_ = false;  // reported once by CheckLineErrors
  bool stalled_ = false;       // the last write ended with bytes the port would not take
  bool flowControl_ = false;
  bool busy_ = false;
  milliseconds stallLimit_{1000};
};

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  if (!IsFailure(error)) return;
  errorPending_ = true;
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) Fail();
}

void QtSerialPort::Fail() {
  if (failed_) return;
  failed_ = true;
  errorPending_ = true;
  // A vanished device stays readable for ever; close it from the event loop (not inside
  // Qt's own notifier) so it cannot flood us with events, and say so once.
  QMetaObject::invokeMethod(
      &port_, [this] { port_.close(); }, Qt::QueuedConnection);
  Wake();
}

bool QtSerialPort::HasModemLines() {
#ifdef Q_OS_UNIX
  int lines = 0;
  if (::ioctl(static_cast<int>(port_.handle()), TIOCMGET, &lines) == 0) return true;
  // Pseudo-terminals have no modem lines at all.
  return errno != ENOTTY && errno != EINVAL;
#else
  return true;
#endif
}

bool QtSerialPort::Configure(const LineSettings& s) {
  if (!port_.isOpen() || s.BaudRate == 0 || s.BaudRate > 0x7fffffffu) return false;
  if (s.DataBits < 5 || s.DataBits > 8 || s.Parity > 4 || s.StopBits > 2) return false;
  // Qt knows how to reach any baud rate the driver offers.
  bool ok = port_.setBaudRate(static_cast<qint32>(s.BaudRate));
#ifdef Q_OS_UNIX
  // The character format and flow control straight in termios: Qt refuses some of them on
  // some devices and cannot put both flow controls on at once.
  if (ok) {
    termios tio{};
    const int fd = static_cast<int>(port_.handle());
    ok = ::tcgetattr(fd, &tio) == 0;
    if (ok) {
      static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
      tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
      tio.c_cflag |= kSizes[s.DataBits - 5] | CLOCAL | CREAD;
      static constexpr tcflag_t kParities[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                               PARENB | CMSPAR};
      tio.c_cflag |= kParities[s.Parity];
      // POSIX has no 1.5 stop bits; the UART sends 1.5 for "two" at 5 data bits.
      if (s.StopBits != 0) tio.c_cflag |= CSTOPB;
      if (s.RtsCts) tio.c_cflag |= CRTSCTS;
      tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
      if (s.XonXoff) tio.c_iflag |= IXON | IXOFF;  // only XON restarts, as on the printer's side
      if (s.Parity != 0) tio.c_iflag |= INPCK;
      tio.c_cc[VSTART] = kXon;
      tio.c_cc[VSTOP] = kXoff;
      ok = ::tcsetattr(fd, TCSANOW, &tio) == 0;
    }
  }
#else
  static constexpr QSerialPort::Parity kParities[] = {
      QSerialPort::NoParity, QSerialPort::OddParity, QSerialPort::EvenParity,
      QSerialPort::MarkParity, QSerialPort::SpaceParity};
  static constexpr QSerialPort::StopBits kStops[] = {
      QSerialPort::OneStop, QSerialPort::OneAndHalfStop, QSerialPort::TwoStop};
  ok = ok && port_.setDataBits(static_cast<QSerialPort::DataBits>(s.DataBits)) &&
       port_.setParity(kParities[s.Parity]) && port_.setStopBits(kStops[s.StopBits]) &&
       port_.setFlowControl(s.RtsCts    ? QSerialPort::HardwareControl
                            : s.XonXoff ? QSerialPort::SoftwareControl
                                        : QSerialPort::NoFlowControl);
#endif
  if (ok && HasModemLines()) {
    // DTR held off; RTS held off unless it does the handshake.
    ok = port_.setDataTerminalReady(false);
    if (ok && !s.RtsCts) ok = port_.setRequestToSend(false);
  }
  if (!ok) return false;
  port_.clearError();
  errorPending_ = false;
  flowControl_ = s.XonXoff || s.RtsCts;
  stallLimit_ = milliseconds(kDriverBufferBytes * 10 * 1000 / s.BaudRate + 100);
  return true;
}

#ifdef Q_OS_UNIX
// Under flow control a real port's driver keeps accepted bytes while the printer says stop.
// What has not left by `until` is taken back, so that a retry does not send it twice.
void QtSerialPort::TakeBackUnsent(int fd, Clock::time_point until, WriteResult& result) {
  int queued = 0;
  while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
    if (Clock::now() >= until) {
      ::tcflush(fd, TCOFLUSH);
      result.written -= std::min(result.written, static_cast<std::size_t>(queued));
      stalled_ = true;
      return;
    }
    // The bytes leave at the line speed; a short nap per check keeps this cheap.
    std::this_thread::sleep_for(milliseconds(2));
  }
}
#endif

bool QtSerialPort::OutputQueued() {
#ifdef Q_OS_UNIX
  int queued = 0;
  return ::ioctl(static_cast<int>(port_.handle()), TIOCOUTQ, &queued) == 0 && queued > 0;
#else
  return port_.bytesToWrite() > 0;
#endif
}

bool QtSerialPort::Writable() {
#ifdef Q_OS_UNIX
  pollfd p{static_cast<int>(port_.handle()), POLLOUT, 0};
  return ::poll(&p, 1, 0) == 1 && (p.revents & POLLOUT) && !(p.revents & (POLLERR | POLLHUP));
#else
  return port_.bytesToWrite() == 0;
#endif
}

WriteResult QtSerialPort::Write(const char* data, std::size_t count, milliseconds timeout) {
  WriteResult result;
  Busy busy(busy_);
  if (failed_ || !port_.isOpen()) {
    errorPending_ = true;
    result.status = WriteStatus::Failed;
    return result;
  }
  const auto start = Clock::now();
  const auto deadline = start + timeout;
  auto lastProgress = start;
#ifdef Q_OS_UNIX
  // Straight to the descriptor: Qt would keep the unsent rest queued and send it later,
  // after the caller has already decided to send it again.
  const int fd = static_cast<int>(port_.handle());
  bool gaveUp = false;
  while (result.written < count) {
    const ssize_t n = ::write(fd, data + result.written, count - result.written);
    if (n > 0) {
      result.written += static_cast<std::size_t>(n);
      lastProgress = Clock::now();
      stalled_ = false;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      if (errno == EACCES || errno == EPERM) {
        result.status = WriteStatus::AccessDenied;
        return result;
      }
      result.status = WriteStatus::Failed;
      if (errno == EIO || errno == ENXIO || errno == ENODEV) Fail();
      errorPending_ = true;
      return result;
    }
    // The port takes nothing now. Still stuck since the last call: do not wait again, the
    // caller paces its retries.
    if (stalled_ && result.written == 0) return result;
    const auto now = Clock::now();
    const auto until = std::min(deadline, lastProgress + stallLimit_);
    if (now >= until) {
      stalled_ = true;
      gaveUp = true;
      break;
    }
    pollfd p{fd, POLLOUT, 0};
    const auto wait = std::chrono::duration_cast<milliseconds>(until - now).count() + 1;
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<long long>(wait, 60000)));
    if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
      Fail();
      result.status = WriteStatus::Failed;
      return result;
    }
  }
  if (flowControl_) TakeBackUnsent(fd, gaveUp ? Clock::now() : deadline, result);
#else
  const qint64 queued = port_.write(data, static_cast<qint64>(count));
  if (queued < 0) {
    errorPending_ = true;
    result.status = port_.error() == QSerialPort::PermissionError ? WriteStatus::AccessDenied
                                                                  : WriteStatus::Failed;
    return result;
  }
  while (port_.bytesToWrite() > 0) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || !port_.waitForBytesWritten(static_cast<int>(left))) break;
  }
  const qint64 unsent = port_.bytesToWrite();
  result.written = static_cast<std::size_t>(queued - unsent);
  if (unsent > 0) {
    port_.clear(QSerialPort::Output);  // the caller resends the rest itself
    stalled_ = true;
  } else {
    stalled_ = false;
  }
  if (failed_) result.status = WriteStatus::Failed;
#endif
  return result;
}

long QtSerialPort::Read(char* data, std::size_t count, milliseconds timeout) {
  if (failed_ || !port_.isOpen()) return -1;
  if (count == 0) return 0;
  Busy busy(busy_);
  if (port_.bytesAvailable() == 0) {
    const int ms = static_cast<int>(std::clamp<long long>(timeout.count(), 0, 60000));
    if (!port_.waitForReadyRead(ms)) {
      if (failed_) return -1;
      if (IsFailure(port_.error())) {
        Fail();
        return -1;
      }
      port_.clearError();
      return 0;
    }
  }
  const qint64 n = port_.read(data, static_cast<qint64>(count));
  if (n < 0) {
    Fail();
    return -1;
  }
  return static_cast<long>(n);
}

int QtSerialPort::CheckLineErrors() {
  if (failed_ || !port_.isOpen()) return 1;
  if (errorPending_ || IsFailure(port_.error())) {
    errorPending_ = false;
    port_.clearError();
    return 1;
  }
  if (flowControl_ && stalled_) {
    if (!Writable() || OutputQueued()) return 2;
    stalled_ = false;
  }
  return 0;
}

}  // namespace

std::unique_ptr<SerialPort> OpenQtSerialPort(const std::string& device) {
#ifdef Q_OS_UNIX
  // A device that is not there fails at once; Qt would first spend its lock-file dance on it,
  // which the printer search pays some sixty times over.
  if (!device.empty() && device[0] == '/' && ::access(device.c_str(), F_OK) != 0) return nullptr;
#endif
  auto port = std::make_unique<QtSerialPort>();
  if (!port->Open(device)) return nullptr;
  return port;
}

PortOpener QtPortOpener() {
  return WithNetworkPorts([](const std::string& device) { return OpenQtSerialPort(device); });
}

}  // namespace ulvo
