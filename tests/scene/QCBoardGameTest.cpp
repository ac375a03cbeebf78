#include "scene/QCBoard_Game.h"

#include <gtest/gtest.h>

#include "engine/SoundTestSupport.h"
#include "engine/SquallRecorder.h"
#include "scene/SceneFixture.h"

using namespace SceneTesting;

namespace {

using BoardTest = SceneFixture;

TEST_F(BoardTest, ALoadedLevelStartsAndClearsWithTheScene) {
  TestBoard& b = Board();
  b.ClearScene();
  EXPECT_TRUE(b.calls.empty()) << "no level: not even ResetItems";
  b.LoadNow(1, 0);
  EXPECT_TRUE(b.mVisible);
  EXPECT_TRUE(b.mRunning);
  EXPECT_FALSE(b.IsLevelLoading());
  EXPECT_EQ(b.mMoney, 0);
  EXPECT_EQ(b.mSurvivalDay, 1);
  EXPECT_EQ(b.mLevel, 1);
  EXPECT_EQ(b.calls, (std::vector<std::string>{"ReadLevel", "OnMoneyChanged", "StartLevel"}));
  ASSERT_NE(Walker(), nullptr);
  EXPECT_EQ(Walker()->mPosX, 400) << "placed at its start point";
  EXPECT_TRUE(Walker()->mVisible);
  EXPECT_FALSE(QCItem::FindByName("lamp")->mActive) << "not in the level file";
  EXPECT_EQ(b.GetEvents()->mKind, QCLevelEvents::kCareer);

  b.calls.clear();
  b.StopLevel();
  b.StopAndEndLevel();
  EXPECT_EQ(b.calls, (std::vector<std::string>{"ResetLevel", "EndLevel"})) << "a stopped board still ends";

  b.calls.clear();
  b.ClearScene();
  EXPECT_EQ(b.calls, std::vector<std::string>{"ResetItems"});
  EXPECT_TRUE(SceneObjectList.empty());
  EXPECT_TRUE(PickableMap.empty());
  EXPECT_EQ(SceneBossObject, nullptr);
  EXPECT_FALSE(b.GetNavigator("boss")->Working().HasPoint("door"));
}

TEST_F(BoardTest, AMissingLevelStillStartsEmpty) {
  TestBoard& b = Board();
  b.LoadNow(7, 0);
  EXPECT_TRUE(b.mRunning);
  EXPECT_TRUE(SceneObjectList.empty());
  EXPECT_EQ(b.calls.front(), "ReadLevel(none)");
  b.MouseMove(150, 150);
  Frames(3);
  pak.Put("cfg\\l7.xml", Utf16File("<root><level doc='cfg\\nowhere.xml'/></root>"));
  b.LoadNow(7, 0);
  EXPECT_EQ(b.calls.back(), "StartLevel");
  EXPECT_TRUE(SceneObjectList.empty());
}

TEST_F(BoardTest, NestedPausesReachTheRulesAndTheGameGroupOnce) {
  ResetSoundState();
  SquallRecorder squall;
  StartSoundSystem(0);
  WithCfgRoot(pak, R"(<root><sounds><sound name="steps" group="game" path="snd\steps.wav"/>
      <sound name="click" group="ui" path="snd\click.wav"/></sounds></root>)",
              [](IXMLDOMNode* root) { LoadSoundTable(root); });
  const int steps = static_cast<int>(FindSoundEntry("steps")->sample);
  TestBoard& b = Board();
  squall.Clear();
  b.PauseGameSounds();
  b.PauseGameSounds();
  b.ResumeGameSounds();
  EXPECT_EQ(b.Count("OnPause"), 1);
  EXPECT_EQ(b.Count("OnResume"), 0);
  EXPECT_EQ(squall.Named("Sample_Pause"), (std::vector<SquallCall>{{"Sample_Pause", {steps, 1}}}));
  b.ResumeGameSounds();
  EXPECT_EQ(b.Count("OnResume"), 1);
  EXPECT_EQ(squall.Named("Sample_Pause").size(), 2u);

  // An unpaired resume drives the count below 0, and the next pause then does not reach the rules.
  b.ResumeGameSounds();
  EXPECT_EQ(b.mPauseCount, -1);
  b.PauseGameSounds();
  EXPECT_EQ(b.Count("OnPause"), 1);

  // A click plays "click".
  squall.Clear();
  b.LoadNow(1, 0);
  b.ClickObjectByName("table");
  EXPECT_EQ(squall.Named("Sample_PlayEx").size(), 1u);
  EXPECT_EQ(Pick("table")->mBusyCount, 1);
  StopSoundSystem();
  ResetSoundState();
}

