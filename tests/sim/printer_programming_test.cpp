// Service programming: PTU rates, header, NIP and fiscalisation.

#include <gtest/gtest.h>

#include "sim/printer.h"
#include "tests/sim/sim_test_util.h"

namespace ulvo {
namespace {

using simtest::Command;
using simtest::Exchange;
using simtest::LastError;
using simtest::Unchecked;

constexpr unsigned char kOk = simtest::kCarriedOutBit;

Printer Make(PrinterFamily family, bool bus = false) {
  return Printer(PrinterVariant{family, bus, false});
}

// The rates part of the cash information: "23.00/8.00/.../".
std::string RatesInCashInfo(Printer& p) {
  std::string reply = Exchange(p, Unchecked("23#s"));
  std::size_t start = reply.find('/');
  std::size_t end = start;
  for (int i = 0; i < 7 && end != std::string::npos; ++i) end = reply.find('/', end + 1);
  if (start == std::string::npos || end == std::string::npos) return {};
  return reply.substr(start + 1, end - start);
}

TEST(SimPtu, MavitoDefaultsOfTheDialogAreTakenAndReported) {
  Printer p = Make(PrinterFamily::kMavito);
  EXPECT_EQ(Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/") & kOk, kOk);
  EXPECT_EQ(RatesInCashInfo(p), "22.00/7.00/0.00/3.00/101.00/101.00/100.00/");
}

TEST(SimPtu, AltaMarksUnusedRatesWithMinusOne) {
  Printer p = Make(PrinterFamily::kAlta);
  EXPECT_EQ(Command(p, "7$p22.00/7.00/0.00/3.00/-1.00/-1.00/-1.00/") & kOk, kOk);
  EXPECT_EQ(p.State().ptu[4], kPtuNotUsed);
  EXPECT_EQ(p.State().ptu[0], 2200);
  Command(p, "7;1;1;1;1;1;1;1$p1/1/1/1/1/1/1/");  // states belong to the newer printers
  EXPECT_EQ(LastError(p), 11);
}

TEST(SimPtu, BusPrinterTakesSurchargesAndTheForeignTicketRate) {
  Printer p = Make(PrinterFamily::kAltaPro, true);
  EXPECT_EQ(Command(p, "8;5;1;1;1;0;0;2;3$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/") & kOk, kOk);
  EXPECT_TRUE(p.State().ptuSurcharge[0]);
  EXPECT_TRUE(p.State().foreignTicketRate);
  Printer plain = Make(PrinterFamily::kAltaPro);
  Command(plain, "8;5;1;1;1;0;0;2;3$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  EXPECT_EQ(LastError(plain), 11);
  Command(plain, "7;5;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  EXPECT_EQ(LastError(plain), 18);
}

TEST(SimPtu, BadValuesAndIdenticalRatesAreRefused) {
  Printer p = Make(PrinterFamily::kMavito);
  Command(p, "7;1;1;1;1;0;0;2$p22.00/x/0.00/3.00/0.00/0.00/0.00/");
  EXPECT_EQ(LastError(p), 11);
  Command(p, "7;1;1;1;1;0;0;2$p100.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  EXPECT_EQ(LastError(p), 11);
  Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/");
  EXPECT_EQ(LastError(p), 11);
  Command(p, "6;1;1;1;1;0;0$p22.00/7.00/0.00/3.00/0.00/0.00/");
  EXPECT_EQ(LastError(p), 11);
  Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  EXPECT_EQ(LastError(p), 131);
}

TEST(SimPtu, RatesChangeOnlyWithEmptyTotals) {
  Printer p = Make(PrinterFamily::kMavito);
  Command(p, "0$h");
  Command(p, "1$lX\r1\rA/1/1/");
  Command(p, "1;0$e\r1/1/");
  Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  EXPECT_EQ(LastError(p), 8);
  Command(p, "0#r");
  EXPECT_EQ(Command(p, "7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/") & kOk, kOk);
}

TEST(SimPtu, ThirtyChangesFillTheRegister) {
  Printer p = Make(PrinterFamily::kMavito);
  for (int i = 0; i < 30; ++i) {
    std::string body = "7;1;1;1;1;0;0;2$p" + std::to_string(10 + i) + "/7/0/3/0/0/0/";
    ASSERT_EQ(Command(p, body) & kOk, kOk) << i;
  }
  Command(p, "7;1;1;1;1;0;0;2$p99/7/0/3/0/0/0/");
  EXPECT_EQ(LastError(p), 142);
}

TEST(SimPtu, SaleInARateTakenOutOfUseIsRefused) {
  Printer p = Make(PrinterFamily::kMavito);
  Command(p, "7;0;1;1;1;0;0;2$p0/7/0/3/0/0/0/");
  Command(p, "0$h");
  Command(p, "1$lX\r1\rA/1/1/");
  EXPECT_EQ(LastError(p), 18);
}

TEST(SimHeader, LinesMustFitThePaper) {
  Printer p = Make(PrinterFamily::kMavito);
  std::string line42(42, 'x');
  EXPECT_EQ(Command(p, "0$f" + line42 + "\nSklep\n\xFF") & kOk, kOk);
  EXPECT_EQ(p.State().header, line42 + "\nSklep\n");
  Command(p, "0$f" + std::string(43, 'x') + "\n\xFF");
  EXPECT_EQ(LastError(p), 12);
  // Double width counts twice: 21 wide characters fill the line, 22 do not fit.
  EXPECT_EQ(Command(p, "0$f\x0E" + std::string(21, 'W') + "\x14\n\xFF") & kOk, kOk);
  Command(p, "0$f\x0E" + std::string(22, 'W') + "\x14\n\xFF");
  EXPECT_EQ(LastError(p), 12);
}

TEST(SimHeader, AltaIsNarrowAndHasNoDoubleWidth) {
  Printer p = Make(PrinterFamily::kAlta);
  EXPECT_EQ(Command(p, "0$f" + std::string(24, 'x') + "\n\xFF") & kOk, kOk);
  Command(p, "0$f" + std::string(25, 'x') + "\n\xFF");
  EXPECT_EQ(LastError(p), 12);
  Command(p,
          "0$f\x0E"
          "AB\x14\n\xFF");
  EXPECT_EQ(LastError(p), 12);
}

TEST(SimHeader, FrameShapeIsChecked) {
  Printer p = Make(PrinterFamily::kMavito);
  EXPECT_EQ(Command(p, "0$f\xFF") & kOk, kOk);  // an empty editor
  Command(p, "0$fSklep\n");                     // no closing 0xFF
  EXPECT_EQ(LastError(p), 12);
  Command(p, "0$fSk\x07lep\n\xFF");
  EXPECT_EQ(LastError(p), 12);
  Command(p, "5$fSklep\n\xFF");
  EXPECT_EQ(LastError(p), 4);
  EXPECT_EQ(Command(p, "1$fSklep\n\xFF") & kOk, kOk);
  EXPECT_EQ(p.State().headerMethod, 1);
  std::string many;
  for (int i = 0; i < 11; ++i) many += "L\n";
  Command(p, "0$f" + many + "\xFF");
  EXPECT_EQ(LastError(p), 12);
}

TEST(SimNip, TrainingModeTakesAnyWellFormedNip) {
  for (const char* nip : {"123-456-32-18", "PL 123-456-32-18", "1234563218", "123-45-63-218"}) {
    Printer p = Make(PrinterFamily::kMavito);
    EXPECT_EQ(Command(p, std::string("0$n") + nip + "\r") & kOk, kOk) << nip;
    EXPECT_FALSE(p.State().fiscal);
  }
  Printer p = Make(PrinterFamily::kMavito);
  for (const char* nip : {"123-456-32-19", "123 456 32 18", "PL1234563218", "123456321"}) {
    Command(p, std::string("0$n") + nip + "\r");
    EXPECT_EQ(LastError(p), 143) << nip;
  }
}

TEST(SimNip, SecondTrainingNipIsRefused) {
  Printer p = Make(PrinterFamily::kAltaPro);
  EXPECT_EQ(Command(p, "0$n123-456-32-18\r") & kOk, kOk);
  Command(p, "0$n123-456-32-18\r");
  EXPECT_EQ(LastError(p), 144);
  Command(p, "0$n5260250274\r");
  EXPECT_EQ(LastError(p), 144);
  EXPECT_EQ(p.State().trainingNip, "123-456-32-18");
}

TEST(SimHeader, ReceiptsArePrintedUnderTheHeader) {
  Printer p = Make(PrinterFamily::kMavito);
  Command(p, "0$h");
  Command(p, "1$lX\r1\rA/1/1/");
  Command(p, "1;0$e\r1/1/");
  EXPECT_EQ(p.State().printouts.back(), "Paragon niefiskalny");
  ASSERT_EQ(Command(p,
                    "0$f   \x0E"
                    "SKLEP\x14\nul. Polna 1\n\xFF") &
                kOk,
            kOk);
  Command(p, "0$h");
  Command(p, "1$lX\r1\rA/1/1/");
  Command(p, "1;0$e\r1/1/");
  EXPECT_EQ(p.State().printouts.back(), "   SKLEP\nul. Polna 1\nParagon niefiskalny");
  Command(p, "0$h");
  Command(p, "0$e");
  EXPECT_EQ(p.State().printouts.back(), "   SKLEP\nul. Polna 1\nParagon anulowany");
}

TEST(SimNip, FiscalisationNeedsAHeaderAndHappensOnce) {
  Printer p = Make(PrinterFamily::kMavito);
  Command(p, "1$n123-456-32-18\r");
  EXPECT_EQ(LastError(p), 147);
  Command(p, "0$fSklep\n\xFF");
  EXPECT_EQ(Command(p, "1$n123-456-32-18\r"), 0x6D);  // fiscal now
  EXPECT_TRUE(p.State().fiscal);
  Command(p, "1$n123-456-32-18\r");
  EXPECT_EQ(LastError(p), 13);
}

}  // namespace
}  // namespace ulvo
