#include "shell/readouts/core/readout_files.h"

#include <cstdio>
#include <fstream>
#include <system_error>

#include "common/file_replace.h"

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
  return ReplaceFileContents(file, bytes);
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
