#include "app/DemoJumps.h"

#include <gtest/gtest.h>

namespace {

using Velk::DemoJumps;

TEST(DemoJumpsTest, OnlyMarkersAheadAreListedWithTheirTimeToTheEnd) {
  // 10 ms updates, 400000 updates long: the second marker lies 3723 s (1:02:03) before the end.
  std::vector<Velk::DemoMarker> markers = {{"start", 100}, {"boss", 27700}, {"late", 399000}};
  auto entries = DemoJumps::MarkersAhead(markers, 100, 400000, 10);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].text, "boss (01:02:03)");
  EXPECT_EQ(entries[0].update, 27700u);
  EXPECT_EQ(entries[1].text, "late (00:00:10)");
}

TEST(DemoJumpsTest, TimeTextCountsBackFromTheEnd) {
  // 20 ms updates: t seconds back is (t + 1) * 50 updates.
  EXPECT_EQ(DemoJumps::TargetForTimeText("9", 10000, 20), 10000u - 500u);
  EXPECT_EQ(DemoJumps::TargetForTimeText("1:30", 10000, 20), 10000u - 91u * 50u);
  EXPECT_EQ(DemoJumps::TargetForTimeText("0:1:0", 10000, 20), 10000u - 61u * 50u);
  EXPECT_EQ(DemoJumps::TargetForTimeText("", 10000, 20), 10000u - 50u);
  EXPECT_EQ(DemoJumps::TargetForTimeText("7x", 10000, 20), 10000u - 400u);
  // Further back than the start, or absurdly large: nothing to jump to.
  EXPECT_EQ(DemoJumps::TargetForTimeText("1:0:0", 10000, 20), 0u);
  EXPECT_EQ(DemoJumps::TargetForTimeText("99999999999:99999999999", 10000, 20), 0u);
  EXPECT_EQ(DemoJumps::TargetForTimeText("5", 10000, 0), 0u);
}

}  // namespace
