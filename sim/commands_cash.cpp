// Cashier, cash drawer, display and paper commands.

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr std::size_t kMaxCashierText = 32;
constexpr std::size_t kMaxRegisterText = 8;
constexpr std::size_t kMaxShiftText = 8;
constexpr std::size_t kMaxDisplayText = 250;
constexpr long kMaxFeedLines = 255;
constexpr std::int64_t kMaxCash = 99'999'999'99;  // 99 999 999.99: the cash register's limit

// The two CR-ended texts of the cashier commands.
int TwoTexts(const CommandContext& ctx, std::string_view& first, std::string_view& second) {
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> a = args.Field('\r');
  std::optional<std::string_view> b = args.Field('\r');
  if (!a || !b || !args.AtEnd()) return kErrParameterCount;
  first = *a;
  second = *b;
  return kCarriedOut;
}

int Login(CommandContext& ctx) {
  if (!ctx.frame.params.empty()) return kErrParameterCount;
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  std::string_view cashier, number;
  if (int err = TwoTexts(ctx, cashier, number); err != kCarriedOut) return err;
  if (cashier.empty() || cashier.size() > kMaxCashierText) return kErrCashier;
  if (number.size() > kMaxRegisterText) return 41;
  ctx.state.cashier = std::string(cashier);
  ctx.state.registerNumber = std::string(number);
  ctx.state.cashierLoggedIn = true;
  Print(ctx.state, "Logowanie kasjera");
  return kCarriedOut;
}

int Logout(CommandContext& ctx) {
  if (!ctx.frame.params.empty()) return kErrParameterCount;
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  std::string_view cashier, number;
  if (int err = TwoTexts(ctx, cashier, number); err != kCarriedOut) return err;
  if (cashier.size() > kMaxCashierText) return kErrCashier;
  if (number.size() > kMaxRegisterText) return 41;
  ctx.state.cashierLoggedIn = false;
  ctx.state.cashier.clear();
  ctx.state.registerNumber.clear();
  Print(ctx.state, "Wylogowanie kasjera");
  return kCarriedOut;
}

// The amount of "#i" and "#d": one '/'-ended field.
int CashAmount(const CommandContext& ctx, std::int64_t& amount) {
  if (!ctx.frame.params.empty()) return kErrParameterCount;
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> text = args.Field('/');
  if (!text || !args.AtEnd()) return kErrParameterCount;
  std::optional<std::int64_t> value = ParseGrosze(*text);
  if (!value) return kErrCashAmount;
  amount = *value;
  return kCarriedOut;
}

int CashIn(CommandContext& ctx) {
  std::int64_t amount = 0;
  if (int err = CashAmount(ctx, amount); err != kCarriedOut) return err;
  if (amount > kMaxCash - ctx.state.cash) return 31;
  ctx.state.cash += amount;
  Print(ctx.state, "Wpłata do kasy " + FormatGrosze(amount));
  return kCarriedOut;
}

// Taking out more than the drawer holds is refused and the cash stays as it was.
int CashOut(CommandContext& ctx) {
  std::int64_t amount = 0;
  if (int err = CashAmount(ctx, amount); err != kCarriedOut) return err;
  if (amount > ctx.state.cash) return kErrCashNegative;
  ctx.state.cash -= amount;
  Print(ctx.state, "Wypłata z kasy " + FormatGrosze(amount));
  return kCarriedOut;
}

int CashState(CommandContext& ctx) {
  if (ctx.frame.params.size() > 1 || !ctx.frame.args.empty()) return kErrParameterCount;
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  Print(ctx.state, "Stan kasy " + FormatGrosze(ctx.state.cash));
  return kCarriedOut;
}

// "P0#k" is the zeroing shift report, "P23#k" the one that leaves the counters alone.
int ShiftReport(CommandContext& ctx) {
  if (ctx.frame.params.size() != 1) return kErrParameterCount;
  if (ctx.state.inTransaction) return kErrDuringTransaction;
  long kind = ctx.frame.params[0];
  if (kind != 0 && kind != 23) return kErrParameter;
  std::string_view shift, cashier;
  if (int err = TwoTexts(ctx, shift, cashier); err != kCarriedOut) return err;
  if (shift.size() > kMaxShiftText) return kErrShiftText;
  if (cashier.size() > kMaxCashierText) return kErrCashier;
  Print(ctx.state, kind == 0 ? "Raport zmiany zerujący" : "Raport zmiany");
  return kCarriedOut;
}

int PaperFeed(CommandContext& ctx) {
  if (ctx.frame.params.size() == 4) return OrderCommand(ctx);
  if (ctx.frame.params.size() != 1 || !ctx.frame.args.empty()) return kErrParameterCount;
  if (ctx.frame.params[0] > kMaxFeedLines) return kErrParameter;
  ctx.state.linesFed += static_cast<int>(ctx.frame.params[0]);
  return kCarriedOut;
}

// "P<n>$d" [0xFF text]: 1 drawer, 2 both displays, 5 operator display, 3 clock, 4 cash mode.
int DisplayAndDrawer(CommandContext& ctx) {
  if (ctx.frame.params.size() != 1) return kErrParameterCount;
  std::string_view text = ctx.frame.args;
  if (!text.empty() && static_cast<unsigned char>(text[0]) == 0xFF) text.remove_prefix(1);
  if (text.size() > kMaxDisplayText) return kErrParameter;
  switch (ctx.frame.params[0]) {
    case 1:
      ++ctx.state.drawerOpenings;
      break;
    case 2:
    case 5:
      ctx.state.displayText = std::string(text);
      break;
    case 3:
    case 4:
      ctx.state.displayMode = static_cast<int>(ctx.frame.params[0]);
      break;
    default:
      return kErrParameter;
  }
  return kCarriedOut;
}

}  // namespace

void AddCashCommands(CommandTable& table) {
  table.Add("#p", {CheckRule::kRequired, Login, false});
  table.Add("#q", {CheckRule::kRequired, Logout, false});
  table.Add("#i", {CheckRule::kRequired, CashIn, false});
  table.Add("#d", {CheckRule::kRequired, CashOut, false});
  table.Add("#t", {CheckRule::kRequired, CashState, false});
  table.Add("#k", {CheckRule::kRequired, ShiftReport, false});
  table.Add("#l", {CheckRule::kRequired, PaperFeed, false});
  table.Add("$d", {CheckRule::kNone, DisplayAndDrawer, false});
}

}  // namespace ulvo
