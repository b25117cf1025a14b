#include "commands/catalogue_dialogs.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "commands/core/command_frames.h"
#include "commands/core/help_texts.h"
#include "link/link.h"
#include "link/settings.h"

namespace ulvo {

namespace {

CalendarDate ToCalendar(const QDate& date) {
  return {date.year(), date.month(), date.day()};
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

// A picker and its "Aktualna ..." button side by side.
QWidget* PickerRow(QWidget* picker, QWidget* button) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(picker);
  layout->addWidget(button);
  return row;
}

QLineEdit* MakeEdit(const char* name, const QString& text = QString()) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

// ---- TKorektaZegara ----

TKorektaZegara::TKorektaZegara(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Korekta zegara")) {
  setObjectName(QStringLiteral("TKorektaZegara"));
  QFormLayout* form = AddForm();
  DateTimePicker1 = MakeDatePicker();
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  BitBtn1 = new QPushButton(QStringLiteral("Aktualna data"));
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  form->addRow(QStringLiteral("Data (rrrr-mm-dd)"), PickerRow(DateTimePicker1, BitBtn1));
  DateTimePicker2 = MakeTimePicker();
  DateTimePicker2->setObjectName(QStringLiteral("DateTimePicker2"));
  BitBtn2 = new QPushButton(QStringLiteral("Aktualna godzina"));
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  form->addRow(QStringLiteral("Godzina (gg:mm:ss) "), PickerRow(DateTimePicker2, BitBtn2));
  connect(BitBtn1, &QPushButton::clicked, this,
          [this] { DateTimePicker1->setDate(QDate::currentDate()); });
  connect(BitBtn2, &QPushButton::clicked, this,
          [this] { DateTimePicker2->setTime(QTime::currentTime()); });
  FinishLayout();
}

void TKorektaZegara::FormShow() {
  // In certification mode the pickers keep what they held.
  if (settings().CertificationMode != 0) return;
  DateTimePicker1->setDate(QDate::currentDate());
  DateTimePicker2->setTime(QTime::currentTime());
}

FrameList TKorektaZegara::BuildFrames() {
  const QTime time = DateTimePicker2->time();
  return BuildClockCorrection(
      {ToCalendar(DateTimePicker1->date()), {time.hour(), time.minute(), time.second()}});
}

// ---- cashier ----

CashierDialog::CashierDialog(AppContext& context, QWidget* parent, const QString& caption,
                             bool login)
    : CommandDialog(context, parent, caption), login_(login) {
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1");
  Edit2 = MakeEdit("Edit2");
  form->addRow(QStringLiteral("Kasjer"), Edit1);
  form->addRow(QStringLiteral("Numer kasy"), Edit2);
  FinishLayout();
}

FrameList CashierDialog::BuildFrames() {
  const CashierFields fields{Utf8(Edit1->text()), Utf8(Edit2->text())};
  return login_ ? BuildCashierLogin(fields, settings().LetterCoding)
                : BuildCashierLogout(fields, settings().LetterCoding);
}

TLogowanieKasjera::TLogowanieKasjera(AppContext& context, QWidget* parent)
    : CashierDialog(context, parent, QStringLiteral("Logowanie kasjera"), true) {
  setObjectName(QStringLiteral("TLogowanieKasjera"));
}

TWylogowanieKasjera::TWylogowanieKasjera(AppContext& context, QWidget* parent)
    : CashierDialog(context, parent, QStringLiteral("Wylogowanie kasjera"), false) {
  setObjectName(QStringLiteral("TWylogowanieKasjera"));
}

// ---- one field ----

OneFieldDialog::OneFieldDialog(AppContext& context, QWidget* parent, const QString& caption,
                               const QString& label, const QString& defaultText, Builder builder)
    : CommandDialog(context, parent, caption), builder_(builder) {
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1", defaultText);
  form->addRow(label, Edit1);
}

FrameList OneFieldDialog::BuildFrames() {
  return builder_(Utf8(Edit1->text()));
}

TWplataDoKasy::TWplataDoKasy(AppContext& context, QWidget* parent)
    : OneFieldDialog(context, parent, QStringLiteral("Wpłata do kasy"), QStringLiteral("Wpłata"),
                     QStringLiteral("0.00"), &BuildCashIn) {
  setObjectName(QStringLiteral("TWplataDoKasy"));
  FinishLayout();
}

TWyplataZKasy::TWyplataZKasy(AppContext& context, QWidget* parent)
    : OneFieldDialog(context, parent, QStringLiteral("Wypłata z kasy"), QStringLiteral("Wypłata"),
                     QStringLiteral("0.00"), &BuildCashOut) {
  setObjectName(QStringLiteral("TWyplataZKasy"));
  FinishLayout();
}

TParametrySzuflady::TParametrySzuflady(AppContext& context, QWidget* parent)
    : OneFieldDialog(context, parent, QStringLiteral("Parametry otwierania szuflady"),
                     QStringLiteral("Czas impulsu sterującego szufladą [ms]"),
                     QStringLiteral("100"), &BuildDrawerPulse) {
  setObjectName(QStringLiteral("TParametrySzuflady"));
  Edit1->setToolTip(QStringLiteral("Zakres (100-255 ms)"));
  Body()->addWidget(new QLabel(QStringLiteral("Zakres (100-255 ms)")));
  auto* note = new QLabel(QStringLiteral(
      "Podłączyć można wszystkie szuflady, których napięcie pracy wynosi od 12V do 24V"));
  note->setWordWrap(true);
  note->setFrameShape(QFrame::StyledPanel);
  Body()->addWidget(note);
  FinishLayout();
}

TWysuwPapieru::TWysuwPapieru(AppContext& context, QWidget* parent)
    : OneFieldDialog(context, parent, QStringLiteral("Wysuw papieru"),
                     QStringLiteral("Ilość linii"), QStringLiteral("1"), &BuildPaperFeed) {
  setObjectName(QStringLiteral("TWysuwPapieru"));
  FinishLayout();
}

TMinimalnyCzasSterZwijacz::TMinimalnyCzasSterZwijacz(AppContext& context, QWidget* parent)
    : OneFieldDialog(context, parent, QStringLiteral("Minimalny czas sterowania zwijaczem"),
                     QStringLiteral("Minimalny czas impulsu sterującego zwijaczem podczas "
                                    "drukowania"),
                     QStringLiteral("3"), &BuildRewinderTime) {
  setObjectName(QStringLiteral("TMinimalnyCzasSterZwijacz"));
  Edit1->setToolTip(QStringLiteral("Zakres ( 0 - 5s )"));
  Body()->addWidget(new QLabel(QStringLiteral("Zakres ( 0 - 5s )")));
  FinishLayout();
}

// ---- TStanKasy ----

TStanKasy::TStanKasy(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Stan kasy")) {
  setObjectName(QStringLiteral("TStanKasy"));
  Body()->addWidget(new QLabel(QStringLiteral("Stan kasy")));
  FinishLayout();
}

FrameList TStanKasy::BuildFrames() {
  return BuildCashState();
}

// ---- TRaportKasyZmiany ----

TRaportKasyZmiany::TRaportKasyZmiany(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Raport kasy/zmiany")) {
  setObjectName(QStringLiteral("TRaportKasyZmiany"));
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1");
  Edit2 = MakeEdit("Edit2");
  form->addRow(QStringLiteral("Zmiana"), Edit1);
  form->addRow(QStringLiteral("Kasjer"), Edit2);
  CheckBox1 = new QCheckBox(QStringLiteral("Zerujący"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setChecked(true);
  form->addRow(CheckBox1);
  FinishLayout();
}

FrameList TRaportKasyZmiany::BuildFrames() {
  return BuildShiftReport({Utf8(Edit1->text()), Utf8(Edit2->text()), CheckBox1->isChecked()},
                          settings().LetterCoding);
}

// ---- TPrzegladySerwisowe ----

TPrzegladySerwisowe::TPrzegladySerwisowe(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Przeglądy serwisowe")) {
  setObjectName(QStringLiteral("TPrzegladySerwisowe"));
  QFormLayout* form = AddForm();
  DateTimePicker1 = MakeDatePicker();
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  // Set once, when the dialog is made: a year from today.
  DateTimePicker1->setDate(QDate::currentDate().addDays(365));
  form->addRow(QStringLiteral("Data kolejnego przeglądu serwisowego."), DateTimePicker1);
  Edit2 = MakeEdit("Edit2");
  form->addRow(QStringLiteral("Telefon"), Edit2);
  RadioButton1 = new QRadioButton(QStringLiteral("Wyłącz przypominanie o przeglądach serwisowych"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 =
      new QRadioButton(QStringLiteral("Uaktywnij przypominanie o przeglądach serwisowych"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setChecked(true);
  form->addRow(RadioButton1);
  form->addRow(RadioButton2);
  connect(RadioButton1, &QRadioButton::toggled, this, [this] { UpdateEnabled(); });
  FinishLayout();
}

void TPrzegladySerwisowe::UpdateEnabled() {
  const bool on = RadioButton2->isChecked();
  DateTimePicker1->setEnabled(on);
  Edit2->setEnabled(on);
}

FrameList TPrzegladySerwisowe::BuildFrames() {
  return BuildServiceReminder(
      {RadioButton2->isChecked(), ToCalendar(DateTimePicker1->date()), Utf8(Edit2->text())},
      settings().LetterCoding);
}

// ---- TWpisanieTypuIWersji ----

TWpisanieTypuIWersji::TWpisanieTypuIWersji(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Definicja odpowiedzi na rozkaz #v")) {
  setObjectName(QStringLiteral("TWpisanieTypuIWersji"));
  RadioButton1 = new QRadioButton(QStringLiteral("Domyślna odpowiedź"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton1->setChecked(true);
  RadioButton2 = new QRadioButton(QStringLiteral("Zdefiniowanie niestandardowej odpowiedzi"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  Body()->addWidget(RadioButton1);
  Body()->addWidget(RadioButton2);
  choiceRow_ = new QWidget;
  auto* row = new QFormLayout(choiceRow_);
  row->setContentsMargins(0, 0, 0, 0);
  ComboBox1 = new QComboBox;
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->addItems({QStringLiteral("POSNET Thermal/2.01"), QStringLiteral("Alta Pro/3.10F")});
  row->addRow(QStringLiteral("Wybierz odpowiedź"), ComboBox1);
  Body()->addWidget(choiceRow_);
  BitBtn1 = MakeHelpButton(QStringLiteral("&Pomoc"), kHelpTypeAndVersion);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  Body()->addWidget(BitBtn1, 0, Qt::AlignLeft);
  connect(RadioButton2, &QRadioButton::toggled, this, [this] { UpdateVisible(); });
  UpdateVisible();
  FinishLayout();
}

void TWpisanieTypuIWersji::UpdateVisible() {
  choiceRow_->setVisible(RadioButton2->isChecked());
}

FrameList TWpisanieTypuIWersji::BuildFrames() {
  const std::string text = RadioButton2->isChecked() ? Utf8(ComboBox1->currentText()) : "";
  return BuildTypeAndVersionAnswer(text, settings().LetterCoding);
}

// ---- TParagonZa1 ----

TParagonZa1::TParagonZa1(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Paragon za 1 grosik")) {
  setObjectName(QStringLiteral("TParagonZa1"));
  CheckBox1 = new QCheckBox(QStringLiteral("Wyślij rozkaz otworzenia szuflady po paragonie"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setChecked(true);
  Body()->addWidget(CheckBox1);
  FinishLayout();
}

FrameList TParagonZa1::BuildFrames() {
  return BuildOneGroszReceipt(CheckBox1->isChecked());
}

// ---- TWydrukRaportuDobowego ----

TWydrukRaportuDobowego::TWydrukRaportuDobowego(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Wydruk raportu dobowego")) {
  setObjectName(QStringLiteral("TWydrukRaportuDobowego"));
  QFormLayout* form = AddForm();
  DateTimePicker1 = MakeDatePicker();
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  BitBtn1 = new QPushButton(QStringLiteral("Aktualna data"));
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  form->addRow(QStringLiteral("Data (rrrr-mm-dd)"), PickerRow(DateTimePicker1, BitBtn1));
  CheckBox1 = new QCheckBox(QStringLiteral("Bez potwierdzenia z klawiatury"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setChecked(true);
  form->addRow(CheckBox1);
  connect(BitBtn1, &QPushButton::clicked, this,
          [this] { DateTimePicker1->setDate(QDate::currentDate()); });
  FinishLayout();
}

void TWydrukRaportuDobowego::FormShow() {
  if (settings().CertificationMode == 0) {
    DateTimePicker1->setDate(QDate::currentDate());
    return;
  }
  // The report must carry the printer's own date. When the clock cannot be read the picker
  // keeps what it held rather than a made-up date.
  Link& printer = link();
  printer.ReadClock();
  CalendarDate date;
  if (printer.ReplyReceived == 1 &&
      PrinterDateToCalendar(printer.ClockYear, printer.ClockMonth, printer.ClockDay, date)) {
    DateTimePicker1->setDate(QDate(date.year, date.month, date.day));
  }
}

FrameList TWydrukRaportuDobowego::BuildFrames() {
  return BuildDailyReport({CheckBox1->isChecked(), ToCalendar(DateTimePicker1->date())});
}

}  // namespace ulvo
