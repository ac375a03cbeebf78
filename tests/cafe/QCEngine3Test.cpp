#include "cafe/QCEngine3.h"

#include "engine/EngineTestSupport.h"
#include "engine/LocTexts.h"
#include "platform/clock/Clock.h"
#include "scene/QCItem.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

class TestGame : public QCEngine3 {
 public:
  explicit TestGame(const std::string& dataFolder) {
    std::filesystem::current_path(dataFolder);
    mIsWindowed = true;
    mEnforceSingleInstance = false;
  }
  bool HandleWorkingDirectory(const std::string&) override { return true; }
};

// A screen that remembers which one it is and on which thread it was made.
class TestScreen : public Velk::Widget {
 public:
  explicit TestScreen(int slot) : slot(slot), madeOn(std::this_thread::get_id()) { SetVisible(false); }
  int slot;
  std::thread::id madeOn;
};

// The creators are plain functions; what they share with the test lives here.
std::atomic<bool> gHoldLoader{false};
std::atomic<bool> gLoaderEntered{false};

template <int Slot>
Velk::Widget* MakeScreen(QCEngine3*, IXMLDOMNode* root) {
  EXPECT_NE(root, nullptr) << "every screen gets the root of cfg\\ui.xml";
  return new TestScreen(Slot);
}

Velk::Widget* MakeSlowScreen(QCEngine3*, IXMLDOMNode*) {
  gLoaderEntered = true;
  while (gHoldLoader) std::this_thread::yield();
  return new TestScreen(0);
}

QCEngine3::ScreenCreators TestScreens() {
  return {MakeScreen<0>, MakeScreen<1>, MakeScreen<2>, MakeScreen<3>, MakeScreen<4>,
          MakeScreen<5>, MakeScreen<6>, MakeScreen<7>, MakeScreen<8>, MakeScreen<9>};
}

// The slots of the widget manager's test screens, bottom to top.
std::vector<int> Stacking(const QCEngine3& game) {
  std::vector<int> slots;
  for (Velk::Widget* child : game.mWidgetManager->mWidgets) {
    if (auto* screen = dynamic_cast<TestScreen*>(child)) slots.push_back(screen->slot);
  }
  return slots;
}

class GameAppTest : public EngineTest {
 protected:
  ~GameAppTest() override { game_.reset(); }

  void WriteGameData(const std::string& title) {
    WriteStartUpData();
    WriteData("cfg/loc.xml", "<root>" + title + "<loc id='record_survival_name_01' text='First'/></root>");
  }
  TestGame& MakeGame() {
    game_ = std::make_unique<TestGame>(scratch_.Path());
    return *game_;
  }
  TestGame& StartGame() {
    TestGame& game = MakeGame();
    game.Init();
    return game;
  }
  // Runs the main loop until it has handed the loading's end over (a few updates at most).
  void StepUntilLoaded() {
    game_->ResetTiming(false);
    for (int i = 0; i < 1000 && !game_->mLoadingFinishHandled; ++i) {
      bool updated = false;
      game_->RunLoopStep(&updated);
    }
    ASSERT_TRUE(game_->mLoadingFinishHandled);
  }

  std::unique_ptr<TestGame> game_;
};

TEST_F(GameAppTest, IdentityAndStartUpOrder) {
  WriteGameData("<loc id='app_title' text='Sample Cafe'/>");
  TestGame& game = MakeGame();
  EXPECT_EQ(game.mProdName, "Pelune Cafe");
  EXPECT_EQ(game.mProductVersion, "1.0");
  EXPECT_EQ(game.mRegKey, "Drimak Games\\Pelune Cafe");
  EXPECT_EQ(game.mTitle, L"");
  EXPECT_EQ(GetEngine(), &game);

  game.Init();
  ASSERT_FALSE(game.mShutdown);
  EXPECT_EQ(game.mTitle, L"Sample Cafe");
  EXPECT_TRUE(game.m3DTestRequested);
  EXPECT_TRUE(game.mVSyncUpdates);
  // pref.dat was made, and its default tables came from the texts: they were loaded before it.
  std::filesystem::path pref = scratch_ / "xdg-data/Drimak Games/Pelune/pref.dat";
  ASSERT_TRUE(std::filesystem::exists(pref));
  EXPECT_EQ(std::filesystem::file_size(pref), 5240u);
  EXPECT_EQ(std::wstring(game.mPref.GetHiScoreTable(true)[0].mName), L"First");
}

TEST_F(GameAppTest, WithoutATitleTextTheTitleIsEmpty) {
  WriteGameData("");
  TestGame& game = StartGame();
  ASSERT_FALSE(game.mShutdown);
  EXPECT_EQ(game.mTitle, L"");
}

