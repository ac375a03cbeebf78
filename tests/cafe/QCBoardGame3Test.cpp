// The board's rules: cafes and days, goals, lives, rewards and achievements, the level's settings
// and overrides, arrivals, and what happens to bad level files.

#include "cafe/CafeFixture.h"
#include "platform/msgbox/MessageBox.h"
#include "screens/QBoard_Hud.h"

using namespace CafeTesting;

namespace {

using BoardRulesTest = CafeFixture;

// The fixture day with its text edited.
std::string EditedDay(const std::string& from, const std::string& to) {
  std::string day = ReadCafeData("l2_cafe.xml");
  const size_t at = day.find(from);
  if (at != std::string::npos) day.replace(at, from.size(), to);
  return day;
}

TEST_F(BoardRulesTest, CareerDaysFallIntoThreeCafes) {
  const int table[][3] = {{1, 1, 1}, {15, 1, 15}, {16, 2, 1}, {35, 2, 20}, {36, 3, 1}, {59, 3, 24}, {60, 0, 0}};
  for (const auto& row : table) {
    board->mLevel = row[0];
    EXPECT_EQ(board->GetCafe(), row[1]) << "day " << row[0];
    EXPECT_EQ(board->GetCafeDay(), row[2]) << "day " << row[0];
  }
  board->mSurvival = true;
  board->mLevel = 2;
  board->mSurvivalDay = 4;
  EXPECT_EQ(board->GetCafe(), 2);
  EXPECT_EQ(board->GetCafeDay(), 4);
}

TEST_F(BoardRulesTest, GoalsAreReachedOneChangeAtATime) {
  Load(2, 0);
  board->AddMoney(29);
  EXPECT_FALSE(board->mGoalReached);
  board->AddMoney(1);
  EXPECT_TRUE(board->mGoalReached) << "equal reaches";
  EXPECT_FALSE(board->mExpertReached);
  Load(2, 0);
  board->AddMoney(100);
  EXPECT_TRUE(board->mGoalReached);
  EXPECT_FALSE(board->mExpertReached) << "one jump past both: only the goal";
  board->AddMoney(0);
  EXPECT_TRUE(board->mExpertReached) << "the next change brings the expert";
  EXPECT_EQ(board->LevelResult(), QCBoard_Game3::kExpertResult);
  board->mMoney = 45;
  EXPECT_EQ(board->LevelResult(), QCBoard_Game3::kGoalResult);
  board->mMoney = 29;
  EXPECT_EQ(board->LevelResult(), QCBoard_Game3::kFailResult);
}

TEST_F(BoardRulesTest, NegativeGoalsAreNotReachedByNegativeMoney) {
  Load(2, 0);
  board->mNormalGoal = -5;
  board->mGoalReached = false;
  board->mMoney = -10;
  board->CheckGoals();
  EXPECT_FALSE(board->mGoalReached);
}

TEST_F(BoardRulesTest, CoinsPayByTheMoneyUpgradeAndOnlyKnownKindsReward) {
  Load(2, 0);
  board->ApplyMiniGameReward(QCBoard_Game3::kCoins, 3);
  EXPECT_EQ(board->mMoney, 30);
  QCUpgradeInfo money;
  money.name = "money";
  money.object = "bonus";
  board->mFunctionalUpgrades.push_back(money);
  board->mSurvival = true;  // the shift's own flags: no profile needed
  board->ApplyUpgrade(board->mFunctionalUpgrades.back(), true);
  board->ApplyMiniGameReward(QCBoard_Game3::kCoins, 2);
  EXPECT_EQ(board->mMoney, 70);
  for (int kind : {5, 9, -1}) board->ApplyMiniGameReward(kind, 4);
  EXPECT_EQ(board->mMoney, 70);
  EXPECT_FALSE(board->mFreeze.DeadlineRunning());
  EXPECT_FALSE(board->mSpeed.DeadlineRunning());
}

TEST_F(BoardRulesTest, TimedRewardsRunForTheirUnitsOfTime) {
  Load(2, 0);
  board->ApplyMiniGameReward(QCBoard_Game3::kIce, 2);
  board->ApplyMiniGameReward(QCBoard_Game3::kSpeed, 1);
  Seconds(4.9f);
  EXPECT_TRUE(board->mFreeze.DeadlineRunning());
  EXPECT_TRUE(board->mSpeed.DeadlineRunning());
  Seconds(0.2f);
  EXPECT_FALSE(board->mSpeed.DeadlineRunning());
  Seconds(5.0f);
  EXPECT_FALSE(board->mFreeze.DeadlineRunning()) << "2 x 5 s";
}

TEST_F(BoardRulesTest, AchievementRowsArePlacedOnceAndCountEveryReward) {
  Load(2, 0);
  EXPECT_EQ(board->mAchievements.clean, 0);
  board->ApplyMiniGameReward(QCBoard_Game3::kClean, 1);
  EXPECT_EQ(board->mCleanCount, 0) << "a target of 0 keeps no achievement";
  EXPECT_EQ(board->mHud->mNextAchievementX, 40);
  board->ApplyMiniGameReward(QCBoard_Game3::kIce, 1);
  EXPECT_EQ(board->mHud->mNextAchievementX, 80);
  board->ApplyMiniGameReward(QCBoard_Game3::kIce, 1);
  EXPECT_EQ(board->mHud->mNextAchievementX, 80) << "placed at its first reward only";
  board->ApplyMiniGameReward(QCBoard_Game3::kHappy, 2);
  EXPECT_EQ(board->mHud->mNextAchievementX, 120);
  EXPECT_EQ(board->mIceCount, 2);
  EXPECT_EQ(board->mHappyCount, 1) << "one per reward, whatever its count";
  EXPECT_EQ(AchievementStars(1, 5), 1);
  EXPECT_EQ(AchievementStars(2, 5), 2);
  EXPECT_EQ(AchievementStars(3, 5), 3);
  EXPECT_EQ(AchievementStars(9, 5), 5);
  EXPECT_EQ(AchievementStars(1, 10), 1);
  EXPECT_EQ(AchievementStars(2, 3), 3);
}

TEST_F(BoardRulesTest, AchievementSettingsFallBackByElementAndAttribute) {
  Load(2, 0);
  const AchievementParams& a = board->mAchievements;
  EXPECT_EQ(a.freeze, 5);
  EXPECT_EQ(a.clean, 0);
  EXPECT_EQ(a.candy, 3);
  EXPECT_EQ(a.bonusCash, 40);
  EXPECT_EQ(a.bonusSuper, 5) << "an attribute left out";
  EXPECT_EQ(a.bonusSuperCash, 90);
  pak.Put("cfg\\l3.xml", Utf16File(EditedDay("<achparams", "<other")));
  Load(3, 0);
  EXPECT_EQ(a.bonusSuper, 4) << "no element at all";
  EXPECT_EQ(a.clean, 5);
  EXPECT_EQ(a.bonusCash, 50);
  EXPECT_EQ(board->mUpgradeSkin, "up");
  EXPECT_EQ(board->mDefaultSkin, "c1");
  EXPECT_EQ(board->mNormalGoal, 30);
  EXPECT_EQ(board->mExpertGoal, 60);
}

// A day whose level file or scene document does not load is not started (the board's base would
// start it empty): the player is told which file failed.
TEST_F(BoardRulesTest, ADayThatCannotBeReadDoesNotStart) {
  std::vector<std::wstring> boxes;
  Velk::SetMessageBoxHook([&boxes](const std::wstring& text, const std::wstring&, UINT) {
    boxes.push_back(text);
    return IDOK;
  });
  pak.Put("cfg\\l8.xml", std::string(40, '\0'));
  Load(8, 0);
  EXPECT_FALSE(board->mRunning);
  EXPECT_FALSE(board->mLoading);
  pak.Put("cfg\\l9.xml", Utf16File(R"(<level doc="cfg\nowhere.xml"/>)"));
  Load(9, 0);
  EXPECT_FALSE(board->mRunning);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find(L"l8.xml"), std::wstring::npos);
  EXPECT_NE(boxes[1].find(L"nowhere.xml"), std::wstring::npos);
  EXPECT_NE(boxes[0].find(L"cfg\\l8.xml"), std::wstring::npos) << "named as the game names its files";
  Load(2, 0);
  EXPECT_TRUE(board->mRunning) << "a readable day after it starts as ever";
  EXPECT_EQ(boxes.size(), 2u);
  Velk::SetMessageBoxHook(nullptr);
}

