#include "tools/document_dialogs.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "link/link.h"
#include "link/settings.h"
#include "tools/core/frame_sequence.h"

namespace ulvo {

namespace {

QLineEdit* MakeEdit(const char* name) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(name));
  // No length limit here: a cut would lose a pasted text's end unseen; the frame builder
  // refuses an over-long field by name instead.
  return edit;
}

// The report kind group with its three choices, the first selected.
QGroupBox* KindGroup(const QString& title, const char* const captions[3],
                     QRadioButton* buttons[3]) {
  auto* group = new QGroupBox(title);
  auto* layout = new QVBoxLayout(group);
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new QRadioButton(QString::fromUtf8(captions[i]));
    buttons[i]->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
    layout->addWidget(buttons[i]);
  }
  buttons[0]->setChecked(true);
  return group;
}

int CheckedIndex(QRadioButton* const buttons[3]) {
  for (int i = 0; i < 3; ++i) {
    if (buttons[i]->isChecked()) return i;
  }
  return 0;
}

}  // namespace

// ---- orders ----

OrderStepDialog::OrderStepDialog(AppContext& context, QWidget* parent, const QString& caption)
    : CommandDialog(context, parent, caption) {
  SetKeyMode(KeyMode::EscapeOnly);
}

void OrderStepDialog::AddExtraLines() {
  CheckBox1 = new QCheckBox(QStringLiteral("&Dodatkowe linie"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setTabChangesFocus(true);
  Memo1->setMaximumHeight(110);
  Body()->addWidget(CheckBox1);
  Body()->addWidget(Memo1);
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
  FinishLayout();
}

void OrderStepDialog::UpdateEnabled() {
  // Disabled also greys it, as the original's white/grey box.
  Memo1->setEnabled(CheckBox1->isChecked());
}

OrderExtraLines OrderStepDialog::ExtraLines() const {
  return {CheckBox1->isChecked(), Memo1->toPlainText().toStdString()};
}

TPoczatekZamowienia::TPoczatekZamowienia(AppContext& context, QWidget* parent)
    : OrderStepDialog(context, parent, QStringLiteral("Początek zamówienia")) {
  setObjectName(QStringLiteral("TPoczatekZamowienia"));
  Edit1 = MakeEdit("Edit1");
  AddForm()->addRow(QStringLiteral("&Zamawiający"), Edit1);
  AddExtraLines();
}

FrameList TPoczatekZamowienia::BuildFrames() {
  return BuildOrderStart(Edit1->text().toStdString(), ExtraLines(), settings().LetterCoding);
}

TLinijkaZamowienia::TLinijkaZamowienia(AppContext& context, QWidget* parent)
    : OrderStepDialog(context, parent, QStringLiteral("Linijka zamówienia")) {
  setObjectName(QStringLiteral("TLinijkaZamowienia"));
  Edit1 = MakeEdit("Edit1");
  Edit2 = MakeEdit("Edit2");
  QFormLayout* form = AddForm();
  form->addRow(QStringLiteral("&Nazwa artykułu"), Edit1);
  form->addRow(QStringLiteral("&Ilość"), Edit2);
  AddExtraLines();
}

FrameList TLinijkaZamowienia::BuildFrames() {
  return BuildOrderLine(Edit1->text().toStdString(), Edit2->text().toStdString(), ExtraLines(),
                        settings().LetterCoding);
}

TZakonczenieZamowienia::TZakonczenieZamowienia(AppContext& context, QWidget* parent)
    : OrderStepDialog(context, parent, QStringLiteral("Zakończenie zamówienia")) {
  setObjectName(QStringLiteral("TZakonczenieZamowienia"));
  AddExtraLines();
}

FrameList TZakonczenieZamowienia::BuildFrames() {
  return BuildOrderEnd(ExtraLines(), settings().LetterCoding);
}

// ---- database report, single steps ----

TPoczateRaportuBazy::TPoczateRaportuBazy(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Początek raportu")) {
  setObjectName(QStringLiteral("TPoczateRaportuBazy"));
  static const char* const kCaptions[3] = {
      "Wydruk przyporządkowania nazw do wartości stawek i usług .",
      "Wydruk zmian przyporządkowania nazw do wartości stawek PTU .",
      "Wydruk nazw towarów i usług zablokowanych do sprzedaży ."};
  QRadioButton* buttons[3];
  Body()->addWidget(KindGroup(QStringLiteral("Wybierz rodzaj raportu"), kCaptions, buttons));
  RadioButton1 = buttons[0];
  RadioButton2 = buttons[1];
  RadioButton3 = buttons[2];
  FinishLayout();
}

FrameList TPoczateRaportuBazy::BuildFrames() {
  QRadioButton* const buttons[3] = {RadioButton1, RadioButton2, RadioButton3};
  return BuildDatabaseReportStart(CheckedIndex(buttons));
}

TPozycjaRaportuBazy::TPozycjaRaportuBazy(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Pozycja raportu")) {
  setObjectName(QStringLiteral("TPozycjaRaportuBazy"));
  Edit1 = MakeEdit("Edit1");
  ComboBox1 = new QComboBox;
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  for (char letter = 'A'; letter <= 'G'; ++letter) ComboBox1->addItem(QString(QChar(letter)));
  ComboBox1->setCurrentIndex(0);
  QFormLayout* form = AddForm();
  form->addRow(QStringLiteral("&Nazwa towaru"), Edit1);
  form->addRow(QStringLiteral("&Stawka PTU"), ComboBox1);
  FinishLayout();
}

FrameList TPozycjaRaportuBazy::BuildFrames() {
  return BuildDatabaseReportItem(Edit1->text().toStdString(),
                                 ComboBox1->currentText().toStdString(), settings().LetterCoding);
}

TZakonczenieRaportuBazy::TZakonczenieRaportuBazy(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Zakończenie raportu")) {
  setObjectName(QStringLiteral("TZakonczenieRaportuBazy"));
  Body()->addWidget(new QLabel(QStringLiteral("Zakończenie raportu kontroli bazy towarowej.")));
  FinishLayout();
}

FrameList TZakonczenieRaportuBazy::BuildFrames() {
  return BuildDatabaseReportEnd();
}

// ---- reports from a table ----

DatabaseTableDialog::DatabaseTableDialog(AppContext& context, QWidget* parent,
                                         const QString& caption)
    : TableDialog(context, parent, caption) {}

void DatabaseTableDialog::Button1Click() {
  const FrameList list = BuildFrames();
  if (list.Refused()) {
    Tell(list.error);
    return;
  }
  if (!list.unmappable.empty() && !link().ui().AskYesNo(UnmappableQuestion(list.unmappable))) {
    return;
  }
  const SequenceResult result = SendFrameSequence(link(), list.frames);
  const std::size_t items = list.frames.size() - 2;
  // Once the start was carried out, a stop before the end leaves the report open.
  if (result.carriedOut > 0 && result.carriedOut < list.frames.size()) {
    Tell(DatabaseReportStoppedMessage(std::min(result.carriedOut - 1, items), items));
  }
  if (result.outcome == SendOutcome::SendFailed) return;  // stays open for another try
  accept();
}

void DatabaseTableDialog::AddKindChoice(const char* const captions[3]) {
  QRadioButton* buttons[3];
  Body()->addWidget(KindGroup(QStringLiteral("Rodzaj raportu"), captions, buttons));
  RadioButton1 = buttons[0];
  RadioButton2 = buttons[1];
  RadioButton3 = buttons[2];
}

TPelnaKontrolaBazy::TPelnaKontrolaBazy(AppContext& context, QWidget* parent)
    : DatabaseTableDialog(context, parent, QStringLiteral("Pełna kontrola bazy")) {
  setObjectName(QStringLiteral("TPelnaKontrolaBazy"));
  static const char* const kCaptions[3] = {"Przyporządkowanie towaru/usługi do stawki PTU",
                                           "Zminany przyporządkowania towarów/usług do stawek PTU",
                                           "Towary/usługi zablokowane do sprzedaży"};
  AddKindChoice(kCaptions);
  StringGrid1 =
      new LineTable(static_cast<int>(kDatabaseTableRows),
                    {QStringLiteral("Nazwa towaru/usługi"), QStringLiteral("Stawka PTU")}, this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setColumnWidth(0, 330);  // three quarters of the table
  StringGrid1->horizontalHeader()->setStretchLastSection(true);
  Body()->addWidget(StringGrid1);
  FinishLayout();
  resize(480, 560);
  SetEnterSends(true);
  SetFirstField(RadioButton1);
}

FrameList TPelnaKontrolaBazy::BuildFrames() {
  QRadioButton* const buttons[3] = {RadioButton1, RadioButton2, RadioButton3};
  std::vector<std::array<std::string, 2>> rows(kDatabaseTableRows);
  for (int r = 0; r < static_cast<int>(kDatabaseTableRows); ++r) {
    rows[r] = {StringGrid1->Cell(r, 0), StringGrid1->Cell(r, 1)};
  }
  return BuildFullDatabaseCheck(CheckedIndex(buttons), rows, settings().LetterCoding);
}

TKontrolaBazyTowarowejDlaBus::TKontrolaBazyTowarowejDlaBus(AppContext& context, QWidget* parent)
    : DatabaseTableDialog(
          context, parent,
          QStringLiteral("Kontrola bazy towarowej dla biletów w drukarce autobusowej")) {
  setObjectName(QStringLiteral("TKontrolaBazyTowarowejDlaBus"));
  Body()->addWidget(new QLabel(QStringLiteral("Kontrola bazy towarowej  dla biletów")));
  static const char* const kCaptions[3] = {"Przyporządkowanie towaru/usługi do stawi PTU",
                                           "Zminany przyporządkowania towarów/usług do stawek PTU",
                                           "Towary/usługi zablokowane do sprzedaży"};
  AddKindChoice(kCaptions);
  StringGrid1 =
      new LineTable(static_cast<int>(kDatabaseTableRows),
                    {QStringLiteral("Nazwa biletu"), QStringLiteral("Nazwa pozycji biletu"),
                     QStringLiteral("PTU"), QStringLiteral("PTU Dopłata")},
                    this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setColumnWidth(0, 200);
  StringGrid1->setColumnWidth(1, 200);
  Body()->addWidget(StringGrid1);
  FinishLayout();
  resize(640, 560);
  SetFirstField(RadioButton1);
}

FrameList TKontrolaBazyTowarowejDlaBus::BuildFrames() {
  QRadioButton* const buttons[3] = {RadioButton1, RadioButton2, RadioButton3};
  std::vector<std::array<std::string, 4>> rows(kDatabaseTableRows);
  for (int r = 0; r < static_cast<int>(kDatabaseTableRows); ++r) {
    rows[r] = {StringGrid1->Cell(r, 0), StringGrid1->Cell(r, 1), StringGrid1->Cell(r, 2),
               StringGrid1->Cell(r, 3)};
  }
  return BuildTicketDatabaseCheck(4 + CheckedIndex(buttons), rows, settings().LetterCoding);
}

}  // namespace ulvo
