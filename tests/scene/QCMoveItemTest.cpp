#include "scene/QCMoveItem.h"

#include <gtest/gtest.h>

#include "scene/SceneFixture.h"

using namespace SceneTesting;

namespace {

class MoveItemTest : public SceneFixture {
 protected:
  void SetUp() override { Board().LoadNow(1, 0); }
  // Updates until the walker stops moving; the number of frames, or -1.
  int FramesUntilStill(int limit) {
    for (int i = 1; i <= limit; ++i) {
      Frames(1);
      if (!Walker()->IsMoving()) return i;
    }
    return -1;
  }
  static bool MarkerShown(TestPick* pick, int i) { return pick->mMarkerShown[i]; }
};

TEST_F(MoveItemTest, ClickedTargetsAreWalkedToAndUsed) {
  TestWalker* boss = Walker();
  ASSERT_NE(boss->mCharacter, nullptr);
  EXPECT_FLOAT_EQ(boss->GetMoveSpeed(), 100.0f) << "the first definition of a name stays";
  EXPECT_EQ(boss->mCharacter->orientations.size(), 1u);

  TestPick* table = Pick("table");
  boss->QueueTarget(table);
  EXPECT_TRUE(MarkerShown(table, 0));
  Frames(1);
  EXPECT_TRUE(boss->IsMoving());
  EXPECT_EQ(boss->mCurrentPoint, "table") << "the destination from the moment it is planned";
  Frames(1);
  EXPECT_EQ(boss->mPosX, 399) << "one frame at 100 px/s toward the hall";
  EXPECT_EQ(boss->mOrientation, "mr") << "left turns into mirrored right through the table";
  EXPECT_EQ(boss->mParts[0]->mZLine[1].x, 399);
  // 250 px to the hall and 180 px up to the table: 4.3 s.
  const int frames = FramesUntilStill(1000);
  EXPECT_NEAR(frames, 429, 2);
  EXPECT_EQ(std::make_pair(boss->mPosX, boss->mPosY), std::make_pair(150, 220));
  EXPECT_EQ(boss->mOrientation, "t") << "the arrival point's facing";
  Frames(1);
  EXPECT_EQ(boss->arrivals, std::vector<uint32_t>{3});
  EXPECT_EQ(table->interactions, (std::vector<std::string>{"test boss 0", "do boss 2"}));
  EXPECT_EQ(boss->interactions, (std::vector<std::string>{"test table 1", "do table 3"}));
  EXPECT_TRUE(boss->mQueue.empty());
  EXPECT_FALSE(MarkerShown(table, 0));

  // Clicked again where it stands: used on the next update without walking.
  boss->QueueTarget(table);
  Frames(1);
  EXPECT_FALSE(boss->IsMoving());
  EXPECT_EQ(table->interactions.size(), 4u);
}

TEST_F(MoveItemTest, RefusalsAndUnknownTargetsEmptyTheQueue) {
  TestWalker* boss = Walker();
  boss->PlaceAt("table");
  TestPick* table = Pick("table");
  TestPick* tray = Pick("tray");
  table->accept = false;
  table->AddBusy();
  tray->AddBusy();
  boss->QueueTarget(table);
  boss->QueueTarget(tray);
  EXPECT_EQ(boss->NextTarget(), tray);
  Frames(1);
  EXPECT_TRUE(boss->mQueue.empty());
  EXPECT_EQ(boss->interactions.size(), 0u) << "the walker's own test pass is not asked after a refusal";
  EXPECT_EQ(tray->mBusyCount, 0);
  EXPECT_FALSE(MarkerShown(table, 0));
  EXPECT_EQ(boss->NextTarget(), nullptr);

  // The shelf has no approach point for the walker.
  boss->QueueTarget(Pick("shelf"));
  Frames(1);
  EXPECT_TRUE(boss->mQueue.empty());
  EXPECT_FALSE(boss->IsMoving());
  EXPECT_EQ(boss->mCurrentPoint, "table");
}

TEST_F(MoveItemTest, HeadingsAndTurns) {
  TestWalker* boss = Walker();
  boss->mCharacter = nullptr;
  auto heading = [&](int dx, int dy) {
    boss->OrientFromDirection(dx, dy);
    return boss->mOrientation;
  };
  boss->SetOrientation("b", true);
  EXPECT_EQ(heading(0, 0), "b");
  EXPECT_EQ(heading(1, -1), "tr");
  EXPECT_EQ(heading(3, -1), "tr");
  EXPECT_EQ(heading(6, -1), "r");
  EXPECT_EQ(heading(0, 5), "b");
  EXPECT_EQ(heading(0, -2), "t");
  EXPECT_EQ(heading(-4, 0), "l");
  EXPECT_EQ(heading(-1, 1), "bl");
  EXPECT_EQ(heading(-6, -1), "l");
  EXPECT_EQ(heading(-1, -6), "t");
  EXPECT_EQ(heading(1, 6), "b");

  // Through the character's table, with its anchor shift taken back on the next turn.
  boss->BindCharacter();
  const int anchor = boss->mParts[0]->mAnchorX;
  EXPECT_EQ(heading(-3, 0), "mr");
  EXPECT_EQ(boss->mParts[0]->mAnchorX, anchor + 2);
  EXPECT_EQ(boss->mParts[0]->mOrientation, "r");
  EXPECT_TRUE(boss->mParts[0]->mMirror);
  EXPECT_EQ(heading(0, 1), "b");
  EXPECT_EQ(boss->mParts[0]->mAnchorX, anchor);
}

TEST_F(MoveItemTest, HideAtHomeCarryingAndTheTrail) {
  TestWalker* boss = Walker();
  boss->mHideAtHome = true;
  boss->mReturnHome = true;
  Frames(1);
  EXPECT_FALSE(boss->mVisible) << "idle at home";
  boss->SetCarried(Pick("tray"));
  Frames(1);
  EXPECT_TRUE(boss->mVisible) << "carrying";
  Pick("tray")->AddBusy();
  boss->SetCarried(nullptr);
  EXPECT_EQ(Pick("tray")->mBusyCount, 0);
  boss->QueueTarget(Pick("tray"));
  Frames(2);
  EXPECT_TRUE(boss->IsMoving());
  EXPECT_TRUE(boss->mVisible);
  FramesUntilStill(1000);
  Frames(2);
  EXPECT_EQ(boss->mCurrentPoint, "door") << "back home once the queue is done";
  FramesUntilStill(1000);
  Frames(1);
  EXPECT_FALSE(boss->mVisible);

  // A copy every fifth frame, fading at 600 a second: each lasts 12 frames.
  boss->mHideAtHome = false;
  boss->Show(true);
  boss->SetIntervalMode(true, 600.0f, 0.045f);
  QCItemPart* part = boss->mParts[0];
  Frames(4);
  EXPECT_EQ(part->mTrail.size(), 0u);
  Frames(1);
  EXPECT_EQ(part->mTrail.size(), 1u);
  Frames(10);
  EXPECT_EQ(part->mTrail.size(), 3u);
  Frames(2);
  EXPECT_EQ(part->mTrail.size(), 2u) << "the first has aged out";
  boss->SetIntervalMode(false, 0.0f, 0.0f);
  Frames(20);
  EXPECT_EQ(part->mTrail.size(), 0u);

  boss->Reset(false);
  EXPECT_EQ(boss->mNavigator, nullptr);
  EXPECT_FALSE(boss->GoTo("hall", 10.0f));
}

}  // namespace
