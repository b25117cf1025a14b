#include "tools/core/line_tables.h"

#include <algorithm>
#include <cstdio>

#include "common/money.h"
#include "common/text_helpers.h"
#include "link/frame.h"

namespace ulvo {

const std::array<const char*, kLineFileColumns> kReceiptTableColumns = {
    "Nazwa towaru/usługi", "Ilość", "PTU", "Cena", "Brutto", "Rabat"};

const std::array<const char*, kLineFileColumns> kFullTransactionColumns = {
    "Nazwa towaru/usługi", "Ilość", "PTU", "Cena", "kolumna 5", "kolumna 6"};

const char kZeroSumMessage[] = " ZEROWA SUMA PARAGONU !!! ";

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A single field (not a table cell) with the 49-character limit; refuses when longer.
std::string CheckedField(FrameList& list, std::string_view utf8, const char* name, bool letterCoded,
                         std::uint8_t letterCoding) {
  if (Utf8Length(utf8) > kLineFileCellChars) {
    if (!list.Refused()) {
      list.frames.clear();
      list.error = std::string("Pole \"") + name + "\" ma więcej niż " +
                   std::to_string(kLineFileCellChars) + " znaków. Nic nie zostało wysłane.";
    }
    return {};
  }
  return list.Field(utf8, letterCoded, letterCoding);
}

}  // namespace

std::string TableCell(FrameList& list, std::string_view utf8, std::size_t row, const char* column,
                      bool letterCoded, std::uint8_t letterCoding) {
  if (Utf8Length(utf8) > kLineFileCellChars) {
    if (!list.Refused()) {
      list.frames.clear();
      list.error = CellTooLongMessage(row, column) + " Nic nie zostało wysłane.";
    }
    return {};
  }
  return list.Field(utf8, letterCoded, letterCoding);
}

ExtraLinesText JoinExtraLines(FrameList& list, std::string_view utf8, std::uint8_t letterCoding) {
  ExtraLinesText result;
  // As the text box holds it: CR LF between lines.
  std::size_t bytes = Utf8Length(utf8);
  for (char c : utf8) {
    if (c == '\n') ++bytes;
  }
  if (bytes > 250) {
    if (!list.Refused()) {
      list.frames.clear();
      list.error =
          "Dodatkowe linie tekstu mają więcej niż 250 znaków. Skróć je; nic nie zostało "
          "wysłane.";
    }
    return result;
  }
  std::string joined;
  result.count = JoinLinesWithCR(utf8, joined);
  std::size_t start = 0;
  for (int i = 0; i < result.count; ++i) {
    const std::size_t end = joined.find('\r', start);
    result.text +=
        list.Text(std::string_view(joined).substr(start, end - start), 250, true, letterCoding);
    result.text += '\r';
    start = end + 1;
  }
  return result;
}

// ---- receipt-lines table ----

DiscountNotation ReadDiscountNotation(std::string_view cell) {
  DiscountNotation result;
  result.text = std::string(cell);
  std::string& text = result.text;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  const bool minus = i < text.size() && text[i] == '-';
  // The cell is already in Windows-1250: one byte is one character, a Polish letter too.
  if (i < text.size() && !IsDigit(text[i])) text[i] = ' ';
  bool percent = false;
  bool digit = false;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (text[k] == '%') {
      text[k] = ' ';
      percent = true;
    } else if (IsDigit(text[k])) {
      digit = true;
    }
  }
  if (!digit) {
    result.kind = 0;
  } else if (!minus) {
    result.kind = percent ? 2 : 1;
  } else {
    result.kind = percent ? 4 : 3;
  }
  return result;
}

