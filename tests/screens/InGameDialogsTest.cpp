// The briefing and the upgrade dialog over the board: their texts and pictures, the modal briefing,
// the offers on their trays, and one pause per opening however often they are shown and hidden.
#include "CareerFixture.h"
#include "engine/LocTexts.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"
#include "ui/UiXmlDoc.h"

namespace {

class InGameDialogsTest : public CareerTest {
 protected:
  InGameDialogsTest() {
    StartAtDay(1);
    AddCafeBoard();
  }
  QCBoard_Briefing& Briefing() { return *cafe->briefing; }
  QCBoard_Upgrade& Upgrade() { return *cafe->upgrade; }
  void ShowBriefing(int level, bool survival) {
    cafe->mLevel = level;
    cafe->mSurvival = survival;
    Briefing().Show();
  }
  std::wstring LabelText(QCText* label) { return label->GetText(); }
  // Each offer is (object, name).
  void Offer(const std::vector<std::pair<std::string, std::string>>& offers, bool survival) {
    cafe->upgrades.clear();
    for (const auto& [object, name] : offers) cafe->upgrades.push_back(UpgradeRecord(object, name));
    cafe->mSurvival = survival;
  }
};

TEST_F(InGameDialogsTest, ACareerBriefingNamesTheDayWithinItsCafe) {
  ShowBriefing(16, false);
  EXPECT_TRUE(ShowsPicture(Briefing().FindChild("picture"), "briefing_16"));
  EXPECT_EQ(Var("level_briefing"), L"Sixteen");
  EXPECT_EQ(Var("cafe"), L"two");
  EXPECT_EQ(Var("currentcafe"), L"two");
  EXPECT_EQ(Var("day"), L"one");
  EXPECT_EQ(Var("currentday"), L"one");
  EXPECT_EQ(LabelText(Briefing().mGoalLabel), L"Goal");
  EXPECT_EQ(LabelText(Briefing().mExpertLabel), L"Expert");
  EXPECT_EQ(LabelText(Briefing().mReadyLabel), L"Ready");
  Briefing().Hide();
  // The last day has no picture of its own.
  ShowBriefing(59, false);
  EXPECT_EQ(Var("cafe"), L"three");
  EXPECT_EQ(Var("day"), L"twenty-four");
  EXPECT_EQ(Briefing().mPictureName, "briefing_00");
  EXPECT_TRUE(ShowsPicture(Briefing().FindChild("picture"), "briefing_00"));
}

TEST_F(InGameDialogsTest, ASurvivalBriefingUsesTheEndlessTexts) {
  ShowBriefing(16, false);
  Briefing().Hide();
  SetTextVar("day", L"stage 1");
  ShowBriefing(2, true);
  EXPECT_TRUE(ShowsPicture(Briefing().FindChild("picture"), "ebriefing_02"));
  EXPECT_EQ(Var("level_briefing"), L"Endless two");
  EXPECT_EQ(LabelText(Briefing().mGoalLabel), L"Stage");
  EXPECT_EQ(LabelText(Briefing().mExpertLabel), L"Record");
  EXPECT_EQ(LabelText(Briefing().mReadyLabel), L"Go");
  EXPECT_EQ(Var("cafe"), L"two");
  EXPECT_EQ(Var("day"), L"stage 1");
  EXPECT_EQ(Var("currentday"), L"stage 1") << "the title's day, not a career day's";
}

TEST_F(InGameDialogsTest, TheBriefingHoldsTheGameUntilStart) {
  ShowBriefing(3, false);
  EXPECT_EQ(Manager()->mModalWidget, &Briefing());
  EXPECT_EQ(Manager()->mFocusWidget, &Briefing());
  Click(10, 590);
  EXPECT_NE(Manager()->mLastDownWidget, cafe);
  // A second Show pauses nothing more; one Hide resumes once.
  Briefing().Show();
  EXPECT_EQ(cafe->mPauseCount, 1);
  Release(Briefing().mStart);
  EXPECT_FALSE(Briefing().mVisible);
  EXPECT_EQ(cafe->mPauseCount, 0);
  EXPECT_EQ(Manager()->mFocusWidget, cafe);
  EXPECT_NE(Manager()->mModalWidget, &Briefing());
  Briefing().Hide();
  EXPECT_EQ(cafe->mPauseCount, 0);
  EXPECT_EQ(cafe->events, (std::vector<std::string>{"pause", "resume"}));
}

TEST_F(InGameDialogsTest, OffersFillTheirTraysAndTheChosenOneStays) {
  Offer({{"oven", "hot"}, {"sofa", "red"}, {"sign", "big"}}, true);
  Upgrade().Show();
  EXPECT_EQ(Upgrade().mOfferCount, 3);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Upgrade().mTrays[i]->mVisible && Upgrade().mTrayButtons[i]->mVisible) << i;
  EXPECT_FALSE(Upgrade().mTrayButtons[3]->mVisible);
  EXPECT_TRUE(ShowsPicture(Upgrade().mTrayButtons[0], "mn09_char_small_oven_hot"));
  EXPECT_TRUE(ShowsPicture(Upgrade().mPhoto, "mn09_char_oven"));
  EXPECT_EQ(Upgrade().mDescription->GetText(), L"A hot oven");
  EXPECT_TRUE(Upgrade().mMedal->mVisible);
  EXPECT_TRUE(ShowsPicture(Upgrade().mMedal, "mn09_medal_hot"));
  EXPECT_EQ(cafe->mPauseCount, 1);
  // The fourth tray has no offer; the second takes the first back. Its medal is not described.
  Upgrade().ButtonDepress(static_cast<QCButton*>(Upgrade().mTrayButtons[3])->GetId());
  Release(Upgrade().mTrayButtons[1]);
  EXPECT_FALSE(Upgrade().mMedal->mVisible);
  EXPECT_TRUE(Upgrade().mSelectMarks[1]->mVisible);
  EXPECT_FALSE(Upgrade().mSelectMarks[0]->mVisible);
  Release(Upgrade().mClose);
  EXPECT_EQ(cafe->applied, (std::vector<std::string>{"+hot", "-hot", "+red"}));
  EXPECT_TRUE(cafe->taken.count(&cafe->upgrades[1]));
  EXPECT_FALSE(cafe->taken.count(&cafe->upgrades[0]));
  EXPECT_FALSE(Upgrade().mVisible);
  EXPECT_FALSE(Upgrade().mTrays[0]->mVisible);
  EXPECT_EQ(cafe->mPauseCount, 0);
  EXPECT_EQ(cafe->finishes, 0);
}

