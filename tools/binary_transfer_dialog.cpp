#include "tools/binary_transfer_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "link/link.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

constexpr int kTickMs = 10;

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

TWyslijOdbierzPlikBin::TWyslijOdbierzPlikBin(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), transfer_(context.link) {
  setObjectName(QStringLiteral("TWyslijOdbierzPlikBin"));
  setWindowTitle(Utf8("Wysyłanie/odbieranie pliku binarnego"));
  auto* layout = new QVBoxLayout(this);

  auto* sendBox = new QGroupBox(Utf8("Wyślij z pliku"));
  auto* sendLayout = new QGridLayout(sendBox);
  Edit1 = new QLineEdit;
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setReadOnly(true);
  SpeedButton1 = new QPushButton(Utf8("..."));
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  Button1 = new QPushButton;
  Button1->setObjectName(QStringLiteral("Button1"));
  SizeLabel = new QLabel;
  SizeLabel->setObjectName(QStringLiteral("SizeLabel"));
  ProgressLabel = new QLabel;
  ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
  sendLayout->addWidget(Edit1, 0, 0);
  sendLayout->addWidget(SpeedButton1, 0, 1);
  sendLayout->addWidget(Button1, 0, 2);
  sendLayout->addWidget(SizeLabel, 1, 0);
  sendLayout->addWidget(ProgressLabel, 2, 0);
  layout->addWidget(sendBox);

  auto* receiveBox = new QGroupBox(Utf8("Pobierz do pliku"));
  auto* receiveLayout = new QGridLayout(receiveBox);
  Edit2 = new QLineEdit;
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setReadOnly(true);
  SpeedButton2 = new QPushButton(Utf8("..."));
  SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
  Button2 = new QPushButton;
  Button2->setObjectName(QStringLiteral("Button2"));
  CountLabel = new QLabel;
  CountLabel->setObjectName(QStringLiteral("CountLabel"));
  receiveLayout->addWidget(Edit2, 0, 0);
  receiveLayout->addWidget(SpeedButton2, 0, 1);
  receiveLayout->addWidget(Button2, 0, 2);
  receiveLayout->addWidget(CountLabel, 1, 0);
  layout->addWidget(receiveBox);

  auto* row = new QHBoxLayout;
  row->addStretch();
  Button3 = new QPushButton(Utf8("&Zamknij"));
  Button3->setObjectName(QStringLiteral("Button3"));
  row->addWidget(Button3);
  layout->addLayout(row);
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(false);
  resize(520, 240);

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TWyslijOdbierzPlikBin::Tick);
  connect(SpeedButton1, &QPushButton::clicked, this, &TWyslijOdbierzPlikBin::PickSendFile);
  connect(SpeedButton2, &QPushButton::clicked, this, &TWyslijOdbierzPlikBin::PickReceiveFile);
  connect(Button1, &QPushButton::clicked, this, &TWyslijOdbierzPlikBin::SendClick);
  connect(Button2, &QPushButton::clicked, this, &TWyslijOdbierzPlikBin::ReceiveClick);
  connect(Button3, &QPushButton::clicked, this, &TWyslijOdbierzPlikBin::CloseNow);
}

void TWyslijOdbierzPlikBin::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  closing_ = false;
  transfer_.Begin();
  SpeedButton1->setEnabled(true);
  SpeedButton2->setEnabled(true);
  ProgressLabel->clear();
  Button1->setText(Utf8("&Wyślij"));
  Button2->setText(Utf8("&Odbierz"));
  CountLabel->hide();
  UpdateButtons();
  SpeedButton1->setFocus(Qt::OtherFocusReason);
  timer_.start(kTickMs);
}

void TWyslijOdbierzPlikBin::UpdateButtons() {
  const bool sendPath = !Edit1->text().isEmpty();
  Button1->setEnabled(sendPath || transfer_.sending());
  SizeLabel->setVisible(sendPath);
  if (sendPath && !transfer_.sending()) {
    std::string error;
    const auto size = transfer_.FileSize(Edit1->text().toStdString(), error);
    SizeLabel->setText(
        QString::asprintf("%lu Bajtów", static_cast<unsigned long>(size.value_or(0))));
  }
  Button2->setEnabled(!Edit2->text().isEmpty() || transfer_.receiving());
}

void TWyslijOdbierzPlikBin::PickSendFile() {
  const QString path =
      QFileDialog::getOpenFileName(this, Utf8("Otwórz plik który zamierzasz wysłać."));
  if (!path.isEmpty()) ChooseSendFile(path);
}

