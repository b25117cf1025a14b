// The fiscal memory readout: the record stream a Mavito sends after "#o ... 128".

#include <gtest/gtest.h>

#include "sim/emulator.h"
#include "sim/fiscal_memory.h"
#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Checked;
using simtest::Command;
using simtest::Exchange;
using simtest::FixedNow;
using simtest::LastError;

constexpr unsigned char kOk = simtest::kCarriedOutBit;

unsigned U16(const std::string& b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
unsigned long U32(const std::string& b, std::size_t at) {
  return U16(b, at) | static_cast<unsigned long>(U16(b, at + 2)) << 16;
}

struct Record {
  int type = -1;
  bool damaged = false;
  std::string body;
};

// Asks for the next record with ENQ and checks its length and check byte.
Record Next(Printer& p, bool ecopy = false) {
  std::string bytes = Exchange(p, "\x05");
  Record r;
  if (bytes.empty()) return r;
  r.type = static_cast<unsigned char>(bytes[0]) & 0x7F;
  r.damaged = static_cast<unsigned char>(bytes[0]) & 0x80;
  r.body = bytes.substr(1);
  EXPECT_EQ(r.body.size(), FiscalRecordBodySize(r.type, ecopy)) << "type " << r.type;
  EXPECT_TRUE(FiscalRecordCheckOk(r.body)) << "type " << r.type;
  return r;
}

// One day of sales: `grossA` grosze in rate A, in one receipt, then the daily report.
void Day(Printer& p, std::chrono::system_clock::time_point now, const std::string& gross) {
  Command(p, "0$h", now);
  Command(p, "1$lX\r1\rA/" + gross + "/" + gross + "/", now);
  Command(p, "1;0$e\r0/" + gross + "/", now);
  ASSERT_EQ(Command(p, "0#r", now) & kOk, kOk);
}

const PrinterVariant kMavito{PrinterFamily::kMavito, false, false};

// Two days of sales: 1.00 on the 15th, 2.00 on the 16th, each closed by its daily report.
void TwoDays(Printer& p) {
  Day(p, FixedNow(), "1.00");
  Day(p, FixedNow() + std::chrono::hours(24), "2.00");
}

std::vector<int> Types(Printer& p) {
  std::vector<int> types;
  for (int i = 0; i < 40; ++i) {
    Record r = Next(p);
    if (r.type < 0) break;
    types.push_back(r.type);
    if (r.type == 11) break;
  }
  return types;
}

TEST(SimFiscalMemory, RequestThenStatusThenRecords) {
  Printer p(kMavito);
  TwoDays(p);
  EXPECT_EQ(Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/") & kOk, kOk);  // the status ENQ
  EXPECT_EQ(Types(p), (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 10, 12, 5, 4, 5, 11}));
  // The readout is over: ENQ is a status query again.
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
}

TEST(SimFiscalMemory, DailyRecordFields) {
  Printer p(kMavito);
  TwoDays(p);
  Command(p, "4;0;0;0;0;0;0;128#o2/2/\r\r115200/");
  Record r;
  while ((r = Next(p)).type != 5 && r.type >= 0) {
  }
  ASSERT_EQ(r.type, 5);
  EXPECT_EQ(U16(r.body, 1), 2u);                                       // report number
  EXPECT_EQ(r.body.substr(3, 4), std::string("\x14\x1A\x06\x10", 4));  // 20 26 06 16
  EXPECT_EQ(U16(r.body, 19), 1u);                                      // receipts that day
  EXPECT_EQ(U32(r.body, 21), 37u);   // PTU in 2.00 at 23 %: 200 * 23 / 123 = 37.4
  EXPECT_EQ(U32(r.body, 49), 163u);  // net sales A
  EXPECT_EQ(U32(r.body, 77), 200u);  // total due
  Record rates = Next(p);
  ASSERT_EQ(rates.type, 4);
  EXPECT_EQ(U16(rates.body, 9), 2300u);
  EXPECT_EQ(static_cast<int>(rates.body[23]), 1);      // A taxed
  EXPECT_EQ(static_cast<int>(rates.body[23 + 4]), 2);  // E exempt
  EXPECT_EQ(static_cast<int>(rates.body[23 + 5]), 0);  // F not used
}

TEST(SimFiscalMemory, RangeAndClosingRecordsAgree) {
  Printer p(kMavito);
  TwoDays(p);
  Command(p, "26;6;0;0;0;0;0;128#o\r\r57600/");  // June 2026
  Record range, closing;
  for (int i = 0; i < 40; ++i) {
    Record r = Next(p);
    if (r.type == 10) range = r;
    if (r.type == 11 || r.type < 0) {
      closing = r;
      break;
    }
  }
  ASSERT_EQ(range.type, 10);
  ASSERT_EQ(closing.type, 11);
  EXPECT_EQ(static_cast<int>(closing.body[0]), 0);  // good
  EXPECT_EQ(U16(range.body, 2), 2u);
  EXPECT_EQ(U32(range.body, 8), 300u);  // total due, low part
  EXPECT_EQ(U32(range.body, 16), 19u + 37u);
  EXPECT_EQ(range.body.substr(2, 55), closing.body.substr(2, 55));
  EXPECT_EQ(U32(closing.body, 49), 1u);
  EXPECT_EQ(U32(closing.body, 53), 2u);
}

TEST(SimFiscalMemory, ChangedRatesComeWithTheReport) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, false});
  Day(p, FixedNow(), "1.00");
  ASSERT_EQ(Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/") & kOk, kOk);
  Day(p, FixedNow() + std::chrono::hours(24), "1.00");
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  EXPECT_EQ(Types(p), (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 10, 12, 5, 4, 5, 4, 11}));
}

