#include "app/LoopTimer.h"

#include "platform/clock/Clock.h"

#include <algorithm>

namespace Velk {

namespace {

// The vsync step keeps a little slack, as a single-precision 0.2.
constexpr double kVSyncSlack = static_cast<double>(0.2f);
constexpr int32_t kFastCheckMs = 800;
constexpr int kStrikesToBreak = 3;

}  // namespace

void LoopTimer::AccumulateElapsed(DWORD now) {
  if (mHasTimeStamp) {
    int32_t elapsed = TickDiff(now, mLastTimeStamp);
    mPendingTime = std::min(mPendingTime + elapsed, kMaxPending);
    if (mCatchUpSuppress > 0) mCatchUpSuppress = std::max(mCatchUpSuppress - elapsed, 0);
  }
  mLastTimeStamp = now;
  mHasTimeStamp = true;
}

void LoopTimer::Reset(DWORD now, bool suppressCatchUp) {
  mPendingTime = 0.0;
  mLastTimeStamp = now;
  mHasTimeStamp = true;
  if (suppressCatchUp) mCatchUpSuppress = kSuppressMs;
}

void LoopTimer::ConsumeFrame(double frameMs, bool vsyncMode) {
  if (vsyncMode) {
    mPendingTime = std::max(mPendingTime - frameMs - kVSyncSlack, 0.0);
  } else {
    mPendingTime -= frameMs;
  }
  if (mCatchUpSuppress > 0) mPendingTime = 0.0;
}

int LoopTimer::IdleSleepMs(double frameMs) const {
  double rest = frameMs - mPendingTime;
  return rest > 0.0 ? static_cast<int>(rest) : 0;
}

bool LoopTimer::CountVSyncCheck(DWORD now, DWORD frameTime) {
  if (frameTime == 0) return false;
  ++mVSyncCheckCount;
  if (mVSyncCheckCount < (frameTime + 999) / frameTime) return false;
  bool fast = TickDiff(now, mLastVSyncCheck) <= kFastCheckMs;
  mVSyncStrikes = fast ? mVSyncStrikes + 1 : 0;
  mLastVSyncCheck = now;
  mVSyncCheckCount = 0;
  return mVSyncStrikes >= kStrikesToBreak;
}

}  // namespace Velk
