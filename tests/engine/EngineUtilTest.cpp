#include "engine/EngineUtil.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/crt/Rand.h"

TEST(EngineUtil, RandomIntCoversItsRangeAndNeverLeavesIt) {
  Velk::srand(7);
  std::map<int, int> seen;
  for (int i = 0; i < 3000; ++i) ++seen[RandomInt(3, 4)];
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_NEAR(seen[3], 1500, 150);
  seen.clear();
  for (int i = 0; i < 3000; ++i) ++seen[RandomInt(3, 5)];
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen.begin()->first, 3);
  EXPECT_EQ(seen.rbegin()->first, 5);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(RandomInt(0, 0), 0);
    ASSERT_EQ(RandomInt(5, 3), 5);
    ASSERT_EQ(RandomInt(5, 4), 5);
  }
}

TEST(EngineUtil, EveryRandomCallDrawsOnceFromTheRuntimeGenerator) {
  // Seed 1 gives 41, 18467, 6334, 26500, 19169 ...
  Velk::srand(1);
  EXPECT_EQ(RandomInt(0, 99), 41);
  EXPECT_EQ(RandomInt(9, 2), 9);     // draws 18467
  EXPECT_EQ(RandomInt(0, 0), 0);     // draws 6334
  EXPECT_EQ(RandomInt(10, 11), 11);  // 26500 / 32767 >= 0.5
  EXPECT_FLOAT_EQ(RandomFloat(0.0f, 32767.0f), 19169.0f);
  Velk::srand(1);
  EXPECT_FLOAT_EQ(RandomFloat(2.0f, 4.0f), 2.0f + 2.0f * 41.0f / 32767.0f);
}

TEST(EngineUtil, LineIntersection) {
  POINT p{-5, -5};
  EXPECT_FALSE(LineIntersection(0, 0, 30.0f, 10, 10, 30.0f, p));
  EXPECT_EQ(p.x, -5);
  EXPECT_EQ(p.y, -5);
  // y up: y = x through (0, 0) and y = 21 - x through (21, 0) cross at (10.5, 10.5), which is
  // (10.5, -10.5) on screen, truncated toward zero.
  ASSERT_TRUE(LineIntersection(0, 0, 45.0f, 21, 0, 135.0f, p));
  EXPECT_EQ(p.x, 10);
  EXPECT_EQ(p.y, -10);
  // Nearly parallel lines that would cross beyond any coordinate give no point.
  p = {1, 2};
  EXPECT_FALSE(LineIntersection(0, 0, 45.0f, 0, 5000, 45.00001f, p));
  EXPECT_EQ(p.x, 1);
}

TEST(EngineUtil, DebugLogGoesToTheSinkOnly) {
  DebugLog("nobody listens %d", 1);
  std::string got;
  SetDebugLogSink([&](const std::string& line) { got = line; });
  DebugLog("value %d of %s", 3, "x");
  SetDebugLogSink(nullptr);
  DebugLog("dropped");
  EXPECT_EQ(got, "value 3 of x");
}
