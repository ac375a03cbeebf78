#include "engine/QCTimer.h"

#include <gtest/gtest.h>

#include "engine/CallRecorder.h"

namespace {

class TimerTest : public ::testing::Test {
 protected:
  void SetUp() override { Recorded().clear(); }

  // A running timer of the given kind with no controls.
  void Start(float ftime, int type, int direction = kTimerForward) {
    mTimer.TimerSetDesc({kDescFtime | kDescType | kDescDirection, ftime, direction, type, 1});
    mTimer.TimerRewind();
  }
  void AddControl(int id, DWORD kind, float start, float end = 0.0f, bool active = true) {
    TimerControl control;
    control.flags = kind | kControlHasFunction;
    control.id = id;
    control.start = start;
    control.end = end;
    control.function = RecordCall;
    control.active = active;
    mTimer.TimerAddControl(control);
  }

  QCTimer mTimer{nullptr};
};

using Values = std::vector<float>;

}  // namespace

TEST_F(TimerTest, ALongFrameOfACycleIsPlayedAsWholePeriods) {
  Start(1.0f, kTimerCycle);
  AddControl(7, kControlPoint, 0.5f);
  mTimer.TimerUpdate(2.5);
  EXPECT_EQ(RecordedValues(), (Values{1.0f, 1.0f, 0.5f}));
  EXPECT_EQ(Recorded()[0].id, 7);
  EXPECT_EQ(Recorded()[0].type, static_cast<int>(kControlPoint));
  EXPECT_DOUBLE_EQ(mTimer.GetTime(), 0.5);
  EXPECT_FALSE(mTimer.IsFinished());
}

TEST_F(TimerTest, PingPongTurnsAndFiresAPointOnBothLegs) {
  Start(1.0f, kTimerPingPong);
  AddControl(1, kControlPoint, 0.95f);
  mTimer.TimerUpdate(0.9);
  EXPECT_TRUE(Recorded().empty());
  mTimer.TimerUpdate(0.2);
  ASSERT_EQ(Recorded().size(), 2u);
  EXPECT_FLOAT_EQ(Recorded()[0].value, 1.0f);
  EXPECT_NEAR(Recorded()[1].value, 0.9f, 1e-6);
  EXPECT_NEAR(mTimer.GetTime(), 0.9, 1e-6);
  EXPECT_FALSE(mTimer.IsPhaseForward());
  // The turn at the start goes forward again.
  mTimer.TimerUpdate(1.0);
  EXPECT_TRUE(mTimer.IsPhaseForward());
  EXPECT_NEAR(mTimer.GetTime(), 0.1, 1e-6);
}

TEST_F(TimerTest, ARangeCrossedInOneStepGetsBothEdgesOnly) {
  Start(1.0f, kTimerUsual);
  AddControl(1, kControlRange, 0.2f, 0.4f);
  mTimer.TimerUpdate(0.1);
  EXPECT_TRUE(Recorded().empty());
  mTimer.TimerUpdate(0.4);
  EXPECT_EQ(RecordedValues(), (Values{0.0f, 1.0f}));
  EXPECT_EQ(Recorded()[0].type, static_cast<int>(kControlRange));
}

TEST_F(TimerTest, ARangeHeldReportsEntryProgressAndExitBothWays) {
  Start(1.0f, kTimerUsual);
  AddControl(1, kControlRange, 0.25f, 0.75f);
  for (int i = 0; i < 7; ++i) mTimer.TimerUpdate(0.125);
  EXPECT_EQ(RecordedValues(), (Values{0.0f, 0.0f, 0.25f, 0.5f, 0.75f, 1.0f}));

  Recorded().clear();
  Start(1.0f, kTimerUsual, kTimerBackward);
  EXPECT_DOUBLE_EQ(mTimer.GetTime(), 1.0);
  for (int i = 0; i < 7; ++i) mTimer.TimerUpdate(0.125);
  EXPECT_EQ(RecordedValues(), (Values{1.0f, 1.0f, 0.75f, 0.5f, 0.25f, 0.0f}));
}

