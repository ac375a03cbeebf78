// Demo recording and playback, and the command-line switches that turn them on.

#include "app/VelkAppBase.h"

#include "app/CrashCatcher.h"
#include "app/NumberedFiles.h"
#include "common/DataFolder.h"
#include "common/MersenneTwister.h"
#include "common/StringUtil.h"
#include "platform/clock/Clock.h"
#include "resources/PakInterface.h"
#include "widgets/WidgetManager.h"

#include <cstdlib>

namespace Velk {

namespace {

constexpr int kDefaultKeepCount = 5;

// Input the demo carries; while playing, the live messages of these kinds are not delivered.
bool IsRecordedInput(UINT message) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_ACTIVATEAPP:
    case WM_SIZE:
      return true;
    default:
      return message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP;
  }
}

// The button code and whether it goes down, for the button messages.
bool ButtonOf(UINT message, int& button, bool& down) {
  switch (message) {
    case WM_LBUTTONDOWN:
      button = 1, down = true;
      return true;
    case WM_LBUTTONUP:
      button = 1, down = false;
      return true;
    case WM_LBUTTONDBLCLK:
      button = 2, down = true;
      return true;
    case WM_RBUTTONDOWN:
      button = -1, down = true;
      return true;
    case WM_RBUTTONUP:
      button = -1, down = false;
      return true;
    case WM_RBUTTONDBLCLK:
      button = -2, down = true;
      return true;
    case WM_MBUTTONDOWN:
      button = 3, down = true;
      return true;
    case WM_MBUTTONUP:
      button = 3, down = false;
      return true;
    default:
      return false;
  }
}

// A drive letter, a network path or a path from the root is kept; anything else is in the data folder.
std::string AbsoluteDemoPath(const std::string& path) {
  if ((path.size() > 1 && path[1] == ':') || (path.size() > 2 && path[2] == '\\') || (!path.empty() && path[0] == '/'))
    return path;
  return GetDataFolder() + path;
}

}  // namespace

void VelkAppBase::HandleSwitch(const std::string& name, const std::string& value) {
  if (name == "-play") {
    mDemo.mPlaying = true;
    mDemo.mRecording = false;
  } else if (name == "-record") {
    mDemo.mRecording = true;
    mDemo.mPlaying = false;
  } else if (name == "-recnum") {
    int keep = std::atoi(value.c_str());
    if (keep <= 0) keep = kDefaultKeepCount;
    // Counted, pruned and written in the one folder the recordings go to.
    const std::string base = AbsoluteDemoPath(mDemoBaseName);
    mDemoFilePath = base + std::to_string(GetLastDemoNumber(base, keep, true) + 1) + ".dmo";
    mDemo.mRecording = true;
    mDemo.mPlaying = false;
  } else if (name == "-playnum") {
    int back = std::max(std::atoi(value.c_str()) - 1, 0);
    const std::string base = AbsoluteDemoPath(mDemoBaseName);
    mDemoFilePath = base + std::to_string(GetLastDemoNumber(base, back, false) - back) + ".dmo";
    mDemo.mPlaying = true;
    mDemo.mRecording = false;
  } else if (name == "-demofile") {
    mDemoFilePath = AbsoluteDemoPath(value);
  } else if (name == "-crash") {
    CrashCatcher::CrashNow();
  } else if (name == "-screensaver") {
    mIsScreenSaver = true;
  } else if (name == "-changedir") {
    mChangeDir = value;
  } else {
    ShowFatalErrorW(GetString("INVALID_COMMANDLINE_PARAM", L"Invalid command line parameter: ") + Widen(name));
    ExitApplication(0);
  }
}

bool VelkAppBase::LoadDemoFile(std::string& error) {
  if (!mDemoInfo.Load(mDemoFilePath, mProductVersion, mDemo.mBuffer, error)) return false;
  mStartSeed = mDemoInfo.mSeed;
  SeedRandom(mStartSeed);
  mDemo.StartPlayback();
  return true;
}

