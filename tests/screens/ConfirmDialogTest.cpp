// The two shared question dialogs: the answer comes back from the nested loop, the texts of one
// question only, the focus and the backdrop restored; and the screens' start-up order.
#include "ScreenFixture.h"
#include "cafe/QCBoard_Game3.h"
#include "engine/QCEffect.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Confirm1.h"
#include "screens/QCBoard_Confirm2.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_LoadScreen.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Menu.h"
#include "screens/QCBoard_Options.h"
#include "screens/QCBoard_Splash.h"
#include "screens/QCBoard_Survival.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"

namespace {

constexpr int kNoAnswer = 0x7FFFFFFF;

class ConfirmDialogTest : public ScreenTest {
 protected:
  ConfirmDialogTest() {
    Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
    StartScreens();
  }
  QCBoard_Confirm2& Two() { return *GetConfirm2(); }
  // The script answers on the third step of the wait.
  void AnswerWith(QCCandyWidget* button) {
    Game().onStep = [this, button] {
      if (Game().steps == 3) Release(button);
    };
  }
};

TEST_F(ConfirmDialogTest, TheAnswerComesBackAndEverythingIsAsBefore) {
  Velk::Widget* before = Game().mMainMenu;
  Manager()->SetFocus(before);
  AnswerWith(Two().mBtnNo);
  EXPECT_EQ(AskConfirm("delprof"), 0);
  EXPECT_EQ(Game().steps, 3);
  EXPECT_EQ(Manager()->mFocusWidget, before);
  EXPECT_FALSE(GetConfirmBackdrop()->mVisible);
  EXPECT_FALSE(Two().mVisible);
  EXPECT_EQ(Two().mText1->GetText(), L"Delete this profile?");
  EXPECT_EQ(Two().mText2->GetText(), L"Its progress is lost.");
  EXPECT_EQ(static_cast<QCButton*>(Two().mBtnNo)->GetLabel(), L"Keep");

  Game().steps = 0;
  AnswerWith(Two().mBtnYes);
  EXPECT_EQ(AskConfirm("delprof"), 1);
}

TEST_F(ConfirmDialogTest, TheDialogLiesAboveEverythingWhileItAsks) {
  Game().onStep = [this] {
    const auto& children = Manager()->mWidgets;
    EXPECT_EQ(children.back(), &Two());
    EXPECT_EQ(*std::prev(children.end(), 2), GetConfirmBackdrop());
    EXPECT_TRUE(GetConfirmBackdrop()->mVisible);
    EXPECT_EQ(Manager()->mFocusWidget, &Two());
    Release(Two().mBtnYes);
  };
  EXPECT_EQ(AskConfirm("restlvl"), 1);
}

// A modal dialog asks; the question fades out after the answer. The asker closes itself at once and
// nothing modal may be left behind, or every screen below stops taking the mouse.
TEST_F(ConfirmDialogTest, AnAnsweredQuestionLetsGoOfTheModalStackWhileItFadesOut) {
  QCEffect* fade = CreateEffectByName("fade_out");
  ASSERT_NE(fade, nullptr);
  fade->EffectSetParam(kParamWidget, &Two());
  fade->SetOwner(&Two());
  delete Two().mEffect;
  Two().mEffect = fade;
  QCDialog* asker = new QCDialog(nullptr, &Game());
  Manager()->AddChild(asker);
  asker->SetVisible(true);
  asker->SetModal(true);
  AnswerWith(Two().mBtnYes);
  EXPECT_EQ(AskConfirm("delprof"), 1);
  EXPECT_TRUE(Two().mVisible) << "still fading out";
  EXPECT_EQ(Manager()->mModalWidget, asker) << "the question is done with the stack";
  asker->SetModal(false);
  EXPECT_EQ(Manager()->mModalWidget, nullptr);
  EXPECT_TRUE(Manager()->mPreModalInfoList.empty());
  Manager()->RemoveChild(asker);
  delete asker;
}

TEST_F(ConfirmDialogTest, AQuestionShowsItsOwnTextsOnly) {
  AnswerWith(Two().mBtnYes);
  AskConfirm("delprof");
  ASSERT_FALSE(Two().mIcon->GetTexture(0, 0)->Frames().empty());
  EXPECT_EQ(Two().mIcon->GetTexture(0, 0)->GetSourceRect().mWidth, 40) << "the icon takes its picture's size";
  Game().steps = 0;
  AnswerWith(Two().mBtnNo);
  EXPECT_EQ(AskConfirm("exitmenu"), 0);
  EXPECT_EQ(Two().mText1->GetText(), L"Leave the day?");
  EXPECT_EQ(Two().mText2->GetText(), L"") << "no text for it in the table";
  EXPECT_EQ(static_cast<QCButton*>(Two().mBtnNo)->GetLabel(), L"");
  // No picture for this question: the icon shows nothing, not the last one's picture.
  EXPECT_TRUE(Two().mIcon->GetTexture(0, 0)->IsEmpty());
  Draw();
}

TEST_F(ConfirmDialogTest, TheWaitEndsWithoutAnAnswerWhenTheProgramStops) {
  Game().stepsLeft = 5;
  EXPECT_EQ(AskConfirm("delprof"), kNoAnswer);
  EXPECT_FALSE(GetConfirmBackdrop()->mVisible);
}

TEST_F(ConfirmDialogTest, ASecondQuestionDuringTheWaitIsRefused) {
  int inner = 0;
  Game().onStep = [&] {
    if (Game().steps == 2) inner = AskConfirm("restlvl");
    if (Game().steps == 4) Release(Two().mBtnYes);
  };
  EXPECT_EQ(AskConfirm("delprof"), 1);
  EXPECT_EQ(inner, kNoAnswer);
  EXPECT_EQ(Two().mText1->GetText(), L"Delete this profile?") << "the open question keeps its texts";
}

TEST_F(ConfirmDialogTest, TheMessageBoxHasOneAnswer) {
  Game().onStep = [this] { Release(GetConfirm1()->mBtnYes); };
  EXPECT_EQ(ShowMessageBox("upgrade"), 1);
  EXPECT_EQ(GetConfirm1()->mText1->GetText(), L"A new upgrade");
}

// Bottom to top as the loading finishes: the questions and their backdrop under every screen, then
// the board's pause menu, the screens, the board and the splash on top.
TEST_F(ConfirmDialogTest, TheScreensJoinTheWidgetManagerInOrder) {
  QCEngine3& game = Game();
  const std::vector<Velk::Widget*> expected = {GetConfirm2(), GetConfirm1(),    GetConfirmBackdrop(), GetEscapeMenu(),
                                               game.mMenu,    game.mLoadScreen, game.mMainMenu,       game.mOptions,
                                               game.mHelp,    game.mHiScores,   game.mCareer,         game.mSurvival,
                                               game.mBoard,   game.mSplash};
  std::vector<Velk::Widget*> children;
  for (Velk::Widget* child : Manager()->mWidgets) {
    if (child != game.GetRootDialog()) children.push_back(child);
  }
  EXPECT_EQ(children, expected);
}

}  // namespace
