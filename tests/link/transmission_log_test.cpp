#include "link/transmission_log.h"
#include "tests/support/process_id.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace ulvo {
namespace {

using namespace std::string_literals;

class TransmissionLogFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ulvo_log_" + std::to_string(TestProcessId()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Contents(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path dir_;
};

TEST_F(TransmissionLogFiles, RecordsEachDirectionRawInItsOwnFile) {
  auto log = TransmissionLog::Create(dir_);
  ASSERT_NE(log, nullptr);
  const std::string frame = "\x1bP0#c8F\x1b\\"s;
  const std::string reply = "\x1bP1#C\x00\xff\x1b\\"s;
  log->Written(frame.data(), frame.size());
  log->Read(reply.data(), 4);
  log->Read(reply.data() + 4, reply.size() - 4);
  // Visible while the log is still open.
  EXPECT_EQ(Contents("DaneWy.bin"), frame);
  EXPECT_EQ(Contents("DaneWe.bin"), reply);
  log.reset();
  EXPECT_EQ(Contents("DaneWy.bin"), frame);
}

TEST_F(TransmissionLogFiles, StartingALogEmptiesTheOldFiles) {
  std::ofstream(dir_ / "DaneWy.bin") << "old";
  std::ofstream(dir_ / "DaneWe.bin") << "old";
  auto log = TransmissionLog::Create(dir_);
  ASSERT_NE(log, nullptr);
  log->Written("\x05", 1);
  EXPECT_EQ(Contents("DaneWy.bin"), "\x05");
  EXPECT_EQ(Contents("DaneWe.bin"), "");
}

TEST_F(TransmissionLogFiles, MissingFolderGivesNoLog) {
  EXPECT_EQ(TransmissionLog::Create(dir_ / "missing"), nullptr);
}

}  // namespace
}  // namespace ulvo
