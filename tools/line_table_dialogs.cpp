#include "tools/line_table_dialogs.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/receipt_state.h"
#include "link/frame_list.h"
#include "link/link.h"
#include "link/settings.h"
#include "tools/core/frame_sequence.h"
#include "tools/core/line_tables.h"

namespace ulvo {

namespace {

QStringList Headers(const std::array<const char*, kLineFileColumns>& names, std::size_t shown) {
  QStringList headers;
  for (std::size_t c = 0; c < kLineFileColumns; ++c) {
    headers << (c < shown ? QString::fromUtf8(names[c]) : QString());
  }
  return headers;
}

std::vector<LineRow> TableRows(const LineTable* table) {
  std::vector<LineRow> rows(static_cast<std::size_t>(table->rowCount()));
  for (int r = 0; r < table->rowCount(); ++r) {
    for (int c = 0; c < static_cast<int>(kLineFileColumns); ++c) rows[r][c] = table->Cell(r, c);
  }
  return rows;
}

// Loads `path` into the table, or tells why not and leaves the table as it was.
void LoadTable(LineTable* table, const QString& path, LinkUi& ui) {
  const LineFileRead read = ReadLineFile(path.toStdString(), table->rowCount());
  if (!read.error.empty()) {
    ui.ShowMessage(read.error);
    return;
  }
  for (int r = 0; r < table->rowCount(); ++r) {
    for (int c = 0; c < static_cast<int>(kLineFileColumns); ++c)
      table->SetCell(r, c, read.rows[r][c]);
  }
}

void SaveTable(const std::vector<LineRow>& rows,
               const std::array<const char*, kLineFileColumns>& columns, const QString& path,
               LinkUi& ui) {
  const std::string name = path.toStdString();
  const LineFileText text = FormatLineFile(rows, columns);
  if (!text.error.empty()) {
    ui.ShowMessage(text.error);
    return;
  }
  if (QFileInfo::exists(path) && !ui.AskYesNo(LineFileOverwriteQuestion(name))) return;
  if (!text.unmappable.empty() && !ui.AskYesNo(LineFileUnmappableQuestion(text.unmappable))) return;
  const std::string error = WriteFileReplacing(name, text.bytes);
  if (!error.empty()) ui.ShowMessage(error);
}

}  // namespace

// ---- TLinijkiParagonu ----

TLinijkiParagonu::TLinijkiParagonu(AppContext& context, QWidget* parent)
    : TableDialog(context, parent, QStringLiteral("Linijki paragonu")) {
  setObjectName(QStringLiteral("TLinijkiParagonu"));
  auto* heading = new QLabel(QStringLiteral("Linijki paragonu"));
  StringGrid1 = new LineTable(static_cast<int>(kReceiptTableRows),
                              Headers(kReceiptTableColumns, kLineFileColumns), this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  heading->setBuddy(StringGrid1);
  Body()->addWidget(heading);
  Body()->addWidget(StringGrid1);
  resize(760, 480);
  // Column widths 36 %, then 12 %, 10 %, 12 %, 12 %, 12 %.
  const int shares[] = {36, 12, 10, 12, 12, 12};
  for (int c = 0; c < 6; ++c) StringGrid1->setColumnWidth(c, 700 * shares[c] / 100);
  BitBtn1 = MakeFileButton(this, false);
  BitBtn2 = MakeFileButton(this, true);
  FinishLayout({BitBtn1, BitBtn2});
  SetFirstField(StringGrid1);
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    const QString path = ChooseLineFileToOpen(this);
    if (!path.isEmpty()) LoadFromFile(path);
  });
  connect(BitBtn2, &QPushButton::clicked, this, [this] {
    const QString path = ChooseLineFileToSave(this);
    if (!path.isEmpty()) SaveToFile(path);
  });
}

std::vector<LineRow> TLinijkiParagonu::Rows() const {
  return TableRows(StringGrid1);
}

void TLinijkiParagonu::LoadFromFile(const QString& path) {
  LoadTable(StringGrid1, path, link().ui());
}

void TLinijkiParagonu::SaveToFile(const QString& path) {
  SaveTable(Rows(), kReceiptTableColumns, path, link().ui());
}

void TLinijkiParagonu::Button1Click() {
  ReceiptState& state = receipt();
  const ReceiptTablePlan plan =
      PlanReceiptTable(Rows(), state.NextLineNumber, settings().LetterCoding);
  if (!plan.error.empty()) {
    Tell(plan.error);
    return;
  }
  if (!plan.unmappable.empty() && !link().ui().AskYesNo(UnmappableQuestion(plan.unmappable))) {
    return;
  }
  std::vector<std::string> frames;
  for (const ReceiptTableLine& line : plan.lines) frames.push_back(line.frame);
  const int printerType = settings().PrinterType;
  const SequenceResult result = SendFrameSequence(link(), frames, [&](std::size_t i) {
    state.NextLineNumber += 1;
    const LineValue value = ReceiptTableLineValue(printerType, plan.lines[i]);
    if (!value.error.empty()) {
      Tell(value.error);  // the line is in the receipt; only the running total misses it
    } else {
      state.ReceiptTotal += value.value;
    }
  });
  if (result.outcome == SendOutcome::SendFailed) {
    // The dialog stays open; lines already sent stay sent.
    if (result.carriedOut > 0)
      Tell(ReceiptTableStoppedMessage(result.carriedOut, frames.size(), true));
    return;
  }
  if (result.outcome == SendOutcome::PrinterRefused) {
    Tell(ReceiptTableStoppedMessage(result.carriedOut, frames.size(), false));
  }
  accept();
}

// ---- TPelnaTranskacja ----

