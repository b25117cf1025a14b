// The reader against the emulator's record streams: generated fiscal memories, two
// currencies, the electronic copy and the emulator's fault switches.

#include <gtest/gtest.h>

#include "readout/core/fiscal_readout.h"
#include "sim/fiscal_memory.h"
#include "tests/readout/readout_test_util.h"

namespace ulvo {
namespace {

using testing::Lines;

struct Result {
  std::vector<RecordCode> codes;
  std::vector<bool> more;
  Lines text;
};

Result ReadAll(const PrinterState& s, const FiscalRange& range, const ReadoutRequest& request) {
  Result result;
  for (const auto& records : BuildFiscalStream(s, range, std::chrono::system_clock::now())) {
    FiscalReadoutPass pass(request, result.text);
    std::string pending;
    std::size_t next = 0;
    pending = records[next++];
    while (!pass.Finished() && !pending.empty()) {
      const auto step = pass.Feed(pending);
      pending.erase(0, step.used);
      if (step.sendAck && next < records.size()) pending += records[next++];
    }
    if (!pass.Finished()) pass.Stop(RecordCode::kBad);  // the printer fell silent
    result.codes.push_back(pass.Code());
    result.more.push_back(pass.MoreCurrencies());
  }
  return result;
}

PrinterState Memory(std::size_t reports, bool ecopy = false, std::size_t currencyFrom = 0) {
  PrinterState s = PowerOnState(PrinterVariant{PrinterFamily::kMavito, false, ecopy});
  s.uniqueNumber = "ABA11223344";
  GenerateFiscalMemory(s, reports, 7, currencyFrom);
  return s;
}

FiscalRange Numbers(long from, long to) {
  FiscalRange r;
  r.kind = FiscalRange::Kind::kNumbers;
  r.fromNumber = from;
  r.toNumber = to;
  return r;
}

ReadoutRequest Request(bool ecopy = false) {
  ReadoutRequest r;
  r.byNumbers = true;
  r.ecopy = ecopy;
  r.todayText = "08.12.2026";
  return r;
}

TEST(ReaderWithEmulator, GeneratedMemoryReadsAndAddsUp) {
  const Result r = ReadAll(Memory(400), Numbers(1, 400), Request());
  ASSERT_EQ(r.codes.size(), 1u);
  EXPECT_EQ(r.codes[0], RecordCode::kGood);
  EXPECT_TRUE(r.text.Has("Nr rap.  Od 1 do 400"));
}

TEST(ReaderWithEmulator, TwoCurrenciesGiveTwoPasses) {
  const Result r = ReadAll(Memory(30, false, 21), Numbers(1, 30), Request());
  ASSERT_EQ(r.codes.size(), 2u);
  EXPECT_EQ(r.codes[0], RecordCode::kGood);
  EXPECT_EQ(r.codes[1], RecordCode::kGood);
  EXPECT_TRUE(r.more[0]);
  EXPECT_FALSE(r.more[1]);
  EXPECT_TRUE(r.text.Has("WALUTA EWIDENCYJNA                     EUR"));
}

TEST(ReaderWithEmulator, ControlNumbersAgreeWithThePrinters) {
  const PrinterState s = Memory(12, true);
  const Result r = ReadAll(s, Numbers(5, 12), Request(true));
  ASSERT_EQ(r.codes[0], RecordCode::kGood);
  for (std::size_t number : {5u, 9u, 12u}) {
    const std::string control = FiscalControlNumber(s, number);
    ASSERT_EQ(control.size(), 40u);
    EXPECT_TRUE(r.text.Has("#" + control + "#")) << number;
  }
}

TEST(ReaderWithEmulator, FaultSwitchesEndTheReadoutWithTheirCodes) {
  struct Case {
    const char* what;
    long long value;
    RecordCode code;
  } cases[] = {
      {"count", 1, RecordCode::kBad},
      {"count", -1, RecordCode::kBad},
      {"due", 1, RecordCode::kBad},
      {"ptu", 1'000'000'000, RecordCode::kBad},
      {"status", 3, RecordCode::kFiscalMemory},
      {"check", 12, RecordCode::kBad},
      {"cut", 12, RecordCode::kBad},
  };
  for (const Case& c : cases) {
    PrinterState s = Memory(20);
    ASSERT_EQ(SetFiscalFault(s, c.what, c.value), "ok");
    const Result r = ReadAll(s, Numbers(1, 20), Request());
    EXPECT_EQ(r.codes[0], c.code) << c.what << " " << c.value;
  }
}

TEST(ReaderWithEmulator, DamagedReportNeedsEmergencyMode) {
  PrinterState s = Memory(10);
  s.fiscalMemory[4].damaged = true;
  EXPECT_EQ(ReadAll(s, Numbers(1, 10), Request()).codes[0], RecordCode::kFiscalMemory);
  ReadoutRequest emergency = Request();
  emergency.emergency = true;
  const Result r = ReadAll(s, Numbers(1, 10), emergency);
  EXPECT_EQ(r.codes[0], RecordCode::kGood);
  EXPECT_TRUE(r.text.Has("BŁĘDNY REKORD Nr 5"));
}

}  // namespace
}  // namespace ulvo
