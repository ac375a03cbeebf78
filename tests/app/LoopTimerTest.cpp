#include "app/LoopTimer.h"

#include <gtest/gtest.h>

namespace Velk {
namespace {

TEST(LoopTimerTest, PendingTimeIsCappedAndSuppressionCountsDown) {
  LoopTimer timer;
  timer.AccumulateElapsed(1000);  // the first stamp only starts the count
  EXPECT_EQ(timer.mPendingTime, 0.0);
  timer.AccumulateElapsed(1250);
  EXPECT_EQ(timer.mPendingTime, 200.0);

  timer.Reset(2000, true);
  EXPECT_EQ(timer.mPendingTime, 0.0);
  EXPECT_EQ(timer.mCatchUpSuppress, 1000);
  timer.AccumulateElapsed(2030);
  EXPECT_EQ(timer.mCatchUpSuppress, 970);
  timer.ConsumeFrame(10.0, false);  // discarded while suppressed
  EXPECT_EQ(timer.mPendingTime, 0.0);
  timer.AccumulateElapsed(3100);
  EXPECT_EQ(timer.mCatchUpSuppress, 0);
  EXPECT_EQ(timer.mPendingTime, 200.0);
}

TEST(LoopTimerTest, ElapsedTimeSurvivesTheClockWrap) {
  LoopTimer timer;
  timer.AccumulateElapsed(0xFFFFFFF0u);
  timer.AccumulateElapsed(0x00000005u);
  EXPECT_EQ(timer.mPendingTime, 21.0);
}

TEST(LoopTimerTest, ConsumingAFrame) {
  LoopTimer timer;
  timer.mPendingTime = 4.0;
  timer.ConsumeFrame(10.0, false);
  EXPECT_EQ(timer.mPendingTime, -6.0);  // owed to the next frame
  timer.mPendingTime = 10.1;
  timer.ConsumeFrame(10.0, true);  // vsync keeps 0.2 slack and never goes below zero
  EXPECT_EQ(timer.mPendingTime, 0.0);
  timer.mPendingTime = 20.0;
  timer.ConsumeFrame(10.0, true);
  EXPECT_DOUBLE_EQ(timer.mPendingTime, 20.0 - 10.0 - 0.20000000298023224);
}

TEST(LoopTimerTest, IdleSleepIsTheTruncatedRestAndNeverNegative) {
  LoopTimer timer;
  timer.mPendingTime = 3.7;
  EXPECT_EQ(timer.IdleSleepMs(10.0), 6);
  timer.mPendingTime = 10.0;
  EXPECT_EQ(timer.IdleSleepMs(10.0), 0);
  timer.mPendingTime = 12.5;
  EXPECT_EQ(timer.IdleSleepMs(10.0), 0);
}

// 100 updates make one check at 10 ms per update.
bool RunCheck(LoopTimer& timer, DWORD at) {
  bool broken = false;
  for (int i = 0; i < 100; ++i) broken = timer.CountVSyncCheck(at, 10);
  return broken;
}

TEST(LoopTimerTest, ThreeFastChecksInARowBreakVSync) {
  LoopTimer timer;
  EXPECT_FALSE(RunCheck(timer, 1000));  // more than 800 ms after the start
  EXPECT_FALSE(RunCheck(timer, 1800));  // exactly 800 ms: fast
  EXPECT_FALSE(RunCheck(timer, 2500));
  EXPECT_FALSE(RunCheck(timer, 3501));  // slow: the strikes start over
  EXPECT_FALSE(RunCheck(timer, 4000));
  EXPECT_FALSE(RunCheck(timer, 4500));
  EXPECT_TRUE(RunCheck(timer, 5000));
}

}  // namespace
}  // namespace Velk
