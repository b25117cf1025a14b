// ulvo-sim: a ULVO printer on a pseudo-terminal. Prints "<pty> ULVO_COM1=<pty>" as its first
// line, then answers whatever the program writes to that pty until SIGTERM or SIGINT.

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "sim/emulator.h"
#include "sim/help_text.h"
#include "sim/traffic_log.h"
#ifdef ULVO_WITH_PCAP
#include "link/pcap_file.h"
#endif

namespace {

using ulvo::Emulator;
using ulvo::TrafficLog;
using SteadyClock = std::chrono::steady_clock;

constexpr std::size_t kMaxControlLine = 70000;  // room for a `send` of some 32 KB

struct ControlClient {
  int fd = -1;
  std::string input;
};

int OpenControlSocket(const std::string& path, std::string& error) {
  sockaddr_un addr{};
  if (path.size() >= sizeof addr.sun_path) {
    error = "Ścieżka gniazda sterującego jest za długa: " + path;
    return -1;
  }
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    error = std::string("Nie mogę utworzyć gniazda sterującego: ") + std::strerror(errno);
    return -1;
  }
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  // A socket left by an emulator that was killed may go; any other file stays.
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) unlink(path.c_str());
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 8) != 0) {
    error = "Nie mogę otworzyć gniazda sterującego " + path + ": " + std::strerror(errno);
    close(fd);
    return -1;
  }
  return fd;
}

// Opens the pty pair. The emulator keeps a slave descriptor of its own so that the master
// neither reports a hang-up nor loses its settings while the program has the port closed.
bool OpenPty(int& master, int& slave, std::string& name, std::string& error) {
  master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    error = std::string("Nie mogę utworzyć pseudoterminala: ") + std::strerror(errno);
    return false;
  }
  char buf[128];
  if (ptsname_r(master, buf, sizeof buf) != 0) {
    error = std::string("Nie mogę odczytać nazwy pseudoterminala: ") + std::strerror(errno);
    return false;
  }
  name = buf;
  slave = open(buf, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) {
    error = "Nie mogę otworzyć " + name + ": " + std::strerror(errno);
    return false;
  }
  termios tio{};
  if (tcgetattr(slave, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
  }
  int flags = fcntl(master, F_GETFL);
  fcntl(master, F_SETFL, flags | O_NONBLOCK);
  return true;
}

// A TCP listening socket on HOST:PORT (HOST may be a name, an address, or [IPv6]).
int OpenLineListener(const std::string& hostPort, std::string& error) {
  const std::size_t colon = hostPort.rfind(':');
  std::string host = hostPort.substr(0, colon);
  const std::string port = hostPort.substr(colon + 1);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(host.empty() ? nullptr : host.c_str(), port.c_str(), &hints, &found);
  if (rc != 0) {
    error = "Nie mogę nasłuchiwać na " + hostPort + ": " + gai_strerror(rc);
    return -1;
  }
  int fd = -1;
  for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
    fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) continue;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, 4) != 0) {
      error = "Nie mogę nasłuchiwać na " + hostPort + ": " + std::strerror(errno);
      close(fd);
      fd = -1;
    }
  }
  freeaddrinfo(found);
  return fd;
}

