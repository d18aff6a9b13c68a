// The headless backend's stage: what the "screen" showed and how a test or the
// command-line tool answers it. Message boxes are recorded and answered from a
// queue; with no scripted answer they take a handler (the CLI prints them) or
// the first button.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/platform.h"

namespace headless {

struct MessageBoxCall {
  std::string text;
  std::string caption;
  UINT type = 0;
};

struct Stage {
  std::vector<MessageBoxCall> messageBoxes;  // every box shown, in order
  std::deque<int> messageBoxAnswers;        // answers for the next boxes
  // Called for a box without a scripted answer; returns the button.
  std::function<int(const MessageBoxCall&)> onUnscriptedBox;
};

// The one stage of the process. Tests reset it between cases.
Stage& GetStage();
void ResetStage();

}  // namespace headless
