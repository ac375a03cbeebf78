#include "ScreenGame.h"

#include "widgets/WidgetManager.h"

bool ScreenGame::RunLoopStep(bool* updated) {
  if (updated != nullptr) *updated = false;
  if (stepsLeft-- <= 0) return false;
  ++steps;
  if (onStep) {
    std::function<void()> step = onStep;
    step();
  }
  mWidgetManager->UpdateFrame();
  if (updated != nullptr) *updated = true;
  return true;
}

void ScreenGame::SwitchScreenMode(bool windowed) {
  switches.push_back(windowed);
  mIsWindowed = windowed;
}
