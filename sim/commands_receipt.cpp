// The receipt transaction: begin ($h), sale lines ($l), confirm or cancel ($e), the extended
// confirmation ($x), and the card payment slips (#g, #h).

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr std::size_t kMaxItemName = 40;
constexpr std::size_t kMaxCodeText = 8;
constexpr std::size_t kMaxSystemNumber = 30;
constexpr std::size_t kMaxExtraLine = 40;
constexpr std::size_t kMaxExtraLines = 20;
constexpr std::size_t kMaxPaymentName = 16;
constexpr std::size_t kMaxReceiptLines = 500;
constexpr long kMaxPlannedLines = 500;
constexpr std::int64_t kMaxReceiptTotal = 99'999'999'99;
constexpr std::int64_t kMaxPercent = 100'000;  // 1000.00 %, in hundredths

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

// Discount method 2 (Alta Pro) rounds the percentage part on its own; method 1 rounds the
// result. A printer follows its option, or its family's habit until the option is set.
bool RoundsPercentPart(const PrinterState& s) {
  std::uint16_t flags = s.options[kOptFlags];
  if (flags & kFlagDiscountMethod2) return true;
  if (flags & kFlagDiscountMethod1) return false;
  return s.variant.family == PrinterFamily::kAltaPro;
}

// Applies a percentage (hundredths) to `value`, downward or upward, rounding half up.
std::int64_t ApplyPercent(const PrinterState& s, std::int64_t value, std::int64_t percent,
                          bool markup) {
  if (RoundsPercentPart(s)) {
    std::int64_t part = (value * percent + 5000) / 10000;
    return markup ? value + part : value - part;
  }
  return (value * (markup ? 10000 + percent : 10000 - percent) + 5000) / 10000;
}

// Splits "<text>CR<text>CR...<rest>" at its last CR: the CR-ended fields and what follows.
bool SplitAtLastCr(std::string_view args, std::vector<std::string_view>& fields,
                   std::string_view& rest) {
  std::size_t last = args.rfind('\r');
  if (last == std::string_view::npos) return false;
  ArgReader reader(args.substr(0, last + 1));
  while (std::optional<std::string_view> field = reader.Field('\r')) fields.push_back(*field);
  rest = args.substr(last + 1);
  return true;
}

// A number field without the blanks around it.
std::string_view Blankless(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// "P<lines>[;<mode>]$h[#<system number>CR]": 0 lines = an on-line receipt.
int Begin(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.empty() || p.size() > 2) return kErrParameterCount;
  if (s.inTransaction) return kErrTransactionAgain;
  // An order or a database report is a document of its own: no receipt inside it.
  if (s.orderOpen || s.databaseReportOpen) return kErrDuringTransaction;
  if (p[0] > kMaxPlannedLines) return kErrLineNumber;
  std::string systemNumber;
  if (!ctx.frame.args.empty()) {
    ArgReader args(ctx.frame.args);
    std::optional<std::string_view> text = args.Field('\r');
    if (!text || !args.AtEnd()) return kErrParameterCount;
    bool posnetRule = !(s.options[kOptFlags] & kFlagSystemNumberUlvo);
    if (posnetRule && !text->empty() && (*text)[0] != '#') return kErrParameter;
    if (text->size() > kMaxSystemNumber) return kErrParameter;
    systemNumber = std::string(*text);
  }
  s.inTransaction = true;
  s.lastTransactionOk = false;
  s.receipt.clear();
  s.receiptPlannedLines = static_cast<int>(p[0]);
  s.systemNumber = std::move(systemNumber);
  s.clockCorrectionAllowed = false;  // a sale after the daily report
  return kCarriedOut;
}

