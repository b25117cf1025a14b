#pragma once
// The PTU rate frames ("$p") and the NIP checks and frame ("$n") of the service programming
// dialogs. Text values are UTF-8 as the widgets hold them.

#include <array>
#include <string>
#include <string_view>

#include "link/frame_list.h"

namespace ulvo {

constexpr int kRateCount = 7;  // A..G

enum class PtuState { Taxed, Exempt, Inactive };  // "Opodatkowana", "Zwolniona", "Nieaktywna"

struct PtuRateField {
  std::string percent;  // as typed, "." as the decimal point
  PtuState state = PtuState::Taxed;
  bool surcharge = false;  // "Dopłata" (bus dialog only)
};
using PtuRateFields = std::array<PtuRateField, kRateCount>;

// The rates when the program starts: A 22.00, B 7.00, C 0.00, D 3.00 taxed; E, F inactive;
// G exempt.
PtuRateFields DefaultPtuRates();

// The state's code in the frame: 0 inactive, 1 taxed, 2 exempt; with a surcharge 5 and 6.
int PtuStateCode(PtuState state, bool surcharge);

// TProgramowanieStawek. Alta Pro and Mavito: "P7;<states>$p<rates>/"; Alta and Alta Plus
// (printer type 0): "P7$p<rates>/" with "-1.00" for an inactive rate. Percentages go as typed
// (the printer judges them), but a "/" or a control character in one would shift the rates
// after it and refuses the command.
FrameList BuildPtuRates(const PtuRateFields& rates, int printerType);

// TProgramowanieStawekPTUBus: states with the surcharge codes; with foreign tickets ("TAK")
// an eighth rate with state 3 and no percentage.
FrameList BuildPtuRatesBus(const PtuRateFields& rates, bool foreignTickets);

// The NIP as the dialog takes it: at most 49 characters, trailing spaces removed.
std::string NipText(std::string_view typed);

// True when the format is wrong: an optional "PL " prefix, then 10 to 13 digits and dashes.
bool NipFormatWrong(std::string_view nip);

// True when the checksum is wrong: (sum of the first nine digits times 6 5 7 2 3 4 5 6 7)
// mod 11 mod 10 must equal the tenth digit. A text with fewer than ten digits is wrong.
bool NipChecksumWrong(std::string_view nip);

// TProgramowanieNIP in training mode: "P0$n<nip>CR".
FrameList BuildNipFrame(std::string_view nip);

// The questions asked when a test fails; Yes stops.
extern const char* const kNipFormatQuestion;
extern const char* const kNipChecksumQuestion;

}  // namespace ulvo
