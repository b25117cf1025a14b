#pragma once
// What the table dialogs share: a grid edited from the keyboard (arrows move, F2, Enter or
// typing edits, Enter confirms a cell, Tab leaves the grid) and a dialog frame whose send
// handler is its own (the sends run several frames and keep state), with Escape closing it.

#include <QDialog>
#include <QTableWidget>
#include <string>
#include <vector>

class QPushButton;
class QVBoxLayout;

namespace ulvo {

class Link;
struct AppContext;
struct ReceiptState;
struct Settings;

class LineTable : public QTableWidget {
  Q_OBJECT
 public:
  // `rows` data rows under a header row of `headers`.
  LineTable(int rows, const QStringList& headers, QWidget* parent = nullptr);

  // The text of a cell in UTF-8 (empty for a cell never filled).
  std::string Cell(int row, int column) const;
  void SetCell(int row, int column, const std::string& utf8);
  // Row captions in a first column that is not edited.
  void SetRowCaptions(const QStringList& captions);

  // Wide enough for every column shown, so no column hides behind a scroll bar.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TableDialog : public QDialog {
  Q_OBJECT
 public:
  TableDialog(AppContext& context, QWidget* parent, const QString& caption);

  QPushButton* Button1 = nullptr;  // "&Wyślij"
  QPushButton* Button2 = nullptr;  // "&Anuluj"

  virtual void Button1Click() = 0;

 protected:
  Settings& settings();
  Link& link();
  ReceiptState& receipt();
  QVBoxLayout* Body() const { return body_; }
  // The buttons row; `extra` buttons come after "&Wyślij" and "&Anuluj".
  void FinishLayout(const std::vector<QPushButton*>& extra = {});
  // Enter sends outside the tables when true; otherwise it only edits cells.
  void SetEnterSends(bool sends) { enterSends_ = sends; }
  // The field that has the focus when the dialog opens.
  void SetFirstField(QWidget* field) { firstField_ = field; }
  virtual void FormShow() {}

  // Shows the message of a refused send or stopped sequence (UTF-8).
  void Tell(const std::string& text);

  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  AppContext& context_;
  QVBoxLayout* body_ = nullptr;
  QWidget* firstField_ = nullptr;
  bool enterSends_ = false;
};

// A picture button with a hint, for loading and saving line files.
QPushButton* MakeFileButton(QWidget* parent, bool save);

// File names chosen in the program's own file dialogs (the overwrite question is asked by the
// caller). Empty when the user cancels.
QString ChooseLineFileToOpen(QWidget* parent);
QString ChooseLineFileToSave(QWidget* parent);

}  // namespace ulvo
