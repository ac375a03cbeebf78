#include "app/AppTestSupport.h"
#include "app/ChildProcess.h"
#include "graphics/DDImage.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "platform/ScopedCurrentFolder.h"
#include "platform/msgbox/MessageBox.h"
#include "sound/DSoundManager.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace Velk::Testing {
namespace {

class AppServicesTest : public AppTest {
 protected:
  ~AppServicesTest() override { SetMessageBoxHook(nullptr); }
};

TEST_F(AppServicesTest, MutesCountAndTheDevicesHearNothingWhileMuted) {
  CountingApp& app = StartApp();
  auto* sound = dynamic_cast<DSoundManager*>(app.mSoundManager);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->GetVolume(), 0.85);
  app.Mute(true);
  app.Mute(true);
  app.Unmute(true);
  EXPECT_TRUE(app.IsMuted());
  EXPECT_EQ(sound->GetVolume(), 0.0);
  EXPECT_EQ(app.GetMusicVolume(), 0.85);  // the volumes themselves are kept
  app.Unmute(true);
  EXPECT_FALSE(app.IsMuted());
  EXPECT_EQ(sound->GetVolume(), 0.85);
  app.Unmute(false);  // nothing left to take back
  EXPECT_EQ(app.mMuteCount, 0);
}

TEST_F(AppServicesTest, AManualUnmuteOfAnAutomaticMuteKeepsTheCountsInStep) {
  CountingApp& app = MakeApp();
  app.Mute(true);     // focus lost
  app.Unmute(false);  // the player unmutes by hand
  app.Unmute(true);   // focus back
  EXPECT_EQ(app.mMuteCount, 0);
  EXPECT_EQ(app.mAutoMuteCount, 0);
  app.Mute(false);
  EXPECT_EQ(app.mMuteCount - app.mAutoMuteCount, 1);  // saved as muted
}

class Doomed : public Widget {
 public:
  explicit Doomed(int* deaths) : deaths_(deaths) {}
  ~Doomed() override { ++*deaths_; }

 private:
  int* deaths_;
};

