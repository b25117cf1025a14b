// A whole readout pass written to the report file, compared with its golden file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "readout/core/fiscal_readout.h"
#include "readout/core/report_file.h"
#include "tests/readout/readout_test_util.h"

namespace ulvo {
namespace {

using testing::Daily;

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ReportGolden, TwoReportsWithARateChangeAndACancelledReceipt) {
  Daily first;
  first.number = 41;
  first.net[0] = 1234567;
  first.ptu[0] = 283950;
  first.net[1] = 10000;
  first.ptu[1] = 800;
  first.net[4] = 2500;
  first.receipts = 57;
  first.ramResetKind = 170;
  Daily second;
  second.number = 42;
  second.day = 6;
  second.net[0] = 99;
  second.ptu[0] = 23;
  second.receipts = 1;
  second.cancelled = 3;
  second.cancelledAmount = 4550;
  auto records = testing::Pass({first, second});
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ulvo_golden_test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path out = dir / kReportTempName;
  ReportFile file;
  ASSERT_FALSE(file.Create(out));
  ReadoutRequest request;
  request.fromYear = 10;
  request.fromMonth = 3;
  request.fromDay = 1;
  request.toYear = 10;
  request.toMonth = 3;
  request.toDay = 31;
  request.todayText = "08.12.2026";
  FiscalReadoutPass pass(request, file);
  for (const std::string& record : records) {
    std::string_view bytes = record;
    while (!bytes.empty() && !pass.Finished()) bytes.remove_prefix(pass.Feed(bytes).used);
  }
  ASSERT_TRUE(pass.Succeeded()) << static_cast<int>(pass.Code());
  file.EndLine();
  ASSERT_FALSE(file.Close());
  const std::filesystem::path golden =
      std::filesystem::path(ULVO_TEST_DATA_DIR) / "readout" / "two_reports.txt";
  if (std::getenv("ULVO_UPDATE_GOLDEN") != nullptr) {
    std::filesystem::create_directories(golden.parent_path());
    std::filesystem::copy_file(out, golden, std::filesystem::copy_options::overwrite_existing);
  }
  EXPECT_EQ(Slurp(out), Slurp(golden));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace ulvo