TEST_F(TimerTest, AUsualTimerFinishesAndCapsItsProgress) {
  Start(1.0f, kTimerUsual);
  AddControl(1, kControlRange, 0.875f, 1.125f);
  AddControl(2, kControlPoint, 1.0f, 0.0f, false);  // inactive: never fires
  mTimer.TimerUpdate(0.75);
  mTimer.TimerUpdate(0.75);
  EXPECT_TRUE(mTimer.IsFinished());
  EXPECT_DOUBLE_EQ(mTimer.GetTime(), 1.5) << "keeps its overshoot";
  // Entered on the last step: the progress (1.5 - 0.875) / 0.25 is capped.
  EXPECT_EQ(RecordedValues(), (Values{0.0f, 1.0f}));
}

TEST_F(TimerTest, CallsOfOneCollectionRunInTheOrderCollected) {
  Start(1.0f, kTimerUsual);
  AddControl(3, kControlPoint, 0.5f);
  AddControl(1, kControlRange, 0.2f, 0.4f);
  AddControl(2, kControlPoint, 0.3f);
  mTimer.TimerUpdate(0.6);
  std::vector<int> ids;
  for (const RecordedCall& c : Recorded()) ids.push_back(c.id);
  EXPECT_EQ(ids, (std::vector<int>{3, 1, 1, 2}));
}

TEST_F(TimerTest, DescriptorsControlsAndTheLock) {
  mTimer.TimerSetDesc({kDescFtime, 0.0f, 0, 0, 1});
  EXPECT_EQ(mTimer.GetState(), 0) << "a timer of no duration never runs";
  mTimer.TimerSetDesc({kDescFtime | kDescDirection, 2.0f, kTimerBackward, 0, 1});
  EXPECT_EQ(mTimer.GetState(), 1);
  EXPECT_DOUBLE_EQ(mTimer.GetTime(), 2.0);

  AddControl(4, kControlPoint, 0.5f);
  TimerControl other;
  other.id = 9;
  EXPECT_FALSE(mTimer.TimerReplaceControl(other));
  EXPECT_FALSE(mTimer.TimerSetControlActive(9, true));
  EXPECT_EQ(mTimer.ControlCount(), 1u);
  other.id = 4;
  EXPECT_TRUE(mTimer.TimerReplaceControl(other));
  EXPECT_TRUE(mTimer.TimerSetControlActive(4, true));

  TimerDesc desc{kDescFtime | kDescDirection | kDescType, -7.0f, -7, -7, 9};
  mTimer.TimerGetDesc(desc);
  EXPECT_FLOAT_EQ(desc.ftime, 2.0f);
  EXPECT_EQ(desc.direction, kTimerBackward);
  EXPECT_EQ(desc.state, 1);
  mTimer.TimerSetDesc({kDescLocked, 0.0f, 0, 0, 1});
  EXPECT_TRUE(mTimer.IsLocked());
  desc = {kDescFtime | kDescDirection | kDescType | kDescLocked, -7.0f, -7, -7, 9};
  mTimer.TimerGetDesc(desc);
  EXPECT_EQ(desc.mask, kDescLocked);
  EXPECT_FLOAT_EQ(desc.ftime, -7.0f);
  EXPECT_EQ(desc.state, 1);
}

TEST_F(TimerTest, ALockedTimerSkipsTheCatchUpPeriods) {
  Start(1.0f, kTimerCycle);
  mTimer.TimerSetDesc({kDescLocked, 0.0f, 0, 0, 1});
  AddControl(1, kControlPoint, 0.5f);
  mTimer.TimerUpdate(2.75);
  EXPECT_EQ(RecordedValues(), Values{0.75f}) << "only the remainder is stepped";
}

TEST_F(TimerTest, NegativeDurationsRunEndlessInsteadOfHanging) {
  for (float ftime : {-0.5f, -2.0f, -1.0f}) {
    QCTimer timer(nullptr);
    timer.TimerSetDesc({kDescFtime | kDescType | kDescDirection, ftime, kTimerForward, kTimerCycle, 1});
    timer.TimerSetState(1);
    timer.TimerUpdate(0.3);
    timer.TimerUpdate(5.0);
    EXPECT_DOUBLE_EQ(timer.GetTime(), 5.3) << ftime;
    EXPECT_FALSE(timer.IsFinished());
  }
  // A period far below a frame stops catching up after a bounded number of periods.
  Start(1e-9f, kTimerCycle);
  AddControl(1, kControlPoint, 0.0f);
  mTimer.TimerUpdate(1.0);
  EXPECT_LT(Recorded().size(), 5000u);
}
