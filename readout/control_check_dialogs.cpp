#include "readout/control_check_dialogs.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "link/settings.h"
#include "readout/core/control_check_frames.h"

namespace ulvo {

namespace {

QLineEdit* Edit(const char* name, const QString& text = QString()) {
  auto* edit = new QLineEdit(text);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QLineEdit* Masked(const char* name, const char* mask) {
  QLineEdit* edit = Edit(name);
  edit->setInputMask(QString::fromLatin1(mask));
  return edit;
}

// Letters and the control number are upper-case whatever is typed.
QLineEdit* UpperCase(const char* name, int maxLength) {
  QLineEdit* edit = Edit(name);
  edit->setMaxLength(maxLength);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const int cursor = edit->cursorPosition();
    edit->setText(text.toUpper());
    edit->setCursorPosition(cursor);
  });
  return edit;
}

QTableWidget* Grid(const char* name, int rows, const QString& first, const QString& second) {
  auto* grid = new QTableWidget(rows, 2);
  grid->setObjectName(QString::fromLatin1(name));
  grid->setHorizontalHeaderLabels({first, second});
  grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  grid->setTabKeyNavigation(false);
  return grid;
}

std::string Cell(const QTableWidget* grid, int row, int column) {
  const QTableWidgetItem* item = grid->item(row, column);
  return item == nullptr ? std::string() : item->text().trimmed().toStdString();
}

std::string Text(const QLineEdit* edit) {
  return edit->text().toStdString();
}

// A sample printout with the fields the check asks for marked.
QPixmap SamplePrintout(bool dailyReport) {
  const QStringList receipt = {
      "        FIRMA HANDLOWA  SP. Z O.O.",
      "        ul. Długa 1, 00-001 Warszawa",
      "           NIP 123-456-78-90",
      "[Data wydruku] 05-03-2010    [Nr dok.] 12",
      "        PARAGON FISKALNY",
      "[Nazwa] Chleb         1 x 3,20  3,20 [A]",
      "[Nazwa] Mleko         1 x 2,50  2,50 [B]",
      "[Suma PTU]  SUMA PTU             0,78",
      "[SUMA paragonu]  SUMA PLN        5,70",
      "[Nr par.] 00007  #Kasa 1   [Czas] 12:30:00",
      "[Litery Cyfry]  ABC 12345678",
      "Numer kontrolny:",
      "[#] 7E99C5FAE2FF8EA5A3EEB5CC06AD6A171FDE9FF8",
  };
  const QStringList report = {
      "        FIRMA HANDOWA  SP. Z O.O.",
      "           NIP 123-456-78-90",
      "[Data raportu] 05-03-2010  [Nr rap.]   7",
      "      RAPORT FISKALNY DOBOWY",
      "[A] SPRZED. OPOD. PTU A          100,00",
      "[E] SPRZED. ZWOL. PTU E            5,00",
      "ŁĄCZNA KWOTA PTU  [1]             23,00",
      "ILOŚĆ PARAGONÓW   [2]                12",
      "KWOTY ŁĄCZNE OD RAP. NR    1 DO    7",
      "ŁĄCZNA KWOTA PTU  [3]           1234,56",
      "[Litery Cyfry]  ABC 12345678",
      "Numer kontrolny:",
      "[#] 7E99C5FAE2FF8EA5A3EEB5CC06AD6A171FDE9FF8",
  };
  const QStringList& lines = dailyReport ? report : receipt;
  QFont font(QStringLiteral("Courier New"), 9);
  font.setStyleHint(QFont::TypeWriter);
  const QFontMetrics metrics(font);
  const int width = metrics.horizontalAdvance(QString(46, QLatin1Char('X'))) + 20;
  const int height = static_cast<int>(lines.size()) * metrics.height() + 30;
  QPixmap picture(width, height);
  picture.fill(QColor(255, 255, 245));
  QPainter painter(&picture);
  painter.setFont(font);
  painter.setPen(QColor(120, 120, 120));
  painter.drawRect(0, 0, width - 1, height - 1);
  int y = 15 + metrics.ascent();
  for (const QString& line : lines) {
    // The marked fields in blue, the printout in black.
    int x = 10;
    QString rest = line;
    while (!rest.isEmpty()) {
      const int open = rest.indexOf(QLatin1Char('['));
      const int close = open < 0 ? -1 : rest.indexOf(QLatin1Char(']'), open);
      const QString plain = open < 0 || close < 0 ? rest : rest.left(open);
      painter.setPen(Qt::black);
      painter.drawText(x, y, plain);
      x += metrics.horizontalAdvance(plain);
      if (open < 0 || close < 0) break;
      const QString mark = rest.mid(open, close - open + 1);
      painter.setPen(QColor(0, 70, 200));
      painter.drawText(x, y, mark);
      x += metrics.horizontalAdvance(mark);
      rest = rest.mid(close + 1);
    }
    y += metrics.height();
  }
  return picture;
}

bool IsF1(QEvent* event) {
  return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1;
}

// The two parts of the unique number and the control number, as both checks ask for them.
void AddUniqueAndControlNumber(QVBoxLayout* body, QLineEdit*& letters, QLineEdit*& digits,
                               QLineEdit*& control) {
  auto* unique = new QGroupBox(QStringLiteral("Numer unikatowy"));
  auto* u = new QFormLayout(unique);
  letters = UpperCase("Edit5", 3);
  digits = Masked("Edit6", "99999999");
  u->addRow(QStringLiteral("Litery"), letters);
  u->addRow(QStringLiteral("Cyfry"), digits);
  body->addWidget(unique);
  auto* form = new QFormLayout;
  body->addLayout(form);
  control = UpperCase("Edit7", 40);
  form->addRow(QStringLiteral("Numer kontrolny"), control);
}

}  // namespace