// A second copy over settings that a running copy holds, started in another session (a runtime
// folder of its own, which the single-instance notice does not reach), is told and ends before it
// reads them: settings.ini keeps its bytes and its inode.
TEST_F(AppServicesTest, ASecondCopyOverHeldSettingsEndsBeforeItReadsThem) {
  std::map<std::string, std::string> env = {{"XDG_CONFIG_HOME", scratch_.Path()},
                                            {"XDG_DATA_HOME", scratch_ / "data"},
                                            {"XDG_RUNTIME_DIR", scratch_.Path()},
                                            {"VELK_BACKEND", "headless"},
                                            {"SDL_AUDIODRIVER", "dummy"}};
  ChildProcess first({VELK_CHILD_APP}, env);
  ASSERT_TRUE(first.WaitForLine("running", 10000 * kChildSlowdown));
  const std::string settings = scratch_ / "Velk Tests/Child/settings.ini", errors = scratch_ / "second.txt";
  const std::string bytes = ReadWholeFile(settings);
  struct stat before {};
  struct stat after {};
  ASSERT_EQ(stat(settings.c_str(), &before), 0);
  env["XDG_RUNTIME_DIR"] = scratch_ / "elsewhere";
  std::filesystem::create_directories(env["XDG_RUNTIME_DIR"]);
  ChildProcess second({VELK_CHILD_APP}, env, 1, "", errors);
  const std::optional<int> status = second.WaitForEnd(10000 * kChildSlowdown);
  ASSERT_TRUE(status) << "the second copy still runs";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "status " << *status;
  EXPECT_NE(ReadWholeFile(errors).find("VelkChild is already running for this player"), std::string::npos)
      << ReadWholeFile(errors);
  ASSERT_EQ(stat(settings.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadWholeFile(settings), bytes);
}

TEST_F(AppServicesTest, DeferredDeletionWaitsUntilTheLoopIsBackAtItsDepth) {
  CountingApp& app = MakeApp();
  int deaths = 0;
  app.mUpdateAppDepth = 2;
  app.SafeDelete(new Doomed(&deaths));
  app.mUpdateAppDepth = 3;
  app.ProcessSafeDeletes();
  EXPECT_EQ(deaths, 0);
  app.mUpdateAppDepth = 2;
  app.ProcessSafeDeletes();
  EXPECT_EQ(deaths, 1);
  app.mUpdateAppDepth = 1;
  app.SafeDelete(new Doomed(&deaths));
  app.mUpdateAppDepth = 0;
  app.ProcessSafeDeletes();
  EXPECT_EQ(deaths, 2);
  EXPECT_TRUE(app.mSafeDeleteList.empty());
}

TEST_F(AppServicesTest, TheDialogMapPlacesReplacesAndRemoves) {
  CountingApp& app = StartApp();
  Dialog* first = app.ShowDialog(4, true, L"Header", L"Lines", L"", 0);
  ASSERT_EQ(app.GetDialog(4), first);
  EXPECT_EQ(first->mX, 200);
  EXPECT_EQ(first->mY, 120);
  EXPECT_EQ(first->mWidth, 400);
  EXPECT_EQ(app.mWidgetManager->mModalWidget, static_cast<Widget*>(first));

  Dialog* second = app.ShowDialog(4, false, L"Again", L"", L"", 0);
  EXPECT_EQ(app.GetDialogCount(), 1);
  EXPECT_EQ(app.GetDialog(4), second);
  EXPECT_EQ(app.mSafeDeleteList.size(), 1u);  // the older one goes at the next processing
  EXPECT_FALSE(app.mWidgetManager->HasChild(first));
  app.ProcessSafeDeletes();

  EXPECT_FALSE(app.RemoveDialog(99));
  EXPECT_TRUE(app.RemoveDialog(4));
  EXPECT_EQ(app.GetDialogCount(), 0);
  app.ProcessSafeDeletes();
}

TEST_F(AppServicesTest, StringPropertiesHaveDefaults) {
  CountingApp& app = MakeApp();
  EXPECT_EQ(app.GetString("DIALOG_BUTTON_OK", L"x"), L"OK");
  EXPECT_EQ(app.GetString("NO_SUCH_TEXT", L"fallback"), L"fallback");
  app.SetString("DIALOG_BUTTON_OK", L"Fine");
  EXPECT_EQ(app.GetString("DIALOG_BUTTON_OK", L"x"), L"Fine");
}

TEST_F(AppServicesTest, MessageBoxesAreAnsweredAndFatalBoxesSkippedAfterShutdown) {
  CountingApp& app = StartApp();
  std::wstring seen;
  int boxes = 0;
  SetMessageBoxHook([&](const std::wstring& text, const std::wstring& caption, UINT) {
    ++boxes;
    seen = caption + L":" + text;
    return IDYES;
  });
  EXPECT_EQ(app.MsgBoxW(L"Keep?", L"Question", MB_YESNO), IDYES);
  EXPECT_EQ(seen, L"Question:Keep?");
  app.ShowFatalErrorA("broken");
  EXPECT_EQ(seen, L"FATAL ERROR:broken");
  app.Shutdown();
  app.ShowFatalErrorW(L"late");
  EXPECT_EQ(boxes, 2);
}

TEST_F(AppServicesTest, InScreenSaverModeBoxesGoToTheErrorLog) {
  CountingApp& app = MakeApp();
  app.mIsScreenSaver = true;
  std::string log = scratch_ / "ScrError.txt";
  const ScopedCurrentFolder inScratch(scratch_.Path());
  EXPECT_EQ(app.MsgBoxA("first", "c", MB_OK), IDOK);
  app.ShowFatalErrorW(L"second");
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().find("first "), 0u);
  EXPECT_NE(text.str().find("\nsecond "), std::string::npos);
}

// The log is replaced whole, never written in place: another name of the old file keeps its text.
TEST_F(AppServicesTest, TheErrorLogIsReplacedWholeAtEveryLine) {
  CountingApp& app = MakeApp();
  app.mIsScreenSaver = true;
  const ScopedCurrentFolder inScratch(scratch_.Path());
  app.MsgBoxA("one", "c", MB_OK);
  std::filesystem::create_hard_link(scratch_ / "ScrError.txt", scratch_ / "before.txt");
  app.MsgBoxA("two", "c", MB_OK);
  std::ifstream before(scratch_ / "before.txt");
  std::stringstream kept;
  kept << before.rdbuf();
  EXPECT_EQ(kept.str().find("two"), std::string::npos);
  std::ifstream log(scratch_ / "ScrError.txt");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_EQ(text.str().find("one "), 0u);
  EXPECT_NE(text.str().find("\ntwo "), std::string::npos);
}

