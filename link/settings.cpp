#include "link/settings.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>
#include <system_error>

#include "common/cp1250.h"
#include "common/file_replace.h"
#include "link/letter_coding.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace ulvo {
namespace {

constexpr std::array<const char*, 5> kParityNames = {"Brak", "Nieparzyste", "Parzyste", "Znacznik",
                                                     "Odstęp"};
constexpr std::array<const char*, 3> kStopBitsNames = {"1", "1.5", "2"};
constexpr std::array<const char*, 3> kPrinterTypeKeys = {"Alta,Alta_Plus", "Alta_Pro",
                                                         "Ulvo_Mavito"};
constexpr std::array<const char*, 3> kPrinterDisplayNames = {"Alta, Alta Plus", "Alta Pro",
                                                             "Mavito"};
constexpr std::size_t kLetterCodingCount = 4;

// Only this much of the file is read, as the program always has.
constexpr std::size_t kSettingsReadLimit = 200;

// Room for the longest parity name, "Nieparzyste" (11 letters): a place of 10 would cut the
// program's own word in two and spoil every word after it.
constexpr std::size_t kParityWidth = 11;

// "No width": the stop-bit name is read without a limit.
constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1);

template <std::size_t N>
const char* NameAt(const std::array<const char*, N>& names, std::uint8_t index) {
  return index < N ? names[index] : "";
}

// Looks a Windows-1250 word up among UTF-8 names; whole word, case-sensitive.
template <std::size_t N>
std::optional<std::uint8_t> FindName(const std::array<const char*, N>& names,
                                     const std::optional<std::string>& word) {
  if (!word) return std::nullopt;
  for (std::size_t i = 0; i < N; ++i) {
    if (Utf8ToCp1250(names[i]).bytes == *word) return static_cast<std::uint8_t>(i);
  }
  return std::nullopt;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The words of the file in the order the read template takes them.
class WordReader {
 public:
  explicit WordReader(std::string_view text) : text_(text) {}

  // The next whitespace-separated word; empty optional at the end of the text.
  std::optional<std::string_view> Next() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A name in a place of the given width. A longer word is taken whole and matches nothing,
// so the words after it are still read in their places.
enum class Step { Ok, Stop };

Step ReadName(WordReader& reader, std::size_t width, std::optional<std::string>* out) {
  const auto word = reader.Next();
  if (!word) return Step::Stop;
  if (out != nullptr) {
    if (word->size() <= width) {
      *out = std::string(*word);
    } else {
      out->reset();
    }
  }
  return Step::Ok;
}

// A number where one is due; a word that is not wholly a number ends the reading.
Step ReadNumber(WordReader& reader, long long* out) {
  const auto word = reader.Next();
  if (!word) return Step::Stop;
  std::string_view digits = *word;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty() || digits.front() == '+') return Step::Stop;
  long long value = 0;
  const char* last = digits.data() + digits.size();
  const auto [end, ec] = std::from_chars(digits.data(), last, value);
  if (ec != std::errc() || end != last) return Step::Stop;
  *out = value;
  return Step::Ok;
}

struct RawSettings {
  std::optional<long long> port, baud, dataBits, xonXoff, rtsCts;
  std::optional<std::string> parity, stopBits, coding, type, variant, copy, mode;
};

void ReadWords(std::string_view text, RawSettings& raw) {
  WordReader r(text);
  long long n = 0;
  // Each line: the label (skipped, never checked), then its value.
  if (ReadName(r, 10, nullptr) == Step::Stop || ReadNumber(r, &n) == Step::Stop) return;
  raw.port = n;
  if (ReadName(r, 10, nullptr) == Step::Stop || ReadNumber(r, &n) == Step::Stop) return;
  raw.baud = n;
  if (ReadName(r, 10, nullptr) == Step::Stop || ReadNumber(r, &n) == Step::Stop) return;
  raw.dataBits = n;
  if (ReadName(r, 10, nullptr) == Step::Stop ||
      ReadName(r, kParityWidth, &raw.parity) == Step::Stop)
    return;
  if (ReadName(r, 10, nullptr) == Step::Stop ||
      ReadName(r, kUnbounded, &raw.stopBits) == Step::Stop)
    return;
  if (ReadName(r, 20, nullptr) == Step::Stop || ReadNumber(r, &n) == Step::Stop) return;
  raw.xonXoff = n;
  if (ReadName(r, 20, nullptr) == Step::Stop || ReadNumber(r, &n) == Step::Stop) return;
  raw.rtsCts = n;
  if (ReadName(r, 25, nullptr) == Step::Stop || ReadName(r, 10, &raw.coding) == Step::Stop) return;
  if (ReadName(r, 20, &raw.type) == Step::Stop || ReadName(r, 20, &raw.variant) == Step::Stop ||
      ReadName(r, 20, &raw.copy) == Step::Stop) {
    return;
  }
  ReadName(r, 15, &raw.mode);
}

std::string Cp1250(const std::string& utf8) {
  return Utf8ToCp1250(utf8).bytes;
}

}  // namespace

const char* ParityName(std::uint8_t parity) {
  return NameAt(kParityNames, parity);
}
const char* StopBitsName(std::uint8_t stopBits) {
  return NameAt(kStopBitsNames, stopBits);
}
const char* PrinterTypeKey(std::uint8_t type) {
  return NameAt(kPrinterTypeKeys, type);
}
const char* PrinterDisplayName(std::uint8_t type) {
  return NameAt(kPrinterDisplayNames, type);
}

