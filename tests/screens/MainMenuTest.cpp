// The main menu: the first start's name dialog, profiles made, chosen and deleted through pref.dat,
// and the book's page turn.
#include <array>

#include "ScreenFixture.h"
#include "engine/LocTexts.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_MainMenu.h"
#include "ui/QCEditWidget.h"
#include "ui/QCList.h"

namespace {

constexpr int kEnter = 13;
constexpr int kEscape = 27;

class MainMenuTest : public ScreenTest {
 protected:
  QCBoard_MainMenu& Menu() { return *Game().mMainMenu; }
  // Types the name into the focused field and presses Enter.
  void EnterName(const std::wstring& name) {
    Type(name);
    KeyDown(kEnter);
  }
  void StartWithProfiles(std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) Game().mPref.CreateProfile(name, nullptr, nullptr);
    StartScreens();
  }
  void AnswerNextQuestion(bool yes) {
    Game().onStep = [this, yes] {
      Game().onStep = nullptr;
      Release(yes ? GetConfirm2()->mBtnYes : GetConfirm2()->mBtnNo);
    };
  }
};

TEST_F(MainMenuTest, FirstStartAsksForANameThatCannotBeCancelled) {
  StartScreens();
  ASSERT_TRUE(Menu().mVisible) << "no splash pictures: the menus open at once";
  EXPECT_TRUE(Menu().mCreateProfile->mVisible);
  EXPECT_FALSE(Menu().mMainDlg->mVisible) << "the main page waits for a name";
  EXPECT_TRUE(Menu().mCancel->mDisabled);
  EXPECT_EQ(Manager()->mFocusWidget, Menu().mNameEdit);
  KeyDown(kEscape);
  EXPECT_TRUE(Menu().mCreateProfile->mVisible) << "Escape does nothing while cancel is disabled";

  KeyDown(kEnter);
  EXPECT_TRUE(Menu().mCreateProfile->mVisible) << "an empty name keeps the dialog open";
  EXPECT_TRUE(Menu().mProfileOpen->mDisabled) << "and no bookmark leads past it";
  EXPECT_TRUE(StoredProfiles().empty());
}

TEST_F(MainMenuTest, ANewNameBecomesTheCurrentProfile) {
  StartScreens();
  EnterName(L"Ann");
  EXPECT_FALSE(Menu().mCreateProfile->mVisible);
  EXPECT_TRUE(Game().mPref.mLoaded);
  EXPECT_EQ(StoredProfiles(), std::vector<std::wstring>{L"Ann"});
  EXPECT_EQ(GetTextVar("profile_name"), L"Ann");
  EXPECT_EQ(Menu().mList->GetLines(), std::vector<std::wstring>{L"Ann"});
  EXPECT_EQ(Menu().mList->GetChecked(), 0);
  EXPECT_EQ(Menu().mList->GetSelected(), 0);
  EXPECT_TRUE(Menu().mDelete->mDisabled) << "the only profile cannot be deleted";
  EXPECT_TRUE(Menu().mMainDlg->mVisible);
}

TEST_F(MainMenuTest, ATakenNameCreatesNothing) {
  StartWithProfiles({L"Ann", L"Bob"});
  Release(Menu().mProfileOpen);
  Release(Menu().mCreate);
  EXPECT_TRUE(Menu().mCreateProfile->mVisible);
  EXPECT_FALSE(Menu().mCancel->mDisabled) << "a later name dialog can be cancelled";
  EnterName(L"Ann");
  EXPECT_FALSE(Menu().mCreateProfile->mVisible);
  EXPECT_EQ(StoredProfiles(), (std::vector<std::wstring>{L"Ann", L"Bob"}));
  EXPECT_EQ(GetTextVar("profile_name"), L"Bob");
  Release(Menu().mCreate);
  EnterName(L"ann");
  EXPECT_EQ(StoredProfiles().size(), 3u) << "names differ by case";
  EXPECT_EQ(GetTextVar("profile_name"), L"ann");
}

// The first start's dialog over a file that holds profiles (its current index was damaged): a name
// that one of them bears loads it, so the session is saved in its place.
TEST_F(MainMenuTest, AtTheFirstStartATakenNameLoadsThatProfile) {
  for (const wchar_t* name : {L"Ann", L"Bob"}) Game().mPref.CreateProfile(name, nullptr, nullptr);
  Game().mPref.ResetProfile(nullptr);
  Game().mPref.mLoaded = false;
  StartScreens();
  ASSERT_TRUE(Menu().mCreateProfile->mVisible);
  EnterName(L"Ann");
  EXPECT_FALSE(Menu().mCreateProfile->mVisible);
  EXPECT_TRUE(Game().mPref.mLoaded);
  EXPECT_EQ(Game().mPref.mHeader.mCurrentProfile, 0);
  EXPECT_EQ(GetTextVar("profile_name"), L"Ann");
  EXPECT_EQ(StoredProfiles(), (std::vector<std::wstring>{L"Ann", L"Bob"}));
}

