// The result check after a command: the ENQ status byte, then the error number (#n) reply.

#include "fuzz/link_fuzz_port.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ulvo::fuzz::FuzzLink f(2);
  ulvo::fuzz::SplitReplies(data, size, f.wire);
  const bool failed = f.link->CheckCommandResult();
  // A command may pass only on a status byte that says so or an error number of 0.
  if (!failed && !(f.link->EnqStatus & 0x04) && f.link->LastErrorCode != 0) __builtin_trap();
  return 0;
}
