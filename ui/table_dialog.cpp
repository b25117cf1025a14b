#include "ui/table_dialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "link/link.h"
#include "ui/dialog_registry.h"

namespace ulvo {

// ---- LineTable ----

LineTable::LineTable(int rows, const QStringList& headers, QWidget* parent)
    : QTableWidget(rows, static_cast<int>(headers.size()), parent) {
  setHorizontalHeaderLabels(headers);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Tab goes on to the next field; the arrows move between cells.
  setTabKeyNavigation(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() * 6 / 5 + 4);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columnCount(); ++c) setItem(r, c, new QTableWidgetItem);
  }
}

QSize LineTable::minimumSizeHint() const {
  const int width = verticalHeader()->sizeHint().width() + horizontalHeader()->length() +
                    2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  return {width, QTableWidget::minimumSizeHint().height()};
}

QSize LineTable::sizeHint() const {
  return QTableWidget::sizeHint().expandedTo(minimumSizeHint());
}

std::string LineTable::Cell(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell == nullptr ? std::string() : cell->text().toStdString();
}

void LineTable::SetCell(int row, int column, const std::string& utf8) {
  QTableWidgetItem* cell = item(row, column);
  if (cell == nullptr) {
    cell = new QTableWidgetItem;
    setItem(row, column, cell);
  }
  cell->setText(QString::fromStdString(utf8));
}

void LineTable::SetRowCaptions(const QStringList& captions) {
  for (int r = 0; r < rowCount(); ++r) {
    auto* cell = new QTableWidgetItem(r < captions.size() ? captions[r] : QString());
    cell->setFlags(Qt::ItemIsEnabled);
    setItem(r, 0, cell);
  }
}

void LineTable::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && state() != QAbstractItemView::EditingState && currentIndex().isValid()) {
    // Enter opens the cell for editing; in the cell it confirms the text.
    if (edit(currentIndex(), QAbstractItemView::EditKeyPressed, event)) {
      event->accept();
      return;
    }
  }
  QTableWidget::keyPressEvent(event);
}

// ---- TableDialog ----

TableDialog::TableDialog(AppContext& context, QWidget* parent, const QString& caption)
    : QDialog(parent), context_(context) {
  setWindowTitle(caption);
  auto* outer = new QVBoxLayout(this);
  body_ = new QVBoxLayout;
  outer->addLayout(body_);
}

Settings& TableDialog::settings() {
  return context_.settings;
}
Link& TableDialog::link() {
  return context_.link;
}
ReceiptState& TableDialog::receipt() {
  return context_.receipt;
}

void TableDialog::Tell(const std::string& text) {
  link().ui().ShowMessage(text);
}

void TableDialog::FinishLayout(const std::vector<QPushButton*>& extra) {
  auto* buttons = new QHBoxLayout;
  static_cast<QVBoxLayout*>(layout())->addLayout(buttons);
  Button1 = new QPushButton(QStringLiteral("&Wyślij"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(QStringLiteral("&Anuluj"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addStretch();
  for (QPushButton* button : extra) buttons->addWidget(button);
  // Tab runs through the fields, then "&Wyślij", "&Anuluj" and the other buttons in order.
  QWidget* previous = Button2;
  setTabOrder(Button1, Button2);
  for (QPushButton* button : extra) {
    setTabOrder(previous, button);
    previous = button;
  }
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  // Enter is decided in keyPressEvent, never by Qt's default button.
  for (QPushButton* button : findChildren<QPushButton*>()) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
}

void TableDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  FormShow();
  if (auto* table = qobject_cast<QTableWidget*>(firstField_)) {
    table->setCurrentCell(0, table->columnCount() > 0 && table->item(0, 0) != nullptr &&
                                     !(table->item(0, 0)->flags() & Qt::ItemIsEditable)
                                 ? 1
                                 : 0);
  }
  if (firstField_ != nullptr) firstField_->setFocus(Qt::TabFocusReason);
}

void TableDialog::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((event->modifiers() & ~Qt::KeypadModifier) != 0) {
    QDialog::keyPressEvent(event);
    return;
  }
  if (key == Qt::Key_Escape) {
    reject();
    return;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    QWidget* focused = QApplication::focusWidget();
    if (auto* button = qobject_cast<QPushButton*>(focused);
        button != nullptr && isAncestorOf(button)) {
      button->click();  // Enter on a button presses that button
    } else if (enterSends_ && qobject_cast<QTableWidget*>(focused) == nullptr) {
      Button1Click();
    }
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// ---- files ----

QPushButton* MakeFileButton(QWidget* parent, bool save) {
  auto* button = new QPushButton(parent);
  button->setIcon(parent->style()->standardIcon(save ? QStyle::SP_DialogSaveButton
                                                     : QStyle::SP_DialogOpenButton));
  const QString hint =
      save ? QStringLiteral("Zapisz linijki do pliku") : QStringLiteral("Odczytaj linijki z pliku");
  button->setToolTip(hint);
  button->setAccessibleName(hint);
  button->setObjectName(save ? QStringLiteral("BitBtn2") : QStringLiteral("BitBtn1"));
  return button;
}

namespace {

QString ChooseLineFile(QWidget* parent, bool save) {
  QFileDialog dialog(parent, save ? QStringLiteral("Zapisz linijki paragonu do pliku.")
                                  : QStringLiteral("Otwórz plik z lnijkami paragonu."));
  dialog.setNameFilter(QStringLiteral("Linijki paragonu (*.lin *.LIN)"));
  dialog.setDefaultSuffix(QStringLiteral("lin"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // the program asks its own question
  } else {
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

QString ChooseLineFileToOpen(QWidget* parent) {
  return ChooseLineFile(parent, false);
}
QString ChooseLineFileToSave(QWidget* parent) {
  return ChooseLineFile(parent, true);
}

}  // namespace ulvo
