#include "tools/printer_search_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "link/link.h"
#include "ui/dialog_registry.h"

namespace ulvo {

namespace {

constexpr int kPortRole = Qt::UserRole + 1;

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

TSzukamdrukarki::TSzukamdrukarki(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context), search_(context.link) {
  setObjectName(QStringLiteral("TSzukamdrukarki"));
  setWindowTitle(Utf8("Szukanie drukarek fiskalnych"));
  auto* layout = new QVBoxLayout(this);
  Label1 = new QLabel;
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2 = new QLabel;
  Label2->setObjectName(QStringLiteral("Label2"));
  ProgressBar1 = new QProgressBar;
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, PrinterSearch::kLastPort * 2);
  ProgressBar1->setTextVisible(false);
  CheckListBox1 = new QListWidget;
  CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(ProgressBar1);
  layout->addWidget(CheckListBox1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  Button1 = new QPushButton(Utf8("&Wybierz"));
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(Utf8("&Anuluj"));
  Button2->setObjectName(QStringLiteral("Button2"));
  for (QPushButton* button : {Button1, Button2}) button->setAutoDefault(false);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  layout->addLayout(buttons);
  resize(420, 280);

  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TSzukamdrukarki::Tick);
  connect(CheckListBox1, &QListWidget::itemChanged, this, &TSzukamdrukarki::ItemChanged);
  connect(Button1, &QPushButton::clicked, this, &TSzukamdrukarki::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TSzukamdrukarki::reject);
}

void TSzukamdrukarki::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || open_) return;
  open_ = true;
  found_ = 0;
  search_.Start();
  CheckListBox1->clear();
  Label1->setText(Utf8("Szukam drukarek fiskalnych"));
  Label2->setText(Utf8("Czekaj ..."));
  ProgressBar1->setValue(0);
  ProgressBar1->show();
  CheckListBox1->hide();
  Button1->hide();
  Button2->setFocus(Qt::OtherFocusReason);
  timer_.start(1);
}

void TSzukamdrukarki::Tick() {
  if (!open_) return;
  stepping_ = true;
  const std::chrono::milliseconds next = search_.Step();
  stepping_ = false;
  if (cancelPending_) {  // cancelled while a message of the step was on screen
    cancelPending_ = false;
    reject();
    return;
  }
  ProgressBar1->setValue(std::min(search_.progress(), ProgressBar1->maximum()));
  if (!search_.done()) {
    timer_.start(static_cast<int>(next.count()));
    return;
  }
  found_ = search_.FoundCount();
  if (found_ == 0) {
    // Nothing to choose from: the old port comes back and the main window says so.
    search_.Cancel();
    Close(QDialog::Rejected);
    return;
  }
  ShowList();
}

void TSzukamdrukarki::ShowList() {
  CheckListBox1->blockSignals(true);
  CheckListBox1->clear();
  for (const FoundPrinter& printer : search_.List()) {
    auto* item = new QListWidgetItem(QString::fromStdString(printer.text), CheckListBox1);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    item->setData(kPortRole, printer.port);
  }
  CheckListBox1->blockSignals(false);
  Label1->setText(Utf8("Lista znalezionych drukarek fiskalnych"));
  Label2->setText(Utf8("Wybierz drukarkę"));
  ProgressBar1->hide();
  CheckListBox1->show();
  Button1->show();
  Button1->setEnabled(false);
  CheckListBox1->setCurrentRow(0);
  CheckListBox1->setFocus(Qt::OtherFocusReason);
}

void TSzukamdrukarki::ItemChanged(QListWidgetItem* changed) {
  // One choice at a time: a checked entry locks the others until it is unchecked.
  const bool checked = changed->checkState() == Qt::Checked;
  CheckListBox1->blockSignals(true);
  for (int i = 0; i < CheckListBox1->count(); ++i) {
    QListWidgetItem* item = CheckListBox1->item(i);
    if (item == changed) continue;
    Qt::ItemFlags flags = item->flags();
    item->setFlags(checked ? flags & ~Qt::ItemIsEnabled : flags | Qt::ItemIsEnabled);
  }
  CheckListBox1->blockSignals(false);
  Button1->setEnabled(checked);
}

void TSzukamdrukarki::Button1Click() {
  for (int i = 0; i < CheckListBox1->count(); ++i) {
    QListWidgetItem* item = CheckListBox1->item(i);
    if (item->checkState() != Qt::Checked) continue;
    search_.Choose(item->data(kPortRole).toInt());
    Close(QDialog::Accepted);
    return;
  }
}

void TSzukamdrukarki::reject() {
  if (!open_) {
    QDialog::reject();
    return;
  }
  if (stepping_) {
    cancelPending_ = true;
    return;
  }
  timer_.stop();
  found_ = search_.FoundCount();
  search_.Cancel();
  Close(found_ > 0 ? QDialog::Accepted : QDialog::Rejected);
}

void TSzukamdrukarki::Close(int result) {
  timer_.stop();
  open_ = false;
  CheckListBox1->clear();
  done(result);
}

}  // namespace ulvo
