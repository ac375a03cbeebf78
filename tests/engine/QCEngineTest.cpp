#include "engine/QCEngine.h"

#include <cstdlib>

#include "engine/EngineTestSupport.h"
#include "engine/LocTexts.h"
#include "engine/QCCursorManager.h"
#include "engine/QCDialog.h"
#include "engine/QCEffect.h"
#include "engine/QCFont.h"
#include "engine/QCLevelHandOver.h"
#include "engine/QCTexture.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/modules/Modules.h"
#include "platform/msgbox/MessageBox.h"
#include "platform/window/WinUser.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace {

class FakeBoard : public QCLevelHandOver {
 public:
  bool IsLevelLoading() const override { return loading; }
  void OnLevelLoaded() override {
    ++handedOver;
    loading = false;
  }
  bool loading = false;
  int handedOver = 0;
};

// A screen that changes on every update, so that every frame is drawn and presented.
class Ticker : public Velk::Widget {
 public:
  void Update() override {
    Velk::Widget::Update();
    Invalidate();
  }
};

uint32_t PixelAt(const std::vector<uint32_t>& frame, int width, int x, int y) {
  return frame[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] & 0xFFFFFF;
}

}  // namespace

TEST_F(EngineTest, TheEngineIsPublishedWithItsManagersAndGoneAfterwards) {
  TestEngine& engine = MakeEngine();
  EXPECT_EQ(GetEngine(), &engine);
  EXPECT_EQ(QCTextureManager::Get(), engine.GetTextureManager());
  EXPECT_EQ(&CurrentTextVars(), engine.GetTextVars());
  EXPECT_EQ(&CurrentLocTexts(), engine.GetLocTexts());
  EXPECT_NE(engine.GetCursorManager(), nullptr);
  EXPECT_NE(engine.GetFontTable(), nullptr);
  EXPECT_EQ(engine.mProdName, "Morvex1");
  EXPECT_EQ(engine.mRegKey, "Drimak Games\\Morvex1");
  EXPECT_EQ(engine.mWidth, 800);
  EXPECT_EQ(engine.mHeight, 600);
  EXPECT_EQ(engine.mLogicalWidth, 800);
  engine_.reset();
  EXPECT_EQ(GetEngine(), nullptr);
  EXPECT_EQ(QCTextureManager::Get(), nullptr);
  EXPECT_NE(&CurrentTextVars(), nullptr);
}

TEST_F(EngineTest, ALoadedLevelIsHandedOverOnceAndOnlyToALoadingBoard) {
  TestEngine& engine = MakeEngine();
  engine.mMainThreadId = GetCurrentThreadId();
  engine.ResetTiming(false);
  FakeBoard board;
  engine.mLoadingThreadCompleted = true;
  Steps(3);  // no board: only the framework's step
  SetCurrentBoardHandOver(&board);
  Steps(3);
  EXPECT_EQ(board.handedOver, 0) << "a board that is not loading";
  board.loading = true;
  Steps(3);
  EXPECT_EQ(board.handedOver, 1);
  board.loading = true;
  engine.mLoadingThreadCompleted = false;  // a level loading: not finished yet
  Steps(3);
  EXPECT_EQ(board.handedOver, 1);
  SetCurrentBoardHandOver(nullptr);
}

TEST_F(EngineTest, TheRootDialogShieldsTheWidgetsWhileLocked) {
  TestEngine& engine = MakeEngine();
  auto* root = dynamic_cast<QCDialog*>(engine.GetRootDialog());
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->mLayout, Velk::Rect(0, 0, 800, 600));
  EXPECT_FALSE(root->mVisible);
  auto* other = new Velk::Widget();
  engine.mWidgetManager->AddChild(other);
  engine.WidgetsUnlock();  // without a lock: stays hidden
  EXPECT_FALSE(root->mVisible);
  engine.WidgetsLock();
  EXPECT_TRUE(root->mVisible);
  EXPECT_EQ(engine.mWidgetManager->mWidgets.back(), root) << "brought to the front";
  engine.WidgetsUnlock();
  EXPECT_FALSE(root->mVisible);
  // The exported callbacks of the same names do the same.
  auto lock = reinterpret_cast<EffectCallback>(GetProcAddress(GetModuleHandleA(nullptr), "WidgetsLock"));
  auto unlock = reinterpret_cast<EffectCallback>(GetProcAddress(GetModuleHandleA(nullptr), "WidgetsUnlock"));
  ASSERT_NE(lock, nullptr);
  lock(nullptr);
  EXPECT_TRUE(root->mVisible);
  unlock(nullptr);
  EXPECT_FALSE(root->mVisible);
}

