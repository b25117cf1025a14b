#include "readout/core/control_check_frames.h"

#include <cstdio>

#include "link/frame.h"

namespace ulvo {

namespace {

constexpr bool kCheck = true;
constexpr long long kTenMillionZloty = 1'000'000'000LL;  // in grosze

}  // namespace

std::optional<std::pair<std::string, std::string>> SplitRunningTotal(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long zloty = 0;
  int digits = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
    if (zloty > 100'000'000'000'000LL) return std::nullopt;
    zloty = zloty * 10 + (text[i] - '0');
  }
  long long fraction = 0;
  int fractionDigits = 0;
  bool roundUp = false;
  if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++fractionDigits) {
      if (fractionDigits < 2) {
        fraction = fraction * 10 + (text[i] - '0');
      } else if (fractionDigits == 2) {
        roundUp = text[i] >= '5';
      }
    }
  }
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size() || digits + fractionDigits == 0) return std::nullopt;
  if (fractionDigits == 1) fraction *= 10;
  long long grosze = zloty * 100 + fraction + (roundUp ? 1 : 0);
  long long count = 0;
  if (!negative) {
    count = grosze / kTenMillionZloty;
    grosze %= kTenMillionZloty;
  }
  char rest[40];
  std::snprintf(rest, sizeof rest, "%s%lld.%02lld", negative && grosze != 0 ? "-" : "",
                grosze / 100, grosze % 100);
  return std::make_pair(std::to_string(count), std::string(rest));
}

FrameList BuildReceiptCheck(const ReceiptCheckFields& f, std::uint8_t coding) {
  FrameList list;
  const std::string date = list.Field(f.date, false, coding);
  const std::string document = list.Field(f.documentNumber, false, coding);
  list.Add(kCheck, "%cP0$*%s\r%s/xx%c%c", kEsc, date.c_str(), document.c_str(), kEsc, kBackslash);
  const int rows = std::min<int>(static_cast<int>(f.items.size()), kReceiptItemRows);
  for (int row = 0; row < rows; ++row) {
    const ReceiptCheckFields::Item& item = f.items[static_cast<std::size_t>(row)];
    if (item.name.empty()) break;
    const std::string name = list.Field(item.name, true, coding);
    const std::string letter = list.Field(item.letter, false, coding);
    list.Add(kCheck, "%cP1$*%s\r%s/xx%c%c", kEsc, name.c_str(), letter.c_str(), kEsc, kBackslash);
  }
  const std::string digits = list.Field(f.uniqueDigits, false, coding);
  const std::string time = list.Field(f.time, false, coding);
  if (f.cancelled) {
    list.Add(kCheck, "%cP3$*%s\r%s\rxx%c%c", kEsc, digits.c_str(), time.c_str(), kEsc, kBackslash);
  } else {
    const std::string ptu = list.Field(f.ptuSum, false, coding);
    const std::string sum = list.Field(f.receiptSum, false, coding);
    const std::string number = list.Field(f.receiptNumber, false, coding);
    const std::string letters = list.Field(f.uniqueLetters, false, coding);
    list.Add(kCheck, "%cP2$*%s/%s/%s/%s %s\r%s\rxx%c%c", kEsc, ptu.c_str(), sum.c_str(),
             number.c_str(), letters.c_str(), digits.c_str(), time.c_str(), kEsc, kBackslash);
  }
  const std::string control = list.Field(f.controlNumber, false, coding);
  list.Add(kCheck, "%cP10$*%s\rxx%c%c", kEsc, control.c_str(), kEsc, kBackslash);
  if (list.Refused()) list.frames.clear();
  return list;
}

FrameList BuildReportCheck(const ReportCheckFields& f, std::uint8_t coding) {
  FrameList list;
  // Checked first, so that a wrong value sends nothing rather than half a check.
  const auto running = SplitRunningTotal(f.runningPtu);
  if (!running) {
    list.error = kRunningPtuError;
    return list;
  }
  const std::string date = list.Field(f.date, false, coding);
  const std::string number = list.Field(f.reportNumber, false, coding);
  list.Add(kCheck, "%cP0$*%s\r%s/xx%c%c", kEsc, date.c_str(), number.c_str(), kEsc, kBackslash);
  for (const auto* grid : {&f.taxed, &f.exempt}) {
    const int rows = std::min<int>(static_cast<int>(grid->size()), kReportLetterRows);
    for (int row = 0; row < rows; ++row) {
      const ReportCheckFields::Row& r = (*grid)[static_cast<std::size_t>(row)];
      if (r.letter.empty() || r.amount.empty()) break;
      const std::string letter = list.Field(r.letter, false, coding);
      const std::string amount = list.Field(r.amount, false, coding);
      list.Add(kCheck, "%cP4$*%s\r%s/xx%c%c", kEsc, letter.c_str(), amount.c_str(), kEsc,
               kBackslash);
    }
  }
  const std::string ptu = list.Field(f.ptuTotal, false, coding);
  const std::string receipts = list.Field(f.receipts, false, coding);
  list.Add(kCheck, "%cP5$*%s/xx%c%c", kEsc, ptu.c_str(), kEsc, kBackslash);
  list.Add(kCheck, "%cP5$*%s/xx%c%c", kEsc, receipts.c_str(), kEsc, kBackslash);
  list.Add(kCheck, "%cP6$*%s/%s/xx%c%c", kEsc, running->first.c_str(), running->second.c_str(),
           kEsc, kBackslash);
  const std::string letters = list.Field(f.uniqueLetters, false, coding);
  const std::string digits = list.Field(f.uniqueDigits, false, coding);
  list.Add(kCheck, "%cP7$*%s %s\r%s\rxx%c%c", kEsc, letters.c_str(), digits.c_str(), "00:00:00",
           kEsc, kBackslash);
  const std::string control = list.Field(f.controlNumber, false, coding);
  list.Add(kCheck, "%cP10$*%s\rxx%c%c", kEsc, control.c_str(), kEsc, kBackslash);
  if (list.Refused()) list.frames.clear();
  return list;
}

}  // namespace ulvo
