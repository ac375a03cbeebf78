#include "app/VelkAppBase.h"

#include "app/AppCrashHost.h"
#include "app/AppFontHost.h"
#include "app/CrashCatcher.h"
#include "app/RegistryStore.h"
#include "common/DataFolder.h"
#include "common/MersenneTwister.h"
#include "common/Path.h"
#include "common/StringUtil.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayRenderer.h"
#include "platform/audio/AudioOutput.h"
#include "platform/backend/Backend.h"
#include "platform/base/LastError.h"
#include "platform/clock/Clock.h"
#include "platform/cursor/Cursor.h"
#include "platform/crt/Rand.h"
#include "platform/debug/DebugOutput.h"
#include "platform/files/FileCalls.h"
#include "platform/files/ShellFolders.h"
#include "platform/instance/FolderLock.h"
#include "platform/instance/InstanceLock.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/modules/Modules.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/process/CloseSignals.h"
#include "platform/process/FileSizeSignal.h"
#include "platform/process/ProcessHeap.h"
#include "platform/process/ProcessInfo.h"
#include "platform/threads/Threads.h"
#include "platform/version/Version.h"
#include "resources/ImageLib.h"
#include "resources/ResourceManager.h"
#include "sound/BassMusicInterface.h"
#include "sound/DSoundManager.h"
#include "sound/FModMusicInterface.h"
#include "sound/MusicInterface.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

#include <cstdio>
#include <cstdlib>

