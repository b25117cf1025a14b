#include "shell/core/main_window_logic.h"

#include <cstdio>

#include "common/money.h"
#include "link/link.h"

namespace ulvo {
namespace {

std::string Fixed2(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%3.2f", value);
  return text;
}

}  // namespace

PanelView NextPanelView(const PanelView& before, std::uint8_t portNumber,
                        std::uint8_t cashDataState, std::uint8_t replyReceived,
                        std::uint8_t lostPort) {
  PanelView view = before;
  const bool portChosen = portNumber != kNoPort;
  if (replyReceived == 1) view.noticeText.clear();
  if (cashDataState == 2 || !portChosen) {
    view.panelVisible = false;
    view.noticeVisible = false;
  }
  if (cashDataState == 1 && portChosen) {
    view.panelVisible = true;
    view.noticeVisible = false;
  }
  if (replyReceived == 0 && portChosen) {
    view.panelVisible = false;
    view.noticeVisible = true;
    view.noticeText = kNoReplyNotice;
  }
  if (lostPort != kNoPort) {
    view.panelVisible = false;
    view.noticeVisible = true;
    view.noticeText = LostPortNotice(lostPort);
  }
  return view;
}

std::string LostPortNotice(int port) {
  return "Utracono port COM" + std::to_string(port) +
         ". Podłącz drukarkę i naciśnij \"Pobierz dane\".";
}

std::array<std::string, 14> PanelTexts(const CashInfo& info, std::uint8_t printerType) {
  std::array<std::string, 14> texts;
  for (int i = 0; i < 7; ++i) {
    texts[i] = printerType == 2 ? FormatPtuRate(info.Ptu[i]) : Fixed2(info.Ptu[i]);
    texts[7 + i] = Fixed2(info.Totals[i]);
  }
  return texts;
}

int ReducedHeight(int fullHeight) {
  return static_cast<int>(fullHeight * 0.5684931506);
}

const char* ModelEntryCaption(ModelEntry entry) {
  switch (entry) {
    case ModelEntry::AltaAltaPlus:
      return "Alta, Alta Plus";
    case ModelEntry::AltaPro:
      return "Alta Pro";
    case ModelEntry::Mavito:
      return "Mavito";
    case ModelEntry::MavitoKopiaElektroniczna:
      return "Mavito z kopią elektroniczną";
    case ModelEntry::AltaBus:
      return "Alta Bus";
    case ModelEntry::MavitoBus:
      return "Mavito Bus";
  }
  return "";
}

ModelEntry ModelEntryFor(const Settings& s) {
  ModelEntry entry = ModelEntry::Mavito;
  if (s.PrinterType == 0) entry = ModelEntry::AltaAltaPlus;
  if (s.PrinterType == 1) entry = ModelEntry::AltaPro;
  if (s.PrinterType == 2) entry = ModelEntry::Mavito;
  if (s.BusMode && s.PrinterType == 1) entry = ModelEntry::AltaBus;
  if (s.BusMode && s.PrinterType == 2) entry = ModelEntry::MavitoBus;
  if (s.ElectronicCopy) entry = ModelEntry::MavitoKopiaElektroniczna;
  return entry;
}

void ApplyModelEntry(ModelEntry entry, Settings& s) {
  switch (entry) {
    case ModelEntry::AltaAltaPlus:
      s.PrinterType = 0;
      break;
    case ModelEntry::AltaPro:
    case ModelEntry::AltaBus:
      s.PrinterType = 1;
      break;
    case ModelEntry::Mavito:
    case ModelEntry::MavitoKopiaElektroniczna:
    case ModelEntry::MavitoBus:
      s.PrinterType = 2;
      break;
  }
  s.BusMode = entry == ModelEntry::AltaBus || entry == ModelEntry::MavitoBus;
  s.ElectronicCopy = entry == ModelEntry::MavitoKopiaElektroniczna;
}

std::string EmulatorModelNote(const Settings& emulated, const Settings& chosen) {
  const ModelEntry was = ModelEntryFor(emulated);
  if (ModelEntryFor(chosen) == was) return {};
  return std::string("Emulator drukarki uruchomiony przez ./run pozostaje drukarką \"") +
         ModelEntryCaption(was) +
         "\" aż do następnego uruchomienia ./run. Drukarka innego modelu nie będzie mu "
         "odpowiadać zgodnie z oczekiwaniami.";
}

}  // namespace ulvo
