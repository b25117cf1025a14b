#include "commands/core/programming_frames.h"

#include "common/text_helpers.h"
#include "link/frame.h"

namespace ulvo {

namespace {

constexpr std::uint8_t kNotCoded = 0;  // percentages and the NIP are not letter-coded

// The seven percentage texts as they reach the frame; refuses the list when one of them
// holds a character the frame cannot carry.
std::array<std::string, kRateCount> RateTexts(FrameList& list, const PtuRateFields& rates,
                                              bool altaInactive) {
  std::array<std::string, kRateCount> texts;
  for (int i = 0; i < kRateCount; ++i) {
    const PtuRateField& rate = rates[i];
    if (altaInactive && rate.state != PtuState::Taxed) {
      texts[i] = "-1.00";
      continue;
    }
    const char letter = static_cast<char>('A' + i);
    for (unsigned char c : rate.percent) {
      if (c == '/' || c < 0x20 || c == 0x7F) {
        list.error = std::string("Stawka PTU ") + letter + " zawiera " +
                     (c == '/' ? "znak \"/\"" : "znak sterujący") +
                     ", którego nie można wysłać w rozkazie. Rozkaz nie został wysłany.";
        return texts;
      }
    }
    texts[i] = list.Field(rate.percent, false, kNotCoded);
  }
  return texts;
}

std::array<int, kRateCount> StateCodes(const PtuRateFields& rates, bool withSurcharge) {
  std::array<int, kRateCount> codes{};
  for (int i = 0; i < kRateCount; ++i) {
    codes[i] = PtuStateCode(rates[i].state, withSurcharge && rates[i].surcharge);
  }
  return codes;
}

}  // namespace

const char* const kNipFormatQuestion =
    "Błędny format numeru NIP!\r\nPrzykładowe formaty NIP to:\r\n000-000-00-00\r\n"
    "000-00-00-000\r\nPL 000-000-00-00\r\n\r\n Czy przerwać?";
const char* const kNipChecksumQuestion = "Błędna suma kontrolna numeru NIP!\r\nCzy przerwać?\r\n";

PtuRateFields DefaultPtuRates() {
  return {{{"22.00", PtuState::Taxed, false},
           {"7.00", PtuState::Taxed, false},
           {"0.00", PtuState::Taxed, false},
           {"3.00", PtuState::Taxed, false},
           {"0.00", PtuState::Inactive, false},
           {"0.00", PtuState::Inactive, false},
           {"0.00", PtuState::Exempt, false}}};
}

int PtuStateCode(PtuState state, bool surcharge) {
  switch (state) {
    case PtuState::Taxed:
      return surcharge ? 5 : 1;
    case PtuState::Exempt:
      return surcharge ? 6 : 2;
    case PtuState::Inactive:
      break;
  }
  return 0;
}

FrameList BuildPtuRates(const PtuRateFields& rates, int printerType) {
  FrameList list;
  const bool alta = printerType == 0;
  const auto t = RateTexts(list, rates, alta);
  if (list.Refused()) return list;
  if (alta) {
    list.Add(true, "%cP7$p%s/%s/%s/%s/%s/%s/%s/xx%c%c", kEsc, t[0].c_str(), t[1].c_str(),
             t[2].c_str(), t[3].c_str(), t[4].c_str(), t[5].c_str(), t[6].c_str(), kEsc,
             kBackslash);
    return list;
  }
  const auto s = StateCodes(rates, false);
  list.Add(true, "%cP%d;%d;%d;%d;%d;%d;%d;%d$p%s/%s/%s/%s/%s/%s/%s/xx%c%c", kEsc, 7, s[0], s[1],
           s[2], s[3], s[4], s[5], s[6], t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str(),
           t[4].c_str(), t[5].c_str(), t[6].c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildPtuRatesBus(const PtuRateFields& rates, bool foreignTickets) {
  FrameList list;
  const auto t = RateTexts(list, rates, false);
  if (list.Refused()) return list;
  const auto s = StateCodes(rates, true);
  if (foreignTickets) {
    list.Add(true, "%cP%d;%d;%d;%d;%d;%d;%d;%d;%d$p%s/%s/%s/%s/%s/%s/%s/xx%c%c", kEsc, 8, s[0],
             s[1], s[2], s[3], s[4], s[5], s[6], 3, t[0].c_str(), t[1].c_str(), t[2].c_str(),
             t[3].c_str(), t[4].c_str(), t[5].c_str(), t[6].c_str(), kEsc, kBackslash);
  } else {
    list.Add(true, "%cP%d;%d;%d;%d;%d;%d;%d;%d$p%s/%s/%s/%s/%s/%s/%s/xx%c%c", kEsc, 7, s[0], s[1],
             s[2], s[3], s[4], s[5], s[6], t[0].c_str(), t[1].c_str(), t[2].c_str(), t[3].c_str(),
             t[4].c_str(), t[5].c_str(), t[6].c_str(), kEsc, kBackslash);
  }
  return list;
}

std::string NipText(std::string_view typed) {
  FieldText field;
  field.Assign(typed);
  std::string text = field.c_str();
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool NipFormatWrong(std::string_view nip) {
  if (!nip.empty() && nip.front() == 'P') {
    if (nip.substr(0, 3) != "PL ") return true;
    nip.remove_prefix(3);
  }
  for (char c : nip) {
    if ((c < '0' || c > '9') && c != '-') return true;
  }
  return nip.size() < 10 || nip.size() > 13;
}

bool NipChecksumWrong(std::string_view nip) {
  static constexpr int kWeights[9] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
  int digits[10];
  int count = 0;
  for (char c : nip) {
    if (c < '0' || c > '9') continue;
    digits[count++] = c - '0';
    if (count == 10) break;
  }
  if (count < 10) return true;
  int sum = 0;
  for (int i = 0; i < 9; ++i) sum += digits[i] * kWeights[i];
  return sum % 11 % 10 != digits[9];
}

FrameList BuildNipFrame(std::string_view nip) {
  FrameList list;
  const std::string text = list.Field(nip, false, kNotCoded);
  list.Add(true, "%cP%c$n%s\rxx%c%c", kEsc, '0', text.c_str(), kEsc, kBackslash);
  return list;
}

}  // namespace ulvo
