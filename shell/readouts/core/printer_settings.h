#pragma once
// The printer's configuration as the $8 query returns it (#U, thirteen 16-bit values), its
// 26-byte ".ust" file and the way each option is shown.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_list.h"

namespace ulvo {

inline constexpr int kPrinterSettingsCount = 13;
inline constexpr std::size_t kPrinterSettingsFileSize = 26;

struct PrinterSettings {
  std::array<std::uint16_t, kPrinterSettingsCount> values{};
  bool operator==(const PrinterSettings&) const = default;
};

// "P$8" with its check.
FrameList BuildPrinterSettingsQuery();

// Reads "<any byte>P#U" (junk before it is skipped) and thirteen numbers each ended by '/'; every
// number is kept in its low 16 bits. Nothing when the reply does not have that shape.
std::optional<PrinterSettings> ParsePrinterSettingsReply(std::string_view reply);

// The file form: every value low byte first, nothing else.
std::string PrinterSettingsFileBytes(const PrinterSettings& settings);
// Lays up to 26 bytes of a file over the record: a shorter file replaces only the leading
// values (an odd last byte only the low byte of its value).
void ApplyPrinterSettingsFile(std::string_view bytes, PrinterSettings& settings);

// How one option is shown: `choice` is the index into `choices` (-1: none, also for values
// outside the list); options without a list show `text`.
struct SettingView {
  std::string caption;
  std::vector<std::string> choices;
  int choice = -1;
  std::string text;
  bool visible = true;
};

// Options in the order of the dialog: the thirteen values, value 13 split into its three
// options (drawer, system number, discount method), fifteen in all.
enum SettingRow {
  kIdentifier = 0,
  kLetterCoding,
  kDrawerPulse,
  kCopyMode,
  kRewinderTime,
  kCoverSensor,
  kResponseTime,
  kMonthlyReminder,
  kExternalDisplay,
  kDisplayProtocol,
  kErrorMode,
  kDeposit,
  kAutoDrawer,
  kSystemNumber,
  kDiscountMethod,
  kSettingRowCount
};

// `previousDiscountChoice` is what the discount method showed before: with both of its bits
// set the choice is left as it was.
std::array<SettingView, kSettingRowCount> DescribePrinterSettings(const PrinterSettings& settings,
                                                                  int previousDiscountChoice);

// The help texts of the copy mode and the error mode buttons: "Tryb <n>: <text>".
std::string CopyModeHelp(std::uint16_t value);
std::string ErrorModeHelp(std::uint16_t value);

}  // namespace ulvo
