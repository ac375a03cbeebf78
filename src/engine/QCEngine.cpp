#include "engine/QCEngine.h"

#include <ctime>
#include <filesystem>

#include "common/Path.h"
#include "common/StringUtil.h"
#include "engine/EngineUtil.h"
#include "engine/InitResources.h"
#include "engine/LocTexts.h"
#include "engine/QCCursorManager.h"
#include "engine/QCDialog.h"
#include "engine/QCEffect.h"
#include "engine/QCFont.h"
#include "engine/QCLevelHandOver.h"
#include "engine/QCMusicManager.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCSoundSystem.h"
#include "engine/QCSoundTable.h"
#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "platform/clock/Clock.h"
#include "platform/crt/Rand.h"
#include "platform/files/FileCalls.h"
#include "platform/files/PathMap.h"
#include "platform/modules/Modules.h"
#include "platform/threads/Threads.h"
#include "resources/PakInterface.h"
#include "resources/ResourceManager.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr const char* kCfgFile = "cfg\\cfg.xml";
constexpr const char* kUiFile = "cfg\\ui.xml";
constexpr const char* kEffectFile = "cfg\\effect.xml";

QCEngine* gEngine = nullptr;
QCLevelHandOver* gCurrentBoard = nullptr;

bool IsPresent(const char* file) {
  std::error_code ignored;
  return std::filesystem::exists(Velk::MapPath(file), ignored);
}

}  // namespace

QCEngine* GetEngine() { return gEngine; }

void SetCurrentBoardHandOver(QCLevelHandOver* board) { gCurrentBoard = board; }
QCLevelHandOver* GetCurrentBoardHandOver() { return gCurrentBoard; }

QCEngine::QCEngine(int arg) {
  CoInitialize(nullptr);

  // The archives and "cfg\..." are found beside the program.
  char path[260] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder = Velk::PathDirectory(path, false);
  if (!folder.empty()) SetCurrentDirectoryA(folder.c_str());

  // A missing archive is no error: the files then come from the folder itself (a start-up file
  // found nowhere names the missing archives). One that is there but cannot be read is reported
  // before anything else (StopOnDamagedArchive). mod.pak is optional.
  mPak = std::make_unique<PakInterface>();
  for (const char* archive : {"loc.pak", "data.pak", "mod.pak"}) {
    if (mPak->MountArchive(archive)) continue;
    if (IsPresent(archive)) {
      if (mDamagedArchive.empty()) mDamagedArchive = archive;
    } else if (std::string(archive) != "mod.pak") {
      mMissingArchives.push_back(archive);
    }
  }

  mLogicalWidth = 800;
  mLogicalHeight = 600;
  mSpareA = -23.0f;
  mSpareB = 203.0f;
  mConstructorArg = arg;
  mProdName = "Morvex1";
  mTitle = L"";
  mProductVersion = "1.0";
  mRegKey = "Drimak Games\\Morvex1";

  gEngine = this;
  mWidth = 800;
  mHeight = 600;

  mCursors = std::make_unique<QCCursorManager>(this);
  mSoundSystem = std::make_unique<QCSoundSystem>();
  mMusic = std::make_unique<QCMusicManager>();
  mTextures = std::make_unique<QCTextureManager>(this);
  mFonts = std::make_unique<QCFont>(this);
  mLocTexts = std::make_unique<LocTexts>();
  mTextVars = std::make_unique<TextVars>();
  SetCurrentTextTables(mLocTexts.get(), mTextVars.get());
  mParticles = std::make_unique<QCParticleRegistry>();

  // Hidden until WidgetsLock holds it up as an input shield.
  auto* root = new QCDialog(nullptr, this);
  root->Resize(0, 0, 800, 600);
  mWidgetManager->AddChild(root);
  mRootDialog = root;
}

QCEngine::~QCEngine() {
  mWidgetManager->RemoveAllChildren(true, false);
  mRootDialog = nullptr;

  mCursors.reset();
  SetCurrentTextTables(nullptr, nullptr);
  mTextVars.reset();
  mLocTexts.reset();
  ClearSoundTable();
  mMusic.reset();
  mSoundSystem.reset();
  // The particle registry goes before the textures its emitters release.
  mParticles.reset();
  mTextures.reset();
  mFonts.reset();
  ReleaseInitResources();

  ReleaseEffectDefinitions();
  mPak.reset();
  if (gEngine == this) gEngine = nullptr;
}

