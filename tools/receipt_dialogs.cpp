#include "tools/receipt_dialogs.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "common/receipt_state.h"
#include "link/link.h"
#include "link/settings.h"
#include "tools/core/currency.h"
#include "tools/currency_dialogs.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

std::string Utf8(const QString& text) {
  return text.toStdString();
}

QLineEdit* MakeEdit(const char* name, const QString& text = QString()) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QComboBox* MakeList(const char* name, const QStringList& items) {
  auto* list = new QComboBox;
  list->setObjectName(QString::fromLatin1(name));
  list->addItems(items);
  list->setCurrentIndex(0);
  return list;
}

// The lines of the confirmations: typed by hand, enabled with their check box.
QPlainTextEdit* MakeMemo() {
  auto* memo = new QPlainTextEdit;
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setTabChangesFocus(true);
  memo->setEnabled(false);
  return memo;
}

const QStringList kConfirmationDiscounts = {
    QStringLiteral("Brak"), QStringLiteral("Rabat procentowy"), QStringLiteral("Narzut procentowy"),
    QStringLiteral("Rabat kwotowy"), QStringLiteral("Narzut kwotowy")};

// Running totals are shown without a minus sign for what is really zero.
QString TotalText(double total) {
  if (total > -0.005 && total < 0.005) total = 0.0;
  return QString::asprintf("%.2f", total);
}

}  // namespace

// ---- TPoczatekTransakcji ----

TPoczatekTransakcji::TPoczatekTransakcji(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Początek transakcji")),
      receipt_(context.receipt) {
  setObjectName(QStringLiteral("TPoczatekTransakcji"));
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1", QStringLiteral("48"));
  Edit2 = MakeEdit("Edit2");
  form->addRow(QStringLiteral("Ilość pozycji sprzedaży"), Edit1);
  form->addRow(QStringLiteral("Numer systemowy"), Edit2);
  RadioButton1 = new QRadioButton(QStringLiteral("Tryb blokowy"));
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("Paragon ON-LINE"));
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setChecked(true);
  form->addRow(RadioButton1);
  form->addRow(RadioButton2);
  CheckBox1 = new QCheckBox(QStringLiteral("Numer systemowy w postaci kodu kreskowego"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  form->addRow(CheckBox1);
  connect(RadioButton1, &QRadioButton::toggled, this, [this] { ModeChanged(); });
  ModeChanged();
  FinishLayout();
}

void TPoczatekTransakcji::ModeChanged() {
  // An on-line receipt announces no line count.
  Edit1->setEnabled(RadioButton1->isChecked());
}

FrameList TPoczatekTransakcji::BuildFrames() {
  ReceiptOpenFields fields;
  fields.lineCount = Utf8(Edit1->text());
  fields.systemNumber = Utf8(Edit2->text());
  fields.blockMode = RadioButton1->isChecked();
  fields.barCode = CheckBox1->isChecked();
  return BuildReceiptOpen(fields, settings().LetterCoding);
}

void TPoczatekTransakcji::FramesSent(SendOutcome) {
  // A new receipt starts here whatever the printer said about it.
  receipt_.NextLineNumber = 1;
  receipt_.ReceiptTotal = 0.0;
}

// ---- TLinijkaParagonu ----

TLinijkaParagonu::TLinijkaParagonu(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Linijka paragonu")),
      receipt_(context.receipt) {
  setObjectName(QStringLiteral("TLinijkaParagonu"));
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1");
  Edit2 = MakeEdit("Edit2");
  Edit3 = MakeEdit("Edit3", QStringLiteral("0.00"));
  ComboBox1 = MakeList("ComboBox1", {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                                     QStringLiteral("D"), QStringLiteral("E"), QStringLiteral("F"),
                                     QStringLiteral("G"), QStringLiteral("P ( kaucja )")});
  Edit4 = MakeEdit("Edit4", QStringLiteral("0.00"));
  Edit5 = MakeEdit("Edit5", QStringLiteral("0.00"));
  ComboBox2 =
      MakeList("ComboBox2", {QStringLiteral("Brak"), QStringLiteral("Rabat kwotowy"),
                             QStringLiteral("Rabat procentowy"), QStringLiteral("Dopłata kwotowa"),
                             QStringLiteral("Dopłata procentowa")});
  Edit6 = MakeEdit("Edit6", QStringLiteral("0.00"));
  CheckBox1 = new QCheckBox(QStringLiteral("Pozycja STORNO"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  form->addRow(QStringLiteral("Nr linijki"), Edit1);
  form->addRow(QStringLiteral("Nazwa towaru"), Edit2);
  form->addRow(QStringLiteral("Ilość"), Edit3);
  form->addRow(QStringLiteral("PTU"), ComboBox1);
  form->addRow(QStringLiteral("Cena towaru"), Edit4);
  form->addRow(QStringLiteral("Brutto"), Edit5);
  form->addRow(QStringLiteral("Rodzaj rabatu"), ComboBox2);
  form->addRow(QStringLiteral("Kwota rabatu"), Edit6);
  form->addRow(CheckBox1);
  Edit6->setEnabled(false);
  connect(ComboBox2, &QComboBox::currentIndexChanged, this,
          [this](int index) { Edit6->setEnabled(index > 0); });
  FinishLayout();
}

void TLinijkaParagonu::FormShow() {
  Edit1->setText(QString::number(receipt_.NextLineNumber));
}

bool TLinijkaParagonu::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && (watched == Edit3 || watched == Edit4)) {
    // Only a move to another field counts as leaving; a message box or a closing window
    // taking the focus does not.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason) {
      Left(static_cast<QLineEdit*>(watched));
    }
  }
  if (event->type() == QEvent::KeyPress && watched == Edit2) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter after the name goes on to the quantity.
      Edit3->setFocus(Qt::TabFocusReason);
      return true;
    }
  }
  return CommandDialog::eventFilter(watched, event);
}

