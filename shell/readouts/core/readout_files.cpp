#include "shell/readouts/core/readout_files.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace ulvo {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t limit) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  char chunk[4096];
  while (bytes.size() < limit && in) {
    in.read(chunk, static_cast<std::streamsize>(std::min(sizeof chunk, limit - bytes.size())));
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteFileReplacing(const std::filesystem::path& file, std::string_view bytes) {
  std::filesystem::path temp = file;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return true;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return true;
    }
  }
  std::error_code error;
  std::filesystem::rename(temp, file, error);
  if (error) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return true;
  }
  return false;
}

std::string OverwriteQuestion(const std::string& path) {
  return "Plik " + path + " już istnieje.Kontynuować? ";
}

std::string CannotOpenMessage(const std::string& path) {
  return "Nie mogę otworzyc pliku" + path + ".";
}

std::string CannotWriteMessage(const std::string& path) {
  return "Nie mogę zapisa do pliku" + path + ".";
}

}  // namespace ulvo
