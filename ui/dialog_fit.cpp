#include "ui/dialog_fit.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <QDialog>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QLayout>
#include <algorithm>

namespace ulvo {

int CaptionWidth(const QWidget* window) {
  // Title bars often use a bold or larger face than the controls: measure in bold, with a
  // margin, and leave room for the icon and the close button.
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const int text = QFontMetrics(font).horizontalAdvance(window->windowTitle());
  return text + text / 8 + 110;
}

namespace {

// The label a form row or a buddy gives the field (or the row widget holding it).
QString LabelOf(QWidget* field) {
  for (QWidget* w = field; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
    for (QLabel* label : w->window()->findChildren<QLabel*>()) {
      if (label->buddy() == w) return label->text();
    }
    QWidget* parent = w->parentWidget();
    if (parent == nullptr) break;
    for (QFormLayout* form : parent->findChildren<QFormLayout*>()) {
      if (auto* label = qobject_cast<QLabel*>(form->labelForField(w))) return label->text();
    }
    if (auto* form = qobject_cast<QFormLayout*>(parent->layout())) {
      if (auto* label = qobject_cast<QLabel*>(form->labelForField(w))) return label->text();
    }
  }
  return {};
}

// Date and time pickers read out by their labels.
void NamePickers(QDialog* dialog) {
  for (QDateTimeEdit* picker : dialog->findChildren<QDateTimeEdit*>()) {
    if (!picker->accessibleName().isEmpty()) continue;
    QString label = LabelOf(picker);
    label.remove(QLatin1Char('&'));
    if (!label.isEmpty()) picker->setAccessibleName(label.trimmed());
  }
}

}  // namespace

void FitDialog(QDialog* dialog) {
  NamePickers(dialog);
  if (QLayout* layout = dialog->layout()) layout->activate();
  const QSize hint = dialog->sizeHint();
  const int width = std::max(hint.width(), CaptionWidth(dialog));
  dialog->setMinimumWidth(width);
  dialog->resize(width, std::max(hint.height(), dialog->minimumSizeHint().height()));
}

}  // namespace ulvo
