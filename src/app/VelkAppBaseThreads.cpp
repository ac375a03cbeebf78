// The loading thread, which runs the game's background loading while the main thread keeps the
// window alive, and the cursor thread, which keeps the software cursor moving when the main
// thread is busy.

#include "app/VelkAppBase.h"

#include "common/StringUtil.h"
#include "graphics/DDInterface.h"
#include "platform/clock/Clock.h"
#include "platform/debug/DebugOutput.h"
#include "platform/threads/Threads.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace Velk {

namespace {

constexpr DWORD kCursorPollMs = 10;
constexpr std::chrono::milliseconds kLoaderPoll{1};
constexpr int32_t kCursorSlackMs = 5;

}  // namespace

void VelkAppBase::StartCursorThread() {
  if (mCursorThreadRunning) return;
  mCursorThreadRunning = true;
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  if (_beginthread(CursorThreadProc, 0, this) == static_cast<uintptr_t>(-1)) mCursorThreadRunning = false;
}

void VelkAppBase::StartLoadingThread() {
  if (mLoadingThreadStarted) return;
  mLoadingRaised = true;
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  mLoadingThreadStarted = true;
  if (_beginthread(LoadingThreadProc, 0, this) == static_cast<uintptr_t>(-1)) {
    // Nothing will load in the background; the first update hands over at once.
    mLoadingThreadCompleted = true;
  }
}

// Waited out in real time: on a test's manual clock Sleep only moves the clock on, so a poll with
// it would run the clock ahead for as long as the loader works, and by a different amount each run.
void VelkAppBase::WaitForLoader() {
  while (mLoadingThreadStarted && !mLoadingThreadCompleted) std::this_thread::sleep_for(kLoaderPoll);
}

double VelkAppBase::GetLoadingProgress() {
  if (mLoadingFinishHandled) return 1.0;
  if (!mLoadingThreadStarted || mNumLoadingThreadTasks == 0) return 0.0;
  return std::min(static_cast<double>(mCompletedLoadingThreadTasks) / mNumLoadingThreadTasks, 1.0);
}

void VelkAppBase::LoadingThreadProc(void* arg) {
  auto* app = static_cast<VelkAppBase*>(arg);
  app->LoadResourcesInBackground();
  OutputDebugStringA(
      FormatString("Resource Loading Time: %d\r\n", static_cast<int>(TickDiff(GetTickCount(), app->mLoadingStartTick)))
          .c_str());
  app->mLoadingThreadCompleted = true;
}

void VelkAppBase::CursorThreadProc(void* arg) { static_cast<VelkAppBase*>(arg)->CursorThreadLoop(); }

void VelkAppBase::CursorThreadLoop() {
  CoInitialize(nullptr);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
  POINT last{0, 0};
  while (!mShutdown) {
    POINT pos{0, 0};
    GetCursorPos(&pos);
    ScreenToClient(mHWnd, &pos);
    DDInterface* display = mDDInterface;
    // The software cursor stands where the mouse maps to, through the same presentation rectangle.
    if (display) pos = display->ToDrawBuffer(pos.x, pos.y);
    if (display && mDrawCount > 0) {
      std::lock_guard guard(display->mCritSect);
      last = POINT{display->mCursorDrawnX, display->mCursorDrawnY};
    }
    if (display && (pos.x != last.x || pos.y != last.y)) {
      auto sincePresent = static_cast<DWORD>(timeGetTime() - mNextDrawTick);
      if (sincePresent > static_cast<DWORD>(display->mMillisecondsPerFrame + kCursorSlackMs)) {
        display->MoveCursor(pos.x, pos.y);
        last = pos;
      } else {
        std::lock_guard guard(display->mCritSect);
        display->mCursorX = pos.x;
        display->mCursorY = pos.y;
      }
    }
    Sleep(kCursorPollMs);
  }
  CoUninitialize();
  mCursorThreadRunning = false;
}

}  // namespace Velk
