#pragma once
// The process shell: one object per process, reachable through gVelkApp. It owns the main and the
// invisible window, the display, the sound manager, the music interface and the widget manager;
// it starts up, runs the fixed-step main loop with its loading and cursor threads, queues window
// input and replays it into the widget tree, and keeps the user's settings in the registry.
// Its functions live in VelkAppBase*.cpp by subject; each group below names its file.

#include "app/DeferredInputQueue.h"
#include "app/DemoControls.h"
#include "app/DemoFile.h"
#include "app/DemoStream.h"
#include "app/LoopTimer.h"
#include "app/ScreenSaverFilter.h"
#include "common/CriticalSection.h"
#include "graphics/DisplayHost.h"
#include "graphics/SharedImageHandle.h"
#include "graphics/Rect.h"
#include "platform/window/WinUser.h"
#include "widgets/ButtonListener.h"
#include "resources/ResourceManagerHost.h"
#include "widgets/WidgetHost.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <list>
#include <memory>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace Velk {

class AppFontHost;
class DDImage;
class CrashHost;
class DDInterface;
class DisplayRenderer;
class Dialog;
class Graphics;
class Image;
class MemoryImage;
class MusicInterface;
class ResourceManager;
class SoundManager;
class Widget;
class WidgetManager;

class VelkAppBase : public ButtonListener, public WidgetHost, public DisplayHost, public ResourceManagerHost {
 public:
  // Identity
  std::string mProdName = "Product";
  std::string mCompanyName;
  std::string mCaptionPrefix;
  std::wstring mTitle = L"VelkApp";
  std::string mRegKey;
  std::string mProgramFolder;
  std::string mProductVersion;
  std::atomic<DWORD> mMainThreadId{0};
  DWORD mStartSeed = 0;

  // Windows objects
  std::atomic<HWND> mHWnd{nullptr};
  HWND mInvisHWnd = nullptr;
  UINT mNotifyMessage = 0;
  HANDLE mMutex = nullptr;
  HMODULE mVersionDLL = nullptr;
  HMODULE mDDrawDLL = nullptr;
  HMODULE mDSoundDLL = nullptr;
  FARPROC mGetLastInputInfoFunc = nullptr;

  // Owned objects
  WidgetManager* mWidgetManager = nullptr;
  SoundManager* mSoundManager = nullptr;
  MusicInterface* mMusicInterface = nullptr;
  DDInterface* mDDInterface = nullptr;
  ResourceManager* mResourceManager = nullptr;
  std::unique_ptr<AppFontHost> mFontHost;

  // Screen
  bool mIsWindowed = false;     // requested
  bool mIsPhysWindowed = true;  // what the last window is
  bool mForceFullscreen = false;
  bool mFellBackToWindowed = false;
  int mPreferredX = -1;
  int mPreferredY = -1;
  bool mAllowMaximize = false;
  int mRefreshRate = 100;
  bool mVSyncUpdates = false;
  bool mSoftVSyncWait = true;  // emulate the vertical-blank wait when windowed
  bool m3DModeSwitched = false;
  bool m3DAllowed = true;
  Rect mScreenBounds{0, 0, 800, 600};

  // Flags
  std::atomic<bool> mShutdown{false};
  std::atomic<bool> mShutdownRequested{false};
  bool mExitToTop = false;
  bool mInitialized = false;
  bool mRunning = false;
  std::atomic<bool> mCrashed{false};
  std::atomic<bool> mParkedAfterFault{false};  // the main thread stopped for good after a fault elsewhere
  bool mIsScreenSaver = false;
  bool mEnforceSingleInstance = true;
  bool mCmdLineParsed = false;
  bool mPlayerFilesClaimed = false;
  bool mRegistryRead = false;
  bool mIsWideWindow = false;
  bool mTabletPC = false;
  bool mMouseIn = false;
  bool mActive = true;
  bool mMinimized = false;
  bool mIsDisabled = false;
  bool mHasFocus = false;
  bool mMuteOnLostFocus = true;
  bool mAllowMonitorPowersave = true;
  bool mNoSound = false;
  bool mUseFmodMusic = false;
  bool mLoadInBackground = true;
  bool mExtendedChars = true;
  bool mCloseRequested = false;
  bool mVideoMemoryDraw = false;

