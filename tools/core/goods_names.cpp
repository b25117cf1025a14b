// The goods list of the test transaction generator. The names live in goods_names.txt (UTF-8,
// one per line); the build compiles that file into the program as kGoodsNamesText.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1250.h"
#include "tools/core/test_transactions.h"

namespace ulvo {

extern const char kGoodsNamesText[];
extern const std::size_t kGoodsNamesTextSize;

std::vector<std::string> GoodsNames() {
  std::vector<std::string> names;
  names.reserve(640);
  std::string_view text(kGoodsNamesText, kGoodsNamesTextSize);
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) names.push_back(Utf8ToCp1250(line).bytes);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return names;
}

}  // namespace ulvo
