// The fiscal memory reader fed with record streams: order, acknowledgements, damaged records
// and the comparison with the closing record.

#include "readout/core/fiscal_readout.h"

#include <gtest/gtest.h>

#include "tests/readout/readout_test_util.h"

namespace ulvo {
namespace {

using testing::Daily;
using testing::Lines;
using testing::Pass;
using testing::Record;

struct FeedRun {
  int acks = 0;
  std::size_t left = 0;  // bytes not taken when the pass finished
};

// Feeds the records as a printer sends them: the next record only after the ENQ. With
// `byteByByte` every byte arrives on its own.
FeedRun Feed(FiscalReadoutPass& pass, const std::vector<std::string>& records,
             bool byteByByte = false) {
  FeedRun run;
  std::string pending;
  std::size_t next = 0;
  auto more = [&] {
    if (next < records.size()) pending += records[next++];
  };
  more();
  while (!pass.Finished() && !pending.empty()) {
    const std::string_view chunk =
        byteByByte ? std::string_view(pending).substr(0, 1) : std::string_view(pending);
    const FiscalReadoutPass::Step step = pass.Feed(chunk);
    pending.erase(0, step.used);
    if (step.sendAck) {
      ++run.acks;
      more();
    }
    if (step.used == 0 && !step.sendAck) break;
  }
  while (next < records.size()) pending += records[next++];
  run.left = pending.size();
  return run;
}

Daily Sale(unsigned number, std::uint32_t netA, std::uint32_t ptuA) {
  Daily d;
  d.number = number;
  d.net[0] = netA;
  d.ptu[0] = ptuA;
  d.receipts = 3;
  return d;
}

ReadoutRequest ByNumbers(bool emergency = false) {
  ReadoutRequest r;
  r.byNumbers = true;
  r.emergency = emergency;
  r.todayText = "08.12.2026";
  return r;
}

TEST(FiscalReadout, GoodPassAcknowledgesEveryRecordButTheClosingOne) {
  const auto records = Pass({Sale(1, 10000, 2300), Sale(2, 500, 115)});
  for (bool byteByByte : {false, true}) {
    Lines out;
    FiscalReadoutPass pass(ByNumbers(), out);
    const FeedRun run = Feed(pass, records, byteByByte);
    EXPECT_TRUE(pass.Succeeded()) << static_cast<int>(pass.Code());
    EXPECT_EQ(run.acks, static_cast<int>(records.size()) - 1);
    EXPECT_EQ(run.left, 0u);
    EXPECT_EQ(pass.Received(), 2u);
    EXPECT_FALSE(pass.MoreCurrencies());
    EXPECT_TRUE(out.Has("ŁĄCZNY RAPORT OKRESOWY"));
    EXPECT_TRUE(out.Has("Nr rap.  Od 1 do 2"));
  }
}

TEST(FiscalReadout, NoReportsReadsNoCurrencyRecordAndGoesToTheClosingRecord) {
  const auto records = Pass({});
  ASSERT_EQ(records.size(), 9u);  // eight header records and the closing one
  Lines out;
  FiscalReadoutPass pass(ByNumbers(), out);
  Feed(pass, records);
  EXPECT_TRUE(pass.Succeeded());
  EXPECT_TRUE(out.Has("BRAK ZAPISÓW"));
  EXPECT_FALSE(out.Has("WALUTA EWIDENCYJNA"));
}

TEST(FiscalReadout, DamagedReportInEmergencyModeIsANoteLeftOutOfTheSums) {
  Daily bad = Sale(2, 99999, 999);
  bad.damaged = true;
  const auto records = Pass({Sale(1, 10000, 2300), bad, Sale(3, 200, 46)});
  Lines out;
  FiscalReadoutPass pass(ByNumbers(true), out);
  Feed(pass, records);
  EXPECT_TRUE(pass.Succeeded()) << static_cast<int>(pass.Code());
  EXPECT_TRUE(out.Has("BŁĘDNY REKORD Nr 2"));
  EXPECT_EQ(pass.Context().due.Grosze(), 10000u + 2300 + 200 + 46);
  EXPECT_EQ(pass.Received(), 3u);
}

TEST(FiscalReadout, DamagedReportOutsideEmergencyModeIsAFiscalMemoryError) {
  Daily bad = Sale(2, 1, 1);
  bad.damaged = true;
  Lines out;
  FiscalReadoutPass pass(ByNumbers(false), out);
  Feed(pass, Pass({Sale(1, 100, 23), bad}));
  EXPECT_EQ(pass.Code(), RecordCode::kFiscalMemory);
  EXPECT_EQ(RecordCodeMessage(pass.Code()), "Wystąpił błąd pamieci fiskalnej.");
}

TEST(FiscalReadout, ClosingRecordThatDisagreesIsATransmissionError) {
  const std::vector<Daily> reports = {Sale(1, 10000, 2300), Sale(2, 500, 115)};
  struct Case {
    const char* what;
    unsigned count;
    std::uint64_t due, ptu;
  } cases[] = {
      {"count one more", 3, 12915, 2415},
      {"count one less", 1, 12915, 2415},
      {"due one grosz off", 2, 12916, 2415},
      {"PTU high part off", 2, 12915, 2415 + 1'000'000'000ULL},
  };
  for (const Case& c : cases) {
    Lines out;
    FiscalReadoutPass pass(ByNumbers(), out);
    Feed(pass,
         Pass(reports, false, Record(fiscal::kClosing, testing::SumsBody(c.count, c.due, c.ptu))));
    EXPECT_EQ(pass.Code(), RecordCode::kBad) << c.what;
    EXPECT_EQ(RecordCodeMessage(pass.Code()), "Wystąpił błąd trasmisji.") << c.what;
    EXPECT_FALSE(out.Has("ŁĄCZNY RAPORT OKRESOWY")) << c.what;
  }
}

TEST(FiscalReadout, ClosingStatusNotZeroIsAFiscalMemoryError) {
  std::string body = testing::SumsBody(0, 0, 0);
  body[fiscal::kSumStatus] = 1;
  Lines out;
  FiscalReadoutPass pass(ByNumbers(), out);
  Feed(pass, Pass({}, false, Record(fiscal::kClosing, body)));
  EXPECT_EQ(pass.Code(), RecordCode::kFiscalMemory);
}

TEST(FiscalReadout, WrongTypeOrBadCheckEndsThePass) {
  auto wrongType = Pass({Sale(1, 100, 23)});
  wrongType[1] = Record(fiscal::kNip, "x");  // a NIP record where the unique number belongs
  auto badCheck = Pass({Sale(1, 100, 23)});
  badCheck[8].back() ^= 0x01;  // the currency record's check
  auto unknownType = Pass({Sale(1, 100, 23)});
  unknownType[9] = std::string(1, '\x09') + std::string(90, '\0');
  for (const auto& records : {wrongType, badCheck, unknownType}) {
    Lines out;
    FiscalReadoutPass pass(ByNumbers(), out);
    Feed(pass, records);
    EXPECT_EQ(pass.Code(), RecordCode::kBad);
  }
}

TEST(FiscalReadout, AnotherCurrencyIsAnnouncedByTheClosingRecord) {
  Lines out;
  FiscalReadoutPass pass(ByNumbers(), out);
  Feed(pass, Pass({Sale(1, 100, 23)}, false, {}, true));
  EXPECT_TRUE(pass.Succeeded());
  EXPECT_TRUE(pass.MoreCurrencies());
}

TEST(FiscalReadout, StopAndFailedAcknowledgementEndThePassWithTheirCodes) {
  Lines out;
  FiscalReadoutPass aborted(ByNumbers(), out);
  aborted.Feed(Pass({})[0].substr(0, 10));
  aborted.Stop(RecordCode::kAborted);
  EXPECT_EQ(aborted.Code(), RecordCode::kAborted);
  EXPECT_EQ(RecordCodeMessage(aborted.Code()), "");
  FiscalReadoutPass noAck(ByNumbers(), out);
  ASSERT_TRUE(noAck.Feed(Pass({})[0]).sendAck);
  noAck.AckFailed();
  EXPECT_EQ(noAck.Code(), RecordCode::kAckFailed);
  EXPECT_TRUE(noAck.Finished());
}

TEST(FiscalReadout, ElectronicCopyTakesTheMediumLabelBeforeAReport) {
  auto records = Pass({Sale(1, 10000, 2300)}, true);
  std::string label(12, '\0');
  label[0] = 7;
  std::string media(33, '\0');
  media.replace(0, 12, "ABC 12345678");
  records.insert(records.begin() + 9, {Record(fiscal::kMediumLabel, label, true),
                                       Record(fiscal::kMediumData, media, true)});
  Lines out;
  ReadoutRequest request = ByNumbers();
  request.ecopy = true;
  FiscalReadoutPass pass(request, out);
  Feed(pass, records);
  EXPECT_TRUE(pass.Succeeded()) << static_cast<int>(pass.Code());
  EXPECT_TRUE(out.Has("Numer nośnika: 007"));
  EXPECT_TRUE(out.Has("Numer kontrolny:"));
}

TEST(SumPair, CarriesIntoTheHighPart) {
  struct Case {
    std::vector<std::uint64_t> adds;
    std::uint32_t high, low;
  } cases[] = {
      {{999'999'999, 1}, 1, 0},
      {{0xFFFFFFFFu, 0xFFFFFFFFu}, 8, 589'934'590},
      {{5'000'000'000ULL, 999'999'999, 999'999'999}, 6, 999'999'998},
  };
  for (const Case& c : cases) {
    SumPair s;
    for (std::uint64_t a : c.adds) s.Add(a);
    EXPECT_EQ(s.high, c.high);
    EXPECT_EQ(s.low, c.low);
  }
}

}  // namespace
}  // namespace ulvo

namespace ulvo {
namespace {

// Sets `bytes` of a record's body at `at` and makes its check right again.
std::string Spoil(std::string record, std::size_t at, const std::string& bytes) {
  std::string body = record.substr(1);
  body.replace(at, bytes.size(), bytes);
  body.back() =
      static_cast<char>(fiscal::RecordCheckByte(std::string_view(body).substr(0, body.size() - 1)));
  return record.substr(0, 1) + body;
}

TEST(FiscalReadout, BytesTheLayoutLeavesOpenAreIgnored) {
  const auto clean = testing::Pass({Sale(1, 10000, 2300), Sale(2, 500, 115)});
  auto noisy = clean;
  const std::string junk(6, '\xA5');
  noisy[2] = Spoil(noisy[2], 2, junk);                      // mode: after the two known bytes
  noisy[4] = Spoil(noisy[4], 6, std::string(1, '\x77'));    // reference: its last byte
  noisy[7] = Spoil(noisy[7], 20, std::string(1, '\x33'));   // range: between the sums and dates
  noisy[9] = Spoil(noisy[9], 9, std::string(2, '\x44'));    // daily: 9..10
  noisy[9] = Spoil(noisy[9], 13, junk);                     // daily: 13..18
  noisy[10] = Spoil(noisy[10], 6, std::string(3, '\x11'));  // rates: 6..8
  Lines cleanText, noisyText;
  FiscalReadoutPass a(ByNumbers(), cleanText), b(ByNumbers(), noisyText);
  Feed(a, clean);
  Feed(b, noisy);
  EXPECT_TRUE(b.Succeeded()) << static_cast<int>(b.Code());
  EXPECT_EQ(noisyText.lines, cleanText.lines);
}

}  // namespace
}  // namespace ulvo
