#pragma once
// Sends the frames of a table one after another, each followed by the printer's result, and
// tells how far it got, so that a stopped send can say what went out.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "link/command_sender.h"

namespace ulvo {

class Link;

struct SequenceResult {
  SendOutcome outcome = SendOutcome::Done;
  std::size_t carriedOut = 0;  // frames sent and carried out, from the first
};

// `afterEach(i)` runs when frame i was carried out. Stops at the first failed send or refusal.
SequenceResult SendFrameSequence(Link& link, const std::vector<std::string>& frames,
                                 const std::function<void(std::size_t)>& afterEach = {});

}  // namespace ulvo
