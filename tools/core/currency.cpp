#include "tools/core/currency.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "common/money.h"
#include "common/text_helpers.h"
#include "link/frame.h"
#include "tools/core/checked_field.h"

namespace ulvo {

namespace {

constexpr std::size_t kCodeChars = 3;

std::string FieldError(std::size_t entry, const char* caption) {
  char text[256];
  std::snprintf(text, sizeof text,
                "Waluta %zu: pole \"%s\" nie zawiera poprawnej liczby. Tabela walut nie została "
                "zmieniona.",
                entry + 1, caption);
  return text;
}

bool IsCodeChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Up to three letters or digits, upper-cased; empty when something else is in the way.
std::optional<std::string> CurrencyCode(std::string_view text) {
  std::string code(text.substr(0, kCodeChars));
  for (char& c : code) {
    if (!IsCodeChar(c)) return std::nullopt;
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return code;
}

std::string Plain(FrameList& list, const std::string& text, const char* caption) {
  return CheckedField(list, text, caption, kFieldTextSize - 1, false, 0);
}

}  // namespace

std::string ApplyCurrencyFields(const CurrencyFields& fields, CurrencyPayments& table) {
  // Everything is checked before anything is stored, so a typo never leaves half a table.
  CurrencyPayments updated = table;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const CurrencyEntryFields& f = fields[i];
    CurrencyPayment& entry = updated.entries[i];
    const std::optional<long> multiplier = ParseInteger(f.multiplier);
    if (!multiplier || *multiplier <= 0 || *multiplier > 65535) return FieldError(i, "Mnożnik");
    const std::optional<std::string> code = CurrencyCode(f.code);
    if (!code) return FieldError(i, "Kod waluty");
    std::string rateText = f.rate;
    DotToComma(rateText);
    const std::optional<double> rate = ParseAmount(rateText);
    if (!rate) return FieldError(i, "Przelicznik");
    CommaToDot(rateText);
    if (rateText.size() >= sizeof entry.RateText) return FieldError(i, "Przelicznik");
    const std::optional<double> amount = ParseAmount(f.amount);
    if (!amount) return FieldError(i, "Wartość wpłaty w walucie");

    entry.Multiplier = static_cast<std::uint16_t>(*multiplier);
    std::memset(entry.Code, 0, sizeof entry.Code);
    std::memcpy(entry.Code, code->data(), code->size());
    entry.Rate = *rate;
    std::memset(entry.RateText, 0, sizeof entry.RateText);
    std::memcpy(entry.RateText, rateText.data(), rateText.size());
    entry.Amount = *amount;
    entry.Value = entry.Rate * entry.Amount / entry.Multiplier;
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    updated.entries[i].Enabled = fields[i].enabled ? 1 : 0;
  }
  table = updated;
  return {};
}

std::string CurrencyLines(const CurrencyPayments& table) {
  std::string lines;
  for (const CurrencyPayment& entry : table.entries) {
    if (!entry.Enabled) continue;
    char line[256];
    std::snprintf(line, sizeof line, "$%d %.2f %.2f %.2f %u %s %s %.2f\n", 16, entry.Value,
                  entry.Amount, 0.0, static_cast<unsigned>(entry.Multiplier), entry.Code,
                  entry.RateText, 0.0);
    lines += line;
  }
  return lines;
}

FrameList BuildCurrencyConversion(const ConversionFields& fields) {
  FrameList list;
  if (!fields.print) {
    list.Add(true, "%cP%u$$xx%c%c", kEsc, 0u, kEsc, kBackslash);
    return list;
  }
  const std::string multiplier = Plain(list, fields.multiplier, "Mnożnik");
  std::string foreign = Plain(list, fields.foreignCode, "Waluta obca");
  std::string rate = Plain(list, fields.rate, "Przelicznik");
  std::string accounting = Plain(list, fields.accountingCode, "Waluta ewidencyjna");
  UpperCaseText(foreign.data());
  UpperCaseText(accounting.data());
  CommaToDot(rate);
  list.Add(true, "%cP%u$$%s/%s\r%s\r%s\rxx%c%c", kEsc, 1u, multiplier.c_str(), foreign.c_str(),
           rate.c_str(), accounting.c_str(), kEsc, kBackslash);
  return list;
}

std::string FormatHourMinute(int hour, int minute) {
  char text[16];
  std::snprintf(text, sizeof text, "%2.2d:%2.2d", hour, minute);
  return text;
}

FrameList BuildAccountingCurrency(const AccountingCurrencyFields& fields) {
  FrameList list;
  if (fields.time.size() < 5) {
    list.error = "Pole \"Godzina (gg:mm)\" musi mieć postać gg:mm. Rozkaz nie został wysłany.";
    return list;
  }
  const std::string hour = fields.time.substr(0, 2);
  const std::string minute = fields.time.substr(3, 2);
  std::string code =
      Plain(list, fields.code.substr(0, kCodeChars), "Oznaczenie waluty ewidencyjnej");
  UpperCaseText(code.data());
  list.Add(true, "%cP%u;%d;%d;%d;%s;%s##%s\rxx%c%c", kEsc, static_cast<unsigned>(fields.mode),
           fields.year - 2000, fields.month, fields.day, hour.c_str(), minute.c_str(), code.c_str(),
           kEsc, kBackslash);
  return list;
}

}  // namespace ulvo
