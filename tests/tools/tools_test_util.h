#pragma once
// What the tools' frame tests share: a frame's body between ESC and its check digits.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/frame_list.h"

namespace ulvo::testing {

// "P..." without ESC, the two check digits and ESC '\'.
inline std::string Body(const std::string& frame) {
  EXPECT_GE(frame.size(), 5u);
  if (frame.size() < 5) return {};
  EXPECT_EQ(frame.front(), '\x1B');
  EXPECT_EQ(frame.substr(frame.size() - 2), "\x1B\\");
  return frame.substr(1, frame.size() - 5);
}

inline std::vector<std::string> Bodies(const FrameList& list) {
  EXPECT_FALSE(list.Refused()) << list.error;
  std::vector<std::string> bodies;
  for (const std::string& frame : list.frames) bodies.push_back(Body(frame));
  return bodies;
}

}  // namespace ulvo::testing