TEST_F(BoardRulesTest, OverridesLastOneLevelEvenWhenGivenTwice) {
  Load(2, 0);
  WorkerConfig* baker = FindWorkerConfig("baker", nullptr);
  ASSERT_NE(baker, nullptr);
  EXPECT_FLOAT_EQ(baker->mWorkTime, 1.5f);
  EXPECT_FLOAT_EQ(baker->mTidinessDown, 20.0f);
  EXPECT_FLOAT_EQ(FindClientConfig("girl")->mPatienceSpeed, 1.0f);
  EXPECT_EQ(FindClientConfig("girl")->mMoney01[0], 35);
  EXPECT_FLOAT_EQ(CharacterMap.at("boss").moveSpeed, 250.0f);
  EXPECT_EQ(LogCount("\"nobody\""), 1);
  board->ClearScene();
  EXPECT_FALSE(baker->mOverridden);
  EXPECT_EQ(baker->mWorkTime, 3.0f);
  EXPECT_EQ(baker->mTidinessDown, 10.0f);
  EXPECT_EQ(baker->mTidinessUp, 4.0f);
  EXPECT_EQ(FindClientConfig("girl")->mPatienceSpeed, 2.0f);
  EXPECT_EQ(FindClientConfig("girl")->mMoney01[0], 30);
  EXPECT_EQ(CharacterMap.at("boss").moveSpeed, 200.0f);
  Load(2, 0);
  Load(2, 0);
  board->ClearScene();
  EXPECT_EQ(baker->mWorkTime, 3.0f) << "no drift over reloads";
}

