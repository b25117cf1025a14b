#pragma once
// Answers modal windows (message boxes, dialogs, file dialogs) that a test's action opens.
// Steps are taken in order: each waits for the next modal window that matches it and acts on
// it once. Windows that match no pending step are only recorded, so a reply wait that ends
// by itself never consumes a step. Every modal window shown is recorded in `seen`.
//
//   ModalAnswerer answer;
//   answer.Click(QString::fromUtf8("&Tak"));           // the next message box: press "&Tak"
//   answer.Key("TModelDrukarki", Qt::Key_Escape);     // then the model dialog: Escape
//   QTest::mouseClick(button, Qt::LeftButton);        // the action that opens them
//   QVERIFY(answer.WaitDone());

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>

namespace ulvo::testing {

class ModalAnswerer : public QObject {
  Q_OBJECT
 public:
  explicit ModalAnswerer(QObject* parent = nullptr);
  ~ModalAnswerer() override;

  using Action = std::function<void(QWidget* window)>;

  // The next message box: clicks its button whose caption is `buttonText` (with or without
  // the '&'), e.g. "OK", "&Tak", "&Nie".
  ModalAnswerer& Click(const QString& buttonText);
  // The next message box: presses `key` in it (Enter, Escape, or a mnemonic letter with Alt).
  ModalAnswerer& Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // The next modal window whose objectName or window title is `name`: presses `key`.
  ModalAnswerer& Key(const QString& name, Qt::Key key,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // The next modal window whose objectName or window title is `name`: runs `action`.
  ModalAnswerer& Do(const QString& name, Action action);
  // The next modal window of any kind: runs `action`.
  ModalAnswerer& DoAny(Action action);

  // True when every step has been taken.
  bool Done() const { return steps_.empty(); }
  // Processes events until every step is taken (bounded; false on time-out).
  bool WaitDone(int timeoutMs = 15000);

  // "Title: text" of every message box shown, and the objectName (or title) of every other
  // modal window, in order.
  QStringList seen;
  // The texts of the message boxes only.
  QStringList messages;

  // True when some message box text contains `part`.
  bool SawMessage(const QString& part) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Step {
    QString name;  // empty: any message box; "*": any modal window
    Action action;
  };
  void Handle(QWidget* window);
  static bool Matches(const Step& step, QWidget* window);

  std::deque<Step> steps_;
};

// Presses a key in `window` as the window system would deliver it: to its focus widget, with
// shortcuts and Alt mnemonics (the window is made active first).
void PressKey(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Processes events until `condition` holds (bounded; false on time-out).
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 15000);

}  // namespace ulvo::testing
