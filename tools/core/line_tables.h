#pragma once
// Frames and arithmetic of the two line tables: the receipt-lines table (sixteen sale lines
// with a discount notation, sent into an open receipt) and the full transaction (nine lines
// sent as a whole receipt: open, lines, close).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame_list.h"
#include "tools/core/line_file.h"

namespace ulvo {

// ---- receipt-lines table ----

constexpr std::size_t kReceiptTableRows = 16;
extern const std::array<const char*, kLineFileColumns> kReceiptTableColumns;

// A discount cell read: the kind of the line (0 none, 1 amount off, 2 percent off, 3 amount
// on, 4 percent on) and the text that goes to the printer (sign and "%" blanked out).
// `cell` is the cell as it goes to the printer, in Windows-1250.
struct DiscountNotation {
  int kind = 0;
  std::string text;
};
DiscountNotation ReadDiscountNotation(std::string_view cell);

// One table row ready to go out.
struct ReceiptTableLine {
  std::size_t row = 0;  // 1-based table row
  std::string frame;
  int kind = 0;
  std::string gross;     // the gross cell as typed
  std::string discount;  // the changed discount text
};

struct ReceiptTablePlan {
  std::vector<ReceiptTableLine> lines;  // rows up to the first without name or quantity
  std::string error;                    // not empty: nothing may be sent
  std::u32string unmappable;            // characters the printer cannot print
};

// The frames of the rows to send, numbered from `firstLineNumber`. A cell over 49 characters
// refuses the whole table.
ReceiptTablePlan PlanReceiptTable(const std::vector<LineRow>& rows, int firstLineNumber,
                                  std::uint8_t letterCoding);

// What an accepted line adds to the receipt total; `error` is "Błędna Wartość Brutto" or
// "Błędna Wartość Rabatu" when a text is not a number (nothing is added then).
struct LineValue {
  double value = 0.0;
  std::string error;
};
LineValue ReceiptTableLineValue(int printerType, const ReceiptTableLine& line);

// Told when the table's send stopped early.
std::string ReceiptTableStoppedMessage(std::size_t sent, std::size_t planned, bool sendFailed);

// ---- full transaction ----

constexpr std::size_t kFullTransactionRows = 9;
extern const std::array<const char*, kLineFileColumns> kFullTransactionColumns;

// The adding up ("Podlicz"): per line quantity, price and value, the sum and its text, and the
// messages about cells that are not numbers, in row order.
struct FullTransactionTally {
  std::array<double, 10> quantity{};
  std::array<double, 10> price{};
  std::array<double, 10> value{};
  double sum = 0.0;
  std::string total;  // "Razem": the sum "%.2f"
  std::vector<std::string> messages;
};
FullTransactionTally AddUpFullTransaction(const std::vector<LineRow>& rows);

struct PaymentRow {
  std::string amount;  // "Kwota" as typed
  std::string name;    // "Nazwa"
};

struct FullTransaction {
  std::vector<LineRow> rows;         // the nine line rows
  std::vector<PaymentRow> payments;  // "Gotówka"[, "Karta", "Czek", "Bon"]
  std::string discount = "0.00";     // "Rabat %"
  std::string cashier;               // "Kasjer"
  std::string extraLines;            // "Dodatkowe linie tekstu", '\n' between lines
};

extern const char kZeroSumMessage[];  // " ZEROWA SUMA PARAGONU !!! "

// "Suma transakcji: <total>. Rabat procentowy: <discount> %. Czy wysłać do drukarki[T/N] ?"
std::string FullTransactionQuestion(const std::string& total, const std::string& discount);

// Open, the lines up to the first zero quantity, close ($x, or $e for the Alta). The frame
// count of the lines is `FrameList.frames.size() - 2`.
FrameList BuildFullTransactionFrames(const FullTransaction& input,
                                     const FullTransactionTally& tally, int printerType,
                                     std::uint8_t letterCoding);

// Told when a full transaction stopped after the receipt was opened.
std::string FullTransactionStoppedMessage(std::size_t carriedOut, std::size_t frames);

// Additional text lines as the documents send them: each line letter-coded and CR-ended,
// and their number. More than 250 bytes are refused rather than cut.
struct ExtraLinesText {
  std::string text;
  int count = 0;
};
ExtraLinesText JoinExtraLines(FrameList& list, std::string_view utf8, std::uint8_t letterCoding);

// A cell checked for the 49-character limit; an over-long one refuses `list` with the row and
// column named.
std::string TableCell(FrameList& list, std::string_view utf8, std::size_t row, const char* column,
                      bool letterCoded, std::uint8_t letterCoding);

}  // namespace ulvo
