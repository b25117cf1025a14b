#include "shell/readouts/readout_dialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "link/link.h"
#include "ui/dialog_registry.h"

namespace ulvo {

ReadoutDialog::ReadoutDialog(AppContext& context, QWidget* parent, const QString& caption,
                             bool enterReads)
    : QDialog(parent), context_(context), enterReads_(enterReads) {
  setWindowTitle(caption);
  auto* outer = new QVBoxLayout(this);
  body_ = new QVBoxLayout;
  outer->addLayout(body_);
}

Settings& ReadoutDialog::settings() {
  return context_.settings;
}
Link& ReadoutDialog::link() {
  return context_.link;
}

void ReadoutDialog::FinishLayout(const QString& readCaption, const QString& closeCaption,
                                 const QList<QPushButton*>& extra) {
  auto* row = new QHBoxLayout;
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
  ReadButton = new QPushButton(readCaption, this);
  ReadButton->setObjectName(QStringLiteral("ReadButton"));
  row->addWidget(ReadButton);
  for (QPushButton* button : extra) row->addWidget(button);
  row->addStretch();
  CloseButton = new QPushButton(closeCaption, this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));
  row->addWidget(CloseButton);
  connect(ReadButton, &QPushButton::clicked, this, [this] { ReadAgain(); });
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
  // Enter is decided by the dialog, not by Qt's default button.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
}

QLineEdit* ReadoutDialog::MakeField(const char* name) {
  auto* field = new QLineEdit;
  field->setObjectName(QString::fromLatin1(name));
  field->setReadOnly(true);
  return field;
}

void ReadoutDialog::ReadAgain() {
  if (Read() && CloseAfterFailedRead()) reject();
}

void ReadoutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  ClearDisplay();
  if (ReadButton != nullptr) ReadButton->setFocus(Qt::OtherFocusReason);
  // Read once the dialog is on the screen, so the reply wait appears over it.
  QTimer::singleShot(0, this, [this] { ReadOnOpening(); });
}

void ReadoutDialog::ReadOnOpening() {
  if (!isVisible()) return;
  if (Read()) reject();
}

void ReadoutDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Escape) {
    reject();
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    event->accept();
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button != nullptr && button != ReadButton) {
      button->click();
    } else if (enterReads_) {
      ReadAgain();
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace ulvo