TPelnaTranskacja::TPelnaTranskacja(AppContext& context, QWidget* parent)
    : TableDialog(context, parent, QStringLiteral("Pełna transakcja")) {
  setObjectName(QStringLiteral("TPelnaTranskacja"));
  StringGrid1 = new LineTable(static_cast<int>(kFullTransactionRows),
                              Headers(kFullTransactionColumns, 4), this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setColumnHidden(4, true);  // kept from files, never shown or sent
  StringGrid1->setColumnHidden(5, true);
  StringGrid1->setColumnWidth(0, 260);
  StringGrid2 = new LineTable(
      4, {QStringLiteral("Płatność"), QStringLiteral("Kwota"), QStringLiteral("Nazwa")}, this);
  StringGrid2->setObjectName(QStringLiteral("StringGrid2"));
  StringGrid2->SetRowCaptions({QStringLiteral("Gotówka"), QStringLiteral("Karta"),
                               QStringLiteral("Czek"), QStringLiteral("Bon")});
  StringGrid2->setMaximumHeight(StringGrid2->verticalHeader()->defaultSectionSize() * 6);
  auto* linesLabel = new QLabel(QStringLiteral("&Linijki"));
  linesLabel->setBuddy(StringGrid1);
  auto* paymentsLabel = new QLabel(QStringLiteral("&Płatności"));
  paymentsLabel->setBuddy(StringGrid2);
  Body()->addWidget(linesLabel);
  Body()->addWidget(StringGrid1);
  Body()->addWidget(paymentsLabel);
  Body()->addWidget(StringGrid2);

  auto* form = new QFormLayout;
  Body()->addLayout(form);
  Edit1 = new QLineEdit(QStringLiteral("0.00"));
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setReadOnly(true);  // filled by "Podlicz"
  Edit2 = new QLineEdit(QStringLiteral("0.00"));
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setMaxLength(49);
  Edit3 = new QLineEdit;
  Edit3->setObjectName(QStringLiteral("Edit3"));
  Edit3->setMaxLength(49);
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setTabChangesFocus(true);
  Memo1->setMaximumHeight(90);
  form->addRow(QStringLiteral("&Razem"), Edit1);
  form->addRow(QStringLiteral("Ra&bat %"), Edit2);
  form->addRow(QStringLiteral("&Kasjer"), Edit3);
  form->addRow(QStringLiteral("&Dodatkowe linie tekstu"), Memo1);

  Button3 = new QPushButton(QStringLiteral("P&odlicz"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  BitBtn1 = MakeFileButton(this, false);
  BitBtn2 = MakeFileButton(this, true);
  FinishLayout({Button3, BitBtn1, BitBtn2});
  SetFirstField(StringGrid1);
  resize(640, 620);
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    const QString path = ChooseLineFileToOpen(this);
    if (!path.isEmpty()) LoadFromFile(path);
  });
  connect(BitBtn2, &QPushButton::clicked, this, [this] {
    const QString path = ChooseLineFileToSave(this);
    if (!path.isEmpty()) SaveToFile(path);
  });
}

void TPelnaTranskacja::FormShow() {
  // The Alta takes cash only.
  const int payments = settings().PrinterType == 0 ? 1 : 4;
  for (int r = 0; r < 4; ++r) StringGrid2->setRowHidden(r, r >= payments);
}

std::vector<LineRow> TPelnaTranskacja::Rows() const {
  return TableRows(StringGrid1);
}

void TPelnaTranskacja::LoadFromFile(const QString& path) {
  LoadTable(StringGrid1, path, link().ui());
}

void TPelnaTranskacja::SaveToFile(const QString& path) {
  SaveTable(Rows(), kFullTransactionColumns, path, link().ui());
}

void TPelnaTranskacja::Button3Click() {
  const FullTransactionTally tally = AddUpFullTransaction(Rows());
  for (const std::string& message : tally.messages) Tell(message);
  Edit1->setText(QString::fromStdString(tally.total));
}

void TPelnaTranskacja::Button1Click() {
  const std::vector<LineRow> rows = Rows();
  const FullTransactionTally tally = AddUpFullTransaction(rows);
  for (const std::string& message : tally.messages) Tell(message);
  Edit1->setText(QString::fromStdString(tally.total));
  if (tally.total == "0.00") {
    link().ui().Beep();
    Tell(kZeroSumMessage);
    return;
  }
  FullTransaction input;
  input.rows = rows;
  const int payments = settings().PrinterType == 0 ? 1 : 4;
  for (int r = 0; r < payments; ++r) {
    input.payments.push_back({StringGrid2->Cell(r, 1), StringGrid2->Cell(r, 2)});
  }
  input.discount = Edit2->text().toStdString();
  input.cashier = Edit3->text().toStdString();
  input.extraLines = Memo1->toPlainText().toStdString();
  const FrameList list =
      BuildFullTransactionFrames(input, tally, settings().PrinterType, settings().LetterCoding);
  if (list.Refused()) {
    Tell(list.error);  // nothing sent; the dialog stays open for the correction
    return;
  }
  accept();
  LinkUi& ui = link().ui();
  if (!ui.AskYesNo(FullTransactionQuestion(tally.total, input.discount))) return;
  if (!list.unmappable.empty() && !ui.AskYesNo(UnmappableQuestion(list.unmappable))) return;
  const SequenceResult result = SendFrameSequence(link(), list.frames);
  // Once the receipt is open, a stop leaves it open in the printer.
  if (result.carriedOut > 0 && result.carriedOut < list.frames.size()) {
    Tell(FullTransactionStoppedMessage(result.carriedOut, list.frames.size()));
  }
}

}  // namespace ulvo
