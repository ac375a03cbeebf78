// The upgrades and the first day's script on the fixture cafe, played headless.
#include "cafe/CafeFixture.h"
#include "cafe/QCTutorial.h"

namespace {

using namespace CafeTesting;

const char kUpgrades[] = R"(
  <upgrade>
    <functional name="speed" object="boss" min_level="1" max_level="3"/>
    <functional name="speed" object="baker" min_level="1" max_level="3"/>
    <functional name="tidiness" object="baker" min_level="1" max_level="3"/>
    <functional name="speed" object="juicer" min_level="1" max_level="3"/>
    <functional name="tidiness" object="juicer" min_level="1" max_level="3"/>
    <visual name="floor_c1" object="floor" min_level="1" max_level="1"><object name="floor"/></visual>
  </upgrade>
</root>)";

class UpgradePlayTest : public CafeFixture {
 protected:
  UpgradePlayTest() {
    std::string cfg = ReadCafeData("cfg_cafe.xml");
    cfg.replace(cfg.rfind("</root>"), 7, kUpgrades);
    pak.Put("cfg\\cfg.xml", Utf16File(cfg));
    pak.Put("cfg\\l1.xml", Utf16File(ReadCafeData("l2_cafe.xml")));
    board->ClearConfigs();
    ResetWorkerSequenceForTests();
    board->LoadObjectConfigs();
  }

  std::vector<QCUpgradeInfo*> Offers() {
    std::vector<QCUpgradeInfo*> offers;
    board->CollectUpgradeOffers(offers);
    return offers;
  }
};

TEST_F(UpgradePlayTest, ASurvivalStageOffersUpgradesForTheRestOfTheShift) {
  Load(1, 1);
  EXPECT_EQ(board->mUpgradeStages, (std::vector<std::pair<int, int>>{{2, 1}}));
  const float plain = Worker("worker01")->WorkTime();
  board->AddMoney(30);  // the first stage's target
  EXPECT_EQ(board->mSurvivalDay, 2);
  EXPECT_EQ(board->mUpgradeQueue, (std::deque<int>{1}));
  std::vector<QCUpgradeInfo*> offers = Offers();
  ASSERT_EQ(offers.size(), 4u);
  EXPECT_TRUE(board->mUpgradeQueue.empty());
  ASSERT_EQ(offers[1]->object, "baker");
  ASSERT_EQ(offers[1]->name, "speed");
  board->ApplyUpgrade(*offers[1], true);
  EXPECT_FLOAT_EQ(Worker("worker01")->WorkTime(), plain * 0.5f);
  EXPECT_EQ(Worker("worker01")->mSkin, "baker");  // the worker keeps its look
  Seconds(3.0f);
  EXPECT_FLOAT_EQ(Worker("worker01")->WorkTime(), plain * 0.5f);

  board->StopLevel();
  Load(1, 1);  // a new shift starts without it
  EXPECT_FLOAT_EQ(Worker("worker01")->WorkTime(), plain);
  EXPECT_EQ(board->IsUpgradeApplied("baker", "speed"), 0);
  EXPECT_EQ(Offers().size(), 0u);
}

TEST_F(UpgradePlayTest, DayOneRunsTheScriptAndOtherDaysDoNot) {
  Load(2, 0);
  EXPECT_TRUE(board->IsObjectAllowed("table01"));
  board->StopLevel();

  Load(1, 0);
  ASSERT_TRUE(board->mTutorial->IsRunning());
  EXPECT_FALSE(board->IsObjectAllowed("table01"));
  EXPECT_FALSE(board->IsActionAllowed(QCTutorial::kPatienceFalls));
  Seconds(1.0f);
  EXPECT_EQ(board->mTutorial->CurrentStep(), 2);  // the first customer came and the arrivals stop
  EXPECT_FALSE(board->IsActionAllowed(QCTutorial::kClientsArrive));
  Click("table01");  // locked: the boss stays
  EXPECT_EQ(board->mTutorial->CurrentStep(), 2);
  Click("coffeemachine");  // not one of the script's objects: the boss goes, and the script moves on
  EXPECT_EQ(Boss()->mMask, "1000");
  EXPECT_EQ(board->mTutorial->CurrentStep(), 3);

  board->StopLevel();
  EXPECT_FALSE(board->mTutorial->IsRunning());
  EXPECT_TRUE(board->IsObjectAllowed("table01"));
}

// The events the characters and the player would send are fed in; the script's own click of
// table01 then goes through the board as a player's would: the boss walks, and the click's event
// moves the script on. The fixture has no table04, so the script waits at its next click.
TEST_F(UpgradePlayTest, TheScriptsOwnClickWalksTheBoss) {
  const int waits[] = {0, 1, 2, 4, 0, 2, 2, 2, 0, 8, 2, 2, 3, 0, 2, 2, 1, 2, 4, 0, 2, 2, 0, 0, 2, 0, 0, 1, 0, 1, 0, 1};
  Load(1, 0);
  QCTutorial& tutorial = *board->mTutorial;
  for (int guard = 0; guard < 3000 && tutorial.CurrentStep() < 32; ++guard) {
    const int wait = waits[tutorial.CurrentStep()];
    if (wait != 0)
      board->TutorialEvent(wait);
    else
      Frames(1);
  }
  ASSERT_EQ(tutorial.CurrentStep(), 32);
  EXPECT_FALSE(Busy());
  Frames(2);
  EXPECT_TRUE(Busy());  // on the way to table01
  EXPECT_EQ(tutorial.CurrentStep(), 34);
  EXPECT_FALSE(board->IsObjectAllowed("table01"));
  Seconds(1.0f);
  EXPECT_EQ(tutorial.CurrentStep(), 35);
  EXPECT_TRUE(board->IsObjectAllowed("table04"));
}

}  // namespace
