// A capture stops by itself at its size bound, says so once, and leaves a whole file.
#ifdef ULVO_WITH_PCAP

#include "link/pcap_capture.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace ulvo {
namespace {

namespace fs = std::filesystem;

TEST(PcapCapture, StopsAtItsBoundWithOneMessageAndAWholeFile) {
  const fs::path file =
      fs::temp_directory_path() / ("ulvo-bound-" + std::to_string(getpid()) + ".pcap");
  std::vector<std::string> messages;
  std::string error;
  auto capture = PcapCapture::Start(
      file, [&](const std::string& m) { messages.push_back(m); }, &error, 200);
  ASSERT_TRUE(capture) << error;
  const std::string frame = "\x1bP0#s\x1b\\", enq = "\x05";
  for (int i = 0; i < 20; ++i) {
    capture->Written(frame.data(), frame.size());
    capture->Written(enq.data(), enq.size());
  }
  EXPECT_TRUE(capture->Stopped());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("zatrzymane"), std::string::npos) << messages[0];
  EXPECT_LE(fs::file_size(file), 200u);
  const CaptureReading reading = ReadCaptureFile(file);
  EXPECT_FALSE(reading.Failed()) << reading.error;
  EXPECT_EQ(reading.packets.size(), capture->Packets());
  EXPECT_EQ(reading.packets.front().bytes, frame);
  EXPECT_EQ(reading.packets.front().direction, TrafficDirection::Out);
  capture.reset();
  fs::remove(file);
  // Where the file cannot be made: a reason, no capture.
  EXPECT_FALSE(PcapCapture::Start("/nonexistent/x.pcap", nullptr, &error));
  EXPECT_NE(error.find("Nie mogę utworzyć pliku przechwycenia"), std::string::npos);
}

}  // namespace
}  // namespace ulvo

#endif
