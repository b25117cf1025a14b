// Configuration options: each command sets one value that the settings query reports back.

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr std::size_t kMaxTypeVersionText = 40;
constexpr std::size_t kMaxPhoneText = 20;

// The single parameter of an option command, within [min, max].
int OneValue(const CommandContext& ctx, long min, long max, long& value) {
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  if (ctx.frame.params.size() != 1 || !ctx.frame.args.empty()) return kErrParameterCount;
  value = ctx.frame.params[0];
  if (value < min || value > max) return kErrParameter;
  return kCarriedOut;
}

template <int kIndex, long kMin, long kMax>
int SetOption(CommandContext& ctx) {
  long value = 0;
  if (int err = OneValue(ctx, kMin, kMax, value); err != kCarriedOut) return err;
  ctx.state.options[kIndex] = static_cast<std::uint16_t>(value);
  return kCarriedOut;
}

void SetFlag(PrinterState& s, std::uint16_t flag, bool on) {
  if (on) {
    s.options[kOptFlags] |= flag;
  } else {
    s.options[kOptFlags] &= static_cast<std::uint16_t>(~flag);
  }
}

// Cover sensor (0..2), or on electronic-copy printers also the print speed (8..10).
int CoverOrSpeed(CommandContext& ctx) {
  long value = 0;
  if (int err = OneValue(ctx, 0, 10, value); err != kCarriedOut) return err;
  if (value <= 2) {
    ctx.state.options[kOptCoverSensor] = static_cast<std::uint16_t>(value);
  } else if (value >= 8 && ctx.state.variant.ecopy) {
    ctx.state.printSpeed = static_cast<int>(value);
  } else {
    return kErrParameter;
  }
  return kCarriedOut;
}

int ErrorMode(CommandContext& ctx) {
  long value = 0;
  long max = ctx.state.variant.family == PrinterFamily::kAlta ? 1 : 3;
  if (int err = OneValue(ctx, 0, max, value); err != kCarriedOut) return err;
  ctx.state.options[kOptErrorMode] = static_cast<std::uint16_t>(value);
  return kCarriedOut;
}

int DrawerAfterTransaction(CommandContext& ctx) {
  long value = 0;
  if (int err = OneValue(ctx, 0, 1, value); err != kCarriedOut) return err;
  SetFlag(ctx.state, kFlagDrawerAfterTransaction, value == 1);
  return kCarriedOut;
}

// 1 = the POSNET rule (flag clear), 0 = the older ULVO rule.
int SystemNumberRule(CommandContext& ctx) {
  long value = 0;
  if (int err = OneValue(ctx, 0, 1, value); err != kCarriedOut) return err;
  SetFlag(ctx.state, kFlagSystemNumberUlvo, value == 0);
  return kCarriedOut;
}

// 1 = method 1, 0 = method 2.
int DiscountMethod(CommandContext& ctx) {
  long value = 0;
  if (int err = OneValue(ctx, 0, 1, value); err != kCarriedOut) return err;
  SetFlag(ctx.state, kFlagDiscountMethod1, value == 1);
  SetFlag(ctx.state, kFlagDiscountMethod2, value == 0);
  return kCarriedOut;
}

// "P2;on$o": monthly report reminder; "P0;on;yy;mm;dd$o<phone>CR": service visit reminder.
int Reminders(CommandContext& ctx) {
  const auto& p = ctx.frame.params;
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  if (p.empty()) return kErrParameterCount;
  if (p[0] == 2) {
    if (p.size() != 2 || !ctx.frame.args.empty()) return kErrParameterCount;
    if (p[1] > 1) return kErrParameter;
    ctx.state.options[kOptMonthlyReminder] = static_cast<std::uint16_t>(p[1]);
    return kCarriedOut;
  }
  if (p[0] != 0) return kErrParameter;
  if (p.size() != 5) return kErrParameterCount;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> phone = args.Field('\r');
  if (!phone || !args.AtEnd()) return kErrParameterCount;
  if (p[1] > 1 || phone->size() > kMaxPhoneText) return kErrParameter;
  if (p[1] == 1 && !ValidDateTime(2000 + static_cast<int>(p[2]), static_cast<int>(p[3]),
                                  static_cast<int>(p[4]), 0, 0, 0)) {
    return kErrBadDate;
  }
  ctx.state.serviceReminder = p[1] == 1;
  ctx.state.serviceYear = static_cast<int>(p[2]);
  ctx.state.serviceMonth = static_cast<int>(p[3]);
  ctx.state.serviceDay = static_cast<int>(p[4]);
  ctx.state.servicePhone = std::string(*phone);
  return kCarriedOut;
}

// Custom answer to the type query; an empty text brings the default back.
int SetTypeVersion(CommandContext& ctx) {
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  if (!ctx.frame.params.empty()) return kErrParameterCount;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> text = args.Field('\r');
  if (!text || !args.AtEnd()) return kErrParameterCount;
  if (text->size() > kMaxTypeVersionText) return kErrParameter;
  for (char c : *text) {
    if (static_cast<unsigned char>(c) < 0x20) return kErrParameter;
  }
  ctx.state.typeVersionText = std::string(*text);
  return kCarriedOut;
}

}  // namespace

void AddConfigCommands(CommandTable& table) {
  table.Add("$1", {CheckRule::kRequired, SetOption<kOptLetterCoding, 0, 3>, false});
  table.Add("$2", {CheckRule::kRequired, SetOption<kOptDrawerPulse, 100, 255>, false});
  table.Add("$3", {CheckRule::kRequired, SetOption<kOptCopyMode, 1, 3>, false});
  table.Add("$5", {CheckRule::kRequired, SetOption<kOptWinderPulse, 0, 50>, false});
  table.Add("$6", {CheckRule::kRequired, CoverOrSpeed, false});
  table.Add("$7", {CheckRule::kRequired, SetOption<kOptResponseTime, 0, 2>, false});
  table.Add("$9", {CheckRule::kRequired, SetOption<kOptDepositMode, 0, 1>, false});
  table.Add("$!", {CheckRule::kRequired, DrawerAfterTransaction, false});
  table.Add("$@", {CheckRule::kRequired, SystemNumberRule, false});
  table.Add("$r", {CheckRule::kRequired, DiscountMethod, false});
  table.Add("#e", {CheckRule::kRequired, ErrorMode, false});
  table.Add("$o", {CheckRule::kRequired, Reminders, false});
  table.Add("$#", {CheckRule::kRequired, SetTypeVersion, false});
}

}  // namespace ulvo
