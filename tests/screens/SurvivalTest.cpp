// The survival selection: which cafes the career has opened, the fallback of a closed selection,
// and play and cancel.
#include "CareerFixture.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Survival.h"

namespace {

class SurvivalTest : public CareerTest {
 protected:
  QCBoard_Survival& Screen() { return *Game().mSurvival; }
  // The screen shown at that career day with the cafe selected before.
  void ShowAt(int day, int selected) {
    Profile().mCurrentDay = day;
    Screen().mSelectedCafe = selected;
    Screen().Show();
  }
  bool Open(int cafe) {
    return !Screen().mCafeButtons[cafe - 1]->mDisabled && Screen().mCafeSmallPhotos[cafe - 1]->mVisible;
  }
};

TEST_F(SurvivalTest, OnlyTheCafesTheCareerReachedAreOpen) {
  StartAtDay(15);
  TakePlayedSounds();
  ShowAt(15, 2);
  EXPECT_EQ(Screen().mSelectedCafe, 1);
  EXPECT_TRUE(Open(1));
  for (int cafe : {2, 3}) {
    EXPECT_TRUE(Screen().mCafeButtons[cafe - 1]->mVisible) << cafe;
    EXPECT_TRUE(Screen().mCafeButtons[cafe - 1]->mDisabled) << cafe;
    EXPECT_FALSE(Screen().mCafeSmallPhotos[cafe - 1]->mVisible) << cafe;
  }
  EXPECT_TRUE(Screen().mCafeNames[0]->mVisible);
  EXPECT_FALSE(Screen().mCafeButtons[0]->mVisible);
  EXPECT_EQ(TakePlayedSounds(), std::vector<std::string>{"briefing_show"});
  EXPECT_EQ(Game().mMainMenu->mFlipTarget, kFlipToSurvival);
  EXPECT_FALSE(Game().mMainMenu->mFlipBackwards);

  ShowAt(20, 3);
  EXPECT_EQ(Screen().mSelectedCafe, 1);
  EXPECT_TRUE(Open(2));
  EXPECT_FALSE(Open(3));
  ShowAt(36, 3);
  EXPECT_EQ(Screen().mSelectedCafe, 3);
  EXPECT_TRUE(Open(2) && Open(3));
  EXPECT_TRUE(Screen().mCafePhotos[2]->mVisible);
  EXPECT_FALSE(Screen().mCafePhotos[0]->mVisible);
}

TEST_F(SurvivalTest, ChoosingACafeLaysThePagesOutAgain) {
  StartAtDay(40);
  ShowAt(40, 1);
  Release(Screen().mCafeButtons[1]);
  EXPECT_EQ(Screen().mSelectedCafe, 2);
  EXPECT_TRUE(Screen().mCafeHeads[1]->mVisible);
  EXPECT_FALSE(Screen().mCafeHeads[0]->mVisible);
  Release(Screen().mCafeSmallPhotos[1]);
  EXPECT_EQ(Screen().mSelectedCafe, 2);
  EXPECT_TRUE(Screen().mCafeDescs[1]->mVisible);
}

TEST_F(SurvivalTest, PlayStartsTheCafeAndCancelTurnsBack) {
  StartAtDay(20);
  AddBoard(false);
  ShowAt(20, 2);
  Update(80);
  Release(Screen().mCancel);
  EXPECT_EQ(Game().mMainMenu->mFlipTarget, kFlipToMainMenu);
  EXPECT_TRUE(Game().mMainMenu->mFlipBackwards);
  Update(80);
  ShowAt(20, 2);
  Release(Screen().mPlay);
  EXPECT_FALSE(Screen().mVisible);
  EXPECT_EQ(board->mLoadLevelArg, 2);
  EXPECT_EQ(board->mLoadModeArg, 1);
}

}  // namespace
