// The HUD: the career clock and its closing alarm, the survival stage clock, lives, bonuses, the
// tutorial's numbered controls, the level's visibility sets and the two buttons.
#include <climits>

#include "CareerFixture.h"
#include "engine/QCDeadline.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "ui/QCText.h"
#include "ui/UiXmlDoc.h"

namespace {

class HudTest : public CareerTest {
 protected:
  HudTest() {
    StartAtDay(1);
    AddCafeBoard();
  }
  QBoard_Hud& Hud() { return *cafe->hud; }
  void Begin(bool survival) {
    Hud().Hide();
    Hud().ClearLevel();
    Hud().BeginLevel(survival);
    Hud().Show();
  }
  // Sets the board's progress and runs one update.
  void At(float progress) {
    cafe->progress = progress;
    Update(1);
  }
  // The game clock moves on by that much.
  static void AdvanceClock(float seconds) {
    SetGameDt(seconds);
    AdvanceGameClock();
  }
  bool Visible(const char* name) { return Hud().FindChild(name)->mVisible; }
};

TEST_F(HudTest, TheCareerClockFollowsTheDayAndRingsOnce) {
  Begin(false);
  ASSERT_EQ(Hud().mClockFrames.size(), 4u);
  At(0.74f);
  EXPECT_TRUE(ShowsPicture(Hud().mCareerClock, "hud_watch02"));
  EXPECT_FALSE(Hud().mAlarm->mVisible);
  const Velk::Rect source = Hud().mCareerClock->GetTexture(0, 0)->GetSourceRect();
  EXPECT_EQ(source, Velk::Rect(0, 0, 64, 60));
  At(1.0f);
  EXPECT_TRUE(ShowsPicture(Hud().mCareerClock, "hud_watch03"));
  EXPECT_TRUE(Hud().mAlarm->mVisible);
  EXPECT_TRUE(Hud().mClosed->mVisible);
  At(0.5f);
  EXPECT_FALSE(Hud().mAlarm->mVisible);
  At(1.0f);
  EXPECT_FALSE(Hud().mAlarm->mVisible);
  // The next day rings again.
  Begin(false);
  EXPECT_FALSE(Hud().mClosed->mVisible);
  At(1.0f);
  EXPECT_TRUE(Hud().mAlarm->mVisible);
}

TEST_F(HudTest, OneClockFrameRingsAtOnceAndNoFrameShowsNothing) {
  Hud().mClockFrames.resize(1);
  Begin(false);
  At(0.0f);
  EXPECT_TRUE(Hud().mAlarm->mVisible);
  Hud().mClockFrames.clear();
  Begin(false);
  Hud().mAlarm->SetVisible(false);
  At(1.0f);
  EXPECT_FALSE(Hud().mAlarm->mVisible);
  EXPECT_EQ(Hud().mCurrentFrame, -1);
}

TEST_F(HudTest, TheStageClockWaitsForTheUpgradeAndStaysInRange) {
  Begin(true);
  ASSERT_EQ(Hud().mStageFrames.size(), 3u);
  At(0.6f);
  EXPECT_TRUE(ShowsPicture(Hud().mSurvivalClock, "hud_upgrade_01"));
  cafe->waitingKinds = 1;
  At(0.9f);
  EXPECT_FALSE(Hud().mSurvivalClock->mVisible);
  cafe->waitingKinds = 0;
  At(0.9f);
  EXPECT_FALSE(Hud().mSurvivalClock->mVisible);
  // A payment past two stage targets: the last frame, not one past it.
  At(1.5f);
  EXPECT_TRUE(Hud().mSurvivalClock->mVisible);
  EXPECT_TRUE(ShowsPicture(Hud().mSurvivalClock, "hud_upgrade_02"));
  At(0.0f);
  EXPECT_TRUE(ShowsPicture(Hud().mSurvivalClock, "hud_upgrade_00"));
  At(-0.5f);
  EXPECT_EQ(Hud().mCurrentFrame, 0);
  // The stage clock follows only while the career clock's own control is visible.
  Hud().mCareerClock->SetVisible(false);
  At(1.0f);
  EXPECT_EQ(Hud().mCurrentFrame, 0);
  Hud().mCareerClock->SetVisible(true);
  Hud().mStageFrames.clear();
  At(0.7f);
  EXPECT_EQ(Hud().mCurrentFrame, 0);
}

TEST_F(HudTest, LivesChangeOnlyWithTheCount) {
  Begin(true);
  Hud().SetLives(3);
  EXPECT_TRUE(Visible("survival_life") && Hud().mLifePictures[3]->mVisible);
  Hud().mLifePictures[3]->SetVisible(false);
  Hud().SetLives(3);
  EXPECT_FALSE(Hud().mLifePictures[3]->mVisible);
  Hud().SetLives(1);
  EXPECT_TRUE(Hud().mLifePictures[1]->mVisible);
  EXPECT_EQ(Hud().mLives, 1);
}

TEST_F(HudTest, AFreezeRestartsFromNowAndEndsWithItsDeadline) {
  Begin(false);
  Hud().ShowFreeze(5.0f);
  AdvanceClock(3.0f);
  Hud().ShowFreeze(5.0f);
  EXPECT_FLOAT_EQ(Hud().mFreezeDeadline.GetEnd(), GetGameClock() + 5.0f);
  EXPECT_TRUE(Hud().mFreeze->mVisible);
  EXPECT_TRUE(Hud().mFreeze->FindChild("step_2")->mVisible);
  AdvanceClock(4.5f);
  Update(1);
  EXPECT_TRUE(Hud().mFreeze->mVisible);
  AdvanceClock(1.0f);
  Update(1);
  EXPECT_FALSE(Hud().mFreeze->mVisible);
  EXPECT_FALSE(Hud().mFreeze->FindChild("step_2")->mVisible);
}

TEST_F(HudTest, TutorialControlsGoByTheNumberInTheirName) {
  EXPECT_EQ(Hud().mTutorialControls.at(12), Hud().FindChild("tutorial12"));
  EXPECT_EQ(Hud().mTutorialControls.at(3), Hud().FindChild("tutorial03"));
  // "tutorialx" has no digits: number 0, after "tutorial".
  EXPECT_EQ(Hud().mTutorialControls.at(0), Hud().FindChild("tutorialx"));
  EXPECT_EQ(Hud().mTutorialControls.size(), 3u);
  Hud().ShowTutorialControl(12, true);
  EXPECT_TRUE(Hud().IsTutorialControlVisible(12));
  Hud().ShowTutorialControl(12, false);
  EXPECT_FALSE(Hud().IsTutorialControlVisible(12));
  Hud().ShowTutorialControl(7, true);
  EXPECT_FALSE(Hud().IsTutorialControlVisible(7));
  EXPECT_EQ(TutorialControlNumber("12b4"), 12);
  EXPECT_EQ(TutorialControlNumber(""), 0);
  EXPECT_EQ(TutorialControlNumber("99999999999999999999"), INT_MAX);
}

TEST_F(HudTest, ClearingAndBeginningALevelSetTheControls) {
  for (QCCandyWidget* life : Hud().mLifePictures) life->SetVisible(true);
  Hud().ShowTutorialControl(12, true);
  Hud().ClearLevel();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Hud().mLifePictures[i]->mVisible) << i;
  EXPECT_TRUE(Hud().mLifePictures[3]->mVisible);
  for (const char* name : {"left_part", "left_survival_part", "right_part", "survival_life", "goal_splash"})
    EXPECT_FALSE(Visible(name)) << name;
  EXPECT_FALSE(Hud().mGoalGroup[1]->mVisible);
  EXPECT_FALSE(Hud().IsTutorialControlVisible(12));

