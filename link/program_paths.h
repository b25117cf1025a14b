#pragma once
// Where the program keeps its own files. It writes them into its own directory, as it always
// has; when that directory cannot be written (an installed program under /usr/bin), the
// settings go to the user's configuration folder and the logs and temporary reports to the
// user's data folder: $XDG_CONFIG_HOME/ulvo and $XDG_DATA_HOME/ulvo on Linux (by default
// ~/.config/ulvo and ~/.local/share/ulvo), %APPDATA%\ulvo and %LOCALAPPDATA%\ulvo on Windows.

#include <filesystem>
#include <functional>
#include <string>

namespace ulvo {

struct ProgramPaths {
  std::filesystem::path configDir;  // ustaw.txt is written here
  std::filesystem::path dataDir;    // transmission log, readout temporary file
  bool userFolders = false;         // the program's directory could not be written
};

enum class FolderStyle { Xdg, Windows };

#ifdef _WIN32
inline constexpr FolderStyle kHostFolderStyle = FolderStyle::Windows;
#else
inline constexpr FolderStyle kHostFolderStyle = FolderStyle::Xdg;
#endif

using EnvironmentLookup = std::function<const char*(const char*)>;

// The folders for a program in `programDir`. `getenv` is injectable for tests (null: the
// process environment). With no usable environment the program's directory stays in use.
ProgramPaths ChooseProgramPaths(const std::filesystem::path& programDir, bool programDirWritable,
                                FolderStyle style = kHostFolderStyle,
                                const EnvironmentLookup& getenv = nullptr);

// True when a file can be created in `dir` (tried with a temporary file, removed at once).
// The system's program directories (/usr/bin ...; Program Files on Windows) count as not
// writable even for root or an administrator.
bool DirectoryIsWritable(const std::filesystem::path& dir);

// ChooseProgramPaths for the program's real directory.
ProgramPaths ProgramPathsFor(const std::filesystem::path& programDir);

// The ustaw.txt to read: the working directory's (a relative name), and with the user folders
// in use, the configuration folder's when the working directory has none.
std::filesystem::path SettingsFileToRead(
    const ProgramPaths& paths,
    const std::function<bool(const std::filesystem::path&)>& fileExists = nullptr);

// Creates `dir` and its parents when missing. Returns true when it failed.
bool MakeDirectory(const std::filesystem::path& dir);

// The line the "O programie" window shows about where the program keeps its files.
std::string FoldersNote(const ProgramPaths& paths);

}  // namespace ulvo