void TWyslijOdbierzPlikBin::ChooseSendFile(const QString& path) {
  Edit1->setText(path);
  std::string error;
  if (!transfer_.FileSize(path.toStdString(), error)) {
    context_.link.ui().ShowMessage(error);
    Edit1->clear();
  }
  UpdateButtons();
}

void TWyslijOdbierzPlikBin::PickReceiveFile() {
  const QString path = QFileDialog::getSaveFileName(
      this, Utf8("Wybierz plik do którego zostaną zapsane dane odebrane."), QString(), QString(),
      nullptr, QFileDialog::DontConfirmOverwrite);
  if (!path.isEmpty()) ChooseReceiveFile(path);
}

void TWyslijOdbierzPlikBin::ChooseReceiveFile(const QString& path) {
  Edit2->setText(path);
  if (QFileInfo::exists(path) &&
      !context_.link.ui().AskYesNo("Plik " + path.toStdString() + " już istnieje.Kontynuować? "))
    Edit2->clear();
  CountLabel->hide();
  UpdateButtons();
}

void TWyslijOdbierzPlikBin::SendClick() {
  if (transfer_.sending()) {
    EndSend();
    return;
  }
  std::string error;
  if (!transfer_.StartSend(Edit1->text().toStdString(), error)) {
    context_.link.ui().ShowMessage(error);
    Edit1->clear();
    UpdateButtons();
    return;
  }
  ProgressLabel->setText(QString::fromStdString(transfer_.ProgressText()));
  Button1->setText(Utf8("&Przerwij"));
  SpeedButton1->setEnabled(false);
  UpdateButtons();
}

void TWyslijOdbierzPlikBin::EndSend() {
  transfer_.EndSend();
  ProgressLabel->clear();
  Button1->setText(Utf8("&Wyślij"));
  SpeedButton1->setEnabled(true);
  UpdateButtons();
}

void TWyslijOdbierzPlikBin::ReceiveClick() {
  if (transfer_.receiving()) {
    CountLabel->hide();
    EndReceive();
    return;
  }
  std::string error;
  bool portLost = false;
  if (!transfer_.StartReceive(Edit2->text().toStdString(), error, portLost)) {
    if (portLost) {
      CloseNow();
      return;
    }
    context_.link.ui().ShowMessage(error);
    Edit2->clear();
    UpdateButtons();
    return;
  }
  Button2->setText(Utf8("&Przerwij Odbieranie"));
  SpeedButton2->setEnabled(false);
  CountLabel->setText(QString::fromStdString(transfer_.ReceivedText()));
  CountLabel->show();
  UpdateButtons();
}

void TWyslijOdbierzPlikBin::EndReceive() {
  const bool portLost = transfer_.EndReceive();
  Button2->setText(Utf8("&Odbierz"));
  SpeedButton2->setEnabled(true);
  Edit2->clear();
  UpdateButtons();
  if (portLost) CloseNow();
}

void TWyslijOdbierzPlikBin::Tick() {
  if (closing_) return;
  const bool receiving = transfer_.receiving();
  const BinaryTransfer::TickResult result = transfer_.Tick();
  if (result.sendEnded) {
    EndSend();
  } else if (transfer_.sending()) {
    ProgressLabel->setText(QString::fromStdString(transfer_.ProgressText()));
  }
  if (receiving) CountLabel->setText(QString::fromStdString(transfer_.ReceivedText()));
  if (result.receiveEnded) {
    // The transfer has already stopped the receive and put the flow control back.
    Button2->setText(Utf8("&Odbierz"));
    SpeedButton2->setEnabled(true);
    Edit2->clear();
    UpdateButtons();
    context_.link.ui().ShowMessage(result.error);
    if (result.portLost) {
      CloseNow();
      return;
    }
  }
  if (!closing_) timer_.start(kTickMs);
}

void TWyslijOdbierzPlikBin::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (!transfer_.sending() && !transfer_.receiving()) {
    CloseNow();
    return;
  }
  timer_.stop();
  const bool stop = context_.link.ui().AskYesNo("Czy przerwać transmisje?");
  if (!closing_) timer_.start(kTickMs);
  if (!stop) return;
  if (transfer_.sending()) EndSend();
  if (transfer_.receiving()) {
    CountLabel->hide();
    EndReceive();
  }
}

void TWyslijOdbierzPlikBin::reject() {
  // The close box: nothing may stay open behind the dialog.
  CloseNow();
}

void TWyslijOdbierzPlikBin::CloseNow() {
  if (closing_) return;
  closing_ = true;
  timer_.stop();
  if (transfer_.sending()) EndSend();
  if (transfer_.receiving()) transfer_.EndReceive();
  Edit2->clear();
  done(QDialog::Rejected);
}
}  // namespace ulvo
