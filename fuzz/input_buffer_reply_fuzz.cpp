// The input buffer reply ($0) split into lines.

#include <cstdint>
#include <string_view>

#include "shell/readouts/core/input_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  ulvo::SplitInputBufferReply(reply);
  return 0;
}
