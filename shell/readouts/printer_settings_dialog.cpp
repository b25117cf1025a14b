#include "shell/readouts/printer_settings_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "commands/core/help_texts.h"
#include "link/link.h"
#include "shell/readouts/core/readout_files.h"

namespace ulvo {

namespace {

// The options that carry a unit or a range note beside their field.
const char* UnitOf(int row) {
  switch (row) {
    case kDrawerPulse:
      return "[ms]   Zakres (100-255 ms)";
    case kRewinderTime:
      return "[s]   Zakres (1-5 s)";
    default:
      return nullptr;
  }
}

}  // namespace

TOdczytUstawienDrukarki::TOdczytUstawienDrukarki(AppContext& context, QWidget* parent)
    : ReadoutDialog(context, parent, QStringLiteral("Ustawienia drukarki"), true) {
  setObjectName(QStringLiteral("TOdczytUstawienDrukarki"));
  auto* grid = new QGridLayout;
  Body()->addLayout(grid);
  grid->setColumnStretch(3, 1);
  const auto rows = DescribePrinterSettings(values_, -1);
  int helpIndex = 0;
  for (int row = 0; row < kSettingRowCount; ++row) {
    Captions[row] = new QLabel(QString::fromStdString(rows[row].caption));
    grid->addWidget(Captions[row], row, 0);
    // Every value is shown as read-only text: the dialog displays what the printer holds and
    // offers nothing to choose.
    Fields[row] = MakeField("Field");
    Fields[row]->setObjectName(QStringLiteral("Field%1").arg(row));
    // Wide enough for the longest word it can show.
    int widest = Fields[row]->fontMetrics().horizontalAdvance(QStringLiteral("00000.00"));
    for (const std::string& choice : rows[row].choices) {
      widest = std::max(
          widest, Fields[row]->fontMetrics().horizontalAdvance(QString::fromStdString(choice)));
    }
    Fields[row]->setMinimumWidth(widest + 16);
    Captions[row]->setBuddy(Fields[row]);
    grid->addWidget(Fields[row], row, 1);
    if (const char* unit = UnitOf(row))
      grid->addWidget(new QLabel(QString::fromUtf8(unit)), row, 2);
    const char* help = nullptr;
    bool dynamicHelp = false;
    switch (row) {
      case kCopyMode:
      case kErrorMode:
        dynamicHelp = true;
        break;
      case kResponseTime:
        help = kHelpResponseTime;
        break;
      case kDeposit:
        help = kHelpDeposit;
        break;
      case kAutoDrawer:
        help = kHelpAutoDrawer;
        break;
      case kSystemNumber:
        help = kHelpSystemNumber;
        break;
      default:
        break;
    }
    if (help == nullptr && !dynamicHelp) continue;
    auto* button = new QPushButton(QStringLiteral("?"));
    button->setObjectName(QStringLiteral("Help%1").arg(row));
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("?")) + 24);
    button->setToolTip(QStringLiteral("Wyjaśnienie opcji"));
    // Beside its value (the rows with a help button carry no unit).
    grid->addWidget(button, row, 2, Qt::AlignLeft);
    HelpButtons[helpIndex++] = button;
    connect(button, &QPushButton::clicked, this, [this, row, help] {
      if (row == kCopyMode) {
        link().ui().ShowMessage(CopyModeHelp(values_.values[3]));
      } else if (row == kErrorMode) {
        link().ui().ShowMessage(ErrorModeHelp(values_.values[10]));
      } else {
        link().ui().ShowMessage(help);
      }
    });
  }
  LoadButton = new QPushButton(QStringLiteral("&Pobierz ustawienia z pliku"), this);
  SaveButton = new QPushButton(QStringLiteral("&Zapisz ustawienia do pliku"), this);
  FinishLayout(QStringLiteral("&Odczytaj z drukarki"), QStringLiteral("&Koniec"),
               {LoadButton, SaveButton});
  connect(LoadButton, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, QStringLiteral("Otwórz plik z danymi."));
    dialog.setNameFilter(QStringLiteral("Pliki tekstowe (*.ust *.UST)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      LoadFromFile(dialog.selectedFiles().first());
    }
  });
  connect(SaveButton, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, QStringLiteral("Otwórz plik z danymi."));
    dialog.setNameFilter(QStringLiteral("Pliki tekstowe (*.ust *.UST)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("ust"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      SaveToFile(dialog.selectedFiles().first());
    }
  });
  ShowValues();
}

void TOdczytUstawienDrukarki::ClearDisplay() {
  values_ = PrinterSettings{};
  discountChoice_ = -1;
  ShowValues();
}

bool TOdczytUstawienDrukarki::Read() {
  Link& printer = link();
  const FrameList query = BuildPrinterSettingsQuery();
  std::memcpy(printer.TxBuf, query.frames[0].c_str(), query.frames[0].size() + 1);
  // Like every query: what an earlier reply left behind must not be read as this one.
  printer.FlushInput();
  if (printer.SendFrame(printer.TxBuf)) return true;
  printer.WaitForReply();
  if (printer.ReplyReceived != 1) return true;
  const std::size_t length = std::min(printer.RxLength(), sizeof printer.RxBuf - 1);
  const std::optional<PrinterSettings> parsed =
      ParsePrinterSettingsReply(std::string_view(printer.RxBuf, length));
  if (!parsed) {
    printer.ui().ShowMessage(
        "Odpowiedź drukarki na rozkaz odczytu ustawień ma niepoprawną postać. "
        "Ustawienia nie zostały odczytane.");
    return false;
  }
  values_ = *parsed;
  ShowValues();
  return false;
}

void TOdczytUstawienDrukarki::ShowValues() {
  const auto rows = DescribePrinterSettings(values_, discountChoice_);
  discountChoice_ = rows[kDiscountMethod].choice;
  for (int row = 0; row < kSettingRowCount; ++row) {
    const auto& choices = rows[row].choices;
    const int choice = rows[row].choice;
    if (choices.empty()) {
      Fields[row]->setText(QString::fromStdString(rows[row].text));
    } else if (choice >= 0 && choice < static_cast<int>(choices.size())) {
      Fields[row]->setText(QString::fromStdString(choices[static_cast<std::size_t>(choice)]));
    } else {
      Fields[row]->clear();  // a value outside its list shows no choice
    }
    Fields[row]->setVisible(rows[row].visible);
    Captions[row]->setVisible(rows[row].visible);
  }
}

void TOdczytUstawienDrukarki::LoadFromFile(const QString& path) {
  const std::string name = path.toStdString();
  const std::optional<std::string> bytes = ReadWholeFile(name, kPrinterSettingsFileSize);
  if (!bytes) {
    link().ui().ShowMessage(CannotOpenMessage(name));
    return;
  }
  ApplyPrinterSettingsFile(*bytes, values_);
  ShowValues();
}

void TOdczytUstawienDrukarki::SaveToFile(const QString& path) {
  const std::string name = path.toStdString();
  if (QFileInfo::exists(path) && !link().ui().AskYesNo(OverwriteQuestion(name))) return;
  if (WriteFileReplacing(name, PrinterSettingsFileBytes(values_))) {
    link().ui().ShowMessage(CannotOpenMessage(name));
  }
}

}  // namespace ulvo
