#pragma once
// The text `ulvo-sim --help` prints; the manual page is made from it.

#include <string>

namespace ulvo {

// The usage line, what the emulator does, every option and the control commands.
std::string SimHelp();

}  // namespace ulvo