TEST_F(MainMenuTest, SelectMakesTheChosenRowCurrentAndTurnsBack) {
  StartWithProfiles({L"Ann", L"Bob"});
  Release(Menu().mProfileOpen);
  EXPECT_TRUE(Menu().mProfileClose->mVisible);
  Menu().mList->SetSelected(0);
  Release(Menu().mSelect);
  EXPECT_EQ(GetTextVar("profile_name"), L"Ann");
  EXPECT_EQ(Menu().mList->GetChecked(), 0);
  EXPECT_TRUE(Menu().mFlipping);
  EXPECT_FALSE(Menu().mFlipBackwards);
  EXPECT_EQ(Menu().mFlipPage, Menu().mMainDlg);
}

TEST_F(MainMenuTest, DeleteAsksFirst) {
  StartWithProfiles({L"Ann", L"Bob", L"Cy"});
  Release(Menu().mProfileOpen);
  ASSERT_FALSE(Menu().mDelete->mDisabled);
  Menu().mList->SetSelected(1);
  AnswerNextQuestion(false);
  Release(Menu().mDelete);
  EXPECT_EQ(StoredProfiles().size(), 3u);
  Menu().mList->SetSelected(1);
  AnswerNextQuestion(true);
  Release(Menu().mDelete);
  EXPECT_EQ(StoredProfiles(), (std::vector<std::wstring>{L"Ann", L"Cy"}));
  EXPECT_EQ(Menu().mList->GetLines(), (std::vector<std::wstring>{L"Ann", L"Cy"}));
}

TEST_F(MainMenuTest, PageTurnGeometry) {
  StartWithProfiles({L"Ann"});
  QCCandyWidget* leaves = Menu().FindChild("f_pages");
  QCCandyWidget* right = Menu().mSelectProfile->FindChild("right_page");
  Menu().FlipPage(Menu().mSelectProfile, true, kFlipToMainMenu);
  EXPECT_FALSE(Menu().mSelectProfile->mVisible) << "hidden until the first step";
  Update(35);
  EXPECT_FLOAT_EQ(Menu().mFlipTime, 0.349999964f);
  EXPECT_EQ((std::array{right->mX, right->mY, right->mWidth, right->mHeight}), (std::array{182, 0, 182, 565}));
  EXPECT_EQ(right->mPivot.x, -184);
  EXPECT_EQ((std::array{leaves->mX, leaves->mY}), (std::array{109, 35}));
  EXPECT_TRUE(leaves->mVisible);
  EXPECT_NEAR(leaves->mOpacity, 1.0f, 0.01f);

  Menu().FlipPage(nullptr, false, kFlipToNone);
  EXPECT_EQ(Menu().mFlipTarget, kFlipToMainMenu) << "no page: back to the main page";
  EXPECT_FALSE(Menu().mSelectProfile->mVisible);
  QCCandyWidget* left = Menu().mMainDlg->FindChild("left_page");
  Update(35);
  EXPECT_EQ((std::array{left->mX, left->mY, left->mWidth, left->mHeight}), (std::array{366, 0, 183, 565}));
  Update(35);
  EXPECT_TRUE(Menu().mFlipping) << "70 steps are not yet 0.7 s";
  Update(1);
  EXPECT_FALSE(Menu().mFlipping);
  EXPECT_EQ((std::array{left->mX, left->mY, left->mWidth, left->mHeight}), (std::array{0, 0, 366, 565}));
  EXPECT_FALSE(leaves->mVisible);
  EXPECT_FALSE(Menu().FindChild("f_cover")->mVisible);
  EXPECT_TRUE(Menu().mVisible);
  EXPECT_TRUE(Menu().mProfileOpen->mVisible);
}

TEST_F(MainMenuTest, ATurnEndsWithOnlyItsTargetVisible) {
  StartWithProfiles({L"Ann"});
  QCBoard_HiScores& scores = *Game().mHiScores;
  Menu().FlipPage(scores.mHiscoresDlg, false, kFlipToHiScores);
  EXPECT_TRUE(scores.mVisible) << "the target is there under the turning page";
  Update(71);
  EXPECT_TRUE(scores.mVisible);
  EXPECT_FALSE(Menu().mVisible);

  QCBoard_Help& help = *Game().mHelp;
  Menu().FlipPage(help.mPages[0], false, kFlipToHelp);
  EXPECT_FALSE(help.mNextBtn->mVisible) << "the help buttons wait for the page";
  help.mNextBtn->GetTexture(0, 0)->SetCurrentFrame(3);
  Update(71);
  EXPECT_TRUE(help.mVisible);
  EXPECT_FALSE(scores.mVisible);
  EXPECT_TRUE(help.mNextBtn->mVisible);
  EXPECT_TRUE(help.mPrevBtn->mVisible);
  EXPECT_EQ(help.mNextBtn->GetTexture(0, 0)->GetCurrentFrame(), 0);
}

TEST_F(MainMenuTest, ATurnDuringATurnStartsAgain) {
  StartWithProfiles({L"Ann"});
  Menu().FlipPage(Menu().mSelectProfile, true, kFlipToMainMenu);
  Update(50);
  Menu().FlipPage(Game().mHiScores->mHiscoresDlg, false, kFlipToHiScores);
  Update(70);
  EXPECT_TRUE(Menu().mFlipping);
  Update(1);
  EXPECT_TRUE(Game().mHiScores->mVisible);
  EXPECT_FALSE(Menu().mVisible);
}

}  // namespace
