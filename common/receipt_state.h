#pragma once
// What the program remembers of the receipt open in the printer, shared by the receipt
// dialogs and the receipt-lines table. The receipt itself exists only in the printer.

#include <cstdint>

namespace ulvo {

struct ReceiptState {
  std::int32_t NextLineNumber = 1;  // proposed for the next receipt line
  double ReceiptTotal = 0.0;        // running value of the open receipt as computed here
};

}  // namespace ulvo