ReceiptTablePlan PlanReceiptTable(const std::vector<LineRow>& rows, int firstLineNumber,
                                  std::uint8_t letterCoding) {
  ReceiptTablePlan plan;
  FrameList list;
  for (std::size_t j = 0; j < rows.size() && j < kReceiptTableRows; ++j) {
    const LineRow& row = rows[j];
    if (IsBlank(row[0]) || IsBlank(row[1])) break;
    const std::size_t number = j + 1;
    std::string cells[kLineFileColumns];
    for (std::size_t c = 0; c < kLineFileColumns; ++c) {
      cells[c] = TableCell(list, row[c], number, kReceiptTableColumns[c], c == 0, letterCoding);
    }
    if (list.Refused()) break;
    ReceiptTableLine line;
    line.row = number;
    const DiscountNotation discount = ReadDiscountNotation(cells[5]);
    line.kind = discount.kind;
    line.gross = cells[4];
    line.discount = discount.text;
    const int lineNumber = firstLineNumber + static_cast<int>(j);
    const std::size_t before = list.frames.size();
    if (line.kind == 0) {
      list.Add(true, "%cP%d$l%s\r%s\r%s/%s/%s/xx%c%c", kEsc, lineNumber, cells[0].c_str(),
               cells[1].c_str(), cells[2].c_str(), cells[3].c_str(), cells[4].c_str(), kEsc,
               kBackslash);
    } else {
      list.Add(true, "%cP%d;%d$l%s\r%s\r%s/%s/%s/%s/xx%c%c", kEsc, lineNumber, line.kind,
               cells[0].c_str(), cells[1].c_str(), cells[2].c_str(), cells[3].c_str(),
               cells[4].c_str(), discount.text.c_str(), kEsc, kBackslash);
    }
    if (list.frames.size() == before) break;
    line.frame = list.frames.back();
    plan.lines.push_back(std::move(line));
  }
  if (list.Refused()) {
    plan.lines.clear();
    plan.error = list.error;
  }
  plan.unmappable = list.unmappable;
  return plan;
}

LineValue ReceiptTableLineValue(int printerType, const ReceiptTableLine& line) {
  LineValue result;
  const std::optional<double> gross = ParseAmount(line.gross);
  if (!gross) {
    result.error = "Błędna Wartość Brutto";
    return result;
  }
  if (line.kind == 0) {
    result.value = *gross;
    return result;
  }
  const std::optional<double> discount = ParseAmount(line.discount);
  if (!discount) {
    result.error = "Błędna Wartość Rabatu";
    return result;
  }
  result.value = ComputeAmount(printerType, line.kind, *discount, *gross);
  return result;
}

std::string ReceiptTableStoppedMessage(std::size_t sent, std::size_t planned, bool sendFailed) {
  return std::string(sendFailed ? "Wysyłanie linijek przerwane (błąd transmisji). "
                                : "Drukarka nie przyjęła linijki. ") +
         "Wysłano linijek: " + std::to_string(sent) + " z " + std::to_string(planned) +
         ". Paragon pozostaje otwarty w drukarce: dokończ go (\"Zatwierdzenie transakcji\") "
         "albo anuluj (\"Anulowanie transakcji\").";
}

// ---- full transaction ----

FullTransactionTally AddUpFullTransaction(const std::vector<LineRow>& rows) {
  FullTransactionTally tally;
  for (std::size_t i = 0; i < tally.value.size(); ++i) {
    const std::string row = std::to_string(i + 1);
    const std::string quantity = i < rows.size() ? rows[i][1] : std::string();
    const std::string price = i < rows.size() ? rows[i][3] : std::string();
    if (!IsBlank(quantity)) {
      if (std::optional<double> q = ParseAmount(quantity)) {
        tally.quantity[i] = *q;
      } else {
        tally.messages.push_back("Niewłaściwy format danej <Ilosć> w wierszu " + row + ".");
      }
    }
    if (!IsBlank(price)) {
      if (std::optional<double> p = ParseAmount(price)) {
        tally.price[i] = *p;
      } else {
        tally.messages.push_back("Niewłaściwy format danej <Cena> w wierszu " + row + ".");
      }
    }
    tally.value[i] = RoundMoney(tally.price[i] * tally.quantity[i]);
    tally.sum += tally.value[i];
  }
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", tally.sum);
  tally.total = text;
  return tally;
}

std::string FullTransactionQuestion(const std::string& total, const std::string& discount) {
  return "Suma transakcji: " + total + ". Rabat procentowy: " + discount +
         " %. Czy wysłać do drukarki[T/N] ?";
}

