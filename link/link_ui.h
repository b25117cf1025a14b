#pragma once
// What the link needs from a person: messages, questions and the two modal waits.
// The shell implements it with Qt dialogs; tests with a scripted fake.

#include <chrono>
#include <functional>
#include <string_view>

namespace ulvo {

// One reply wait, driven by the user interface.
class ReplyWaitTask {
 public:
  virtual ~ReplyWaitTask() = default;
  // Reads what has arrived (up to 50 bytes), waiting at most `timeout` for the first byte.
  // True when the wait is over: the reply is complete, or the port failed and was closed.
  virtual bool Poll(std::chrono::milliseconds timeout) = 0;
  // Bytes received so far in this wait.
  virtual unsigned BytesReceived() const = 0;
  // `wake` is called from the event loop when the port has news; empty disconnects.
  virtual void SetWakeup(std::function<void()> wake) = 0;
};

// The wait for a printer that holds the line under flow control.
class ReadyWaitTask {
 public:
  virtual ~ReadyWaitTask() = default;
  // The port's line state: 0 ready, 1 error, 2 still held.
  virtual int CheckLineErrors() = 0;
};

class LinkUi {
 public:
  virtual ~LinkUi() = default;
  // A message box with a warning icon (UTF-8 text).
  virtual void ShowMessage(std::string_view text) = 0;
  // A warning question with Yes and No; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  virtual void Beep() {}
  // "Odbieram dane": polls the task until it reports the wait over (true) or the user
  // aborts with "&Przerwij" or Escape (false).
  virtual bool RunReplyWait(ReplyWaitTask& task) = 0;
  // "Czekam na gotowość drukarki ": checks the line every 200 ms until it reads 0 (true);
  // false when the user aborts.
  virtual bool RunReadyWait(ReadyWaitTask& task) = 0;
};

}  // namespace ulvo
