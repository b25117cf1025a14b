#pragma once
// File helpers and messages shared by the readout dialogs that keep their data in files.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ulvo {

// The whole file, or nothing when it cannot be read. At most `limit` bytes are read.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t limit);

// Writes through a temporary file beside the target and renames it into place, so a failure
// never leaves a half-written file. True when it failed.
bool WriteFileReplacing(const std::filesystem::path& file, std::string_view bytes);

// "Plik <path> już istnieje.Kontynuować? "
std::string OverwriteQuestion(const std::string& path);
// "Nie mogę otworzyc pliku<path>."
std::string CannotOpenMessage(const std::string& path);
// "Nie mogę zapisa do pliku<path>."
std::string CannotWriteMessage(const std::string& path);

}  // namespace ulvo
