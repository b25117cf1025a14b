#include "link/pcap_file.h"

#include <pcap/pcap.h>

#include <system_error>

namespace ulvo {

namespace {

constexpr std::uint8_t kToPrinter = 0;
constexpr std::uint8_t kFromPrinter = 1;

std::string Quoted(const std::filesystem::path& path) {
  return "\"" + path.string() + "\"";
}

}  // namespace

struct PcapWriter::Handles {
  pcap_t* dead = nullptr;
  pcap_dumper_t* dumper = nullptr;
  ~Handles() {
    if (dumper != nullptr) pcap_dump_close(dumper);
    if (dead != nullptr) pcap_close(dead);
  }
};

std::unique_ptr<PcapWriter> PcapWriter::Create(const std::filesystem::path& path,
                                               std::string* error) {
  std::unique_ptr<PcapWriter> writer(new PcapWriter);
  writer->handles_ = std::make_unique<Handles>();
  Handles& h = *writer->handles_;
  h.dead = pcap_open_dead_with_tstamp_precision(kCaptureLinkType, kCapturePacketMax,
                                                PCAP_TSTAMP_PRECISION_MICRO);
  if (h.dead != nullptr) h.dumper = pcap_dump_open(h.dead, path.string().c_str());
  if (h.dumper == nullptr || pcap_dump_flush(h.dumper) != 0) {
    if (error != nullptr) *error = "Nie mogę utworzyć pliku przechwycenia " + Quoted(path) + ".";
    return nullptr;
  }
  return writer;
}

PcapWriter::~PcapWriter() = default;

bool PcapWriter::Write(TrafficDirection direction, std::string_view bytes,
                       std::chrono::microseconds time) {
  if (bytes.empty()) return false;
  if (bytes.size() + 1 > kCapturePacketMax) bytes = bytes.substr(0, kCapturePacketMax - 1);
  std::string packet;
  packet.reserve(bytes.size() + 1);
  packet += static_cast<char>(direction == TrafficDirection::Out ? kToPrinter : kFromPrinter);
  packet += bytes;
  pcap_pkthdr header{};
  const auto micros = time.count() < 0 ? 0 : time.count();
  header.ts.tv_sec = static_cast<decltype(header.ts.tv_sec)>(micros / 1'000'000);
  header.ts.tv_usec = static_cast<decltype(header.ts.tv_usec)>(micros % 1'000'000);
  header.caplen = header.len = static_cast<bpf_u_int32>(packet.size());
  pcap_dump(reinterpret_cast<u_char*>(handles_->dumper), &header,
            reinterpret_cast<const u_char*>(packet.data()));
  if (pcap_dump_flush(handles_->dumper) != 0) return true;
  size_ += PacketSize(bytes.size());
  return false;
}

std::optional<std::string> WriteCaptureFile(const std::filesystem::path& path,
                                            const std::deque<TrafficRow>& rows,
                                            std::chrono::system_clock::time_point start) {
  const auto base = std::chrono::duration_cast<std::chrono::microseconds>(start.time_since_epoch());
  std::filesystem::path temp = path;
  temp += ".tmp";
  std::string error;
  {
    std::unique_ptr<PcapWriter> writer = PcapWriter::Create(temp, &error);
    if (!writer) return error;
    for (const TrafficRow& row : rows) {
      if (writer->Write(row.direction, row.bytes, base + row.exactTime)) {
        writer.reset();
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return "Nie mogę zapisać pliku przechwycenia " + Quoted(path) + ".";
      }
    }
  }
  std::error_code failed;
  std::filesystem::rename(temp, path, failed);
  if (failed) {
    std::filesystem::remove(temp, failed);
    return "Nie mogę zapisać pliku przechwycenia " + Quoted(path) + ".";
  }
  return std::nullopt;
}

CaptureReading ReadCaptureStream(std::FILE* file, const std::string& name) {
  CaptureReading reading;
  const std::string quoted = "\"" + name + "\"";
  char errors[PCAP_ERRBUF_SIZE] = "";
  pcap_t* pcap =
      pcap_fopen_offline_with_tstamp_precision(file, PCAP_TSTAMP_PRECISION_MICRO, errors);
  if (pcap == nullptr) {
    std::fclose(file);
    reading.error =
        "Plik " + quoted + " nie jest plikiem przechwycenia pcap albo ma uszkodzony nagłówek.";
    return reading;
  }
  const int linkType = pcap_datalink(pcap);
  if (linkType != kCaptureLinkType) {
    pcap_close(pcap);
    reading.error = "Plik " + quoted + " nie jest przechwyceniem łącza drukarki (typ łącza " +
                    std::to_string(linkType) + " zamiast " + std::to_string(kCaptureLinkType) +
                    ", DLT_USER0).";
    return reading;
  }
  std::uint64_t total = PcapWriter::kHeaderSize;
  for (;;) {
    pcap_pkthdr* header = nullptr;
    const u_char* data = nullptr;
    const int got = pcap_next_ex(pcap, &header, &data);
    if (got == PCAP_ERROR_BREAK) break;  // the end of the file
    const std::string where = "pakiet nr " + std::to_string(reading.packets.size() + 1);
    if (got != 1 || header == nullptr || data == nullptr) {
      reading.error = "Plik " + quoted + " jest uszkodzony albo ucięty (" + where + ").";
      break;
    }
    total += 16 + header->caplen;
    if (total > kCaptureFileMax) {
      reading.error = "Plik " + quoted + " jest za duży (więcej niż " +
                      std::to_string(kCaptureFileMax >> 20) + " MB).";
      break;
    }
    if (header->caplen < header->len) {
      reading.error = "Plik " + quoted + " ma ucięty " + where + ".";
      break;
    }
    if (header->caplen < 2 || header->caplen > kCapturePacketMax ||
        (data[0] != kToPrinter && data[0] != kFromPrinter)) {
      reading.error = "Plik " + quoted + ": " + where +
                      " nie jest fragmentem transmisji z drukarką (pusty, za długi albo bez "
                      "kierunku 0/1).";
      break;
    }
    CapturedPacket packet;
    packet.direction = data[0] == kToPrinter ? TrafficDirection::Out : TrafficDirection::In;
    packet.bytes.assign(reinterpret_cast<const char*>(data) + 1, header->caplen - 1);
    packet.time =
        std::chrono::seconds(header->ts.tv_sec) + std::chrono::microseconds(header->ts.tv_usec);
    reading.packets.push_back(std::move(packet));
  }
  pcap_close(pcap);
  if (reading.Failed()) reading.packets.clear();
  return reading;
}

CaptureReading ReadCaptureFile(const std::filesystem::path& path) {
  CaptureReading reading;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) {
    reading.error = "Nie mogę otworzyć pliku " + Quoted(path) + ".";
    return reading;
  }
  if (size > kCaptureFileMax) {
    reading.error = "Plik " + Quoted(path) + " jest za duży (więcej niż " +
                    std::to_string(kCaptureFileMax >> 20) + " MB).";
    return reading;
  }
  std::FILE* file = std::fopen(path.string().c_str(), "rb");
  if (file == nullptr) {
    reading.error = "Nie mogę otworzyć pliku " + Quoted(path) + ".";
    return reading;
  }
  return ReadCaptureStream(file, path.string());
}

}  // namespace ulvo
