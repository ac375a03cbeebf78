#pragma once
// The cafe's application for the screens' tests and fuzzing: each step of a nested loop runs the
// caller's script, then one update of the widgets; mode switches and shutdowns are only counted.
#include <functional>
#include <vector>

#include "cafe/QCEngine3.h"

class ScreenGame : public QCEngine3 {
 public:
  bool RunLoopStep(bool* updated) override;
  void SwitchScreenMode(bool windowed) override;
  void Shutdown() override { ++shutdowns; }

  std::function<void()> onStep;
  int steps = 0;
  int stepsLeft = 1000;  // the loop reports the end after these
  std::vector<bool> switches;
  int shutdowns = 0;
};