void TLinijkaParagonu::Left(QLineEdit* edit) {
  const GrossUpdate update = edit == Edit3 ? LeaveQuantity(working_, Utf8(Edit3->text()))
                                           : LeavePrice(working_, Utf8(Edit4->text()));
  if (!update.error.empty()) {
    link().ui().ShowMessage(update.error);
    return;
  }
  Edit5->setText(QString::fromStdString(update.grossText));
}

FrameList TLinijkaParagonu::BuildFrames() {
  ReceiptLineFields fields;
  fields.lineNumber = Utf8(Edit1->text());
  fields.name = Utf8(Edit2->text());
  fields.quantity = Utf8(Edit3->text());
  fields.ptuIndex = ComboBox1->currentIndex();
  fields.price = Utf8(Edit4->text());
  fields.gross = Utf8(Edit5->text());
  fields.discountKind = ComboBox2->currentIndex();
  fields.discount = Utf8(Edit6->text());
  fields.storno = CheckBox1->isChecked();
  ReceiptLineFrame line = BuildReceiptLine(fields, settings().PrinterType, settings().LetterCoding);
  pendingValue_ = line.value;
  pendingStorno_ = fields.storno;
  return std::move(line.list);
}

void TLinijkaParagonu::FramesSent(SendOutcome outcome) {
  // A line the printer refused changes nothing.
  if (outcome != SendOutcome::Done) return;
  receipt_.NextLineNumber += 1;
  receipt_.ReceiptTotal += pendingStorno_ ? -pendingValue_ : pendingValue_;
}

// ---- TZatwierdzenieTransakcji ----

