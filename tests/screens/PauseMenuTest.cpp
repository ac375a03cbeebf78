// The pause menu over a running level, and the help book beside it or on its own.
#include "ScreenFixture.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Options.h"
#include "ui/UiXmlDoc.h"

namespace {

constexpr int kEscape = 27;

class PauseMenuTest : public ScreenTest {
 protected:
  PauseMenuTest() {
    Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
    StartScreens();
    UiXmlDoc ui(UiText::Screens());
    pause = new QCBoard_EscapeMenu(&Game(), ui.Root());
    AddBoard(true);
    Manager()->AddChild(pause);
    Game().mMainMenu->SetVisible(false);
    pause->Show();
  }
  void Answer(bool yes) {
    Game().onStep = [this, yes] {
      Game().onStep = nullptr;
      Release(yes ? GetConfirm2()->mBtnYes : GetConfirm2()->mBtnNo);
    };
  }
  QCBoard_Help& Help() { return *Game().mHelp; }
  void* EffectOf(QCCandyWidget* widget) { return widget->mEffect; }

  QCBoard_EscapeMenu* pause = nullptr;
};

TEST_F(PauseMenuTest, EscapeClosesTheMenuAndPlayGoesOn) {
  EXPECT_EQ(board->mPauseCount, 1);
  EXPECT_EQ(Manager()->mFocusWidget, pause);
  EXPECT_EQ(Manager()->mWidgets.back(), pause) << "above the board";
  KeyUp(kEscape);
  EXPECT_FALSE(pause->mVisible);
  EXPECT_EQ(board->mPauseCount, 0);
  EXPECT_EQ(Manager()->mFocusWidget, board);
  EXPECT_EQ(board->events, (std::vector<std::string>{"pause", "resume"}));
}

// However often it is shown or hidden, the menu holds at most one pause of the board.
TEST_F(PauseMenuTest, OnePausePerOpening) {
  pause->Show();
  EXPECT_EQ(board->mPauseCount, 1);
  pause->Hide();
  EXPECT_EQ(board->mPauseCount, 0);
  pause->Hide();
  EXPECT_EQ(board->mPauseCount, 0) << "a hidden menu resumes nothing";
  pause->Show();
  EXPECT_EQ(board->mPauseCount, 1);
}

TEST_F(PauseMenuTest, NoKeepsTheLevelPaused) {
  Answer(false);
  Release(pause->mRestart);
  Answer(false);
  Release(pause->mQuit);
  EXPECT_TRUE(pause->mVisible);
  EXPECT_EQ(board->mPauseCount, 1);
  EXPECT_TRUE(board->mRunning);
  EXPECT_FALSE(board->mLoading);
}

TEST_F(PauseMenuTest, RestartReloadsTheLevel) {
  board->mLevel = 7;
  Answer(true);
  Release(pause->mRestart);
  EXPECT_FALSE(pause->mVisible);
  EXPECT_EQ(board->mPauseCount, 0);
  EXPECT_EQ(board->mLoadLevelArg, 7);
  EXPECT_EQ(board->mLoadModeArg, 0);
  board->JoinLevelLoading();
}

TEST_F(PauseMenuTest, QuitLeavesForTheMainMenu) {
  Answer(true);
  Release(pause->mQuit);
  EXPECT_EQ(board->events, (std::vector<std::string>{"pause", "resume", "hide", "reset"}))
      << "resumed before the board hides and the level stops";
  EXPECT_FALSE(board->mVisible);
  EXPECT_FALSE(board->mRunning);
  EXPECT_TRUE(Game().mMainMenu->mVisible);
}

TEST_F(PauseMenuTest, SettingsOpenAboveTheMenuAndGiveTheKeysBack) {
  Release(pause->mSettings);
  EXPECT_EQ(Manager()->mWidgets.back(), Game().mOptions);
  Release(Game().mOptions->mCancel);
  EXPECT_TRUE(pause->mVisible);
  EXPECT_EQ(board->mPauseCount, 1);
  EXPECT_EQ(Manager()->mFocusWidget, board);
}

TEST_F(PauseMenuTest, HelpOpensBesideTheMenuAndTurnsBackToIt) {
  Release(pause->mHelp);
  EXPECT_TRUE(Help().mVisible);
  EXPECT_EQ(ShiftMessages(),
            (std::vector<std::pair<std::string, void*>>{{"right", EffectOf(pause)}, {"right", EffectOf(&Help())}}));
  Update(71);
  ShiftMessages().clear();
  Release(Help().mClose);
  EXPECT_EQ(ShiftMessages(),
            (std::vector<std::pair<std::string, void*>>{{"left", EffectOf(&Help())}, {"left", EffectOf(pause)}}));
  EXPECT_EQ(Game().mMainMenu->mFlipPage, pause->mEscapeDlg);
  EXPECT_TRUE(Game().mMainMenu->mFlipBackwards);
  Update(71);
  EXPECT_FALSE(Help().mVisible) << "the turn hides the book";
  EXPECT_TRUE(pause->mVisible);
  EXPECT_TRUE(pause->mEscapeDlg->mVisible);
  EXPECT_FALSE(Game().mMainMenu->mVisible);
}

class HelpTest : public ScreenTest {
 protected:
  HelpTest() {
    Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
    StartScreens();
  }
  QCBoard_Help& Help() { return *Game().mHelp; }
  std::pair<bool, bool> Disabled() { return {Help().mPrevBtn->mDisabled, Help().mNextBtn->mDisabled}; }
};

TEST_F(HelpTest, PagesTurnOneByOne) {
  ASSERT_EQ(Help().mPages.size(), 3u) << "page_1, xpage_2 and page_3; not the left and right pages";
  Release(Game().mMainMenu->mHelp);
  EXPECT_EQ(Game().mMainMenu->mFlipPage, Help().mPages[0]);
  EXPECT_EQ(Disabled(), std::make_pair(true, false));
  Update(71);
  Release(Help().mNextBtn);
  Release(Help().mNextBtn);
  EXPECT_EQ(Help().mCurrentPage, 2);
  EXPECT_EQ(Disabled(), std::make_pair(false, true));
  Release(Help().mPrevBtn);
  EXPECT_EQ(Game().mMainMenu->mFlipPage, Help().mPages[1]);
  EXPECT_TRUE(Game().mMainMenu->mFlipBackwards);
  Update(71);
  EXPECT_TRUE(Help().mPages[1]->mVisible);
  Release(Help().mClose);
  EXPECT_EQ(Game().mMainMenu->mFlipTarget, kFlipToMainMenu);
  Update(71);
  EXPECT_FALSE(Help().mVisible);
  EXPECT_TRUE(Game().mMainMenu->mVisible);
}

TEST_F(HelpTest, OnePageOrNone) {
  Help().mPages.resize(1);
  Help().Show();
  EXPECT_EQ(Disabled(), std::make_pair(true, true));
  Help().Hide();
  Help().mPages.clear();
  Game().mMainMenu->mFlipping = false;
  Help().Show();
  EXPECT_FALSE(Game().mMainMenu->mFlipping) << "no page to turn";
  EXPECT_EQ(Disabled(), std::make_pair(true, false));
  Release(Help().mNextBtn);
  EXPECT_EQ(Help().mCurrentPage, 1);
  EXPECT_EQ(Disabled(), std::make_pair(true, true));
}

}  // namespace
