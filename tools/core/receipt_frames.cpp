#include "tools/core/receipt_frames.h"

#include <cstdio>

#include "common/money.h"
#include "link/frame.h"
#include "tools/core/checked_field.h"

namespace ulvo {

namespace {

constexpr std::uint8_t kAnyCoding = 0;
constexpr int kExtendedMinLines = 5;

std::string Plain(FrameList& list, const std::string& text, const char* caption) {
  return CheckedField(list, text, caption, kMaxFieldChars, false, kAnyCoding);
}

std::string Coded(FrameList& list, const std::string& text, const char* caption,
                  std::uint8_t coding) {
  return CheckedField(list, text, caption, kMaxFieldChars, true, coding);
}

bool IsPercentKind(int kind) {
  return kind == 2 || kind == 4;
}

GrossUpdate Recompute(LineWorkingValues& values, double* field, std::string_view text,
                      const char* message) {
  const std::optional<double> parsed = ParseAmount(text);
  if (!parsed) return {message, {}};
  *field = *parsed;
  values.gross = RoundMoney(values.quantity * values.price);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", values.gross);
  return {{}, buffer};
}

FrameList CardSlip(const char* format, const CardSlipFields& fields) {
  FrameList list;
  std::array<std::string, 11> t;
  for (std::size_t i = 0; i < t.size(); ++i) {
    t[i] = Plain(list, fields.texts[i], kCardSlipCaptions[i]);
  }
  list.Add(true, format, kEsc, fields.registerLine ? 0 : 1, fields.printing, t[0].c_str(),
           t[1].c_str(), t[2].c_str(), t[3].c_str(), t[4].c_str(), t[5].c_str(), t[6].c_str(),
           t[7].c_str(), t[8].c_str(), t[9].c_str(), t[10].c_str(), kEsc, kBackslash);
  return list;
}

}  // namespace

const std::array<const char*, 11> kCardSlipCaptions = {
    "Numer kasy", "Numer kasjera",   "Numer paragonu", "Kontrahent",
    "Terminal",   "Nazwa karty",     "Numer karty",    "Miesiąc",
    "Rok",        "Kod autoryzacji", "Kwota"};

FrameList BuildReceiptOpen(const ReceiptOpenFields& fields, std::uint8_t letterCoding) {
  FrameList list;
  const std::string count =
      fields.blockMode ? Plain(list, fields.lineCount, "Ilość pozycji sprzedaży") : "0";
  const std::string number =
      fields.blockMode ? "0" : Coded(list, fields.systemNumber, "Numer systemowy", letterCoding);
  if (fields.barCode) {
    list.Add(true, "%cP%s;1$h##%s#\rxx%c%c", kEsc, count.c_str(), number.c_str(), kEsc, kBackslash);
  } else {
    list.Add(true, "%cP%s;1$h#%s\rxx%c%c", kEsc, count.c_str(), number.c_str(), kEsc, kBackslash);
  }
  return list;
}

char PtuLetter(int index) {
  if (index >= 0 && index < 7) return static_cast<char>('A' + index);
  return 'P';  // "P ( kaucja )"
}

double LineValue(int printerType, int discountKind, double discount, double gross) {
  const double value = ComputeAmount(printerType, discountKind, discount, gross);
  return IsPercentKind(discountKind) ? RoundMoney(value) : value;
}

GrossUpdate LeaveQuantity(LineWorkingValues& values, std::string_view quantityText) {
  return Recompute(values, &values.quantity, quantityText, "Błędna wartość ilość");
}

GrossUpdate LeavePrice(LineWorkingValues& values, std::string_view priceText) {
  return Recompute(values, &values.price, priceText, "Błędna wartość Cena");
}

ReceiptLineFrame BuildReceiptLine(const ReceiptLineFields& fields, int printerType,
                                  std::uint8_t letterCoding) {
  ReceiptLineFrame result;
  FrameList& list = result.list;
  const std::optional<double> gross = ParseAmount(fields.gross);
  if (!gross) {
    list.error = "Błędna Wartość Brutto";
    return result;
  }
  const int kind = fields.discountKind >= 0 && fields.discountKind <= 4 ? fields.discountKind : 0;
  double discount = 0.0;
  if (kind != 0) {
    const std::optional<double> parsed = ParseAmount(fields.discount);
    if (!parsed) {
      list.error = "Błędna Wartość Rabatu";
      return result;
    }
    discount = *parsed;
  }
  result.value = LineValue(printerType, kind, discount, *gross);

  const std::string number =
      fields.storno ? std::string("0") : Plain(list, fields.lineNumber, "Nr linijki");
  const std::string name = Coded(list, fields.name, "Nazwa towaru", letterCoding);
  const std::string quantity = Plain(list, fields.quantity, "Ilość");
  const std::string price = Plain(list, fields.price, "Cena towaru");
  const std::string grossText = Plain(list, fields.gross, "Brutto");
  const char ptu = PtuLetter(fields.ptuIndex);
  if (kind == 0) {
    list.Add(true, "%cP%s$l%s\r%s\r%c/%s/%s/xx%c%c", kEsc, number.c_str(), name.c_str(),
             quantity.c_str(), ptu, price.c_str(), grossText.c_str(), kEsc, kBackslash);
  } else {
    const std::string discountText = Plain(list, fields.discount, "Kwota rabatu");
    list.Add(true, "%cP%s;%d$l%s\r%s\r%c/%s/%s/%s/xx%c%c", kEsc, number.c_str(), kind, name.c_str(),
             quantity.c_str(), ptu, price.c_str(), grossText.c_str(), discountText.c_str(), kEsc,
             kBackslash);
  }
  return result;
}

FrameList BuildConfirmation(const ConfirmationFields& fields, std::uint8_t letterCoding) {
  FrameList list;
  const std::string cashier = Coded(list, fields.cashier, "Kod Kasjera", letterCoding);
  const JoinedLines lines = AdditionalLines(list, fields.withLines, fields.additionalLines,
                                            kMaxAdditionalLinesBytes, letterCoding);
  const std::string payment = Plain(list, fields.payment, "Wpłata");
  const std::string total = Plain(list, fields.total, "TOTAL");
  const int kind = fields.discountKind;
  if (kind == 0) {
    list.Add(true, "%cP1;%d;%d;%d;%d;%d$e%s\r%s%s/%s/xx%c%c", kEsc, 0, lines.count, 0, kind, 8,
             cashier.c_str(), lines.text.c_str(), payment.c_str(), total.c_str(), kEsc, kBackslash);
  } else {
    const std::string discount = Plain(list, fields.discount, "RABAT");
    list.Add(true, "%cP1;%d;%d;%d;%d;%d$e%s\r%s%s/%s/%s/xx%c%c", kEsc, 0, lines.count, 0, kind, 8,
             cashier.c_str(), lines.text.c_str(), payment.c_str(), total.c_str(), discount.c_str(),
             kEsc, kBackslash);
  }
  return list;
}

FrameList BuildExtendedConfirmation(const ExtendedConfirmationFields& f,
                                    std::uint8_t letterCoding) {
  FrameList list;
  const std::string cashier = Coded(list, f.cashier, "Kod Kasjera", letterCoding);
  JoinedLines lines =
      AdditionalLines(list, f.withLines, f.additionalLines, kMaxAdditionalLinesBytes, letterCoding);
  // The printer wants at least five lines here: empty ones make up the rest.
  for (int n = lines.count; n < kExtendedMinLines; ++n) lines.text.push_back('\r');
  const std::string cardName = Coded(list, f.cardName, "Nazwa karty", letterCoding);
  const std::string chequeName = Coded(list, f.chequeName, "Nazwa czeku", letterCoding);
  const std::string voucherName = Coded(list, f.voucherName, "Nazwa bonu", letterCoding);
  const std::string total = Plain(list, f.total, "TOTAL");
  const std::string discount = Plain(list, f.discount, "RABAT");
  const std::string payment = Plain(list, f.payment, "Wpłata");
  const std::string card = Plain(list, f.card, "Karta");
  const std::string cheque = Plain(list, f.cheque, "Czek");
  const std::string voucher = Plain(list, f.voucher, "Bon");
  const std::string taken = Plain(list, f.depositTaken, "Kaucja pobrana");
  const std::string returned = Plain(list, f.depositReturned, "Kaucja zwrócona");
  const std::string change = Plain(list, f.change, "Reszta");
  list.Add(true,
           "%cP%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d$x%s\r%s%s\r%s\r%s\r%s/%s/%s/%s/%s/%s/%s/%s/%s/"
           "xx%c%c",
           kEsc, lines.count, 0, 0, f.discountKind, f.usePayment ? 1 : 0, f.useCard ? 1 : 0,
           f.useCheque ? 1 : 0, f.useVoucher ? 1 : 0, f.useDepositTaken ? 1 : 0,
           f.useDepositReturned ? 1 : 0, f.useChange ? 1 : 0, cashier.c_str(), lines.text.c_str(),
           cardName.c_str(), chequeName.c_str(), voucherName.c_str(), total.c_str(),
           discount.c_str(), payment.c_str(), card.c_str(), cheque.c_str(), voucher.c_str(),
           taken.c_str(), returned.c_str(), change.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildReceiptCancel() {
  FrameList list;
  list.Add(true, "%cP0$exx%c%c", kEsc, kEsc, kBackslash);
  return list;
}

FrameList BuildCardCharge(const CardSlipFields& fields) {
  return CardSlip("%cP%d;%d#g%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s/xx%c%c", fields);
}

FrameList BuildCardRefund(const CardSlipFields& fields) {
  return CardSlip("%cP%d;%d#h%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s\r%s/xx%c%c", fields);
}

}  // namespace ulvo