void QCEngine::Init() {
  StopOnDamagedArchive();
  VelkAppBase::Init();
  if (mShutdown) return;
  Velk::srand(static_cast<unsigned>(time(nullptr)));
  LoadResourceManifest();
  if (!mResourceManager->LoadResources("Init")) {
    // The error box first: the framework shows none once the shutdown flag is up. Leaving then sets
    // the flag and ends the process.
    ReportResourceError(true);
  }
  ExtractInitResources(mResourceManager);
  // Without its effects the splash would never end.
  if (!LoadEffectDefinitions()) StopOnUnreadableFile(kEffectFile);
  StartSoundSystem(0);  // no window handle is needed here
}

void QCEngine::StopOnDamagedArchive() {
  if (mDamagedArchive.empty()) return;
  ShowFatalErrorW(
      GetString("DATA_FILE_DAMAGED", L"This data file is damaged or incomplete; please reinstall the game:") + L" " +
      Velk::Widen(mDamagedArchive));
  ExitApplication(1);
}

// A file that an archive held comes from the folder when the archive is missing: the archive is
// then the file's likely cause, and is named with it.
void QCEngine::StopOnUnreadableFile(const std::string& path) {
  ShowFatalErrorW(GetString("GAME_FILE_UNREADABLE", L"This game file cannot be read; please reinstall the game:") +
                  L" " + Velk::Widen(path + MissingArchivesText()));
  ExitApplication(1);
}

std::string QCEngine::ResourceErrorText() const { return VelkAppBase::ResourceErrorText() + MissingArchivesText(); }

std::string QCEngine::MissingArchivesText() const {
  std::string text;
  for (const std::string& archive : mMissingArchives) text += "\n" + archive + " is missing; please reinstall the game";
  return text;
}

void QCEngine::LoadResourcesInBackground() {
  CoInitialize(nullptr);

  XmlNodeRef cfgRoot = LoadXmlRoot(kCfgFile);
  // Without it there would be no music, no sounds and no worker in play: no day could be won.
  if (!cfgRoot) mUnreadableDocument = kCfgFile;
  mMusic->LoadMusicTable(cfgRoot.Get());
  LoadSoundTable(cfgRoot.Get());

  XmlNodeRef uiRoot = LoadXmlRoot(kUiFile);
  // Without it no screen could be made: the window would stay black.
  if (!uiRoot && mUnreadableDocument.empty()) mUnreadableDocument = kUiFile;
  mTextures->ReadUiTextures(uiRoot.Get());
  mFonts->ReadUiFonts(uiRoot.Get());
  mCursors->ReadCursors(uiRoot.Get(), mTextures.get());
  // Recorded here and applied on the main thread when the loading has finished.
  mCursors->SetCursor("normal");
  mCursors->HideCursor();
}

void QCEngine::OnLoadingFinished() {
  if (!mUnreadableDocument.empty()) StopOnUnreadableFile(mUnreadableDocument);
  mCursors->ApplyPendingCursor();
  mCursors->ShowCursor();
}

bool QCEngine::RunLoopStep(bool* updated) {
  // The loading-done flag is also what demo playback compares with its recorded event (demos are
  // off in this game); it is read through the atomic every time.
  if (mLoadingThreadCompleted.load(std::memory_order_acquire) && gCurrentBoard && gCurrentBoard->IsLevelLoading())
    gCurrentBoard->OnLevelLoaded();
  PumpSoundSystem(timeGetTime());  // the music fades step here, on the main thread
  return VelkAppBase::RunLoopStep(updated);
}

void QCEngine::OnFocusGained() {
  VelkAppBase::OnFocusGained();
  PauseAllSound(false);
}

void QCEngine::OnFocusLost() {
  VelkAppBase::OnFocusLost();
  PauseAllSound(true);
}

void QCEngine::DrawOverlay(Velk::Graphics* g) {
  VelkAppBase::DrawOverlay(g);
  if (mCursors) mCursors->Draw(g);
}

bool QCEngine::LoadLocTable() { return mLocTexts->LoadLocTable(); }

Velk::Font* QCEngine::GetFontByName(const std::string& name) { return mFonts ? mFonts->GetFont(name) : nullptr; }

void QCEngine::WidgetsLock() {
  if (!mRootDialog) return;
  mWidgetManager->BringToFront(mRootDialog);
  mRootDialog->SetVisible(true);
}

void QCEngine::WidgetsUnlock() {
  if (mRootDialog) mRootDialog->SetVisible(false);
}
