#include "shell/core/main_window_logic.h"

#include <gtest/gtest.h>

#include "link/link.h"

namespace ulvo {
namespace {

constexpr std::uint8_t kPort = 1;

TEST(PanelView, HiddenBeforeAnythingWasAsked) {
  const PanelView v = NextPanelView({}, kPort, 2, 255);
  EXPECT_FALSE(v.panelVisible);
  EXPECT_FALSE(v.noticeVisible);
}

TEST(PanelView, ShownAfterCashDataWasRead) {
  const PanelView v = NextPanelView({}, kPort, 1, 1);
  EXPECT_TRUE(v.panelVisible);
  EXPECT_FALSE(v.noticeVisible);
}

TEST(PanelView, UnansweredWaitReplacesPanelWithNotice) {
  PanelView v = NextPanelView({}, kPort, 1, 1);
  v = NextPanelView(v, kPort, 1, 0);
  EXPECT_FALSE(v.panelVisible);
  EXPECT_TRUE(v.noticeVisible);
  EXPECT_EQ(v.noticeText, "Brak odpowiedzi od drukarki.");
  // Even when the cash data was never read.
  v = NextPanelView({}, kPort, 2, 0);
  EXPECT_TRUE(v.noticeVisible);
}

TEST(PanelView, CompleteReplyEmptiesNoticeAndFreshDataShowsPanel) {
  PanelView v = NextPanelView({}, kPort, 0, 0);
  v = NextPanelView(v, kPort, 1, 1);
  EXPECT_TRUE(v.noticeText.empty());
  EXPECT_TRUE(v.panelVisible);
}

TEST(PanelView, NoPortHidesEverything) {
  PanelView v = NextPanelView({}, kPort, 1, 1);
  v = NextPanelView(v, kNoPort, 1, 0);
  EXPECT_FALSE(v.panelVisible);
  EXPECT_FALSE(v.noticeVisible);
}

TEST(PanelView, LostPortShowsWhereItWasInsteadOfThePanelUntilItIsBack) {
  PanelView v = NextPanelView({}, kPort, 1, 1);
  v = NextPanelView(v, kPort, 1, 1, kPort);
  EXPECT_FALSE(v.panelVisible);
  EXPECT_TRUE(v.noticeVisible);
  EXPECT_NE(v.noticeText.find("COM" + std::to_string(kPort)), std::string::npos);
  EXPECT_NE(v.noticeText.find("Pobierz dane"), std::string::npos);
  v = NextPanelView(v, kPort, 1, 1);
  EXPECT_TRUE(v.panelVisible);
  EXPECT_TRUE(v.noticeText.empty());
}

TEST(PanelView, FailedReadWithAReplyKeepsWhatWasShown) {
  PanelView shown = NextPanelView({}, kPort, 1, 1);
  PanelView v = NextPanelView(shown, kPort, 0, 1);
  EXPECT_TRUE(v.panelVisible);
}

TEST(PanelTexts, MavitoShowsExemptAndMissingRatesByName) {
  CashInfo info;
  info.Ptu[0] = 23;
  info.Ptu[1] = 100;
  info.Ptu[2] = 101;
  info.Ptu[3] = 5.5;
  info.Totals[0] = 12.345;
  info.Totals[6] = 1000;
  const auto t = PanelTexts(info, 2);
  EXPECT_EQ(t[0], "23.00");
  EXPECT_EQ(t[1], "ZWOLN");
  EXPECT_EQ(t[2], "BRAK");
  EXPECT_EQ(t[3], "5.50");
  EXPECT_EQ(t[7], "12.35");
  EXPECT_EQ(t[13], "1000.00");
}

TEST(PanelTexts, AltaShowsEveryRateAsANumber) {
  CashInfo info;
  info.Ptu[1] = 100;
  info.Ptu[2] = 101;
  for (std::uint8_t type : {0, 1}) {
    const auto t = PanelTexts(info, type);
    EXPECT_EQ(t[1], "100.00");
    EXPECT_EQ(t[2], "101.00");
    EXPECT_EQ(t[8], "0.00");
  }
}

TEST(WindowHeight, ReducedHeightIsTruncated) {
  EXPECT_EQ(ReducedHeight(730), 414);  // 414.99999 truncated
  EXPECT_EQ(ReducedHeight(760), 432);
  EXPECT_EQ(ReducedHeight(0), 0);
}

TEST(ModelEntry, PreselectionFollowsTheSettings) {
  Settings s;
  EXPECT_EQ(ModelEntryFor(s), ModelEntry::Mavito);
  s.PrinterType = 0;
  EXPECT_EQ(ModelEntryFor(s), ModelEntry::AltaAltaPlus);
  s.PrinterType = 1;
  EXPECT_EQ(ModelEntryFor(s), ModelEntry::AltaPro);
  s.BusMode = 1;
  EXPECT_EQ(ModelEntryFor(s), ModelEntry::AltaBus);
  s.PrinterType = 2;
  EXPECT_EQ(ModelEntryFor(s), ModelEntry::MavitoBus);
  // A file may name both variants: the electronic copy is checked last and wins.
  s.ElectronicCopy = 1;
  EXPECT_EQ(ModelEntryFor(s), ModelEntry::MavitoKopiaElektroniczna);
}

TEST(ModelEntry, ApplyingSetsFamilyAndOneVariant) {
  Settings s;
  ApplyModelEntry(ModelEntry::AltaBus, s);
  EXPECT_EQ(s.PrinterType, 1);
  EXPECT_TRUE(s.BusMode);
  EXPECT_FALSE(s.ElectronicCopy);
  EXPECT_NE(MainWindowCaption(s).find("Alta Pro Bus"), std::string::npos);
  ApplyModelEntry(ModelEntry::MavitoKopiaElektroniczna, s);
  EXPECT_EQ(s.PrinterType, 2);
  EXPECT_FALSE(s.BusMode);
  EXPECT_TRUE(s.ElectronicCopy);
  ApplyModelEntry(ModelEntry::AltaAltaPlus, s);
  EXPECT_EQ(s.PrinterType, 0);
  EXPECT_FALSE(s.BusMode);
  EXPECT_FALSE(s.ElectronicCopy);
  EXPECT_STREQ(ModelEntryCaption(ModelEntry::MavitoKopiaElektroniczna),
               "Mavito z kopią elektroniczną");
}

TEST(ModelEntry, EmulatorNoteOnlyWhenTheModelDiffersFromTheEmulators) {
  Settings emulated;  // a Mavito
  Settings chosen = emulated;
  chosen.PortNumber = 3;  // port or coding changes are no model change
  EXPECT_EQ(EmulatorModelNote(emulated, chosen), "");
  ApplyModelEntry(ModelEntry::AltaPro, chosen);
  const std::string note = EmulatorModelNote(emulated, chosen);
  EXPECT_NE(note.find("\"Mavito\""), std::string::npos) << note;
  EXPECT_NE(note.find("./run"), std::string::npos);
}

}  // namespace
}  // namespace ulvo