// ---- help windows ----

ControlHelpWindow::ControlHelpWindow(QWidget* parent, const QString& caption, bool dailyReport)
    : QDialog(parent) {
  setWindowTitle(caption);
  auto* layout = new QVBoxLayout(this);
  auto* picture = new QLabel;
  picture->setObjectName(QStringLiteral("Image1"));
  picture->setPixmap(SamplePrintout(dailyReport));
  layout->addWidget(picture);
  auto* close = new QPushButton(QStringLiteral("&Zamknij"));
  close->setObjectName(QStringLiteral("Button1"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(close);
  layout->addLayout(row);
}

TPomocNrKontrolnyPar::TPomocNrKontrolnyPar(QWidget* parent)
    : ControlHelpWindow(parent, QStringLiteral("Dane dla numeru kontrolnego paragonu"), false) {
  setObjectName(QStringLiteral("TPomocNrKontrolnyPar"));
}

TPomocNrKontrolnyRapDobowego::TPomocNrKontrolnyRapDobowego(QWidget* parent)
    : ControlHelpWindow(parent, QStringLiteral("Dane dla numeru kontrolnego raportu dobowego"),
                        true) {
  setObjectName(QStringLiteral("TPomocNrKontrolnyRapDobowego"));
}

// ---- TNrKontrolnyPar ----

TNrKontrolnyPar::TNrKontrolnyPar(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Sprawdzenie numeru kontrolnego paragonu")) {
  setObjectName(QStringLiteral("TNrKontrolnyPar"));
  QFormLayout* top = AddForm();
  MaskEdit1 = Masked("MaskEdit1", "99-99-9999");
  Edit1 = Edit("Edit1");
  top->addRow(QStringLiteral("Data wydruku"), MaskEdit1);
  top->addRow(QStringLiteral("Numer dokumentu"), Edit1);
  StringGrid1 = Grid("StringGrid1", kReceiptItemRows, QStringLiteral("Nazwa towaru/usługi"),
                     QStringLiteral("PTU (litera A-G)"));
  StringGrid1->setMinimumHeight(160);
  Body()->addWidget(StringGrid1);
  QFormLayout* sums = AddForm();
  Edit2 = Edit("Edit2");
  Edit3 = Edit("Edit3");
  Edit4 = Edit("Edit4");
  MaskEdit2 = Masked("MaskEdit2", "99:99:99");
  sums->addRow(QStringLiteral("Suma PTU"), Edit2);
  sums->addRow(QStringLiteral("SUMA paragonu"), Edit3);
  sums->addRow(QStringLiteral("Numer paragonu"), Edit4);
  sums->addRow(QStringLiteral("Czas wydruku"), MaskEdit2);
  CheckBox1 = new QCheckBox(QStringLiteral("Paragon anulowany"));
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  Body()->addWidget(CheckBox1);
  AddUniqueAndControlNumber(Body(), Edit5, Edit6, Edit7);
  connect(CheckBox1, &QCheckBox::toggled, this, [this] { UpdateCancelled(); });
  help = new TPomocNrKontrolnyPar(this);
  FinishLayout();
}

void TNrKontrolnyPar::UpdateCancelled() {
  const bool on = !CheckBox1->isChecked();
  for (QLineEdit* e : {Edit2, Edit3, Edit4, Edit5}) {
    e->setEnabled(on);
    e->setStyleSheet(on ? QString() : QStringLiteral("background-color: #d4d0c8;"));
  }
}

FrameList TNrKontrolnyPar::BuildFrames() {
  ReceiptCheckFields f;
  f.date = Text(MaskEdit1);
  f.documentNumber = Text(Edit1);
  for (int row = 0; row < StringGrid1->rowCount(); ++row) {
    f.items.push_back({Cell(StringGrid1, row, 0), Cell(StringGrid1, row, 1)});
  }
  f.ptuSum = Text(Edit2);
  f.receiptSum = Text(Edit3);
  f.receiptNumber = Text(Edit4);
  f.time = Text(MaskEdit2);
  f.cancelled = CheckBox1->isChecked();
  f.uniqueLetters = Text(Edit5);
  f.uniqueDigits = Text(Edit6);
  f.controlNumber = Text(Edit7);
  return BuildReceiptCheck(f, settings().LetterCoding);
}

void TNrKontrolnyPar::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1) {
    help->exec();
    return;
  }
  CommandDialog::keyPressEvent(event);
}

