#include "commands/option_dialogs.h"

#include <QVBoxLayout>

#include "commands/core/command_frames.h"
#include "commands/core/help_texts.h"
#include "link/settings.h"

namespace ulvo {

namespace {

FrameList AutoDrawerFrame(int value) {
  return BuildAutoDrawer(static_cast<unsigned>(value));
}
FrameList MonthlyReminderFrame(int value) {
  return BuildMonthlyReminder(value != 0);
}

QRadioButton* MakeRadio(const QString& caption, int number) {
  auto* radio = new QRadioButton(caption);
  radio->setObjectName(QStringLiteral("RadioButton%1").arg(number));
  return radio;
}

int CheckedIndex(const std::vector<QRadioButton*>& radios) {
  for (std::size_t i = 0; i < radios.size(); ++i) {
    if (radios[i]->isChecked()) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

OptionDialog::OptionDialog(AppContext& context, QWidget* parent, const QString& caption,
                           const QString& groupCaption, const std::vector<OptionChoice>& choices,
                           int defaultIndex, Builder builder, const char* helpText)
    : CommandDialog(context, parent, caption), builder_(builder) {
  GroupBox1 = new QGroupBox(groupCaption);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  groupLayout_ = new QVBoxLayout(GroupBox1);
  int number = 1;
  for (const OptionChoice& choice : choices) {
    QRadioButton* radio = MakeRadio(choice.caption, number++);
    groupLayout_->addWidget(radio);
    RadioButtons.push_back(radio);
    values_.push_back(choice.value);
  }
  if (defaultIndex >= 0 && defaultIndex < static_cast<int>(RadioButtons.size())) {
    RadioButtons[defaultIndex]->setChecked(true);
  }
  Body()->addWidget(GroupBox1);
  if (helpText != nullptr) {
    BitBtn1 = MakeHelpButton(QStringLiteral("&Pomoc"), helpText);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    Body()->addWidget(BitBtn1, 0, Qt::AlignLeft);
  }
}

int OptionDialog::ChosenValue() const {
  const int index = CheckedIndex(RadioButtons);
  return index < 0 ? -1 : values_[index];
}

FrameList OptionDialog::BuildFrames() {
  const int value = ChosenValue();
  if (value < 0) {
    FrameList list;
    list.error = "Nie wybrano żadnej opcji.";
    return list;
  }
  return builder_(value);
}

// ---- TSposobBledow ----

TSposobBledow::TSposobBledow(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Sposób obsługi błędów")) {
  setObjectName(QStringLiteral("TSposobBledow"));
  GroupBox1 = new QGroupBox(QStringLiteral("Sposób obsługi błędów"));
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto* layout1 = new QVBoxLayout(GroupBox1);
  const QString captions1[] = {
      QStringLiteral("Wyświetlanie komunikatu na wyświetlaczu."),
      QStringLiteral("Nie wyświetla komunikatu, nie zatrzymuje."),
      QStringLiteral("Wyświetlanie komunikatu na wyświetlaczu oraz automatyczna odpowiedź."),
      QStringLiteral("Brak wyświetlania komunikatu i zatrzymania. Automatycznie wysłanie "
                     "odpowiedzi.")};
  int number = 1;
  for (const QString& caption : captions1) {
    RadioButtons1.push_back(MakeRadio(caption, number++));
    layout1->addWidget(RadioButtons1.back());
  }
  RadioButtons1[0]->setChecked(true);
  GroupBox2 = new QGroupBox(QStringLiteral("Sposób obsługi błędów"));
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  auto* layout2 = new QVBoxLayout(GroupBox2);
  RadioButtons2.push_back(MakeRadio(QStringLiteral("Komunikaty do komputera."), number++));
  RadioButtons2.push_back(MakeRadio(QStringLiteral("Komunikaty na wyświetlacz."), number++));
  for (QRadioButton* radio : RadioButtons2) layout2->addWidget(radio);
  RadioButtons2[0]->setChecked(true);
  Body()->addWidget(GroupBox1);
  Body()->addWidget(GroupBox2);
  FinishLayout();
}

void TSposobBledow::FormShow() {
  const bool alta = settings().PrinterType == 0;
  GroupBox1->setVisible(!alta);
  GroupBox2->setVisible(alta);
  adjustSize();
}

FrameList TSposobBledow::BuildFrames() {
  if (settings().PrinterType == 0) {
    // "Komunikaty do komputera." 1, "Komunikaty na wyświetlacz." 0.
    const int index = CheckedIndex(RadioButtons2);
    return BuildErrorHandling(index == 0 ? 1 : 0);
  }
  const int index = CheckedIndex(RadioButtons1);
  return BuildErrorHandling(index < 0 ? 0 : index);
}

// ---- the single-group options ----

TSposobDruowania::TSposobDruowania(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Sposób drukowania kopii i oryginału"),
                   QStringLiteral("Oszczędność papieru"),
                   {{QStringLiteral("Kopia i oryginał są iderntyczne."), 1},
                    {QStringLiteral("Na kopii nie ma nagłówków oraz odcięcia. (domyślne)"), 2},
                    {QStringLiteral("Na kopii nie ma nagłówków i odcięcia oraz\n"
                                    "dokumenty niefiskalne są drukowane tylko na kopii."),
                     3}},
                   0, &BuildCopyMode) {
  setObjectName(QStringLiteral("TSposobDruowania"));
  FinishLayout();
}

TMetodaRabatu::TMetodaRabatu(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Metoda obliczania rabatu"),
                   QStringLiteral("Metoda obliczania rabatu"),
                   {{QStringLiteral("Metoda 1 (jak bileterka ULVO T310)"), 1},
                    {QStringLiteral("Metoda 2 (jak drukarka Alta PRO)"), 0}},
                   1, &BuildDiscountMethod) {
  setObjectName(QStringLiteral("TMetodaRabatu"));
  auto* formulas = new QGroupBox(QStringLiteral("Wzory"));
  auto* layout = new QVBoxLayout(formulas);
  for (const char* line :
       {"wartość' = ( (1- ( R/100 ) ) * wartość )", "Rabat = wartość - wartość' - kwota rabatu",
        "Rabat = (wartość * R)/100 - kwota rabatu", "wartość' = wartość - Rabat",
        "wartość - wartość przed rabatem", "wartość' - wartość po rabacie",
        "R - wartość procentowa rabatu"}) {
    layout->addWidget(new QLabel(QString::fromUtf8(line)));
  }
  Body()->addWidget(formulas);
  FinishLayout();
}

void TMetodaRabatu::FormShow() {
  const bool busAltaPro = settings().BusMode != 0 && settings().PrinterType == 1;
  RadioButtons[0]->setText(busAltaPro ? QStringLiteral("Metoda 2 (jak bileterka ULVO T310)")
                                      : QStringLiteral("Metoda 1 (jak bileterka ULVO T310)"));
  RadioButtons[1]->setText(busAltaPro ? QStringLiteral("Metoda 1 (jak drukarka Alta PRO ")
                                      : QStringLiteral("Metoda 2 (jak drukarka Alta PRO)"));
}

TCzujnikObudowy::TCzujnikObudowy(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Czujnik pokrywy"),
                   QStringLiteral("Czujnik pokrywy"),
                   {{QStringLiteral("Brak reakcji na brak pokrywy"), 0},
                    {QStringLiteral("Wyświetlanie komunikatu o braku pokrywy"), 1},
                    {QStringLiteral("Blokowanie wydruku przy braku pokrywy"), 2}},
                   0, &BuildCoverSensor) {
  setObjectName(QStringLiteral("TCzujnikObudowy"));
  SetKeyMode(KeyMode::SendButtonOnly);
  FinishLayout();
}

TSzybkoscWydruku::TSzybkoscWydruku(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Konfiguracja szybkości wydruku"),
                   QStringLiteral("Szybkość wydruku"),
                   {{QStringLiteral("Prędkość standardowa"), 8},
                    {QStringLiteral("Prędkość podwyższona"), 9},
                    {QStringLiteral("Prędkość maksymalna"), 10}},
                   2, &BuildPrintSpeed) {
  setObjectName(QStringLiteral("TSzybkoscWydruku"));
  FinishLayout();
}

TKonfiguracjaCzasuOdp::TKonfiguracjaCzasuOdp(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Konfiguracja czasu odpowiedzi"),
                   QStringLiteral("Konfiguracja czasu odpowiedzi"),
                   {{QStringLiteral("Domyślny czas odpowiedzi (domyślnie)"), 0},
                    {QStringLiteral("Skorygowany czas odpowiedzi dla pewnych rozkazów"), 1},
                    {QStringLiteral("Skorygowany czas odpowiedzi dla większości rozkazów"), 2}},
                   0, &BuildResponseTime, kHelpResponseTime) {
  setObjectName(QStringLiteral("TKonfiguracjaCzasuOdp"));
  // The note belongs under its choice.
  GroupLayout()->insertWidget(2, new QLabel(QStringLiteral("( logowanie kasjera, zakończenie "
                                                           "paragonu )")));
  FinishLayout();
}

TSposobObslugiKaucjiWLinijceParagonu::TSposobObslugiKaucjiWLinijceParagonu(AppContext& context,
                                                                           QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Sposób obsługi kaucji w linijce paragonu"),
                   QStringLiteral("Sposób obsługi kaucji w linijce paragonu"),
                   {{QStringLiteral("Zgodnie z protokołem POSNET (domyślnie)"), 0},
                    {QStringLiteral("Zgodnie z protokołem poprzednich drukarek firmy ULVO"), 1}},
                   0, &BuildDepositHandling, kHelpDeposit) {
  setObjectName(QStringLiteral("TSposobObslugiKaucjiWLinijceParagonu"));
  FinishLayout();
}

TAutomatyczneOtwieranieSzuflady::TAutomatyczneOtwieranieSzuflady(AppContext& context,
                                                                 QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Otwieranie szuflady po transakcji"),
                   QStringLiteral("Czy automatycznie otwierać szufladę po każdej transakcji?"),
                   {{QStringLiteral("TAK"), 1}, {QStringLiteral("NIE ( domyślnie )"), 0}}, 1,
                   &AutoDrawerFrame, kHelpAutoDrawer) {
  setObjectName(QStringLiteral("TAutomatyczneOtwieranieSzuflady"));
  FinishLayout();
}

TDefinicjaNrSystemowego::TDefinicjaNrSystemowego(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Definicja nr systemowego"),
                   QStringLiteral("Definicja nr systemowego"),
                   {{QStringLiteral("Zgodnie z protokołem POSNET (domyślnie)"), 1},
                    {QStringLiteral("Zgodnie z protokołem poprzednich drukarek firmy ULVO"), 0}},
                   0, &BuildSystemNumberMode, kHelpSystemNumber) {
  setObjectName(QStringLiteral("TDefinicjaNrSystemowego"));
  SetKeyMode(KeyMode::WhileNoFocus);
  FinishLayout();
}

TRaportyMiesieczne::TRaportyMiesieczne(AppContext& context, QWidget* parent)
    : OptionDialog(context, parent, QStringLiteral("Przypominanie o raporcie miesięcznym"),
                   QStringLiteral("Czy uaktywnić opcję przypominanania o raporcie miesięcznym ?"),
                   {{QStringLiteral("TAK"), 1}, {QStringLiteral("NIE"), 0}}, 0,
                   &MonthlyReminderFrame) {
  setObjectName(QStringLiteral("TRaportyMiesieczne"));
  FinishLayout();
}

}  // namespace ulvo
