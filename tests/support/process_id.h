#pragma once
// This test process's id, for temporary names that parallel test runs do not share; on POSIX
// and Windows alike.

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace ulvo {

inline long TestProcessId() {
#ifdef _WIN32
  return static_cast<long>(::_getpid());
#else
  return static_cast<long>(::getpid());
#endif
}

}  // namespace ulvo
