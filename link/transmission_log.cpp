#include "link/transmission_log.h"

namespace ulvo {

std::unique_ptr<TransmissionLog> TransmissionLog::Create(const std::filesystem::path& directory) {
  std::FILE* out = std::fopen((directory / "DaneWy.bin").string().c_str(), "wb");
  if (out == nullptr) return nullptr;
  std::FILE* in = std::fopen((directory / "DaneWe.bin").string().c_str(), "wb");
  if (in == nullptr) {
    std::fclose(out);
    return nullptr;
  }
  return std::unique_ptr<TransmissionLog>(new TransmissionLog(out, in));
}

TransmissionLog::~TransmissionLog() {
  std::fclose(out_);
  std::fclose(in_);
}

// Flushed at once so that the files show the traffic while the program still runs.
void TransmissionLog::Written(const char* data, std::size_t count) {
  if (data == nullptr || count == 0) return;
  std::fwrite(data, 1, count, out_);
  std::fflush(out_);
}

void TransmissionLog::Read(const char* data, std::size_t count) {
  if (data == nullptr || count == 0) return;
  std::fwrite(data, 1, count, in_);
  std::fflush(in_);
}

}  // namespace ulvo