namespace Velk {

VelkAppBase* gVelkApp = nullptr;

namespace {

constexpr int kProgramPathSize = 256;
constexpr DWORD kCursorStopWaitMs = 1000;
constexpr int kMaxPath = 260;

}  // namespace

VelkAppBase::VelkAppBase() {
  // The first steps of the start-up, before any window or file: a program nobody could see ends
  // here, and from here a termination signal closes the program as its close box does, and a
  // file-size limit fails a save (which says so) rather than ending the program.
  Backend::EndUnlessSeen(Backend::Get());
  CloseSignals::Install();
  FileSizeSignal::Ignore();
  ShareProcessHeapBetweenThreads();
  gVelkApp = this;
  mDemo.AttachCounter(&mUpdateCount);
  mCrashHost = std::make_unique<AppCrashHost>(*this);
  CrashCatcher::SetCrashHost(mCrashHost.get());
  gWidgetHost = this;
  MemoryImageHost::SetDefault(this);
  m3DTestRequested = true;
  for (int i = 0; i < 512; ++i) mAdd8BitMaxTable[i] = static_cast<uint8_t>(i < 256 ? i : 255);

  mVersionDLL = LoadLibraryA("version.dll");
  mDDrawDLL = LoadLibraryA("ddraw.dll");
  mDSoundDLL = LoadLibraryA("dsound.dll");
  HMODULE user32 = GetModuleHandleA("user32.dll");
  mGetLastInputInfoFunc = user32 ? GetProcAddress(user32, "GetLastInputInfo") : nullptr;
  ImageLib::LoadJ2KCodec();

  char path[kProgramPathSize] = {};
  GetModuleFileNameA(nullptr, path, kProgramPathSize);
  mProductVersion = GetProductVersion(path);
  mProgramFolder = PathDirectory(path, false);

  mLoadingStartTick = GetTickCount();
  mLastDrawTick = timeGetTime();
  mNextDrawTick = mLastDrawTick;

  FillStringDefaults();
  mWidgetManager = new WidgetManager(this);
  mResourceManager = new ResourceManager(this);
  mFontHost = std::make_unique<AppFontHost>(*this);
  FontHost::SetDefault(mFontHost.get());

  if (GetSystemMetrics(SM_TABLETPC) != 0) {
    mTabletPC = true;
    mFullScreenFlip = false;
  }
}

VelkAppBase::~VelkAppBase() {
  WaitForLoader();
  Shutdown();
  SaveDemoFile();
  // From here a close signal has nothing left to close; it ends the process as it always would.
  CloseSignals::Remove();
  if (AskAbout3DOnExit()) AskAboutFailing3DOnExit();

  for (Dialog* dialog : mDialogList) {
    mWidgetManager->RemoveChild(dialog);
    delete dialog;
  }
  mDialogList.clear();
  mDialogMap.clear();

  if (mInvisHWnd) {
    SetWindowLongPtrW(mInvisHWnd, GWLP_USERDATA, 0);
    DestroyWindow(mInvisHWnd);
    mInvisHWnd = nullptr;
  }
  ProcessSafeDeletes();
  delete mWidgetManager;
  mWidgetManager = nullptr;
  delete mResourceManager;
  mResourceManager = nullptr;
  DeleteSharedImages();
  delete mDDInterface;
  mDDInterface = nullptr;
  delete mMusicInterface;
  mMusicInterface = nullptr;
  delete mSoundManager;
  mSoundManager = nullptr;

  if (HWND main = mHWnd) {
    SetWindowLongPtrW(main, GWLP_USERDATA, 0);
    DestroyWindow(main);
    mHWnd = nullptr;
  }
  if (mHandCursor) DestroyCursor(mHandCursor);
  if (mDraggingCursor) DestroyCursor(mDraggingCursor);
  gVelkApp = nullptr;
  if (CrashCatcher::GetCrashHost() == mCrashHost.get()) CrashCatcher::SetCrashHost(nullptr);
  if (gWidgetHost == this) gWidgetHost = nullptr;
  if (MemoryImageHost::GetDefault() == this) MemoryImageHost::SetDefault(nullptr);
  if (FontHost::GetDefault() == mFontHost.get()) FontHost::SetDefault(nullptr);
  if (mMutex) CloseHandle(mMutex);
  if (mDDrawDLL) FreeLibrary(mDDrawDLL);
  if (mDSoundDLL) FreeLibrary(mDSoundDLL);
  if (mVersionDLL) FreeLibrary(mVersionDLL);
}

void VelkAppBase::OnDialogButtonPressed(int dialogId, int buttonId) {
  if (buttonId == Dialog::YesButtonId)
    OnButtonPressed(dialogId + 2000);
  else if (buttonId == Dialog::NoButtonId)
    OnButtonPressed(dialogId + 3000);
}

void VelkAppBase::OnDialogButtonReleased(int dialogId, int buttonId) {
  if (buttonId == Dialog::YesButtonId)
    OnButtonReleased(dialogId + 2000);
  else if (buttonId == Dialog::NoButtonId)
    OnButtonReleased(dialogId + 3000);
}

MusicInterface* VelkAppBase::CreateMusicInterface(HWND window) {
  (void)window;
  if (mNoSound) return new MusicInterface();
  if (mUseFmodMusic) return new FModMusicInterface(mInvisHWnd);
  return new BassMusicInterface(mInvisHWnd);
}

std::string VelkAppBase::GetProductVersion(const std::string& path) {
  // The program carries no version resource here.
  (void)path;
  return {};
}

// Runs on the crash thread while the faulting thread waits. The mixer already plays silence and the
// loop has stopped (both read the fault flag); the crash reporter hides the window with the cursor
// from its own display connection, so nothing here touches the display.
void VelkAppBase::OnCrash() { mCrashed = true; }

void VelkAppBase::ParseCommandLine() {
  std::string line = GetCommandLineA();
  size_t start = 0;
  if (!line.empty() && line[0] == '"') {
    size_t close = line.find('"', 1);
    if (close == std::string::npos) {
      mCmdLineParsed = true;
      return;
    }
    start = close + 1;
  }
  size_t space = line.find(' ', start);
  if (space != std::string::npos) HandleCommandLine(line.substr(space + 1));
  mCmdLineParsed = true;
}

void VelkAppBase::NotifyRunningInstance() {
  if (!mEnforceSingleInstance) return;
  if (mNotifyMessage != 0) {
    PostMessageW(HWND_BROADCAST, mNotifyMessage, 0, 0);
    SingleInstance::NotifyRunningCopies(mNotifyMessage, 0, 0);
  }
  ExitApplication(0);
}

void VelkAppBase::ExitApplication(int code) {
  // Nothing may run under the static destructors: the cursor thread is stopped and the display
  // given back first.
  mShutdown = true;
  while (mCursorThreadRunning) Sleep(10);
  if (mDDInterface && !mIsPhysWindowed && mDDInterface->mDD) mDDInterface->mDD->RestoreDisplayMode();
  std::fflush(nullptr);
  if (mLoadingThreadStarted && !mLoadingThreadCompleted) std::quick_exit(code);
  // The static destructors run next: the sound output's thread ends first, as the destructor's
  // release of the sound manager ends it on the ordinary way out.
  AudioOutput::CloseForExit();
  std::exit(code);
}

void VelkAppBase::SetUpDataFolder() {
  // Older systems keep the program's files beside it: the data folder stays empty there.
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  if (!GetVersionExA(&version) || version.dwMajorVersion < 6) return;
  using FolderQuery = HRESULT (*)(HWND, int, HANDLE, DWORD, char*);
  HMODULE module = LoadLibraryA("shell32.dll");
  FARPROC query = module ? GetProcAddress(module, "SHGetFolderPathA") : nullptr;
  if (!query) {
    if (module) FreeLibrary(module);
    module = LoadLibraryA("shfolder.dll");
    query = module ? GetProcAddress(module, "SHGetFolderPathA") : nullptr;
  }
  char folder[kMaxPath] = {};
  if (query && SUCCEEDED(reinterpret_cast<FolderQuery>(query)(nullptr, CSIDL_COMMON_APPDATA, nullptr,
                                                              SHGFP_TYPE_CURRENT, folder))) {
    SetDataFolder(StripTrailingSlash(folder) + "\\" + mCompanyName + "\\" + mProdName + "\\");
  }
  if (module) FreeLibrary(module);
}

void VelkAppBase::EnforceSingleInstance() {
  mNotifyMessage = RegisterWindowMessageW((Widen(mProdName) + L"Notify").c_str());
  mMutex = CreateMutexW(nullptr, TRUE, (Widen(mProdName) + L"Mutex").c_str());
  if (GetLastError() == ERROR_ALREADY_EXISTS) NotifyRunningInstance();
}

void VelkAppBase::ClaimPlayerFiles(const std::string& gameFolder) {
  if (mPlayerFilesClaimed) return;
  mPlayerFilesClaimed = true;
  SetUpDataFolder();
  if (!mCmdLineParsed) ParseCommandLine();
  if (mIsScreenSaver) mEnforceSingleInstance = false;
  EnforceSingleInstance();
  HoldPlayerFolder(RegistryStore(RegistryKeyInUse()).Folder());
  HoldPlayerFolder(gameFolder);
}

// A copy that holds the folder from another session or machine cannot be reached by the notice to
// the running copy, and writes what it read at its start over whatever this copy would save: this
// one ends, having read and written nothing of the player's, and says why.
void VelkAppBase::HoldPlayerFolder(const std::string& folder) {
  if (folder.empty() || FolderLock::Take(folder) != FolderLock::Outcome::kHeldElsewhere) return;
  std::fprintf(stderr,
               "%s is already running for this player, perhaps in another session or on another machine (it holds "
               "%s); close it first\n",
               mProdName.c_str(), FolderLock::PathIn(folder).c_str());
  MsgBoxW(GetString("ALREADY_RUNNING", Widen(mProdName) +
                                           L" is already running for this player, perhaps in another session or on "
                                           L"another machine. Close it first, then start the game again."),
          mTitle.empty() ? Widen(mProdName) : mTitle, MB_OK | MB_ICONWARNING);
  ExitApplication(0);
}

void VelkAppBase::RegisterWindowClasses() {
  mIsWideWindow = true;
  WNDCLASSW main;
  main.style = CS_DBLCLKS;
  main.lpfnWndProc = WindowProc;
  main.lpszClassName = L"MainWindow";
  RegisterClassW(&main);
  WNDCLASSW invisible;
  invisible.lpfnWndProc = WindowProc;
  invisible.lpszClassName = L"InvisWindow";
  RegisterClassW(&invisible);
}

void VelkAppBase::CreateInvisibleWindow() {
  mInvisHWnd = CreateWindowExW(0, L"InvisWindow", mTitle.c_str(), 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (mInvisHWnd) SetWindowLongPtrW(mInvisHWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void VelkAppBase::Init() {
  mMainThreadId = GetCurrentThreadId();
  if (mShutdown) return;

  if (!mDDrawDLL || !mDSoundDLL) {
    MessageBoxW(nullptr,
                GetString("APP_REQUIRES_DIRECTX",
                          L"This application requires DirectX to run.  You can get DirectX at "
                          L"http://www.microsoft.com/directx")
                    .c_str(),
                GetString("YOU_NEED_DIRECTX", L"You need DirectX").c_str(), MB_ICONERROR);
    ExitApplication(0);
  }

  OnInitStart();
  // Before the settings are read: reading them writes "InProgress" at once.
  ClaimPlayerFiles();
  ReadRegistrySettings();

  if (!HandleWorkingDirectory(mProgramFolder)) SetCurrentDirectoryA(mProgramFolder.c_str());

  mStartSeed = GetTickCount();
  SeedRandom(mStartSeed);
  if (mDemo.mPlaying) {
    std::string error;
    if (!LoadDemoFile(error)) {
      mDemo.mPlaying = false;
      ShowFatalErrorA(error);
      ExitApplication(1);
    }
  }
  Velk::srand(GetTickCount());

  RegisterWindowClasses();
  CreateInvisibleWindow();

  CreateCustomCursors();
  OnBeforeMainWindow();
  Rect whole(0, 0, mWidth, mHeight);
  mWidgetManager->SetMouseRects(whole, whole);

  if (mIsWindowed && (mWidth >= GetSystemMetrics(SM_CXFULLSCREEN) || mHeight >= GetSystemMetrics(SM_CYFULLSCREEN))) {
    mIsWindowed = false;
    mForceFullscreen = true;
  }
  CreateMainWindow();
  StartDemoPlayback();

  if (!mSoundManager) mSoundManager = new DSoundManager(mNoSound ? nullptr : static_cast<HWND>(mHWnd), mUseFmodMusic);
  SetSfxVolume(mSfxVolume);
  mMusicInterface = CreateMusicInterface(mInvisHWnd);
  SetMusicVolume(mMusicVolume);

  if (mIsScreenSaver) mCursorNum = 11;
  OnInitFinished();
  mInitialized = true;
}

void VelkAppBase::Run() {
  // A signal during the start-up closes the program before it shows anything.
  if (CloseSignals::TakeRequest()) Shutdown();
  if (mShutdown) return;
  StartCursorThread();
  if (mLoadInBackground) StartLoadingThread();
  ShowWindow(mHWnd, SW_SHOW);
  SetFocus(mHWnd);
  timeBeginPeriod(1);
  DWORD start = timeGetTime();
  mRunning = true;
  mLastUserInputTick = start;
  mLastTimerTime = start;
  MainLoop();
  ProcessSafeDeletes();
  mRunning = false;
  WaitForLoader();
  RunStatistics(start);
  timeEndPeriod(1);
  OnRunFinished();
  WriteRegistrySettings();
}

void VelkAppBase::RunStatistics(DWORD startTime) {
  auto line = [](const std::string& text) { OutputDebugStringA(text.c_str()); };
  line(FormatString("Seconds       = %g\r\n", TickDiff(timeGetTime(), startTime) / 1000.0));
  line(FormatString("Sleep Count   = %d\r\n", static_cast<int>(mSleepCount)));
  line(FormatString("Update Count  = %d\r\n", static_cast<int>(mUpdateCount)));
  line(FormatString("Draw Count    = %d\r\n", static_cast<int>(mDrawCount.load())));
  line(FormatString("Draw Time     = %d\r\n", static_cast<int>(mDrawTime)));
  line(FormatString("Screen Blt    = %d\r\n", static_cast<int>(mScreenBltTime)));
  int drawing = static_cast<int>(mDrawTime + mScreenBltTime);
  if (drawing > 0) line(FormatString("Avg FPS       = %d\r\n", static_cast<int>(mDrawCount * 1000 / drawing)));
}

bool VelkAppBase::IsOffMainThread() const {
  DWORD mainThread = mMainThreadId;
  return mainThread != 0 && GetCurrentThreadId() != mainThread;
}

void VelkAppBase::Shutdown() {
  if (IsOffMainThread()) {
    // Only the main thread tears down; the next timing step picks the request up.
    mShutdownRequested = true;
    return;
  }
  if (mShutdown.exchange(true)) return;
  mExitToTop = true;
  OnShutdown();
  // The cursor thread stops within a poll; the wait is bounded all the same, so that what the
  // program keeps is written whatever holds that thread up.
  for (DWORD waited = 0; mCursorThreadRunning && waited < kCursorStopWaitMs; waited += 10) Sleep(10);
  if (mMusicInterface) mMusicInterface->StopAllMusic();
  if (!mIsPhysWindowed && mDDInterface && mDDInterface->mDD) mDDInterface->mDD->RestoreDisplayMode();
  if (mHWnd) ShowWindow(mHWnd, SW_HIDE);
  if (mRegistryRead) WriteRegistrySettings();
  ImageLib::FreeJ2KCodec();
}

void VelkAppBase::AskAboutFailing3DOnExit() {
  if (!D3DInterface::sRenderTargetFailed || mIsScreenSaver) return;
  std::wstring text = GetString("HARDWARE_ACCEL_NOT_WORKING",
                                L"Hardware Acceleration may not have been working correctly during this session.\r\n"
                                L"If you noticed graphics problems, you may want to turn off Hardware Acceleration.\r\n"
                                L"Would you like to keep Hardware Acceleration switched on?");
  if (MessageBoxW(nullptr, text.c_str(), HardwareQuestionCaption().c_str(), MB_YESNO | MB_ICONQUESTION) == IDNO) {
    WriteRegistryBoolean("Is3D", false);
  }
}

std::wstring VelkAppBase::HardwareQuestionCaption() {
  return Widen(mCaptionPrefix) + L" " + GetString("HARDWARE_ACCEL_CONFIRMATION", L"Hardware Acceleration Confirmation");
}

bool VelkAppBase::AskAbout3DOnExit() {
  if (!m3DModeSwitched || !mDDInterface) return true;
  bool stored = false;
  if (ReadRegistryBoolean("Is3D", stored) || IsRendererRecommended()) {
    WriteRegistryBoolean("Is3D", mDDInterface->mIs3D);
    return true;
  }
  if (!mDDInterface->mIs3D) return true;
  std::wstring text = GetString("HARDWARE_ACCEL_SWITCHED_ON",
                                L"Hardware Acceleration was switched on during this session.\r\n"
                                L"If this resulted in slower performance, it should be switched off.\r\n"
                                L"Would you like to keep Hardware Acceleration switched on?");
  bool keep =
      MessageBoxW(nullptr, text.c_str(), HardwareQuestionCaption().c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
  mDDInterface->mIs3D = keep;
  if (keep) WriteRegistryBoolean("Is3D", true);
  return false;
}

}  // namespace Velk
