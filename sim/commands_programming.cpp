// Service programming: PTU rates ($p), the header ($f) and the NIP ($n).

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr int kMaxPtuChanges = 30;
constexpr int kMaxHeaderLines = 10;
constexpr int kMaxRate = 9999;  // 99.99 %
constexpr char kSo = 0x0E;
constexpr char kDc4 = 0x14;

bool TotalsEmpty(const PrinterState& s) {
  for (std::int64_t t : s.totals) {
    if (t != 0) return false;
  }
  return true;
}

// A percentage as typed ("22.00", "7", "0.5"); hundredths, or empty.
std::optional<int> ParseRate(std::string_view text) {
  std::optional<std::int64_t> v = ParseGrosze(text);
  if (!v || *v > kMaxRate) return std::nullopt;
  return static_cast<int>(*v);
}

// Alta: "P7$p<r>/..x7" with "-1.00" for a rate out of use.
// Alta Pro, Mavito: "P7;<state>x7$p<r>/..x7", state 0 out of use, 1 taxed, 2 exempt, and on
// bus printers 5 and 6 for taxed and exempt with a surcharge; "P8;...;3" adds the rate for
// foreign tickets, which has no percentage.
int ProgramPtu(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (s.inTransaction) return kErrDuringTransaction;
  bool alta = s.variant.family == PrinterFamily::kAlta;
  if (p.empty()) return kErrParameterCount;
  std::size_t count = static_cast<std::size_t>(p[0]);
  bool foreign = false;
  if (alta) {
    if (p.size() != 1 || count != kPtuCount) return 11;
  } else {
    if (count == kPtuCount + 1 && s.variant.bus) {
      foreign = true;
      if (p.size() != count + 1 || p[count] != 3) return 11;
    } else if (count != kPtuCount || p.size() != count + 1) {
      return 11;
    }
  }
  std::array<int, kPtuCount> rates{};
  std::array<bool, kPtuCount> surcharge{};
  ArgReader args(ctx.frame.args);
  for (int i = 0; i < kPtuCount; ++i) {
    std::optional<std::string_view> text = args.Field('/');
    if (!text) return 11;
    if (alta) {
      if (*text == "-1.00" || *text == "-1") {
        rates[i] = kPtuNotUsed;
        continue;
      }
      std::optional<int> rate = ParseRate(*text);
      if (!rate) return 11;
      rates[i] = *rate;
      continue;
    }
    long state = p[1 + i];
    bool bus = s.variant.bus;
    if (state == 0) {
      rates[i] = kPtuNotUsed;
    } else if (state == 2 || (bus && state == 6)) {
      rates[i] = kPtuTaxFree;
    } else if (state == 1 || (bus && state == 5)) {
      std::optional<int> rate = ParseRate(*text);
      if (!rate) return 11;
      rates[i] = *rate;
    } else {
      return kErrPtu;
    }
    surcharge[i] = state == 5 || state == 6;
  }
  if (!args.AtEnd()) return 11;
  if (rates == s.ptu && surcharge == s.ptuSurcharge && foreign == s.foreignTicketRate) return 131;
  if (!TotalsEmpty(s)) return 8;  // rates change only after the daily report
  if (s.ptuChanges >= kMaxPtuChanges) return 142;
  s.ptu = rates;
  s.ptuSurcharge = surcharge;
  s.foreignTicketRate = foreign;
  ++s.ptuChanges;
  Print(s, "Zmiana stawek PTU");
  return kCarriedOut;
}

// "P<method>$f<lines, each ended by LF><0xFF>": the lines must fit the paper, counting
// double-width characters (between SO and DC4) twice.
int ProgramHeader(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p.size() != 1) return kErrParameterCount;
  if (p[0] != 0 && p[0] != 1 && p[0] != 20) return kErrParameter;
  std::string_view text = ctx.frame.args;
  if (text.empty() || static_cast<unsigned char>(text.back()) != 0xFF) return 12;
  text.remove_suffix(1);
  bool alta = s.variant.family == PrinterFamily::kAlta;
  int width = alta ? 24 : 42;
  int lines = 0, column = 0;
  bool wide = false;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\n') {
      ++lines;
      column = 0;
      wide = false;
    } else if ((c == kSo || c == kDc4) && !alta) {
      wide = c == kSo;
    } else if (u < 0x20 || u == 0xFF) {
      return 12;
    } else {
      column += wide ? 2 : 1;
      if (column > width) return 12;
    }
  }
  if (column > 0) ++lines;  // a last line without its LF still prints
  if (lines > kMaxHeaderLines) return 12;
  s.header = std::string(text);
  s.headerMethod = static_cast<int>(p[0]);
  Print(s, "Nagłówek");
  return kCarriedOut;
}

// The ten digits of a NIP written "0000000000", with dashes, or after "PL ".
std::optional<std::string> NipDigits(std::string_view text) {
  if (text.substr(0, 3) == "PL ") text.remove_prefix(3);
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digits.push_back(c);
    } else if (c != '-') {
      return std::nullopt;
    }
  }
  if (digits.size() != 10) return std::nullopt;
  static constexpr int kWeights[] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
  int sum = 0;
  for (int i = 0; i < 9; ++i) sum += (digits[i] - '0') * kWeights[i];
  if (sum % 11 % 10 != digits[9] - '0') return std::nullopt;
  return digits;
}

// "P0$n<nip>CR" programs the NIP for training; "P1$n<nip>CR" fiscalises the printer.
int ProgramNip(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p.size() != 1) return kErrParameterCount;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> text = args.Field('\r');
  if (!text || !args.AtEnd()) return kErrParameterCount;
  if (p[0] > 1) return kErrParameter;
  if (!NipDigits(*text)) return 143;
  if (p[0] == 0) {
    // Like the fiscal one, the training NIP is programmed once.
    if (!s.trainingNip.empty()) return 144;
    s.trainingNip = std::string(*text);
    Print(s, "Programowanie NIP (tryb szkoleniowy)");
    return kCarriedOut;
  }
  if (s.fiscal) return 13;
  if (!s.nip.empty()) return 144;
  if (s.header.empty()) return 147;
  if (s.uniqueNumber == std::string(11, ' ')) return 145;
  s.nip = std::string(*text);
  s.fiscal = true;
  Print(s, "Fiskalizacja");
  return kCarriedOut;
}

}  // namespace

std::string WithHeader(const PrinterState& state, std::string_view title) {
  std::string out;
  for (char c : state.header) {
    if (c != kSo && c != kDc4) out.push_back(c);
  }
  out += title;
  return out;
}

void AddProgrammingCommands(CommandTable& table) {
  table.Add("$p", {CheckRule::kRequired, ProgramPtu, false});
  table.Add("$f", {CheckRule::kRequired, ProgramHeader, false});
  table.Add("$n", {CheckRule::kRequired, ProgramNip, false});
}

}  // namespace ulvo
