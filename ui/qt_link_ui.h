#pragma once
// The Qt side of the link's user interface: warning message boxes, Yes/No questions and the
// two modal waits "Odbieram dane" (TOdbieranie) and "Czekam na gotowość drukarki "
// (TCzekajNaRs).

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <string_view>

#include "link/link_ui.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace ulvo {

// A warning message box with one OK button, answerable by Enter or Escape.
void ShowWarning(QWidget* parent, const QString& text);
// A warning question with "&Tak" and "&Nie"; Escape means No. True for Yes.
bool AskWarningYesNo(QWidget* parent, const QString& text);

// The reply wait: polls the task when the port has news and on a short timer, animates the
// progress bar and shows the byte count from 200 bytes on. "&Przerwij" and Escape abort.
class TOdbieranie : public QDialog {
  Q_OBJECT
 public:
  explicit TOdbieranie(QWidget* parent = nullptr);
  // Runs the wait modally; true when the task completed, false when the user aborted.
  bool Run(ReplyWaitTask& task);

  QProgressBar* ProgressBar1 = nullptr;
  QLabel* Label1 = nullptr;        // "Czekam na odpowiedź od drukarki"
  QLabel* Label2 = nullptr;        // the byte count
  QPushButton* Button1 = nullptr;  // "&Przerwij"

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Tick();
  void PollTask();
  void ShowCount();

  ReplyWaitTask* task_ = nullptr;
  QTimer timer_;
  int step_ = 2;
  bool polling_ = false;
};

// The ready wait under flow control: a 200 ms tick animates the progress bar and checks the
// line; "&Przerwij" aborts, Escape asks "Czy przerwać oczekiwanie?".
class TCzekajNaRs : public QDialog {
  Q_OBJECT
 public:
  explicit TCzekajNaRs(QWidget* parent = nullptr);
  bool Run(ReadyWaitTask& task);

  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* Button1 = nullptr;  // "&Przerwij"

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Tick();

  ReadyWaitTask* task_ = nullptr;
  QTimer timer_;
  int step_ = 2;
};

// LinkUi over Qt dialogs. Messages appear over the active window, or over `parent`.
class QtLinkUi : public LinkUi {
 public:
  explicit QtLinkUi(QWidget* parent = nullptr) : parent_(parent) {}
  ~QtLinkUi() override;
  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Beep() override;
  bool RunReplyWait(ReplyWaitTask& task) override;
  bool RunReadyWait(ReadyWaitTask& task) override;

 private:
  QWidget* DialogParent() const;

  QPointer<QWidget> parent_;
  QPointer<TOdbieranie> replyWait_;
  QPointer<TCzekajNaRs> readyWait_;
};

}  // namespace ulvo
