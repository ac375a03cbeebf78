// The front end on a started game with its real main loop, driven only through the window: the
// screens are made on the loading thread and stacked on the main thread; a question's nested loop
// takes its answer from the queue while the click that asked it is still being handled.
#include <cwchar>

#include "ScreenFixture.h"
#include "cafe/QCBoard_Game3.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "engine/EngineTestSupport.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_Confirm1.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_LoadScreen.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Menu.h"
#include "screens/QCBoard_Options.h"
#include "screens/QCBoard_Splash.h"
#include "screens/QCBoard_Survival.h"
#include "ui/QCList.h"
#include "ui/QCSlider.h"

namespace {

constexpr UINT kEnter = 13;

class PlayGame : public QCEngine3 {
 public:
  explicit PlayGame(const std::string& dataFolder) {
    std::filesystem::current_path(dataFolder);
    mIsWindowed = true;
    mEnforceSingleInstance = false;
  }
  bool HandleWorkingDirectory(const std::string&) override { return true; }
};

class PlaythroughTest : public EngineTest {
 protected:
  PlaythroughTest() {
    WriteStartUpData();
    std::string textures = R"(<texture id="cursor_normal" file="img\cursor.png"/>
      <font name="sys" type="System" face="DejaVu Sans" size="12"/>
      <cursors mode="normal" image="cursor_normal" hot_spot_x="1" hot_spot_y="2"/>)";
    for (const char* name : {"white", "grey", "green", "red", "pages_f", "pages_b"}) {
      WriteImage(std::string("img/") + name + ".png", 16, 16, 0xFF808080);
      textures += std::string("<texture id=\"") + name + "\" file=\"img\\" + name + ".png\"/>";
    }
    const std::string splash = UiText::Dialog("splash", "x=\"0\" y=\"0\" width=\"800\" height=\"600\"",
                                              UiText::Dialog("logo", "x=\"300\" y=\"200\" width=\"200\" height=\"200\"",
                                                             R"(<texture id="normal" texture="red"/>)"));
    std::string ui = UiText::Screens(textures + splash);
    WriteData("cfg/ui.xml", ui);
  }
  ~PlaythroughTest() override { game.reset(); }

  PlayGame& Start() {
    game = std::make_unique<PlayGame>(scratch_.Path());
    game->Init();
    const DWORD beforeLoading = timeGetTime();
    game->StartLoadingThread();
    game->WaitForLoader();
    // Waiting takes real time only: the test's clock stands where it stood, whatever the build's speed.
    EXPECT_EQ(timeGetTime(), beforeLoading);
    game->ResetTiming(false);
    for (int i = 0; i < 1000 && !game->mLoadingFinishHandled; ++i) Step();
    EXPECT_TRUE(game->mLoadingFinishHandled);
    return *game;
  }
  Velk::HeadlessBackend& Headless() { return static_cast<Velk::HeadlessBackend&>(Velk::Backend::Get()); }
  bool Step() {
    bool updated = false;
    return game->RunLoopStep(&updated);
  }
  // Runs the loop for that many logic updates, or until it ends.
  void RunUpdates(int count) {
    const DWORD target = game->mUpdateCount + static_cast<DWORD>(count);
    for (int guard = 0; game->mUpdateCount < target && guard < 100000; ++guard) {
      if (!Step()) return;
    }
  }
  void QueueClick(QCCandyWidget* widget) {
    ASSERT_NE(widget, nullptr);
    POINT at = widget->AbsolutePos();
    Headless().InjectMouseMove(game->mHWnd, at.x + 5, at.y + 5);
    Headless().InjectMouseButton(game->mHWnd, Velk::MouseButton::Left, true, at.x + 5, at.y + 5);
    Headless().InjectMouseButton(game->mHWnd, Velk::MouseButton::Left, false, at.x + 5, at.y + 5);
  }
  void ClickOn(QCCandyWidget* widget) {
    QueueClick(widget);
    RunUpdates(3);
  }
  void TypeName(const char* name) {
    Headless().InjectText(game->mHWnd, name);
    Headless().InjectKey(game->mHWnd, kEnter, true);
    Headless().InjectKey(game->mHWnd, kEnter, false);
    RunUpdates(3);
  }

  std::unique_ptr<PlayGame> game;
};

TEST_F(PlaythroughTest, FromTheSplashToQuit) {
  PlayGame& g = Start();
  std::vector<Velk::Widget*> order;
  for (Velk::Widget* child : g.mWidgetManager->mWidgets) {
    if (child != g.GetRootDialog()) order.push_back(child);
  }
  EXPECT_EQ(order, (std::vector<Velk::Widget*>{GetConfirm2(), GetConfirm1(), GetConfirmBackdrop(), GetEscapeMenu(),
                                               g.mMenu, g.mLoadScreen, g.mMainMenu, g.mOptions, g.mHelp, g.mHiScores,
                                               g.mCareer, g.mSurvival, g.mBoard, g.mSplash}));
  RunUpdates(5);
  ASSERT_TRUE(g.mSplash->mVisible);
  Headless().InjectKey(g.mHWnd, 'A', true);
  Headless().InjectKey(g.mHWnd, 'A', false);
  RunUpdates(3);
  ASSERT_FALSE(g.mSplash->mVisible);
  QCBoard_MainMenu& menu = *g.mMainMenu;
  ASSERT_TRUE(menu.mCreateProfile->mVisible) << "the first start asks for a name";
  TypeName("Ann");
  EXPECT_FALSE(menu.mCreateProfile->mVisible);

  ClickOn(menu.mSettings);
  ASSERT_TRUE(g.mOptions->mVisible);
  g.mOptions->mMusvolSlider->SetValue(10);
  RunUpdates(2);
  ClickOn(g.mOptions->mCancel);
  EXPECT_FALSE(g.mOptions->mVisible);
  EXPECT_EQ(g.mPref.mHeader.mMusicVolume, 60);

  ClickOn(menu.mHelp);
  RunUpdates(75);
  ASSERT_TRUE(g.mHelp->mVisible);
  ClickOn(g.mHelp->mNextBtn);
  RunUpdates(75);
  EXPECT_EQ(g.mHelp->mCurrentPage, 1);
  ClickOn(g.mHelp->mClose);
  RunUpdates(75);
  EXPECT_FALSE(g.mHelp->mVisible);

  ClickOn(menu.mScores);
  RunUpdates(75);
  ASSERT_TRUE(g.mHiScores->mVisible);
  ClickOn(g.mHiScores->mClose);
  RunUpdates(75);
  ASSERT_TRUE(menu.mVisible);

  // A second profile, then "delete" and its answer queued together: the answer is taken by the
  // question's own loop, inside the handling of the click on "delete".
  ClickOn(menu.mProfileOpen);
  RunUpdates(75);
  ClickOn(menu.mCreate);
  TypeName("Bob");
  ASSERT_EQ(menu.mList->GetLines().size(), 2u);
  menu.mList->SetSelected(1);
  QueueClick(menu.mDelete);
  QueueClick(GetConfirm2()->mBtnYes);
  RunUpdates(10);
  EXPECT_EQ(menu.mList->GetLines(), std::vector<std::wstring>{L"Ann"});

  ClickOn(menu.mProfileClose);
  RunUpdates(75);
  QueueClick(menu.mQuit);
  RunUpdates(10);
  EXPECT_TRUE(g.mShutdown);
  std::vector<QCProfile> profiles;
  g.mPref.ReadAllProfiles(profiles);
  ASSERT_EQ(profiles.size(), 1u);
  EXPECT_EQ(std::wstring(profiles[0].mName), L"Ann");
}

}  // namespace
