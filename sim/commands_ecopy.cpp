// Control-number checks of the electronic copy ($*): the data of a receipt or a daily report
// step by step, then the control number. The emulator checks the steps' order and form; a
// daily report's number is compared with the one computed from its own fiscal memory, a
// receipt's (it keeps no electronic copy of receipts) passes when well formed.

#include "sim/command_table.h"
#include "sim/fiscal_memory.h"

namespace ulvo {

namespace {

constexpr std::size_t kMaxItemName = 40;

bool Digits(std::string_view text, std::size_t min, std::size_t max) {
  if (text.size() < min || text.size() > max) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// "dd-mm-rrrr"
bool DateText(std::string_view t) {
  if (t.size() != 10 || t[2] != '-' || t[5] != '-') return false;
  if (!Digits(t.substr(0, 2), 2, 2) || !Digits(t.substr(3, 2), 2, 2) ||
      !Digits(t.substr(6, 4), 4, 4)) {
    return false;
  }
  auto number = [&](std::size_t at, std::size_t len) {
    return static_cast<int>(*ParseCount(t.substr(at, len)));
  };
  return ValidDateTime(number(6, 4), number(3, 2), number(0, 2), 0, 0, 0);
}

// "gg:mm:ss"
bool TimeText(std::string_view t) {
  if (t.size() != 8 || t[2] != ':' || t[5] != ':') return false;
  if (!Digits(t.substr(0, 2), 2, 2) || !Digits(t.substr(3, 2), 2, 2) ||
      !Digits(t.substr(6, 2), 2, 2)) {
    return false;
  }
  return ValidDateTime(2000, 1, 1, static_cast<int>(*ParseCount(t.substr(0, 2))),
                       static_cast<int>(*ParseCount(t.substr(3, 2))),
                       static_cast<int>(*ParseCount(t.substr(6, 2))));
}

// "ABC 12345678": three letters, a blank, eight digits.
bool UniqueText(std::string_view t) {
  if (t.size() != 12 || t[3] != ' ') return false;
  for (int i = 0; i < 3; ++i) {
    if (t[i] < 'A' || t[i] > 'Z') return false;
  }
  return Digits(t.substr(4), 8, 8);
}

bool ControlNumber(std::string_view t) {
  if (t.size() != 40) return false;
  for (char c : t) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// Reads exactly the given fields: each char of `ends` is the byte ending one field.
bool Fields(std::string_view args, std::string_view ends, std::vector<std::string_view>& out) {
  ArgReader reader(args);
  for (char end : ends) {
    std::optional<std::string_view> field = reader.Field(end);
    if (!field) return false;
    out.push_back(*field);
  }
  return reader.AtEnd();
}

int ControlNumberCheck(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (!s.variant.ecopy) return kErrUnknownCommand;
  if (p.size() != 1) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  std::vector<std::string_view> f;
  auto& stage = s.controlCheckStage;  // what the last accepted step was; -1 = none
  auto& kind = s.controlCheckKind;    // 'R' receipt, 'D' daily report, 0 = not yet known
  switch (p[0]) {
    case 0:  // date, document or report number
      if (!Fields(ctx.frame.args, "\r/", f)) return kErrParameterCount;
      if (!DateText(f[0]) || !Digits(f[1], 1, 9)) return kErrParameter;
      stage = 0;
      kind = 0;
      s.controlCheckReceiptSums = 0;
      s.controlCheckNumber = static_cast<long>(ParseCount(f[1]).value_or(0));
      return kCarriedOut;
    case 1:  // a receipt item
      if (stage < 0 || (kind != 0 && kind != 'R') || stage > 1) return kErrParameter;
      if (!Fields(ctx.frame.args, "\r/", f)) return kErrParameterCount;
      if (f[0].empty() || f[0].size() > kMaxItemName) return kErrName;
      if (f[1].size() != 1 || f[1][0] < 'A' || f[1][0] > 'G') return kErrPtu;
      kind = 'R';
      stage = 1;
      return kCarriedOut;
    case 2:  // receipt sums, number, unique number, time
      if (stage < 0 || (kind != 0 && kind != 'R') || stage > 1) return kErrParameter;
      if (!Fields(ctx.frame.args, "///\r\r", f)) return kErrParameterCount;
      if (!ParseGrosze(f[0]) || !ParseGrosze(f[1]) || !Digits(f[2], 1, 9)) return kErrParameter;
      if (!UniqueText(f[3]) || !TimeText(f[4])) return kErrParameter;
      kind = 'R';
      stage = 9;
      return kCarriedOut;
    case 3:  // a cancelled receipt: unique number digits and time
      if (stage < 0 || (kind != 0 && kind != 'R') || stage > 1) return kErrParameter;
      if (!Fields(ctx.frame.args, "\r\r", f)) return kErrParameterCount;
      if (!Digits(f[0], 8, 8) || !TimeText(f[1])) return kErrParameter;
      kind = 'R';
      stage = 9;
      return kCarriedOut;
    case 4:  // a report's letter and its net sales
      if (stage < 0 || (kind != 0 && kind != 'D') || stage > 4) return kErrParameter;
      if (!Fields(ctx.frame.args, "\r/", f)) return kErrParameterCount;
      if (f[0].size() != 1 || f[0][0] < 'A' || f[0][0] > 'G') return kErrPtu;
      if (!ParseGrosze(f[1])) return kErrParameter;
      kind = 'D';
      stage = 4;
      return kCarriedOut;
    case 5:  // total PTU, then the number of receipts
      if (stage < 0 || (kind != 0 && kind != 'D') || stage > 5) return kErrParameter;
      if (!Fields(ctx.frame.args, "/", f)) return kErrParameterCount;
      if (!ParseGrosze(f[0])) return kErrParameter;
      kind = 'D';
      if (++s.controlCheckReceiptSums > 2) return kErrParameter;
      stage = 5;
      return kCarriedOut;
    case 6:  // running PTU total: tens of millions, then the rest
      if (kind != 'D' || stage != 5 || s.controlCheckReceiptSums != 2) return kErrParameter;
      if (!Fields(ctx.frame.args, "//", f)) return kErrParameterCount;
      if (!Digits(f[0], 1, 9) || !ParseGrosze(f[1])) return kErrParameter;
      stage = 6;
      return kCarriedOut;
    case 7:  // unique number and "00:00:00"
      if (kind != 'D' || stage != 6) return kErrParameter;
      if (!Fields(ctx.frame.args, "\r\r", f)) return kErrParameterCount;
      if (!UniqueText(f[0]) || f[1] != "00:00:00") return kErrParameter;
      stage = 9;
      return kCarriedOut;
    case 10:  // the control number closes the check
      if (stage != 9) return kErrParameter;
      if (!Fields(ctx.frame.args, "\r", f)) return kErrParameterCount;
      if (!ControlNumber(f[0])) return kErrParameter;
      if (kind == 'D' &&
          FiscalControlNumber(s, static_cast<std::size_t>(s.controlCheckNumber)) != f[0]) {
        stage = -1;
        kind = 0;
        return kErrParameter;
      }
      stage = -1;
      kind = 0;
      Print(s, "Numer kontrolny poprawny");
      return kCarriedOut;
  }
  return kErrParameter;
}

}  // namespace

void AddEcopyCommands(CommandTable& table) {
  table.Add("$*", {CheckRule::kRequired, ControlNumberCheck, false});
}

}  // namespace ulvo
