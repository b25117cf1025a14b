#include "link/qt_network_port.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <algorithm>
#include <cstring>

#include "link/network_port_name.h"
#include "link/rfc2217.h"
#include "link/qt_serial_port.h"

namespace ulvo {

namespace {

using std::chrono::milliseconds;

// What the socket may hold unread: a server that floods cannot fill our memory, TCP holds it
// back instead.
constexpr qint64 kReadBuffer = 64 * 1024;

class QtNetworkPort final : public SerialPort {
 public:
  QtNetworkPort() {
    socket_.setReadBufferSize(kReadBuffer);
    QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] { Wake(); });
    QObject::connect(&socket_, &QTcpSocket::disconnected, &socket_, [this] {
      failed_ = true;
      Wake();
    });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, &socket_,
                     [this](QAbstractSocket::SocketError) {
                       if (socket_.state() != QAbstractSocket::ConnectedState) failed_ = true;
                       Wake();
                     });
  }

  void Connect(const std::string& device) {
    std::string why;
    const std::optional<NetworkPortName> name = ParseNetworkPortName(device, &why);
    if (!name) {
      openError_ = "błędny adres " + device + ": " + why + ".";
      return;
    }
    telnet_ = name->kind == NetworkPortName::Kind::kRfc2217;
    Busy busy(busy_);
    socket_.connectToHost(QString::fromStdString(name->host), name->port);
    if (!socket_.waitForConnected(static_cast<int>(kNetworkConnectBound.count()))) {
      const auto seconds = std::to_string(kNetworkConnectBound.count() / 1000);
      switch (socket_.error()) {
        case QAbstractSocket::HostNotFoundError:
          openError_ = "nie znaleziono hosta " + name->host + " (" + device + ").";
          break;
        case QAbstractSocket::ConnectionRefusedError:
          openError_ = device + " odmówił połączenia.";
          break;
        case QAbstractSocket::SocketTimeoutError:
          openError_ = device + " nie odpowiada (czekano " + seconds + " s).";
          break;
        default:
          openError_ =
              "brak połączenia z " + device + ": " + socket_.errorString().toStdString() + ".";
          break;
      }
      socket_.abort();
      return;
    }
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (telnet_) Send(rfc2217_.Start());
  }

  std::string OpenError() const override { return openError_; }

  bool Configure(const LineSettings& settings) override {
    if (Gone()) return false;
    if (telnet_) Send(rfc2217_.Configure(settings));
    flowControl_ = settings.XonXoff || settings.RtsCts;
    return !failed_;
  }

  WriteResult Write(const char* data, std::size_t count, milliseconds timeout) override {
    WriteResult result;
    Busy busy(busy_);
    if (Gone()) {
      result.status = WriteStatus::Failed;
      return result;
    }
    const std::string_view bytes(data, count);
    if (!Send(telnet_ ? Rfc2217Client::Escape(bytes) : std::string(bytes), timeout)) {
      result.status = WriteStatus::Failed;
      return result;
    }
    result.written = count;
    return result;
  }

  long Read(char* data, std::size_t count, milliseconds timeout) override {
    if (count == 0) return 0;
    Busy busy(busy_);
    QElapsedTimer clock;
    clock.start();
    Drain();
    // Telnet negotiation alone is no data: wait on for the rest of the time-out.
    while (pending_.empty() && !failed_) {
      const qint64 left = timeout.count() - clock.elapsed();
      if (left <= 0 || !socket_.waitForReadyRead(static_cast<int>(left))) break;
      Drain();
    }
    if (pending_.empty()) return Gone() ? -1 : 0;
    const std::size_t n = std::min(count, pending_.size());
    std::memcpy(data, pending_.data(), n);
    pending_.erase(0, n);
    return static_cast<long>(n);
  }

  int CheckLineErrors() override {
    if (Gone()) return 1;
    if (flowControl_ && rfc2217_.OutputSuspended()) return 2;
    return 0;
  }

  void SetWakeup(std::function<void()> wake) override { wake_ = std::move(wake); }

  bool Gone() const override {
    return failed_ || socket_.state() != QAbstractSocket::ConnectedState;
  }

  void PurgeInput() override {
    if (telnet_ && !Gone()) Send(rfc2217_.PurgeInput());
  }

 private:
  struct Busy {
    explicit Busy(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Busy() { flag_ = was_; }
    bool& flag_;
    bool was_;
  };

  void Wake() {
    // Never from inside our own Read or Write: the callback reads, and must not nest.
    if (wake_ && !busy_) wake_();
  }

  // Moves what the socket holds into `pending_`, answering Telnet negotiation on the way.
  void Drain() {
    char buffer[4096];
    for (;;) {
      const qint64 n = socket_.read(buffer, sizeof buffer);
      if (n < 0) {
        failed_ = true;
        return;
      }
      if (n == 0) return;
      if (telnet_) {
        rfc2217_.Receive(std::string_view(buffer, static_cast<std::size_t>(n)), pending_);
        const std::string replies = rfc2217_.TakeReplies();
        if (!replies.empty()) Send(replies);
      } else {
        pending_.append(buffer, static_cast<std::size_t>(n));
      }
      if (pending_.size() >= kReadBuffer) return;  // the rest waits in the socket
    }
  }

  bool Send(const std::string& bytes, milliseconds timeout = milliseconds(1000)) {
    if (bytes.empty()) return true;
    if (socket_.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
      failed_ = true;
      return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (socket_.bytesToWrite() > 0) {
      const qint64 left = std::max<qint64>(timeout.count(), 10) - clock.elapsed();
      if (left <= 0 || !socket_.waitForBytesWritten(static_cast<int>(left))) break;
    }
    if (socket_.state() != QAbstractSocket::ConnectedState) failed_ = true;
    return !failed_;
  }

  QTcpSocket socket_;
  Rfc2217Client rfc2217_;
  bool telnet_ = false;
  std::string pending_;  // line data taken from the socket, not read yet
  std::string openError_;
  std::function<void()> wake_;
  bool failed_ = false;
  bool busy_ = false;
  bool flowControl_ = false;
};

}  // namespace

std::unique_ptr<SerialPort> OpenNetworkPort(const std::string& device) {
  auto port = std::make_unique<QtNetworkPort>();
  port->Connect(device);
  return port;
}

PortOpener WithNetworkPorts(PortOpener local) {
  return [local = std::move(local)](const std::string& device) -> std::unique_ptr<SerialPort> {
    if (IsNetworkPortName(device)) return OpenNetworkPort(device);
    return local ? local(device) : nullptr;
  };
}

}  // namespace ulvo
