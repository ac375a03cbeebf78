// The window procedure of both windows, and the replay of the input it queued into the
// application and the widget manager.

#include "app/VelkAppBase.h"

#include "common/DebugPrint.h"
#include "graphics/DDInterface.h"
#include "platform/clock/Clock.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/winmm/PlaySound.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Velk {

namespace {

constexpr UINT kDebugChordKey = 'D';
constexpr int32_t kResumeGapMs = 500;
constexpr int32_t kUrlSettleMs = 5000;
constexpr int32_t kUrlOpenedMs = 8000;
constexpr int32_t kUrlFailedMs = 12000;
constexpr int32_t kIdleReadMs = 10000;
constexpr int32_t kMonitorPowerSettleMs = 1000;

bool IsQueuedMessage(UINT message) {
  switch (message) {
    case WM_MOVE:
    case WM_SIZE:
    case WM_CLOSE:
    case WM_ACTIVATEAPP:
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_TIMER:
    case WM_MOUSEWHEEL:
      return true;
    default:
      return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
  }
}

int LowWordSigned(LPARAM value) { return static_cast<int16_t>(static_cast<uint32_t>(value) & 0xFFFF); }
int HighWordSigned(uint32_t value) { return static_cast<int16_t>(value >> 16); }

// Bits of the widget manager's down mask.
constexpr int kLeftDown = 1;
constexpr int kRightDown = 2;
constexpr int kMiddleDown = 4;

bool IdleInWindowedMode(VelkAppBase* app) { return !app->mIsScreenSaver && app->mIsWindowed; }

bool AfterMonitorPower(VelkAppBase* app) {
  return app->mMonitorPowerSeen && TickDiff(GetTickCount(), app->mLastMonitorPowerTick) < kMonitorPowerSettleMs;
}

}  // namespace

LRESULT VelkAppBase::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* app = reinterpret_cast<VelkAppBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!app) return DefWindowProcW(hwnd, message, wParam, lParam);
  return app->HandleWindowMessage(hwnd, message, wParam, lParam);
}

