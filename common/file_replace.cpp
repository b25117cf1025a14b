#include "common/file_replace.h"

#include <cstdio>
#include <system_error>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace ulvo {

bool ReplaceFileContents(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::path temp = file;
  temp += ".tmp";
#ifdef _WIN32
  std::FILE* f = _wfopen(temp.c_str(), L"wb");
#else
  std::FILE* f = std::fopen(temp.c_str(), "wb");
#endif
  if (f == nullptr) return true;
  bool failed = std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size();
  failed = std::fflush(f) != 0 || failed;
#ifndef _WIN32
  failed = ::fsync(fileno(f)) != 0 || failed;
#endif
  failed = std::fclose(f) != 0 || failed;
  std::error_code error;
  if (!failed) std::filesystem::rename(temp, file, error);
  if (failed || error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return true;
  }
  return false;
}

}  // namespace ulvo
