#pragma once
// The real time that the fixed-step loop has not yet turned into logic updates, and the check
// that tells whether waiting for the vertical blank really paces the loop.

#include "platform/base/WinTypes.h"

namespace Velk {

class LoopTimer {
 public:
  // After a stall no more than this is caught up.
  static constexpr double kMaxPending = 200.0;
  static constexpr int kSuppressMs = 1000;

  double mPendingTime = 0.0;
  DWORD mLastTimeStamp = 0;
  bool mHasTimeStamp = false;
  // While positive, a catch-up step discards what is pending.
  int mCatchUpSuppress = 0;

  DWORD mVSyncCheckCount = 0;
  DWORD mLastVSyncCheck = 0;
  int mVSyncStrikes = 0;

  // Adds the time since the last stamp (capped) and counts the suppression down.
  void AccumulateElapsed(DWORD now);
  // Forgets what is pending; with suppressCatchUp the next second's catch-up is discarded too.
  void Reset(DWORD now, bool suppressCatchUp);
  // Takes one frame off the pending time after a catch-up step.
  void ConsumeFrame(double frameMs, bool vsyncMode);
  // How long an idle loop may sleep: the rest of the frame, truncated.
  int IdleSleepMs(double frameMs) const;
  // Counts one update. Every second's worth of updates is a check; a check that comes within
  // 800 ms means the updates run faster than real time; true from the third such check in a row,
  // when the vertical-blank wait is to be taken as broken.
  bool CountVSyncCheck(DWORD now, DWORD frameTime);
};

}  // namespace Velk