// "P<line>[;<kind>]$l<name>CR<quantity>CR<ptu>/<price>/<gross>/[<discount>/]"
// Line 0 is a STORNO: it takes back an earlier line of the same name, rate and value.
int SaleLine(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.empty() || p.size() > 2) return kErrParameterCount;
  if (!s.inTransaction) return kErrNotInTransaction;
  long kind = p.size() == 2 ? p[1] : 0;
  if (kind > 4) return kErrParameter;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> name = args.Field('\r');
  std::optional<std::string_view> quantityText = args.Field('\r');
  std::optional<std::string_view> ptuText = args.Field('/');
  std::optional<std::string_view> priceText = args.Field('/');
  std::optional<std::string_view> grossText = args.Field('/');
  std::optional<std::string_view> discountText;
  if (kind != 0) discountText = args.Field('/');
  if (!name || !quantityText || !ptuText || !priceText || !grossText || (kind && !discountText)) {
    return kErrParameterCount;
  }
  if (name->empty() || name->size() > kMaxItemName) return kErrName;
  std::optional<std::int64_t> quantity = ParseQuantity(*quantityText);
  if (!quantity || *quantity == 0) return kErrQuantity;
  if (ptuText->size() != 1) return kErrPtu;
  char letter = (*ptuText)[0];
  int ptu = 0;
  if (letter == 'P') {
    ptu = kDepositPtu;
  } else if (letter >= 'A' && letter <= 'G') {
    ptu = letter - 'A';
    if (s.ptu[ptu] == kPtuNotUsed) return kErrPtu;
  } else {
    return kErrPtu;
  }
  std::optional<std::int64_t> price = ParseGrosze(*priceText);
  if (!price) return kErrPrice;
  std::optional<std::int64_t> gross = ParseGrosze(*grossText);
  if (!gross) return kErrValue;
  // The gross must be quantity times price, rounded half up to the grosz; a product too big
  // for the receipt's registers is refused before it is computed.
  if (*price != 0 && *quantity > (kMaxReceiptTotal * 1000) / *price) return kErrReceiptRegister;
  if (*gross != (*quantity * *price + 500) / 1000) return kErrValue;

  std::int64_t value = *gross;
  if (kind != 0) {
    // The program writes the discount with blanks where its sign and '%' stood.
    std::optional<std::int64_t> amount = ParseGrosze(Blankless(*discountText));
    if (!amount) return kErrValue;
    switch (kind) {
      case 1:  // amount off
        if (*amount > value) return kErrValue;
        value -= *amount;
        break;
      case 2:  // percent off
        if (*amount > 10000) return kErrValue;
        value = ApplyPercent(s, value, *amount, false);
        break;
      case 3:  // amount on
        value += *amount;
        break;
      case 4:  // percent on
        if (*amount > kMaxPercent) return kErrValue;
        value = ApplyPercent(s, value, *amount, true);
        break;
    }
  }

  if (p[0] == 0) {
    for (auto it = s.receipt.rbegin(); it != s.receipt.rend(); ++it) {
      if (it->name == *name && it->ptu == ptu && it->value == value) {
        s.receipt.erase(std::next(it).base());
        return kCarriedOut;
      }
    }
    return kErrLineNumber;  // nothing to take back
  }
  if (s.receipt.size() >= kMaxReceiptLines) return kErrLineNumber;
  if (s.receiptPlannedLines > 0 && static_cast<int>(s.receipt.size()) >= s.receiptPlannedLines) {
    return kErrLineNumber;
  }
  if (value > kMaxReceiptTotal - ReceiptSum(s)) return kErrReceiptRegister;
  s.receipt.push_back({std::string(*name), ptu, value});
  return kCarriedOut;
}

// The sales of the open receipt per rate (deposits are not sales).
std::array<std::int64_t, kPtuCount> SalesPerRate(const PrinterState& s) {
  std::array<std::int64_t, kPtuCount> perRate{};
  for (const ReceiptLine& line : s.receipt) {
    if (line.ptu != kDepositPtu) perRate[line.ptu] += line.value;
  }
  return perRate;
}