// The dialog lies over the cafe and changes nothing of it beside itself: no frame or page of the
// book around it, and its select mark lets the chosen tray's picture show.
TEST_F(InGameDialogsTest, TheUpgradeDialogLeavesTheBoardAroundItAsItWas) {
  cafe->SetVisible(true);
  cafe->hud->BeginLevel(false);
  cafe->hud->Show();
  Update(60);
  Draw();
  std::vector<uint32_t> before;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) before.push_back(Pixel(x, y));
  Offer({{"oven", "hot"}, {"sofa", "red"}}, false);
  Upgrade().Show();
  Update(60);
  Draw();
  const POINT at = Upgrade().AbsolutePos();
  auto inside = [&](int x, int y) {
    return x >= at.x && x < at.x + Upgrade().mWidth && y >= at.y && y < at.y + Upgrade().mHeight;
  };
  int changed = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      if (!inside(x, y) && Pixel(x, y) != before[static_cast<size_t>(y) * 800 + x]) ++changed;
  EXPECT_EQ(changed, 0);
}

TEST_F(InGameDialogsTest, ClosingAfterACareerDayFinishesItOnce) {
  Offer({{"oven", "hot"}}, false);
  Upgrade().Show();
  Release(Upgrade().mClose);
  EXPECT_EQ(cafe->finishes, 1);
  Upgrade().Hide();
  EXPECT_EQ(cafe->finishes, 1);
}

TEST_F(InGameDialogsTest, WithoutOffersTheDialogClosesAtOnce) {
  Offer({}, true);
  Upgrade().Show();
  EXPECT_FALSE(Upgrade().mVisible);
  EXPECT_EQ(cafe->mPauseCount, 0);
  EXPECT_TRUE(cafe->applied.empty());
  EXPECT_EQ(cafe->finishes, 0);
  cafe->mSurvival = false;
  Upgrade().Show();
  EXPECT_FALSE(Upgrade().mVisible);
  EXPECT_EQ(cafe->finishes, 1);
}

TEST_F(InGameDialogsTest, ASecondShowTakesNoSecondUpgradeKind) {
  Offer({{"oven", "hot"}}, true);
  cafe->waitingKinds = 2;
  Upgrade().Show();
  Upgrade().Show();
  Upgrade().Hide();
  EXPECT_EQ(cafe->mPauseCount, 0);
  EXPECT_EQ(cafe->waitingKinds, 1);
  EXPECT_EQ(cafe->collections, 1);
  EXPECT_EQ(cafe->events, (std::vector<std::string>{"pause", "resume"}));
}

TEST_F(InGameDialogsTest, MoreOffersThanTraysFillOnlyTheTrays) {
  UiXmlDoc ui(UiText::Screens(UiText::InGameScreens(2)));
  auto* small = new QCBoard_Upgrade(&Game(), ui.Root());
  cafe->upgrade = small;
  cafe->BindControl("upgrade2", small);
  Offer({{"o", "a"}, {"o", "b"}, {"o", "c"}, {"o", "d"}}, true);
  small->Show();
  EXPECT_EQ(small->mOfferCount, 4);
  EXPECT_TRUE(small->mTrays[1]->mVisible);
  Release(small->mTrayButtons[1]);
  Release(small->mClose);
  EXPECT_EQ(cafe->applied, (std::vector<std::string>{"+a", "-a", "+b"}));
}

}  // namespace
