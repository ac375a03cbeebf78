#pragma once
// The keys that steer a playing demo: speed, pause, single steps and jumps towards the end.
#include "platform/base/WinTypes.h"

namespace Velk {

class DemoControls {
 public:
  enum Action { kNone, kJumpToTimeDialog, kMarkerListDialog, kToggleSound, kPauseToggled };

  bool mPaused = false;
  DWORD mJumpTarget = 0;
  bool mRunToEnd = false;
  bool mSingleStep = false;

  // Handles one typed key; what the caller must do itself comes back as the action.
  Action HandleKey(wchar_t key, double& speed, DWORD counter, DWORD demoLength, DWORD frameTime);
  // Fast-forwarding only runs forward and never past the end of the recording.
  void SetJumpTarget(DWORD target, DWORD counter, DWORD demoLength);
  bool WantsFastForward(DWORD counter) const { return counter < mJumpTarget || mRunToEnd; }
  // An update that made no progress (the recording has ended) stops the fast-forward.
  void NoteProgress(bool progressed, DWORD counter);
};

}  // namespace Velk