// What a receipt discount or markup changes, per rate and in all. A percentage applies to
// each rate's sum on its own and is rounded there, as the printer books its totals by rate;
// an amount is shared out in proportion, the rounding left on the last rate used.
struct Adjustment {
  std::array<std::int64_t, kPtuCount> perRate{};
  std::int64_t total = 0;
};

std::optional<Adjustment> ReceiptAdjustment(const PrinterState& s, long kind, std::int64_t amount) {
  Adjustment adj;
  const std::array<std::int64_t, kPtuCount> sales = SalesPerRate(s);
  std::int64_t allSales = 0;
  for (std::int64_t v : sales) allSales += v;
  switch (kind) {
    case 0:
      return adj;
    case 1:
    case 2: {
      if (amount > (kind == 1 ? 10000 : kMaxPercent)) return std::nullopt;
      for (int r = 0; r < kPtuCount; ++r) {
        if (sales[r] == 0) continue;
        adj.perRate[r] = ApplyPercent(s, sales[r], amount, kind == 2) - sales[r];
        adj.total += adj.perRate[r];
      }
      return adj;
    }
    case 3:
    case 4: {
      if (kind == 3 && amount > allSales) return std::nullopt;
      if (kind == 4 && amount > kMaxReceiptTotal) return std::nullopt;
      const std::int64_t change = kind == 3 ? -amount : amount;
      if (change == 0 || allSales <= 0) return adj;
      int last = 0;
      for (int r = 0; r < kPtuCount; ++r) {
        if (sales[r] == 0) continue;
        // 128 bits: a markup times a rate's sales can pass 64 bits before the division.
        adj.perRate[r] =
            static_cast<std::int64_t>(static_cast<__int128>(change) * sales[r] / allSales);
        adj.total += adj.perRate[r];
        last = r;
      }
      adj.perRate[last] += change - adj.total;
      adj.total = change;
      return adj;
    }
  }
  return std::nullopt;
}

// Books the open receipt: rate totals with the receipt's adjustment, deposits, cash, counters.
int Close(PrinterState& s, const Adjustment& adjustment, std::int64_t cashIn) {
  std::array<std::int64_t, kPtuCount> perRate = SalesPerRate(s);
  std::int64_t deposits = 0;
  for (const ReceiptLine& line : s.receipt) {
    if (line.ptu == kDepositPtu) deposits += line.value;
  }
  for (int r = 0; r < kPtuCount; ++r) perRate[r] += adjustment.perRate[r];
  std::array<std::int64_t, kPtuCount> after = s.totals;
  for (int r = 0; r < kPtuCount; ++r) {
    if (perRate[r] < 0) return kErrReceiptRegister;
    if (perRate[r] > kMaxReceiptTotal * 100 - after[r]) return 28;  // totalizer full
    after[r] += perRate[r];
  }
  s.totals = after;
  s.depositsTaken += deposits;
  s.cash += cashIn;
  ++s.receiptCount;
  s.inTransaction = false;
  s.lastTransactionOk = true;
  s.receipt.clear();
  Print(s, WithHeader(s, s.fiscal ? "Paragon fiskalny" : "Paragon niefiskalny"));
  return kCarriedOut;
}

int CheckLines(const std::vector<std::string_view>& lines) {
  if (lines.size() > kMaxExtraLines) return 15;
  for (std::string_view line : lines) {
    if (line.size() > kMaxExtraLine) return 15;
  }
  return kCarriedOut;
}

