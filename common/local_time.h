#pragma once
// The local calendar time of a moment, on POSIX and Windows alike (both lack a portable
// thread-safe std::localtime).

#include <ctime>

namespace ulvo {

inline std::tm LocalTime(std::time_t t) {
  std::tm out{};
#ifdef _WIN32
  localtime_s(&out, &t);
#else
  localtime_r(&t, &out);
#endif
  return out;
}

}  // namespace ulvo