std::string MainWindowCaption(const Settings& settings) {
  std::string caption =
      "Program użytkownika drukarek fiskalnych firmy ULVO. Wybrany typ drukarki: ";
  caption += PrinterDisplayName(settings.PrinterType);
  if (settings.BusMode) caption += " Bus";
  if (settings.ElectronicCopy) caption += " KE";
  return caption;
}

Settings ParseSettingsText(std::string_view fileBytes) {
  fileBytes = fileBytes.substr(0, kSettingsReadLimit);
  // The text ends at a NUL, as it always did for the reader.
  if (const auto nul = fileBytes.find('\0'); nul != std::string_view::npos) {
    fileBytes = fileBytes.substr(0, nul);
  }
  RawSettings raw;
  ReadWords(fileBytes, raw);

  Settings s;
  // Numbers are kept in their fields' widths: -1 and 255 both mean "no port".
  if (raw.port) s.PortNumber = static_cast<std::uint8_t>(*raw.port);
  if (raw.baud) s.PortSettings.BaudRate = static_cast<std::uint32_t>(*raw.baud);
  if (raw.dataBits) s.PortSettings.DataBits = static_cast<std::uint8_t>(*raw.dataBits);
  if (raw.xonXoff) s.PortSettings.XonXoff = static_cast<std::uint8_t>(*raw.xonXoff);
  if (raw.rtsCts) s.PortSettings.RtsCts = static_cast<std::uint8_t>(*raw.rtsCts);
  if (const auto i = FindName(kParityNames, raw.parity)) s.PortSettings.Parity = *i;
  if (const auto i = FindName(kStopBitsNames, raw.stopBits)) s.PortSettings.StopBits = *i;
  if (raw.coding) {
    for (std::uint8_t i = 0; i < kLetterCodingCount; ++i) {
      if (*raw.coding == LetterCodingName(i)) s.LetterCoding = i;
    }
  }
  if (const auto i = FindName(kPrinterTypeKeys, raw.type)) s.PrinterType = *i;
  s.BusMode = raw.variant && *raw.variant == "Bus";
  s.ElectronicCopy = raw.copy && *raw.copy == "kopia_elektroniczna";
  if (s.PrinterType == 0) s.BusMode = 0;
  s.CertificationMode = raw.mode && *raw.mode == "wzorcowanie";
  return s;
}

std::string FormatSettingsText(const Settings& settings) {
  const LineSettings& line = settings.PortSettings;
  // An index outside its table is written as the default name, so the file always reads back
  // word for word (an empty name would shift every word after it).
  const auto orDefault = [](const char* name, const char* fallback) {
    return *name != '\0' ? name : fallback;
  };
  const char* coding = LetterCodingName(settings.LetterCoding);
  std::string text;
  text += "COM " + std::to_string(static_cast<std::int8_t>(settings.PortNumber)) + "\r\n";
  text += Cp1250("Szybkość ") + std::to_string(line.BaudRate) + "\r\n";
  text += "BityDanch " + std::to_string(line.DataBits) + "\r\n";
  text += Cp1250(std::string("Parzystość ") + orDefault(ParityName(line.Parity), kParityNames[0])) +
          "\r\n";
  text += std::string("BityStopu ") + orDefault(StopBitsName(line.StopBits), kStopBitsNames[0]) +
          "\r\n";
  text += "Xon/Xoff " + std::to_string(line.XonXoff) + "\r\n";
  text += "RTS/CTS " + std::to_string(line.RtsCts) + "\r\n";
  text += std::string("KodowaniePolskichLiter ") + orDefault(coding, LetterCodingName(0)) + "\r\n";
  text += orDefault(PrinterTypeKey(settings.PrinterType), kPrinterTypeKeys[2]);
  text += Cp1250(settings.BusMode ? " Bus" : " zwykła");
  text += settings.ElectronicCopy ? " kopia_elektroniczna" : " kopia_papierowa";
  text += "\r\n";
  text += settings.CertificationMode ? "wzorcowanie" : "";
  text += "\r\n";
  return text;
}

Settings LoadSettings(const std::filesystem::path& file) {
  std::FILE* f = std::fopen(file.string().c_str(), "rb");
  if (f == nullptr) return Settings{};
  char buf[kSettingsReadLimit];
  const std::size_t count = std::fread(buf, 1, sizeof buf, f);
  std::fclose(f);
  return ParseSettingsText(std::string_view(buf, count));
}

bool SaveSettings(const Settings& settings, const std::filesystem::path& file) {
  return ReplaceFileContents(file, FormatSettingsText(settings));
}

std::map<int, std::string> ParsePortAddresses(std::string_view bytes) {
  std::map<int, std::string> addresses;
  // A small file: anything past 64 KB is not ours.
  bytes = bytes.substr(0, 65536);
  while (!bytes.empty()) {
    const std::size_t end = bytes.find_first_of("\r\n");
    std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    const std::size_t equals = line.find('=');
    if (line.size() < 5 || line.substr(0, 3) != "COM" || equals == std::string_view::npos) continue;
    int number = 0;
    std::size_t i = 3;
    for (; i < equals && i < 6 && line[i] >= '0' && line[i] <= '9'; ++i)
      number = number * 10 + (line[i] - '0');
    if (i != equals || number < 1 || number > 64) continue;
    std::string address(line.substr(equals + 1));
    while (!address.empty() && (address.back() == ' ' || address.back() == '\t'))
      address.pop_back();
    if (address.empty() || address.size() > 1024) continue;
    addresses[number] = address;
  }
  return addresses;
}

std::string FormatPortAddresses(const std::map<int, std::string>& addresses) {
  std::string text;
  for (const auto& [number, address] : addresses) {
    if (address.empty()) continue;
    text += "COM" + std::to_string(number) + "=" + address + "\r\n";
  }
  return text;
}

}  // namespace ulvo
