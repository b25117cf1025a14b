// The Windows program's COM ports: the Win32 port, with its arrival event watched by the
// event loop so that a waiting dialog reads as soon as data comes.
#ifdef _WIN32

#include <QWinEventNotifier>
#include <QTimer>

#include "link/qt_network_port.h"
#include "link/qt_serial_port.h"
#include "link/win_serial_port.h"

namespace ulvo {

namespace {

class QtWinSerialPort final : public SerialPort {
 public:
  explicit QtWinSerialPort(std::unique_ptr<WinSerialPort> port) : port_(std::move(port)) {}
  ~QtWinSerialPort() override { notifier_.reset(); }  // before the port closes the event

  bool Configure(const LineSettings& settings) override { return port_->Configure(settings); }
  WriteResult Write(const char* data, std::size_t count,
                    std::chrono::milliseconds timeout) override {
    return port_->Write(data, count, timeout);
  }
  long Read(char* data, std::size_t count, std::chrono::milliseconds timeout) override {
    return port_->Read(data, count, timeout);
  }
  int CheckLineErrors() override { return port_->CheckLineErrors(); }
  bool Gone() const override { return port_->Gone(); }
  void PurgeInput() override { port_->PurgeInput(); }

  // The notifier lives as long as the port: a wake-up may drop the wake-up from inside the
  // notifier's own signal, so dropping only disables it.
  void SetWakeup(std::function<void()> wake) override {
    wake_ = std::move(wake);
    if (!wake_) {
      if (notifier_) notifier_->setEnabled(false);
      return;
    }
    if (!notifier_) {
      notifier_ = std::make_unique<QWinEventNotifier>(port_->ArrivalEvent());
      QObject::connect(notifier_.get(), &QWinEventNotifier::activated, notifier_.get(),
                       [this] { Arrived(); });
    } else if (notifier_->isEnabled()) {
      return;
    }
    notifier_->setEnabled(true);
    if (port_->RearmArrival()) WakeSoon();
  }

 private:
  void Arrived() {
    port_->RearmArrival();
    // The wake-up may read, write or even drop the wake-up: call a copy, last.
    if (auto wake = wake_) wake();
  }

  // Data that came before the wait began: woken from the event loop, never from inside
  // SetWakeup.
  void WakeSoon() {
    QTimer::singleShot(0, notifier_.get(), [this] {
      if (auto wake = wake_) wake();
    });
  }

  std::unique_ptr<WinSerialPort> port_;
  std::unique_ptr<QWinEventNotifier> notifier_;
  std::function<void()> wake_;
};

}  // namespace

PortOpener QtPortOpener() {
  return WithNetworkPorts([](const std::string& device) -> std::unique_ptr<SerialPort> {
    auto port = OpenWinSerialPort(device);
    if (!port) return nullptr;
    return std::make_unique<QtWinSerialPort>(std::move(port));
  });
}

}  // namespace ulvo

#endif
