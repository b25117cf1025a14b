// The Windows program's COM ports: the Win32 port, with its arrivals watched by a thread of the
// port's own, which hands each one to the event loop so that a waiting dialog reads as soon as
// data comes.
#ifdef _WIN32

#include <windows.h>

#include <QObject>
#include <QPointer>
#include <atomic>
#include <thread>

#include "link/qt_network_port.h"
#include "link/qt_serial_port.h"
#include "link/win_serial_port.h"

namespace ulvo {

namespace {

class QtWinSerialPort final : public SerialPort {
 public:
  explicit QtWinSerialPort(std::unique_ptr<WinSerialPort> port)
      : port_(std::move(port)),
        stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        handled_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

  ~QtWinSerialPort() override {
    SetEvent(stop_);
    if (watcher_.joinable()) watcher_.join();
    CloseHandle(stop_);
    CloseHandle(handled_);
  }

  bool Valid() const { return stop_ != nullptr && handled_ != nullptr; }

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

  void SetWakeup(std::function<void()> wake) override {
    wake_ = std::move(wake);
    if (!wake_) return;
    if (!watcher_.joinable()) watcher_ = std::thread([this] { Watch(); });
    if (port_->RearmArrival()) WakeSoon();
  }

 private:
  // The watcher thread: each arrival is handed to the event loop once, and the next is awaited
  // only after the event loop has taken it back (RearmArrival). Where the driver cannot wait
  // for data, the watcher looks at its queue every few milliseconds and hands on a change.
  void Watch() {
    const HANDLE both[] = {stop_, static_cast<HANDLE>(port_->ArrivalEvent())};
    // What the queue held at the last hand-over, and how many reads there had been: bytes
    // still unread since then are not handed on again.
    long handedOn = 0;
    unsigned long takesThen = 0;
    for (;;) {
      if (port_->ArrivalWaits()) {
        if (WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
      } else {
        if (WaitForSingleObject(stop_, kWinQueuePollMs) != WAIT_TIMEOUT) return;
        const unsigned long takes = port_->Takes();
        const long queued = port_->QueuedBytes();
        if (queued == 0 || (queued == handedOn && takes == takesThen)) continue;
        handedOn = queued;
        takesThen = takes;
      }
      QMetaObject::invokeMethod(&context_, [this] { Arrived(); }, Qt::QueuedConnection);
      const HANDLE next[] = {stop_, handled_};
      if (WaitForMultipleObjects(2, next, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
    }
  }

  void Arrived() {
    port_->RearmArrival();
    SetEvent(handled_);
    // The wake-up may read, write or even drop the wake-up: call a copy, last.
    if (auto wake = wake_) wake();
  }

  // Data that came before the wait began: woken from the event loop, never from inside
  // SetWakeup.
  void WakeSoon() {
    QMetaObject::invokeMethod(
        &context_, [this] {
          if (auto wake = wake_) wake();
        },
        Qt::QueuedConnection);
  }

  std::unique_ptr<WinSerialPort> port_;
  HANDLE stop_;
  HANDLE handled_;
  QObject context_;  // queued calls die with the port
  std::thread watcher_;
  std::function<void()> wake_;
};

}  // namespace

PortOpener QtPortOpener() {
  return WithNetworkPorts([](const std::string& device) -> std::unique_ptr<SerialPort> {
    auto port = OpenWinSerialPort(device);
    if (!port) return nullptr;
    auto qt = std::make_unique<QtWinSerialPort>(std::move(port));
    if (!qt->Valid()) return nullptr;
    return qt;
  });
}

}  // namespace ulvo

#endif
