// The hi-score tables: the player's own rows stand out, empty rows show nothing.
#include "ScreenFixture.h"
#include "screens/QCBoard_HiScores.h"
#include "screens/QCBoard_MainMenu.h"
#include "ui/QCText.h"

namespace {

class HiScoresTest : public ScreenTest {
 protected:
  HiScoresTest() {
    Game().mPref.CreateProfile(L"Ann", nullptr, nullptr);
    StartScreens();
  }
  void SetEntry(bool survival, int row, const wchar_t* name, int score) {
    QCHiScoreEntry& entry = Game().mPref.GetHiScoreTable(survival)[row];
    SetPrefName(entry.mName, name);
    entry.mScore = score;
  }
  QCText* Row(const char* kind, char table, int row) {
    QCBoard_HiScores& scores = *Game().mHiScores;
    QCCandyWidget* page = table == '1' ? scores.mRightPage : scores.mLeftPage;
    return dynamic_cast<QCText*>(page->FindChild(kind + std::string(1, table) + std::to_string(row)));
  }
};

TEST_F(HiScoresTest, ThePlayersRowsStandOut) {
  for (int row = 0; row < 10; ++row) SetEntry(true, row, row % 3 == 0 && row < 9 ? L"Ann" : L"Bo", 1000 - row);
  SetEntry(false, 0, L"ann", 1500);
  SetEntry(false, 1, L"Ann", 0);
  SetEntry(false, 2, L"Ann", -20);
  SetEntry(false, 3, L"", 700);
  Release(Game().mMainMenu->mScores);
  EXPECT_EQ(Game().mMainMenu->mFlipPage, Game().mHiScores->mHiscoresDlg);
  EXPECT_EQ(Game().mMainMenu->mFlipTarget, kFlipToHiScores);
  EXPECT_EQ(Manager()->mFocusWidget, Game().mHiScores);
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(Row("line", '1', row)->mDisabled, !(row % 3 == 0 && row < 9)) << row;
    EXPECT_FALSE(Row("score", '1', row)->mDisabled);
  }
  EXPECT_TRUE(Row("line", '0', 0)->mDisabled) << "letter case counts";
  EXPECT_EQ(Row("score", '0', 0)->GetText(), L"1500");
  EXPECT_EQ(Row("score", '0', 1)->GetText(), L"0");
  EXPECT_EQ(Row("score", '0', 2)->GetText(), L"-20");
  EXPECT_EQ(Row("line", '0', 3)->GetText(), L"");
  EXPECT_EQ(Row("score", '0', 3)->GetText(), L"") << "an empty row shows no score";
}

}  // namespace