TEST(SimFiscalMemory, DamagedReportIsMarkedAndLeftOutOfTheClosingTotals) {
  Printer p(kMavito);
  TwoDays(p);
  p.MutableState().fiscalMemory[0].damaged = true;
  Command(p, "6;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  bool sawDamaged = false;
  Record closing;
  for (int i = 0; i < 40; ++i) {
    Record r = Next(p);
    if (r.type == 5 && r.damaged) sawDamaged = true;
    if (r.type == 11 || r.type < 0) {
      closing = r;
      break;
    }
  }
  EXPECT_TRUE(sawDamaged);
  ASSERT_EQ(closing.type, 11);
  EXPECT_EQ(U16(closing.body, 2), 2u);    // both reports were sent
  EXPECT_EQ(U32(closing.body, 8), 200u);  // only the good one is summed
}

TEST(SimFiscalMemory, EmptyRangeHasNoCurrencyRecord) {
  Printer p(kMavito);
  TwoDays(p);
  Command(p, "25;1;0;0;0;0;0;128#o\r\r9600/");
  EXPECT_EQ(Types(p), (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 10, 11}));
}

TEST(SimFiscalMemory, CanAndNewCommandsEndTheReadout) {
  Printer p(kMavito);
  TwoDays(p);
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  EXPECT_EQ(Next(p).type, 0);
  Exchange(p, "\x18");
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  Command(p, "1#l");  // another command instead of the readout
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
}

TEST(SimFiscalMemory, OnePassPerAccountingCurrency) {
  Printer p(kMavito);
  Day(p, FixedNow(), "1.00");
  ASSERT_EQ(Command(p, "0;26;6;15;12;00##EUR\r") & kOk, kOk);
  Day(p, FixedNow() + std::chrono::hours(24), "2.00");
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  EXPECT_EQ(Types(p), (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 10, 12, 5, 4, 11}));
  Exchange(p, "\x18");  // the program closes the pass
  // Its next round: the status query, then the second pass.
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
  Record r;
  std::string currency;
  Record closing;
  for (int i = 0; i < 40; ++i) {
    r = Next(p);
    if (r.type == 12) currency = r.body.substr(0, 3);
    if (r.type == 11 || r.type < 0) {
      closing = r;
      break;
    }
  }
  EXPECT_EQ(currency, "EUR");
  ASSERT_EQ(closing.type, 11);
  EXPECT_EQ(static_cast<int>(closing.body[1]), 0);  // no further currency
  EXPECT_EQ(U32(closing.body, 49), 2u);
  EXPECT_EQ(Exchange(p, "\x05"), "\x65");
}

TEST(SimFiscalMemory, FirstPassAnnouncesTheNext) {
  Printer p(kMavito);
  Day(p, FixedNow(), "1.00");
  Command(p, "0;26;6;15;12;00##EUR\r");
  Day(p, FixedNow() + std::chrono::hours(24), "2.00");
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  Record r;
  for (int i = 0; i < 40 && r.type != 11; ++i) r = Next(p);
  ASSERT_EQ(r.type, 11);
  EXPECT_EQ(static_cast<int>(r.body[1]), 1);
  EXPECT_EQ(U16(r.body, 2), 1u);
}

TEST(SimFiscalMemory, ElectronicCopyHasLongerReportsAndAMediumLabel) {
  Printer p(PrinterVariant{PrinterFamily::kMavito, false, true});
  TwoDays(p);
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  std::vector<int> types;
  for (int i = 0; i < 40; ++i) {
    Record r = Next(p, true);
    if (r.type < 0) break;
    types.push_back(r.type);
    if (r.type == 14) {
      EXPECT_EQ(r.body.substr(0, 11), "ABM33445566");
    }
    if (r.type == 11) break;
  }
  EXPECT_EQ(types, (std::vector<int>{0, 1, 2, 3, 6, 7, 8, 10, 12, 13, 14, 5, 4, 5, 11}));
}

TEST(SimFiscalMemory, BadRequestsAreRefused) {
  Printer p(kMavito);
  TwoDays(p);
  Command(p, "4;0;0;0;0;0;0;128#o2/1/\r\r115200/");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "4;0;0;0;0;0;0;128#o1/2/\r\r12345/");
  EXPECT_EQ(LastError(p), 4);
  Command(p, "4;0;0;0;0;0;0;128#o1/2/115200/");
  EXPECT_EQ(LastError(p), 3);
  Command(p, "26;2;30;26;3;1;0;128#o\r\r115200/");
  EXPECT_EQ(LastError(p), 135);
  Printer alta(PrinterVariant{PrinterFamily::kAlta, false, false});
  Command(alta, "4;0;0;0;0;0;0;128#o1/2/\r\r115200/");
  EXPECT_EQ(LastError(alta), 4);
}

TEST(SimFiscalMemory, RecordsLeaveAtTheReadoutBaudRate) {
  SimOptions o;  // 9600 baud on the line
  Emulator e(o);
  Emulator::Time t0 = Emulator::Time{} + std::chrono::hours(1);
  e.OnInput(Checked("0#r") + Checked("4;0;0;0;0;0;0;128#o1/1/\r\r115200/") + "\x05", t0);
  while (!e.TakeOutput(t0 + std::chrono::seconds(1)).empty()) {
  }
  Emulator::Time t1 = t0 + std::chrono::seconds(2);
  e.OnInput("\x05", t1);  // the first record, 253 bytes
  EXPECT_EQ(e.TakeOutput(t1).size(), 1u);
  // At 115200 baud the whole record is out in about 22 ms (it would take 264 ms at 9600).
  EXPECT_EQ(e.TakeOutput(t1 + std::chrono::milliseconds(23)).size(), 252u);
}

}  // namespace
}  // namespace ulvo
