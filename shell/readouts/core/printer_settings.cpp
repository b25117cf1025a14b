#include "shell/readouts/core/printer_settings.h"

#include "link/frame.h"

namespace ulvo {

FrameList BuildPrinterSettingsQuery() {
  FrameList list;
  list.Add(true, "%cP$8xx%c%c", kEsc, kEsc, kBackslash);
  return list;
}

std::optional<PrinterSettings> ParsePrinterSettingsReply(std::string_view reply) {
  // Line noise before the frame is skipped: the reply starts at its "P#U".
  const std::size_t start = reply.find("P#U");
  if (start == std::string_view::npos || start == 0) return std::nullopt;
  PrinterSettings settings;
  std::size_t pos = start + 3;
  for (int i = 0; i < kPrinterSettingsCount; ++i) {
    if (pos >= reply.size() || reply[pos] < '0' || reply[pos] > '9') return std::nullopt;
    std::uint32_t value = 0;
    while (pos < reply.size() && reply[pos] >= '0' && reply[pos] <= '9') {
      // Only the low 16 bits are kept, so the wrap-around of a long number does no harm.
      value = (value * 10 + static_cast<std::uint32_t>(reply[pos] - '0')) & 0xFFFFu;
      ++pos;
    }
    if (pos >= reply.size() || reply[pos] != '/') return std::nullopt;
    ++pos;
    settings.values[i] = static_cast<std::uint16_t>(value);
  }
  return settings;
}

std::string PrinterSettingsFileBytes(const PrinterSettings& settings) {
  std::string bytes;
  bytes.reserve(kPrinterSettingsFileSize);
  for (std::uint16_t value : settings.values) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>(value >> 8));
  }
  return bytes;
}

void ApplyPrinterSettingsFile(std::string_view bytes, PrinterSettings& settings) {
  const std::size_t count = std::min(bytes.size(), kPrinterSettingsFileSize);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint16_t& value = settings.values[i / 2];
    const auto byte = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[i]));
    if (i % 2 == 0) {
      value = static_cast<std::uint16_t>((value & 0xFF00u) | byte);
    } else {
      value = static_cast<std::uint16_t>((value & 0x00FFu) | (byte << 8));
    }
  }
}

namespace {

SettingView ListView(const char* caption, std::vector<std::string> choices, std::uint16_t value,
                     int firstValue = 0) {
  SettingView view;
  view.caption = caption;
  view.choices = std::move(choices);
  const int index = static_cast<int>(value) - firstValue;
  view.choice = index >= 0 && index < static_cast<int>(view.choices.size()) ? index : -1;
  return view;
}

SettingView TextView(const char* caption, std::string text) {
  SettingView view;
  view.caption = caption;
  view.text = std::move(text);
  return view;
}

constexpr const char* kCopyModeTexts[3] = {
    "Kopia i oryginał są iderntyczne.", "Na kopii nie ma nagłówków oraz odcięcia.",
    "Na kopii nie ma nagłówków i odcięcia oraz dokumenty niefiskalne są drukowane tylko na "
    "kopii."};
constexpr const char* kErrorModeTexts[4] = {
    "Wyświetlanie komunikatu na wyświetlaczu.", "Nie wyświetla komunikatu, nie zatrzymuje.",
    "Wyświetlanie komunikatu na wyświetlaczu oraz automatyczna odpowiedź.",
    "Brak wyświetlania komunikatu i zatrzymania. Automatycznie wysłanie odpowiedzi."};

}  // namespace

std::array<SettingView, kSettingRowCount> DescribePrinterSettings(const PrinterSettings& settings,
                                                                  int previousDiscountChoice) {
  const auto& v = settings.values;
  std::array<SettingView, kSettingRowCount> rows;
  rows[kIdentifier] = TextView("Identyfikator", std::to_string(v[0]));
  rows[kLetterCoding] = ListView("Sposób kodowania polskich znaków",
                                 {"MAZOVIA", "LATIN", "ISOLATIN", "WINDOWS"}, v[1]);
  rows[kDrawerPulse] = TextView("Czas trwania impulsu sterującego szufladą", std::to_string(v[2]));
  rows[kCopyMode] =
      ListView("Sposób drukowania kopii/oryginału", {"Tryb 1", "Tryb 2", "Tryb 3"}, v[3], 1);
  char tenths[32];
  std::snprintf(tenths, sizeof tenths, "%2.2f", v[4] * 0.1);
  rows[kRewinderTime] = TextView("Długość impulsu sterującego zwijaczem", tenths);
  rows[kCoverSensor] =
      ListView("Obsługa czujnika pokrywy obudowy",
               {"0 - Brak obsługi czujnika pokrywy", "1 - Komunikaty o podniesionej pokrywie",
                "2 - Blokuje sprzedaż przy podniesionej pokrywie"},
               v[5]);
  rows[kResponseTime] =
      ListView("Korekta czasu odpowiedzi od drukarki",
               {"NIE", "TAK - dla pewnych rozkazów", "TAK - dla większości rozkazów"}, v[6]);
  rows[kMonthlyReminder] = ListView("Przypominanie o raporcie miesięcznym", {"NIE", "TAK"}, v[7]);
  rows[kExternalDisplay] = ListView("Obsługa zewnętrznego wyświetlacza", {"NIE", "TAK"}, v[8]);
  // Any value but 0 means a display is there, also one beyond the list.
  rows[kExternalDisplay].choice = v[8] == 0 ? 0 : (v[8] == 1 ? 1 : -1);
  rows[kDisplayProtocol] = ListView("Protokół zewn. wyświetlacza", {"EPSON", "ULVO"}, v[9]);
  rows[kDisplayProtocol].visible = v[8] != 0;
  rows[kErrorMode] =
      ListView("Tryb obsługi błędów", {"Tryb 0", "Tryb 1", "Tryb 2", "Tryb 3"}, v[10]);
  rows[kDeposit] = ListView("Sposób obsługi kaucji w linijce paragonu", {"POSNET", "ULVO"}, v[11]);
  const std::uint16_t flags = v[12];
  rows[kAutoDrawer] = ListView("Zawsze otwierać szufladę po transakcji", {"NIE", "TAK"},
                               (flags & 0x01) != 0 ? 1 : 0);
  rows[kSystemNumber] =
      ListView("Definicja nr systemowego rozkazem $h", {"Zgodnie z POSNET", "Zgonie z ULVO"},
               (flags & 0x02) != 0 ? 1 : 0);
  SettingView discount;
  discount.caption = "Metoda Liczenia rabatu procentowego";
  discount.choices = {"metoda 1", "metoda 2"};
  switch (flags & 0x0C) {
    case 0x00:
      discount.visible = false;
      discount.choice = previousDiscountChoice;
      break;
    case 0x04:
      discount.choice = 1;
      break;
    case 0x08:
      discount.choice = 0;
      break;
    default:  // both bits: shown, choice left as it was
      discount.choice = previousDiscountChoice;
      break;
  }
  rows[kDiscountMethod] = discount;
  return rows;
}

std::string CopyModeHelp(std::uint16_t value) {
  const char* text = value >= 1 && value <= 3 ? kCopyModeTexts[value - 1] : "";
  return "Tryb " + std::to_string(value) + ": " + text;
}

std::string ErrorModeHelp(std::uint16_t value) {
  const char* text = value <= 3 ? kErrorModeTexts[value] : "";
  return "Tryb " + std::to_string(value) + ": " + text;
}

}  // namespace ulvo