  Hud().BeginLevel(false);
  for (QCCandyWidget* control : Hud().mGoalGroup) EXPECT_TRUE(control->mVisible);
  for (QCCandyWidget* control : Hud().mExpertGroup) EXPECT_FALSE(control->mVisible);
  EXPECT_TRUE(Visible("right_part") && Visible("left_part"));
  EXPECT_FALSE(Visible("left_survival_part") || Visible("survival_life"));

  Hud().ClearLevel();
  Hud().BeginLevel(true);
  EXPECT_TRUE(Visible("left_survival_part") && Visible("survival_life"));
  EXPECT_FALSE(Visible("left_part"));
}

TEST_F(HudTest, TheGoalSwapsTheFiguresInACareerDayOnly) {
  Begin(false);
  TakePlayedSounds();
  Hud().OnGoalReached();
  EXPECT_TRUE(Hud().mGoalSplash->mVisible && Hud().mGoalSplash->FindChild("shine")->mVisible);
  for (QCCandyWidget* control : Hud().mGoalGroup) EXPECT_FALSE(control->mVisible);
  for (QCCandyWidget* control : Hud().mExpertGroup) EXPECT_TRUE(control->mVisible);
  Hud().OnExpertReached();
  EXPECT_TRUE(Hud().mExpertSplash->mVisible);
  EXPECT_EQ(TakePlayedSounds(), (std::vector<std::string>{"goal", "expert"}));

  Begin(true);
  Hud().OnGoalReached();
  for (QCCandyWidget* control : Hud().mGoalGroup) EXPECT_TRUE(control->mVisible);
  for (QCCandyWidget* control : Hud().mExpertGroup) EXPECT_FALSE(control->mVisible);
}

