#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/serial_port.h"

namespace ulvo {
namespace {

const char* NoEnvironment(const char*) {
  return nullptr;
}

TEST(WindowsPortName, PlainUpToNineAndDeviceNamespaceFromTen) {
  EXPECT_EQ(WindowsPortName(1), "COM1");
  EXPECT_EQ(WindowsPortName(9), "COM9");
  EXPECT_EQ(WindowsPortName(10), "\\\\.\\COM10");
  EXPECT_EQ(WindowsPortName(64), "\\\\.\\COM64");
}

TEST(PosixPortName, NumbersMapOntoSerialUsbAndAcmDevices) {
  EXPECT_EQ(PosixPortName(1, NoEnvironment), "/dev/ttyS0");
  EXPECT_EQ(PosixPortName(32, NoEnvironment), "/dev/ttyS31");
  EXPECT_EQ(PosixPortName(33, NoEnvironment), "/dev/ttyUSB0");
  EXPECT_EQ(PosixPortName(48, NoEnvironment), "/dev/ttyUSB15");
  EXPECT_EQ(PosixPortName(49, NoEnvironment), "/dev/ttyACM0");
  EXPECT_EQ(PosixPortName(64, NoEnvironment), "/dev/ttyACM15");
}

TEST(PosixPortName, NumbersOutsideOneToSixtyFourHaveNoDevice) {
  EXPECT_EQ(PosixPortName(0, NoEnvironment), "");
  EXPECT_EQ(PosixPortName(65, NoEnvironment), "");
  EXPECT_EQ(PosixPortName(255, NoEnvironment), "");
  EXPECT_EQ(PosixPortName(-1, NoEnvironment), "");
}

TEST(PosixPortName, EnvironmentVariableNamesTheDevice) {
  std::string asked;
  const auto env = [&asked](const char* name) -> const char* {
    asked = name;
    return std::strcmp(name, "ULVO_COM5") == 0 ? "/dev/pts/7" : nullptr;
  };
  EXPECT_EQ(PosixPortName(5, env), "/dev/pts/7");
  EXPECT_EQ(asked, "ULVO_COM5");
  EXPECT_EQ(PosixPortName(6, env), "/dev/ttyS5");
  EXPECT_EQ(asked, "ULVO_COM6");
}

TEST(PosixPortName, EmptyVariableFallsBackToTheDefaultDevice) {
  const auto env = [](const char*) -> const char* { return ""; };
  EXPECT_EQ(PosixPortName(2, env), "/dev/ttyS1");
}

}  // namespace
}  // namespace ulvo
