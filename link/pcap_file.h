#pragma once
// Captures of the printer line in the pcap format that Wireshark reads: link type DLT_USER0,
// microsecond time stamps, one packet per frame, status byte or run of other bytes (the rows
// of the traffic decoder), each led by one byte for its direction: 0 to the printer, 1 from
// it. Written and read through libpcap; the reader refuses what is not such a capture.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/traffic_decoder.h"

namespace ulvo {

constexpr int kCaptureLinkType = 147;  // DLT_USER0
// A piece of the line is never longer than the command buffer; this leaves room to spare.
constexpr std::size_t kCapturePacketMax = 65535;
// Bytes of a capture file written or read at most.
constexpr std::uint64_t kCaptureFileMax = 64ull << 20;

struct CapturedPacket {
  TrafficDirection direction = TrafficDirection::Out;
  std::string bytes;
  std::chrono::microseconds time{0};  // since 1970 (UTC)
};

class PcapWriter {
 public:
  // Creates (empties) `path`; null and a Polish reason in `error` when it cannot.
  static std::unique_ptr<PcapWriter> Create(const std::filesystem::path& path, std::string* error);
  ~PcapWriter();
  PcapWriter(const PcapWriter&) = delete;
  PcapWriter& operator=(const PcapWriter&) = delete;

  // One packet, flushed at once so that the file is whole should the program end. True when
  // the file could not be written.
  bool Write(TrafficDirection direction, std::string_view bytes, std::chrono::microseconds time);
  // The file's size after the packets written so far.
  std::uint64_t Size() const { return size_; }
  // What one packet of `count` bytes adds to the file.
  static std::uint64_t PacketSize(std::size_t count) { return 16 + 1 + count; }
  static constexpr std::uint64_t kHeaderSize = 24;

 private:
  PcapWriter() = default;
  struct Handles;
  std::unique_ptr<Handles> handles_;
  std::uint64_t size_ = kHeaderSize;
};

// Writes the decoder's rows as a capture, their times counted from `start` (the moment the
// listening began). The file is made beside `path` and renamed into place. A Polish message
// when it failed.
std::optional<std::string> WriteCaptureFile(const std::filesystem::path& path,
                                            const std::deque<TrafficRow>& rows,
                                            std::chrono::system_clock::time_point start);

struct CaptureReading {
  std::vector<CapturedPacket> packets;
  std::string error;  // Polish; empty when the whole file was read
  bool Failed() const { return !error.empty(); }
};

// Reads a capture of the printer line. A file that is not pcap, is damaged or cut short, has
// another link type, a packet that is no piece of this line, or is over kCaptureFileMax is
// refused with the reason (`name` is how the message names the file).
CaptureReading ReadCaptureFile(const std::filesystem::path& path);
CaptureReading ReadCaptureStream(std::FILE* file, const std::string& name);

}  // namespace ulvo
