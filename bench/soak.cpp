// Soak run of the link against ulvo-sim over a real pty: command + status round trips and
// cash information reads while line faults switch at random every few seconds (no answer,
// junk before answers, a spoiled check, the line held by XOFF, the emulator gone and started
// again on a fresh pty behind the same port name). Prints how every operation ended, the
// longest one, the memory of this program (resident set) at the start and the end, and
// every operation that reported success although the printer did not carry it out (read from
// the emulator's counters after the fault switch, which may have started it afresh).
//   soak [--rounds N] [--cash N] [--flip-ms MS] [--baud B] [--seed S] [--wait-ms MS]

#include <unistd.h>
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/link.h"
#include "link/qt_serial_port.h"
#include "sim/sim_process.h"

namespace {

using namespace ulvo;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

long ResidentKb(int pid) {
  std::ifstream in("/proc/" + (pid > 0 ? std::to_string(pid) : std::string("self")) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

// A person who waits `waitMs` for an answer and then presses "Przerwij".
class SoakUi : public LinkUi {
 public:
  explicit SoakUi(milliseconds wait) : wait_(wait) {}
  std::map<std::string, int> messages;
  void ShowMessage(std::string_view text) override { ++messages[std::string(text)]; }
  bool AskYesNo(std::string_view) override { return false; }
  bool RunReplyWait(ReplyWaitTask& task) override {
    const auto deadline = Clock::now() + wait_;
    while (Clock::now() < deadline) {
      QCoreApplication::processEvents();
      if (task.Poll(milliseconds(50))) return true;
    }
    return false;
  }
  bool RunReadyWait(ReadyWaitTask& task) override {
    const auto deadline = Clock::now() + wait_;
    while (Clock::now() < deadline) {
      QCoreApplication::processEvents();
      if (task.CheckLineErrors() == 0) return true;
      usleep(20000);
    }
    return false;
  }

 private:
  milliseconds wait_;
};

enum class Fault { kNone, kNoAnswer, kGarbage, kBadCheck, kXoff, kDisconnect, kRefuse, kCount };
const char* FaultName(Fault f) {
  static const char* names[] = {"brak", "noanswer",   "garbage", "badcheck",
                                "xoff", "disconnect", "refuse"};
  return names[static_cast<int>(f)];
}

// falseOk: the program said "done" and the printer did not do it. unclear: said "done", but
// the emulator's counter could not be read or moved by more than the one command.
struct Tally {
  int ok = 0, failed = 0, falseOk = 0, unclear = 0;
};

struct Args {
  int rounds = 10000, cash = 500, flipMs = 3000, waitMs = 2000;
  std::uint32_t baud = 115200;
  unsigned seed = 0;
};

class Soak {
 public:
  explicit Soak(const Args& args) : args_(args), ui_(milliseconds(args.waitMs)), rng_(args.seed) {
    dir_ = std::filesystem::temp_directory_path() / ("ulvo-soak-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    portLink_ = dir_ / "com1";
    ::setenv("ULVO_COM1", portLink_.c_str(), 1);
    settings_.PortNumber = 1;
    settings_.PortSettings.BaudRate = args.baud;
    settings_.PortSettings.XonXoff = 1;  // so that XOFF holds the line instead of being data
  }
  ~Soak() {
    sim_.reset();
    std::filesystem::remove_all(dir_);
  }

  bool StartSim() {
    std::string error;
    sim_ = SimProcess::Start(ULVO_SIM_PATH, {"--baud", std::to_string(args_.baud)}, &error);
    if (!sim_) {
      std::fprintf(stderr, "ulvo-sim: %s\n", error.c_str());
      return false;
    }
    std::filesystem::remove(portLink_);
    std::filesystem::create_symlink(sim_->PtyPath(), portLink_);
    ++simStarts_;
    return true;
  }

  long SimCounter(const char* item) {
    const std::string answer = sim_->Control(std::string("get ") + item);
    return answer.rfind("ok ", 0) == 0 ? std::atol(answer.c_str() + 3) : -1;
  }

  void Flip() {
    // Undo the switch that held the line or the answers.
    if (fault_ == Fault::kNoAnswer) sim_->Control("noanswer off");
    if (fault_ == Fault::kXoff) sim_->Control("xon");
    const int pick = std::uniform_int_distribution<int>(0, 8)(rng_);
    fault_ = pick < static_cast<int>(Fault::kCount) ? static_cast<Fault>(pick) : Fault::kNone;
    ++faultCount_[fault_];
    if (fault_ == Fault::kNoAnswer) sim_->Control("noanswer on");
    if (fault_ == Fault::kXoff) sim_->Control("xoff");
    if (fault_ == Fault::kDisconnect) {
      sim_->Control("disconnect");
      sim_.reset();
      StartSim();  // the adapter comes back, on a new pty behind the same name
    }
    nextFlip_ = Clock::now() + milliseconds(args_.flipMs);
  }

  // Faults that last for one answer are armed again before every operation.
  void ArmOneShot() {
    if (fault_ == Fault::kGarbage)
      sim_->Control("garbage " + std::to_string(std::uniform_int_distribution<int>(1, 40)(rng_)));
    if (fault_ == Fault::kBadCheck) sim_->Control("badcheck");
    if (fault_ == Fault::kRefuse) sim_->Control("refuse 27");
  }

  // The fault switch and the one-shot faults; the emulator may have been started again here,
  // so its counters are read only after this.
  void Before() {
    if (Clock::now() >= nextFlip_) Flip();
    // The port the link gave up after a lost line is chosen again, as a person would.
    if (settings_.PortNumber == kNoPort) settings_.PortNumber = 1;
    ArmOneShot();
  }
  void After() {
    const auto took = Clock::now() - opStart_;
    longest_ = std::max(longest_, took);
    if (took > milliseconds(4 * args_.waitMs + 2000)) ++hangs_;
  }

  void CommandRound() {
    Before();
    const long before = SimCounter("linesfed");
    opStart_ = Clock::now();
    FormatFrame(link_->TxBuf, kTxBufSize, "%cP1#lxx%c%c", kEsc, kEsc, kBackslash);
    AddChecksum(link_->TxBuf);
    const bool failed = link_->SendFrame(link_->TxBuf) || link_->CheckCommandResult();
    After();
    const long after = SimCounter("linesfed");
    Tally& t = commands_[fault_];
    if (failed) {
      ++t.failed;
    } else if (before < 0 || after < 0 || after > before + 1) {
      ++t.unclear;
    } else if (after == before + 1) {
      ++t.ok;
    } else {
      ++t.falseOk;
    }
  }

  void CashRound() {
    Before();
    opStart_ = Clock::now();
    link_->ReadCashInfo();
    After();
    const std::string cash = sim_->Control("get cash");
    Tally& t = cashReads_[fault_];
    if (link_->CashDataState != 1) {
      ++t.failed;
    } else if (cash.rfind("ok ", 0) == 0 &&
               std::fabs(std::atof(cash.c_str() + 3) - link_->CashInfo.Cash) < 0.005 &&
               link_->CashInfo.UniqueNumber == sim_->Control("get unique").substr(3)) {
      ++t.ok;
    } else {
      ++t.falseOk;
    }
  }

  int Run() {
    if (!StartSim()) return 2;
    link_ = std::make_unique<Link>(settings_, ui_, QtPortOpener());
    if (link_->OpenPort(true)) return 2;
    // Some cash in the drawer, so that a cash reading has something to compare.
    sim_->Control("reset");
    nextFlip_ = Clock::now() + milliseconds(args_.flipMs);
    for (int i = 0; i < 50; ++i) CommandRound();
    const long rssStart = ResidentKb(0);
    const auto start = Clock::now();
    const int cashEvery = args_.cash > 0 ? std::max(1, args_.rounds / args_.cash) : 0;
    int cashDone = 0;
    for (int i = 0; i < args_.rounds; ++i) {
      CommandRound();
      if (cashEvery && i % cashEvery == 0 && cashDone < args_.cash) {
        CashRound();
        ++cashDone;
      }
      if ((i + 1) % 1000 == 0)
        std::printf("... %d rund, RSS %ld kB\n", i + 1, ResidentKb(0)), std::fflush(stdout);
    }
    while (cashDone < args_.cash) CashRound(), ++cashDone;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long rssEnd = ResidentKb(0);

    std::printf("soak seed=%u baud=%u rounds=%d cash=%d seconds=%.0f sim_starts=%d\n", args_.seed,
                args_.baud, args_.rounds, args_.cash, seconds, simStarts_);
    std::printf("rss_kb start=%ld end=%ld sim_end=%ld\n", rssStart, rssEnd,
                ResidentKb(sim_ ? sim_->Pid() : -1));
    std::printf("longest_op_ms=%.0f hangs=%d\n",
                std::chrono::duration<double, std::milli>(longest_).count(), hangs_);
    int falseOk = 0;
    for (int f = 0; f < static_cast<int>(Fault::kCount); ++f) {
      const Fault fault = static_cast<Fault>(f);
      const Tally& c = commands_[fault];
      const Tally& r = cashReads_[fault];
      std::printf(
          "fault=%-10s flips=%3d  rozkazy ok=%5d failed=%5d false_ok=%d unclear=%d  "
          "kasa ok=%4d failed=%4d false_ok=%d\n",
          FaultName(fault), faultCount_[fault], c.ok, c.failed, c.falseOk, c.unclear, r.ok,
          r.failed, r.falseOk);
      falseOk += c.falseOk + r.falseOk;
    }
    for (const auto& [text, count] : ui_.messages)
      std::printf("message %5d x %s\n", count, text.c_str());
    return (falseOk == 0 && hangs_ == 0) ? 0 : 1;
  }

 private:
  Args args_;
  SoakUi ui_;
  std::mt19937 rng_;
  Settings settings_;
  std::unique_ptr<Link> link_;
  std::unique_ptr<SimProcess> sim_;
  std::filesystem::path dir_, portLink_;
  Fault fault_ = Fault::kNone;
  Clock::time_point nextFlip_, opStart_;
  Clock::duration longest_{};
  int hangs_ = 0, simStarts_ = 0;
  std::map<Fault, int> faultCount_;
  std::map<Fault, Tally> commands_, cashReads_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  Args args;
  args.seed = static_cast<unsigned>(std::random_device{}());
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const long value = std::atol(argv[i + 1]);
    if (name == "--rounds")
      args.rounds = static_cast<int>(value);
    else if (name == "--cash")
      args.cash = static_cast<int>(value);
    else if (name == "--flip-ms")
      args.flipMs = static_cast<int>(value);
    else if (name == "--wait-ms")
      args.waitMs = static_cast<int>(value);
    else if (name == "--baud")
      args.baud = static_cast<std::uint32_t>(value);
    else if (name == "--seed")
      args.seed = static_cast<unsigned>(value);
    else {
      std::fprintf(stderr, "soak: nieznany argument %s\n", argv[i]);
      return 2;
    }
  }
  Soak soak(args);
  return soak.Run();
}
