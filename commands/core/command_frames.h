#pragma once
// The frames of the simple command dialogs. Each dialog copies its controls into one of the
// plain structs below and calls its builder; the builders are what the unit tests call.
// Text values are UTF-8 as the widgets hold them; the builders convert them to the printer's
// code page.

#include <cstdint>
#include <string>

#include "link/frame_list.h"

namespace ulvo {

struct CalendarDate {
  int year = 2000, month = 1, day = 1;
};
struct ClockTime {
  int hour = 0, minute = 0, second = 0;
};

// TKorektaZegara: "P<yy>;<m>;<d>;<h>;<min>;<s>$c".
struct ClockCorrectionFields {
  CalendarDate date;
  ClockTime time;
};
FrameList BuildClockCorrection(const ClockCorrectionFields& fields);

// TLogowanieKasjera (#p) and TWylogowanieKasjera (#q).
struct CashierFields {
  std::string cashier;       // "Kasjer"
  std::string cashRegister;  // "Numer kasy"
};
FrameList BuildCashierLogin(const CashierFields& fields, std::uint8_t letterCoding);
FrameList BuildCashierLogout(const CashierFields& fields, std::uint8_t letterCoding);

// TWplataDoKasy (#i) and TWyplataZKasy (#d): the amount goes as typed.
FrameList BuildCashIn(const std::string& amount);
FrameList BuildCashOut(const std::string& amount);

// TStanKasy.
FrameList BuildCashState();

// TRaportKasyZmiany: 0 when resetting, 23 otherwise.
struct ShiftReportFields {
  std::string shift;      // "Zmiana"
  std::string cashier;    // "Kasjer"
  bool resetting = true;  // "Zerujący"
};
FrameList BuildShiftReport(const ShiftReportFields& fields, std::uint8_t letterCoding);

// TParametrySzuflady: pulse time in ms, as typed (the printer checks the range).
FrameList BuildDrawerPulse(const std::string& pulseMs);

// TWysuwPapieru.
FrameList BuildPaperFeed(const std::string& lines);

// TRaportyMiesieczne: the monthly report reminder.
FrameList BuildMonthlyReminder(bool enable);

// TPrzegladySerwisowe: the service inspection reminder.
struct ServiceReminderFields {
  bool enabled = true;
  CalendarDate date;
  std::string phone;  // "Telefon"
};
FrameList BuildServiceReminder(const ServiceReminderFields& fields, std::uint8_t letterCoding);

// The configuration options: each sends one value that the printer keeps.
FrameList BuildErrorHandling(int mode);     // TSposobBledow, #e
FrameList BuildCopyMode(int mode);          // TSposobDruowania, $3
FrameList BuildDiscountMethod(int method);  // TMetodaRabatu, $r
FrameList BuildCoverSensor(int mode);       // TCzujnikObudowy, $6
FrameList BuildPrintSpeed(int speed);       // TSzybkoscWydruku, $6 (8, 9, 10)
FrameList BuildResponseTime(int mode);      // TKonfiguracjaCzasuOdp, $7
FrameList BuildDepositHandling(int mode);   // TSposobObslugiKaucjiWLinijceParagonu, $9
FrameList BuildAutoDrawer(unsigned open);   // TAutomatyczneOtwieranieSzuflady, $!
FrameList BuildSystemNumberMode(int mode);  // TDefinicjaNrSystemowego, $@
// TWpisanieTypuIWersji, $#: an empty text restores the printer's own answer.
FrameList BuildTypeAndVersionAnswer(const std::string& text, std::uint8_t letterCoding);

// TMinimalnyCzasSterZwijacz: seconds as typed (',' or '.' as the decimal separator), sent in
// tenths of a second rounded to a whole number. A text that is no number refuses the command.
FrameList BuildRewinderTime(const std::string& seconds);

// TParagonZa1: open, one line of 0.01 in rate A, close; then the drawer when asked.
FrameList BuildOneGroszReceipt(bool openDrawer);

// TWydrukRaportuDobowego: with the date when no keyboard confirmation is wanted.
struct DailyReportFields {
  bool withoutConfirmation = true;  // "Bez potwierdzenia z klawiatury"
  CalendarDate date;
};
FrameList BuildDailyReport(const DailyReportFields& fields);

// "20yy-mm-dd" of the printer's clock as the daily report shows it; false when the clock
// fields do not make a date.
bool PrinterDateToCalendar(int year2, int month, int day, CalendarDate& out);

}  // namespace ulvo
