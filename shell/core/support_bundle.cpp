#include "shell/core/support_bundle.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <zip.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <deque>
#include <fstream>
#include <system_error>
#include <vector>

#include "common/local_time.h"

namespace ulvo {

namespace fs = std::filesystem;

namespace {

const char* const kParity[] = {"brak", "nieparzysta", "parzysta", "znacznik", "odstęp"};
const char* const kStopBits[] = {"1", "1,5", "2"};

std::string FirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

// The file's bytes, or its last `keep` bytes when it is longer; empty when it cannot be read.
std::optional<std::string> ReadTail(const fs::path& file, std::uintmax_t keep, bool& cut) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  cut = size > keep;
  const std::uintmax_t want = cut ? keep : size;
  if (cut) in.seekg(static_cast<std::streamoff>(size - keep));
  std::string bytes(static_cast<std::size_t>(want), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(want));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::string UserName(uid_t uid) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
    return found->pw_name;
  return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  std::vector<char> buffer(16384);
  group entry{};
  group* found = nullptr;
  if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
    return found->gr_name;
  return std::to_string(gid);
}

bool InGroup(gid_t gid) {
  if (getegid() == gid) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int got = getgroups(count, groups.data());
  for (int i = 0; i < got; ++i)
    if (groups[static_cast<std::size_t>(i)] == gid) return true;
  return false;
}

// The USB device a tty hangs from, read from sysfs.
std::string UsbReport(const fs::path& sysDevice) {
  std::error_code error;
  fs::path at = fs::canonical(sysDevice, error);
  if (error) return {};
  for (int up = 0; up < 6 && !at.empty() && at != at.root_path(); ++up, at = at.parent_path()) {
    if (!fs::exists(at / "idVendor", error)) continue;
    std::string text = "USB: " + FirstLine(at / "idVendor") + ":" + FirstLine(at / "idProduct");
    for (const char* item : {"manufacturer", "product", "serial"})
      if (fs::exists(at / item, error)) text += std::string(", ") + FirstLine(at / item);
    return text + "\n";
  }
  return {};
}

std::string Now() {
  const std::tm local = LocalTime(std::time(nullptr));
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace

std::string PortSystemReport(const std::string& device) {
  if (device.empty()) return "Nie wybrano portu.\n";
  if (device.find("://") != std::string::npos)
    return "Port sieciowy " + device + ": w systemie nie ma dla niego urządzenia.\n";
  struct stat st {};
  if (stat(device.c_str(), &st) != 0)
    return "Urządzenie " + device + " nie istnieje albo nie można go sprawdzić.\n";
  std::string text = "Urządzenie: " + device + "\n";
  std::error_code error;
  const fs::path real = fs::canonical(device, error);
  if (!error && real != fs::path(device)) text += "Ścieżka rzeczywista: " + real.string() + "\n";
  if (S_ISCHR(st.st_mode)) {
    text += "Rodzaj: urządzenie znakowe " + std::to_string(major(st.st_rdev)) + ":" +
            std::to_string(minor(st.st_rdev)) + "\n";
  } else {
    text += "Rodzaj: to nie jest urządzenie znakowe\n";
  }
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
  text += std::string("Prawa: ") + mode + ", właściciel " + UserName(st.st_uid) + ", grupa " +
          GroupName(st.st_gid) + "\n";
  text += std::string("Ten użytkownik (") + UserName(geteuid()) + ") " +
          (InGroup(st.st_gid) ? "należy" : "nie należy") + " do grupy " + GroupName(st.st_gid) +
          " i " + (access(device.c_str(), R_OK | W_OK) == 0 ? "może" : "nie może") +
          " otworzyć urządzenia do odczytu i zapisu.\n";
  if (!error) {
    const fs::path sys = fs::path("/sys/class/tty") / real.filename() / "device";
    if (fs::exists(sys, error)) {
      const fs::path driver = fs::read_symlink(sys / "driver", error);
      if (!error) text += "Sterownik: " + driver.filename().string() + "\n";
      text += UsbReport(sys);
    }
    const fs::path byId("/dev/serial/by-id");
    if (fs::is_directory(byId, error)) {
      for (const fs::directory_entry& link : fs::directory_iterator(byId, error)) {
        std::error_code linkError;
        if (fs::canonical(link.path(), linkError) == real && !linkError)
          text += "Nazwa stała: " + link.path().string() + "\n";
      }
    }
  }
  return text;
}

std::optional<std::string> WriteSupportBundle(const fs::path& path,
                                              const SupportBundleInput& input) {
  const std::string cannot = "Nie mogę zapisać pliku " + path.string() + ".";
  // The buffers must live until zip_close, which reads them.
  std::deque<std::string> contents;
  std::vector<std::pair<std::string, const std::string*>> entries;
  std::string listing;
  const auto add = [&](const std::string& name, std::string bytes, const std::string& note) {
    contents.push_back(std::move(bytes));
    entries.emplace_back(name, &contents.back());
    listing +=
        "  " + name + " (" + std::to_string(contents.back().size()) + " bajtów)" + note + "\n";
  };
  add(kSettingsFileName, FormatSettingsText(input.settings), "");
  add(kPortAddressesFileName, FormatPortAddresses(input.settings.PortAddresses), "");
  const auto addFile = [&](const fs::path& file, const std::string& name) {
    bool cut = false;
    std::optional<std::string> bytes = ReadTail(file, kBundleFileMax, cut);
    if (!bytes) return;
    add(name, std::move(*bytes), cut ? ", tylko koniec pliku" : "");
  };
  addFile(input.logDir / "DaneWy.bin", "DaneWy.bin");
  addFile(input.logDir / "DaneWe.bin", "DaneWe.bin");
  if (input.capture) addFile(*input.capture, input.capture->filename().string());

  const LineSettings& line = input.settings.PortSettings;
  std::string about = "Program użytkownika drukarek ULVO, wersja " + input.version + "\n";
  about += "Zapisano: " + Now() + "\n";
  utsname system{};
  if (uname(&system) == 0)
    about += std::string("System: ") + system.sysname + " " + system.release + " " +
             system.version + " " + system.machine + "\n";
  about += "\nPort: ";
  about += input.settings.PortNumber == kNoPort
               ? std::string("nie wybrano")
               : "COM " + std::to_string(input.settings.PortNumber) + " (" + input.portState + ")";
  about += "\nUstawienia: " + std::to_string(line.BaudRate) + " bodów, " +
           std::to_string(line.DataBits) + " bitów danych, parzystość " +
           (line.Parity < 5 ? kParity[line.Parity] : "?") + ", bity stopu " +
           (line.StopBits < 3 ? kStopBits[line.StopBits] : "?") + ", Xon/Xoff " +
           (line.XonXoff ? "tak" : "nie") + ", RTS/CTS " + (line.RtsCts ? "tak" : "nie") + "\n";
  about += "\nCo system mówi o porcie:\n" + PortSystemReport(input.portDevice);
  about += "\nZawartość:\n  opis.txt\n" + listing;
  contents.push_back(std::move(about));
  entries.insert(entries.begin(), {"opis.txt", &contents.back()});

  fs::path temp = path;
  temp += ".tmp";
  int error = 0;
  zip_t* zip = zip_open(temp.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (zip == nullptr) return cannot;
  for (const auto& [name, bytes] : entries) {
    zip_source_t* source = zip_source_buffer(zip, bytes->data(), bytes->size(), 0);
    if (source == nullptr) {
      zip_discard(zip);
      return cannot;
    }
    if (zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(source);
      zip_discard(zip);
      return cannot;
    }
  }
  std::error_code ignored;
  if (zip_close(zip) != 0) {
    zip_discard(zip);
    fs::remove(temp, ignored);
    return cannot;
  }
  std::error_code renamed;
  fs::rename(temp, path, renamed);
  if (renamed) {
    fs::remove(temp, ignored);
    return cannot;
  }
  return std::nullopt;
}

}  // namespace ulvo