void VelkAppBase::SaveDemoFile() {
  if (!mDemo.mRecording) return;
  mDemoInfo.mSeed = mStartSeed;
  mDemoInfo.mProductVersion = mProductVersion;
  mDemoInfo.mDemoLength = mUpdateCount;
  mDemoInfo.Save(mDemoFilePath, mDemo.mBuffer);
}

void VelkAppBase::StartDemoPlayback() {
  if (!mDemo.mPlaying) return;
  uint8_t refresh = 0;
  mDemo.ReadDisplaySettings(mIsWindowed, refresh);
  mRefreshRate = refresh;
}

bool VelkAppBase::DemoFiltersInput(const DeferredInput& input) {
  if (mDemo.mPlaying) return !mDemoDialogOpen && IsRecordedInput(input.message);
  if (!mDemo.mRecording || mShutdown) return false;
  if (input.message >= WM_MOUSEMOVE && input.message <= WM_MBUTTONUP) {
    int x = DemoStream::ClampCoord(GET_X_LPARAM(input.lParam));
    int y = DemoStream::ClampCoord(GET_Y_LPARAM(input.lParam));
    mDemo.RecordMousePosition(x, y);
    int button = 0;
    bool down = false;
    if (ButtonOf(input.message, button, down)) mDemo.RecordMouseButton(button, down);
    return false;
  }
  switch (input.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      mDemo.RecordBits(kDemoKeyDown, static_cast<uint32_t>(input.wParam), 8);
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      mDemo.RecordBits(kDemoKeyUp, static_cast<uint32_t>(input.wParam), 8);
      break;
    case WM_CHAR:
      mDemo.RecordChar(static_cast<uint16_t>(input.wParam));
      break;
    case WM_MOUSEWHEEL:
      mDemo.RecordBits(
          kDemoWheel,
          static_cast<uint32_t>(static_cast<int16_t>(HIWORD(static_cast<uint32_t>(input.wParam))) / WHEEL_DELTA), 8);
      break;
    case WM_SIZE:
      mDemo.RecordMinimised(input.wParam == SIZE_MINIMIZED);
      break;
    case WM_ACTIVATEAPP:
      if (input.hwnd == mHWnd) mDemo.RecordBits(kDemoActivate, input.wParam != 0 ? 1 : 0, 1);
      break;
    case WM_CLOSE:
      if (input.hwnd == mHWnd || input.hwnd == mInvisHWnd) mDemo.RecordEvent(kDemoClose);
      break;
    default:
      break;
  }
  return false;
}

void VelkAppBase::ProcessDemoEvents() {
  DemoEvent event;
  while (mDemo.mPlaying && !mShutdown && mDemo.NextInputEvent(event)) PlayDemoEvent(event);
}

void VelkAppBase::PlayDemoEvent(const DemoEvent& event) {
  if (event.mouse && event.command == kDemoMouseButton) {
    if (event.flag)
      mWidgetManager->DispatchMouseDown(event.x, event.y, event.button);
    else
      mWidgetManager->DispatchMouseUp(event.x, event.y, event.button);
    return;
  }
  switch (event.mouse ? -1 : event.command) {
    case -1:
    case kDemoMouseMove:
      mWidgetManager->DispatchMouseMove(event.x, event.y);
      break;
    case kDemoActivate:
      mActive = event.flag;
      UpdateFocus();
      if (mActive && !mIsWindowed) mWidgetManager->InvalidateAll();
      if (mIsOpeningURL && !mActive) OnUrlOpened(mOpeningURL);
      break;
    case kDemoMinimised:
      if (!mShutdown && event.flag != mMinimized) {
        mMinimized = event.flag;
        if (mMinimized)
          Mute(true);
        else {
          Unmute(true);
          mWidgetManager->InvalidateAll();
        }
      }
      UpdateFocus();
      break;
    case kDemoKeyDown:
      mWidgetManager->DispatchKeyDown(event.value);
      break;
    case kDemoKeyUp:
      mWidgetManager->DispatchKeyUp(event.value);
      break;
    case kDemoChar:
      mWidgetManager->DispatchKeyChar(static_cast<wchar_t>(event.value));
      break;
    case kDemoClose:
      Shutdown();
      break;
    case kDemoMouseEnter:
      mMouseIn = true;
      ApplyCursor();
      break;
    case kDemoMouseLeave:
      mWidgetManager->DispatchMouseExit(event.x, event.y);
      mMouseIn = false;
      ApplyCursor();
      break;
    case kDemoLoadingFinished:
      mLoadingFinishedSeen = true;
      break;
    case kDemoWheel:
      mWidgetManager->DispatchMouseWheel(event.value);
      break;
    case kDemoDisplaySettings:
      mIsWindowed = event.flag;
      mRefreshRate = event.value;
      break;
    default:
      break;
  }
}

