// Currencies: the conversion printed under receipts ($$) and the accounting currency (##).

#include "sim/command_table.h"

namespace ulvo {

namespace {

constexpr int kMaxCurrencyChanges = 10;

bool CurrencyCode(std::string_view code) {
  if (code.size() != 3) return false;
  for (char c : code) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letter && !(c >= '0' && c <= '9')) return false;
  }
  return true;
}

// A rate of at most nine digits with the point anywhere ("3.4054").
bool RateText(std::string_view text) {
  int digits = 0, points = 0;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.') {
      ++points;
    } else {
      return false;
    }
  }
  return digits > 0 && digits <= 9 && points <= 1;
}

// "P0$$" stops the conversion; "P1$$<multiplier>/<code>CR<rate>CR<accounting code>CR" starts it.
int Conversion(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.size() != 1) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  if (p[0] == 0) {
    if (!ctx.frame.args.empty()) return kErrParameterCount;
    s.conversionCurrency.clear();
    return kCarriedOut;
  }
  if (p[0] != 1) return kErrParameter;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> multiplier = args.Field('/');
  std::optional<std::string_view> code = args.Field('\r');
  std::optional<std::string_view> rate = args.Field('\r');
  std::optional<std::string_view> accounting = args.Field('\r');
  if (!multiplier || !code || !rate || !accounting || !args.AtEnd()) return kErrParameterCount;
  std::optional<long> m = ParseCount(*multiplier);
  if (!m || (*m != 1 && *m != 10 && *m != 100 && *m != 1000 && *m != 10000)) {
    return kErrParameter;
  }
  if (!CurrencyCode(*code) || !RateText(*rate)) return kErrParameter;
  if (*accounting != s.accountingCurrency) return 120;
  s.conversionCurrency = std::string(*code);
  return kCarriedOut;
}

// "P<mode>;<yy>;<mm>;<dd>;<hh>;<mi>##<code>CR": 0 changes now, 1 at the given moment (taking
// effect at the first daily report from then on), 2 cancels such a change.
int AccountingCurrency(CommandContext& ctx) {
  PrinterState& s = ctx.state;
  const auto& p = ctx.frame.params;
  if (p.size() != 6) return kErrParameterCount;
  if (s.inTransaction) return kErrDuringTransaction;
  ArgReader args(ctx.frame.args);
  std::optional<std::string_view> code = args.Field('\r');
  if (!code || !args.AtEnd()) return kErrParameterCount;
  switch (p[0]) {
    case 0:
      if (!CurrencyCode(*code)) return kErrParameter;
      if (!s.scheduledCurrency.empty()) return 123;
      if (*code == s.accountingCurrency) return 121;
      if (s.currencyChanges >= kMaxCurrencyChanges) return 122;
      for (std::int64_t total : s.totals) {
        if (total != 0) return 8;  // totals are kept in one currency per day
      }
      s.accountingCurrency = std::string(*code);
      ++s.currencyChanges;
      Print(s, "Zmiana waluty ewidencyjnej");
      return kCarriedOut;
    case 1: {
      if (!CurrencyCode(*code)) return kErrParameter;
      if (p[1] > 99 || !ValidDateTime(2000 + static_cast<int>(p[1]), static_cast<int>(p[2]),
                                      static_cast<int>(p[3]), static_cast<int>(p[4]),
                                      static_cast<int>(p[5]), 0)) {
        return kErrBadDate;
      }
      if (!s.scheduledCurrency.empty()) return 123;
      if (*code == s.accountingCurrency) return 121;
      if (s.currencyChanges >= kMaxCurrencyChanges) return 122;
      s.scheduledCurrency = std::string(*code);
      s.scheduledCurrencyAt = {static_cast<int>(p[1]), static_cast<int>(p[2]),
                               static_cast<int>(p[3]), static_cast<int>(p[4]),
                               static_cast<int>(p[5])};
      return kCarriedOut;
    }
    case 2:
      s.scheduledCurrency.clear();
      return kCarriedOut;
  }
  return kErrParameter;
}

}  // namespace

void ApplyScheduledCurrency(PrinterState& s, std::chrono::system_clock::time_point now) {
  if (s.scheduledCurrency.empty()) return;
  std::tm t = PrinterClock(s, now);
  const auto& at = s.scheduledCurrencyAt;
  long long nowKey =
      ((((t.tm_year - 100) * 100LL + t.tm_mon + 1) * 100 + t.tm_mday) * 100 + t.tm_hour) * 100 +
      t.tm_min;
  long long atKey = ((((at[0]) * 100LL + at[1]) * 100 + at[2]) * 100 + at[3]) * 100 + at[4];
  if (nowKey < atKey) return;
  s.accountingCurrency = s.scheduledCurrency;
  s.scheduledCurrency.clear();
  ++s.currencyChanges;
}

void AddCurrencyCommands(CommandTable& table) {
  table.Add("$$", {CheckRule::kRequired, Conversion, false});
  table.Add("##", {CheckRule::kRequired, AccountingCurrency, false});
}

}  // namespace ulvo
