#pragma once
// The link's user interface where no person sits at a window (ulvo-cli, the benchmarks):
// messages go to stderr, questions are answered No, and the waits poll with a stated bound.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "link/link_ui.h"

namespace ulvo {

class ConsoleLinkUi : public LinkUi {
 public:
  // Messages are printed as `prefix` + text; a reply not complete after `replyBound` is not
  // coming; a line held by flow control longer than `readyBound` is given up.
  ConsoleLinkUi(std::string prefix, std::chrono::milliseconds replyBound,
                std::chrono::milliseconds readyBound)
      : prefix_(std::move(prefix)), replyBound_(replyBound), readyBound_(readyBound) {}

  void ShowMessage(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  bool RunReplyWait(ReplyWaitTask& task) override;
  bool RunReadyWait(ReadyWaitTask& task) override;

  // Applied to every message before it is printed (e.g. to name a port as the user gave it).
  std::function<std::string(std::string)> rewrite;
  int messages = 0;

 private:
  std::string prefix_;
  std::chrono::milliseconds replyBound_, readyBound_;
};

}  // namespace ulvo
