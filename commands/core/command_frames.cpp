#include "commands/core/command_frames.h"

#include <cmath>

#include "common/money.h"
#include "link/frame.h"

namespace ulvo {

namespace {

constexpr bool kCheck = true;
constexpr bool kNoCheck = false;
// Amounts and numbers are not letter-coded; the coding argument is then unused.
constexpr std::uint8_t kAnyCoding = 0;

FrameList CashierFrame(const char* format, const CashierFields& fields, std::uint8_t coding) {
  FrameList list;
  const std::string cashier = list.Field(fields.cashier, true, coding);
  const std::string cashRegister = list.Field(fields.cashRegister, true, coding);
  list.Add(kCheck, format, kEsc, cashier.c_str(), cashRegister.c_str(), kEsc, kBackslash);
  return list;
}

FrameList TextParamFrame(const char* format, const std::string& value) {
  FrameList list;
  const std::string text = list.Field(value, false, kAnyCoding);
  list.Add(kCheck, format, kEsc, text.c_str(), kEsc, kBackslash);
  return list;
}

FrameList OptionFrame(const char* format, int value) {
  FrameList list;
  list.Add(kCheck, format, kEsc, value, kEsc, kBackslash);
  return list;
}

}  // namespace

FrameList BuildClockCorrection(const ClockCorrectionFields& fields) {
  FrameList list;
  list.Add(kCheck, "%cP%d;%d;%d;%d;%d;%d$cxx%c%c", kEsc, fields.date.year - 2000, fields.date.month,
           fields.date.day, fields.time.hour, fields.time.minute, fields.time.second, kEsc,
           kBackslash);
  return list;
}

FrameList BuildCashierLogin(const CashierFields& fields, std::uint8_t letterCoding) {
  return CashierFrame("%cP#p%s\r%s\rcc%c%c", fields, letterCoding);
}

FrameList BuildCashierLogout(const CashierFields& fields, std::uint8_t letterCoding) {
  return CashierFrame("%cP#q%s\r%s\rcc%c%c", fields, letterCoding);
}

FrameList BuildCashIn(const std::string& amount) {
  return TextParamFrame("%cP#i%s/cc%c%c", amount);
}

FrameList BuildCashOut(const std::string& amount) {
  return TextParamFrame("%cP#d%s/cc%c%c", amount);
}

FrameList BuildCashState() {
  FrameList list;
  list.Add(kCheck, "%cP0#tcc%c%c", kEsc, kEsc, kBackslash);
  return list;
}

FrameList BuildShiftReport(const ShiftReportFields& fields, std::uint8_t letterCoding) {
  FrameList list;
  const std::string shift = list.Field(fields.shift, true, letterCoding);
  const std::string cashier = list.Field(fields.cashier, true, letterCoding);
  list.Add(kCheck, "%cP%d#k%s\r%s\rxx%c%c", kEsc, fields.resetting ? 0 : 23, shift.c_str(),
           cashier.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildDrawerPulse(const std::string& pulseMs) {
  return TextParamFrame("%cP%s$2cc%c%c", pulseMs);
}

FrameList BuildPaperFeed(const std::string& lines) {
  return TextParamFrame("%cP%s#lxx%c%c", lines);
}

FrameList BuildMonthlyReminder(bool enable) {
  return OptionFrame("%cP2;%d$oxx%c%c", enable ? 1 : 0);
}

FrameList BuildServiceReminder(const ServiceReminderFields& fields, std::uint8_t letterCoding) {
  FrameList list;
  const std::string phone = list.Field(fields.phone, true, letterCoding);
  // The date goes as unsigned numbers; a date picker never holds a year before 2000.
  const unsigned year =
      fields.date.year >= 2000 ? static_cast<unsigned>(fields.date.year - 2000) : 0;
  list.Add(kCheck, "%cP0;%u;%u;%u;%u$o%s\rxx%c%c", kEsc, fields.enabled ? 1u : 0u, year,
           static_cast<unsigned>(fields.date.month), static_cast<unsigned>(fields.date.day),
           phone.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildErrorHandling(int mode) {
  return OptionFrame("%cP%d#ecc%c%c", mode);
}
FrameList BuildCopyMode(int mode) {
  return OptionFrame("%cP%d$3cc%c%c", mode);
}
FrameList BuildDiscountMethod(int method) {
  return OptionFrame("%cP%d$rcc%c%c", method);
}
FrameList BuildCoverSensor(int mode) {
  return OptionFrame("%cP%d$6cc%c%c", mode);
}
FrameList BuildPrintSpeed(int speed) {
  return OptionFrame("%cP%d$6cc%c%c", speed);
}
FrameList BuildResponseTime(int mode) {
  return OptionFrame("%cP%d$7cc%c%c", mode);
}
FrameList BuildDepositHandling(int mode) {
  return OptionFrame("%cP%d$9cc%c%c", mode);
}

FrameList BuildAutoDrawer(unsigned open) {
  FrameList list;
  list.Add(kCheck, "%cP%u$!xx%c%c", kEsc, open, kEsc, kBackslash);
  return list;
}

FrameList BuildSystemNumberMode(int mode) {
  return OptionFrame("%cP%d$@cc%c%c", mode);
}

FrameList BuildTypeAndVersionAnswer(const std::string& text, std::uint8_t letterCoding) {
  FrameList list;
  const std::string answer = list.Field(text, true, letterCoding);
  list.Add(kCheck, "%cP$#%s\rXX%c%c", kEsc, answer.c_str(), kEsc, kBackslash);
  return list;
}

FrameList BuildRewinderTime(const std::string& seconds) {
  FrameList list;
  const std::optional<double> value = ParseAmount(seconds);
  if (!value || !std::isfinite(*value * 10.0)) {
    list.error = "\"" + seconds + "\" nie jest poprawną liczbą.";
    return list;
  }
  // The printer takes whole tenths of a second.
  list.Add(kCheck, "%cP%.0f$5cc%c%c", kEsc, *value * 10.0, kEsc, kBackslash);
  return list;
}

FrameList BuildOneGroszReceipt(bool openDrawer) {
  FrameList list;
  list.Add(kCheck, "%cP0$hxx%c%c", kEsc, kEsc, kBackslash);
  list.Add(kCheck, "%cP1$lTowar Testowy\r1\rA/0.01/0.01/xx%c%c", kEsc, kEsc, kBackslash);
  list.Add(kCheck, "%cP1;0$e\r0.01/0.01/xx%c%c", kEsc, kEsc, kBackslash);
  // The drawer frame has no place for a check.
  if (openDrawer) list.Add(kNoCheck, "%cP1$d%c%c", kEsc, kEsc, kBackslash);
  return list;
}

FrameList BuildDailyReport(const DailyReportFields& fields) {
  FrameList list;
  if (fields.withoutConfirmation) {
    list.Add(kCheck, "%cP1;%d;%d;%d#rxx%c%c", kEsc, fields.date.year - 2000, fields.date.month,
             fields.date.day, kEsc, kBackslash);
  } else {
    list.Add(kCheck, "%cP0#rxx%c%c", kEsc, kEsc, kBackslash);
  }
  return list;
}

bool PrinterDateToCalendar(int year2, int month, int day, CalendarDate& out) {
  if (year2 < 0 || year2 > 99 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  out = CalendarDate{2000 + year2, month, day};
  return true;
}

}  // namespace ulvo
