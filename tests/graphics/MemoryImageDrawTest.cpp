#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "TestHost.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

std::set<std::pair<int, int>> PixelsNot(MemoryImage& image, uint32_t background) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < image.mHeight; ++y)
    for (int x = 0; x < image.mWidth; ++x)
      if (Px(image, x, y) != background) out.insert({x, y});
  return out;
}

}  // namespace

TEST(MemoryImageFill, CompositeOverOpaqueAndTransparent) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 3, 1, {0xFF000000, 0x00102030, 0x12345678});
  image.FillRect(Rect(0, 0, 2, 1), Color(200, 100, 50, 128), 0);
  // Opaque destination: weight 128, alpha stays 255.
  EXPECT_EQ(0xFF643219u, Px(image, 0, 0));
  // Transparent destination: alpha 128, weight 255: (c x 255 + d) >> 8.
  EXPECT_EQ(0x80C76331u, Px(image, 1, 0));

  image.FillRect(Rect(0, 0, 3, 1), Color(9, 9, 9, 0), 0);
  EXPECT_EQ(0x12345678u, Px(image, 2, 0));
  image.FillRect(Rect(2, 0, 1, 1), Color(1, 2, 3, 255), 0);
  EXPECT_EQ(0xFF010203u, Px(image, 2, 0));
}

TEST(MemoryImageFill, RectanglesOutsideTheImageAreCut) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 2, 2, {0, 0, 0, 0});
  image.FillRect(Rect(-5, 1, 100, 100), Color(1, 2, 3), 0);
  image.FillRect(Rect(0, 0, 0, 5), Color(1, 2, 3), 0);
  image.FillRect(Rect(0, 0, 3, -1), Color(1, 2, 3), 0);
  EXPECT_EQ(0u, Px(image, 1, 0));
  EXPECT_EQ(0xFF010203u, Px(image, 1, 1));
  image.ClearRect(Rect(1, -3, 9, 9));
  EXPECT_EQ(0xFF010203u, Px(image, 0, 1));
  EXPECT_EQ(0u, Px(image, 1, 1));
  EXPECT_EQ(0x4BEEFADEu, image.mBits[4]);
}

TEST(MemoryImageLine, PixelSetsAndColours) {
  TestHost host;
  MemoryImage image(&host);
  image.CreateBlank(8, 8);
  image.DrawLine(0, 0, 3, 3, Color::White, 0);
  EXPECT_EQ((std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}), PixelsNot(image, 0));
  // White is written as 254 by the plain line.
  EXPECT_EQ(0xFFFEFEFEu, Px(image, 2, 2));

  image.ClearPixels();
  image.DrawLine(3, 1, 0, 0, Color::White, 0);
  EXPECT_EQ((std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}), PixelsNot(image, 0));

  // A single point is a one-pixel fill, written exactly.
  image.ClearPixels();
  image.DrawLine(5, 6, 5, 6, Color::White, 0);
  EXPECT_EQ(0xFFFFFFFFu, Px(image, 5, 6));

  // Translucent red over white; the destination alpha becomes 255.
  Fill(image, 2, 2, {0x00FFFFFF, 0, 0, 0x00FFFFFF});
  image.DrawLine(0, 0, 1, 1, Color(255, 0, 0, 128), 0);
  EXPECT_EQ(0xFFFE7F7Fu, Px(image, 0, 0));

  Fill(image, 2, 2, {0x40646464, 0, 0, 0x40646464});
  image.DrawLine(0, 0, 1, 1, Color(200, 100, 0, 255), 1);
  EXPECT_EQ(0xFFFFC864u, Px(image, 0, 0));
}

TEST(MemoryImageLine, LinesAreCutToTheImage) {
  TestHost host;
  MemoryImage image(&host);
  image.CreateBlank(8, 8);
  image.DrawLine(-5, -5, 20, 20, Color::White, 0);
  image.DrawLine(-5, 3, 20, 3, Color::White, 0);
  image.DrawLineSmooth(-5.5, -2, 30, 9.25, Color::White, 0);
  EXPECT_EQ(0xFFFEFEFEu, Px(image, 7, 7));
  EXPECT_EQ(0xFFFFFFFFu, Px(image, 0, 3));
  EXPECT_EQ(0x4BEEFADEu, image.mBits[64]);
}

TEST(MemoryImageLine, SmoothLineModes) {
  TestHost host;
  MemoryImage image(&host);
  image.CreateBlank(8, 8);
  const int changes = image.mBitsChangedCount;
  image.DrawLineSmooth(0, 0, 5, 3, Color::White, 1);
  EXPECT_TRUE(PixelsNot(image, 0).empty());
  EXPECT_EQ(changes, image.mBitsChangedCount);

  // Straight lines take the fill in any mode.
  image.DrawLineSmooth(1, 2, 4, 2, Color::White, 1);
  EXPECT_EQ(4u, PixelsNot(image, 0).size());

  // A diagonal from whole-pixel ends: full weight (255 of 256) on the diagonal, nothing beside it.
  image.ClearPixels();
  image.DrawLineSmooth(0, 0, 3, 3, Color(255, 0, 0, 255), 0);
  EXPECT_EQ(0xFFFE0000u, Px(image, 0, 0));
  EXPECT_EQ(0xFFFE0000u, Px(image, 3, 3));
  EXPECT_EQ(4u, PixelsNot(image, 0).size());
}

TEST(MemoryImageSpans, CoverageDrawsInPlace) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 4, 2, {0, 0, 0, 0, 0, 0, 0, 0});
  const uint8_t coverage[8] = {0, 0, 0, 0, 255, 0, 255, 127};
  const Span span{1, 0, 4};
  image.FillSpansCoverage(&span, 1, Color(255, 0, 0, 255), 0, coverage, 0, 0, 4, false);
  // Full coverage composites with weight 255 of 256.
  EXPECT_EQ(0xFFFE0000u, Px(image, 0, 1));
  EXPECT_EQ(0u, Px(image, 1, 1));
  EXPECT_EQ(0xFFFE0000u, Px(image, 2, 1));
  // Coverage 127 gives alpha 127 over a transparent pixel.
  EXPECT_EQ(0x7FFE0000u, Px(image, 3, 1));
  EXPECT_EQ(0u, Px(image, 0, 0));
}
