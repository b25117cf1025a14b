#pragma once
// The frames of the receipt dialogs (open, line, both confirmations, cancel, card slips) and
// the arithmetic of a receipt line. Each dialog copies its controls into one of the plain
// structs below; texts are UTF-8 as the widgets hold them. A text field longer than the
// printer's 49 characters refuses the command with a message naming the field.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/frame_list.h"

namespace ulvo {

// The longest text of one field that reaches a frame.
constexpr std::size_t kMaxFieldChars = 49;
// The most of the "Dodatkowe linie" text box that goes into a confirmation.
constexpr std::size_t kMaxAdditionalLinesBytes = 250;

// TPoczatekTransakcji ($h). On-line receipts announce no line count ("0"); in block mode the
// system number is "0".
struct ReceiptOpenFields {
  std::string lineCount = "48";  // "Ilość pozycji sprzedaży"
  std::string systemNumber;      // "Numer systemowy"
  bool blockMode = false;        // "Tryb blokowy" rather than "Paragon ON-LINE"
  bool barCode = false;          // "Numer systemowy w postaci kodu kreskowego"
};
FrameList BuildReceiptOpen(const ReceiptOpenFields& fields, std::uint8_t letterCoding);

// The eight entries of the "PTU" list: "A" ... "G" and "P ( kaucja )".
constexpr int kPtuEntries = 8;
char PtuLetter(int index);

// TLinijkaParagonu ($l).
struct ReceiptLineFields {
  std::string lineNumber;  // "Nr linijki"
  std::string name;        // "Nazwa towaru"
  std::string quantity;    // "Ilość"
  int ptuIndex = 0;        // "PTU"
  std::string price;       // "Cena towaru"
  std::string gross;       // "Brutto"
  int discountKind = 0;    // "Rodzaj rabatu": 0 "Brak" ... 4 "Dopłata procentowa"
  std::string discount;    // "Kwota rabatu"
  bool storno = false;     // "Pozycja STORNO": sent with line number "0"
};

// The frame of a line and the value the line adds to (or, for STORNO, takes from) the
// receipt total. Refused with "Błędna Wartość Brutto" or "Błędna Wartość Rabatu" when those
// fields are not numbers.
struct ReceiptLineFrame {
  FrameList list;
  double value = 0.0;
};
ReceiptLineFrame BuildReceiptLine(const ReceiptLineFields& fields, int printerType,
                                  std::uint8_t letterCoding);

// The value of a line from its gross and discount, by the kinds of the line dialog; the
// percentage kinds are rounded to the grosz, the amount kinds are not.
double LineValue(int printerType, int discountKind, double discount, double gross);

// The line dialog's running numbers: leaving "Ilość" or "Cena towaru" parses that field and
// recomputes the gross. A field that is no number leaves everything as it was.
struct LineWorkingValues {
  double quantity = 0.0;
  double price = 0.0;
  double gross = 0.0;
};
struct GrossUpdate {
  std::string error;      // not empty: show it, nothing changed
  std::string grossText;  // the new "Brutto" text ("%.2f")
};
GrossUpdate LeaveQuantity(LineWorkingValues& values, std::string_view quantityText);
GrossUpdate LeavePrice(LineWorkingValues& values, std::string_view priceText);

// TZatwierdzenieTransakcji ($e with parameter 1; the drawer parameter is always 8).
struct ConfirmationFields {
  std::string cashier;          // "Kod Kasjera"
  std::string total;            // "TOTAL"
  std::string payment;          // "Wpłata"
  int discountKind = 0;         // 0 "Brak", 1 "Rabat procentowy", 2 "Narzut procentowy",
                                // 3 "Rabat kwotowy", 4 "Narzut kwotowy"
  std::string discount;         // "RABAT"
  bool withLines = false;       // "Dodatkowe linie"
  std::string additionalLines;  // the text box, lines ended by LF or CR LF
};
FrameList BuildConfirmation(const ConfirmationFields& fields, std::uint8_t letterCoding);

// TZatwierdzenieRozszerzone ($x).
struct ExtendedConfirmationFields {
  std::string total;    // "TOTAL"
  std::string cashier;  // "Kod Kasjera"
  // Amounts as typed; each has its check box.
  std::string payment, change, depositTaken, depositReturned, card, cheque, voucher;
  bool usePayment = false, useChange = false, useDepositTaken = false, useDepositReturned = false,
       useCard = false, useCheque = false, useVoucher = false;
  std::string cardName, chequeName, voucherName;  // "Nazwa karty", "Nazwa czeku", "Nazwa bonu"
  int discountKind = 0;
  std::string discount;
  bool withLines = false;
  std::string additionalLines;
};
FrameList BuildExtendedConfirmation(const ExtendedConfirmationFields& fields,
                                    std::uint8_t letterCoding);

// TAnulowanieTransakcji.
FrameList BuildReceiptCancel();

// TPowitowanieSprzedarzy (#g, charge) and TTransakcjaUznana (#h, refund). No letter coding.
struct CardSlipFields {
  bool registerLine = true;  // "Linia zawierająca numer kasy / numer kasjera jest drukowana"
  int printing = 0;          // "Sposób drukowania": 0, 1 or 2 in the order of the choices
  // "Numer kasy", "Numer kasjera", "Numer paragonu", "Kontrahent", "Terminal", "Nazwa karty",
  // "Numer karty", "Miesiąc", "Rok", "Kod autoryzacji", "Kwota".
  std::array<std::string, 11> texts;
};
FrameList BuildCardCharge(const CardSlipFields& fields);
FrameList BuildCardRefund(const CardSlipFields& fields);

// The captions of the card slip texts, in frame order.
extern const std::array<const char*, 11> kCardSlipCaptions;

}  // namespace ulvo
