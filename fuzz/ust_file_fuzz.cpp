// ".ust" printer settings files: laid over the record, shown, written back.

#include <cstdint>
#include <string_view>

#include "shell/readouts/core/printer_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ulvo::PrinterSettings settings;
  ulvo::ApplyPrinterSettingsFile(bytes, settings);
  const int previous = size > 0 ? static_cast<int>(data[0] % 4) - 1 : -1;
  ulvo::DescribePrinterSettings(settings, previous);
  ulvo::CopyModeHelp(settings.values[ulvo::kCopyMode]);
  ulvo::ErrorModeHelp(settings.values[ulvo::kErrorMode]);
  // A whole file reads back as the record it came from.
  ulvo::PrinterSettings back;
  ulvo::ApplyPrinterSettingsFile(ulvo::PrinterSettingsFileBytes(settings), back);
  if (!(back == settings)) __builtin_trap();
  return 0;
}