TEST_F(HudTest, TheBonusPicturesStartFourTimesTheirSize) {
  EXPECT_FLOAT_EQ(Hud().mGlobalClean->FindChild("globalcleaning")->mScale, 4.0f);
  for (const char* step : {"step_1", "step_2", "step_3"}) EXPECT_FLOAT_EQ(Hud().mFreeze->FindChild(step)->mScale, 4.0f);
  Hud().ShowGlobalClean();
  EXPECT_TRUE(Hud().mGlobalClean->FindChild("globalcleaning")->mVisible);
}

TEST_F(HudTest, TheButtonsOpenThePauseMenuAndTheUpgrades) {
  UiXmlDoc ui(UiText::Screens());
  auto* escape = new QCBoard_EscapeMenu(&Game(), ui.Root());
  Manager()->AddChild(escape);
  cafe->upgrades = {UpgradeRecord("oven", "hot")};
  Begin(true);
  Hud().ShowUpgradeButton(true);
  EXPECT_TRUE(Hud().mUpgradeButton->mVisible && Hud().mUpgradeBack->mVisible);
  Release(Hud().mMenuButton);
  EXPECT_TRUE(escape->mVisible);
  escape->Hide();
  Release(Hud().mUpgradeButton);
  EXPECT_TRUE(cafe->upgrade->mVisible);
  EXPECT_EQ(cafe->collections, 1);
}

// A survival level hides the achievement group; the next career day shows it again.
TEST_F(HudTest, ACareerDayAfterSurvivalShowsItsAchievements) {
  Begin(true);
  EXPECT_FALSE(Hud().mAchievements->mVisible);
  Begin(false);
  EXPECT_TRUE(Hud().mAchievements->mVisible);
  EXPECT_TRUE(Hud().AchievementIcon(4)->mVisible);
  EXPECT_FALSE(Hud().AchievementIcon(1)->mVisible);
  EXPECT_FALSE(Hud().AchievementStar(2, 3)->mVisible);
  cafe->figures.settings.noBroke = 0;
  Begin(false);
  EXPECT_FALSE(Hud().AchievementIcon(4)->mVisible);
}

}  // namespace
