// The main window and the display in it: creation and placement, switching between a window and
// the full screen and between the 3-D and the plain path, recovering a lost display, and the
// mouse cursor.

#include "app/VelkAppBase.h"

#include "app/DemoCapabilityTest.h"
#include "app/HandCursors.h"
#include "app/WindowPlacement.h"
#include "common/StringUtil.h"
#include "graphics/DDImage.h"
#include "graphics/D3DInterface.h"
#include "graphics/D3DTester.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayRenderer.h"
#include "platform/clock/Clock.h"
#include "platform/cursor/Cursor.h"
#include "platform/metrics/SystemMetrics.h"
#include "sound/SoundManager.h"
#include "widgets/WidgetManager.h"

namespace Velk {

namespace {

constexpr UINT_PTR kFrameTimerId = 100;
constexpr DWORD kWindowedStyle = WS_POPUP | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int32_t kRecoveryGapMs = 1001;
constexpr int kNoCursor = 11;
constexpr int kAlwaysImageCursor = 12;

LPCWSTR SystemCursorFor(int number) {
  switch (number) {
    case 3:
      return IDC_IBEAM;
    case 4:
      return IDC_NO;
    case 5:
      return IDC_SIZEALL;
    case 6:
      return IDC_SIZENESW;
    case 7:
      return IDC_SIZENS;
    case 8:
      return IDC_SIZENWSE;
    case 9:
      return IDC_SIZEWE;
    case 10:
      return IDC_WAIT;
    default:
      return IDC_ARROW;
  }
}

}  // namespace

void VelkAppBase::SetCursorKind(int kind) {
  mCursorNum = kind;
  ApplyCursor();
}

void VelkAppBase::SetCustomCursorsEnabled(bool enabled) {
  mCustomCursorsEnabled = enabled;
  ApplyCursor();
}

void VelkAppBase::SetCursorImage(int number, Image* image) {
  if (number < 0 || number >= kNumCursors) return;
  mCursorImages[number] = image;
  ApplyCursor();
}

void VelkAppBase::ApplyCursor() {
  if (!mDDInterface) return;
  if (!mCrashed && mMouseIn) {
    Image* image = mCursorImages[mCursorNum >= 0 && mCursorNum < kNumCursors ? mCursorNum : 0];
    if (image && (mCustomCursorsEnabled || mCursorNum == kAlwaysImageCursor)) {
      if (mDDInterface->SetCursorImage(image)) mCursorChanged = true;
      SetCursor(nullptr);
      mSysCursor = false;
      return;
    }
  }
  HCURSOR cursor = nullptr;
  int number = (mCrashed || !mMouseIn) ? 0 : mCursorNum;
  if (number == 1)
    cursor = mHandCursor;
  else if (number == 2)
    cursor = mDraggingCursor;
  else if (number != kNoCursor && number != kAlwaysImageCursor)
    cursor = LoadCursorW(nullptr, SystemCursorFor(number));
  SetCursor(cursor);
  if (mDDInterface->SetCursorImage(nullptr)) mCursorChanged = true;
  mSysCursor = true;
}

void VelkAppBase::CreateCustomCursors() {
  mHandCursor = CreatePointingHandCursor();
  mDraggingCursor = CreateOpenHandCursor();
}

std::unique_ptr<DisplayRenderer> VelkAppBase::MakeRenderer() {
  auto renderer = std::make_unique<D3DInterface>();
  renderer->mIsMinimized = [this] { return mMinimized; };
  renderer->mWriteRegistryString = [this](const std::string& name, const std::string& text) {
    WriteRegistryString(name, text);
  };
  return renderer;
}

bool VelkAppBase::IsRendererUsable() {
  if (!mDDInterface || !mDDInterface->mRenderer) return false;
  return !mDDInterface->mTester || mDDInterface->mTester->GetFailureReason().empty();
}

bool VelkAppBase::IsRendererRecommended() {
  return IsRendererUsable() && (!mDDInterface->mTester || mDDInterface->mTester->GetWarning().empty());
}

HWND VelkAppBase::CreateWindowForMode() {
  if (!mIsWindowed) {
    mIsPhysWindowed = false;
    return CreateWindowExW(WS_EX_TOPMOST, L"MainWindow", mTitle.c_str(), WS_POPUP | WS_VISIBLE, 0, 0, mWidth, mHeight,
                           nullptr, nullptr, nullptr, nullptr);
  }
  DWORD style = kWindowedStyle | (mAllowMaximize ? WS_MAXIMIZEBOX : 0);
  const RECT client{0, 0, mWidth, mHeight};
  RECT outer = client;
  AdjustWindowRect(&outer, style, FALSE);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  POINT at = PlaceWindow(work, client, outer, mPreferredX, mPreferredY);
  mIsPhysWindowed = true;
  return CreateWindowExW(0, L"MainWindow", mTitle.c_str(), style, at.x, at.y, outer.right - outer.left,
                         outer.bottom - outer.top, nullptr, nullptr, nullptr, nullptr);
}

void VelkAppBase::CreateMainWindow() {
  if (HWND old = mHWnd) {
    SetWindowLongPtrW(old, GWLP_USERDATA, 0);
    DestroyWindow(old);
    mWidgetManager->mImage = nullptr;
  }
  mHWnd = CreateWindowForMode();
  SetWindowLongPtrW(mHWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

  if (!mDDInterface) {
    mDDInterface = new DDInterface(this, MakeRenderer());
    mDDInterface->mTesterFactory = [this] {
      return std::make_unique<DemoCapabilityTest>(std::make_unique<D3DTester>(), mDemo);
    };
    bool stored3D = false;
    if (ReadRegistryBoolean("Is3D", stored3D)) {
      if (m3DAllowed && stored3D) m3DTestRequested = true;
      mDDInterface->mIs3D = stored3D;
    }
  }

  int result = InitDisplay();
  if (D3DInterface::sRenderTargetFailed) EraseRegistryValue(L"Is3D");
  if (mIsWindowed && result == DDInterface::RESULT_INVALID_COLORDEPTH) {
    if (mFellBackToWindowed) {
      ShowFatalErrorW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
      ExitApplication(1);
    }
    mForceFullscreen = true;
    SwitchScreenMode(false);
    return;
  }
  if (!mIsWindowed && (result == DDInterface::RESULT_EXCLUSIVE_FAIL || result == DDInterface::RESULT_DISPCHANGE_FAIL)) {
    mFellBackToWindowed = true;
    SwitchScreenMode(true);
  } else if (result == DDInterface::RESULT_3D_FAIL || (result != DDInterface::RESULT_OK && Is3DModeOn())) {
    Set3DMode(false, true);
    return;
  } else if (result != DDInterface::RESULT_OK) {
    ReportDisplayFailure(result);
  }
  OnDisplayReady();
}

void VelkAppBase::ReportDisplayFailure(int result) {
  ShowFatalErrorW(GetString("FAILED_INIT_DIRECTDRAW", L"Failed to initialize DirectDraw: ") +
                  Widen(DDInterface::ResultName(result)) + L" " + Widen(mDDInterface->mErrorString));
  ExitApplication(1);
}

void VelkAppBase::OnDisplayReady() {
  bool wasActive = mActive;
  mActive = GetActiveWindow() == mHWnd;
  if (mMinimized) {
    if (mMuteOnLostFocus) Unmute(true);
    mMinimized = false;
    UpdateFocus();
  }
  if (wasActive != mActive) UpdateFocus();
  UseNewScreenImage();
  SetTimer(mHWnd, kFrameTimerId, mFrameTime, nullptr);
}

void VelkAppBase::UseNewScreenImage() {
  RestoreMemoryImages();
  mWidgetManager->mImage = mDDInterface->GetScreenImage();
  mWidgetManager->InvalidateAll();
}

int VelkAppBase::InitDisplay() {
  OnBeforeDisplayInit();
  FreeImageDisplayData();
  int result = mDDInterface->Init(mHWnd, mIsPhysWindowed);
  mRefreshRate = mDDInterface->mRefreshRate;
  mDemo.RecordDisplaySettings(mIsWindowed, static_cast<uint8_t>(mRefreshRate));
  if (result == DDInterface::RESULT_OK) {
    int width = mDDInterface->mWidth;
    int height = mDDInterface->mHeight;
    mScreenBounds = Rect((mWidth - width) / 2, (mHeight - height) / 2, width, height);
    mWidgetManager->SetMouseRects(mScreenBounds, mDDInterface->mPresentationRect);
    OnAfterDisplayInit();
  }
  return result;
}

void VelkAppBase::SwitchScreenMode(bool windowed, bool want3D, bool force) {
  if (mForceFullscreen) windowed = false;
  if (!mHWnd) {
    // Asked before start-up made the window: the wish is kept for it.
    mIsWindowed = windowed;
    return;
  }
  if (windowed == mIsWindowed && !force) {
    Set3DMode(want3D, true);
    return;
  }
  Set3DMode(want3D, false);
  mIsWindowed = windowed;
  CreateMainWindow();
  if (mIsOpeningURL) {
    ShowWindow(mHWnd, SW_SHOWNOACTIVATE);
  } else {
    ShowWindow(mHWnd, SW_SHOWNORMAL);
    SetForegroundWindow(mHWnd);
  }
  if (mSoundManager) mSoundManager->SetCooperativeLevel(mHWnd, mIsWindowed);
}

void VelkAppBase::SwitchScreenMode(bool windowed) { SwitchScreenMode(windowed, Is3DModeOn(), false); }

void VelkAppBase::ReinitScreenMode() { SwitchScreenMode(mIsWindowed, Is3DModeOn(), true); }

void VelkAppBase::Set3DMode(bool want3D, bool reinit) {
  if (!mDDInterface || mDDInterface->mIs3D == want3D) return;
  m3DModeSwitched = true;
  mDDInterface->mIs3D = want3D;
  if (!reinit) return;
  int result = InitDisplay();
  if (result != DDInterface::RESULT_OK) {
    if (want3D) {
      Set3DMode(false, reinit);
      return;
    }
    ReportDisplayFailure(result);
  }
  UseNewScreenImage();
}

void VelkAppBase::SetVideoMemoryDraw(bool on) {
  if (on == mVideoMemoryDraw) return;
  mVideoMemoryDraw = on;
  if (!mDDInterface) return;
  mDDInterface->SetVideoMemoryDraw(on);
  mWidgetManager->mImage = mDDInterface->GetScreenImage();
  mWidgetManager->InvalidateAll();
}

void VelkAppBase::PresentFrame(const Rect* area) {
  if (mDrawing || mShutdown || mIdlePaused || !mDDInterface) return;
  if (mDDInterface->Present(area)) {
    if (mDisplayLost) {
      mDisplayLost = false;
      mLastRecoveryTick = 0;
    }
    return;
  }
  D3DInterface::sRenderTargetFailed = false;
  mDisplayLost = true;
  RecoverDisplay();
}

// A window manager gave the window another client size: the display starts again in it, with a
// new presentation rectangle and mouse mapping.
void VelkAppBase::FollowClientSize() {
  RECT client{};
  if (mShutdown || !mDDInterface || !mDDInterface->mInitialized || !mIsPhysWindowed) return;
  if (!GetClientRect(mHWnd, &client)) return;
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  if (width == mDDInterface->mDisplayWidth && height == mDDInterface->mDisplayHeight) return;
  // A failure leaves the display lost, and the next present tries again.
  if (InitDisplay() == DDInterface::RESULT_OK) UseNewScreenImage();
}

void VelkAppBase::RecoverDisplay() {
  WINDOWPLACEMENT placement;
  GetWindowPlacement(mHWnd, &placement);
  DWORD now = GetTickCount();
  if (!mActive && (TickDiff(now, mLastRecoveryTick) < kRecoveryGapMs || !mIsPhysWindowed)) return;
  if (placement.showCmd == SW_SHOWMINIMIZED || mMinimized) return;
  mLastRecoveryTick = now;
  mWidgetManager->mImage = nullptr;

  if (mIsWindowed && (mWidth >= GetSystemMetrics(SM_CXFULLSCREEN) || mHeight >= GetSystemMetrics(SM_CYFULLSCREEN))) {
    if (!mFellBackToWindowed) {
      mForceFullscreen = true;
      SwitchScreenMode(false);
    } else {
      ShowFatalErrorW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
      Shutdown();
    }
    return;
  }
  int result = InitDisplay();
  if (mIsWindowed && result == DDInterface::RESULT_INVALID_COLORDEPTH) {
    if (mActive) {
      SwitchScreenMode(false);
      mForceFullscreen = true;
    }
  } else if (result == DDInterface::RESULT_3D_FAIL) {
    Set3DMode(false, true);
  } else if (result == DDInterface::RESULT_OK) {
    UseNewScreenImage();
  }
}

}  // namespace Velk
