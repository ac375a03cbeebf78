// The career book: the page of the current day, turning between cafes over the overlay page, the
// comic chain before a day, starting days, the reset, and profiles from a damaged pref.dat.
#include <algorithm>
#include <cstring>
#include <tuple>

#include "CareerFixture.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_MainMenu.h"

namespace {

class CareerBookTest : public CareerTest {
 protected:
  QCBoard_Career& Book() { return *Game().mCareer; }
  QCBoard_Career::Page& Page() { return Book().mPage; }
  // Opens the book and lets the page turn end.
  void Open(int currentDay) {
    StartAtDay(currentDay);
    Book().Show();
    Update(80);
  }
  int OpenDayButtons() {
    int open = 0;
    for (QCCandyWidget* button : Page().dayButtons) open += button->mVisible && !button->mDisabled;
    return open;
  }
  int VisibleMarks(const QCBoard_Career::Page& page) {
    int shown = 0;
    for (int n = 0; n < QCBoard_Career::kSlots; ++n)
      shown += page.goalMarks[n]->mVisible + page.expertMarks[n]->mVisible;
    return shown;
  }
};

TEST_F(CareerBookTest, ANewCareerOpensOnItsFirstDay) {
  Open(1);
  EXPECT_EQ(Book().mShownCafe, 1);
  EXPECT_EQ(Book().mSelectedSlot, 1);
  EXPECT_EQ(OpenDayButtons(), 1);
  for (int n = 2; n <= 15; ++n)
    EXPECT_TRUE(Page().dayButtons[n - 1]->mVisible && Page().dayButtons[n - 1]->mDisabled) << n;
  for (int n = 16; n <= 24; ++n) EXPECT_FALSE(Page().dayButtons[n - 1]->mVisible) << n;
  EXPECT_TRUE(Book().mCafeButtons[1]->mDisabled);
  EXPECT_TRUE(Book().mCafeButtons[2]->mDisabled);
  EXPECT_EQ(VisibleMarks(Page()), 0);
  EXPECT_FALSE(Page().photoGoal->mVisible);
  EXPECT_FALSE(Page().photoExpert->mVisible);
  EXPECT_EQ(Var("score"), L"0");
  EXPECT_EQ(Var("brief_debrief"), L"Today");
  EXPECT_TRUE(ShowsPicture(Page().photoBriefing, "briefing_qq"));
  EXPECT_TRUE(ShowsPicture(Page().photoCafe, "cafe_1"));
  // The tabs come when the turn has ended: the shown cafe by its title, the others by their buttons.
  EXPECT_TRUE(Book().mCafeTitles[0]->mVisible);
  EXPECT_TRUE(Book().mCafeButtons[1]->mVisible);
  EXPECT_FALSE(Book().mCafeButtons[0]->mVisible);
}

TEST_F(CareerBookTest, TheCurrentDaysCafeOpensAndAnEarlierCafeOpensWhole) {
  Open(16);
  EXPECT_EQ(Book().mShownCafe, 2);
  EXPECT_EQ(Book().mSelectedSlot, 1);
  EXPECT_EQ(OpenDayButtons(), 1);
  EXPECT_EQ(Var("cafe"), L"2");
  Release(Book().mCafeButtons[0]);
  EXPECT_EQ(Book().mShownCafe, 1);
  EXPECT_EQ(Book().mSelectedSlot, 15);
  EXPECT_EQ(OpenDayButtons(), 15);
  EXPECT_TRUE(Game().mMainMenu->mFlipBackwards);
  EXPECT_TRUE(Book().mOverlay->mVisible);
  Update(80);
  EXPECT_FALSE(Book().mOverlay->mVisible);
}

TEST_F(CareerBookTest, TheDayMarkerStandsOnTheChosenDaysButton) {
  Open(10);
  Release(Page().dayButtons[5]);
  // Button 6 at (100, 100), 45 x 25; the marker is 31 x 21: 100 + 22 - 15 - 2 and 100 + 12 - 10 - 4.
  EXPECT_EQ(Book().mSelectedSlot, 6);
  EXPECT_EQ(Page().dayMark->mLayout.mX, 105);
  EXPECT_EQ(Page().dayMark->mLayout.mY, 98);
  EXPECT_EQ(Var("day"), L"6");
}

TEST_F(CareerBookTest, AWonDayShowsItsMarkPhotoBadgesAndBriefing) {
  StartAtDay(10);
  Profile().mBestMoney[5] = 700;
  Profile().mExpert[5] = 1;
  Profile().mAchievements[5][1] = 1;
  Profile().mAchievements[5][3] = 1;
  Profile().mBestMoney[4] = 300;
  Book().Show();
  Update(80);
  EXPECT_TRUE(Page().expertMarks[4]->mVisible);
  EXPECT_TRUE(Page().goalMarks[3]->mVisible);
  Release(Page().dayButtons[4]);
  EXPECT_EQ(Var("score"), L"700");
  EXPECT_EQ(Var("brief_debrief"), L"Day five");
  EXPECT_TRUE(Page().photoExpert->mVisible);
  EXPECT_FALSE(Page().photoStar->mVisible);
  // The stored badges stand side by side from the left; a day without its picture shows the default.
  EXPECT_TRUE(Page().badges[1]->mVisible);
  EXPECT_EQ(Page().badges[1]->mLayout.mX, 40);
  EXPECT_EQ(Page().badges[3]->mLayout.mX, 80);
  EXPECT_FALSE(Page().badges[0]->mVisible);
  EXPECT_TRUE(ShowsPicture(Page().photoBriefing, "briefing_00"));
}

TEST_F(CareerBookTest, TheOverlayKeepsThePageBeingLeft) {
  StartAtDay(20);
  Profile().mBestMoney[17] = 500;
  Profile().mExpert[17] = 1;
  Profile().mAchievements[17][0] = 1;
  Book().Show();
  Update(80);
  Release(Page().dayButtons[1]);
  Release(Book().mCafeButtons[0]);
  QCBoard_Career::Page& overlay = Book().mOverlayPage;
  EXPECT_TRUE(overlay.expertMarks[1]->mVisible);
  EXPECT_EQ(VisibleMarks(overlay), 1);
  EXPECT_TRUE(overlay.photoExpert->mVisible);
  EXPECT_TRUE(overlay.badges[0]->mVisible);
  EXPECT_TRUE(overlay.dayTexts[19]->mVisible);
  EXPECT_FALSE(overlay.dayTexts[20]->mVisible);
  EXPECT_TRUE(overlay.dayTexts[5]->mDisabled);
  EXPECT_EQ(Var("selectedday"), L"2");
  EXPECT_TRUE(ShowsPicture(overlay.photoCafe, "cafe_2"));
  EXPECT_EQ(overlay.dayMark->mLayout.mX, Page().dayButtons[1]->mLayout.mX + 5);
  // The real page shows cafe 1 under it.
  EXPECT_EQ(Book().mShownCafe, 1);
  EXPECT_EQ(VisibleMarks(Page()), 0);
}

TEST_F(CareerBookTest, TheShownCafesOwnButtonStillTurnsThePage) {
  Open(20);
  Release(Book().mCafeButtons[1]);
  EXPECT_TRUE(Game().mMainMenu->mFlipping);
  EXPECT_FALSE(Game().mMainMenu->mFlipBackwards);
  EXPECT_TRUE(Book().mOverlay->mVisible);
  EXPECT_EQ(Book().mShownCafe, 2);
}

TEST_F(CareerBookTest, TheFirstDayComesAfterThreeComicPages) {
  Open(1);
  AddBoard(false);
  Release(Book().mPlay);
  for (const char* page : {"comix00a", "comix00b", "comix00c"}) {
    Update(80);
    EXPECT_TRUE(Book().mComix->mVisible);
    EXPECT_TRUE(Book().mComix->FindChild(page)->mVisible) << page;
    EXPECT_FALSE(board->mLoading) << page;
    Release(Book().mComixNext);
  }
  EXPECT_EQ(Book().mComicIndex, 0);
  EXPECT_FALSE(Book().mVisible);
  EXPECT_EQ(board->mLoadLevelArg, 1);
  EXPECT_EQ(board->mLoadModeArg, 0);
}

// A page turn that ends on a comic page leaves the book's tabs where they were, behind the comic.
TEST_F(CareerBookTest, NoTabOfTheBookStandsOnAComicPage) {
  Open(1);
  AddBoard(false);
  auto onTheComic = [&] {
    const auto& stack = Book().mWidgets;
    const auto comic = std::find(stack.begin(), stack.end(), Book().mComix);
    return static_cast<int>(std::count_if(std::next(comic), stack.end(), [](Velk::Widget* w) { return w->mVisible; }));
  };
  Release(Book().mPlay);
  for (int page = 1; page <= 2; ++page) {
    Update(80);
    ASSERT_EQ(Book().mComicIndex, page);
    EXPECT_EQ(onTheComic(), 0) << "page " << page;
    Release(Book().mComixNext);
  }
}

TEST_F(CareerBookTest, OtherDaysStartAtOnceAndNextStaysOnTheLastDay) {
  Open(3);
  AddBoard(false);
  Release(Page().dayButtons[1]);
  Release(Book().mPlay);
  EXPECT_EQ(Book().mComicIndex, 0);
  EXPECT_EQ(board->mLoadLevelArg, 2);
  board->JoinLevelLoading();
  board->mLoading = false;
  Book().mSelectedSlot = 24;
  Book().SetVisible(true);
  Book().ShowCafePage(false);
  Book().mShownCafe = 3;
  Book().mOffset = 35;
  Release(Book().mNext);
  EXPECT_EQ(Book().mDayToPlay, 59);
  EXPECT_EQ(board->mLoadLevelArg, 59);
}

TEST_F(CareerBookTest, AResetAskedAndDeclinedChangesNothing) {
  Open(20);
  Profile().mBestMoney[3] = 400;
  AnswerNextQuestion(false);
  Release(Book().mReset);
  EXPECT_EQ(Profile().mCurrentDay, 20);
  EXPECT_EQ(Profile().mBestMoney[3], 400);
  EXPECT_EQ(Book().mShownCafe, 2);
}

TEST_F(CareerBookTest, AnAcceptedResetStartsOverWithoutSaving) {
  StartAtDay(20);
  Profile().mBestMoney[3] = 400;
  Game().mPref.Save();
  Book().Show();
  Update(80);
  AnswerNextQuestion(true);
  Release(Book().mReset);
  EXPECT_EQ(Profile().mCurrentDay, 1);
  EXPECT_EQ(Profile().mBestMoney[3], 0);
  EXPECT_EQ(Book().mShownCafe, 1);
  EXPECT_EQ(Book().mSelectedSlot, 1);
  std::vector<QCProfile> stored;
  Game().mPref.ReadAllProfiles(stored);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].mCurrentDay, 20);
}

