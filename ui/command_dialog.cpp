#include "ui/command_dialog.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "link/command_sender.h"
#include "link/link.h"
#include "ui/dialog_registry.h"

namespace ulvo {

CommandDialog::CommandDialog(AppContext& context, QWidget* parent, const QString& caption)
    : QDialog(parent), context_(context) {
  setWindowTitle(caption);
  auto* outer = new QVBoxLayout(this);
  body_ = new QVBoxLayout;
  outer->addLayout(body_);
}

Settings& CommandDialog::settings() {
  return context_.settings;
}
Link& CommandDialog::link() {
  return context_.link;
}

QFormLayout* CommandDialog::AddForm() {
  auto* form = new QFormLayout;
  body_->addLayout(form);
  return form;
}

void CommandDialog::FinishLayout(const QString& sendCaption, const QString& cancelCaption) {
  buttons_ = new QHBoxLayout;
  static_cast<QVBoxLayout*>(layout())->addLayout(buttons_);
  buttons_->addStretch();
  Button1 = new QPushButton(sendCaption, this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(cancelCaption, this);
  Button2->setObjectName(QStringLiteral("Button2"));
  buttons_->addWidget(Button1);
  buttons_->addWidget(Button2);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  // Enter is ours: no button of Qt's own default-button logic may take it first.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
}

QPushButton* CommandDialog::MakeHelpButton(const QString& caption, const char* text) {
  auto* button = new QPushButton(caption, this);
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, text] { link().ui().ShowMessage(text); });
  return button;
}

QDateEdit* CommandDialog::MakeDatePicker() {
  auto* picker = new QDateEdit;
  picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  picker->setCalendarPopup(true);
  // The printer takes the year as two digits after 2000.
  picker->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
  picker->setDate(QDate::currentDate());
  return picker;
}

QTimeEdit* CommandDialog::MakeTimePicker() {
  auto* picker = new QTimeEdit;
  picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
  picker->setTime(QTime::currentTime());
  return picker;
}

void CommandDialog::Button1Click() {
  // A value being typed into a picker counts as entered.
  for (QAbstractSpinBox* box : findChildren<QAbstractSpinBox*>()) box->interpretText();
  if (!ConfirmSend()) return;
  const FrameList list = BuildFrames();
  if (list.Refused()) {
    link().ui().ShowMessage(list.error);
    return;
  }
  if (!list.unmappable.empty() && !link().ui().AskYesNo(UnmappableQuestion(list.unmappable))) {
    return;
  }
  const SendOutcome outcome = SendCommandFrames(link(), list.frames);
  if (outcome == SendOutcome::SendFailed) {
    if (closeAfterFailedSend_) reject();
    return;
  }
  FramesSent(outcome);
  accept();
}

void CommandDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  WatchKeys();
  FormShow();
  FocusFirstField();
}

void CommandDialog::WatchKeys() {
  // Children added since the last opening are watched too; installing twice is harmless.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void CommandDialog::FocusFirstField() {
  if (keyMode_ == KeyMode::WhileNoFocus) {
    // Its keys work only while no control has the focus, so none gets it on opening.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    setFocus(Qt::OtherFocusReason);
    return;
  }
  for (QWidget* w = nextInFocusChain(); w != nullptr && w != this; w = w->nextInFocusChain()) {
    if (!isAncestorOf(w) || !w->isVisibleTo(this) || !w->isEnabled()) continue;
    if ((w->focusPolicy() & Qt::TabFocus) == 0) continue;
    w->setFocus(Qt::TabFocusReason);
    return;
  }
}

bool CommandDialog::HandleKey(QObject* target, int key) {
  const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
  const bool escape = key == Qt::Key_Escape;
  if (!enter && !escape) return false;
  // Escape closes from any control, whatever the form does with Enter: a dialog that keeps
  // the keyboard user in it is a trap.
  if (escape) {
    reject();
    return true;
  }
  // Enter on a focused button presses that button, whatever the form does with Enter.
  auto* button = qobject_cast<QPushButton*>(target);
  if (enter && button != nullptr && button->isEnabled()) {
    if (button == Button1) {
      Button1Click();
    } else {
      button->click();
    }
    return true;
  }
  switch (keyMode_) {
    case KeyMode::Form:
      break;
    case KeyMode::SendButtonOnly:
      if (target != Button1) return true;  // swallowed: nothing happens elsewhere
      break;
    case KeyMode::WhileNoFocus: {
      QWidget* focused = QApplication::focusWidget();
      if (focused != nullptr && focused != this) return true;
      break;
    }
    case KeyMode::EscapeOnly:
      if (enter) return false;
      break;
  }
  Button1Click();
  return true;
}

bool CommandDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  // Keys of pop-ups (a combo box list, a calendar) belong to them.
  if (widget == nullptr || widget->window() != this) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // Tab leaves a date or time picker at once instead of walking its sections (the arrow keys
  // do that), so Tab goes from field to field in the form's order.
  if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
      (qobject_cast<QAbstractSpinBox*>(widget) != nullptr ||
       qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) != nullptr)) {
    focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
    return true;
  }
  if (key->modifiers() & ~(Qt::KeypadModifier)) return false;
  // This form does not see Enter first.
  if (keyMode_ == KeyMode::WhileNoFocus && key->key() != Qt::Key_Escape) return false;
  return HandleKey(watched, key->key());
}

void CommandDialog::keyPressEvent(QKeyEvent* event) {
  if ((event->modifiers() & ~Qt::KeypadModifier) == 0 &&
      HandleKey(QApplication::focusWidget(), event->key())) {
    event->accept();
    return;
  }
  const int key = event->key();
  // QDialog would close on Escape and press a default button on Enter; those are decided above.
  if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ulvo
