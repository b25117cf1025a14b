#include <cstdio>
#include <cstdlib>
#include <string>

#include "link/serial_port.h"

namespace ulvo {

std::string WindowsPortName(int portNumber) {
  // From COM10 on Windows wants the device namespace form.
  char name[32];
  std::snprintf(name, sizeof name, portNumber <= 9 ? "COM%d" : "\\\\.\\COM%d", portNumber);
  return name;
}

std::string PosixPortName(int portNumber, const std::function<const char*(const char*)>& getenv) {
  const std::string variable = "ULVO_COM" + std::to_string(portNumber);
  const char* named = getenv ? getenv(variable.c_str()) : std::getenv(variable.c_str());
  if (named != nullptr && *named != '\0') return named;
  if (portNumber >= 1 && portNumber <= 32) return "/dev/ttyS" + std::to_string(portNumber - 1);
  if (portNumber >= 33 && portNumber <= 48) return "/dev/ttyUSB" + std::to_string(portNumber - 33);
  if (portNumber >= 49 && portNumber <= 64) return "/dev/ttyACM" + std::to_string(portNumber - 49);
  return {};  // no device for a number outside 1..64
}

std::string PortDeviceName(int portNumber, const std::map<int, std::string>& addresses) {
  const auto given = addresses.find(portNumber);
  if (given != addresses.end() && !given->second.empty()) return given->second;
#ifdef _WIN32
  const std::string variable = "ULVO_COM" + std::to_string(portNumber);
  const char* named = std::getenv(variable.c_str());
  if (named != nullptr && *named != '\0') return named;
  return WindowsPortName(portNumber);
#else
  return PosixPortName(portNumber);
#endif
}

}  // namespace ulvo
