#pragma once
// Helpers of the link object shared with its tests: reading replies without running past
// their end.

#include <cstddef>
#include <optional>
#include <string>

namespace ulvo {

// Reads the fields of a reply the way a scanf template would, but bounded by `end` and
// independent of the C locale (the printer always sends '.' as the decimal point).
class ReplyScanner {
 public:
  ReplyScanner(const char* begin, const char* end) : p_(begin), end_(end) {}
  bool Any();                  // %c
  bool Literal(char c);        // a literal byte of the template
  bool Int(int& value);        // %d
  bool Double(double& value);  // %lf
  const char* position() const { return p_; }

 private:
  void SkipSpace();
  const char* p_;
  const char* end_;
};

// Where the reply frame lies in `buffer[0..length)`: `begin` at its ESC 'P', `end` at its
// closing ESC '\'. Bytes before the ESC 'P' (line noise) are passed over. Nothing when the
// buffer does not hold a whole frame.
struct ReplySpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};
std::optional<ReplySpan> FindReplyFrame(const char* buffer, std::size_t length);

}  // namespace ulvo
