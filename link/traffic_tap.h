#pragma once
// A listener on the printer line: it is handed every byte the transmission log records, in
// the order the link wrote and read them.

#include <cstddef>

namespace ulvo {

class TrafficTap {
 public:
  virtual ~TrafficTap() = default;
  // Bytes that left for the printer.
  virtual void Written(const char* data, std::size_t count) = 0;
  // Bytes the reply wait read from the printer (not those drained before a query).
  virtual void Read(const char* data, std::size_t count) = 0;
};

}  // namespace ulvo
