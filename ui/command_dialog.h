#pragma once
// The pattern every simple command dialog shares: a thin view that copies its fields into a
// plain struct, asks the Qt-free builder for the frames, sends them and closes. Escape closes
// and Enter sends (also from a date or time picker), unless the dialog chooses otherwise.

#include <QDialog>
#include <QString>

#include "link/frame_list.h"

class QBoxLayout;
class QDateEdit;
class QFormLayout;
class QPushButton;
class QTimeEdit;
class QVBoxLayout;

namespace ulvo {

class Link;
struct AppContext;
struct Settings;

class CommandDialog : public QDialog {
  Q_OBJECT
 public:
  // Which keys the dialog handles itself.
  enum class KeyMode {
    Form,            // the form sees Enter and Escape before its controls
    SendButtonOnly,  // only while "Wyślij" has the focus
    WhileNoFocus,    // only while no control has the focus
    EscapeOnly,      // Escape closes; Enter is left to the controls
  };

  CommandDialog(AppContext& context, QWidget* parent, const QString& caption);

  QPushButton* Button1 = nullptr;  // "Wyślij"
  QPushButton* Button2 = nullptr;  // "Anuluj"

  // Builds the frames from the fields, asks about characters the printer cannot print,
  // sends; closes unless the send failed. A dialog that does more after the send overrides it.
  virtual void Button1Click();

 protected:
  Settings& settings();
  Link& link();

  // The vertical layout the fields go into, above the buttons.
  QVBoxLayout* Body() const { return body_; }
  // A form layout added to the body.
  QFormLayout* AddForm();
  // Adds "Wyślij" and "Anuluj" below the fields; call at the end of the constructor, so the
  // buttons follow the fields in the Tab order.
  void FinishLayout(const QString& sendCaption = QStringLiteral("Wyślij"),
                    const QString& cancelCaption = QStringLiteral("Anuluj"));
  void SetKeyMode(KeyMode mode) { keyMode_ = mode; }

  // A help button showing `text` in a message box.
  QPushButton* MakeHelpButton(const QString& caption, const char* text);
  // Date ("rrrr-mm-dd") and time ("gg:mm:ss") pickers.
  static QDateEdit* MakeDatePicker();
  static QTimeEdit* MakeTimePicker();

  virtual FrameList BuildFrames() = 0;
  // Defaults set on every opening (FormShow).
  virtual void FormShow() {}

  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void WatchKeys();
  void FocusFirstField();
  bool HandleKey(QObject* target, int key);

  AppContext& context_;
  QVBoxLayout* body_ = nullptr;
  QBoxLayout* buttons_ = nullptr;
  KeyMode keyMode_ = KeyMode::Form;
};

}  // namespace ulvo