TEST_F(AppServicesTest, SharedImagesAreFoundWithoutCaseAndFreedAtTheNextUpdate) {
  CountingApp& app = StartApp();
  bool isNew = false;
  SharedImageHandle first = app.GetSharedImage("!scratch", "", &isNew);
  EXPECT_TRUE(isNew);
  ASSERT_NE(first.GetImage(), nullptr);
  SharedImageHandle second = app.GetSharedImage("!SCRATCH", "", &isNew);
  EXPECT_FALSE(isNew);
  EXPECT_EQ(second.GetImage(), first.GetImage());
  SharedImageHandle other = app.GetSharedImage("!scratch", "big", &isNew);
  EXPECT_TRUE(isNew);

  first.Release();
  second.Release();
  EXPECT_EQ(app.mSharedImageMap.size(), 2u);  // nothing goes at once
  app.RunLogicUpdate();
  EXPECT_EQ(app.mSharedImageMap.size(), 1u);
  EXPECT_EQ(app.GetSharedImage("missing-file", "", &isNew).GetImage(), nullptr);
}

TEST_F(AppServicesTest, SharedImagesTakenAndDroppedFromTwoThreads) {
  CountingApp& app = StartApp();
  auto worker = [&app] {
    for (int i = 0; i < 200; ++i) {
      SharedImageHandle handle = app.GetSharedImage("!shared" + std::to_string(i % 4), "", nullptr);
      EXPECT_NE(handle.GetImage(), nullptr);  // never an entry still being loaded
    }
  };
  std::thread loader(worker);
  for (int i = 0; i < 200; ++i) {
    worker();
    app.RunLogicUpdate();
  }
  loader.join();
  app.RunLogicUpdate();
  EXPECT_TRUE(app.mSharedImageMap.empty());
}

TEST_F(AppServicesTest, CopiesTakeTheRegionAndTheCelLayout) {
  CountingApp& app = StartApp();
  MemoryImage source;
  source.CreateBlank(4, 3);
  source.mNumRows = 3;
  std::unique_ptr<DDImage> copy(app.CopyImageRegion(&source, Rect(1, 1, 2, 2)));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetWidth(), 2);
  EXPECT_EQ(copy->GetHeight(), 2);
  EXPECT_EQ(copy->mNumRows, 3);
  std::unique_ptr<DDImage> whole(app.DuplicateImage(&source));
  EXPECT_EQ(whole->GetWidth(), 4);
}

TEST_F(AppServicesTest, OpeningTheSameAddressTwiceOpensItOnce) {
  CountingApp& app = StartApp();
  EXPECT_TRUE(app.OpenURL("https://example.org/", true));
  EXPECT_TRUE(app.OpenURL("https://example.org/", false));
  EXPECT_EQ(headless_->OpenedUrls().size(), 1u);
  app.OnUrlOpened("https://example.org/");  // asked to shut down once opened
  EXPECT_TRUE(app.mShutdown);
}

TEST_F(AppServicesTest, APendingAddressCountsAsOpenedOrFailedByTime) {
  Clock::UseManual(100000);
  CountingApp& app = StartApp();
  app.mRunning = true;
  auto timers = [&app](int ms) {
    for (int t = 0; t < ms; t += 100) {
      Clock::Advance(100);
      VelkAppBase::WindowProc(app.mHWnd, WM_TIMER, 100, 0);
      app.ProcessDeferredInput(false);
    }
  };
  app.OpenURL("https://example.org/a", false);
  app.mActive = false;  // the browser came up in front
  timers(8000);
  EXPECT_TRUE(app.mIsOpeningURL);
  timers(100);
  EXPECT_FALSE(app.mIsOpeningURL);

  app.OpenURL("https://example.org/b", false);
  app.mActive = true;  // nothing took the focus
  timers(12000);
  EXPECT_TRUE(app.mIsOpeningURL);
  timers(100);
  EXPECT_FALSE(app.mIsOpeningURL);
  EXPECT_FALSE(app.mShutdown);
}

}  // namespace
}  // namespace Velk::Testing
