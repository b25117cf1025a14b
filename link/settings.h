#pragma once
// The settings record and the settings file ustaw.txt.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace ulvo {

struct LineSettings {
  std::uint32_t BaudRate = 9600;
  std::uint8_t DataBits = 8;
  std::uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
  std::uint8_t XonXoff = 0;
  std::uint8_t RtsCts = 0;
  bool operator==(const LineSettings&) const = default;
};

constexpr std::uint8_t kNoPort = 255;

struct Settings {
  std::uint8_t PortNumber = kNoPort;
  LineSettings PortSettings;
  std::uint8_t LetterCoding = 0;
  std::uint8_t PrinterType = 2;  // 0 Alta/Alta Plus, 1 Alta Pro, 2 Mavito
  std::uint8_t BusMode = 0;
  std::uint8_t ElectronicCopy = 0;
  std::uint8_t CertificationMode = 0;
  // COM n -> a device path or a network port name the user gave it (kept in porty.txt, not
  // in ustaw.txt).
  std::map<int, std::string> PortAddresses;
  bool operator==(const Settings&) const = default;
};

inline constexpr const char* kPortAddressesFileName = "porty.txt";

// porty.txt: one "COM<n>=<address>" line per port (CR LF), n 1..64; other lines are skipped.
std::map<int, std::string> ParsePortAddresses(std::string_view fileBytes);
std::string FormatPortAddresses(const std::map<int, std::string>& addresses);

inline constexpr const char* kSettingsFileName = "ustaw.txt";

// Names as the file stores them (UTF-8 here; the file holds them in Windows-1250).
const char* ParityName(std::uint8_t parity);        // "Brak" ... "Odstęp"
const char* StopBitsName(std::uint8_t stopBits);    // "1", "1.5", "2"
const char* PrinterTypeKey(std::uint8_t type);      // "Alta,Alta_Plus", "Alta_Pro", "Ulvo_Mavito"
const char* PrinterDisplayName(std::uint8_t type);  // "Alta, Alta Plus", "Alta Pro", "Mavito"

// "Program użytkownika drukarek fiskalnych firmy ULVO. Wybrany typ drukarki: " + name + " Bus"/"
// KE".
std::string MainWindowCaption(const Settings& settings);

// Reads the settings from the text of a settings file (only its first 200 bytes count).
Settings ParseSettingsText(std::string_view fileBytes);
// The file's text in Windows-1250, ten CR LF-ended lines.
std::string FormatSettingsText(const Settings& settings);

// Defaults, then the file when it can be opened.
Settings LoadSettings(const std::filesystem::path& file);
// Writes through a temporary file and a rename. Returns true when it failed.
bool SaveSettings(const Settings& settings, const std::filesystem::path& file);

}  // namespace ulvo
