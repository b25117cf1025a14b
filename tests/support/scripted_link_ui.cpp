#include "tests/support/scripted_link_ui.h"

#include <thread>

namespace ulvo {

void ScriptedLinkUi::ShowMessage(std::string_view text) {
  messages.emplace_back(text);
}

bool ScriptedLinkUi::AskYesNo(std::string_view text) {
  questions.emplace_back(text);
  if (answers.empty()) return false;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

void ScriptedLinkUi::Beep() {
  ++beeps;
}

bool ScriptedLinkUi::RunReplyWait(ReplyWaitTask& task) {
  ++replyWaits;
  lastReplyBytes = 0;
  if (abortReplyWaits) return false;
  const auto deadline = std::chrono::steady_clock::now() + replyWaitLimit;
  // Poll blocks in the port until bytes arrive, so this loop does not spin.
  while (std::chrono::steady_clock::now() < deadline) {
    const bool over = task.Poll(std::chrono::milliseconds(100));
    lastReplyBytes = task.BytesReceived();
    if (over) return true;
  }
  return false;
}

bool ScriptedLinkUi::RunReadyWait(ReadyWaitTask& task) {
  ++readyWaits;
  if (abortReadyWaits) return false;
  const auto deadline = std::chrono::steady_clock::now() + readyWaitLimit;
  // The real dialog checks the line every 200 ms; a shorter period keeps tests brisk.
  while (std::chrono::steady_clock::now() < deadline) {
    if (task.CheckLineErrors() == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

bool ScriptedLinkUi::HasMessage(std::string_view part) const {
  for (const auto& m : messages)
    if (m.find(part) != std::string::npos) return true;
  return false;
}

}  // namespace ulvo