// "P0$e" cancels. "P1[;0;<lines>;0;<kind>;<pc>]$e<code>CR<lines CR-ended><payment>/<total>/
// [<discount>/]" confirms; pc 8 keeps the drawer shut whatever the option says.
int End(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.empty()) return kErrParameterCount;
  if (p[0] == 0) {
    if (!s.inTransaction) return kErrNotInTransaction;
    s.inTransaction = false;
    s.lastTransactionOk = false;
    s.receipt.clear();
    Print(s, WithHeader(s, "Paragon anulowany"));
    return kCarriedOut;
  }
  if (p[0] != 1 || p.size() > 6) return kErrParameter;
  if (!s.inTransaction) return 29;
  long kind = p.size() > 4 ? p[4] : 0;
  long drawerRule = p.size() > 5 ? p[5] : 0;
  if (kind > 4) return kErrParameter;
  std::vector<std::string_view> fields;
  std::string_view rest;
  if (!SplitAtLastCr(ctx.frame.args, fields, rest)) return kErrParameterCount;
  ArgReader amounts(rest);
  std::optional<std::string_view> paymentText = amounts.Field('/');
  std::optional<std::string_view> totalText = amounts.Field('/');
  std::optional<std::string_view> discountText;
  // Without a discount kind a discount field may still come (the Alta layout sends one).
  if (kind != 0 || !amounts.AtEnd()) discountText = amounts.Field('/');
  if (!paymentText || !totalText || (kind && !discountText) || !amounts.AtEnd()) {
    return kErrParameterCount;
  }
  if (fields[0].size() > kMaxCodeText) return kErrCashierText;
  std::vector<std::string_view> lines(fields.begin() + 1, fields.end());
  if (int err = CheckLines(lines); err != kCarriedOut) return err;
  std::optional<std::int64_t> payment = ParseGrosze(*paymentText);
  if (!payment) return kErrPayment;
  std::optional<std::int64_t> total = ParseGrosze(*totalText);
  if (!total) return kErrTotal;
  if (s.receipt.empty()) return kErrLineNumber;
  if (s.receiptPlannedLines > 0 && static_cast<int>(s.receipt.size()) != s.receiptPlannedLines) {
    return kErrLineNumber;
  }
  std::int64_t sum = ReceiptSum(s);
  if (*total != sum) return kErrTotal;
  Adjustment adjustment;
  if (kind != 0) {
    std::optional<std::int64_t> amount = ParseGrosze(Blankless(*discountText));
    std::optional<Adjustment> change;
    if (amount) change = ReceiptAdjustment(s, kind, *amount);
    if (!change) return kErrTotal;
    adjustment = *change;
  }
  std::int64_t due = sum + adjustment.total;
  if (due > kMaxReceiptTotal) return kErrReceiptRegister;
  if (*payment != 0 && *payment < due) return kErrPayment;
  int err = Close(s, adjustment, due);
  if (err != kCarriedOut) return err;
  if ((s.options[kOptFlags] & kFlagDrawerAfterTransaction) && drawerRule != 8) {
    ++s.drawerOpenings;
  }
  return kCarriedOut;
}

