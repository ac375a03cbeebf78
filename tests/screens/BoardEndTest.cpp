// The end of a level on the gameplay board: the result handed to the career book or the hi-scores,
// the upgrade offer of a newest day, pref.dat saved, and the escape key.
#include "ScreenFixture.h"
#include "cafe/QCBoard_Game3.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_Survival.h"
#include "screens/QCBoard_Upgrade.h"

namespace {

constexpr int kEscape = 27;

class BoardEndTest : public ScreenTest {
 protected:
  BoardEndTest() {
    Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
    StartScreens();
    Board().SetVisible(true);
  }
  QCBoard_Game3& Board() { return *Game().mBoard; }
  int StoredSurvivalTop() {
    QCPref stored;
    stored.Load();
    return stored.GetHiScoreTable(true)[0].mScore;
  }
};

TEST_F(BoardEndTest, ASurvivalRecordGoesToTheHiScoresAndIsSaved) {
  Board().mSurvival = true;
  Board().mLevel = 1;
  Board().mMoney = 900000;
  Board().FinishLevel();
  EXPECT_FALSE(Board().mVisible);
  EXPECT_TRUE(Game().mHiScores->mVisible);
  EXPECT_EQ(StoredSurvivalTop(), 900000);
  Game().mHiScores->SetVisible(false);
  Board().mMoney = 0;
  Board().FinishLevel();
  EXPECT_FALSE(Game().mHiScores->mVisible) << "no rank: the survival menu instead";
  EXPECT_TRUE(Game().mSurvival->mVisible);
}

TEST_F(BoardEndTest, ACareerDayEndsInTheBookUnlessItEarnsAnOffer) {
  Board().mLevel = 3;
  Board().mNormalGoal = 30;
  Board().mMoney = 45;
  Board().mOfferedUpgradeKind = QCUpgradeInfo::kFunctional;
  QCUpgradeInfo bossSpeed;
  bossSpeed.object = "boss";
  bossSpeed.name = "speed";
  bossSpeed.minLevel = 1;
  bossSpeed.maxLevel = 3;
  Board().mFunctionalUpgrades.push_back(bossSpeed);
  Game().mPref.GetProfile()->mCurrentDay = 4;
  Board().EndLevel();
  EXPECT_FALSE(Board().mUpgrade->mVisible) << "not the newest day";
  EXPECT_TRUE(Game().mCareer->mVisible);
  EXPECT_FALSE(Board().mVisible);
  Game().mCareer->SetVisible(false);
  Board().SetVisible(true);
  Game().mPref.GetProfile()->mCurrentDay = 3;
  Game().stepsLeft = 3;
  Board().EndLevel();
  EXPECT_TRUE(Board().mUpgrade->mVisible);
  EXPECT_FALSE(Game().mCareer->mVisible) << "the day finishes when the offer closes";
  Board().mUpgrade->Hide();
  EXPECT_TRUE(Game().mCareer->mVisible);
}

TEST_F(BoardEndTest, EscapeOpensAndClosesThePauseMenuAndTheBriefing) {
  Board().KeyUp(kEscape);
  EXPECT_TRUE(GetEscapeMenu()->mVisible);
  Board().KeyUp(kEscape);
  EXPECT_FALSE(GetEscapeMenu()->mVisible);
  Board().mBriefing->Show();
  Board().KeyUp(kEscape);
  EXPECT_FALSE(Board().mBriefing->mVisible);
  EXPECT_FALSE(GetEscapeMenu()->mVisible);
  EXPECT_EQ(Board().mPauseCount, 0);
}

}  // namespace
