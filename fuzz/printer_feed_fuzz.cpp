// The emulator's intake: whatever the program writes, in pieces, to each printer family,
// through the line front end and straight into the printer.

#include <chrono>
#include <cstdint>
#include <string_view>

#include "sim/emulator.h"
#include "sim/printer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  ulvo::SimOptions options;
  options.variant.family = static_cast<ulvo::PrinterFamily>(data[0] % 3);
  options.variant.bus = (data[0] & 4) != 0 && options.variant.family != ulvo::PrinterFamily::kAlta;
  options.variant.ecopy =
      (data[0] & 8) != 0 && options.variant.family == ulvo::PrinterFamily::kMavito;
  options.fiscal = (data[0] & 16) != 0;
  options.baud = (data[0] & 32) ? 0 : 115200;
  const std::size_t piece = 1 + data[1] % 64;
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

  ulvo::Emulator emulator(options);
  ulvo::Printer printer(options.variant);
  auto now = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  // A fixed wall clock keeps every run the same.
  auto wall = std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 55);
  while (!rest.empty()) {
    const std::string_view part = rest.substr(0, piece);
    rest.remove_prefix(part.size());
    emulator.OnInput(part, now, wall);
    emulator.TakeOutput(now);
    emulator.GetPrinter().TakeFrameNotes();
    printer.Feed(part, wall);
    now += std::chrono::milliseconds(5);
    wall += std::chrono::milliseconds(5);
  }
  return 0;
}
