// build/ulvo-sim started as a real process on a real pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "sim/sim_process.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Unchecked;
using SteadyClock = std::chrono::steady_clock;

constexpr auto kBound = std::chrono::seconds(10);  // generous: the machine may be busy

// The program's end of the line: the pty slave in raw mode.
class Port {
 public:
  explicit Port(const std::string& path) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ >= 0) {
      termios t{};
      tcgetattr(fd_, &t);
      cfmakeraw(&t);
      tcsetattr(fd_, TCSANOW, &t);
    }
  }
  ~Port() {
    if (fd_ >= 0) close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  bool Write(const std::string& bytes) {
    return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Reads until `count` bytes came or (for frames) the data ends in ESC '\'; bounded.
  std::string Read(std::size_t count, bool frame) {
    std::string out;
    auto deadline = SteadyClock::now() + kBound;
    while (SteadyClock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      int left = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now())
              .count());
      if (poll(&p, 1, left < 0 ? 0 : left) <= 0) break;
      char buf[256];
      ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<std::size_t>(n));
      if (frame ? out.size() >= 2 && out.compare(out.size() - 2, 2, "\x1B\\") == 0
                : out.size() >= count) {
        break;
      }
    }
    return out;
  }
  // True when the other side of the line has gone: poll reports a hang-up or reads fail.
  bool SeesHangUp() {
    auto deadline = SteadyClock::now() + kBound;
    while (SteadyClock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 1000) <= 0) continue;
      if (p.revents & (POLLHUP | POLLERR)) return true;
      char buf[64];
      ssize_t n = read(fd_, buf, sizeof buf);
      if (n == 0 || (n < 0 && errno != EAGAIN)) return true;
    }
    return false;
  }

 private:
  int fd_ = -1;
};

std::unique_ptr<SimProcess> StartSim(std::vector<std::string> args) {
  std::string error;
  std::unique_ptr<SimProcess> sim = SimProcess::Start(ULVO_SIM_PATH, args, &error);
  EXPECT_TRUE(sim) << error;
  return sim;
}

TEST(SimProcessTest, AnswersEnqOverARealPty) {
  auto sim = StartSim({"--baud", "0"});
  ASSERT_TRUE(sim);
  EXPECT_EQ(sim->PtyPath().rfind("/dev/", 0), 0u);
  Port port(sim->PtyPath());
  ASSERT_TRUE(port.IsOpen());
  ASSERT_TRUE(port.Write("\x05"));
  EXPECT_EQ(port.Read(1, false), "\x65");
}

TEST(SimProcessTest, PacedAnswersArriveWhole) {
  auto sim = StartSim({"--family", "alta"});  // 9600 baud
  ASSERT_TRUE(sim);
  Port port(sim->PtyPath());
  ASSERT_TRUE(port.Write(Unchecked("1#v")));
  EXPECT_EQ(port.Read(0, true), "\x1BP1#RAlta/2.05\x1B\\");
}

TEST(SimProcessTest, ControlSocketSeesTheTraffic) {
  auto sim = StartSim({"--baud", "0"});
  ASSERT_TRUE(sim);
  Port port(sim->PtyPath());
  ASSERT_TRUE(port.Write(Checked("#i12.34/") + "\x05"));
  EXPECT_EQ(port.Read(1, false), "\x65");
  EXPECT_EQ(sim->Control("get cash"), "ok 12.34");
  EXPECT_EQ(sim->Control("get frames"), "ok 1");
  EXPECT_EQ(sim->Control("refuse 3"), "ok");
  ASSERT_TRUE(port.Write(Checked("1#l") + "\x05"));
  EXPECT_EQ(port.Read(1, false), "\x61");
  ASSERT_TRUE(port.Write(Unchecked("0#n")));
  EXPECT_EQ(port.Read(0, true), "\x1BP1#E3\x1B\\");
  EXPECT_EQ(sim->Control("bogus").rfind("error", 0), 0u);
}

TEST(SimProcessTest, DisconnectMakesTheSlaveSeeAHangUp) {
  auto sim = StartSim({"--baud", "0"});
  ASSERT_TRUE(sim);
  Port port(sim->PtyPath());
  ASSERT_TRUE(port.IsOpen());
  EXPECT_EQ(sim->Control("disconnect"), "ok");
  EXPECT_TRUE(port.SeesHangUp());
}

TEST(SimProcessTest, KillMakesThePtyVanish) {
  auto sim = StartSim({"--baud", "0"});
  ASSERT_TRUE(sim);
  Port port(sim->PtyPath());
  ASSERT_TRUE(port.IsOpen());
  sim->Kill();
  EXPECT_TRUE(port.SeesHangUp());
  EXPECT_EQ(sim->Control("get cash").rfind("error", 0), 0u);
}

TEST(SimProcessTest, NoAnswerSwitchFromTheCommandLine) {
  auto sim = StartSim({"--baud", "0", "--no-answer"});
  ASSERT_TRUE(sim);
  Port port(sim->PtyPath());
  ASSERT_TRUE(port.Write("\x05"));
  // Wait (bounded) until the emulator has taken the byte in; each question is a round trip.
  auto deadline = SteadyClock::now() + kBound;
  while (sim->Control("get bytesin") != "ok 1" && SteadyClock::now() < deadline) {
  }
  ASSERT_EQ(sim->Control("get bytesin"), "ok 1");
  EXPECT_EQ(sim->Control("get frames"), "ok 0");
  EXPECT_EQ(sim->Control("noanswer off"), "ok");
  ASSERT_TRUE(port.Write("\x10"));
  EXPECT_EQ(port.Read(1, false), "\x74");
}

TEST(SimProcessTest, WritesTheTrafficLog) {
  char dir[] = "/tmp/ulvo-simlog-XXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  std::string log = std::string(dir) + "/traffic.log";
  {
    auto sim = StartSim({"--baud", "0", "--log", log});
    ASSERT_TRUE(sim);
    Port port(sim->PtyPath());
    ASSERT_TRUE(port.Write("\x05"));
    EXPECT_EQ(port.Read(1, false), "\x65");
    ASSERT_TRUE(port.Write(Unchecked("0#n")));
    EXPECT_EQ(port.Read(0, true), "\x1BP1#E0\x1B\\");
  }  // stopped: the log is complete
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("< <ENQ>"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("> e"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("> <ESC>P1#E0<ESC>\\"), std::string::npos) << text.str();
  unlink(log.c_str());
  rmdir(dir);
}

TEST(SimProcessTest, BadStartIsReportedNotHung) {
  std::string error;
  EXPECT_FALSE(SimProcess::Start("/nonexistent/ulvo-sim", {}, &error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(SimProcess::Start(ULVO_SIM_PATH, {"--family", "posnet"}, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace ulvo
