#include "tools/currency_dialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTime>
#include <QVBoxLayout>

#include "link/link.h"
#include "tools/core/currency.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

const QStringList kMultipliers = {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("100"),
                                  QStringLiteral("1000"), QStringLiteral("10000")};

std::string Utf8(const QString& text) {
  return text.toStdString();
}

QComboBox* MakeMultiplierList(const char* name) {
  auto* list = new QComboBox;
  list->setObjectName(QString::fromLatin1(name));
  list->addItems(kMultipliers);
  list->setCurrentIndex(0);
  return list;
}

// Three letters or digits (upper-case when `upper`).
QLineEdit* MakeCodeEdit(const char* name, const QString& text, bool lettersOnly) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(QString::fromLatin1(name));
  const QString pattern =
      lettersOnly ? QStringLiteral("[A-Za-z]{0,3}") : QStringLiteral("[A-Za-z0-9]{0,3}");
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
  edit->setMaxLength(3);
  return edit;
}

void UpperCaseAsTyped(QLineEdit* edit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const int cursor = edit->cursorPosition();
    edit->setText(text.toUpper());
    edit->setCursorPosition(cursor);
  });
}

QLineEdit* MakeEdit(const char* name, const QString& text) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

// ---- TWaluty ----

TWaluty::TWaluty(CurrencyPayments& table, Link& link, QWidget* parent)
    : QDialog(parent), table_(table), link_(link) {
  setObjectName(QStringLiteral("TWaluty"));
  setWindowTitle(QStringLiteral("Wpłata w walucie obcej"));
  auto* outer = new QVBoxLayout(this);
  for (std::size_t i = 0; i < Entries.size(); ++i) {
    Entry& e = Entries[i];
    const int n = static_cast<int>(i) + 1;
    e.check = new QCheckBox(QStringLiteral("Waluta %1").arg(n));
    e.check->setObjectName(QStringLiteral("CheckBox%1").arg(n));
    outer->addWidget(e.check);
    e.group = new QWidget;
    e.group->setObjectName(QStringLiteral("Group%1").arg(n));
    auto* row = new QHBoxLayout(e.group);
    row->setContentsMargins(0, 0, 0, 0);
    e.multiplier = MakeMultiplierList("");
    e.multiplier->setObjectName(QStringLiteral("Multiplier%1").arg(n));
    e.code = MakeCodeEdit("", QStringLiteral("EUR"), false);
    e.code->setObjectName(QStringLiteral("Code%1").arg(n));
    e.rate = MakeEdit("", QStringLiteral("3,7887"));
    e.rate->setObjectName(QStringLiteral("Rate%1").arg(n));
    e.rate->setToolTip(QStringLiteral("Przelicznik"));
    e.amount = MakeEdit("", QStringLiteral("0"));
    e.amount->setObjectName(QStringLiteral("Amount%1").arg(n));
    e.codeLabel = new QLabel(QStringLiteral("EUR"));
    row->addWidget(e.multiplier);
    row->addWidget(e.code);
    row->addWidget(new QLabel(QStringLiteral("=")));
    row->addWidget(e.rate);
    row->addWidget(new QLabel(QStringLiteral("Wartość wpłaty w walucie")));
    row->addWidget(e.amount);
    row->addWidget(e.codeLabel);
    outer->addWidget(e.group);
    e.group->setVisible(false);
    connect(e.check, &QCheckBox::toggled, e.group, &QWidget::setVisible);
    connect(e.code, &QLineEdit::editingFinished, e.codeLabel,
            [&e] { e.codeLabel->setText(e.code->text()); });
  }
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  Button1 = new QPushButton(QStringLiteral("OK"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("Anuluj"));
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setAutoDefault(false);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  outer->addLayout(buttons);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TWaluty::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) Entries[0].check->setFocus(Qt::TabFocusReason);
}

void TWaluty::Button1Click() {
  CurrencyFields fields;
  for (std::size_t i = 0; i < Entries.size(); ++i) {
    const Entry& e = Entries[i];
    fields[i].enabled = e.check->isChecked();
    fields[i].multiplier = Utf8(e.multiplier->currentText());
    fields[i].code = Utf8(e.code->text());
    fields[i].rate = Utf8(e.rate->text());
    fields[i].amount = Utf8(e.amount->text());
  }
  const std::string error = ApplyCurrencyFields(fields, table_);
  if (!error.empty()) {
    link_.ui().ShowMessage(error);
    return;
  }
  accept();
}

// ---- TPrzeliczenieNaWaluty ----

