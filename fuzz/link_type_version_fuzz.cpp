// The type and version reply (#R) as the link reads it.

#include "fuzz/link_fuzz_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ulvo::fuzz::FuzzLink f(2);
  ulvo::fuzz::SplitReplies(data, size, f.wire);
  f.link->ReadTypeAndVersion();
  return 0;
}
