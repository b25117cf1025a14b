#include "sim/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace ulvo {

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr auto kStartBound = std::chrono::seconds(10);
constexpr auto kAnswerBound = std::chrono::seconds(10);
constexpr auto kStopBound = std::chrono::seconds(5);

int RemainingMs(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Reads up to the first '\n' (not included) within the deadline. False on EOF, error or time-out.
bool ReadLine(int fd, SteadyClock::time_point deadline, std::string& line, std::string& why) {
  line.clear();
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      why = ready == 0 ? "no answer in time" : std::strerror(errno);
      return false;
    }
    char c;
    ssize_t n = read(fd, &c, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) {
      why = n == 0 ? "closed before a whole line" : std::strerror(errno);
      return false;
    }
    if (c == '\n') return true;
    if (line.size() > 65536) {
      why = "line too long";
      return false;
    }
    line.push_back(c);
  }
}

// Waits for the child to end within `bound`; true when it was reaped.
bool WaitForExit(int pid, std::chrono::milliseconds bound) {
  int status = 0;
  if (waitpid(pid, &status, WNOHANG) == pid) return true;
  int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  auto deadline = SteadyClock::now() + bound;
  if (pidfd >= 0) {
    pollfd p{pidfd, POLLIN, 0};
    while (poll(&p, 1, RemainingMs(deadline)) < 0 && errno == EINTR) {
    }
    close(pidfd);
    return waitpid(pid, &status, WNOHANG) == pid;
  }
  // Kernels without pidfd: look every few milliseconds, still bounded.
  while (SteadyClock::now() < deadline) {
    if (waitpid(pid, &status, WNOHANG) == pid) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace

std::unique_ptr<SimProcess> SimProcess::Start(const std::string& binary,
                                              const std::vector<std::string>& args,
                                              std::string* error) {
  auto fail = [&](const std::string& text) -> std::unique_ptr<SimProcess> {
    if (error) *error = text;
    return nullptr;
  };
  if (access(binary.c_str(), X_OK) != 0)
    return fail("ulvo-sim not found or not executable: " + binary);

  std::unique_ptr<SimProcess> sim(new SimProcess());
  char dirTemplate[] = "/tmp/ulvo-sim-XXXXXX";
  if (!mkdtemp(dirTemplate)) return fail(std::string("mkdtemp: ") + std::strerror(errno));
  sim->dir_ = dirTemplate;
  sim->socketPath_ = sim->dir_ + "/control";

  std::vector<std::string> all;
  all.push_back(binary);
  all.insert(all.end(), args.begin(), args.end());
  all.push_back("--control");
  all.push_back(sim->socketPath_);
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return fail(std::string("pipe: ") + std::strerror(errno));
  pid_t parent = getpid();
  pid_t pid = fork();
  if (pid < 0) {
    close(out[0]);
    close(out[1]);
    return fail(std::string("fork: ") + std::strerror(errno));
  }
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    dup2(out[1], STDOUT_FILENO);
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlive a crashed test
    if (getppid() != parent) _exit(127);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  sim->pid_ = pid;

  std::string line, why;
  bool got = ReadLine(out[0], SteadyClock::now() + kStartBound, line, why);
  close(out[0]);
  std::size_t space = line.find(' ');
  if (!got || space == std::string::npos || line.rfind("/dev/", 0) != 0) {
    std::string text = "ulvo-sim did not announce its pty (" + (got ? "got: " + line : why) + ")";
    return fail(text);  // the destructor stops the process and cleans up
  }
  sim->ptyPath_ = line.substr(0, space);
  return sim;
}

SimProcess::~SimProcess() {
  Reap(false);
  if (!socketPath_.empty()) unlink(socketPath_.c_str());
  if (!dir_.empty()) rmdir(dir_.c_str());
}

void SimProcess::Reap(bool force) {
  if (pid_ <= 0 || reaped_) return;
  if (!force) {
    kill(pid_, SIGTERM);
    if (WaitForExit(pid_, kStopBound)) {
      reaped_ = true;
      return;
    }
  }
  kill(pid_, SIGKILL);
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  reaped_ = true;
}

void SimProcess::Kill() {
  Reap(true);
}

std::string SimProcess::Control(const std::string& command) {
  if (reaped_ || pid_ <= 0) return "error ulvo-sim is not running";
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::string("error socket: ") + std::strerror(errno);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (socketPath_.size() >= sizeof addr.sun_path) {
    close(fd);
    return "error control socket path too long";
  }
  std::memcpy(addr.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    std::string text = std::string("error ulvo-sim is gone: ") + std::strerror(errno);
    close(fd);
    return text;
  }
  std::string line = command + "\n";
  std::size_t done = 0;
  while (done < line.size()) {
    ssize_t n = send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      std::string text = std::string("error ulvo-sim is gone: ") + std::strerror(errno);
      close(fd);
      return text;
    }
    done += static_cast<std::size_t>(n);
  }
  std::string answer, why;
  bool got = ReadLine(fd, SteadyClock::now() + kAnswerBound, answer, why);
  close(fd);
  if (!got) return "error ulvo-sim gave no answer: " + why;
  return answer;
}

}  // namespace ulvo
