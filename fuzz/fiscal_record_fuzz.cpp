// The fiscal memory record stream of a readout: whatever the printer sends, a pass takes only
// the bytes it was given, ends or asks for more, and writes only whole report lines.

#include <cstdint>
#include <string>
#include <string_view>

#include "readout/core/fiscal_readout.h"
#include "readout/core/report_text.h"

namespace {

class CountingSink : public ulvo::LineSink {
 public:
  void Line(std::string_view utf8) override { bytes += utf8.size() + 2; }
  std::size_t bytes = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t flags = data[0];
  const std::size_t chunk = 1 + data[1] % 64;  // how the line happens to cut the stream
  ulvo::ReadoutRequest request;
  request.emergency = flags & 1;
  request.ecopy = flags & 2;
  request.byNumbers = flags & 4;
  request.monthly = flags & 8;
  request.fullReport = !(flags & 16);
  request.fromYear = 24;
  request.toYear = 25;
  request.fromMonth = request.toMonth = 1;
  request.fromDay = request.toDay = 1;
  request.todayText = "2025-01-01";
  CountingSink sink;
  ulvo::FiscalReadoutPass pass(request, sink);
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  while (!rest.empty() && !pass.Finished()) {
    const std::string_view piece = rest.substr(0, chunk);
    const ulvo::FiscalReadoutPass::Step step = pass.Feed(piece);
    if (step.used > piece.size()) __builtin_trap();
    if (step.used == 0 && !step.sendAck && !pass.Finished()) break;  // waits for more
    rest.remove_prefix(step.used);
  }
  if (!pass.Finished()) pass.Stop(ulvo::RecordCode::kBad);  // the read time-out
  if (!pass.Finished() || pass.Succeeded() != (pass.Code() == ulvo::RecordCode::kGood))
    __builtin_trap();
  return 0;
}
