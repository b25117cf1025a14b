#pragma once
// What the reading dialogs share: they read when they open and again on their read button,
// Escape closes, Enter reads where the dialog says so, and a dialog whose reading failed
// closes itself rather than show stale data.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace ulvo {

class Link;
struct AppContext;
struct Settings;

class ReadoutDialog : public QDialog {
  Q_OBJECT
 public:
  ReadoutDialog(AppContext& context, QWidget* parent, const QString& caption, bool enterReads);

  QPushButton* ReadButton = nullptr;   // "&Pobierz" and the like
  QPushButton* CloseButton = nullptr;  // "&Zamknij" and the like

  // Reads and shows, as the read button does.
  void ReadAgain();

 protected:
  Settings& settings();
  Link& link();
  QVBoxLayout* Body() const { return body_; }
  // The buttons row; extra buttons go between the read and the close button.
  void FinishLayout(const QString& readCaption, const QString& closeCaption,
                    const QList<QPushButton*>& extra = {});
  // A read-only field that still takes the focus, so its text can be selected and copied.
  static QLineEdit* MakeField(const char* name);

  // Reads from the printer and shows the result; true when the reading failed.
  virtual bool Read() = 0;
  // Whether a failed read by the button closes the dialog too (it does, except for the status).
  virtual bool CloseAfterFailedRead() const { return true; }
  // Clears what the dialog shows before the reading on opening.
  virtual void ClearDisplay() {}

  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ReadOnOpening();

  AppContext& context_;
  QVBoxLayout* body_ = nullptr;
  bool enterReads_;
};

}  // namespace ulvo
