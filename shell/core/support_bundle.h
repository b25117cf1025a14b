#pragma once
// "Zapisz dane dla serwisu": one zip file for the maker's service with what it takes to see
// what went wrong on a customer's line, and nothing else of the user's:
//   opis.txt      the program's version, the system, the port's settings and what the
//                 operating system says about the port, the list of what the zip holds
//   ustaw.txt     the settings as the program would write them now
//   porty.txt     the port addresses, likewise
//   DaneWy.bin, DaneWe.bin   the transmission log, when there is one
//   the last capture (its own name), when there is one

#include <filesystem>
#include <optional>
#include <string>

#include "link/settings.h"

namespace ulvo {

struct SupportBundleInput {
  std::string version;  // the program's
  Settings settings;
  std::string portDevice;        // what COM PortNumber names on this system; empty: no port chosen
  std::string portState;         // "otwarty", "zamknięty" ... as the link sees it
  std::filesystem::path logDir;  // where DaneWy.bin and DaneWe.bin are written
  std::optional<std::filesystem::path> capture;
};

// A log or capture larger than this goes in by its last bytes only (opis.txt says so).
constexpr std::uintmax_t kBundleFileMax = 64u << 20;

// What the operating system says about a device: what it is, who may open it, the driver
// and, for a USB adapter, its maker and model. Text lines, Polish.
std::string PortSystemReport(const std::string& device);

// Writes the zip (beside `path` first, then renamed into place). A Polish message when it
// failed.
std::optional<std::string> WriteSupportBundle(const std::filesystem::path& path,
                                              const SupportBundleInput& input);

}  // namespace ulvo