  // Cursors
  static constexpr int kNumCursors = 13;
  Image* mCursorImages[kNumCursors] = {};
  int mCursorNum = 0;
  bool mCustomCursorsEnabled = false;
  HCURSOR mHandCursor = nullptr;
  HCURSOR mDraggingCursor = nullptr;
  bool mSysCursor = true;

  // URL opening
  bool mIsOpeningURL = false;
  bool mShutdownOnURLOpen = false;
  std::string mOpeningURL;
  DWORD mOpeningURLTime = 0;
  std::atomic<bool> mLoadingThreadStarted{false};
  std::atomic<bool> mLoadingThreadCompleted{false};
  std::atomic<bool> mLoadingFinishHandled{false};
  std::atomic<bool> mLoadingRaised{false};
  std::atomic<bool> mCursorThreadRunning{false};
  bool mDebugKeysEnabled = false;
  bool mCtrlDown = false;
  bool mAltDown = false;
  bool mLastShutdownWasGraceful = true;

  // Volumes
  double mMusicVolume = 0.85;
  double mSfxVolume = 0.85;
  double mSavedMusicVolume = 0.0;
  double mSavedSfxVolume = 0.0;
  int mMuteCount = 0;
  int mAutoMuteCount = 0;

  uint8_t mAdd8BitMaxTable[512];

  // Timing and statistics
  DWORD mFrameTime = 10;
  double mSpeed = 1.0;
  LoopTimer mTimer;
  double mUpdateFracAccum = 0.0;
  int mUpdateAppState = 0;
  int mUpdateAppDepth = 0;
  DWORD mUpdateCount = 0;
  std::atomic<DWORD> mDrawCount{0};
  DWORD mSleepCount = 0;
  DWORD mDrawTime = 0;
  DWORD mScreenBltTime = 0;
  bool mHasPendingDraw = false;  // an update happened since the last draw
  bool mLastDrawWasEmpty = false;
  int mNonDrawCount = 0;
  DWORD mLastDrawTick = 0;
  std::atomic<DWORD> mNextDrawTick{0};
  bool mDrawing = false;
  bool mCursorChanged = false;
  bool mIdlePaused = false;
  DWORD mLastRecoveryTick = 0;
  bool mIdleSettingsRead = false;
  DWORD mLastIdleSettingsRead = 0;
  bool mScreenSaverActive = false;
  int32_t mIdleThresholdMs = 0;
  DWORD mLastMonitorPowerTick = 0;
  bool mMonitorPowerSeen = false;
  ScreenSaverFilter mScreenSaverFilter;
  bool mDisplayLost = false;
  DWORD mLastIdleCheck = 0;
  DWORD mLoadingStartTick = 0;
  DWORD mLastTimerTime = 0;
  DWORD mResumeTime = 0;
  DWORD mLastUserInputTick = 0;
  int mNumLoadingThreadTasks = 0;
  int mCompletedLoadingThreadTasks = 0;

  // Collections
  std::map<std::string, std::wstring> mStringProperties;
  std::map<int, Dialog*> mDialogMap;
  std::list<Dialog*> mDialogList;
  std::set<MemoryImage*> mMemoryImageSet;
  CriticalSection mImageCritSect;
  struct SharedImageEntry {
    SharedImage mShared;
    bool mLoading = false;  // the first requester is still loading it
  };
  using SharedImageKey = std::pair<std::string, std::string>;
  std::map<SharedImageKey, SharedImageEntry> mSharedImageMap;
  std::mutex mSharedImageLock;
  std::condition_variable mSharedImageLoaded;
  std::list<std::pair<int, Widget*>> mSafeDeleteList;
  DeferredInputQueue mDeferredInput;

