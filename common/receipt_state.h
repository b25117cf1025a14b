#pragma once
// What the program remembers of the receipt open in the printer, shared by the receipt
// dialogs and the receipt-lines table. The receipt itself exists only in the printer.

#include <array>
#include <cstddef>
#include <cstdint>

namespace ulvo {

// One foreign-currency payment of the currency dialog.
struct CurrencyPayment {
  std::uint8_t Enabled = 0;      // its "Waluta n" check box is set
  std::uint16_t Multiplier = 1;  // the unit the rate refers to: 1, 10, 100, 1000 or 10000
  char Code[4] = {'E', 'U', 'R', '\0'};
  double Rate = 0.0;       // price of Multiplier units in the accounting currency
  char RateText[20] = {};  // the rate as typed, with '.' as the separator
  double Amount = 0.0;     // the payment in the foreign currency
  double Value = 0.0;      // Rate * Amount / Multiplier, in the accounting currency
};

constexpr std::size_t kCurrencyEntries = 3;

// The payments in foreign currencies that the extended confirmation turns into its lines.
struct CurrencyPayments {
  std::array<CurrencyPayment, kCurrencyEntries> entries{};
};

struct ReceiptState {
  std::int32_t NextLineNumber = 1;  // proposed for the next receipt line
  double ReceiptTotal = 0.0;        // running value of the open receipt as computed here
  CurrencyPayments Currencies;      // kept for the program's run
};

}  // namespace ulvo
