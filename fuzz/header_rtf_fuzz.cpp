// Header files in RTF. What reads as a header is written out and must read back the same.

#include <cstdint>
#include <string_view>

#include "commands/core/header_rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  const ulvo::RtfReadResult read = ulvo::ReadHeaderRtf(rtf);
  if (read.Failed()) return 0;
  const ulvo::RtfReadResult again = ulvo::ReadHeaderRtf(ulvo::WriteHeaderRtf(read.document));
  if (again.Failed() || !(again.document == read.document)) __builtin_trap();
  return 0;
}