  // Demo recording and playback
  DemoStream mDemo;
  DemoFile mDemoInfo;  // seed, markers and length of the demo
  std::string mDemoBaseName = "velkapp";
  std::string mDemoFilePath = "velkapp.dmo";
  std::string mChangeDir;
  bool mLoadingFinishedSeen = false;
  DemoControls mDemoControls;
  DWORD mLastFastForwardDraw = 0;
  bool mDemoDialogOpen = false;  // the jump dialogs take live input while the demo plays

  // Debug tools
  bool mShowOverlays = false;
  int mOverlayMode = 0;  // 0 frame rate, 1 mouse position
  DWORD mFpsStart = 0;
  int mFpsFrames = 0;
  int mFpsShown = 0;
  bool mFpsFirst = true;
  std::unique_ptr<CrashHost> mCrashHost;

  // Life and dialog buttons (VelkAppBase.cpp)
  VelkAppBase();
  ~VelkAppBase() override;
  VelkAppBase(const VelkAppBase&) = delete;
  VelkAppBase& operator=(const VelkAppBase&) = delete;

  // Dialog buttons 1000 and 1001 of dialog D report D + 2000 and D + 3000.
  void OnDialogButtonPressed(int dialogId, int buttonId) override;
  void OnDialogButtonReleased(int dialogId, int buttonId) override;

