// The rush-bonus chain and the money pop-ups it and the customers show.

#include "cafe/CafeFixture.h"
#include "cafe/QCItemBonus.h"
#include "scene/SceneTestKit.h"

using namespace CafeTesting;

namespace {

class RushTest : public CafeFixture {
 protected:
  RushTest() { Load(2, 0); }
  static QCItemBonus* Popups() { return GetPopupSpawner(); }
  static std::vector<QCItemPart*> Shown(const std::string& kind) {
    std::vector<QCItemPart*> shown;
    for (QCItemPart* part : Popups()->mParts)
      if (part->mName == kind && part->mVisible) shown.push_back(part);
    return shown;
  }
  static void HideAll() {
    for (QCItemPart* part : Popups()->mParts) part->Show(false);
  }
};

TEST_F(RushTest, StagesFireAtTheirChainLengthsOnly) {
  QCItem* client = Standing();
  std::vector<int> fired;
  for (int i = 1; i <= 6; ++i) {
    Chain().OnEvent(QCBonus::kGood, client);
    fired.push_back(Chain().FiredStage());
    if (i == 3) {
      ASSERT_EQ(Shown("bonus").size(), 1u);
      EXPECT_EQ(Shown("bonus")[0]->mAnchorY, 180 - 50);
    }
    if (i == 5) {
      EXPECT_EQ(Shown("bonus").size(), 2u) << "a stage without a text fires all the same";
    }
    if (i == 5) HideAll();
  }
  EXPECT_EQ(fired, (std::vector<int>{-1, -1, 0, -1, 1, -1}));
  EXPECT_TRUE(Shown("bonus").empty()) << "the sixth fires nothing";
  EXPECT_EQ(Chain().Count(), 6);
  Chain().OnEvent(QCBonus::kBad, client);
  EXPECT_EQ(Chain().Count(), 0);
  Chain().OnEvent(7, client);
  EXPECT_EQ(Chain().Count(), 0) << "other kinds do nothing";
}

TEST_F(RushTest, WithoutAnItemTheStageAwardsButShowsNothing) {
  for (int i = 0; i < 3; ++i) Chain().OnEvent(QCBonus::kGood, nullptr);
  EXPECT_EQ(Chain().FiredStage(), 0);
  EXPECT_TRUE(Shown("bonus").empty());
}

TEST_F(RushTest, TheChainTimesOutOnTheBoardsOwnTime) {
  Chain().OnEvent(QCBonus::kGood, nullptr);
  Seconds(3.9f);
  EXPECT_EQ(Chain().Count(), 1);
  board->PauseGameSounds();
  Seconds(10.0f);
  EXPECT_EQ(Chain().Count(), 1) << "nothing passes while the board is paused";
  board->ResumeGameSounds();
  Seconds(0.2f);
  EXPECT_EQ(Chain().Count(), 0);
}

TEST_F(RushTest, DuplicateActionsFireTheFirstAndATimeoutOfZeroEndsEveryChain) {
  SceneTesting::XmlDoc doc(pak, R"(<root><bonus_config rush_timeout="0"><bonus_stages>
      <a action="1" bonus="0"/><b action="1" bonus="9"/><c/></bonus_stages></bonus_config></root>)",
                           L"root");
  QCBonus bonus;
  bonus.Load(doc.Node());
  ASSERT_EQ(bonus.Stages().size(), 3u);
  EXPECT_EQ(bonus.Stages()[2].action, 0);
  EXPECT_TRUE(bonus.Stages()[2].text.empty());
  bonus.OnEvent(QCBonus::kGood, Standing());
  EXPECT_EQ(bonus.FiredStage(), 0);
  EXPECT_TRUE(Shown("bonus").empty()) << "a bonus of 0 shows nothing";
  Frames(1);
  bonus.Update();
  EXPECT_EQ(bonus.Count(), 0);
}

TEST_F(RushTest, MoneyPopupsFormatTheAmountAndSitOverTheCharacter) {
  EXPECT_EQ(QCItemBonus::MoneyText(25), L"$+25");
  EXPECT_EQ(QCItemBonus::MoneyText(-25), L"$-25");
  QCItem* client = Standing();
  Popups()->ShowPopup(QCItemBonus::kMoney, client, 0, L"");
  Popups()->ShowPopup(QCItemBonus::kBonus, client, 0, L"x");
  Popups()->ShowPopup(QCItemBonus::kMoney, nullptr, 5, L"");
  Popups()->ShowPopup(2, client, 5, L"");
  EXPECT_TRUE(Shown("cash").empty());
  EXPECT_TRUE(Shown("bonus").empty());
  Popups()->ShowPopup(QCItemBonus::kMoney, client, -25, L"");
  ASSERT_EQ(Shown("cash").size(), 1u);
  QCItemPart* cash = Shown("cash")[0];
  EXPECT_EQ(cash->mText, L"$-25");
  EXPECT_EQ(cash->mAnchorX, 500 + 5);
  EXPECT_EQ(cash->mAnchorY, 180 - 30);
  Popups()->ShowPopup(QCItemBonus::kMoney, client, 10, L"");
  Popups()->ShowPopup(QCItemBonus::kMoney, client, 10, L"");
  EXPECT_EQ(Shown("cash").size(), 2u) << "every part in flight: the third shows nothing";
  Popups()->ShowPopup(QCItemBonus::kBonus, client, 3, L"Rush!");
  EXPECT_EQ(Shown("bonus")[0]->mText, L"Rush!");
  Popups()->Reset(true);
  EXPECT_TRUE(Shown("cash").empty());
  EXPECT_EQ(Popups()->mParts[0]->mText, L"$");
}

}  // namespace