FrameList BuildFullTransactionFrames(const FullTransaction& input,
                                     const FullTransactionTally& tally, int printerType,
                                     std::uint8_t letterCoding) {
  FrameList list;
  list.Add(true, "%cP0$hxx%c%c", kEsc, kEsc, kBackslash);
  for (std::size_t i = 0; i < tally.quantity.size() && tally.quantity[i] != 0; ++i) {
    static const LineRow kEmpty{};
    const LineRow& row = i < input.rows.size() ? input.rows[i] : kEmpty;
    const std::string name =
        TableCell(list, row[0], i + 1, kFullTransactionColumns[0], true, letterCoding);
    const std::string quantity =
        TableCell(list, row[1], i + 1, kFullTransactionColumns[1], false, letterCoding);
    const std::string ptu =
        TableCell(list, row[2], i + 1, kFullTransactionColumns[2], false, letterCoding);
    list.Add(true, "%cP%d$l%s%c%s%c%s/%2.2f/%2.2f/xx%c%c", kEsc, static_cast<int>(i + 1),
             name.c_str(), 13, quantity.c_str(), 13, ptu.c_str(), tally.price[i], tally.value[i],
             kEsc, kBackslash);
  }
  ExtraLinesText lines = JoinExtraLines(list, input.extraLines, letterCoding);
  const std::string cashier = CheckedField(list, input.cashier, "Kasjer", true, letterCoding);
  const std::string discount = CheckedField(list, input.discount, "Rabat %", false, letterCoding);
  static const char* const kPaymentNames[] = {"Gotówka", "Karta", "Czek", "Bon"};
  std::string amount[4], name[4];
  int used[4] = {};
  for (std::size_t p = 0; p < 4; ++p) {
    if (p >= input.payments.size()) {
      amount[p] = "0.00";
      continue;
    }
    const PaymentRow& row = input.payments[p];
    if (Utf8Length(row.amount) > kLineFileCellChars || Utf8Length(row.name) > kLineFileCellChars) {
      if (!list.Refused()) {
        list.frames.clear();
        list.error = std::string("Płatność \"") + kPaymentNames[p] + "\": kwota lub nazwa ma " +
                     "więcej niż 49 znaków. Nic nie zostało wysłane.";
      }
      return list;
    }
    name[p] = list.Field(row.name, true, letterCoding);
    if (IsBlank(row.amount)) {
      amount[p] = "0.00";
    } else {
      amount[p] = list.Field(row.amount, false, letterCoding);
      used[p] = 1;
    }
  }
  if (printerType == 0) {
    list.Add(true, "%cP1;0;%d;%d;%d;%d$e%s\r%s%s/%s/%s/xx%c%c", kEsc, lines.count, 0, 0, 1,
             cashier.c_str(), lines.text.c_str(), amount[0].c_str(), tally.total.c_str(),
             discount.c_str(), kEsc, kBackslash);
  } else {
    for (int padded = lines.count; padded < 5; ++padded) lines.text += '\r';
    list.Add(true,
             "%cP%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d$x%s\r%s%s\r%s\r%s\r%s/%s/%s/%s/%s/%s/%s/%s/%s/"
             "xx%c%c",
             kEsc, lines.count, 0, 0, 1, used[0], used[1], used[2], used[3], 0, 0, 0,
             cashier.c_str(), lines.text.c_str(), name[1].c_str(), name[2].c_str(), name[3].c_str(),
             tally.total.c_str(), discount.c_str(), amount[0].c_str(), amount[1].c_str(),
             amount[2].c_str(), amount[3].c_str(), "0.00", "0.00", "0.00", kEsc, kBackslash);
  }
  return list;
}

std::string FullTransactionStoppedMessage(std::size_t carriedOut, std::size_t frames) {
  return "Transakcja nie została wysłana w całości (wykonane rozkazy: " +
         std::to_string(carriedOut) + " z " + std::to_string(frames) +
         "). Paragon może pozostać otwarty w drukarce; anuluj go rozkazem \"Anulowanie "
         "transakcji\".";
}

}  // namespace ulvo