bool TNrKontrolnyPar::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (IsF1(event) && widget != nullptr && widget->window() == this) {
    help->exec();
    return true;
  }
  return CommandDialog::eventFilter(watched, event);
}

// ---- TNrKontrolnyRapDobowego ----

TNrKontrolnyRapDobowego::TNrKontrolnyRapDobowego(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent,
                    QStringLiteral("Sprawdzenie numeru kontrolnego raportu dobowego")) {
  setObjectName(QStringLiteral("TNrKontrolnyRapDobowego"));
  QFormLayout* top = AddForm();
  MaskEdit1 = Masked("MaskEdit1", "99-99-9999");
  Edit1 = Edit("Edit1", QStringLiteral("0"));
  top->addRow(QStringLiteral("Data raportu"), MaskEdit1);
  top->addRow(QStringLiteral("Numer raportu"), Edit1);
  StringGrid1 = Grid("StringGrid1", kReportLetterRows, QStringLiteral("PTU (litera A-G)"),
                     QStringLiteral("SPRZED. OPOD. PTU"));
  StringGrid2 = Grid("StringGrid2", kReportLetterRows, QStringLiteral("PTU (litera A-G)"),
                     QStringLiteral("SPRZED. ZWOL. PTU"));
  auto* grids = new QHBoxLayout;
  grids->addWidget(StringGrid1);
  grids->addWidget(StringGrid2);
  Body()->addLayout(grids);
  QFormLayout* sums = AddForm();
  Edit2 = Edit("Edit2");
  Edit3 = Edit("Edit3");
  sums->addRow(QStringLiteral("ŁĄCZNA KWOTA PTU"), Edit2);
  sums->addRow(QStringLiteral("ILOŚĆ PARAGONÓW"), Edit3);
  auto* running = new QGroupBox(QStringLiteral("KWOTY ŁĄCZNE OD RAP. 1 DO N"));
  auto* r = new QFormLayout(running);
  Edit4 = Edit("Edit4");
  r->addRow(QStringLiteral("ŁĄCZNA KWOTA PTU"), Edit4);
  Body()->addWidget(running);
  AddUniqueAndControlNumber(Body(), Edit5, Edit6, Edit7);
  help = new TPomocNrKontrolnyRapDobowego(this);
  FinishLayout(QStringLiteral("&Wyślij"), QStringLiteral("&Anuluj"));
}

FrameList TNrKontrolnyRapDobowego::BuildFrames() {
  ReportCheckFields f;
  f.date = Text(MaskEdit1);
  f.reportNumber = Text(Edit1);
  for (int row = 0; row < kReportLetterRows; ++row) {
    f.taxed.push_back({Cell(StringGrid1, row, 0), Cell(StringGrid1, row, 1)});
    f.exempt.push_back({Cell(StringGrid2, row, 0), Cell(StringGrid2, row, 1)});
  }
  f.ptuTotal = Text(Edit2);
  f.receipts = Text(Edit3);
  f.runningPtu = Text(Edit4);
  f.uniqueLetters = Text(Edit5);
  f.uniqueDigits = Text(Edit6);
  f.controlNumber = Text(Edit7);
  return BuildReportCheck(f, settings().LetterCoding);
}

bool TNrKontrolnyRapDobowego::eventFilter(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (IsF1(event) && widget != nullptr && widget->window() == this) {
    help->exec();
    return true;
  }
  return CommandDialog::eventFilter(watched, event);
}

}  // namespace ulvo
