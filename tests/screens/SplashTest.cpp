// The start-up pictures and the way into the menus; the screen pattern on a few screens.
#include "ScreenFixture.h"
#include <algorithm>

#include "engine/EngineUtil.h"
#include "engine/QCCursorManager.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_LoadScreen.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Menu.h"
#include "screens/QCBoard_Options.h"
#include "screens/QCBoard_Splash.h"
#include "screens/QCBoard_Survival.h"
#include "ui/UiXmlDoc.h"

namespace {

using UiText::Dialog;

std::string Picture(const std::string& name, int x,
                    const std::string& texture = "<texture id=\"normal\" texture=\"red\"/>") {
  return Dialog(name, "x=\"" + std::to_string(x) + "\" y=\"100\" width=\"100\" height=\"100\" effect=\"picture\"",
                texture);
}

// Three pictures and one without a picture of its own, which never shows.
std::string SplashScreens() {
  return UiText::Screens(Dialog("splash", "x=\"0\" y=\"0\" width=\"800\" height=\"600\"",
                                Picture("first", 0) + Picture("blank", 100, "") + Picture("second", 200) +
                                    Picture("third", 300, "<texture id=\"normal\" texture=\"missing\"/>") +
                                    Picture("last", 400)));
}

class SplashTest : public ScreenTest {
 protected:
  SplashTest() { Game().mPref.CreateProfile(L"Ann", nullptr, nullptr); }
  QCBoard_Splash& Splash() { return *Game().mSplash; }
  bool CursorShown() { return Game().GetCursorManager()->IsDrawEnabled(); }
  // The name of each picture in the order they became visible, stepping until the splash closes.
  std::vector<std::string> ShownInOrder() {
    std::vector<std::string> shown;
    for (int step = 0; step < 500 && Splash().mVisible; ++step) {
      EXPECT_FALSE(CursorShown());
      for (const auto& [name, child] : Splash().mChildren) {
        if (child->mVisible && (shown.empty() || shown.back() != name)) shown.push_back(name);
      }
      Update();
    }
    return shown;
  }
};

TEST_F(SplashTest, PicturesAppearInOrderThenTheMenusOpen) {
  StartScreens(SplashScreens());
  ASSERT_EQ(Splash().mPictures.size(), 3u) << "a child without a picture is no picture";
  EXPECT_TRUE(Splash().mVisible);
  EXPECT_FALSE(Game().mMainMenu->mVisible);
  EXPECT_EQ(ShownInOrder(), (std::vector<std::string>{"first", "second", "last"}));
  EXPECT_FALSE(Splash().mVisible);
  EXPECT_TRUE(Game().mMenu->mVisible);
  EXPECT_TRUE(Game().mMainMenu->mVisible);
  EXPECT_TRUE(CursorShown());
  EXPECT_EQ(Manager()->mWidgets.back(), Game().mSplash) << "the splash stays on top, hidden";
}

TEST_F(SplashTest, AKeyEndsThePictureAtOnce) {
  StartScreens(SplashScreens());
  QCCandyWidget* first = Splash().FindChild("first");
  QCCandyWidget* second = Splash().FindChild("second");
  Update(5);
  ASSERT_TRUE(first->mVisible);
  KeyDown('A');
  EXPECT_FALSE(first->mVisible);
  EXPECT_FALSE(second->mVisible);
  Update();
  EXPECT_TRUE(second->mVisible);
}

TEST_F(SplashTest, TheSplashPaintsBlackUnderItsPicture) {
  StartScreens(SplashScreens());
  Update(15);
  Draw();
  EXPECT_TRUE(PixelIs(50, 150, 0xFFFF0000)) << "the picture";
  EXPECT_TRUE(PixelIs(700, 500, 0xFF000000)) << "black around it";
}

TEST_F(SplashTest, WithoutPicturesTheMenusOpenAtOnce) {
  StartScreens(UiText::Screens(Dialog("splash", "x=\"0\" y=\"0\" width=\"800\" height=\"600\"")));
  EXPECT_FALSE(Splash().mVisible);
  EXPECT_TRUE(Game().mMenu->mVisible);
  EXPECT_TRUE(Game().mMainMenu->mVisible);
  EXPECT_TRUE(CursorShown());
}

// A click deep inside the screen reaches its handler; one inside a dialog it never bound is ignored.
TEST_F(SplashTest, ClicksClimbToTheScreen) {
  StartScreens();
  QCBoard_MainMenu& menu = *Game().mMainMenu;
  POINT at = menu.mQuit->AbsolutePos();
  Click(at.x + 5, at.y + 5);
  EXPECT_EQ(Game().shutdowns, 1) << "two dialogs deep";

  UiXmlDoc only("<root>" +
                Dialog("main_menu", "x=\"0\" y=\"0\" width=\"800\" height=\"600\"",
                       Dialog("box", "x=\"0\" y=\"0\" width=\"300\" height=\"300\" visible=\"true\"",
                              UiText::Button("quit", 5, 5))) +
                "</root>");
  auto* unbound = new QCBoard_MainMenu(&Game(), only.Root());
  Manager()->AddChild(unbound);
  Release(unbound->FindChild("box")->FindChild("quit"));
  EXPECT_EQ(Game().shutdowns, 1);
}

// Screens whose elements are missing are empty; nothing they do needs a control.
TEST_F(SplashTest, ScreensWithoutElementsAreEmptyAndHarmless) {
  std::vector<std::string> log;
  SetDebugLogSink([&log](const std::string& line) { log.push_back(line); });
  StartScreens("<root/>");
  SetDebugLogSink(nullptr);
  const auto missing = std::count_if(
      log.begin(), log.end(), [](const std::string& line) { return line.find("is missing") != std::string::npos; });
  EXPECT_EQ(missing, 17)
      << "one line for each element, the menu background's two, the board's four and the tutor's backdrop included";
  AddBoard(true);
  QCEngine3& game = Game();
  UiXmlDoc empty("<root/>");
  auto* pause = new QCBoard_EscapeMenu(&game, empty.Root());
  Manager()->AddChild(pause);
  std::vector<QCDialog*> screens = {game.mMainMenu, game.mOptions, game.mHelp,       game.mHiScores, game.mCareer,
                                    game.mSurvival, game.mMenu,    game.mLoadScreen, pause};
  for (QCDialog* screen : screens) {
    EXPECT_TRUE(screen->mChildren.empty());
    screen->Show();
    Update(80);
    for (int id = 1; id < 50; ++id) screen->ButtonDepress(id);
    screen->KeyDown(13);
    screen->KeyUp(27);
    screen->Hide();
  }
  game.mMainMenu->FlipPage(nullptr, true, kFlipToHelp);
  Update(80);
  EXPECT_FALSE(game.mMainMenu->mFlipping);
  EXPECT_EQ(board->mPauseCount, 0);
}

}  // namespace
