#include "shell/readouts/core/readout_texts.h"

#include <cstdio>

#include "common/cp1250.h"
#include "common/money.h"
#include "link/error_texts.h"

namespace ulvo {

namespace {

std::string Printf(const char* format, double value) {
  char buffer[400];  // "%3.2f" of the largest double needs 312 characters
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string Decimal(long value) {
  return std::to_string(value);
}

}  // namespace

CashInfoTexts FormatCashInfo(const CashInfo& info, std::uint8_t printerType) {
  CashInfoTexts texts;
  texts.mode = info.FiscalMode != 0 ? "Fiskalny" : "Szkoleniowy";
  texts.trfFlag = Decimal(info.TrfFlag);
  texts.lastError = Decimal(info.LastError);
  texts.ramResets = Decimal(info.RamResets);
  texts.cash = Printf("%3.2f", info.Cash);
  texts.uniqueNumber =
      info.UniqueNumber == "           " ? std::string("BRAK") : Cp1250ToUtf8(info.UniqueNumber);
  for (int i = 0; i < 7; ++i) {
    texts.ptu[i] = printerType == 2 ? FormatPtuRate(info.Ptu[i]) : Printf("%3.2f", info.Ptu[i]);
    texts.totals[i] = Printf("%3.2f", info.Totals[i]);
  }
  texts.totalZ = Printf("%3.2f", info.TotalZ);
  if (info.RecordYear == 0 && info.RecordMonth == 0 && info.RecordDay == 0) {
    texts.recordDate = "Brak";
  } else {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%2.2d-%2.2d-20%2.2d", info.RecordDay, info.RecordMonth,
                  info.RecordYear);
    texts.recordDate = buffer;
  }
  texts.receiptCount = Decimal(info.ReceiptCount);
  return texts;
}

ErrorCodeTexts FormatLastErrorCode(std::int32_t code) {
  if (code == -1) return {"???", "Brak odpowiedzi od drukarki."};
  // Codes outside the table (also negative ones) have no text.
  return {Decimal(code), code == 0 ? std::string() : std::string(ErrorText(code))};
}

std::string FormatPrinterDate(int year2, int month, int day) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "20%2.2d-%2.2d-%2.2d", year2, month, day);
  return buffer;
}

std::string FormatPrinterTime(int hour, int minute) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%2.2d:%2.2d", hour, minute);
  return buffer;
}

}  // namespace ulvo