LRESULT VelkAppBase::HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (mIsScreenSaver) {
    if (auto result = mScreenSaverFilter.Filter(hwnd, message, wParam, lParam, mHWnd, AfterMonitorPower(this))) {
      return *result;
    }
  }
  switch (message) {
    case WM_DESTROY:
      DebugPrint(L"DESTROYED HWND: %d\r\n", static_cast<int>(reinterpret_cast<uintptr_t>(hwnd)));
      break;
    case WM_ENABLE:
      mIsDisabled = wParam == 0;
      break;
    case WM_PAINT:
      if (!mInitialized || mCrashed) break;
      if (mRunning) PresentFrame(nullptr);
      return 0;
    case WM_QUERYOPEN:
      if (!MayRestoreWindow()) return 0;
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_ENDSESSION: {
      // Sent from inside the display call that found the session gone, on whatever thread made it
      // and under whatever locks it holds (a frame's), and the process ends right after: only what
      // the program keeps is written, once for both windows. The display, its mode and the window
      // went with the session.
      const HWND main = mHWnd;
      if (wParam && mRegistryRead && hwnd == (main ? main : mInvisHWnd)) WriteRegistrySettings();
      break;
    }
    case WM_SETCURSOR:
      if (!mCrashed) ApplyCursor();
      return 1;
    case WM_NCLBUTTONDOWN: {
      LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
      // Moving the window is not caught up afterwards.
      ResetTiming(false);
      return result;
    }
    case WM_SYSCHAR:
      if (SwallowsSysChar(wParam)) return 0;
      break;
    case WM_SYSCOMMAND:
      if (wParam == SC_MONITORPOWER) {
        mLastMonitorPowerTick = GetTickCount();
        mMonitorPowerSeen = true;
        if (!mAllowMonitorPowersave || !mLoadingFinishHandled) return 0;
      } else if (wParam == SC_SCREENSAVE) {
        if (!mLoadingFinishHandled || !mIsPhysWindowed) return 0;
      }
      break;
    case WM_ACTIVATEAPP:
      if (hwnd == mHWnd) mActive = wParam != 0;
      break;
    default:
      break;
  }

  if (IsQueuedMessage(message)) {
    LRESULT result = 0;
    if (QueueInput(hwnd, message, wParam, lParam, result)) return result;
  }

  if (message == mNotifyMessage && mNotifyMessage != 0 && hwnd == mHWnd) {
    BringToFront(wParam, lParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool VelkAppBase::QueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  // A popup is up: its input is not the game's.
  if (mFlippedToGdi) return false;
  if (HandleDemoPlaybackKey(message, wParam)) return false;
  bool keyDown = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  bool keyUp = message == WM_KEYUP || message == WM_SYSKEYUP;
  if (keyDown || keyUp) {
    if (wParam == VK_CONTROL) mCtrlDown = keyDown;
    if (wParam == VK_MENU) mAltDown = keyDown;
    if (keyDown && PreviewKeyDown(static_cast<int>(wParam), mCtrlDown, mAltDown)) {
      result = 0;
      return true;
    }
  }
  bool queued = mDeferredInput.Add({hwnd, message, wParam, lParam});
  if (message == WM_SYSKEYDOWN && wParam != VK_F4) {
    // Alt and F10 open no system menu; Alt+F4 goes on to close the window.
    result = 0;
    return true;
  }
  if (message == WM_CLOSE) {
    OnCloseRequest();
    result = 0;
    return true;
  }
  (void)queued;
  return false;
}

bool VelkAppBase::ProcessDeferredInput(bool oneOnly) {
  while (!mDeferredInput.Empty()) {
    DeliverInput(mDeferredInput.TakeFront());
    if (oneOnly) break;
  }
  return !mDeferredInput.Empty();
}

void VelkAppBase::ClearKeyTable() {
  for (bool& down : mWidgetManager->mKeyDown) down = false;
  mCtrlDown = false;
  mAltDown = false;
}

void VelkAppBase::DeliverKeyDown(UINT message, WPARAM key) {
  NoteUserInput();
  if (key == VK_RETURN && message == WM_SYSKEYDOWN && !mForceFullscreen && !mFellBackToWindowed) {
    SwitchScreenMode(!mIsWindowed);
    ClearKeyTable();
    return;
  }
  if (key == kDebugChordKey && mWidgetManager->mKeyDown[VK_CONTROL] && mWidgetManager->mKeyDown[VK_MENU]) {
    PlaySoundA("c:\\windows\\media\\Windows XP Menu Command.wav", nullptr, SND_ASYNC);
    mDebugKeysEnabled = !mDebugKeysEnabled;
  }
  if (mDebugKeysEnabled && DebugKey(static_cast<int>(key))) return;
  mWidgetManager->DispatchKeyDown(static_cast<int>(key));
}

void VelkAppBase::DeliverMouse(const DeferredInput& input) {
  int x = LowWordSigned(input.lParam);
  int y = HighWordSigned(static_cast<uint32_t>(input.lParam));
  mWidgetManager->RemapMouse(x, y);
  NoteUserInput();
  mWidgetManager->DispatchMouseMove(x, y);
  if (!mMouseIn) {
    mDemo.RecordEvent(kDemoMouseEnter);
    mMouseIn = true;
    ApplyCursor();
  }
  auto press = [&](int code) {
    SetCapture(input.hwnd);
    mWidgetManager->DispatchMouseDown(x, y, code);
  };
  auto release = [&](int button, int code) {
    if ((mWidgetManager->mActualDownButtons & ~button) == 0) ReleaseCapture();
    mWidgetManager->DispatchMouseUp(x, y, code);
  };
  switch (input.message) {
    case WM_LBUTTONDOWN:
      press(1);
      break;
    case WM_LBUTTONDBLCLK:
      press(2);
      break;
    case WM_RBUTTONDOWN:
      press(-1);
      break;
    case WM_RBUTTONDBLCLK:
      press(-2);
      break;
    case WM_MBUTTONDOWN:
      press(3);
      break;
    case WM_LBUTTONUP:
      release(kLeftDown, 1);
      break;
    case WM_RBUTTONUP:
      release(kRightDown, -1);
      break;
    case WM_MBUTTONUP:
      release(kMiddleDown, 3);
      break;
    default:
      break;
  }
}

void VelkAppBase::DeliverTimer(HWND hwnd) {
  DWORD now = GetTickCount();
  if (TickDiff(now, mLastTimerTime) > kResumeGapMs) mResumeTime = now;
  mLastTimerTime = now;
  if (mIsOpeningURL && TickDiff(now, mResumeTime) > kUrlSettleMs) {
    int32_t since = TickDiff(now, mOpeningURLTime);
    if (!mActive && since > kUrlOpenedMs)
      OnUrlOpened(mOpeningURL);
    else if (mActive && since > kUrlFailedMs)
      OnUrlOpenFailed(mOpeningURL);
  }
  CheckMouseInWindow(hwnd);
}

void VelkAppBase::CheckMouseInWindow(HWND hwnd) {
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  POINT end{mWidth, mHeight};
  if (mDDInterface) end = POINT{mDDInterface->mDisplayWidth, mDDInterface->mDisplayHeight};
  ClientToScreen(hwnd, &end);
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  bool inside = WindowFromPoint(cursor) == hwnd && cursor.x >= origin.x && cursor.y >= origin.y && cursor.x < end.x &&
                cursor.y < end.y;
  // While a demo plays, the pointer's comings and goings are the recorded ones.
  if (inside == mMouseIn || mDemo.mPlaying) return;
  mDemo.RecordEvent(inside ? kDemoMouseEnter : kDemoMouseLeave);
  if (!inside) {
    int x = cursor.x - origin.x;
    int y = cursor.y - origin.y;
    mWidgetManager->RemapMouse(x, y);
    mWidgetManager->DispatchMouseExit(x, y);
  }
  mMouseIn = inside;
  ApplyCursor();
}

void VelkAppBase::DeliverInput(const DeferredInput& input) {
  if (DemoFiltersInput(input)) return;
  switch (input.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      DeliverKeyDown(input.message, input.wParam);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      NoteUserInput();
      mWidgetManager->DispatchKeyUp(static_cast<int>(input.wParam));
      break;
    case WM_CHAR:
      NoteUserInput();
      mWidgetManager->DispatchKeyChar(static_cast<wchar_t>(input.wParam & 0xFFFF));
      break;
    case WM_MOVE:
      if (input.hwnd == mHWnd && mIsWindowed) {
        WINDOWPLACEMENT placement;
        if (GetWindowPlacement(input.hwnd, &placement) &&
            (placement.showCmd == SW_SHOWNORMAL || placement.showCmd == SW_SHOW)) {
          mPreferredX = placement.rcNormalPosition.left;
          mPreferredY = placement.rcNormalPosition.top;
        }
      }
      break;
    case WM_SIZE: {
      bool minimized = input.wParam == SIZE_MINIMIZED;
      if (input.hwnd == mHWnd && !mShutdown && minimized != mMinimized) {
        mMinimized = minimized;
        if (minimized) {
          if (mMuteOnLostFocus) Mute(true);
        } else {
          if (mMuteOnLostFocus) Unmute(true);
          mWidgetManager->InvalidateAll();
        }
      }
      UpdateFocus();
      if (input.wParam == SIZE_MAXIMIZED) SwitchScreenMode(false);
      if (input.hwnd == mHWnd && input.wParam == SIZE_RESTORED) FollowClientSize();
      break;
    }
    case WM_SYSCOLORCHANGE:
    case WM_DISPLAYCHANGE:
      mWidgetManager->VisitTree();
      mWidgetManager->InvalidateAll();
      break;
    case WM_ACTIVATEAPP:
      if (input.hwnd != mHWnd || mCrashed || mShutdown) break;
      UpdateFocus();
      if (mActive && !mIsWindowed) mWidgetManager->InvalidateAll();
      if (mIsOpeningURL && !mActive) OnUrlOpened(mOpeningURL);
      break;
    case WM_TIMER:
      if (!mCrashed && mRunning) DeliverTimer(input.hwnd);
      break;
    case WM_MOUSEWHEEL:
      mWidgetManager->DispatchMouseWheel(HighWordSigned(static_cast<uint32_t>(input.wParam)) / WHEEL_DELTA);
      break;
    case WM_CLOSE:
      if (input.hwnd == mHWnd || input.hwnd == mInvisHWnd) {
        mCloseRequested = true;
        Shutdown();
      }
      break;
    default:
      if (input.message >= WM_MOUSEMOVE && input.message <= WM_MBUTTONUP && !mCrashed) DeliverMouse(input);
      break;
  }
}

void VelkAppBase::UpdateFocus() {
  bool focused = mActive && !mMinimized;
  if (focused == mHasFocus) return;
  mHasFocus = focused;
  if (focused) {
    if (mMuteOnLostFocus) Unmute(true);
    mWidgetManager->OnAppFocusGained();
    OnFocusGained();
    return;
  }
  if (mMuteOnLostFocus) Mute(true);
  mWidgetManager->OnAppFocusLost();
  OnFocusLost();
  ReleaseCapture();
  mWidgetManager->ReleaseHeldButtons();
}

void VelkAppBase::BringToFront(WPARAM wParam, LPARAM lParam) {
  (void)lParam;
  if (wParam != 0) return;
  WINDOWPLACEMENT placement;
  if (GetWindowPlacement(mHWnd, &placement) && placement.showCmd == SW_SHOWMINIMIZED) ShowWindow(mHWnd, SW_RESTORE);
  SetForegroundWindow(mHWnd);
}

bool VelkAppBase::SwallowsSysChar(WPARAM key) {
  WPARAM lower = (key >= 'A' && key <= 'Z') ? key + ('a' - 'A') : key;
  return lower == '\r' || lower == 'r';
}

// Input to other programs counts too: the desktop's screen saver waits for any input at all.
void VelkAppBase::TakeDesktopLastInput(DWORD now) {
  if (!mGetLastInputInfoFunc) return;
  LASTINPUTINFO info;
  if (!reinterpret_cast<BOOL (*)(LASTINPUTINFO*)>(mGetLastInputInfoFunc)(&info)) return;
  mLastUserInputTick = TickDiff(info.dwTime, now) > 0 ? now : info.dwTime;
}

// Input to the window ends a pause at once rather than at the next look at the desktop.
void VelkAppBase::NoteUserInput() {
  mLastUserInputTick = mLastTimerTime;
  if (mIdlePaused) EndIdlePause();
}

void VelkAppBase::EndIdlePause() {
  mWidgetManager->InvalidateAll();
  mIdlePaused = false;
}

void VelkAppBase::CheckIdlePause(DWORD now) {
  if (!IdleInWindowedMode(this)) return;
  if (!mIdleSettingsRead || TickDiff(now, mLastIdleSettingsRead) >= kIdleReadMs) {
    mIdleSettingsRead = true;
    mLastIdleSettingsRead = now;
    UINT timeout = 0;
    BOOL active = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0);
    SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    mScreenSaverActive = active != FALSE;
    mIdleThresholdMs = static_cast<int32_t>(std::max<int>(static_cast<int>(timeout) - 2, 1) * 1000);
    if (!mScreenSaverActive) mIdlePaused = false;
  }
  TakeDesktopLastInput(now);
  if (!mScreenSaverActive) return;
  int32_t idle = TickDiff(now, mLastUserInputTick);
  if (mIdlePaused) {
    BOOL running = FALSE;
    bool known = SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0) != FALSE;
    if ((!known || !running) && idle < mIdleThresholdMs) EndIdlePause();
  } else if (idle > mIdleThresholdMs) {
    mIdlePaused = true;
  }
}

}  // namespace Velk