TEST_F(BoardRulesTest, LivesGoOneByOneAndTheFourthLossEndsTheShift) {
  Load(1, 1);
  EXPECT_EQ(board->mLives, 3);
  for (int i = 0; i < 3; ++i) board->LoseLife();
  EXPECT_EQ(board->mLives, 0);
  EXPECT_FALSE(board->IsLevelOver());
  board->LoseLife();
  EXPECT_TRUE(board->IsLevelOver());
}

TEST_F(BoardRulesTest, ACareerDayWaitsForItsLastCustomer) {
  pak.Put("cfg\\l4.xml",
          Utf16File(EditedDay(R"(<time_point time="5")",
                              R"(<time_point time="5" type="visitor" event="cat"/><time_point time="6")")));
  Load(4, 0);
  Frames(2);
  ASSERT_TRUE(Standing()->IsStatActive());
  board->GetEvents()->mCursor = board->GetEvents()->mQueue.end();
  EXPECT_FALSE(board->IsLevelOver()) << "the queue is done but a customer waits";
  EXPECT_EQ(LogCount("visitor"), 1);
}

TEST_F(BoardRulesTest, UnknownKindsAreUsedUpOnceAndOtherEventsStillCome) {
  pak.Put(
      "cfg\\l5.xml",
      Utf16File(EditedDay(
          R"(<time_point time="0" type="client" event="girl">)",
          R"(<time_point time="0" type="client" event="ghost"/><time_point time="0" type="client" event="ghost"/><time_point time="0" type="client" event="girl">)")));
  Load(5, 0);
  Frames(4);
  EXPECT_EQ(LogCount("ghost"), 1);
  EXPECT_EQ(board->GetEvents()->mTaken, 3);
  EXPECT_TRUE(Standing()->IsStatActive());
  EXPECT_EQ(Standing()->mSkin, "girl");
}

TEST_F(BoardRulesTest, MissingSettingsKeepObjectsOutOfPlay) {
  std::string cfg = ReadCafeData("cfg_cafe.xml");
  cfg.replace(cfg.find("<period_items>"), 0, "<!--");
  cfg.replace(cfg.find("</period_items>") + 15, 0, "-->");
  cfg.replace(cfg.find("wash_time="), 0, "x");
  cfg.replace(cfg.find("<pers name=\"boss\""), 17, "<pers name=\"bass\"");
  pak.Put("cfg\\cfg.xml", Utf16File(cfg));
  board->LoadObjectConfigs();
  std::string scene = ReadCafeData("scene_cafe.xml");
  scene.replace(
      scene.find("</objects>"), 0,
      R"(<object class="status_hp_client" name="status_hp_client09"><part name="status_hp_client"/></object>)");
  pak.Put("cfg\\scene_cafe.xml", Utf16File(scene));
  std::string day = EditedDay(R"(skin="juicer")", R"(skin="nobody")");
  day.replace(day.find("<object name=\"bonus\"/>"), 0, R"(<object name="status_hp_client09"/>)");
  pak.Put("cfg\\l6.xml", Utf16File(day));
  Load(6, 0);
  EXPECT_EQ(LogCount("worker02"), 1);
  EXPECT_EQ(LogCount("super_material"), 1);
  EXPECT_EQ(LogCount("status_hp_client09"), 1);
  EXPECT_EQ(LogCount("no personal settings for boss"), 1);
  QCItem* unbound = QCItem::FindByName("status_hp_client09");
  Seconds(20.0f);
  EXPECT_FALSE(Worker("worker02")->mVisible);
  EXPECT_FALSE(unbound->mVisible);
  EXPECT_EQ(dynamic_cast<QCPeriodItem*>(QCItem::FindByName("super_material"))->mState, QCPeriodItem::kWaiting);
  Grant("boss", "speed");
  EXPECT_EQ(Boss()->GetMoveSpeed(), 0.0f) << "no settings, no character: he stands";
  Boss()->mSecond = "wash";
  board->ClickObjectByName("table01");
  Seconds(5.0f);
  EXPECT_EQ(LogCount("no personal settings for boss"), 1) << "logged once";
}

}  // namespace
