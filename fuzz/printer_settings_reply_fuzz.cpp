// The printer settings reply (#U, thirteen values).

#include <cstdint>
#include <string_view>

#include "shell/readouts/core/printer_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  if (auto settings = ulvo::ParsePrinterSettingsReply(reply)) {
    ulvo::DescribePrinterSettings(*settings, -1);
    ulvo::PrinterSettingsFileBytes(*settings);
  }
  return 0;
}
