#pragma once
// Starts build/ulvo-sim as a child process for tests and benchmarks, and talks to its control
// socket. Qt-free. On Windows (the tests under wine) the emulator runs on the Linux side:
// scripts/wine-sim-bridge starts it, points a COM port at its pty and carries the control
// lines; the test finds the bridge through ULVO_SIM_BRIDGE (a TCP port on 127.0.0.1).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ulvo {

class SimProcess {
 public:
  // Starts `binary` (default ULVO_SIM_PATH given by the caller) with args plus its own
  // --control socket in a temp dir; waits (bounded, 10 s) for the first line. Null + error text on
  // failure. The emulator also ends when the thread that started it ends (so a crashed test
  // leaves none behind): start it from a thread that outlives this object.
  static std::unique_ptr<SimProcess> Start(const std::string& binary,
                                           const std::vector<std::string>& args,
                                           std::string* error = nullptr);
  ~SimProcess();  // SIGTERM, waits, removes the socket
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  const std::string& PtyPath() const { return ptyPath_; }
  // The answer line without "\n"; "error ..." when the sim is gone.
  std::string Control(const std::string& command);
  void Kill();  // SIGKILL now (the pty vanishes)
  int Pid() const { return pid_; }

 private:
  SimProcess() = default;
  void Reap(bool force);

  int pid_ = -1;
  bool reaped_ = false;
  std::string ptyPath_;
  std::string dir_;
  std::string socketPath_;
  std::uintptr_t bridge_ = 0;  // Windows: the connection to the bridge (a SOCKET), 0 if none
};

}  // namespace ulvo
