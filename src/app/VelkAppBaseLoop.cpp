// The main loop: pump, replay one queued input, then the fixed-step timing that runs logic
// updates with catch-up and draws only what changed.

#include "app/VelkAppBase.h"

#include "graphics/DDInterface.h"
#include "platform/clock/Clock.h"
#include "platform/crash/FatalSignals.h"
#include "platform/instance/InstanceLock.h"
#include "platform/threads/Threads.h"
#include "sound/MusicInterface.h"
#include "widgets/WidgetManager.h"

#include <cmath>

namespace Velk {

namespace {

enum StepState { kPump = 0, kUpdate = 1, kCatchUp = 2, kDone = 3 };

constexpr int32_t kPresentIntervalMs = 1000;
constexpr int32_t kIdleCheckMs = 1000;
constexpr int32_t kMaxLoadingYieldMs = 250;
constexpr int32_t kMinLoadingDrawMs = 15;
constexpr int32_t kLoadingPresentGapMs = 35;

}  // namespace

void VelkAppBase::MainLoop() {
  while (!mShutdown) {
    mExitToTop = false;
    RunUntilUpdated();
  }
}

bool VelkAppBase::RunUntilUpdated() {
  bool updated = false;
  while (!updated) {
    if (!RunLoopStep(&updated)) return false;
  }
  return true;
}

bool VelkAppBase::RunLoopStep() {
  bool updated = false;
  return RunLoopStep(&updated);
}

void VelkAppBase::PumpMessages() {
  // Other copies of the program reach this one through the instance lock, not the window queue.
  for (const InstanceNotice& notice : SingleInstance::Poll()) {
    PostMessageW(HWND_BROADCAST, notice.message, notice.wParam, notice.lParam);
  }
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (mShutdown) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool VelkAppBase::RunLoopStep(bool* updated) {
  *updated = false;
  // After a fault on any thread the game goes no further: the process ends once it is reported.
  // Only once the main thread has parked here may the crash thread save the demo.
  if (FatalSignalCaught()) {
    mParkedAfterFault = true;
    WaitForFatalEnd();
  }
  if (mExitToTop) return false;
  if (mUpdateAppState == kDone) mUpdateAppState = kPump;
  ++mUpdateAppDepth;
  if (mUpdateAppState == kPump) {
    PumpMessages();
    ProcessDemoEvents();
    if (!ProcessDeferredInput(true)) mUpdateAppState = kUpdate;
  } else {
    DWORD before = mUpdateCount;
    StepTiming(true);
    *updated = mUpdateCount != before;
  }
  --mUpdateAppDepth;
  return true;
}

void VelkAppBase::AccumulateElapsed() { mTimer.AccumulateElapsed(timeGetTime()); }

void VelkAppBase::ResetTiming(bool suppressCatchUp) { mTimer.Reset(timeGetTime(), suppressCatchUp); }

bool VelkAppBase::StepTiming(bool allowSleep) {
  if (mShutdownRequested.exchange(false)) Shutdown();

  bool vsyncMode =
      mVSyncUpdates && !mLastDrawWasEmpty && !mVSyncBroken && (!mIsPhysWindowed || (mWaitForVSync && !mSoftVSyncWait));
  double frameMs;
  float perFrame = 1.0f;
  if (mVSyncUpdates) {
    frameMs = 1000.0 / mRefreshRate / mSpeed;
    perFrame = 1000.0f / static_cast<float>(mFrameTime * mRefreshRate);
  } else {
    frameMs = mFrameTime / mSpeed;
  }

  if (RunDemoFastForward()) {
    ProcessSafeDeletes();
    return true;
  }
  if (mSpeed <= 0.0) {
    ProcessSafeDeletes();
    return true;
  }

  if (!vsyncMode) AccumulateElapsed();
  if (mIdlePaused) return RestWhileIdlePaused(frameMs, allowSleep);
  DWORD now = timeGetTime();
  DWORD slept = 0;

  bool draw = mUpdateAppState != kUpdate && mUpdateAppState != kCatchUp;
  if (mUpdateAppState == kUpdate) {
    ++mNonDrawCount;
    if (mNonDrawCount >= static_cast<int>(std::floor(mSpeed * 10.0)) && mLoadingFinishHandled) {
      draw = true;
    } else if (vsyncMode && !mHasPendingDraw) {
      // An update is due with every refresh.
    } else {
      double threshold = vsyncMode ? std::trunc(frameMs * 0.75) : frameMs;
      draw = threshold > mTimer.mPendingTime;
    }
    if (!draw) {
      if (mSpeed == 1.0 && mTimer.CountVSyncCheck(now, mFrameTime)) mVSyncBroken = true;
      if (UpdateOnce()) mUpdateAppState = kCatchUp;
      mHasPendingDraw = true;
    }
  } else if (mUpdateAppState == kCatchUp) {
    CatchUp(perFrame, frameMs, vsyncMode);
  }

  if (draw) {
    mUpdateAppState = kDone;
    mNonDrawCount = 0;
    if (mHasPendingDraw) {
      DrawFrame();
    } else {
      int rest = mTimer.IdleSleepMs(frameMs);
      if (rest > 0) {
        if (!allowSleep) return false;
        ++mSleepCount;
        Sleep(rest);
        slept = rest;
      }
    }
  }

  bool blocked = false;
  LoadingYield(now, slept, allowSleep, blocked);
  if (blocked) return false;
  ProcessSafeDeletes();
  return true;
}

// Nothing is updated or drawn while the desktop's screen saver is due. The loop still takes input
// and asks the desktop once a second, and sleeps the rest of each frame so that the machine rests;
// the paused time is not caught up afterwards.
bool VelkAppBase::RestWhileIdlePaused(double frameMs, bool allowSleep) {
  mUpdateAppState = kDone;
  mNonDrawCount = 0;
  DWORD now = timeGetTime();
  RunDueIdleCheck(now);
  mTimer.Reset(now, false);
  if (mIdlePaused) {
    int rest = mTimer.IdleSleepMs(frameMs);
    if (rest > 0) {
      if (!allowSleep) return false;
      ++mSleepCount;
      Sleep(rest);
    }
  }
  ProcessSafeDeletes();
  return true;
}

void VelkAppBase::CatchUp(float perFrame, double frameMs, bool vsyncMode) {
  mUpdateAppState = kDone;
  mUpdateFracAccum += perFrame - 1.0;
  ProcessSafeDeletes();
  while (mUpdateFracAccum >= 1.0) {
    ++mNonDrawCount;
    if (!UpdateOnce()) break;
    ProcessSafeDeletes();
    mUpdateFracAccum -= 1.0;
  }
  UpdateFraction(perFrame);
  ProcessSafeDeletes();
  mTimer.ConsumeFrame(frameMs, vsyncMode);
}

void VelkAppBase::LoadingYield(DWORD now, DWORD slept, bool allowSleep, bool& blocked) {
  // While loading, the raised main thread gives the loader about twice the time it used itself.
  if (!mLoadingRaised) return;
  int32_t yield = 2 * (TickDiff(timeGetTime(), now) - static_cast<int32_t>(slept)) - static_cast<int32_t>(slept);
  if (yield > kMaxLoadingYieldMs) yield = kMaxLoadingYieldMs;
  if (yield < 0) return;
  if (!allowSleep) {
    blocked = true;
    return;
  }
  Sleep(static_cast<DWORD>(yield));
}

bool VelkAppBase::UpdateOnce() {
  if (mIdlePaused || !DemoAllowsUpdate()) return false;
  if (mLoadingThreadCompleted && !mLoadingFinishHandled) {
    mDemo.RecordEvent(kDemoLoadingFinished);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    mLoadingFinishHandled = true;
    mLoadingRaised = false;
    OnLoadingFinished();
  }
  RunLogicUpdate();
  return true;
}

void VelkAppBase::RunLogicUpdate() {
  ++mUpdateCount;
  if (!mMinimized) mWidgetManager->UpdateFrame();
  if (mMusicInterface) mMusicInterface->Update();
  ReleaseUnusedSharedImages();
}

void VelkAppBase::UpdateFraction(float fraction) {
  if (mVSyncUpdates && !mMinimized) mWidgetManager->UpdateFrameFraction(fraction);
}

void VelkAppBase::RunDueIdleCheck(DWORD now) {
  if (TickDiff(now, mLastIdleCheck) <= kIdleCheckMs) return;
  mLastIdleCheck = now;
  CheckIdlePause(now);
}

bool VelkAppBase::DrawFrame() {
  if (mDisplayLost) {
    PresentFrame(nullptr);
    mLastDrawWasEmpty = true;
    mHasPendingDraw = false;
    return false;
  }
  DWORD now = timeGetTime();
  RunDueIdleCheck(now);
  if (mIdlePaused) return false;

  mDrawing = true;
  bool changed = mWidgetManager->DrawScreen(this);
  mDrawing = false;

  bool skip = (!changed && TickDiff(now, mLastDrawTick) < kPresentIntervalMs && !mCursorChanged) ||
              TickDiff(now, mNextDrawTick) < 0;
  if (skip) {
    mLastDrawWasEmpty = true;
    mHasPendingDraw = false;
    return false;
  }
  ++mDrawCount;
  mLastDrawWasEmpty = false;
  mDrawTime += TickDiff(timeGetTime(), now);

  if (mWaitForVSync && mIsPhysWindowed && mSoftVSyncWait && mDDInterface) {
    int32_t period = mDDInterface->mMillisecondsPerFrame;
    int32_t since = TickDiff(timeGetTime(), mLastDrawTick);
    if (since < period) Sleep(static_cast<DWORD>(period - since));
  }

  DWORD presentStart = timeGetTime();
  mLastDrawTick = presentStart;
  PresentFrame(nullptr);
  AccumulateElapsed();
  DWORD presentEnd = timeGetTime();
  mScreenBltTime = TickDiff(presentEnd, presentStart);

  if (mLoadingThreadStarted && !mLoadingThreadCompleted) {
    // At least 50 ms between presents while the loader runs.
    int32_t spent = std::max(TickDiff(presentEnd, now), kMinLoadingDrawMs);
    DWORD next = mNextDrawTick + spent + kLoadingPresentGapMs;
    mNextDrawTick = TickDiff(presentEnd, next) < 0 ? next : presentEnd;
  } else {
    mNextDrawTick = presentEnd;
  }
  mHasPendingDraw = false;
  mCursorChanged = false;
  return true;
}

}  // namespace Velk