TEST_F(EngineTest, StartsFromLooseFilesAndDrawsTheCursorOnceLoaded) {
  WriteStartUpData();
  TestEngine& engine = StartEngine();
  ASSERT_FALSE(engine.mShutdown);
  std::unique_ptr<QCEffect> effect(CreateEffectByName("blink"));
  EXPECT_NE(effect, nullptr) << "effect definitions loaded by Init";
  EXPECT_TRUE(engine.LoadLocTable());
  EXPECT_EQ(GetLocText("app_title"), L"Sample Cafe");

  engine.StartLoadingThread();
  engine.WaitForLoader();
  QCCursorManager* cursors = engine.GetCursorManager();
  EXPECT_TRUE(cursors->HasCursor("normal"));
  EXPECT_FALSE(cursors->HasCursor("active")) << "its texture is not declared";
  EXPECT_NE(engine.GetFontByName("small"), nullptr);
  EXPECT_EQ(engine.GetFontByName("large"), nullptr);
  // Chosen on the loading thread, applied on the main thread: nothing is drawn until then.
  EXPECT_EQ(cursors->GetCurrentName(), "");
  EXPECT_FALSE(cursors->IsDrawEnabled());

  auto* ticker = new Ticker();
  ticker->SetBounds(0, 0, 800, 600);
  engine.mWidgetManager->AddChild(ticker);
  Velk::HeadlessBackend* headless = static_cast<Velk::HeadlessBackend*>(&Velk::Backend::Get());
  headless->InjectMouseMove(engine.mHWnd, 100, 200);
  engine.ResetTiming(false);
  Steps(150);
  EXPECT_EQ(cursors->GetCurrentName(), "normal");
  EXPECT_TRUE(cursors->IsDrawEnabled());
  EXPECT_TRUE(engine.mCustomCursorsEnabled);
  EXPECT_EQ(engine.mWidgetManager->mLastMouseX, 100);

  int width = 0, height = 0;
  std::vector<uint32_t> frame = Velk::DDrawScreen::Snapshot(&width, &height);
  ASSERT_EQ(width, 800);
  // The 4 x 4 cursor at the mouse minus its hot spot (1, 2); the windowed primary is the client area.
  const int x = 99, y = 198;
  EXPECT_EQ(PixelAt(frame, width, x, y), 0xFF0000u);
  EXPECT_EQ(PixelAt(frame, width, x + 3, y + 3), 0xFF0000u);
  EXPECT_NE(PixelAt(frame, width, x - 1, y), 0xFF0000u);
  EXPECT_NE(PixelAt(frame, width, x + 4, y + 4), 0xFF0000u);
  engine.Shutdown();
}

TEST_F(EngineTest, AFailingInitGroupShowsTheErrorAndEndsTheProgram) {
  scratch_.Write("properties/resources.xml",
                 "<ResourceManifest><Resources id=\"Init\"><Image id=\"GFX_GAME_GROUND\" path=\"img/none.png\"/>"
                 "</Resources></ResourceManifest>");
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        scratch_.RemoveAtExit();
        Velk::SetMessageBoxHook([](const std::wstring&, const std::wstring&, UINT) { return IDOK; });
        StartEngine();
      },
      ::testing::ExitedWithCode(1), "\\[FATAL ERROR\\].*none");
  GTEST_FLAG_SET(death_test_style, style);
}

// Without its effects the splash would never end; without its UI document the window would stay
// black: either ends the start-up with a message that names the file.
TEST_F(EngineTest, AnUnreadableEffectOrUiDocumentEndsTheProgramNamingIt) {
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  WriteStartUpData();
  scratch_.Write("cfg/effect.xml", std::string(64, '\0'));
  EXPECT_EXIT(
      {
        scratch_.RemoveAtExit();
        Velk::SetMessageBoxHook([](const std::wstring&, const std::wstring&, UINT) { return IDOK; });
        StartEngine();
      },
      ::testing::ExitedWithCode(1), "\\[FATAL ERROR\\].*cfg.effect\\.xml");
  WriteStartUpData();
  scratch_.Write("cfg/ui.xml", std::string(64, '\0'));
  EXPECT_EXIT(
      {
        scratch_.RemoveAtExit();
        Velk::SetMessageBoxHook([](const std::wstring&, const std::wstring&, UINT) { return IDOK; });
        TestEngine& engine = StartEngine();
        engine.LoadResourcesInBackground();
        engine.OnLoadingFinished();
      },
      ::testing::ExitedWithCode(1), "\\[FATAL ERROR\\].*cfg.ui\\.xml");
  GTEST_FLAG_SET(death_test_style, style);
}
