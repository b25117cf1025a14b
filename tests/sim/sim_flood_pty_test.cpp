// build/ulvo-sim on its pty under a flood the program never reads: the emulator stays small,
// and once the program has drained the line its status query is answered.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include "sim/sim_process.h"

namespace ulvo {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

long ResidentKb(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

long Counter(SimProcess& sim, const std::string& item) {
  const std::string answer = sim.Control("get " + item);
  return answer.rfind("ok ", 0) == 0 ? std::atol(answer.c_str() + 3) : -1;
}

TEST(SimFloodOverPty, UnreadEnqFloodKeepsTheEmulatorSmallAndAnswering) {
  std::string error;
  auto sim = SimProcess::Start(ULVO_SIM_PATH, {}, &error);  // 9600 baud
  ASSERT_TRUE(sim) << error;
  const int fd = open(sim->PtyPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  termios t{};
  tcgetattr(fd, &t);
  cfmakeraw(&t);
  tcsetattr(fd, TCSANOW, &t);

  // 8 MB of ENQ, nothing read back.
  const std::size_t total = 8u << 20;
  const std::string chunk(4096, '\x05');
  std::size_t sent = 0;
  for (int i = 0; i < 200000 && sent < total; ++i) {
    pollfd p{fd, POLLOUT, 0};
    if (poll(&p, 1, 1000) <= 0) continue;
    const ssize_t n = write(fd, chunk.data(), std::min(chunk.size(), total - sent));
    if (n > 0) sent += static_cast<std::size_t>(n);
  }
  ASSERT_EQ(sent, total);
  // The last pieces may still lie in the pty until the emulator reads them.
  long in = 0;
  for (int i = 0; i < 1000 && (in = Counter(*sim, "bytesin")) < static_cast<long>(total); ++i)
    usleep(10000);
  EXPECT_EQ(in, static_cast<long>(total));
  EXPECT_GT(Counter(*sim, "dropped"), static_cast<long>(total) - 64 * 1024);
  EXPECT_LT(ResidentKb(sim->Pid()), 32 * 1024);

  // Drain what was on its way (as FlushInput does) until the line stays quiet, bounded.
  char buf[512];
  std::size_t drained = 0;
  auto drain = [&] {
    for (int i = 0; i < 10000; ++i) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 300) <= 0) return;
      const ssize_t n = read(fd, buf, sizeof buf);
      if (n <= 0) return;
      drained += static_cast<std::size_t>(n);
    }
  };
  drain();
  for (int i = 0; i < 20 && Counter(*sim, "inbuffer") != 0; ++i) drain();  // a busy machine
  EXPECT_EQ(Counter(*sim, "inbuffer"), 0);
  EXPECT_LT(drained, 4096u);  // one buffer of answers and the backlog, not millions

  // The status query: its answer comes, after at most what a slow machine left on the way.
  ASSERT_EQ(write(fd, "\x05", 1), 1);
  std::string answer;
  for (int i = 0; i < 100; ++i) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, answer.empty() ? 10000 : 300) <= 0) break;
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    answer.append(buf, static_cast<std::size_t>(n));
  }
  ASSERT_FALSE(answer.empty());
  EXPECT_EQ(answer.back(), '\x65');
  EXPECT_EQ(answer.find_first_not_of("\x65\x11"), std::string::npos);
  close(fd);
}

}  // namespace
}  // namespace ulvo