TEST_F(CareerBookTest, TheCurrentDayButtonTurnsOnlyWhenTheCafeChanges) {
  Open(10);
  Release(Page().dayButtons[2]);
  Release(Book().mCurrentDayButton);
  EXPECT_EQ(Book().mSelectedSlot, 10);
  EXPECT_FALSE(Game().mMainMenu->mFlipping);

  Open(20);
  Release(Book().mCafeButtons[0]);
  Update(80);
  Release(Book().mCurrentDayButton);
  EXPECT_EQ(Book().mShownCafe, 2);
  EXPECT_EQ(Book().mSelectedSlot, 5);
  EXPECT_TRUE(Game().mMainMenu->mFlipping);
  EXPECT_FALSE(Game().mMainMenu->mFlipBackwards);
}

// A finished career opens on the last day; a damaged pref.dat on a day of the calendar, and a level
// end for a day outside it records nothing.
TEST_F(CareerBookTest, ADamagedCurrentDayIsHeldToTheCalendar) {
  StartAtDay(1);
  for (const auto& [stored, cafe, slot] :
       {std::tuple{60, 3, 24}, {-5, 1, 1}, {0, 1, 1}, {61, 3, 24}, {100000, 3, 24}}) {
    Profile().mCurrentDay = stored;
    Book().ResetSelectedSlot();
    Book().Show();
    Update(80);
    EXPECT_EQ(Book().mShownCafe, cafe) << stored;
    EXPECT_EQ(Book().mSelectedSlot, slot) << stored;
    EXPECT_EQ(OpenDayButtons(), slot) << stored;
    Book().ShowCafePage(true);
    Book().RefreshDayPage(true, true);
    Release(Book().mCafeButtons[0]);
    Update(80);
  }
  const QCProfile before = Profile();
  Book().OnLevelEnd(300, 0, 0);
  Book().OnLevelEnd(300, 0, 60);
  EXPECT_EQ(std::memcmp(&before.mBestMoney, &Profile().mBestMoney, sizeof before.mBestMoney), 0);
  EXPECT_EQ(std::memcmp(&before.mExpert, &Profile().mExpert, sizeof before.mExpert), 0);
  EXPECT_EQ(Profile().mCurrentDay, 100000);
  EXPECT_FALSE(Book().mCounting);
}

}  // namespace
