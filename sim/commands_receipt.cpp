// The receipt transaction: begin ($h), sale lines ($l), confirm or cancel ($e).

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr std::size_t kMaxItemName = 40;
constexpr std::size_t kMaxCodeText = 8;
constexpr std::size_t kMaxReceiptLines = 500;
constexpr std::int64_t kMaxReceiptTotal = 99'999'999'99;

// A quantity in thousandths ("1", "2.5", "0,125"); empty when it is not one.
std::optional<std::int64_t> ParseQuantity(std::string_view text) {
  std::int64_t whole = 0;
  int wholeDigits = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (++wholeDigits > 7) return std::nullopt;
    whole = whole * 10 + (text[i] - '0');
  }
  std::int64_t fraction = 0;
  int fractionDigits = 0;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (++fractionDigits > 3) return std::nullopt;
      fraction = fraction * 10 + (text[i] - '0');
    }
  }
  if (i != text.size() || wholeDigits + fractionDigits == 0) return std::nullopt;
  for (int d = fractionDigits; d < 3; ++d) fraction *= 10;
  return whole * 1000 + fraction;
}

std::int64_t ReceiptSum(const PrinterState& s) {
  std::int64_t sum = 0;
  for (const ReceiptLine& line : s.receipt) sum += line.value;
  return sum;
}

int Begin(CommandContext& ctx) {
  if (ctx.frame.params.empty()) return kErrParameterCount;
  if (ctx.state.inTransaction) return kErrTransactionAgain;
  ctx.state.inTransaction = true;
  ctx.state.lastTransactionOk = false;
  ctx.state.receipt.clear();
  ctx.state.clockCorrectionAllowed = false;  // a sale after the daily report
  return kCarriedOut;
}

// "P<line>$l<name>CR<quantity>CR<ptu>/<price>/<value>/"
int SaleLine(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  if (ctx.frame.params.size() != 1) return kErrParameterCount;
  if (!s.inTransaction) return kErrNotInTransaction;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> name = args.Field('\r');
  std::optional<std::string_view> quantityText = args.Field('\r');
  std::optional<std::string_view> ptuText = args.Field('/');
  std::optional<std::string_view> priceText = args.Field('/');
  std::optional<std::string_view> valueText = args.Field('/');
  if (!name || !quantityText || !ptuText || !priceText || !valueText) return kErrParameterCount;
  if (name->empty() || name->size() > kMaxItemName) return kErrName;
  std::optional<std::int64_t> quantity = ParseQuantity(*quantityText);
  if (!quantity || *quantity == 0) return kErrQuantity;
  if (ptuText->size() != 1 || (*ptuText)[0] < 'A' || (*ptuText)[0] > 'G') return kErrPtu;
  int ptu = (*ptuText)[0] - 'A';
  if (s.ptu[ptu] == kPtuNotUsed) return kErrPtu;
  std::optional<std::int64_t> price = ParseGrosze(*priceText);
  if (!price) return kErrPrice;
  std::optional<std::int64_t> value = ParseGrosze(*valueText);
  if (!value) return kErrValue;
  // The value must be quantity times price, rounded half up to the grosz; a product too big
  // for the receipt's registers is refused before it is computed.
  if (*price != 0 && *quantity > (kMaxReceiptTotal * 1000) / *price) return kErrReceiptRegister;
  std::int64_t expected = (*quantity * *price + 500) / 1000;
  if (*value != expected) return kErrValue;
  if (s.receipt.size() >= kMaxReceiptLines) return kErrLineNumber;
  if (*value > kMaxReceiptTotal - ReceiptSum(s)) return kErrReceiptRegister;
  s.receipt.push_back({std::string(*name), ptu, *value});
  return kCarriedOut;
}

// "P<pc>;...$e<code>CR<payment>/<total>/": pc 1 confirms, 0 cancels.
int End(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.empty()) return kErrParameterCount;
  if (p[0] == 0) {
    if (!s.inTransaction) return kErrNotInTransaction;
    s.inTransaction = false;
    s.lastTransactionOk = false;
    s.receipt.clear();
    Print(s, "Paragon anulowany");
    return kCarriedOut;
  }
  if (p[0] != 1) return kErrParameter;
  if (!s.inTransaction) return 29;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> code = args.Field('\r');
  std::optional<std::string_view> paymentText = args.Field('/');
  std::optional<std::string_view> totalText = args.Field('/');
  if (!code || !paymentText || !totalText) return kErrParameterCount;
  if (code->size() > kMaxCodeText) return kErrCashierText;
  std::optional<std::int64_t> payment = ParseGrosze(*paymentText);
  if (!payment) return kErrPayment;
  std::optional<std::int64_t> total = ParseGrosze(*totalText);
  if (!total) return kErrTotal;
  if (s.receipt.empty()) return kErrLineNumber;
  std::int64_t sum = ReceiptSum(s);
  if (*total != sum) return kErrTotal;
  if (*payment != 0 && *payment < sum) return kErrPayment;
  std::array<std::int64_t, kPtuCount> after = s.totals;
  for (const ReceiptLine& line : s.receipt) {
    if (line.value > kMaxReceiptTotal * 100 - after[line.ptu]) return 28;  // totalizer overflow
    after[line.ptu] += line.value;
  }
  s.totals = after;
  s.cash += sum;
  ++s.receiptCount;
  s.inTransaction = false;
  s.lastTransactionOk = true;
  s.receipt.clear();
  if (s.options[kOptFlags] & kFlagDrawerAfterTransaction) ++s.drawerOpenings;
  Print(s, s.fiscal ? "Paragon fiskalny" : "Paragon niefiskalny");
  return kCarriedOut;
}

}  // namespace

void AddReceiptCommands(CommandTable& table) {
  table.Add("$h", {CheckRule::kRequired, Begin, false});
  table.Add("$l", {CheckRule::kRequired, SaleLine, false});
  table.Add("$e", {CheckRule::kRequired, End, false});
}

}  // namespace ulvo
