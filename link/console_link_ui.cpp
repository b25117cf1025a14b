#include "link/console_link_ui.h"

#include <cstdio>
#include <thread>

namespace ulvo {

using Clock = std::chrono::steady_clock;

void ConsoleLinkUi::ShowMessage(std::string_view text) {
  std::string line(text);
  if (rewrite) line = rewrite(std::move(line));
  // One message, one line.
  for (char& ch : line)
    if (ch == '\r' || ch == '\n') ch = ' ';
  std::fprintf(stderr, "%s%s\n", prefix_.c_str(), line.c_str());
  ++messages;
}

bool ConsoleLinkUi::AskYesNo(std::string_view text) {
  ShowMessage(std::string(text) + " (bez pytania: nie)");
  return false;
}

bool ConsoleLinkUi::RunReplyWait(ReplyWaitTask& task) {
  const auto deadline = Clock::now() + replyBound_;
  while (Clock::now() < deadline)
    if (task.Poll(std::chrono::milliseconds(100))) return true;
  return false;
}

bool ConsoleLinkUi::RunReadyWait(ReadyWaitTask& task) {
  const auto deadline = Clock::now() + readyBound_;
  for (;;) {
    const int state = task.CheckLineErrors();
    if (state == 0) return true;
    if (state == 1 || Clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  if (readyBound_.count() > 0) {
    ShowMessage("Drukarka wstrzymuje transmisję dłużej niż " +
                std::to_string(readyBound_.count() / 1000) + " s.");
  }
  return false;
}

}  // namespace ulvo
