#pragma once
// Foreign currencies: the payment table that the extended confirmation turns into receipt
// lines, and the frames of the conversion printout ($$) and of the accounting currency (##).

#include <array>
#include <cstdint>
#include <string>

#include "common/receipt_state.h"
#include "link/frame_list.h"

namespace ulvo {

// What TWaluty shows for one entry, as typed.
struct CurrencyEntryFields {
  bool enabled = false;          // "Waluta 1" ...
  std::string multiplier = "1";  // list text: 1, 10, 100, 1000 or 10000
  std::string code = "EUR";
  std::string rate = "3,7887";  // "Przelicznik"
  std::string amount = "0";     // "Wartość wpłaty w walucie"
};
using CurrencyFields = std::array<CurrencyEntryFields, kCurrencyEntries>;

// "OK" of TWaluty: every entry is computed, enabled or not. When a rate, amount or multiplier
// is not a number, `table` is left as it was and the message naming the field comes back;
// empty on success.
std::string ApplyCurrencyFields(const CurrencyFields& fields, CurrencyPayments& table);

// The additional lines for the enabled entries, one per entry, each
// "$16 <value> <amount> 0.00 <multiplier> <code> <rate text> 0.00" and a line feed.
std::string CurrencyLines(const CurrencyPayments& table);

// TPrzeliczenieNaWaluty ($$).
struct ConversionFields {
  bool print = false;  // "Drukuj pod każdym paragonem przeliczenie ..."
  std::string multiplier = "1";
  std::string foreignCode = "EUR";
  std::string rate = "3.4054";  // sent with ',' turned into '.'
  std::string accountingCode = "PLN";
};
FrameList BuildCurrencyConversion(const ConversionFields& fields);

// TZmianaWalutyEwidencyjnej (##): mode 0 changes now, 1 at the given moment, 2 cancels such
// a change. The date and time go in every mode.
struct AccountingCurrencyFields {
  int mode = 0;
  int year = 2000, month = 1, day = 1;  // the date picker
  std::string time = "00:00";           // "Godzina (gg:mm) ", two digits, colon, two digits
  std::string code = "PLN";             // "Oznaczenie waluty ewidencyjnej"
};
FrameList BuildAccountingCurrency(const AccountingCurrencyFields& fields);

// "%2.2d:%2.2d" of an hour and a minute.
std::string FormatHourMinute(int hour, int minute);

}  // namespace ulvo