// How long poll may sleep: until the emulator's next due byte or event, to the microsecond
// (a whole-millisecond timeout would hold every record's last bytes back by up to 1 ms).
// Null means no bound.
const timespec* PollTimeout(const Emulator& emu, SteadyClock::time_point now, bool quietMaster,
                            SteadyClock::time_point quietUntil, timespec& storage) {
  std::optional<SteadyClock::time_point> next = emu.NextWakeup();
  if (quietMaster && (!next || quietUntil < *next)) next = quietUntil;
  if (!next) return nullptr;
  const auto ns =
      *next <= now ? 0 : std::chrono::duration_cast<std::chrono::nanoseconds>(*next - now).count();
  storage.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
  storage.tv_nsec = static_cast<long>(ns % 1'000'000'000);
  return &storage;
}

void PrintReplayNotes(Emulator& emu) {
  for (const std::string& note : emu.TakeReplayNotes())
    std::fprintf(stderr, "ulvo-sim: %s\n", note.c_str());
}

void SendLine(int fd, const std::string& answer) {
  std::string line = answer + "\n";
  std::size_t done = 0;
  while (done < line.size()) {
    ssize_t n = send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd, POLLOUT, 0};
      if (poll(&p, 1, 1000) > 0) continue;
    }
    return;  // the client is gone or stuck; it gets nothing more
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "--version")) {
    std::fputs(args[0] == "--help" ? ulvo::SimHelp().c_str() : "ulvo-sim " ULVO_VERSION "\n",
               stdout);
    return 0;
  }
  std::string error;
  std::optional<ulvo::SimOptions> options = ulvo::ParseSimOptions(args, &error);
  if (!options) {
    std::fprintf(stderr, "ulvo-sim: %s\n%s", error.c_str(), ulvo::SimUsage().c_str());
    return 2;
  }

  signal(SIGPIPE, SIG_IGN);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
  int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);

  TrafficLog log(options->logPath);
  if (log.Failed(options->logPath)) {
    std::fprintf(stderr, "ulvo-sim: Nie mogę otworzyć pliku dziennika %s\n",
                 options->logPath.c_str());
    return 1;
  }
  int master = -1, slave = -1;
  std::string ptyName;
  if (!OpenPty(master, slave, ptyName, error)) {
    std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
    return 1;
  }
  int listenFd = -1;
  if (!options->controlPath.empty()) {
    listenFd = OpenControlSocket(options->controlPath, error);
    if (listenFd < 0) {
      std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
      return 1;
    }
  }

  // The line over TCP: one client at a time; while one is connected it is the line (the
  // printer answers there), and a new connection replaces an old one.
  int lineListenFd = -1;
  int lineClient = -1;
  if (!options->listen.empty()) {
    lineListenFd = OpenLineListener(options->listen, error);
    if (lineListenFd < 0) {
      std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
      return 1;
    }
  }

  Emulator emu(*options);
  if (!options->replayPath.empty()) {
#ifdef ULVO_WITH_PCAP
    ulvo::CaptureReading capture = ulvo::ReadCaptureFile(options->replayPath);
    if (capture.Failed()) {
      std::fprintf(stderr, "ulvo-sim: %s\n", capture.error.c_str());
      return 1;
    }
    if (capture.packets.empty()) {
      std::fprintf(stderr, "ulvo-sim: Przechwycenie %s nie zawiera żadnego pakietu.\n",
                   options->replayPath.c_str());
      return 1;
    }
    std::vector<ulvo::ReplayPacket> packets;
    packets.reserve(capture.packets.size());
    for (ulvo::CapturedPacket& p : capture.packets)
      packets.push_back({p.direction, std::move(p.bytes)});
    emu.StartReplay(std::move(packets));
    PrintReplayNotes(emu);
#else
    std::fprintf(stderr, "ulvo-sim: ten emulator zbudowano bez libpcap: --replay niedostępne.\n");
    return 1;
#endif
  }
  std::printf("%s ULVO_COM1=%s\n", ptyName.c_str(), ptyName.c_str());
  std::fflush(stdout);

  std::vector<ControlClient> clients;
  std::string outPending;  // paced bytes the pty did not take yet
  bool quietMaster = false;
  SteadyClock::time_point quietUntil{};
  bool running = true;
  while (running) {
    SteadyClock::time_point now = SteadyClock::now();
    std::vector<pollfd> fds;
    fds.push_back({signalFd, POLLIN, 0});
    short masterEvents = 0;
    if (!emu.ReadingStopped() && !(quietMaster && now < quietUntil)) masterEvents |= POLLIN;
    if (!outPending.empty()) masterEvents |= POLLOUT;
    fds.push_back({masterEvents ? master : -1, masterEvents, 0});
    fds.push_back({listenFd, POLLIN, 0});
    fds.push_back({lineListenFd, POLLIN, 0});
    short clientEvents = emu.ReadingStopped() ? 0 : POLLIN;
    if (!outPending.empty()) clientEvents |= POLLOUT;
    fds.push_back({lineClient, clientEvents, 0});
    for (const ControlClient& c : clients) fds.push_back({c.fd, POLLIN, 0});

    // While the pty takes nothing more, paced bytes cannot leave either: wait for POLLOUT
    // instead of waking at every byte time.
    timespec storage{1, 0};
    const timespec* timeout =
        outPending.empty() ? PollTimeout(emu, now, quietMaster, quietUntil, storage) : &storage;
    int ready = ppoll(fds.data(), fds.size(), timeout, nullptr);
    if (ready < 0 && errno != EINTR) {
      std::fprintf(stderr, "ulvo-sim: poll: %s\n", std::strerror(errno));
      break;
    }
    now = SteadyClock::now();
    if (quietMaster && now >= quietUntil) quietMaster = false;

    if (ready > 0 && (fds[0].revents & POLLIN)) break;  // SIGTERM or SIGINT

    if (ready > 0 && fds[1].fd >= 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
      char buf[4096];
      ssize_t n = read(master, buf, sizeof buf);
      if (n > 0) {
        std::string_view bytes(buf, static_cast<std::size_t>(n));
        emu.OnInput(bytes, now);
        log.In(bytes, emu.GetPrinter().TakeFrameNotes());
        PrintReplayNotes(emu);
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        // Nobody on the other side: look again a little later instead of spinning.
        quietMaster = true;
        quietUntil = now + std::chrono::milliseconds(50);
      }
    }

    if (ready > 0 && listenFd >= 0 && (fds[2].revents & POLLIN)) {
      int fd = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) clients.push_back({fd, {}});
    }

    if (ready > 0 && lineListenFd >= 0 && (fds[3].revents & POLLIN)) {
      int fd = accept4(lineListenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) {
        if (lineClient >= 0) close(lineClient);
        lineClient = fd;
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        fds[4].fd = -1;  // the old client's events, if any, are stale
      }
    }
    if (ready > 0 && fds[4].fd >= 0 && fds[4].fd == lineClient &&
        (fds[4].revents & (POLLIN | POLLHUP | POLLERR))) {
      char buf[4096];
      ssize_t n = read(lineClient, buf, sizeof buf);
      if (n > 0) {
        std::string_view bytes(buf, static_cast<std::size_t>(n));
        emu.OnInput(bytes, now);
        log.In(bytes, emu.GetPrinter().TakeFrameNotes());
        PrintReplayNotes(emu);
      } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        close(lineClient);  // back to the pty
        lineClient = -1;
      }
    }

    // Control lines, in the order the clients sent them.
    for (std::size_t i = 0; ready > 0 && i < clients.size() && 5 + i < fds.size(); ++i) {
      if (!(fds[5 + i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ControlClient& c = clients[i];
      char buf[1024];
      ssize_t n = read(c.fd, buf, sizeof buf);
      if (n <= 0) {
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        close(c.fd);
        c.fd = -1;
        continue;
      }
      c.input.append(buf, static_cast<std::size_t>(n));
      std::size_t eol;
      while ((eol = c.input.find('\n')) != std::string::npos) {
        std::string line = c.input.substr(0, eol);
        c.input.erase(0, eol + 1);
        std::string answer = emu.Control(line, SteadyClock::now());
        log.Control(line + " -> " + answer);
        SendLine(c.fd, answer);
        if (emu.DisconnectRequested()) running = false;
      }
      if (c.input.size() > kMaxControlLine) {
        SendLine(c.fd, "error line too long");
        close(c.fd);
        c.fd = -1;
      }
    }
    std::erase_if(clients, [](const ControlClient& c) { return c.fd < 0; });
    if (!running) break;

    // Nothing more is taken while the pty holds back what was written: the emulator's own
    // bounds then apply (its answers wait, its input buffer fills and overflows).
    if (outPending.empty()) outPending = emu.TakeOutput(SteadyClock::now());
    if (!outPending.empty()) {
      ssize_t n = lineClient >= 0
                      ? send(lineClient, outPending.data(), outPending.size(), MSG_NOSIGNAL)
                      : write(master, outPending.data(), outPending.size());
      if (n < 0 && lineClient >= 0 && errno != EAGAIN && errno != EINTR) {
        close(lineClient);
        lineClient = -1;
      }
      if (n > 0) {
        log.Out(std::string_view(outPending).substr(0, static_cast<std::size_t>(n)));
        outPending.erase(0, static_cast<std::size_t>(n));
      }
    }
  }

  // Closing the master is the vanished port the program sees after `disconnect`.
  close(master);
  close(slave);
  if (lineClient >= 0) close(lineClient);
  if (lineListenFd >= 0) close(lineListenFd);
  for (ControlClient& c : clients) close(c.fd);
  if (listenFd >= 0) {
    close(listenFd);
    unlink(options->controlPath.c_str());
  }
  return 0;
}
