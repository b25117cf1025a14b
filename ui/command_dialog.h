#pragma once
// The pattern every simple command dialog shares: a thin view that copies its fields into a
// plain struct, asks the Qt-free builder for the frames, sends them and closes. Escape closes
// and Enter sends (also from a date or time picker), unless the dialog chooses otherwise.

#include <QDialog>
#include <QString>

#include "link/command_sender.h"
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
  // Where Enter sends. Escape closes from every control in every mode.
  enum class KeyMode {
    Form,            // the form sees Enter before its controls
    SendButtonOnly,  // only while "Wyślij" has the focus
    WhileNoFocus,    // only while no control has the focus
    EscapeOnly,      // Enter is left to the controls
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
  // The dialog closes also when a frame could not be written.
  void SetCloseAfterFailedSend(bool close) { closeAfterFailedSend_ = close; }

  // A help button showing `text` in a message box.
  QPushButton* MakeHelpButton(const QString& caption, const char* text);
  // Date ("rrrr-mm-dd") and time ("gg:mm:ss") pickers.
  static QDateEdit* MakeDatePicker();
  static QTimeEdit* MakeTimePicker();

  virtual FrameList BuildFrames() = 0;
  // Runs before the frames are built (questions about the fields); false sends nothing and
  // keeps the dialog open.
  virtual bool ConfirmSend() { return true; }
  // Defaults set on every opening (FormShow).
  virtual void FormShow() {}
  // After the frames went out, before the dialog closes (not after a failed send, which
  // leaves it open): Done when the printer carried out every frame.
  virtual void FramesSent(SendOutcome outcome) { (void)outcome; }

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
  bool closeAfterFailedSend_ = false;
};

}  // namespace ulvo
