// The cash information reply (#X) as the link reads it, for every printer family; the
// first byte picks the family, the rest is what the line brings (replies split at FF FE).

#include "fuzz/link_fuzz_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  ulvo::fuzz::FuzzLink f(static_cast<std::uint8_t>(data[0] % 3));
  ulvo::fuzz::SplitReplies(data + 1, size - 1, f.wire);
  double sum = 0;
  f.link->ReadTotalsSum(sum);
  return 0;
}
