#include "ui/dialog_fit.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
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

void FitDialog(QDialog* dialog) {
  if (QLayout* layout = dialog->layout()) layout->activate();
  const QSize hint = dialog->sizeHint();
  const int width = std::max(hint.width(), CaptionWidth(dialog));
  dialog->setMinimumWidth(width);
  dialog->resize(width, std::max(hint.height(), dialog->minimumSizeHint().height()));
}

}  // namespace ulvo
