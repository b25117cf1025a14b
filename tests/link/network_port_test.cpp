// Network port names, the COM-to-address file, and the Telnet COM-PORT-OPTION client.

#include <gtest/gtest.h>

#include "link/network_port_name.h"
#include "link/rfc2217.h"
#include "link/serial_port.h"
#include "link/settings.h"

namespace ulvo {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

TEST(NetworkPortName, ParsesOrSaysWhatIsWrong) {
  struct Case {
    const char* text;
    bool ok;
    NetworkPortName::Kind kind;
    const char* host;
    int port;
  } cases[] = {
      {"tcp://127.0.0.1:4001", true, NetworkPortName::Kind::kTcp, "127.0.0.1", 4001},
      {"RFC2217://serwer-sklep.lan:2217/", true, NetworkPortName::Kind::kRfc2217,
       "serwer-sklep.lan", 2217},
      {"tcp://[::1]:9", true, NetworkPortName::Kind::kTcp, "::1", 9},
      {"tcp://host", false, {}, "", 0},
      {"tcp://:4001", false, {}, "", 0},
      {"tcp://host:0", false, {}, "", 0},
      {"tcp://host:65536", false, {}, "", 0},
      {"tcp://host:12a", false, {}, "", 0},
      {"tcp://ho st:1", false, {}, "", 0},
      {"tcp://[::1:1", false, {}, "", 0},
      {"udp://host:1", false, {}, "", 0},
  };
  for (const Case& k : cases) {
    std::string error;
    const auto name = ParseNetworkPortName(k.text, &error);
    ASSERT_EQ(name.has_value(), k.ok) << k.text;
    if (!k.ok) {
      EXPECT_FALSE(error.empty()) << k.text;
      continue;
    }
    EXPECT_EQ(name->kind, k.kind) << k.text;
    EXPECT_EQ(name->host, k.host) << k.text;
    EXPECT_EQ(name->port, k.port) << k.text;
  }
  EXPECT_TRUE(IsNetworkPortName("tcp://broken"));
  EXPECT_FALSE(IsNetworkPortName("/dev/ttyUSB0"));
}

TEST(PortAddresses, FileRoundTripSkipsWhatIsNotAMapping) {
  const auto map = ParsePortAddresses(
      "COM3=tcp://10.0.0.5:4001\r\nCOM64=/dev/serial/by-id/usb-x\r\nCOM65=tcp://a:1\r\n"
      "COM0=x\r\nśmieci\r\nCOMx=y\r\nCOM7=\r\n");
  const std::map<int, std::string> want = {{3, "tcp://10.0.0.5:4001"},
                                           {64, "/dev/serial/by-id/usb-x"}};
  EXPECT_EQ(map, want);
  EXPECT_EQ(ParsePortAddresses(FormatPortAddresses(want)), want);
  // The address given comes before the platform's own name.
  EXPECT_EQ(PortDeviceName(3, want), "tcp://10.0.0.5:4001");
}

TEST(Rfc2217Client, SetsTheRemoteLineAndEscapesIac) {
  Rfc2217Client client;
  const std::string start = client.Start();
  EXPECT_NE(start.find(Bytes({255, 251, 44})), std::string::npos);  // WILL COM-PORT-OPTION
  LineSettings s;
  s.BaudRate = 115200;
  s.Parity = 2;
  s.StopBits = 2;
  s.XonXoff = 1;
  const std::string set = client.Configure(s);
  EXPECT_NE(set.find(Bytes({255, 250, 44, 1, 0, 1, 0xC2, 0, 255, 240})), std::string::npos);
  EXPECT_NE(set.find(Bytes({255, 250, 44, 2, 8, 255, 240})), std::string::npos);
  EXPECT_NE(set.find(Bytes({255, 250, 44, 3, 3, 255, 240})), std::string::npos);  // even
  EXPECT_NE(set.find(Bytes({255, 250, 44, 4, 2, 255, 240})), std::string::npos);  // two stops
  EXPECT_NE(set.find(Bytes({255, 250, 44, 5, 2, 255, 240})), std::string::npos);  // XON/XOFF
  EXPECT_EQ(client.PurgeInput(), Bytes({255, 250, 44, 12, 1, 255, 240}));
  EXPECT_EQ(Rfc2217Client::Escape(Bytes({1, 255, 2})), Bytes({1, 255, 255, 2}));
}

TEST(Rfc2217Client, ReceivesDataAndAnswersNegotiationOnce) {
  struct Case {
    const char* what;
    std::string in;
    std::string data;
    std::string replies;
  } cases[] = {
      {"doubled IAC is one data byte", Bytes({'a', 255, 255, 'b'}), Bytes({'a', 255, 'b'}), ""},
      {"agreement to what we asked needs no answer", Bytes({255, 253, 44, 255, 251, 0}), "", ""},
      {"an option we do not offer is refused once",
       Bytes({255, 253, 24, 255, 253, 24, 255, 251, 1, 255, 251, 1}), "",
       Bytes({255, 252, 24, 255, 254, 1})},
      {"commands without meaning on a line are skipped", Bytes({'x', 255, 241, 'y'}), "xy", ""},
      {"a subnegotiation carries no data", Bytes({255, 250, 44, 101, 0, 1, 194, 0, 255, 240, 'z'}),
       "z", ""},
      {"an endless subnegotiation is dropped, not kept",
       Bytes({255, 250, 44}) + std::string(10000, 'q') + Bytes({255, 240, 'k'}), "k", ""},
  };
  for (const Case& k : cases) {
    Rfc2217Client client;
    client.Start();
    std::string data;
    // Byte by byte too: a server's bytes may come in any pieces.
    for (char ch : k.in) client.Receive(std::string_view(&ch, 1), data);
    EXPECT_EQ(data, k.data) << k.what;
    EXPECT_EQ(client.TakeReplies(), k.replies) << k.what;
  }
  Rfc2217Client client;
  client.Start();
  std::string data;
  client.Receive(
      Bytes({255, 253, 44, 255, 250, 44, 101, 0, 1, 194, 0, 255, 240, 255, 250, 44, 108, 255, 240}),
      data);
  EXPECT_TRUE(client.ComPortAccepted());
  EXPECT_EQ(client.ConfirmedBaudRate(), 115200u);
  EXPECT_TRUE(client.OutputSuspended());
  client.Receive(Bytes({255, 254, 44}), data);
  EXPECT_TRUE(client.ComPortRefused());
}

}  // namespace
}  // namespace ulvo