TPrzeliczenieNaWaluty::TPrzeliczenieNaWaluty(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent,
                    QStringLiteral("Przeliczenie należności paragonu na waluty obce.")) {
  setObjectName(QStringLiteral("TPrzeliczenieNaWaluty"));
  Body()->addWidget(
      new QLabel(QStringLiteral("Tylko dla drukarki z programem sterującym 2.00 lub nowszym")));
  auto* group =
      new QGroupBox(QStringLiteral("Czy drukować przeliczenie należności paragonu na waluty?"));
  auto* groupLayout = new QVBoxLayout(group);
  RadioButton1 = new QRadioButton(
      QStringLiteral("Drukuj pod każdym paragonem przeliczenie nalezności na dana walutę."));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 =
      new QRadioButton(QStringLiteral("Nie drukuj przeliczenia nalezności na dana walutę."));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setChecked(true);
  groupLayout->addWidget(RadioButton1);
  groupLayout->addWidget(RadioButton2);
  Body()->addWidget(group);

  auto* row = new QHBoxLayout;
  ComboBox1 = MakeMultiplierList("ComboBox1");
  Edit1 = MakeCodeEdit("Edit1", QStringLiteral("EUR"), true);
  UpperCaseAsTyped(Edit1);
  Edit2 = MakeEdit("Edit2", QStringLiteral("3.4054"));
  Edit3 = MakeCodeEdit("Edit3", QStringLiteral("PLN"), true);
  UpperCaseAsTyped(Edit3);
  Body()->addLayout(row);
  row->addWidget(ComboBox1);
  row->addWidget(Edit1);
  row->addWidget(new QLabel(QStringLiteral("=")));
  row->addWidget(Edit2);
  row->addWidget(Edit3);
  Body()->addWidget(new QLabel(
      QStringLiteral("(*) - Przelicznik dopuiszcza  9 cyfr z dowolnie umieszczonym przecinkiem")));
  connect(RadioButton1, &QRadioButton::toggled, this, [this] { ChoiceChanged(); });
  ChoiceChanged();
  FinishLayout();
}

void TPrzeliczenieNaWaluty::ChoiceChanged() {
  const bool print = RadioButton1->isChecked();
  for (QWidget* w : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Edit1),
                     static_cast<QWidget*>(Edit2), static_cast<QWidget*>(Edit3)}) {
    w->setEnabled(print);
  }
}

void TPrzeliczenieNaWaluty::FormShow() {
  ComboBox1->setCurrentIndex(0);
}

FrameList TPrzeliczenieNaWaluty::BuildFrames() {
  ConversionFields fields;
  fields.print = RadioButton1->isChecked();
  fields.multiplier = Utf8(ComboBox1->currentText());
  fields.foreignCode = Utf8(Edit1->text());
  fields.rate = Utf8(Edit2->text());
  fields.accountingCode = Utf8(Edit3->text());
  return BuildCurrencyConversion(fields);
}

// ---- TZmianaWalutyEwidencyjnej ----

TZmianaWalutyEwidencyjnej::TZmianaWalutyEwidencyjnej(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Zmiana waluty ewidencyjnej")) {
  setObjectName(QStringLiteral("TZmianaWalutyEwidencyjnej"));
  Body()->addWidget(
      new QLabel(QStringLiteral("Tylko dla drukarki z programem sterującym 2.00 lub nowszym")));
  RadioButton1 = new QRadioButton(QStringLiteral("Zmień walutę ewidencyjną"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("Zmień walutę ewidencyjną w określonym terminie"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton3 =
      new QRadioButton(QStringLiteral("Anuluj zmianę waluty ewidencyjnej w określonym terminie"));
  RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
  RadioButton1->setChecked(true);
  Body()->addWidget(RadioButton1);
  Body()->addWidget(RadioButton2);
  Body()->addWidget(RadioButton3);
  QFormLayout* form = AddForm();
  DateTimePicker1 = MakeDatePicker();
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  MaskEdit1 = MakeEdit("MaskEdit1", QString());
  MaskEdit1->setInputMask(QStringLiteral("00:00"));
  MaskEdit1->setText(QStringLiteral("00:00"));
  Edit1 = MakeCodeEdit("Edit1", QStringLiteral("PLN"), true);
  UpperCaseAsTyped(Edit1);
  form->addRow(QStringLiteral("Data (rrrr-mm-dd)"), DateTimePicker1);
  form->addRow(QStringLiteral("Godzina (gg:mm) "), MaskEdit1);
  form->addRow(QStringLiteral("Oznaczenie waluty ewidencyjnej"), Edit1);
  for (QRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3}) {
    connect(radio, &QRadioButton::toggled, this, [this] { ModeChanged(); });
  }
  ModeChanged();
  FinishLayout();
}

void TZmianaWalutyEwidencyjnej::ModeChanged() {
  const bool scheduled = RadioButton2->isChecked();
  DateTimePicker1->setEnabled(scheduled);
  MaskEdit1->setEnabled(scheduled);
  Edit1->setEnabled(!RadioButton3->isChecked());
}

void TZmianaWalutyEwidencyjnej::FormShow() {
  DateTimePicker1->setDate(QDate::currentDate());
  const QTime now = QTime::currentTime();
  MaskEdit1->setText(QString::fromStdString(FormatHourMinute(now.hour(), now.minute())));
}

FrameList TZmianaWalutyEwidencyjnej::BuildFrames() {
  AccountingCurrencyFields fields;
  fields.mode = RadioButton2->isChecked() ? 1 : RadioButton3->isChecked() ? 2 : 0;
  const QDate date = DateTimePicker1->date();
  fields.year = date.year();
  fields.month = date.month();
  fields.day = date.day();
  fields.time = Utf8(MaskEdit1->text());
  fields.code = Utf8(Edit1->text());
  return BuildAccountingCurrency(fields);
}

}  // namespace ulvo
