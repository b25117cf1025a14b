#include "readout/readout_end_dialog.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "link/link.h"
#include "readout/core/report_file.h"
#include "readout/disc_dialog.h"
#include "readout/report_printer.h"
#include "ui/dialog_registry.h"

namespace ulvo {

TZakonczonoOdczytywanie::TZakonczonoOdczytywanie(AppContext& context, const QString& tempPath,
                                                 const QString& title, const QString& fileName,
                                                 QWidget* parent)
    : QDialog(parent), context_(context), tempPath_(tempPath), title_(title), fileName_(fileName) {
  setObjectName(QStringLiteral("TZakonczonoOdczytywanie"));
  setWindowTitle(QStringLiteral("Zakończono odczytywanie"));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(title);
  label->setWordWrap(true);
  layout->addWidget(label);
  auto* row = new QHBoxLayout;
  Button1 = new QPushButton(QStringLiteral("&Wyświetl"));
  Button2 = new QPushButton(QStringLiteral("Nagraj na &dysku"));
  Button3 = new QPushButton(QStringLiteral("&Nagraj na płytę CD/DVD"));
  Button4 = new QPushButton(QStringLiteral("&Drukuj"));
  Button5 = new QPushButton(QStringLiteral("&Anuluj"));
  int n = 1;
  for (QPushButton* b : {Button1, Button2, Button3, Button4, Button5}) {
    b->setObjectName(QStringLiteral("Button%1").arg(n++));
    b->setAutoDefault(false);
    row->addWidget(b);
  }
  layout->addLayout(row);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
}

TZakonczonoOdczytywanie::~TZakonczonoOdczytywanie() {
  QFile::remove(tempPath_);
}

void TZakonczonoOdczytywanie::done(int result) {
  QFile::remove(tempPath_);
  QDialog::done(result);
}

void TZakonczonoOdczytywanie::Button1Click() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(tempPath_));
}

bool TZakonczonoOdczytywanie::SaveTo(const QString& target) {
  if (QFileInfo::exists(target)) {
    const std::string question = "Plik " + target.toStdString() + " już istnieje.Kontynuować? ";
    if (!context_.link.ui().AskYesNo(question)) return false;
  }
  // The copy replaces the old file only once it is whole.
  const std::string error = SaveReportCopy(std::filesystem::path(tempPath_.toStdString()),
                                           std::filesystem::path(target.toStdString()));
  if (!error.empty()) {
    context_.link.ui().ShowMessage(error);
    return false;
  }
  return true;
}

void TZakonczonoOdczytywanie::Button2Click() {
  QFileDialog dialog(this, QStringLiteral("Zapisz dane raportu do pliku"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(QStringLiteral("Pliki tekstowe (*.txt *.TXT)"));
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  dialog.selectFile(fileName_);
  // The overwrite question is the program's own.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  SaveTo(dialog.selectedFiles().first());
}

void TZakonczonoOdczytywanie::Button3Click() {
  // One recorder for as long as this dialog lives; made on the first use.
  if (disc_ == nullptr) disc_ = new TNagrywanieCD_DVD(context_.link.ui(), this);
  disc_->Run(tempPath_, fileName_);
}

bool TZakonczonoOdczytywanie::PrintOn(QPrinter& printer) {
  const std::string error = PrintReportFile(printer, tempPath_, title_);
  if (!error.empty()) {
    context_.link.ui().ShowMessage(error);
    return false;
  }
  return true;
}

void TZakonczonoOdczytywanie::Button4Click() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintOn(printer);
}

}  // namespace ulvo
