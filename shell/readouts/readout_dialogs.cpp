#include "shell/readouts/readout_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cstring>
#include <string>

#include "common/cp1250.h"
#include "link/link.h"
#include "link/settings.h"
#include "shell/readouts/core/input_buffer.h"
#include "shell/readouts/core/readout_files.h"
#include "shell/readouts/core/readout_texts.h"

namespace ulvo {

namespace {

QString FromUtf8(const std::string& text) {
  return QString::fromStdString(text);
}

// A Windows-1250 text of a fixed link field, never read past its end.
QString FromFixedField(const char* field, std::size_t size) {
  return FromUtf8(Cp1250ToUtf8(std::string(field, strnlen(field, size))));
}

QLabel* Heading(const QString& text) {
  auto* label = new QLabel(text);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

// A status bit shown as a tick the user cannot change.
QCheckBox* MakeBit(const QString& caption) {
  auto* box = new QCheckBox(caption);
  box->setAttribute(Qt::WA_TransparentForMouseEvents);
  box->setFocusPolicy(Qt::NoFocus);
  return box;
}

constexpr std::size_t kTextFileLimit = 16u * 1024u * 1024u;

}  // namespace

// ---- TInformacjeKasowe ----

TInformacjeKasowe::TInformacjeKasowe(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Informacje Kasowe"), true) {
  setObjectName(QStringLiteral("TInformacjeKasowe"));
  Body()->addWidget(Heading(QStringLiteral("Informacje kasowe")));
  auto* form = new QFormLayout;
  Body()->addLayout(form);
  EditMode = MakeField("EditMode");
  EditTrf = MakeField("EditTrf");
  EditLastError = MakeField("EditLastError");
  EditRamResets = MakeField("EditRamResets");
  EditCash = MakeField("EditCash");
  EditUniqueNumber = MakeField("EditUniqueNumber");
  form->addRow(QStringLiteral("Tryb pracy drukarki:"), EditMode);
  form->addRow(QStringLiteral("Znacznik TRF:"), EditTrf);
  form->addRow(QStringLiteral("Ostatni błąd:"), EditLastError);
  form->addRow(QStringLiteral("Ilość zerowań RAM:"), EditRamResets);
  form->addRow(QStringLiteral("Stan gotówki w kasie:"), EditCash);
  form->addRow(QStringLiteral("Numer unikatowy:"), EditUniqueNumber);
  auto* grid = new QGridLayout;
  Body()->addLayout(grid);
  for (int i = 0; i < 7; ++i) {
    const QChar letter(QLatin1Char(static_cast<char>('A' + i)));
    EditPtu[i] = MakeField("EditPtu");
    EditPtu[i]->setObjectName(QStringLiteral("EditPtu%1").arg(letter));
    EditTotals[i] = MakeField("EditTotals");
    EditTotals[i]->setObjectName(QStringLiteral("EditTot%1").arg(letter));
    grid->addWidget(new QLabel(QStringLiteral("PTU %1").arg(letter)), i, 0);
    grid->addWidget(EditPtu[i], i, 1);
    grid->addWidget(new QLabel(QStringLiteral("TOT %1").arg(letter)), i, 2);
    grid->addWidget(EditTotals[i], i, 3);
  }
  EditTotalZ = MakeField("EditTotalZ");
  grid->addWidget(new QLabel(QStringLiteral("TOT_Z")), 7, 2);
  grid->addWidget(EditTotalZ, 7, 3);
  auto* lower = new QFormLayout;
  Body()->addLayout(lower);
  EditRecordDate = MakeField("EditRecordDate");
  EditReceiptCount = MakeField("EditReceiptCount");
  lower->addRow(QStringLiteral("Data ostatniego zapisu do pamięci fiskalnej:"), EditRecordDate);
  lower->addRow(QStringLiteral("Ilość wydrukowanych paragonów fiskalnych:"), EditReceiptCount);
  // Amounts line up on the right, as on the main window's panel.
  for (QLineEdit* amount : {EditCash, EditTotalZ}) amount->setAlignment(Qt::AlignRight);
  for (int i = 0; i < 7; ++i) {
    EditPtu[i]->setAlignment(Qt::AlignRight);
    EditTotals[i]->setAlignment(Qt::AlignRight);
  }
  // The read-only block is one Tab stop (its first field); the rest take the focus by click.
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    if (field != EditMode) field->setFocusPolicy(Qt::ClickFocus);
  }
  FinishLayout(QStringLiteral("Pobierz"), QStringLiteral("Zamknij"));
}

bool TInformacjeKasowe::Read() {
  Link& printer = link();
  printer.ReadCashInfo();
  if (printer.CashDataState == 0) return true;
  const CashInfoTexts texts = FormatCashInfo(printer.CashInfo, settings().PrinterType);
  EditMode->setText(FromUtf8(texts.mode));
  EditTrf->setText(FromUtf8(texts.trfFlag));
  EditLastError->setText(FromUtf8(texts.lastError));
  EditRamResets->setText(FromUtf8(texts.ramResets));
  EditCash->setText(FromUtf8(texts.cash));
  EditUniqueNumber->setText(FromUtf8(texts.uniqueNumber));
  for (int i = 0; i < 7; ++i) {
    EditPtu[i]->setText(FromUtf8(texts.ptu[i]));
    EditTotals[i]->setText(FromUtf8(texts.totals[i]));
  }
  EditTotalZ->setText(FromUtf8(texts.totalZ));
  EditRecordDate->setText(FromUtf8(texts.recordDate));
  EditReceiptCount->setText(FromUtf8(texts.receiptCount));
  return false;
}

// ---- TOdeslijKodBledu ----

TOdeslijKodBledu::TOdeslijKodBledu(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Kod błędu ostatniego rozkazu"), true) {
  setObjectName(QStringLiteral("TOdeslijKodBledu"));
  Body()->addWidget(Heading(QStringLiteral("Pobierz kod błędu ostatniego rozkazu")));
  auto* form = new QFormLayout;
  Body()->addLayout(form);
  EditCode = MakeField("EditCode");
  EditDescription = MakeField("EditDescription");
  form->addRow(QStringLiteral("Kod błędu"), EditCode);
  form->addRow(QStringLiteral("Opis błędu"), EditDescription);
  FinishLayout(QStringLiteral("&Pobierz"), QStringLiteral("&Zamknij"));
}

bool TOdeslijKodBledu::Read() {
  Link& printer = link();
  printer.ReadLastErrorCode();
  if (printer.LastErrorCode == -1) {
    // The main window hides its data panel after a reading that got nothing.
    printer.CashDataState = 0;
  }
  const ErrorCodeTexts texts = FormatLastErrorCode(printer.LastErrorCode);
  EditCode->setText(FromUtf8(texts.code));
  EditDescription->setText(FromUtf8(texts.description));
  return printer.LastErrorCode == -1;
}

// ---- TStatusDrukarki ----

TStatusDrukarki::TStatusDrukarki(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Status drukarki"), true) {
  setObjectName(QStringLiteral("TStatusDrukarki"));
  CheckBoxEnq = new QCheckBox(QStringLiteral("ENQ"));
  CheckBoxEnq->setObjectName(QStringLiteral("CheckBoxEnq"));
  CheckBoxEnq->setChecked(true);
  CheckBoxDle = new QCheckBox(QStringLiteral("DLE"));
  CheckBoxDle->setObjectName(QStringLiteral("CheckBoxDle"));
  CheckBoxDle->setChecked(true);
  GroupEnq = new QGroupBox(QStringLiteral("ENQ"));
  auto* enqLayout = new QVBoxLayout(GroupEnq);
  const QString enqCaptions[4] = {QStringLiteral("Drukarka jest w trybie fiskalnym"),
                                  QStringLiteral("Ostatni rozkaz został wykonany poprawnie"),
                                  QStringLiteral("Drukarka jest w trybie transakcji"),
                                  QStringLiteral("Ostatnia transakcja została sfinalizowana "
                                                 "poprawnie")};
  for (int i = 0; i < 4; ++i) {
    EnqBits[i] = MakeBit(enqCaptions[i]);
    enqLayout->addWidget(EnqBits[i]);
  }
  GroupDle = new QGroupBox(QStringLiteral("DLE"));
  auto* dleLayout = new QVBoxLayout(GroupDle);
  const QString dleCaptions[3] = {QStringLiteral("On-line"), QStringLiteral("Brak papieru"),
                                  QStringLiteral("Bład mechanizmu sterowanika")};
  for (int i = 0; i < 3; ++i) {
    DleBits[i] = MakeBit(dleCaptions[i]);
    dleLayout->addWidget(DleBits[i]);
  }
  Body()->addWidget(CheckBoxEnq);
  Body()->addWidget(GroupEnq);
  Body()->addWidget(CheckBoxDle);
  Body()->addWidget(GroupDle);
  FinishLayout(QStringLiteral("&Pobierz"), QStringLiteral("&Zamknij"));
  connect(CheckBoxEnq, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  connect(CheckBoxDle, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  UpdateEnabled();
}

void TStatusDrukarki::UpdateEnabled() {
  ReadButton->setEnabled(CheckBoxEnq->isChecked() || CheckBoxDle->isChecked());
  GroupEnq->setEnabled(CheckBoxEnq->isChecked());
  GroupDle->setEnabled(CheckBoxDle->isChecked());
}

bool TStatusDrukarki::Read() {
  // Enter reads too, so the disabled button's rule must hold here as well.
  if (!ReadButton->isEnabled()) return false;
  Link& printer = link();
  bool failed = false;
  if (CheckBoxEnq->isChecked()) {
    failed = printer.QueryEnq() || printer.ReplyReceived != 1;
  }
  if (!failed && CheckBoxDle->isChecked()) {
    failed = printer.QueryDle() || printer.ReplyReceived != 1;
  }
  ShowBits();
  return failed;
}

void TStatusDrukarki::ShowBits() {
  const int enqMasks[4] = {0x08, 0x04, 0x02, 0x01};
  const int dleMasks[3] = {0x04, 0x02, 0x01};
  for (int i = 0; i < 4; ++i) EnqBits[i]->setChecked((link().EnqStatus & enqMasks[i]) != 0);
  for (int i = 0; i < 3; ++i) DleBits[i]->setChecked((link().DleStatus & dleMasks[i]) != 0);
}

// ---- TTypIWersja ----

TTypIWersja::TTypIWersja(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Typ i wersja oprogramowania"), false) {
  setObjectName(QStringLiteral("TTypIWersja"));
  auto* form = new QFormLayout;
  Body()->addLayout(form);
  EditType = MakeField("EditType");
  EditVersion = MakeField("EditVersion");
  form->addRow(QStringLiteral("Typ"), EditType);
  form->addRow(QStringLiteral("Wersja"), EditVersion);
  FinishLayout(QStringLiteral("&Pobierz"), QStringLiteral("&Zamknij"));
}

bool TTypIWersja::Read() {
  Link& printer = link();
  printer.ReadTypeAndVersion();
  if (printer.ReplyReceived != 1) return true;
  EditType->setText(FromFixedField(printer.TypeText, sizeof printer.TypeText));
  EditVersion->setText(FromFixedField(printer.VersionText, sizeof printer.VersionText));
  return false;
}

// ---- TOdczytZegara ----

TOdczytZegara::TOdczytZegara(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Odczyt Zegara"), true) {
  setObjectName(QStringLiteral("TOdczytZegara"));
  Body()->addWidget(Heading(QStringLiteral("Odczyt zegara")));
  auto* group = new QGroupBox(QStringLiteral("Zegar w drukarce"));
  auto* form = new QFormLayout(group);
  EditDate = MakeField("EditDate");
  EditTime = MakeField("EditTime");
  form->addRow(QStringLiteral("Data (rrrr-mm-dd)"), EditDate);
  form->addRow(QStringLiteral("Godzina (gg:mm) "), EditTime);
  Body()->addWidget(group);
  FinishLayout(QStringLiteral("&Pobierz"), QStringLiteral("&Zamknij"));
}

bool TOdczytZegara::Read() {
  Link& printer = link();
  printer.ReadClock();
  // Fields of an aborted reading are not shown: they would be stale or half parsed.
  if (printer.ReplyReceived != 1) return true;
  EditDate->setText(
      FromUtf8(FormatPrinterDate(printer.ClockYear, printer.ClockMonth, printer.ClockDay)));
  EditTime->setText(FromUtf8(FormatPrinterTime(printer.ClockHour, printer.ClockMinute)));
  return false;
}

// ---- TOdeslijBufor ----

TOdeslijBufor::TOdeslijBufor(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Odeślij zawartość bufora odbiorczego"),
                    false) {
  setObjectName(QStringLiteral("TOdeslijBufor"));
  auto* label = new QLabel(QStringLiteral("Bufor odbiorczy"));
  Memo1 = new QPlainTextEdit;
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setTabChangesFocus(true);
  QFont fixed(QStringLiteral("Monospace"));
  fixed.setStyleHint(QFont::TypeWriter);
  Memo1->setFont(fixed);
  // A whole line of the buffer fits, beside the scroll bar.
  Memo1->setMinimumWidth(
      QFontMetrics(fixed).horizontalAdvance(QString(kBufferLineLength + 1, 'W')) +
      2 * Memo1->frameWidth() + 2 * Memo1->document()->documentMargin() +
      Memo1->verticalScrollBar()->sizeHint().width());
  label->setBuddy(Memo1);
  Body()->addWidget(label);
  Body()->addWidget(Memo1);
  LoadButton = new QPushButton(QStringLiteral("&Pobierz z pliku"), this);
  SaveButton = new QPushButton(QStringLiteral("&Zapisz do pliku"), this);
  FinishLayout(QStringLiteral("&Odeślij"), QStringLiteral("&Zamknij"), {LoadButton, SaveButton});
  connect(LoadButton, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, QStringLiteral("Otwórz plik z danymi."));
    dialog.setNameFilter(QStringLiteral("Pliki tekstowe (*.txt *.TXT)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      LoadFromFile(dialog.selectedFiles().first());
    }
  });
  connect(SaveButton, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, QStringLiteral("Zapisz plik z danymi."));
    dialog.setNameFilter(QStringLiteral("Pliki tekstowe (*.txt *.TXT)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // The program asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      SaveToFile(dialog.selectedFiles().first());
    }
  });
}

bool TOdeslijBufor::Read() {
  Memo1->clear();
  Link& printer = link();
  const FrameList query = BuildInputBufferQuery();
  std::memcpy(printer.TxBuf, query.frames[0].c_str(), query.frames[0].size() + 1);
  printer.FlushInput();
  if (printer.SendFrame(printer.TxBuf)) return true;
  printer.WaitForReply();
  if (printer.ReplyReceived != 1) return true;
  const std::size_t length = std::min(printer.RxLength(), sizeof printer.RxBuf - 1);
  for (const std::string& line : SplitInputBufferReply(std::string_view(printer.RxBuf, length))) {
    Memo1->appendPlainText(FromUtf8(Cp1250ToUtf8(line)));
  }
  return false;
}

void TOdeslijBufor::LoadFromFile(const QString& path) {
  const std::optional<std::string> bytes = ReadWholeFile(path.toStdString(), kTextFileLimit);
  if (!bytes) {
    link().ui().ShowMessage(CannotOpenMessage(path.toStdString()));
    return;
  }
  QString text = FromUtf8(Cp1250ToUtf8(*bytes));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Memo1->setPlainText(text);
}

void TOdeslijBufor::SaveToFile(const QString& path) {
  const std::string name = path.toStdString();
  if (QFileInfo::exists(path) && !link().ui().AskYesNo(OverwriteQuestion(name))) return;
  QString text = Memo1->toPlainText();
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  if (WriteFileReplacing(name, Utf8ToCp1250(text.toStdString()).bytes)) {
    link().ui().ShowMessage(CannotWriteMessage(name));
  }
}

// ---- TDrukujTabliceBledow ----

TDrukujTabliceBledow::TDrukujTabliceBledow(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Drukuj  tablice błędów")) {
  setObjectName(QStringLiteral("TDrukujTabliceBledow"));
  Body()->addWidget(Heading(QStringLiteral("Drukuj tablicę błędów")));
  FinishLayout();
}

FrameList TDrukujTabliceBledow::BuildFrames() {
  return BuildPrintErrorTable();
}

// ---- TSterowanieWyswietlaczem ----

TSterowanieWyswietlaczem::TSterowanieWyswietlaczem(AppContext& context, QWidget* parent)
    : CommandDialog(context, parent, QStringLiteral("Sterowanie wyświetlaczem / szufladą")) {
  setObjectName(QStringLiteral("TSterowanieWyswietlaczem"));
  QFormLayout* form = AddForm();
  ComboBox1 = new QComboBox;
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  for (int i = 0; i < kDisplayOperationCount; ++i) {
    ComboBox1->addItem(QString::fromUtf8(DisplayOperationCaption(i)));
  }
  ComboBox1->setCurrentIndex(0);
  Edit1 = new QLineEdit;
  Edit1->setObjectName(QStringLiteral("Edit1"));
  form->addRow(QStringLiteral("Operacja"), ComboBox1);
  form->addRow(QStringLiteral("Tekst"), Edit1);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] { UpdateTextBox(); });
  SetKeyMode(KeyMode::EscapeOnly);
  FinishLayout();
  UpdateTextBox();
}

void TSterowanieWyswietlaczem::UpdateTextBox() {
  Edit1->setEnabled(DisplayOperationTakesText(ComboBox1->currentIndex()));
}

void TSterowanieWyswietlaczem::FormShow() {
  UpdateTextBox();
}

FrameList TSterowanieWyswietlaczem::BuildFrames() {
  return BuildDisplayControl(ComboBox1->currentIndex(), Edit1->text().toStdString(),
                             settings().LetterCoding);
}

}  // namespace ulvo
