#include <gtest/gtest.h>

#include "graphics/Color.h"
#include "graphics/Rect.h"

using namespace Velk;

TEST(Color, PackedValueAndDefaults) {
  const Color red(0x00FF0000u);
  EXPECT_EQ(255, red.mRed);
  EXPECT_EQ(0, red.mGreen);
  EXPECT_EQ(0, red.mAlpha);
  EXPECT_EQ(Color(0, 0, 0, 255), Color());
  EXPECT_EQ(0x80C86432u, Color(200, 100, 50, 128).ToArgb());
  // An out-of-range component spills into the neighbouring byte.
  EXPECT_EQ(0x01000000u, Color(256, 0, 0, 0).ToArgb());
  const int rgb[3] = {1, 2, 3};
  EXPECT_EQ(Color(1, 2, 3, 255), Color(rgb));
  EXPECT_TRUE(Color(255, 255, 255, 254) != Color::White);
}

TEST(Rect, IntersectTouchingAndDisjoint) {
  const Rect a(0, 0, 10, 10);
  EXPECT_EQ(Rect(10, 0, 0, 5), a.Intersect(Rect(10, 0, 5, 5)));
  EXPECT_EQ(Rect(0, 0, 0, 0), a.Intersect(Rect(11, 0, 5, 5)));
  EXPECT_EQ(Rect(0, 0, 0, 0), a.Intersect(Rect(2, 12, 5, 5)));
  EXPECT_EQ(Rect(2, 3, 8, 7), a.Intersect(Rect(2, 3, 20, 20)));
  EXPECT_EQ(DRect(0.5, 1, 9.5, 2), DRect(0, 0, 10, 3).Intersect(DRect(0.5, 1, 20, 20)));
}
