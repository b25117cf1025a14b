// SimProcess for the Windows tests under wine: the emulator is a Linux process that
// scripts/wine-sim-bridge starts on request. One TCP connection per emulator carries
//   start\t<arg>\t<arg>...   ->  ok <COM port device>  |  error <why>
//   <control line>           ->  the emulator's answer line
//   !kill                    ->  ok (SIGKILL: the pty vanishes)
// and closing it stops the emulator.
#ifdef _WIN32

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <cstdlib>

#include "sim/sim_process.h"

namespace ulvo {

namespace {

constexpr int kAnswerBoundMs = 15000;

bool SendAll(SOCKET s, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const int n = send(s, text.data() + done, static_cast<int>(text.size() - done), 0);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadLine(SOCKET s, std::string& line) {
  line.clear();
  for (;;) {
    WSAPOLLFD p{};
    p.fd = s;
    p.events = POLLRDNORM;
    if (WSAPoll(&p, 1, kAnswerBoundMs) <= 0) return false;
    char c = 0;
    if (recv(s, &c, 1, 0) != 1) return false;
    if (c == '\n') return true;
    if (line.size() > 200000) return false;
    line.push_back(c);
  }
}

}  // namespace

std::unique_ptr<SimProcess> SimProcess::Start(const std::string&,
                                              const std::vector<std::string>& args,
                                              std::string* error) {
  auto fail = [&](const std::string& text) -> std::unique_ptr<SimProcess> {
    if (error) *error = text;
    return nullptr;
  };
  const char* port = std::getenv("ULVO_SIM_BRIDGE");
  if (port == nullptr || *port == '\0')
    return fail("ULVO_SIM_BRIDGE is not set (scripts/windows-check starts the bridge)");
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return fail("WSAStartup failed");
  std::unique_ptr<SimProcess> sim(new SimProcess());
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return fail("socket failed");
  sim->bridge_ = static_cast<std::uintptr_t>(s);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
    return fail(std::string("no emulator bridge on port ") + port);
  std::string request = "start";
  for (const std::string& a : args) request += "\t" + a;
  std::string answer;
  if (!SendAll(s, request + "\n") || !ReadLine(s, answer))
    return fail("the emulator bridge did not answer");
  if (answer.rfind("ok ", 0) != 0) return fail("ulvo-sim did not start: " + answer);
  sim->ptyPath_ = answer.substr(3);
  sim->pid_ = 1;
  return sim;
}

SimProcess::~SimProcess() {
  if (bridge_ != 0) closesocket(static_cast<SOCKET>(bridge_));
}

void SimProcess::Reap(bool) {}

void SimProcess::Kill() {
  if (reaped_ || bridge_ == 0) return;
  const SOCKET s = static_cast<SOCKET>(bridge_);
  std::string answer;
  if (SendAll(s, "!kill\n")) ReadLine(s, answer);
  reaped_ = true;
}

std::string SimProcess::Control(const std::string& command) {
  if (reaped_ || bridge_ == 0) return "error ulvo-sim is not running";
  const SOCKET s = static_cast<SOCKET>(bridge_);
  std::string answer;
  if (!SendAll(s, command + "\n")) return "error ulvo-sim is gone";
  if (!ReadLine(s, answer)) return "error ulvo-sim gave no answer";
  return answer;
}

}  // namespace ulvo

#endif
