#pragma once
// The main window's decisions that need no widgets: what a refresh shows, the texts of the
// "Dane z drukarki" panel, the printer-model entries, the reduced window height.

#include <array>
#include <cstdint>
#include <string>

#include "link/settings.h"

namespace ulvo {

struct CashInfo;

inline constexpr const char* kNoReplyNotice = "Brak odpowiedzi od drukarki.";

// What the panel and the notice show; a refresh starts from the previous view.
struct PanelView {
  bool panelVisible = false;
  bool noticeVisible = false;
  std::string noticeText;
};

// The refresh rules, in their order: a complete reply empties the notice; no data or no port
// hides both; fresh data shows the panel; an unanswered wait shows the notice instead; a lost
// port (`lostPort`, kNoPort when none) shows the lost-port notice instead of everything else.
PanelView NextPanelView(const PanelView& before, std::uint8_t portNumber,
                        std::uint8_t cashDataState, std::uint8_t replyReceived,
                        std::uint8_t lostPort = kNoPort);

// The notice for a port that went away: which port, and how to get it back.
std::string LostPortNotice(int port);

// The fourteen panel texts: PTU A..G, then TOT A..G. The Mavito family shows "ZWOLN" and
// "BRAK" for the rates 100 and 101; the Alta families show every rate as a number.
std::array<std::string, 14> PanelTexts(const CashInfo& info, std::uint8_t printerType);

// The height of the window while the console is hidden.
int ReducedHeight(int fullHeight);

// The six entries of the model dialog.
enum class ModelEntry : std::uint8_t {
  AltaAltaPlus,
  AltaPro,
  Mavito,
  MavitoKopiaElektroniczna,
  AltaBus,
  MavitoBus,
};
constexpr int kModelEntryCount = 6;

// "Alta, Alta Plus", "Alta Pro", "Mavito", "Mavito z kopią elektroniczną", "Alta Bus",
// "Mavito Bus".
const char* ModelEntryCaption(ModelEntry entry);

// The entry checked when the dialog opens (the last of the matching rules wins).
ModelEntry ModelEntryFor(const Settings& settings);

// Sets PrinterType, BusMode and ElectronicCopy from the chosen entry.
void ApplyModelEntry(ModelEntry entry, Settings& settings);

// The note shown when the chosen model is not the one the emulator started by ./run plays
// (`emulated`: the model at start); empty when the two agree.
std::string EmulatorModelNote(const Settings& emulated, const Settings& chosen);

}  // namespace ulvo
