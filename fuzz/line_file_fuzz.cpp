// Line files (".lin") of the receipt-lines tables.

#include <cstdint>
#include <string_view>

#include "tools/core/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (std::size_t rows : {std::size_t{9}, std::size_t{16}}) {
    const ulvo::LineFileRead read = ulvo::ParseLineFile(bytes, rows);
    if (read.error.empty() && read.rows.size() != rows) __builtin_trap();
  }
  return 0;
}
