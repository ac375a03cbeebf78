#include "platform/clock/Clock.h"

#include <gtest/gtest.h>

namespace {

class ManualClock : public ::testing::Test {
 protected:
  void TearDown() override { Velk::Clock::UseReal(); }
};

TEST_F(ManualClock, AllReadersFollowTheHand) {
  Velk::Clock::UseManual(5000);
  EXPECT_EQ(timeGetTime(), 5000u);
  EXPECT_EQ(GetTickCount(), 5000u);
  Velk::Clock::Advance(16);
  Sleep(4);  // advances, never sleeps
  EXPECT_EQ(timeGetTime(), 5020u);

  LARGE_INTEGER freq{}, count{};
  ASSERT_TRUE(QueryPerformanceFrequency(&freq));
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  EXPECT_EQ(freq.QuadPart, 1'000'000'000);
  EXPECT_EQ(count.QuadPart, 5'020'000'000);

  // Below a millisecond the counter moves but the tick does not.
  Velk::Clock::AdvanceNanoseconds(999'999);
  EXPECT_EQ(GetTickCount(), 5020u);
  ASSERT_TRUE(QueryPerformanceCounter(&count));
  EXPECT_EQ(count.QuadPart, 5'020'999'999);
  Velk::Clock::AdvanceNanoseconds(1);
  EXPECT_EQ(GetTickCount(), 5021u);
}

TEST_F(ManualClock, TicksWrapAndCompareBySignedDifference) {
  Velk::Clock::UseManual(0xFFFFFFF0u);
  DWORD before = GetTickCount();
  Velk::Clock::Advance(0x20);
  DWORD after = GetTickCount();
  EXPECT_EQ(after, 0x10u);
  EXPECT_EQ(Velk::TickDiff(after, before), 32);
  EXPECT_EQ(Velk::TickDiff(before, after), -32);
  EXPECT_LT(after, before);  // a plain comparison would get it wrong
}

TEST(RealClock, MovesForwardAndSleeps) {
  ASSERT_FALSE(Velk::Clock::IsManual());
  Velk::Clock::Advance(100000);  // ignored on the real clock
  DWORD start = timeGetTime();
  Sleep(20);
  int32_t elapsed = Velk::TickDiff(timeGetTime(), start);
  EXPECT_GE(elapsed, 19);
  EXPECT_LT(elapsed, 5000);
  EXPECT_FALSE(QueryPerformanceCounter(nullptr));
  EXPECT_EQ(timeBeginPeriod(1), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(1), TIMERR_NOERROR);
}

}  // namespace