  // The virtual interface, in its fixed order. Its files by subject: VelkAppBaseLoop.cpp the timing
  // steps, frames and the main loop; VelkAppBaseScreen.cpp the window, screen modes, cursor and
  // present; VelkAppBaseDialogs.cpp dialogs, popups, message boxes and errors;
  // VelkAppBaseServices.cpp images held, volumes, samples, URLs and safe deletion;
  // VelkAppBaseRegistry.cpp the settings; VelkAppBaseImages.cpp image loading;
  // VelkAppBaseThreads.cpp the loading progress; VelkAppBaseWindow.cpp bringing to front and
  // system keys; VelkAppBaseDebug.cpp crash text, debug keys and the overlay; VelkAppBaseDemo.cpp
  // switches; VelkAppBase.cpp start-up, run, shutdown, the command line, music and crashes.
  virtual bool StepTiming(bool allowSleep);
  virtual void RunLogicUpdate();
  virtual bool UpdateOnce();
  virtual void UpdateFraction(float fraction);
  virtual void CreateMainWindow();
  virtual void ApplyCursor();
  virtual void RestoreMemoryImages();
  virtual void FreeImageDisplayData();
  virtual void FreeImageCaches();
  virtual void OnLoadingFinished() {}
  virtual MusicInterface* CreateMusicInterface(HWND window);
  virtual void OnInitFinished() {}
  virtual void OnShutdown() {}
  virtual void OnRunFinished() {}
  virtual void LoadResourcesInBackground() {}
  virtual void WriteRegistrySettings();
  virtual void ReadRegistrySettings();
  virtual Dialog* NewDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                            const std::wstring& footer, int buttonMode);
  virtual void OnBeforeMainWindow() {}
  virtual void BeginPopup();
  virtual void EndPopup();
  virtual int MsgBoxW(const std::wstring& text, const std::wstring& caption, UINT flags);
  virtual int MsgBoxA(const std::string& text, const std::string& caption, UINT flags);
  virtual void ShowFatalErrorW(const std::wstring& text);
  virtual void ShowFatalErrorA(const std::string& text);
  virtual void LogError(const std::string& text);
  virtual void SafeDelete(Widget* widget);
  virtual void OnUrlOpenFailed(const std::string& url);
  virtual void OnUrlOpened(const std::string& url);
  virtual bool OpenURL(const std::string& url, bool shutdownAfter);
  virtual std::string GetProductVersion(const std::string& path);
  virtual void OnCrash();
  virtual std::string GetCrashInfo();
  virtual void FillUploadFields(std::map<std::string, std::string>& fields) { (void)fields; }
  virtual void Shutdown();
  virtual void ParseCommandLine();
  virtual void HandleCommandLine(const std::string& text) { (void)text; }
  virtual void HandleSwitch(const std::string& name, const std::string& value);
  virtual void BringToFront(WPARAM wParam, LPARAM lParam);
  virtual void NotifyRunningInstance();
  virtual void Run();
  virtual void Init();
  // The start-up's steps that touch none of the player's files (the data folder, the command line),
  // then the guard: a second copy of the program ends here, and this copy holds the settings folder
  // and `gameFolder` (the game's own files) for the rest of its run. Once; Init runs it before the
  // settings are read, and a game that reads files of its own before Init runs it first.
  void ClaimPlayerFiles(const std::string& gameFolder = {});
  virtual void OnBeforeDisplayInit() {}
  virtual void OnAfterDisplayInit() {}
  virtual bool HandleWorkingDirectory(const std::string& folder) {
    (void)folder;
    return false;
  }
  virtual void PlaySample(int id, int pan);
  virtual void PlaySample(int id);
  virtual double GetMasterVolume();
  virtual double GetMusicVolume();
  virtual double GetSfxVolume();
  virtual bool IsMuted();
  virtual void SetMasterVolume(double volume);
  virtual void SetMusicVolume(double volume);
  virtual void SetSfxVolume(double volume);
  virtual void Mute(bool automatic);
  virtual void Unmute(bool automatic);
  virtual double GetLoadingProgress();
  virtual DDImage* LoadImage(const std::string& path);
  // Loads the image on the first request for (path, variant), compared without case; a path
  // starting with '!' gives an empty image to draw into.
  SharedImageHandle GetSharedImage(const std::string& path, const std::string& variant, bool* isNew) override;
  virtual void SwitchScreenMode(bool windowed, bool want3D, bool force);
  virtual void SwitchScreenMode(bool windowed);
  virtual void ReinitScreenMode();
  virtual void SetVideoMemoryDraw(bool on);
  virtual Dialog* ShowDialog(int id, bool modal, const std::wstring& header, const std::wstring& lines,
                             const std::wstring& footer, int buttonMode);
  virtual Dialog* GetDialog(int id);
  virtual void AddDialog(Dialog* dialog);
  virtual void AddDialog(int id, Dialog* dialog);
  virtual bool RemoveDialog(Dialog* dialog);
  bool RemoveDialog(int id) override;
  virtual bool RemoveDialog(int id, bool removeWidget, bool deleteIt);
  virtual int GetDialogCount();
  virtual void OnModalDialogAdded() {}
  virtual void OnModalDialogRemoved() {}
  virtual void OnFocusGained() {}
  virtual void OnFocusLost() {}
  virtual bool SwallowsSysChar(WPARAM key);
  virtual bool DebugKey(int key);
  virtual bool PreviewKeyDown(int key, bool ctrl, bool alt) {
    (void)key;
    (void)ctrl;
    (void)alt;
    return false;
  }
  virtual void OnCloseRequest() {}
  void On3DTested() override {}
  virtual std::string GetExtraInfoText() { return {}; }
  virtual bool DrawFrame();
  virtual void PresentFrame(const Rect* area);
  virtual void OnInitStart() {}
  virtual void MainLoop();
  virtual bool RunLoopStep(bool* updated);
  virtual bool RunUntilUpdated();
  virtual bool MayRestoreWindow() { return !mIsDisabled; }
  void DrawOverlay(Graphics* g) override;

  // Demo (VelkAppBaseDemo.cpp; its dialogs in VelkAppBaseDemoDialogs.cpp)
  bool LoadDemoFile(std::string& error);
  void SaveDemoFile();
  void StartDemoPlayback();
  void ProcessDemoEvents();
  bool ReadFileWithDemo(const std::string& path, Buffer& data, bool bypass);
  // Records live input, or while playing holds back the live input the demo replaces.
  bool DemoFiltersInput(const DeferredInput& input);
  void PlayDemoEvent(const DemoEvent& event);
  // While playing, an update runs only once the events due before it have been injected.
  bool DemoAllowsUpdate();
  // While playing: the control keys on WM_CHAR and the debug keys on WM_KEYDOWN.
  bool HandleDemoPlaybackKey(UINT message, WPARAM key);
  // Runs a jump or a run to the end; true when it took this timing step.
  bool RunDemoFastForward();
  void ShowMarkerListDialog();
  void ShowJumpToTimeDialog();
  // Shows a jump dialog modally, live input going to it; its answer.
  int OpenDemoDialog(Dialog* dialog);
  // The dialog's own loop, with the recording held still.
  virtual int RunDemoDialog(Dialog* dialog);
  void DemoExchangeBuffer(Buffer& data) { mDemo.ExchangeBuffer(data); }
  void DemoExchangeBool(bool& value) { mDemo.ExchangeBool(value); }
  void DemoExchangeString(std::string& value) { mDemo.ExchangeString(value); }

  // Debug tools (VelkAppBaseDebug.cpp)
  void TakeScreenshot();
  void DumpImages();
  void ShowVideoStats();

  // Loop (VelkAppBaseLoop.cpp)
  bool RunLoopStep() override;
  void AccumulateElapsed();
  void ResetTiming(bool suppressCatchUp);

  // Window input (VelkAppBaseWindow.cpp)
  static LRESULT WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool ProcessDeferredInput(bool oneOnly);
  void UpdateFocus();
  void CheckIdlePause(DWORD now);
  void TakeDesktopLastInput(DWORD now);
  void NoteUserInput();
  void EndIdlePause();
  void ClearKeyTable();

  // Threads (VelkAppBaseThreads.cpp)
  void StartCursorThread();
  void StartLoadingThread();
  void WaitForLoader();

  // Registry (VelkAppBaseRegistry.cpp)
  bool WriteRegistry(const std::string& name, DWORD type, const BYTE* data, DWORD size);
  bool WriteRegistryString(const std::string& name, const std::string& text);
  bool WriteRegistryInteger(const std::string& name, int value);
  bool WriteRegistryBoolean(const std::string& name, bool value);
  bool ReadRegistry(const std::string& name, DWORD* type, BYTE* data, DWORD* size);
  bool ReadRegistryInteger(const std::string& name, int& value);
  bool ReadRegistryBoolean(const std::string& name, bool& value);
  void EraseRegistryValue(const std::wstring& name);

  // Strings and popups (VelkAppBaseDialogs.cpp)
  std::wstring GetString(const std::string& id, const std::wstring& defaultText);
  void SetString(const std::string& id, const std::wstring& text);
  void ClearStrings() { mStringProperties.clear(); }
  // The error box other layers call.
  void PopupError(const std::wstring& text) { ShowFatalErrorW(text); }

  // Deferred deletion (VelkAppBaseServices.cpp)
  void ProcessSafeDeletes();

  // Screen and cursors (VelkAppBaseScreen.cpp)
  // The name the game's settings use for SwitchScreenMode(windowed); safe before start-up.
  void SetWindowed(bool windowed) { SwitchScreenMode(windowed); }
  int InitDisplay();
  void Set3DMode(bool want3D, bool reinit);
  bool IsRendererUsable();
  bool IsRendererRecommended();
  void SetCursorKind(int kind) override;
  void SetCustomCursorsEnabled(bool enabled);
  // Numbers 0 to 12; the image is not owned.
  void SetCursorImage(int number, Image* image);

  // Images and resources (VelkAppBaseImages.cpp)
  // Copies owned by the caller.
  DDImage* DuplicateImage(Image* image);
  DDImage* CopyImageRegion(Image* image, const Rect& rect);
  SoundManager* GetSoundManager() override;
  void LoadResourceManifest();
  // Shows ResourceErrorText as a fatal error; with `exit` the process then ends with status 1.
  void ReportResourceError(bool exit);
  // The resource manager's error; an application may add what it knows of the cause.
  virtual std::string ResourceErrorText() const;

  // Clipboard (VelkAppBaseServices.cpp)
  std::string GetClipboardText();
  void SetClipboardText(const std::string& text);

  // The process (VelkAppBase.cpp)
  // Ends the process; it does not return.
  [[noreturn]] void ExitApplication(int code);
  // Called from a thread other than the main one, once that one is known.
  bool IsOffMainThread() const;
  bool IsScreenSaverMode() const { return mIsScreenSaver; }

  // Services other layers reach through their host interfaces (VelkAppBaseServices.cpp)
  void RegisterMemoryImage(MemoryImage* image) override;
  void UnregisterMemoryImage(MemoryImage* image) override;
  void ReleaseImageTextures(MemoryImage* image) override;
  bool ReadBackTextures(MemoryImage* image, uint32_t* bits) override;
  bool TexturesHoldPixels(MemoryImage* image) override;
  bool Is3DModeOn() override;
  NativeDisplay* GetNativeDisplay() override;
  const uint8_t* GetSaturationTable() override { return mAdd8BitMaxTable; }
  Font* CreateSysFont(const std::string& face, int pointSize, int charSet, bool bold, bool italic,
                      bool underline) override;

 private:
  // VelkAppBase.cpp
  void RunStatistics(DWORD startTime);
  // VelkAppBaseWindow.cpp
  LRESULT HandleWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool QueueInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void DeliverInput(const DeferredInput& input);
  void DeliverKeyDown(UINT message, WPARAM key);
  void DeliverMouse(const DeferredInput& input);
  void DeliverTimer(HWND hwnd);
  void CheckMouseInWindow(HWND hwnd);
  // VelkAppBaseLoop.cpp
  void PumpMessages();
  void CatchUp(float perFrame, double frameMs, bool vsyncMode);
  bool RestWhileIdlePaused(double frameMs, bool allowSleep);
  void RunDueIdleCheck(DWORD now);
  void LoadingYield(DWORD now, DWORD slept, bool allowSleep, bool& blocked);

  // VelkAppBaseImages.cpp
  void ReleaseUnusedSharedImages();
  void DeleteSharedImages();
  // VelkAppBaseScreen.cpp
  HWND CreateWindowForMode();
  std::unique_ptr<DisplayRenderer> MakeRenderer();
  void CreateCustomCursors();
  [[noreturn]] void ReportDisplayFailure(int result);
  void OnDisplayReady();
  void UseNewScreenImage();
  void RecoverDisplay();
  void FollowClientSize();
  // VelkAppBaseServices.cpp
  // The display's lock, or the application's own before the display exists.
  CriticalSection& ImageLock();
  void ForEachMemoryImage(void (MemoryImage::*action)());
  // VelkAppBase.cpp
  void CreateInvisibleWindow();
  void RegisterWindowClasses();
  void EnforceSingleInstance();
  void HoldPlayerFolder(const std::string& folder);
  std::string RegistryKeyInUse();
  void SetUpDataFolder();
  // VelkAppBaseDialogs.cpp
  void FillStringDefaults();
  // VelkAppBase.cpp
  // False when the player was asked, which settles the question for this run.
  bool AskAbout3DOnExit();
  void AskAboutFailing3DOnExit();
  std::wstring HardwareQuestionCaption();
  // VelkAppBaseThreads.cpp
  static void CursorThreadProc(void* arg);
  static void LoadingThreadProc(void* arg);
  void CursorThreadLoop();
};

// The one application of the process; null before it is made and after it is gone.
extern VelkAppBase* gVelkApp;

}  // namespace Velk