TEST_F(BoardTest, MoneyAndSurvivalStages) {
  TestBoard& b = Board();
  b.LoadNow(1, 0);
  EXPECT_EQ(b.AddMoney(30), 30);
  EXPECT_EQ(b.AddMoney(-50), 0) << "career money stops at 0";
  b.scripted->queue.resize(4);
  b.scripted->cursor = 1;
  EXPECT_FLOAT_EQ(b.GetGoalProgress(), 0.25f) << "career: the share of orders taken";

  b.scripted->target = 100;
  b.LoadNow(1, 1);
  EXPECT_EQ(b.GetEvents()->mKind, QCLevelEvents::kSurvival);
  ASSERT_EQ(b.mStages.size(), 2u);
  EXPECT_EQ(b.mStages[0].objects.size(), 2u);
  EXPECT_EQ(b.mStages[0].objects[1], nullptr);
  b.calls.clear();
  EXPECT_EQ(b.AddMoney(60), 60);
  EXPECT_EQ(b.AddMoney(-20), 60) << "survival ignores losses";
  EXPECT_EQ(b.calls, (std::vector<std::string>{"OnMoneyChanged", "OnMoneyChanged"}));
  EXPECT_FLOAT_EQ(b.GetGoalProgress(), 0.6f);

  // Day 2 has no stage: no target that day.
  b.AddMoney(40);
  EXPECT_EQ(b.mSurvivalDay, 2);
  EXPECT_EQ(b.scripted->nextStages, 1);
  EXPECT_EQ(b.Count("OnStageAdvanced"), 1);
  EXPECT_EQ(b.mStageBase, 100);
  b.scripted->target = 200;
  b.AddMoney(50);
  EXPECT_FLOAT_EQ(b.GetGoalProgress(), 0.0f);
  EXPECT_FALSE(QCItem::FindByName("lamp")->mActive);

  // Day 3 opens its stage, and the goal bar counts again.
  b.AddMoney(50);
  EXPECT_EQ(b.mSurvivalDay, 3);
  EXPECT_TRUE(QCItem::FindByName("lamp")->mActive);
  b.scripted->target = 300;
  b.AddMoney(50);
  EXPECT_FLOAT_EQ(b.GetGoalProgress(), 0.5f);
  EXPECT_EQ(b.mStageCursor, 1u);

  // Restarting starts over at day 1 with the first stage pending.
  b.LoadNow(1, 1);
  EXPECT_EQ(b.mSurvivalDay, 1);
  EXPECT_EQ(b.mStageCursor, 0u);
  EXPECT_EQ(b.mMoney, 0);
}

TEST_F(BoardTest, AStageOnDayOneNeverOpensAndBlocksTheRest) {
  pak.Put("cfg\\e2.xml", Utf16File(R"(<level doc="cfg\scene_a.xml"><objects><object name="floor"/></objects>
      <stages><stage num="1"><object name="table"/></stage><stage num="2"><object name="tray"/></stage></stages></level>)"));
  TestBoard& b = Board();
  b.scripted->target = 10;
  b.LoadNow(2, 1);
  for (int i = 0; i < 3; ++i) b.AddMoney(10);
  EXPECT_EQ(b.mSurvivalDay, 4);
  EXPECT_EQ(b.mStageCursor, 0u);
  EXPECT_FALSE(Pick("tray")->mActive);
}

TEST_F(BoardTest, HoverAndClicks) {
  TestBoard& b = Board();
  b.LoadNow(1, 0);
  // The table and the tray overlap at (175, 175); "table" comes first by name... but "shelf" is
  // before it and elsewhere.
  b.MouseMove(175, 175);
  EXPECT_EQ(b.mHovered, Pick("table"));
  EXPECT_TRUE(Pick("table")->IsSelected());
  EXPECT_TRUE(Pick("tray")->IsSelected()) << "later items are still told";
  EXPECT_FALSE(Pick("shelf")->IsSelected());
  b.MouseMove(700, 500);
  EXPECT_EQ(b.mHovered, nullptr);
  EXPECT_FALSE(Pick("table")->IsSelected());

  // A hidden table is hit-tested but never hovered; the tray under the point takes over.
  Pick("table")->SetVisible(false);
  b.MouseMove(175, 175);
  EXPECT_EQ(b.mHovered, Pick("tray"));
  Pick("table")->SetVisible(true);

  b.MouseMove(120, 120);
  b.MouseDown(120, 120, 1, 1);
  b.MouseDown(120, 120, 2, 1);
  EXPECT_TRUE(b.mClickQueue.empty()) << "right and middle buttons do nothing";
  b.PauseGameSounds();
  b.MouseDown(120, 120, 0, 1);
  EXPECT_TRUE(b.mClickQueue.empty()) << "a paused board takes no click";
  b.ResumeGameSounds();
  b.MouseDown(120, 120, 0, 1);
  b.MouseDown(250, 250, 0, 1);
  ASSERT_EQ(b.mClickQueue.size(), 1u) << "a click off the hovered item is not taken";
  Frames(1);
  EXPECT_EQ(b.clicked, std::vector<QCPickItem*>{Pick("table")});
  EXPECT_TRUE(b.mClickQueue.empty());
}

TEST_F(BoardTest, TheFrameStepAndTheEndOfTheLevel) {
  TestBoard& b = Board();
  b.LoadNow(1, 0);
  b.scripted->queue = {QCEventRecord{0, 0.0f, "client", "first", {}}, QCEventRecord{0, 0.05f, "client", "second", {}}};
  b.acceptEvents = false;
  Frames(2);
  EXPECT_EQ(b.dispatched, (std::vector<std::string>{"first", "first"})) << "a refused event stays due";
  b.acceptEvents = true;
  Frames(10);
  EXPECT_EQ(b.scripted->cursor, 2u);
  EXPECT_FLOAT_EQ(GetGameDt(), 0.01f);

  b.levelOver = true;
  b.overAsked = 0;
  Frames(1);
  const float ended = GetGameClock();
  EXPECT_TRUE(b.mEnded);
  int frames = 0;
  while (b.Count("EndLevel") == 0 && frames < 1000) {
    Frames(1);
    ++frames;
  }
  EXPECT_EQ(b.overAsked, 1) << "not asked again while the end waits";
  EXPECT_GE(GetGameClock() - ended, 2.0f - 1e-4f);
  EXPECT_LE(GetGameClock() - ended, 2.0f + 0.011f);
  EXPECT_FALSE(b.mRunning);

  Frames(1);
  EXPECT_EQ(GetGameDt(), 0.0f) << "the gate is closed";
  b.ResetAndStart();
  b.Hide();
  Frames(1);
  EXPECT_EQ(GetGameDt(), 0.0f);
}

}  // namespace
