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

struct GoldenCase {
  const char* golden;  // file in tests/data/readout
  std::vector<Daily> reports;
  bool fullReport = true;
  bool ecopy = false;
  std::string currency = "PLN";
};

Daily Sold(unsigned number, int day, std::uint32_t netA, std::uint32_t ptuA) {
  Daily d;
  d.number = number;
  d.day = day;
  d.net[0] = netA;
  d.ptu[0] = ptuA;
  d.receipts = 3;
  return d;
}

std::vector<GoldenCase> Cases() {
  std::vector<GoldenCase> cases;
  {
    Daily first = Sold(41, 5, 1234567, 283950);
    first.net[1] = 10000;
    first.ptu[1] = 800;
    first.net[4] = 2500;
    first.receipts = 57;
    first.ramResetKind = 170;
    Daily second = Sold(42, 6, 99, 23);
    second.receipts = 1;
    second.cancelled = 3;
    second.cancelledAmount = 4550;
    cases.push_back({"two_reports.txt", {first, second}});
  }
  {
    // A day without sales (after a RAM reset), then one that sold only exempt goods with
    // receipts cancelled past the counter's limit.
    Daily none;
    none.number = 7;
    none.ramResetKind = 187;
    Daily exempt;
    exempt.number = 8;
    exempt.day = 6;
    exempt.net[4] = 1999;
    exempt.receipts = 2;
    exempt.cancelled = 1;
    exempt.cancelledAmount = fiscal::kCancelledOverflow;
    cases.push_back({"no_sales_and_exempt_only.txt", {none, exempt}});
  }
  {
    // The summary report keeps the rate records: A goes from 23 to 22 inside the range.
    Daily after = Sold(11, 9, 5000, 1100);
    after.marker = 2;
    after.rateA = 2200;
    cases.push_back({"summary_with_rate_change.txt", {Sold(10, 8, 10000, 2300), after}, false});
  }
  {
    // Bytes of a record that are not text come out as '?', so every line still ends CR LF.
    Daily labelled = Sold(3, 5, 10000, 2300);
    labelled.mediumUnique = std::string(
        "AB\nC\x7F"
        "1234\t678",
        12);
    cases.push_back(
        {"ecopy_label_with_control_bytes.txt", {labelled}, true, true, std::string("PL\rN", 4)});
  }
  return cases;
}

TEST(ReportGolden, PassesWrittenToTheReportFileMatchTheirGoldenFiles) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ulvo_golden_test";
  for (const GoldenCase& k : Cases()) {
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
    request.fullReport = k.fullReport;
    request.ecopy = k.ecopy;
    FiscalReadoutPass pass(request, file);
    for (const std::string& record : testing::Pass(k.reports, k.ecopy, {}, false, k.currency)) {
      std::string_view bytes = record;
      while (!bytes.empty() && !pass.Finished()) bytes.remove_prefix(pass.Feed(bytes).used);
    }
    ASSERT_TRUE(pass.Succeeded()) << k.golden << " " << static_cast<int>(pass.Code());
    file.EndLine();
    ASSERT_FALSE(file.Close());
    const std::string text = Slurp(out);
    // Every line ends CR LF, and no other control byte but the TABs of the control lines.
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if (byte == '\r') {
        EXPECT_EQ(text[i + 1], '\n') << k.golden << " at " << i;
      }
      if (byte == '\n') {
        EXPECT_EQ(text[i - 1], '\r') << k.golden << " at " << i;
      }
      if (byte < 0x20 && byte != '\r' && byte != '\n' && byte != '\t') ADD_FAILURE() << k.golden;
    }
    const std::filesystem::path golden =
        std::filesystem::path(ULVO_TEST_DATA_DIR) / "readout" / k.golden;
    if (std::getenv("ULVO_UPDATE_GOLDEN") != nullptr) {
      std::filesystem::create_directories(golden.parent_path());
      std::filesystem::copy_file(out, golden, std::filesystem::copy_options::overwrite_existing);
    }
    EXPECT_EQ(text, Slurp(golden)) << k.golden;
    std::filesystem::remove_all(dir);
  }
}

}  // namespace
}  // namespace ulvo
