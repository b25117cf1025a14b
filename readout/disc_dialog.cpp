#include "readout/disc_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "link/link_ui.h"

namespace ulvo {

namespace {

constexpr char kAddFailed[] = "Wystąpił błąd podczas nagrywania. Nie mogę dołączyć pliku.";
constexpr char kFailedInDialog[] = "Wystąpił błąd podczas nagrywania.";

// A path as the recorder takes it: UTF-8 on Windows (QFile::encodeName would give the ANSI
// code page there), the file system's own encoding elsewhere.
std::string RecorderPath(const QString& path) {
#ifdef _WIN32
  return path.toStdString();
#else
  return QFile::encodeName(path).toStdString();
#endif
}

}  // namespace

TNagrywanieCD_DVD::TNagrywanieCD_DVD(LinkUi& ui, QWidget* parent,
                                     std::unique_ptr<DiscRecorder> recorder)
    : QDialog(parent), ui_(ui), recorder_(std::move(recorder)) {
  setObjectName(QStringLiteral("TNagrywanieCD_DVD"));
  setWindowTitle(QStringLiteral("Nagrywanie płyty CD/DVD"));
  setModal(true);

  DriveList = new QComboBox(this);
  DriveList->setObjectName(QStringLiteral("DriveList"));
  DriveList->setMinimumWidth(360);
  FileName = new QLineEdit(this);
  FileName->setObjectName(QStringLiteral("FileName"));
  CloseDiscBox = new QCheckBox(QStringLiteral("Zamknij płytę po nagraniu tego pliku"), this);
  CloseDiscBox->setObjectName(QStringLiteral("CloseDiscBox"));
  ImportSessionBox = new QCheckBox(QStringLiteral("Importuj poprzednią sesję"), this);
  ImportSessionBox->setObjectName(QStringLiteral("ImportSessionBox"));
  VersionLabel = new QLabel(QStringLiteral("Ver: "), this);
  VersionLabel->setObjectName(QStringLiteral("VersionLabel"));
  StatusLabel = new QLabel(this);
  StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 100);
  Button1 = new QPushButton(QStringLiteral("&Nagraj"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  EjectButton = new QPushButton(QStringLiteral("&Wysuń płytę"), this);
  EjectButton->setObjectName(QStringLiteral("EjectButton"));
  CloseButton = new QPushButton(QStringLiteral("&Zakończ"), this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));
  // Enter records from every field; no other button takes it over when it has the focus.
  for (QPushButton* b : {Button1, EjectButton, CloseButton}) b->setAutoDefault(false);
  Button1->setDefault(true);
  Timer1 = new QTimer(this);
  Timer1->setInterval(250);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Wybrany napęd"), DriveList);
  form->addRow(QStringLiteral("Nazwa pliku"), FileName);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(EjectButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(CloseDiscBox);
  layout->addWidget(ImportSessionBox);
  layout->addWidget(VersionLabel);
  layout->addWidget(StatusLabel);
  layout->addWidget(ProgressBar1);
  layout->addLayout(buttons);

  setTabOrder(DriveList, FileName);
  setTabOrder(FileName, CloseDiscBox);
  setTabOrder(CloseDiscBox, ImportSessionBox);
  setTabOrder(ImportSessionBox, Button1);
  setTabOrder(Button1, EjectButton);
  setTabOrder(EjectButton, CloseButton);

  connect(Button1, &QPushButton::clicked, this, &TNagrywanieCD_DVD::Button1Click);
  connect(EjectButton, &QPushButton::clicked, this, &TNagrywanieCD_DVD::EjectButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &TNagrywanieCD_DVD::CloseButtonClick);
  connect(Timer1, &QTimer::timeout, this, &TNagrywanieCD_DVD::Timer1Timer);
  connect(DriveList, &QComboBox::currentIndexChanged, this, &TNagrywanieCD_DVD::DriveChanged);
}

TNagrywanieCD_DVD::~TNagrywanieCD_DVD() {
  // Never leave the library writing behind a dialog that is gone.
  if (recorder_) recorder_->Cancel();
}

void TNagrywanieCD_DVD::SetSource(const QString& sourcePath, const QString& discName) {
  sourcePath_ = sourcePath;
  FileName->setText(discName);
}

int TNagrywanieCD_DVD::Run(const QString& sourcePath, const QString& discName) {
  SetSource(sourcePath, discName);
  return exec();
}

void TNagrywanieCD_DVD::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!writing_) FormShow();
}

void TNagrywanieCD_DVD::FormShow() {
  if (!recorder_) recorder_ = MakeDiscRecorderFromEnvironment();
  Timer1->stop();
  status_ = kRecordingRunning;
  step_ = 10;
  ProgressBar1->setValue(0);
  ProgressBar1->setVisible(false);
  StatusLabel->clear();

  const bool failed = recorder_->InitializeAndEnumerate();
  {
    const QSignalBlocker blocker(DriveList);
    DriveList->clear();
    if (!failed) {
      for (int i = 0; i < recorder_->WriterCount(); ++i) {
        DriveList->addItem(QString::fromStdString(recorder_->WriterName(i)));
      }
    }
    if (DriveList->count() > 0) {
      DriveList->setCurrentIndex(0);
      recorder_->SelectWriter(0);
    }
  }
  SetIdleButtons(DriveList->count() > 0);
  VersionLabel->setText(QStringLiteral("Ver: ") +
                        QStringLiteral("Bibl. użyta do nagrania CD/DVD: ") +
                        QString::fromStdString(recorder_->VersionText()));
  DriveList->setFocus();
  if (DriveList->count() == 0) ui_.ShowMessage("Nie ma dostępnych napędów do nagrywania.");
}

