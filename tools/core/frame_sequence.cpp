#include "tools/core/frame_sequence.h"

namespace ulvo {

SequenceResult SendFrameSequence(Link& link, const std::vector<std::string>& frames,
                                 const std::function<void(std::size_t)>& afterEach) {
  SequenceResult result;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    result.outcome = SendCommandFrames(link, {frames[i]});
    if (result.outcome != SendOutcome::Done) return result;
    ++result.carriedOut;
    if (afterEach) afterEach(i);
  }
  return result;
}

}  // namespace ulvo
