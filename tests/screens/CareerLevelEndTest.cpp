// The end of a career day in the book: records, badges and their cash, the career total in the
// hi-scores, the result splash and the money counting up over two seconds.
#include <cstring>
#include <tuple>

#include "CareerFixture.h"
#include "cafe/QCBoard_Game3.h"
#include "engine/LocTexts.h"
#include "screens/QCBoard_Career.h"
#include "screens/QCBoard_MainMenu.h"
#include "support/XmlFixture.h"
#include "ui/QCText.h"

namespace {

class CareerLevelEndTest : public CareerTest {
 protected:
  QCBoard_Career& Book() { return *Game().mCareer; }
  QCBoard_Career::Page& Page() { return Book().mPage; }
  // A profile at the day with the cafe board; the book has been shown once.
  void StartAt(int currentDay) {
    StartAtDay(currentDay);
    AddCafeBoard();
    cafe->figures.breakdowns = 1;
    Book().Show();
    Update(80);
    Book().SetVisible(false);
  }
  // What the board does at the end of a day.
  void EndDay(int money, int result, int day) {
    Book().OnLevelEnd(money, result, day);
    Book().SetVisible(true);
  }
  const QCHiScoreTable& Scores() { return Game().mPref.GetHiScoreTable(false); }
};

TEST_F(CareerLevelEndTest, AWonDayRecordsTheMoneyAndBadgesAndTheCareerTotal) {
  StartAt(3);
  Profile().mBestMoney[1] = 100;
  cafe->figures.freezeRewards = 5;
  cafe->figures.cleanRewards = 6;
  EndDay(300, 1, 3);
  EXPECT_EQ(Book().mCountedMoney, 400);
  EXPECT_EQ(Profile().mCurrentDay, 4);
  EXPECT_EQ(Profile().mBestMoney[3], 400);
  EXPECT_EQ(Profile().mExpert[3], 0);
  const uint8_t badges[5] = {1, 1, 0, 0, 0};
  EXPECT_EQ(std::memcmp(Profile().mAchievements[3], badges, 5), 0);
  EXPECT_EQ(Scores()[0].mScore, 500);
  EXPECT_EQ(std::wstring(Scores()[0].mName), L"Ann");
  // The page opens on the day, its stored badges laid out in order.
  EXPECT_EQ(Book().mSelectedSlot, 3);
  EXPECT_TRUE(Page().goalMarks[2]->mVisible);
  EXPECT_EQ(Page().badges[0]->mLayout.mX, 40);
  EXPECT_EQ(Page().badges[1]->mLayout.mX, 80);
  EXPECT_TRUE(Page().badges[1]->mVisible);
  EXPECT_TRUE(Book().mNext->mVisible);
  EXPECT_FALSE(Book().mPlay->mVisible);
  EXPECT_TRUE(Game().mMainMenu->mVisible);

  // Every improvement offers the new total to the table.
  Book().SetVisible(false);
  cafe->figures = QCAchievementFigures{};
  cafe->figures.breakdowns = 1;
  EndDay(200, 1, 4);
  EXPECT_EQ(Scores()[0].mScore, 700);
}

TEST_F(CareerLevelEndTest, AFailedDayCountsUpAndRecordsNothing) {
  StartAt(3);
  EndDay(1000, 2, 3);
  EXPECT_EQ(Profile().mCurrentDay, 3);
  EXPECT_EQ(Profile().mBestMoney[3], 0);
  EXPECT_TRUE(Book().mPlay->mVisible);
  EXPECT_TRUE(Book().mPlay->mDisabled);
  QCCandyWidget* splash = Book().FindChild("fail_splash");
  // Updates after the level end, the score then, and whether the splash shows.
  const std::tuple<int, const wchar_t*, bool> counts[] = {
      {50, L"249", false}, {100, L"499", false}, {101, L"504", true}, {150, L"749", true}, {200, L"999", true}};
  int done = 0;
  for (const auto& [updates, score, shown] : counts) {
    Update(updates - done);
    done = updates;
    EXPECT_EQ(Var("score"), score) << updates;
    EXPECT_EQ(splash->mVisible, shown) << updates;
  }
  EXPECT_TRUE(splash->FindChild("shine")->mVisible);
  Update(1);
  EXPECT_EQ(Var("score"), L"1000");
  EXPECT_FALSE(Book().mCounting);
  EXPECT_TRUE(Book().mPlay->mDisabled);
  Update(1);
  EXPECT_FALSE(Book().mPlay->mDisabled);
  EXPECT_TRUE(Scores()[0].mName[0] == 0);
  // The count was the day's takings; the day page shows its best, which is none.
  const auto* score = dynamic_cast<QCText*>(Book().mRightPage->FindChild("score"));
  EXPECT_EQ(score->GetDisplayText(), L"Earned: $1000");
  Release(Page().dayButtons[2]);
  Update(1);
  EXPECT_EQ(score->GetDisplayText(), L"Best: $0");
}

// A text table from before the takings had their own label: the count keeps the book's label rather
// than show no word and no number.
TEST_F(CareerLevelEndTest, ATableWithoutTheTakingsLabelCountsUnderTheBooksOwn) {
  StartAt(3);
  pak.Put("cfg/loc.xml", Utf16File("<root><loc id='car_score' text='Best: $%score%'/></root>"));
  LocTexts older;
  ASSERT_TRUE(older.LoadLocTable());
  SetCurrentTextTables(&older, &CurrentTextVars());
  EndDay(1000, 2, 3);
  SetCurrentTextTables(Game().GetLocTexts(), &CurrentTextVars());
  Update(202);
  EXPECT_EQ(dynamic_cast<QCText*>(Book().mRightPage->FindChild("score"))->GetDisplayText(), L"Best: $1000");
}

TEST_F(CareerLevelEndTest, ALowerReplayKeepsTheRecordButMayGainTheExpertMark) {
  StartAt(5);
  Profile().mBestMoney[3] = 1000;
  Profile().mAchievements[3][2] = 1;
  cafe->figures.freezeRewards = 5;
  cafe->figures.cleanRewards = 5;
  EndDay(500, 0, 3);
  EXPECT_EQ(Profile().mExpert[3], 1);
  EXPECT_EQ(Profile().mBestMoney[3], 1000);
  EXPECT_EQ(Profile().mAchievements[3][0], 0);
  EXPECT_EQ(Profile().mAchievements[3][2], 1);
  EXPECT_EQ(Profile().mCurrentDay, 5);
  EXPECT_TRUE(Book().mNext->mVisible);
  EXPECT_TRUE(Scores()[0].mName[0] == 0);
  // The badges won are placed in the order 2, 1 and then hidden by the page of the stored record.
  EXPECT_EQ(Page().badges[1]->mLayout.mX, 40);
  EXPECT_EQ(Page().badges[0]->mLayout.mX, 80);
  EXPECT_FALSE(Page().badges[0]->mVisible);
  EXPECT_TRUE(Page().badges[2]->mVisible);
  EXPECT_TRUE(Page().expertMarks[2]->mVisible);
}

TEST_F(CareerLevelEndTest, WinningTheLastDayEndsTheCareerWithTheFinalComic) {
  StartAt(59);
  EndDay(900, 1, 59);
  EXPECT_EQ(Profile().mCurrentDay, 60);
  EXPECT_EQ(Book().mComicIndex, QCBoard_Career::kFinalComic);
  EXPECT_TRUE(Book().mComix->mVisible);
  Update(1);
  EXPECT_FALSE(Book().mCounting);
  Update(80);
  EXPECT_TRUE(Book().mComix->FindChild("comix60")->mVisible);
  Release(Book().mComixNext);
  EXPECT_EQ(Book().mComicIndex, 0);
  EXPECT_FALSE(Book().mVisible);
  EXPECT_TRUE(Game().mMainMenu->mVisible);
}

TEST_F(CareerLevelEndTest, AllFourBadgesWinTheSuperPrize) {
  StartAt(2);
  cafe->figures = {5, 5, 5, 0, {5, 5, 5, 1, 50, 4, 100}};
  EndDay(300, 0, 2);
  EXPECT_EQ(Book().mCountedMoney, 300 + 4 * 50 + 100);
  const uint8_t badges[5] = {1, 1, 1, 1, 1};
  EXPECT_EQ(std::memcmp(Profile().mAchievements[2], badges, 5), 0);
  EXPECT_TRUE(Page().prize->mVisible);
  EXPECT_EQ(Page().badges[3]->mLayout.mX, 160);
}

TEST_F(CareerLevelEndTest, ABadgeNeedsRewardsAndNoBreakdownNeedsTheGoal) {
  StartAt(2);
  cafe->figures = {0, 4, 9, 0, {0, 5, 9, 0, 50, 5, 100}};
  EndDay(300, 1, 2);
  // No freeze reward at all, four of five clean rewards, nine of nine happy, no breakdown goal.
  const uint8_t badges[5] = {0, 0, 1, 0, 0};
  EXPECT_EQ(std::memcmp(Profile().mAchievements[2], badges, 5), 0);
  EXPECT_EQ(Book().mCountedMoney, 350);
}

}  // namespace

