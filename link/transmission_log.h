#pragma once
// The transmission log: every byte written to "DaneWy.bin", every byte read by the reply
// wait to "DaneWe.bin", raw, nothing added.

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace ulvo {

class TransmissionLog {
 public:
  // Creates (empties) both files in `directory`; null when either cannot be created.
  static std::unique_ptr<TransmissionLog> Create(const std::filesystem::path& directory);
  ~TransmissionLog();
  TransmissionLog(const TransmissionLog&) = delete;
  TransmissionLog& operator=(const TransmissionLog&) = delete;

  void Written(const char* data, std::size_t count);
  void Read(const char* data, std::size_t count);

 private:
  TransmissionLog(std::FILE* out, std::FILE* in) : out_(out), in_(in) {}
  std::FILE* out_;
  std::FILE* in_;
};

}  // namespace ulvo
