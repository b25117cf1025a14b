#include "ui/qt_link_ui.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace ulvo {
namespace {

// The reply wait's fallback tick: the port's wakeup does the real work, this only keeps the
// bar moving and catches a wakeup that never came.
constexpr int kReplyTickMs = 20;
constexpr int kReadyTickMs = 200;

QString AppTitle() {
  const QString name = QApplication::applicationName();
  return name.isEmpty() ? QString::fromUtf8("Program użytkownika drukarek ULVO") : name;
}

// Moves a 0..100 bar by 2, up to 100 and back down to 0.
void Bounce(QProgressBar* bar, int& step) {
  int value = bar->value() + step;
  if (value >= 100) {
    value = 100;
    step = -2;
  } else if (value <= 0) {
    value = 0;
    step = 2;
  }
  bar->setValue(value);
}

}  // namespace

void ShowWarning(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, AppTitle(), text, QMessageBox::Ok, parent);
  box.setEscapeButton(QMessageBox::Ok);
  box.setDefaultButton(QMessageBox::Ok);
  box.exec();
}

bool AskWarningYesNo(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, AppTitle(), text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(QString::fromUtf8("&Tak"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QString::fromUtf8("&Nie"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

// ---- TOdbieranie ----

TOdbieranie::TOdbieranie(QWidget* parent) : QDialog(parent) {
  setObjectName("TOdbieranie");
  setWindowTitle(QString::fromUtf8("Odbieram dane"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel(QString::fromUtf8("Czekam na odpowiedź od drukarki"), this);
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->hide();
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  Button1 = new QPushButton(QString::fromUtf8("&Przerwij"), this);
  Button1->setDefault(true);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(ProgressBar1);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Button1);
  row->addStretch();
  layout->addLayout(row);
  connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
  timer_.setInterval(kReplyTickMs);
  connect(&timer_, &QTimer::timeout, this, &TOdbieranie::Tick);
}

bool TOdbieranie::Run(ReplyWaitTask& task) {
  task_ = &task;
  step_ = 2;
  ProgressBar1->setValue(0);
  Label2->hide();
  // A reply already waiting completes without showing the dialog at all.
  if (task.Poll(std::chrono::milliseconds(0))) {
    task_ = nullptr;
    return true;
  }
  task.SetWakeup([this] { PollTask(); });
  timer_.start();
  const int result = exec();
  timer_.stop();
  task.SetWakeup({});
  task_ = nullptr;
  return result == QDialog::Accepted;
}

void TOdbieranie::Tick() {
  Bounce(ProgressBar1, step_);
  PollTask();
}

void TOdbieranie::PollTask() {
  // The wakeup may come while a Poll is still inside the port; never poll twice at once.
  if (task_ == nullptr || polling_ || !isVisible()) return;
  polling_ = true;
  const bool over = task_->Poll(std::chrono::milliseconds(0));
  polling_ = false;
  ShowCount();
  if (over) {
    timer_.stop();
    accept();
  }
}

void TOdbieranie::ShowCount() {
  const unsigned total = task_ != nullptr ? task_->BytesReceived() : 0;
  if (total < 200) return;
  Label2->setText(QString::asprintf("Pobrano bajtów: %5u", total));
  Label2->show();
}

void TOdbieranie::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    reject();
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---- TCzekajNaRs ----

TCzekajNaRs::TCzekajNaRs(QWidget* parent) : QDialog(parent) {
  setObjectName("TCzekajNaRs");
  setWindowTitle(QString::fromUtf8("Czekam na gotowość drukarki "));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("Drukarka niegotowa."), this));
  layout->addWidget(new QLabel(QString::fromUtf8("Czekam na jej gotowość ..."), this));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  layout->addWidget(ProgressBar1);
  Button1 = new QPushButton(QString::fromUtf8("&Przerwij"), this);
  Button1->setDefault(true);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(Button1);
  row->addStretch();
  layout->addLayout(row);
  connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
  timer_.setInterval(kReadyTickMs);
  connect(&timer_, &QTimer::timeout, this, &TCzekajNaRs::Tick);
}

bool TCzekajNaRs::Run(ReadyWaitTask& task) {
  task_ = &task;
  step_ = 2;
  ProgressBar1->setValue(0);
  timer_.start();
  const int result = exec();
  timer_.stop();
  task_ = nullptr;
  return result == QDialog::Accepted;
}

void TCzekajNaRs::Tick() {
  Bounce(ProgressBar1, step_);
  if (task_ != nullptr && task_->CheckLineErrors() == 0) {
    timer_.stop();
    accept();
  }
}

void TCzekajNaRs::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    timer_.stop();
    const bool stop = AskWarningYesNo(this, QString::fromUtf8("Czy przerwać oczekiwanie?"));
    if (stop) {
      reject();
      return;
    }
    timer_.start();
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---- QtLinkUi ----

QtLinkUi::~QtLinkUi() {
  delete replyWait_.data();
  delete readyWait_.data();
}

QWidget* QtLinkUi::DialogParent() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_.data();
}

void QtLinkUi::ShowMessage(std::string_view text) {
  ShowWarning(DialogParent(), QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

bool QtLinkUi::AskYesNo(std::string_view text) {
  return AskWarningYesNo(DialogParent(),
                         QString::fromUtf8(text.data(), static_cast<int>(text.size())));
}

void QtLinkUi::Beep() {
  QApplication::beep();
}

bool QtLinkUi::RunReplyWait(ReplyWaitTask& task) {
  if (!replyWait_) replyWait_ = new TOdbieranie(parent_.data());
  return replyWait_->Run(task);
}

bool QtLinkUi::RunReadyWait(ReadyWaitTask& task) {
  if (!readyWait_) readyWait_ = new TCzekajNaRs(parent_.data());
  return readyWait_->Run(task);
}

}  // namespace ulvo
