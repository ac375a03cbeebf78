#pragma once
// The game's application class on top of the framework. It mounts the data archives, owns the
// engine-wide managers (cursors, textures, fonts, localised texts, text variables), loads the "Init"
// resources and the effect definitions at start-up, reads the UI textures, fonts and cursors on the
// start-up loading thread, hands a level load finished on the loading thread over to the main
// thread, and draws the game's own cursor. One per process; GetEngine reaches it.

#include <memory>
#include <string>
#include <vector>

#include "app/VelkAppBase.h"

class PakInterface;
class QCCursorManager;
class QCMusicManager;
class QCParticleRegistry;
class QCSoundSystem;
class QCTextureManager;
class QCFont;
class LocTexts;
class TextVars;

namespace Velk {
class Font;
class Graphics;
class Widget;
}  // namespace Velk

class QCEngine : public Velk::VelkAppBase {
 public:
  explicit QCEngine(int arg = 0);
  ~QCEngine() override;

  // Nested loops (confirmation waits) call the step without an argument.
  using Velk::VelkAppBase::RunLoopStep;

  void Init() override;
  // LoadingThreadCompleted: the game cursor is drawn from now on.
  void OnLoadingFinished() override;
  // LoadingThreadProc: the tables of cfg\cfg.xml and the textures, fonts and cursors of cfg\ui.xml.
  void LoadResourcesInBackground() override;
  // The manager's error, and for each of the game's archives that is not there a line that names
  // it: a file neither in an archive nor loose is then most likely missing with its archive.
  std::string ResourceErrorText() const override;
  // UpdateAppStep: the level hand-over, then the framework's step.
  bool RunLoopStep(bool* updated) override;
  // DrawCursor: the framework's overlays, then the game cursor on top.
  void DrawOverlay(Velk::Graphics* g) override;
  // OnAppActivated and OnAppDeactivated: all game sound pauses while the window has no focus.
  void OnFocusGained() override;
  void OnFocusLost() override;

  // The cafe's application shows and hides its loading screen in these.
  virtual void OnLevelLoadingStarted() {}
  virtual void OnLevelLoadingFinished() {}

  // Reads cfg\loc.xml into the engine's table (the cafe's application calls it in its Init).
  bool LoadLocTable();
  // An archive that is there but cannot be mounted ends the process (status 1) with a message that
  // names it; the cafe's application calls this before it reads or writes anything.
  void StopOnDamagedArchive();
  // A start-up file without which the game cannot show a screen: a message naming it, status 1.
  [[noreturn]] void StopOnUnreadableFile(const std::string& path);
  // Null for a name cfg\ui.xml does not declare.
  Velk::Font* GetFontByName(const std::string& name);
  // The root dialog brought to the front and shown: it takes all mouse input while an effect plays.
  void WidgetsLock();
  void WidgetsUnlock();

  QCCursorManager* GetCursorManager() const { return mCursors.get(); }
  QCMusicManager* GetMusicManager() const { return mMusic.get(); }
  QCTextureManager* GetTextureManager() const { return mTextures.get(); }
  QCParticleRegistry* GetParticles() const { return mParticles.get(); }
  QCFont* GetFontTable() const { return mFonts.get(); }
  LocTexts* GetLocTexts() const { return mLocTexts.get(); }
  TextVars* GetTextVars() const { return mTextVars.get(); }
  PakInterface* GetPak() const { return mPak.get(); }
  Velk::Widget* GetRootDialog() const { return mRootDialog; }

  int mConstructorArg = 0;
  int mLogicalWidth = 800;
  int mLogicalHeight = 600;
  // Set by the constructor; nothing reads them.
  float mSpareA = -23.0f;
  float mSpareB = 203.0f;

 protected:
  // One line per game archive that was not found, each after a line break; empty when none.
  std::string MissingArchivesText() const;

  std::unique_ptr<QCCursorManager> mCursors;
  std::unique_ptr<PakInterface> mPak;
  // Its end is the engine's stop of the sound library. The sound table itself is process-wide
  // (QCSoundTable.h).
  std::unique_ptr<QCSoundSystem> mSoundSystem;
  std::unique_ptr<QCMusicManager> mMusic;
  std::unique_ptr<QCParticleRegistry> mParticles;
  std::unique_ptr<QCTextureManager> mTextures;
  std::unique_ptr<QCFont> mFonts;
  std::unique_ptr<LocTexts> mLocTexts;
  std::unique_ptr<TextVars> mTextVars;
  // The full-screen root dialog (a QCDialog), owned by the widget manager.
  Velk::Widget* mRootDialog = nullptr;
  // The first archive found damaged by the constructor, or empty.
  std::string mDamagedArchive;
  // The game's archives the constructor did not find.
  std::vector<std::string> mMissingArchives;
  // Set on the loading thread to the first start-up document (cfg\cfg.xml, cfg\ui.xml) that has no
  // root; acted on once the loading has finished.
  std::string mUnreadableDocument;
};

// The one engine; null before it is made and after it is gone.
QCEngine* GetEngine();
