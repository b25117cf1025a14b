// The settings file ustaw.txt.

#include <cstdint>
#include <string_view>

#include "link/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ulvo::Settings settings = ulvo::ParseSettingsText(text);
  ulvo::MainWindowCaption(settings);
  ulvo::FormatSettingsText(settings);
  return 0;
}
