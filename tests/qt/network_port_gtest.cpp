// The link over the network against independent servers on 127.0.0.1: Debian's ser2net with
// an RFC 2217 and a raw TCP accepter in front of ulvo-sim's pty, gensio's gensiot as an
// RFC 2217 accepter, and ulvo-sim's own --listen.

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include "link/link.h"
#include "link/qt_serial_port.h"
#include "readout/core/periodic_report_frames.h"
#include "readout/core/readout_run.h"
#include "sim/sim_process.h"
#include "tests/support/scripted_link_ui.h"

namespace ulvo {
namespace {

namespace fs = std::filesystem;

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "network_port_gtest";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QCoreApplication>(argc, argv);
  }
  void TearDown() override { app_.reset(); }

 private:
  std::unique_ptr<QCoreApplication> app_;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// A port on 127.0.0.1 that nobody listens on just now.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t size = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
  close(fd);
  return ntohs(a.sin_port);
}

// Something listens on 127.0.0.1:port (read from the kernel's table: a test connection
// would be the one client gensiot takes).
bool Listening(int port) {
  std::ifstream table("/proc/net/tcp");
  char local[16];
  std::snprintf(local, sizeof local, "0100007F:%04X", port);
  for (std::string line; std::getline(table, line);) {
    if (line.find(local) != std::string::npos && line.find(" 0A ") != std::string::npos)
      return true;
  }
  return false;
}