namespace {

// A first career day from the main menu to pref.dat: the book, the three comic pages, the level
// start behind them, the briefing, the end of the day as the board hands it over, the count-up.
TEST_F(CareerLevelEndTest, TheFirstDayFromTheMenuToPrefDat) {
  StartAtDay(1);
  AddCafeBoard();
  Release(Game().mMainMenu->mCareer);
  Update(80);
  ASSERT_TRUE(Book().mVisible);
  Release(Book().mPlay);
  for (int page = 0; page < 3; ++page) {
    Update(80);
    Release(Book().mComixNext);
  }
  ASSERT_TRUE(cafe->mLoading);
  EXPECT_EQ(cafe->mLoadLevelArg, 1);
  cafe->OnLevelLoaded();
  // The board's level start: the HUD, then the briefing, which holds the game until "start".
  cafe->mLevel = 1;
  cafe->hud->BeginLevel(false);
  cafe->hud->Show();
  cafe->briefing->Show();
  EXPECT_EQ(cafe->mPauseCount, 1);
  Release(cafe->briefing->mStart);
  EXPECT_EQ(cafe->mPauseCount, 0);
  // The day ends above the expert goal without a breakdown.
  cafe->Hide();
  Book().OnLevelEnd(900, 0, 1);
  Book().SetVisible(true);
  ASSERT_TRUE(Game().mPref.Save());
  Update(200);
  EXPECT_TRUE(Book().mCounting);
  Update(1);
  EXPECT_FALSE(Book().mCounting);
  EXPECT_EQ(Var("score"), L"950");
  Game().mPref.Save();
  std::vector<QCProfile> stored;
  Game().mPref.ReadAllProfiles(stored);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].mCurrentDay, 2);
  EXPECT_EQ(stored[0].mExpert[1], 1);
  EXPECT_EQ(stored[0].mBestMoney[1], 950);
  EXPECT_EQ(stored[0].mAchievements[1][3], 1);
}

