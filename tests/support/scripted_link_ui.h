#pragma once
// A LinkUi for tests: records messages and questions, answers from a script, and runs the
// two waits in a plain loop with generous bounds instead of dialogs.

#include <chrono>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "link/link_ui.h"

namespace ulvo {

class ScriptedLinkUi : public LinkUi {
 public:
  std::vector<std::string> messages;   // every ShowMessage text, in order
  std::vector<std::string> questions;  // every AskYesNo text
  std::deque<bool> answers;            // answers to AskYesNo in order; No when empty
  bool abortReplyWaits = false;        // the user presses "&Przerwij" at once
  std::chrono::milliseconds replyWaitLimit{
      5000};  // no completion by then counts as the user's abort
  bool abortReadyWaits = false;
  std::chrono::milliseconds readyWaitLimit{3000};
  int replyWaits = 0, readyWaits = 0, beeps = 0;
  // Bytes the last reply wait had received when it ended.
  unsigned lastReplyBytes = 0;

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  void Beep() override;
  bool RunReplyWait(ReplyWaitTask& task) override;
  bool RunReadyWait(ReadyWaitTask& task) override;

  // True when some message contains `part`.
  bool HasMessage(std::string_view part) const;
};

}  // namespace ulvo
