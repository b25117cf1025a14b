#include "link/program_paths.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "link/settings.h"

#ifdef _WIN32
#include <process.h>
#define ULVO_GETPID _getpid
#else
#include <unistd.h>
#define ULVO_GETPID getpid
#endif

namespace ulvo {
namespace {

constexpr const char* kFolderName = "ulvo";

// An absolute path from the environment, or empty: relative and empty values do not count.
std::filesystem::path AbsoluteFrom(const EnvironmentLookup& getenv, const char* name) {
  const char* value = getenv ? getenv(name) : std::getenv(name);
  if (value == nullptr || *value == '\0') return {};
  std::filesystem::path path(value);
  return path.is_absolute() ? path : std::filesystem::path{};
}

}  // namespace

ProgramPaths ChooseProgramPaths(const std::filesystem::path& programDir, bool programDirWritable,
                                FolderStyle style, const EnvironmentLookup& getenv) {
  ProgramPaths paths{programDir, programDir, false};
  if (programDirWritable) return paths;
  std::filesystem::path config, data;
  if (style == FolderStyle::Windows) {
    config = AbsoluteFrom(getenv, "APPDATA");
    data = AbsoluteFrom(getenv, "LOCALAPPDATA");
    if (data.empty()) data = config;
  } else {
    config = AbsoluteFrom(getenv, "XDG_CONFIG_HOME");
    data = AbsoluteFrom(getenv, "XDG_DATA_HOME");
    const std::filesystem::path home = AbsoluteFrom(getenv, "HOME");
    if (config.empty() && !home.empty()) config = home / ".config";
    if (data.empty() && !home.empty()) data = home / ".local" / "share";
  }
  // Nowhere else to go: the program's own directory, whose failures are reported as before.
  if (config.empty() || data.empty()) return paths;
  paths.configDir = config / kFolderName;
  paths.dataDir = data / kFolderName;
  paths.userFolders = true;
  return paths;
}

bool DirectoryIsWritable(const std::filesystem::path& dir) {
#ifndef _WIN32
  // Root may write anywhere; an installed program still keeps out of the system's folders.
  static constexpr std::array<std::string_view, 6> kSystemDirs = {
      "/usr/bin", "/usr/local/bin", "/bin", "/usr/sbin", "/sbin", "/usr/games"};
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(dir, ec);
  for (std::string_view system : kSystemDirs) {
    if (!ec && canonical == std::filesystem::path(system)) return false;
  }
#else
  // An administrator may write into Program Files; an installed program still keeps its files
  // in the user's folders, as it must for everybody else.
  std::error_code ec;
  const std::filesystem::path canonical = std::filesystem::weakly_canonical(dir, ec);
  for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
    const std::filesystem::path system = AbsoluteFrom(nullptr, name);
    if (ec || system.empty()) continue;
    std::error_code same;
    const std::filesystem::path base = std::filesystem::weakly_canonical(system, same);
    if (same) continue;
    // Windows paths compare without regard to case.
    const auto lower = [](std::string text) {
      for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      while (!text.empty() && text.back() == '/') text.pop_back();
      return text;
    };
    const std::string inside = lower(canonical.generic_string());
    const std::string folder = lower(base.generic_string());
    if (!folder.empty() && (inside == folder || inside.rfind(folder + "/", 0) == 0)) return false;
  }
#endif
  std::error_code exists;
  if (!std::filesystem::is_directory(dir, exists)) return false;
  const std::filesystem::path probe =
      dir / (".ulvo-zapis-" + std::to_string(static_cast<long>(ULVO_GETPID())) + ".tmp");
  std::FILE* f = std::fopen(probe.string().c_str(), "wb");
  if (f == nullptr) return false;
  std::fclose(f);
  std::error_code removed;
  std::filesystem::remove(probe, removed);
  return true;
}

ProgramPaths ProgramPathsFor(const std::filesystem::path& programDir) {
  return ChooseProgramPaths(programDir, DirectoryIsWritable(programDir));
}

std::filesystem::path SettingsFileToRead(
    const ProgramPaths& paths,
    const std::function<bool(const std::filesystem::path&)>& fileExists) {
  const std::filesystem::path local(kSettingsFileName);
  if (!paths.userFolders) return local;
  const auto exists = [&](const std::filesystem::path& file) {
    if (fileExists) return fileExists(file);
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec);
  };
  return exists(local) ? local : paths.configDir / kSettingsFileName;
}

bool MakeDirectory(const std::filesystem::path& dir) {
  std::error_code ec;
  if (std::filesystem::is_directory(dir, ec)) return false;
  std::filesystem::create_directories(dir, ec);
  return !std::filesystem::is_directory(dir, ec);
}

std::string FoldersNote(const ProgramPaths& paths) {
  if (!paths.userFolders) return "Ustawienia i pliki programu: " + paths.configDir.string();
  return "Ustawienia (ustaw.txt): " + paths.configDir.string() +
         "\nDziennik transmisji i pliki tymczasowe: " + paths.dataDir.string();
}

}  // namespace ulvo