// "P<lines>;0;0;<kind>;<cash>;<card>;<cheque>;<voucher>;<depTaken>;<depReturned>;<change>$x
//  <code>CR<lines CR-ended><card name>CR<cheque name>CR<voucher name>CR
//  <total>/<discount>/<cash>/<card>/<cheque>/<voucher>/<depTaken>/<depReturned>/<change>/"
int ExtendedEnd(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.size() != 11) return kErrParameterCount;
  if (!s.inTransaction) return 29;
  long kind = p[3];
  if (kind > 4) return kErrParameter;
  for (int i = 4; i < 11; ++i) {
    if (p[i] > 1) return kErrParameter;
  }
  std::vector<std::string_view> fields;
  std::string_view rest;
  if (!SplitAtLastCr(ctx.frame.args, fields, rest) || fields.size() < 4) {
    return kErrParameterCount;
  }
  if (fields[0].size() > kMaxCodeText) return kErrCashierText;
  std::vector<std::string_view> lines(fields.begin() + 1, fields.end() - 3);
  if (int err = CheckLines(lines); err != kCarriedOut) return err;
  if (static_cast<std::size_t>(p[0]) > lines.size()) return 15;
  for (auto it = fields.end() - 3; it != fields.end(); ++it) {
    if (it->size() > kMaxPaymentName) return kErrCashierText;
  }
  ArgReader reader(rest);
  std::int64_t amount[9];
  for (int i = 0; i < 9; ++i) {
    std::optional<std::string_view> text = reader.Field('/');
    if (!text) return kErrParameterCount;
    std::optional<std::int64_t> value = ParseGrosze(*text);
    if (!value) return i < 2 ? kErrTotal : kErrPayment;
    amount[i] = *value;
  }
  if (!reader.AtEnd()) return kErrParameterCount;
  if (s.receipt.empty()) return kErrLineNumber;
  std::int64_t sum = ReceiptSum(s);
  if (amount[0] != sum) return kErrTotal;
  std::optional<Adjustment> adjustment = ReceiptAdjustment(s, kind, amount[1]);
  if (!adjustment) return kErrTotal;
  std::int64_t due = sum + adjustment->total;
  if (due > kMaxReceiptTotal) return kErrReceiptRegister;
  // Only the amounts whose flags are set count: cash, card, cheque, voucher, change.
  auto used = [&](int flag, int index) { return p[flag] ? amount[index] : 0; };
  std::int64_t paid = used(4, 2) + used(5, 3) + used(6, 4) + used(7, 5);
  if (paid > 0 && paid < due) return kErrPayment;
  std::int64_t change = used(10, 8);
  if (p[10] && change != paid - due) return kErrPayment;
  if (change > used(4, 2)) return kErrPayment;  // change is given from cash only
  // Without any payment form the receipt counts as paid in cash.
  int err = Close(s, *adjustment, paid > 0 ? used(4, 2) - change : due);
  if (err != kCarriedOut) return err;
  s.cardPayments += used(5, 3);
  s.depositsTaken += used(8, 6);
  s.depositsReturned += used(9, 7);
  return kCarriedOut;
}

// "P<no register line>;<copies>#g|#h" with ten CR-ended texts and the amount.
int CardSlip(CommandContext& ctx, const char* title) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.size() != 2) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p[0] > 1 || p[1] > 2) return kErrParameter;
  ArgReader args(ctx.frame.args);
  // Register, cashier, receipt, customer, terminal, card name, card number, month, year,
  // authorisation code: their limits and the error each one gives.
  static constexpr struct {
    std::size_t max;
    int error;
  } kFields[] = {{8, 41},  {8, 42},  {8, 43}, {40, 44}, {8, 45},
                 {16, 46}, {20, 47}, {2, 48}, {4, 49},  {10, 50}};
  for (const auto& field : kFields) {
    std::optional<std::string_view> text = args.Field('\r');
    if (!text) return kErrParameterCount;
    if (text->size() > field.max) return field.error;
  }
  std::optional<std::string_view> amountText = args.Field('/');
  if (!amountText || !args.AtEnd()) return kErrParameterCount;
  if (!ParseGrosze(*amountText)) return 51;
  Print(s, title);
  return kCarriedOut;
}

int CardCharge(CommandContext& ctx) {
  return CardSlip(ctx, "Potwierdzenie obciążenia karty płatniczej");
}

int CardRefund(CommandContext& ctx) {
  return CardSlip(ctx, "Potwierdzenie uznania karty płatniczej");
}

}  // namespace

void AddReceiptCommands(CommandTable& table) {
  table.Add("$h", {CheckRule::kRequired, Begin, false});
  table.Add("$l", {CheckRule::kRequired, SaleLine, false});
  table.Add("$e", {CheckRule::kRequired, End, false});
  table.Add("$x", {CheckRule::kRequired, ExtendedEnd, false});
  table.Add("#g", {CheckRule::kRequired, CardCharge, false});
  table.Add("#h", {CheckRule::kRequired, CardRefund, false});
}

}  // namespace ulvo
