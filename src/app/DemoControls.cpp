#include "app/DemoControls.h"

namespace Velk {

namespace {

constexpr double kSpeedStep = 1.5;

// Keys '4' to '9': how long before the end of the recording each one jumps to.
DWORD TimeBeforeEndMs(wchar_t key) {
  static const DWORD kTimes[] = {120000, 90000, 60000, 30000, 10000, 5000};
  return kTimes[key - L'4'];
}

}  // namespace

void DemoControls::SetJumpTarget(DWORD target, DWORD counter, DWORD demoLength) {
  if (target <= counter) return;
  mJumpTarget = target < demoLength ? target : demoLength;
}

DemoControls::Action DemoControls::HandleKey(wchar_t key, double& speed, DWORD counter, DWORD demoLength,
                                             DWORD frameTime) {
  if (frameTime == 0) frameTime = 1;
  switch (key) {
    case L'+':
      speed *= kSpeedStep;
      return kNone;
    case L'-':
      speed /= kSpeedStep;
      return kNone;
    case L'=':
      speed = 1.0;
      return kNone;
    case L'0':
      SetJumpTarget(demoLength, counter, demoLength);
      return kNone;
    case L'J':
    case L'j':
      return kJumpToTimeDialog;
    case L'L':
    case L'l':
      return kMarkerListDialog;
    case L'M':
    case L'm':
      mRunToEnd = true;
      return kNone;
    case L'N':
    case L'n':
      SetJumpTarget(counter + 1, counter, demoLength);
      mSingleStep = true;
      return kNone;
    case L'P':
    case L'p':
      mPaused = !mPaused;
      return kPauseToggled;
    case L'S':
    case L's':
      return kToggleSound;
    default:
      break;
  }
  if (key >= L'4' && key <= L'9') {
    DWORD back = TimeBeforeEndMs(key) / frameTime;
    if (back < demoLength) SetJumpTarget(demoLength - back, counter, demoLength);
  }
  return kNone;
}

void DemoControls::NoteProgress(bool progressed, DWORD counter) {
  if (progressed && WantsFastForward(counter)) return;
  mRunToEnd = false;
  mJumpTarget = counter;
}

}  // namespace Velk
