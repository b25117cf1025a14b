#include "link/pcap_capture.h"

namespace ulvo {

namespace {

std::string SizeText(std::uint64_t bytes) {
  return bytes >= (1u << 20) ? std::to_string(bytes >> 20) + " MB"
                             : std::to_string(bytes >> 10) + " KB";
}

}  // namespace

std::unique_ptr<PcapCapture> PcapCapture::Start(const std::filesystem::path& path,
                                                std::function<void(const std::string&)> full,
                                                std::string* error, std::uint64_t maxBytes) {
  std::unique_ptr<PcapWriter> writer = PcapWriter::Create(path, error);
  if (!writer) return nullptr;
  std::unique_ptr<PcapCapture> capture(new PcapCapture);
  capture->path_ = path;
  capture->full_ = std::move(full);
  capture->writer_ = std::move(writer);
  capture->maxBytes_ = maxBytes;
  capture->start_ = std::chrono::steady_clock::now();
  capture->base_ = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return capture;
}

PcapCapture::~PcapCapture() {
  if (writer_ == nullptr) return;
  decoder_.Finish();
  WriteNewRows();
}

void PcapCapture::Written(const char* data, std::size_t count) {
  Feed(TrafficDirection::Out, data, count);
}

void PcapCapture::Read(const char* data, std::size_t count) {
  Feed(TrafficDirection::In, data, count);
}

void PcapCapture::Feed(TrafficDirection direction, const char* data, std::size_t count) {
  if (writer_ == nullptr || data == nullptr || count == 0) return;
  const auto time = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start_);
  decoder_.Feed(direction, std::string_view(data, count), time);
  WriteNewRows();
}

void PcapCapture::WriteNewRows() {
  const std::deque<TrafficRow>& rows = decoder_.rows();
  const std::uint64_t total = decoder_.TotalRows();
  // The decoder keeps the last rows only; those not yet written are at its end.
  const std::size_t fresh =
      static_cast<std::size_t>(std::min<std::uint64_t>(total - written_, rows.size()));
  written_ = total;
  for (std::size_t i = rows.size() - fresh; i < rows.size() && writer_ != nullptr; ++i) {
    const TrafficRow& row = rows[i];
    if (writer_->Size() + PcapWriter::PacketSize(row.bytes.size()) > maxBytes_) {
      Stop("Przechwytywanie transmisji zatrzymane: plik " + path_.string() + " osiągnął " +
           SizeText(maxBytes_) + " (" + std::to_string(packets_) +
           " pakietów). Dalsza transmisja nie jest zapisywana.");
      return;
    }
    if (writer_->Write(row.direction, row.bytes, base_ + row.exactTime)) {
      Stop("Przechwytywanie transmisji zatrzymane: nie mogę zapisać pliku " + path_.string() + ".");
      return;
    }
    ++packets_;
  }
}

void PcapCapture::Stop(const std::string& message) {
  writer_.reset();
  if (full_) full_(message);
}

}  // namespace ulvo