TZatwierdzenieTransakcji::TZatwierdzenieTransakcji(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Zatwierdzenie transakcji")),
      receipt_(context.receipt) {
  setObjectName(QStringLiteral("TZatwierdzenieTransakcji"));
  SetKeyMode(KeyMode::EscapeOnly);
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1");
  Edit2 = MakeEdit("Edit2", QStringLiteral("0.00"));
  Edit3 = MakeEdit("Edit3", QStringLiteral("0.00"));
  ComboBox1 = MakeList("ComboBox1", kConfirmationDiscounts);
  Edit4 = MakeEdit("Edit4", QStringLiteral("0.00"));
  Edit4->setEnabled(false);
  CheckBox1 = new QCheckBox(QStringLiteral("Dodatkowe linie"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  Memo1 = MakeMemo();
  form->addRow(QStringLiteral("Kod Kasjera"), Edit1);
  form->addRow(QStringLiteral("TOTAL"), Edit2);
  form->addRow(QStringLiteral("Wpłata"), Edit3);
  form->addRow(QStringLiteral("Rodzaj rabatu"), ComboBox1);
  form->addRow(QStringLiteral("RABAT"), Edit4);
  form->addRow(CheckBox1);
  form->addRow(Memo1);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this,
          [this](int index) { Edit4->setEnabled(index > 0); });
  connect(CheckBox1, &QCheckBox::toggled, Memo1, &QWidget::setEnabled);
  FinishLayout();
}

void TZatwierdzenieTransakcji::FormShow() {
  Edit2->setText(TotalText(receipt_.ReceiptTotal));
}

FrameList TZatwierdzenieTransakcji::BuildFrames() {
  ConfirmationFields fields;
  fields.cashier = Utf8(Edit1->text());
  fields.total = Utf8(Edit2->text());
  fields.payment = Utf8(Edit3->text());
  fields.discountKind = ComboBox1->currentIndex();
  fields.discount = Utf8(Edit4->text());
  fields.withLines = CheckBox1->isChecked();
  fields.additionalLines = Utf8(Memo1->toPlainText());
  return BuildConfirmation(fields, settings().LetterCoding);
}

// ---- TZatwierdzenieRozszerzone ----

TZatwierdzenieRozszerzone::TZatwierdzenieRozszerzone(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Zatwierdzenie rozszerzone")),
      receipt_(context.receipt) {
  setObjectName(QStringLiteral("TZatwierdzenieRozszerzone"));
  SetKeyMode(KeyMode::EscapeOnly);
  QFormLayout* form = AddForm();
  Edit1 = MakeEdit("Edit1", QStringLiteral("0.00"));
  Edit2 = MakeEdit("Edit2");
  form->addRow(QStringLiteral("TOTAL"), Edit1);
  form->addRow(QStringLiteral("Kod Kasjera"), Edit2);

  static const char* const kCaptions[7] = {
      "Wpłata", "Reszta", "Kaucja pobrana", "Kaucja zwrócona", "Karta", "Czek", "Bon"};
  auto* grid = new QGridLayout;
  Edit3 = MakeEdit("Edit3");
  Edit4 = MakeEdit("Edit4");
  Edit5 = MakeEdit("Edit5");
  QLineEdit* names[7] = {nullptr, nullptr, nullptr, nullptr, Edit3, Edit4, Edit5};
  static const char* const kNameCaptions[7] = {nullptr,       nullptr,       nullptr,     nullptr,
                                               "Nazwa karty", "Nazwa czeku", "Nazwa bonu"};
  for (int i = 0; i < 7; ++i) {
    AmountChecks[i] = new QCheckBox(QString::fromUtf8(kCaptions[i]));
    AmountChecks[i]->setObjectName(QStringLiteral("CheckBox%1").arg(i + 2));
    Amounts[i] = MakeEdit("", QStringLiteral("0.00"));
    Amounts[i]->setObjectName(QStringLiteral("Amount%1").arg(i + 1));
    Amounts[i]->setEnabled(false);
    grid->addWidget(AmountChecks[i], i, 0);
    grid->addWidget(Amounts[i], i, 1);
    if (names[i] != nullptr) {
      grid->addWidget(new QLabel(QString::fromUtf8(kNameCaptions[i])), i, 2);
      grid->addWidget(names[i], i, 3);
    }
    connect(AmountChecks[i], &QCheckBox::toggled, Amounts[i], &QWidget::setEnabled);
  }
  Body()->addLayout(grid);

  QFormLayout* lower = AddForm();
  ComboBox1 = MakeList("ComboBox1", kConfirmationDiscounts);
  Edit6 = MakeEdit("Edit6", QStringLiteral("0.00"));
  Edit6->setEnabled(false);
  lower->addRow(QStringLiteral("Rodzaj rabatu"), ComboBox1);
  lower->addRow(QStringLiteral("RABAT"), Edit6);
  CheckBox1 = new QCheckBox(QStringLiteral("Dodatkowe linie"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  Memo1 = MakeMemo();
  lower->addRow(CheckBox1);
  lower->addRow(Memo1);
  Button3 = new QPushButton(QStringLiteral("Waluty"));
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setAutoDefault(false);
  lower->addRow(Button3);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this,
          [this](int index) { Edit6->setEnabled(index > 0); });
  connect(CheckBox1, &QCheckBox::toggled, Memo1, &QWidget::setEnabled);
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  Currencies = new TWaluty(receipt_.Currencies, link(), this);
  FinishLayout();
}

void TZatwierdzenieRozszerzone::FormShow() {
  Edit1->setText(TotalText(receipt_.ReceiptTotal));
}

void TZatwierdzenieRozszerzone::Button3Click() {
  if (Currencies->exec() != QDialog::Accepted) return;
  // One line per currency paid; the last line break would only add an empty line.
  QString lines = QString::fromStdString(CurrencyLines(receipt_.Currencies));
  if (lines.endsWith(QLatin1Char('\n'))) lines.chop(1);
  Memo1->setPlainText(lines);
}

FrameList TZatwierdzenieRozszerzone::BuildFrames() {
  ExtendedConfirmationFields f;
  f.total = Utf8(Edit1->text());
  f.cashier = Utf8(Edit2->text());
  std::string* amounts[7] = {&f.payment, &f.change, &f.depositTaken, &f.depositReturned,
                             &f.card,    &f.cheque, &f.voucher};
  bool* used[7] = {&f.usePayment, &f.useChange, &f.useDepositTaken, &f.useDepositReturned,
                   &f.useCard,    &f.useCheque, &f.useVoucher};
  for (int i = 0; i < 7; ++i) {
    *amounts[i] = Utf8(Amounts[i]->text());
    *used[i] = AmountChecks[i]->isChecked();
  }
  f.cardName = Utf8(Edit3->text());
  f.chequeName = Utf8(Edit4->text());
  f.voucherName = Utf8(Edit5->text());
  f.discountKind = ComboBox1->currentIndex();
  f.discount = Utf8(Edit6->text());
  f.withLines = CheckBox1->isChecked();
  f.additionalLines = Utf8(Memo1->toPlainText());
  return BuildExtendedConfirmation(f, settings().LetterCoding);
}

// ---- TAnulowanieTransakcji ----

TAnulowanieTransakcji::TAnulowanieTransakcji(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Anulowanie transakcji")) {
  setObjectName(QStringLiteral("TAnulowanieTransakcji"));
  Body()->addWidget(new QLabel(QStringLiteral("Anulowanie transakcji")));
  FinishLayout();
}

FrameList TAnulowanieTransakcji::BuildFrames() {
  return BuildReceiptCancel();
}

// ---- card slips ----

CardSlipDialog::CardSlipDialog(AppContext& context, QWidget* parent, const QString& caption,
                               bool charge)
    : CommandDialog(context, parent, caption), charge_(charge) {
  auto* group = new QGroupBox(QStringLiteral("Sposób drukowania"));
  auto* groupLayout = new QVBoxLayout(group);
  static const char* const kChoices[3] = {"Oryginał i kopia z oczekiwaniem na wciśnięcie klawisza",
                                          "Oryginał i kopia bez wciśnięcie klawisza", "Bez kopii"};
  for (int i = 0; i < 3; ++i) {
    RadioButtons[i] = new QRadioButton(QString::fromUtf8(kChoices[i]));
    RadioButtons[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
    groupLayout->addWidget(RadioButtons[i]);
  }
  RadioButtons[0]->setChecked(true);
  Body()->addWidget(group);
  CheckBox1 =
      new QCheckBox(QStringLiteral("Linia zawierająca numer kasy / numer kasjera jest drukowana"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  Body()->addWidget(CheckBox1);
  QFormLayout* form = AddForm();
  for (std::size_t i = 0; i < Edits.size(); ++i) {
    Edits[i] = MakeEdit("");
    Edits[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    form->addRow(QString::fromUtf8(kCardSlipCaptions[i]), Edits[i]);
  }
  FinishLayout();
}

FrameList CardSlipDialog::BuildFrames() {
  CardSlipFields fields;
  fields.registerLine = CheckBox1->isChecked();
  for (int i = 0; i < 3; ++i) {
    if (RadioButtons[i]->isChecked()) fields.printing = i;
  }
  for (std::size_t i = 0; i < Edits.size(); ++i) fields.texts[i] = Utf8(Edits[i]->text());
  return charge_ ? BuildCardCharge(fields) : BuildCardRefund(fields);
}

TPowitowanieSprzedarzy::TPowitowanieSprzedarzy(AppContext& context, QWidget* parent)
    : CardSlipDialog(context, parent, QStringLiteral("Potwierdzenie obciążenia karty płatniczej"),
                     true) {
  setObjectName(QStringLiteral("TPowitowanieSprzedarzy"));
}

TTransakcjaUznana::TTransakcjaUznana(AppContext& context, QWidget* parent)
    : CardSlipDialog(context, parent, QStringLiteral("Potwierdzenie uznania karty płatniczej"),
                     false) {
  setObjectName(QStringLiteral("TTransakcjaUznana"));
}

}  // namespace ulvo