// A level end lays the book open over the main menu. "Next day" takes both off the screen: the
// board does not cover the whole screen, and no page of either may show around the day.
TEST_F(CareerLevelEndTest, AfterNextDayNoPageOfTheBooksIsDrawnWhileTheDayRuns) {
  StartAt(2);
  EndDay(200, 1, 2);
  ASSERT_TRUE(Game().mMainMenu->mVisible);
  Update(203);
  ASSERT_TRUE(Book().mNext->mVisible && !Book().mNext->mDisabled);
  Release(Book().mNext);
  ASSERT_TRUE(cafe->mLoading);
  EXPECT_EQ(cafe->mLoadLevelArg, 3);
  cafe->OnLevelLoaded();
  cafe->hud->BeginLevel(false);
  cafe->hud->Show();
  Update(100);
  for (QCCandyWidget* book : {static_cast<QCCandyWidget*>(Game().mMainMenu), static_cast<QCCandyWidget*>(&Book())})
    EXPECT_FALSE(book->IsVisibleInTree());
}

// Today's page offers "Play" when the book opens again on it, also when the day begun with "Next
// day" was left unfinished.
TEST_F(CareerLevelEndTest, ADayLeftUnfinishedIsOfferedToPlayWhenTheBookOpensAgain) {
  StartAt(2);
  EndDay(200, 1, 2);
  Update(203);
  Release(Book().mNext);
  cafe->OnLevelLoaded();
  cafe->Hide();  // the player quits the day
  Book().Show();
  Update(80);
  EXPECT_EQ(Book().mSelectedSlot, 3);
  EXPECT_TRUE(Book().mPlay->mVisible);
  EXPECT_FALSE(Book().mNext->mVisible);
}

}  // namespace

namespace {

// The cafe's own board, made with the screens: it hands a finished day with its figures to the book
// and saves, and its HUD and briefing are the complete screens.
TEST_F(CareerLevelEndTest, TheCafeBoardHandsItsDayToTheBook) {
  StartAtDay(5);
  QCBoard_Game3& game = *Game().mBoard;
  ASSERT_NE(game.mHud, nullptr);
  EXPECT_NE(game.mHud->mCareerClock, nullptr);
  EXPECT_NE(game.mBriefing->mStart, nullptr);
  EXPECT_EQ(GetInGameBoard(), &game);
  game.mLevel = 5;
  game.mNormalGoal = 300;
  game.mExpertGoal = 600;
  game.mMoney = 650;
  game.mCleanCount = 5;
  game.mBreakdowns = 2;
  game.FinishLevel();
  EXPECT_TRUE(Book().mVisible);
  EXPECT_TRUE(Book().mCounting);
  std::vector<QCProfile> stored;
  Game().mPref.ReadAllProfiles(stored);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].mCurrentDay, 6);
  EXPECT_EQ(stored[0].mExpert[5], 1);
  EXPECT_EQ(stored[0].mBestMoney[5], 700);
  EXPECT_EQ(stored[0].mAchievements[5][1], 1);
  EXPECT_EQ(stored[0].mAchievements[5][3], 0);
}

}  // namespace