// A server process started by the test and stopped by its process id.
class Server {
 public:
  Server(std::vector<std::string> argv, int port) : argv_(std::move(argv)), port_(port) {}
  ~Server() { Stop(SIGTERM); }
  bool Start() {
    pid_ = fork();
    if (pid_ == 0) {
      std::vector<char*> args;
      for (std::string& a : argv_) args.push_back(a.data());
      args.push_back(nullptr);
      freopen("/dev/null", "r", stdin);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execvp(args[0], args.data());
      _exit(127);
    }
    for (int i = 0; i < 100; ++i) {
      if (Listening(port_)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  void Stop(int signal) {
    if (pid_ <= 0) return;
    kill(pid_, signal);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  std::vector<std::string> argv_;
  int port_;
  pid_t pid_ = -1;
};

// The report without the printer's clock on its closing line: two readouts a minute apart
// differ there and nowhere else.
std::string WithoutClosingTime(std::string report) {
  const std::size_t end = report.rfind("\r\n\t\t\t");
  if (end != std::string::npos && end >= 5) report.erase(end - 5, 5);
  return report;
}

class NetworkPorts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (system("command -v ser2net >/dev/null && command -v gensiot >/dev/null") != 0) {
      GTEST_SKIP() << "ser2net or gensiot is not installed (scripts/ensure-deps)";
    }
    dir_ = fs::temp_directory_path() / ("ulvo_net_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ser2net_.reset();
    sim_.reset();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  void StartSim(const std::vector<std::string>& args) {
    std::string error;
    sim_ = SimProcess::Start(ULVO_SIM_PATH, args, &error);
    ASSERT_TRUE(sim_) << error;
  }

  // ser2net in front of the emulator's pty: RFC 2217 on one port, raw TCP on the other.
  void StartSer2net() {
    if (rfcPort_ == 0) {
      rfcPort_ = FreePort();
      rawPort_ = FreePort();
    }
    const fs::path config = dir_ / "ser2net.yaml";
    std::ofstream(config) << "connection: &rfc\n"
                          << "  accepter: telnet(rfc2217),tcp,127.0.0.1," << rfcPort_ << "\n"
                          << "  connector: serialdev," << sim_->PtyPath() << ",9600n81,local\n"
                          << "  options:\n    kickolduser: true\n"
                          << "connection: &raw\n"
                          << "  accepter: tcp,127.0.0.1," << rawPort_ << "\n"
                          << "  connector: serialdev," << sim_->PtyPath() << ",9600n81,local\n"
                          << "  options:\n    kickolduser: true\n";
    ser2net_ =
        std::make_unique<Server>(std::vector<std::string>{"ser2net", "-n", "-c", config.string(),
                                                          "-P", (dir_ / "ser2net.pid").string()},
                                 rfcPort_);
    ASSERT_TRUE(ser2net_->Start());
  }

  std::unique_ptr<Link> LinkTo(const std::string& address, std::uint32_t baud = 9600) {
    settings_ = Settings{};
    settings_.PortNumber = 5;
    settings_.PortSettings.BaudRate = baud;
    settings_.PortAddresses[5] = address;
    auto link = std::make_unique<Link>(settings_, ui_, QtPortOpener());
    EXPECT_FALSE(link->OpenPort(true)) << (ui_.messages.empty() ? "" : ui_.messages.back());
    return link;
  }

  // The status byte comes back through `address`.
  void ExpectStatus(const std::string& address) {
    auto link = LinkTo(address);
    ASSERT_FALSE(link->QueryEnq());
    EXPECT_EQ(link->ReplyReceived, 1) << address;
    link->ReadTypeAndVersion();
    EXPECT_STREQ(link->TypeText, "Mavito") << address;
  }

  std::string Readout(const std::string& address, const std::string& name) {
    auto link = LinkTo(address);
    PeriodicReportFields fields;
    fields.range = PeriodicReportFields::Range::kNumbers;
    fields.fromNumber = "1";
    fields.toNumber = "150";
    ReadoutRequest request;
    const FrameList frames = BuildPeriodicReadout(fields, request);
    request.todayText = "09.12.2026";
    ReadoutRunOptions options;
    const fs::path file = dir_ / name;
    const ReadoutRunResult result =
        RunBlockingReadout(*link, frames.frames.front(), request, options, file);
    EXPECT_EQ(result.outcome, ReadoutOutcome::kDone) << address;
    EXPECT_EQ(link->PortSettings.BaudRate, 9600u);  // back at its own speed
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path dir_;
  std::unique_ptr<SimProcess> sim_;
  std::unique_ptr<Server> ser2net_;
  int rfcPort_ = 0, rawPort_ = 0;
  Settings settings_;
  ScriptedLinkUi ui_;
};

TEST_F(NetworkPorts, StatusRoundTripsThroughEveryServer) {
  const int listen = FreePort();
  StartSim({"--baud", "0", "--listen", "127.0.0.1:" + std::to_string(listen)});
  ExpectStatus("tcp://127.0.0.1:" + std::to_string(listen));
  StartSer2net();
  ExpectStatus("rfc2217://127.0.0.1:" + std::to_string(rfcPort_));
  // ser2net lets the device go a moment after the connection closed; until then its other
  // accepter answers "Port's device already in use".
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ExpectStatus("tcp://127.0.0.1:" + std::to_string(rawPort_));
  ser2net_.reset();
  const int gensio = FreePort();
  Server gensiot({"gensiot", "-i", "serialdev," + sim_->PtyPath() + ",9600n81,local", "-a",
                  "telnet(rfc2217),tcp,127.0.0.1," + std::to_string(gensio)},
                 gensio);
  ASSERT_TRUE(gensiot.Start());
  ExpectStatus("rfc2217://127.0.0.1:" + std::to_string(gensio));
  EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front();
}

TEST_F(NetworkPorts, ReadoutAt115200ThroughRfc2217EqualsTheOneOverThePty) {
  StartSim({"--baud", "115200", "--fiscal-reports", "150"});
  const std::string local = Readout(sim_->PtyPath(), "pty.txt");
  StartSer2net();
  const std::string remote = Readout("rfc2217://127.0.0.1:" + std::to_string(rfcPort_), "net.txt");
  ASSERT_GT(local.size(), 10000u);
  EXPECT_EQ(WithoutClosingTime(remote), WithoutClosingTime(local));
  EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front();
}

TEST_F(NetworkPorts, LostServerCostsOneMessageAndTheNextExchangeReconnects) {
  StartSim({"--baud", "0"});
  StartSer2net();
  auto link = LinkTo("rfc2217://127.0.0.1:" + std::to_string(rfcPort_));
  ASSERT_FALSE(link->QueryEnq());
  ser2net_->Stop(SIGKILL);
  link->QueryEnq();
  link->QueryEnq();
  ASSERT_GE(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages.front(), "Wystąpił błąd transmisji.");
  StartSer2net();
  ui_.messages.clear();
  ASSERT_FALSE(link->QueryEnq());
  EXPECT_EQ(link->ReplyReceived, 1);
  EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front();
}

TEST_F(NetworkPorts, AddressesThatDoNotAnswerAreGivenUpWithTheirName) {
  const std::string refused = "tcp://127.0.0.1:" + std::to_string(FreePort());
  for (const std::string& address : {refused, std::string("tcp://nie-ma-takiego-hosta.invalid:1"),
                                     std::string("rfc2217://bez-portu")}) {
    ui_.messages.clear();
    settings_ = Settings{};
    settings_.PortNumber = 5;
    settings_.PortAddresses[5] = address;
    Link link(settings_, ui_, QtPortOpener());
    EXPECT_TRUE(link.OpenPort(true));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_NE(ui_.messages[0].find("Nie mogę otworzyć portu COM5: "), std::string::npos);
    EXPECT_NE(ui_.messages[0].find(address.substr(0, 12)), std::string::npos) << ui_.messages[0];
  }
}

}  // namespace
}  // namespace ulvo