bool VelkAppBase::DemoAllowsUpdate() {
  if (!mDemo.mPlaying) return true;
  // Events due at this update are still to come, or the recording has ended.
  if (mUpdateCount == mDemo.LastEventUpdate()) return false;
  return mLoadingThreadCompleted == mLoadingFinishedSeen;
}

bool VelkAppBase::ReadFileWithDemo(const std::string& path, Buffer& data, bool bypass) {
  if (mDemo.mPlaying && !bypass) return mDemo.PlayFileRead(data);
  bool record = mDemo.mRecording && !bypass;
  PakFile* file = PakFileOpen(path.c_str(), "rb");
  if (!file) {
    if (record) mDemo.RecordFileRead(false, data);
    return false;
  }
  PakFileSeek(file, 0, SEEK_END);
  LONG size = PakFileTell(file);
  PakFileSeek(file, 0, SEEK_SET);
  std::vector<uint8_t> bytes(size > 0 ? static_cast<size_t>(size) : 0);
  size_t got = bytes.empty() ? 0 : PakFileRead(bytes.data(), 1, bytes.size(), file);
  PakFileClose(file);
  data.Clear();
  data.WriteBytes(bytes.data(), static_cast<int>(got));
  if (record) mDemo.RecordFileRead(true, data);
  return true;
}

}  // namespace Velk

namespace Velk {

bool VelkAppBase::HandleDemoPlaybackKey(UINT message, WPARAM key) {
  if (!mDemo.mPlaying || mDemoDialogOpen) return false;
  if (message == WM_KEYDOWN) {
    DebugKey(static_cast<int>(key));
    return false;
  }
  if (message != WM_CHAR) return false;
  switch (mDemoControls.HandleKey(static_cast<wchar_t>(key), mSpeed, mUpdateCount, mDemoInfo.mDemoLength, mFrameTime)) {
    case DemoControls::kPauseToggled:
      ResetTiming(true);
      break;
    case DemoControls::kJumpToTimeDialog:
      ShowJumpToTimeDialog();
      break;
    case DemoControls::kMarkerListDialog:
      ShowMarkerListDialog();
      break;
    case DemoControls::kToggleSound:
      if (GetMusicVolume() != 0.0) {
        mSavedMusicVolume = GetMusicVolume();
        mSavedSfxVolume = GetSfxVolume();
        SetMusicVolume(0.0);
        SetSfxVolume(0.0);
      } else {
        SetMusicVolume(mSavedMusicVolume);
        SetSfxVolume(mSavedSfxVolume);
      }
      break;
    default:
      break;
  }
  return false;
}

bool VelkAppBase::RunDemoFastForward() {
  if (!mDemo.mPlaying) return false;
  if (mDemoControls.mPaused) {
    Sleep(mFrameTime);
    return true;
  }
  if (!mDemoControls.WantsFastForward(mUpdateCount)) return false;
  bool stepping = mDemoControls.mSingleStep;
  if (!stepping) Mute(true);
  DWORD start = GetTickCount();
  while (mDemoControls.WantsFastForward(mUpdateCount) && !mShutdown) {
    DWORD before = mUpdateCount;
    ProcessDemoEvents();
    UpdateOnce();
    mDemoControls.NoteProgress(mUpdateCount != before, mUpdateCount);
    if (GetTickCount() - start >= 1000) break;  // a frame now and then, and the pump stays alive
  }
  if (!stepping) Unmute(true);
  if (!mDemoControls.WantsFastForward(mUpdateCount)) mDemoControls.mSingleStep = false;
  DrawFrame();
  ResetTiming(true);
  return true;
}

}  // namespace Velk
