// Command files: one line to its frame, and a whole file sent line by line over the link.

#include <string>

#include "fuzz/link_fuzz_port.h"
#include "link/frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (auto frame = ulvo::BuildCommandFileFrame(text)) {
    if (frame->size() < 4 || frame->compare(0, 2, "\x1bP") != 0) __builtin_trap();
  }
  ulvo::fuzz::FuzzLink f(2);
  f.link->SendCommandFile(text.c_str());
  return 0;
}