void TNagrywanieCD_DVD::SetIdleButtons(bool writersPresent) {
  Button1->setEnabled(writersPresent);
  EjectButton->setEnabled(writersPresent);
}

void TNagrywanieCD_DVD::DriveChanged(int index) {
  if (recorder_ && index >= 0 && !writing_) recorder_->SelectWriter(index);
}

void TNagrywanieCD_DVD::Button1Click() {
  if (writing_ || !recorder_ || DriveList->count() == 0) return;
  if (!recorder_->DeviceReady()) {
    ui_.ShowMessage(
        "Urządzenie nagrywające jest niegotowe.\r\nSprawdź czy płyta CD/DVD jest porawnie "
        "umieszczona w napędzie.");
    return;
  }
  recorder_->PrepareNewWrite(CloseDiscBox->isChecked());
  recorder_->SetWriteSpeed(recorder_->MaxWriteSpeed() > 3527 ? 3528 : 0);
  recorder_->SetVolumeLabel("ULVO MAVITO 60K");
  if (ImportSessionBox->isChecked() && recorder_->DiscHoldsData()) {
    if (recorder_->ImportPreviousSession()) ui_.ShowMessage("Nie udało się importować sesji.");
  }
  const std::string name = FileName->text().trimmed().toStdString();
  if (name.empty() || recorder_->AddFile("\\", RecorderPath(sourcePath_), name)) {
    ui_.ShowMessage(kAddFailed);
    return;
  }
  status_ = kRecordingRunning;
  error_ = 0;
  // The completion runs on the recorder's thread: it only sets the status.
  if (recorder_->StartWrite([this](bool failed, int error) {
        error_ = error;
        status_ = failed ? kRecordingFailed : kRecordingDone;
      })) {
    ui_.ShowMessage("Wystąpił błąd podczas nagrywania. Błąd = " +
                    std::to_string(recorder_->LastError()));
    return;
  }
  writing_ = true;
  StatusLabel->setText(QStringLiteral("Trwa nagrywanie.Czekaj..."));
  ProgressBar1->setValue(0);
  ProgressBar1->setVisible(true);
  step_ = 10;
  Button1->setEnabled(false);
  EjectButton->setEnabled(false);
  Timer1->start();
}

void TNagrywanieCD_DVD::Timer1Timer() {
  Timer1->stop();
  const DiscProgress progress = recorder_->Progress();
  if (progress.percent >= 0) {
    ProgressBar1->setValue(progress.percent);
  } else {
    int next = ProgressBar1->value() + step_;
    if (next >= ProgressBar1->maximum() || next <= ProgressBar1->minimum()) step_ = -step_;
    ProgressBar1->setValue(std::clamp(next, ProgressBar1->minimum(), ProgressBar1->maximum()));
  }
  const int status = status_.exchange(kRecordingRunning);
  if (status == kRecordingDone) {
    writing_ = false;
    StatusLabel->setText(QStringLiteral("Nagrywanie zakończono poprawnie."));
    SetIdleButtons(true);
    recorder_->UnlockAndEject();
  } else if (status == kRecordingFailed) {
    writing_ = false;
    ShowWriteError(error_);
    StatusLabel->setText(QString::fromUtf8(kFailedInDialog));
    SetIdleButtons(true);
  } else {
    Timer1->start();
  }
}

void TNagrywanieCD_DVD::ShowWriteError(int error) {
  switch (error) {
    case kDiscCancelled:
      return;  // the user stopped it
    case kDiscReadBackMismatch:
      ui_.ShowMessage(
          "Wystąpił błąd podczas nagrywania. Plik odczytany z płyty różni się od pliku "
          "raportu.");
      return;
    case kDiscReadBackFailed:
      ui_.ShowMessage("Wystąpił błąd podczas nagrywania. Nie mogę odczytać nagranej sesji.");
      return;
    default:
      ui_.ShowMessage("Wystąpił błąd podczas nagrywania. Nr błędu = " + std::to_string(error));
  }
}

void TNagrywanieCD_DVD::EjectButtonClick() {
  if (writing_ || !recorder_) return;
  recorder_->Cancel();
  recorder_->UnlockAndEject();
}

bool TNagrywanieCD_DVD::StopForClosing() {
  if (!writing_) {
    if (recorder_) recorder_->Cancel();
    return true;
  }
  if (!ui_.AskYesNo("Czy przerwać nagrywanie?")) return false;
  if (!writing_) return true;  // it ended while the question was open
  recorder_->Cancel();         // returns once the library has stopped
  Timer1->stop();
  writing_ = false;
  status_ = kRecordingRunning;
  ProgressBar1->setVisible(false);
  StatusLabel->clear();
  SetIdleButtons(DriveList->count() > 0);
  return true;
}

void TNagrywanieCD_DVD::CloseButtonClick() {
  if (StopForClosing()) QDialog::reject();
}

void TNagrywanieCD_DVD::reject() {
  CloseButtonClick();
}

void TNagrywanieCD_DVD::closeEvent(QCloseEvent* event) {
  if (StopForClosing()) {
    QDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}

}  // namespace ulvo