TEST_F(GameAppTest, ScreensAreMadeOnTheLoadingThreadAndStackedOnTheMainThread) {
  WriteGameData("");
  TestGame& game = StartGame();
  game.mScreenCreators = TestScreens();
  game.StartLoadingThread();
  game.WaitForLoader();
  EXPECT_TRUE(Stacking(game).empty()) << "the loading thread adds nothing to the widget tree";
  for (Velk::Widget* screen : game.mScreens) {
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(static_cast<TestScreen*>(screen)->madeOn, std::this_thread::get_id());
  }

  StepUntilLoaded();
  // Menu backdrop, loading screen, main menu, options, help, hi-scores, career, survival, board, splash.
  EXPECT_EQ(Stacking(game), (std::vector<int>{2, 1, 3, 4, 5, 6, 7, 8, 0, 9}));
  EXPECT_TRUE(game.mScreens[QCEngine3::kSplashScreen]->mVisible);
  EXPECT_FALSE(game.mScreens[QCEngine3::kMenuScreen]->mVisible);
}

TEST_F(GameAppTest, AScreenThatWasNotMadeIsLeftOut) {
  WriteGameData("");
  TestGame& game = StartGame();
  game.mScreenCreators = TestScreens();
  game.mScreenCreators[QCEngine3::kHelpScreen] = nullptr;
  game.mScreenCreators[QCEngine3::kSplashScreen] = [](QCEngine3*, IXMLDOMNode*) -> Velk::Widget* { return nullptr; };
  game.StartLoadingThread();
  game.WaitForLoader();
  StepUntilLoaded();
  EXPECT_EQ(Stacking(game), (std::vector<int>{2, 1, 3, 4, 6, 7, 8, 0}));
  EXPECT_EQ(std::count(game.mWidgetManager->mWidgets.begin(), game.mWidgetManager->mWidgets.end(), nullptr), 0);
}

// The main menu goes with the load, whichever screen started it, and stays off the screen when the
// load screen leaves.
TEST_F(GameAppTest, TheLoadingScreenComesToTheFrontWhileALevelLoads) {
  WriteGameData("");
  TestGame& game = StartGame();
  game.OnLevelLoadingStarted();  // before the screens exist: nothing to show
  game.mScreenCreators = TestScreens();
  game.StartLoadingThread();
  game.WaitForLoader();
  StepUntilLoaded();
  Velk::Widget* loading = game.mScreens[QCEngine3::kLoadScreen];
  Velk::Widget* mainMenu = game.mScreens[QCEngine3::kMainMenuScreen];
  mainMenu->SetVisible(true);
  game.OnLevelLoadingStarted();
  EXPECT_TRUE(loading->mVisible);
  EXPECT_FALSE(mainMenu->mVisible);
  EXPECT_EQ(game.mWidgetManager->mWidgets.back(), loading);
  EXPECT_EQ(game.mWidgetManager->mFocusWidget, loading);
  game.OnLevelLoadingFinished();
  EXPECT_FALSE(loading->mVisible);
  EXPECT_FALSE(mainMenu->mVisible);
}

TEST_F(GameAppTest, ClosingWhileScreensLoadWaitsForTheLoadingThread) {
  WriteGameData("");
  TestGame& game = StartGame();
  game.mScreenCreators = TestScreens();
  game.mScreenCreators[QCEngine3::kBoardScreen] = MakeSlowScreen;
  gHoldLoader = true;
  gLoaderEntered = false;
  game.StartLoadingThread();
  while (!gLoaderEntered) std::this_thread::yield();

  std::atomic<bool> deleted{false};
  DWORD before = timeGetTime();
  std::thread closer([&] {
    game_.reset();
    deleted = true;
  });
  // Given time to end, it has not: it waits, in real time, and leaves the manual clock where it stood.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(deleted);
  EXPECT_EQ(timeGetTime(), before);
  gHoldLoader = false;
  closer.join();
  EXPECT_TRUE(deleted);
}

// Every keyword of the cafe's table finds its row in the scene's factory, and each row then makes
// the cafe's own kind rather than a plain item.
TEST(CafeObjectCreators, EveryKeywordFindsItsRow) {
  EXPECT_TRUE(SetCafeObjectCreators());
  for (const char* keyword : {"boss", "worker", "tray", "status_bubble", "trash_bin", "status_hp_worker",
                              "status_hp_client", "period_item", "client", "client_sit", "item_bonus"}) {
    SceneObjectCreator create = GetSceneObjectCreator(keyword);
    ASSERT_NE(create, nullptr) << keyword;
    std::unique_ptr<QCItem> item(create());
    EXPECT_NE(typeid(*item), typeid(QCItem)) << keyword;
  }
}

}  // namespace
