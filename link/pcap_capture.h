#pragma once
// A capture that runs until it is stopped: it listens on the printer line (as a TrafficTap),
// cuts the bytes into the traffic decoder's rows and writes each as a packet of a pcap file.
// It stops by itself before the file would grow past its bound, and says so once.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "link/pcap_file.h"
#include "link/traffic_decoder.h"
#include "link/traffic_tap.h"

namespace ulvo {

class PcapCapture final : public TrafficTap {
 public:
  // Starts a capture into `path`; null and a Polish reason in `error` when the file cannot be
  // made. `full` is called once when the bound stops the capture (or the file fails): the
  // message to show. It is called from inside a write or read of the link, so a window
  // should show it later.
  static std::unique_ptr<PcapCapture> Start(const std::filesystem::path& path,
                                            std::function<void(const std::string&)> full,
                                            std::string* error,
                                            std::uint64_t maxBytes = kCaptureFileMax);
  ~PcapCapture() override;  // writes what is still pending

  void Written(const char* data, std::size_t count) override;
  void Read(const char* data, std::size_t count) override;

  const std::filesystem::path& path() const { return path_; }
  std::uint64_t Packets() const { return packets_; }
  // True once the bound (or a write error) has stopped it.
  bool Stopped() const { return writer_ == nullptr; }

 private:
  PcapCapture() = default;
  void Feed(TrafficDirection direction, const char* data, std::size_t count);
  void WriteNewRows();
  void Stop(const std::string& message);

  std::filesystem::path path_;
  std::function<void(const std::string&)> full_;
  std::unique_ptr<PcapWriter> writer_;
  // The rows are written as soon as they are whole, so few need keeping.
  TrafficDecoder decoder_{0, 64};
  std::uint64_t written_ = 0;  // decoder rows handled
  std::uint64_t packets_ = 0;
  std::uint64_t maxBytes_ = kCaptureFileMax;
  std::chrono::steady_clock::time_point start_;
  std::chrono::microseconds base_{0};  // the start in the system clock
};

}  // namespace ulvo
