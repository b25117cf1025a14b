// PTU rate frames and the NIP checks and frame.

#include <gtest/gtest.h>

#include <string>

#include "commands/core/programming_frames.h"

namespace ulvo {
namespace {

// The frame between ESC and its two check digits.
std::string Body(const std::string& frame) {
  return frame.size() < 5 ? std::string() : frame.substr(1, frame.size() - 5);
}

std::string Single(const FrameList& list) {
  EXPECT_FALSE(list.Refused()) << list.error;
  EXPECT_EQ(list.frames.size(), 1u);
  return list.frames.empty() ? std::string() : list.frames.front();
}

TEST(PtuFrames, DefaultsOnMavitoAndAltaProSendStatesAndRates) {
  const std::string frame = Single(BuildPtuRates(DefaultPtuRates(), 2));
  EXPECT_EQ(frame, "\x1BP7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/90\x1B\\");
  EXPECT_EQ(Single(BuildPtuRates(DefaultPtuRates(), 1)), frame);
}

TEST(PtuFrames, AltaSendsMinusOneForRatesOutOfUse) {
  PtuRateFields rates = DefaultPtuRates();
  rates[6].state = PtuState::Inactive;  // the dialog turns exempt rates inactive on show
  EXPECT_EQ(Single(BuildPtuRates(rates, 0)),
            "\x1BP7$p22.00/7.00/0.00/3.00/-1.00/-1.00/-1.00/B5\x1B\\");
  // Whatever the field of an inactive rate holds.
  rates[4].percent = "abc/";
  EXPECT_EQ(Body(Single(BuildPtuRates(rates, 0))), "P7$p22.00/7.00/0.00/3.00/-1.00/-1.00/-1.00/");
}

TEST(PtuFrames, BusDialogSurchargeCodesAndForeignTickets) {
  PtuRateFields rates = DefaultPtuRates();
  rates[0].surcharge = true;
  EXPECT_EQ(Single(BuildPtuRatesBus(rates, true)),
            "\x1BP8;5;1;1;1;0;0;2;3$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/93\x1B\\");
  // A surcharge on an exempt rate gives 6; on an inactive one it stays 0.
  rates[6].surcharge = true;
  rates[4].surcharge = true;
  EXPECT_EQ(Body(Single(BuildPtuRatesBus(rates, false))),
            "P7;5;1;1;1;0;0;6$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
  // The plain dialog knows no surcharge.
  EXPECT_EQ(Body(Single(BuildPtuRates(rates, 2))),
            "P7;1;1;1;1;0;0;2$p22.00/7.00/0.00/3.00/0.00/0.00/0.00/");
}

TEST(PtuFrames, PercentagesGoAsTyped) {
  PtuRateFields rates = DefaultPtuRates();
  rates[0].percent = "";
  rates[1].percent = "abc";
  rates[2].percent = "150";
  rates[3].percent = std::string(60, '9');  // cut to 49 like every field
  EXPECT_EQ(Body(Single(BuildPtuRates(rates, 2))),
            "P7;1;1;1;1;0;0;2$p/abc/150/" + std::string(49, '9') + "/0.00/0.00/0.00/");
}

TEST(PtuFrames, CharacterThatWouldShiftTheRatesIsRefusedNamingTheRate) {
  struct Case {
    int index;
    const char* text;
    const char* part;
  } cases[] = {
      {1, "7/00", "Stawka PTU B zawiera znak \"/\""},
      {6, "0\r", "Stawka PTU G zawiera znak sterujący"},
      {0, "\t22", "Stawka PTU A zawiera znak sterujący"},
  };
  for (const Case& c : cases) {
    PtuRateFields rates = DefaultPtuRates();
    rates[c.index].percent = c.text;
    for (const FrameList& list : {BuildPtuRates(rates, 2), BuildPtuRatesBus(rates, false)}) {
      EXPECT_TRUE(list.frames.empty());
      EXPECT_NE(list.error.find(c.part), std::string::npos) << list.error;
    }
  }
}

TEST(PtuFrames, StateCodes) {
  EXPECT_EQ(PtuStateCode(PtuState::Inactive, false), 0);
  EXPECT_EQ(PtuStateCode(PtuState::Inactive, true), 0);
  EXPECT_EQ(PtuStateCode(PtuState::Taxed, false), 1);
  EXPECT_EQ(PtuStateCode(PtuState::Taxed, true), 5);
  EXPECT_EQ(PtuStateCode(PtuState::Exempt, false), 2);
  EXPECT_EQ(PtuStateCode(PtuState::Exempt, true), 6);
}

TEST(Nip, FormatAndChecksum) {
  struct Case {
    const char* nip;
    bool formatWrong, checksumWrong;
  } cases[] = {
      {"123-456-32-18", false, false},
      {"PL 123-456-32-18", false, false},
      {"1234563218", false, false},
      {"123-45-63-218", false, false},
      {"123-456-32-19", false, true},
      {"123456321", true, true},       // nine digits
      {"PL1234563218", true, false},   // prefix without its space
      {"123 456 32 18", true, false},  // digits grouped by spaces
      {" 1234563218", true, false},    // a leading space
      {"Pl 1234563218", true, false},
      {"123-456-32-18-0", true, false},  // 15 characters
      {"----------", false, true},       // no digits: no tenth digit
      {"12-3-4-5-6-78", false, true},    // eight digits within 13 characters
      {"1234567891123", false, true},    // 13 digits: the first ten count
      {"1234567890123", false, false},   // 230 mod 11 = 10: control 0
      {"0000000000", false, false},
      // 1,0,0,0,0,0,0,0,1: 6 + 7 = 13 -> 2
      {"1000000012", false, false},
      // 2 * 5 = 10: remainder 10 gives control 0.
      {"0200000000", false, false},
      {"0200000001", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NipFormatWrong(c.nip), c.formatWrong) << c.nip;
    EXPECT_EQ(NipChecksumWrong(c.nip), c.checksumWrong) << c.nip;
  }
}

TEST(Nip, TextKeepsEverythingButTrailingSpaces) {
  EXPECT_EQ(NipText("PL 123-456-32-18   "), "PL 123-456-32-18");
  EXPECT_EQ(NipText("  1234563218"), "  1234563218");
  EXPECT_EQ(NipText(std::string(60, '1')), std::string(49, '1'));
  EXPECT_EQ(NipText(std::string(48, '1') + "  x"), std::string(48, '1'));  // cut, then trimmed
  EXPECT_FALSE(NipFormatWrong(NipText("123-456-32-18 ")));
}

TEST(Nip, FrameInTrainingMode) {
  EXPECT_EQ(Single(BuildNipFrame("123-456-32-18")), "\x1BP0$n123-456-32-18\rAA\x1B\\");
  EXPECT_EQ(Body(Single(BuildNipFrame("PL 123-456-32-18"))), "P0$nPL 123-456-32-18\r");
  EXPECT_EQ(Body(Single(BuildNipFrame(""))), "P0$n\r");
}

}  // namespace
}  // namespace ulvo
