#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "TestHost.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

std::vector<uint32_t> Row(MemoryImage& image, int y) {
  std::vector<uint32_t> out;
  for (int x = 0; x < image.mWidth; ++x) out.push_back(Px(image, x, y));
  return out;
}

std::vector<uint32_t> Column(MemoryImage& image, int x) {
  std::vector<uint32_t> out;
  for (int y = 0; y < image.mHeight; ++y) out.push_back(Px(image, x, y));
  return out;
}

}  // namespace

TEST(MemoryImageRotate, Bounds) {
  DRect b;
  ASSERT_TRUE(MemoryImage::GetRotatedBlitBounds(5, 5, Rect(0, 0, 10, 4), Rect(0, 0, 100, 100), 0, b, 0, 0));
  EXPECT_EQ(DRect(5, 5, 10, 4), b);
  // A quarter turn about the rect's centre swaps width and height around that centre.
  ASSERT_TRUE(MemoryImage::GetRotatedBlitBounds(0, 0, Rect(0, 0, 10, 4), Rect(-50, -50, 100, 100), M_PI / 2, b, 5, 2));
  EXPECT_NEAR(3, b.mX, 1e-4);
  EXPECT_NEAR(-3, b.mY, 1e-4);
  EXPECT_NEAR(4, b.mWidth, 1e-4);
  EXPECT_NEAR(10, b.mHeight, 1e-4);
  EXPECT_FALSE(MemoryImage::GetRotatedBlitBounds(50, 50, Rect(0, 0, 10, 4), Rect(0, 0, 40, 40), 0.3, b, 0, 0));
}

TEST(MemoryImageRotate, AngleZeroDrawsTheWholeRect) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF));
  Fill(dst, 6, 6, std::vector<uint32_t>(36, 0x00000000));
  dst.BlitF(&src, 0, 0, Rect(0, 0, 4, 4), Rect(0, 0, 6, 6), Color::White, 0);
  EXPECT_TRUE(src.mDrawn);
  // Every texel lands on its pixel, the first and last column and row included; the top-left weight
  // is 0xFFFE x 255 >> 16 = 254 (> 250, so opaque) and the colour 255 x 254 >> 8 = 253.
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool drawn = x < 4 && y < 4;
      EXPECT_EQ(drawn ? 0xFFFDFDFDu : 0u, Px(dst, x, y)) << x << "," << y;
    }
}

TEST(MemoryImageRotate, HalfTexelOffsetBlendsAndColours) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  // Two opaque columns, black and red; half a texel to the left of a pixel centre mixes them.
  Fill(src, 3, 3,
       {0xFF000000, 0xFFFF0000, 0xFFFF0000, 0xFF000000, 0xFFFF0000, 0xFFFF0000, 0xFF000000, 0xFFFF0000, 0xFFFF0000});
  Fill(dst, 3, 3, std::vector<uint32_t>(9, 0xFF0000FF));
  dst.BlitRotated(&src, -0.5f, 0, Rect(0, 0, 3, 3), Rect(0, 0, 3, 3), Color::White, 0, 0, 0, 0);
  // At x = 0: u = 0x8000, fx = 0x8001: the right texel weighs (0x8001 x 0xFFFF >> 16) x 255 >> 16 = 127,
  // the left one 127; A = 254, red = 255 x 127 >> 8 = 126.
  EXPECT_EQ(0xFF7E0000u, Px(dst, 0, 0));

  // Additive mode adds the premultiplied sample and keeps the destination alpha.
  Fill(dst, 3, 3, std::vector<uint32_t>(9, 0x20000001));
  dst.BlitRotated(&src, -0.5f, 0, Rect(0, 0, 3, 3), Rect(0, 0, 3, 3), Color::White, 1, 0, 0, 0);
  EXPECT_EQ(0x207E0001u, Px(dst, 0, 0));
}

TEST(MemoryImageRotate, RotationOutsideTheClipMakesNoChange) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 4, 4, std::vector<uint32_t>(16, 0xFFFFFFFF));
  Fill(dst, 8, 8, std::vector<uint32_t>(64, 0));
  const int changes = dst.mBitsChangedCount;
  dst.BlitRotated(&src, 20, 20, Rect(0, 0, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, 0.7, 2, 2);
  // A source rect outside the source is refused.
  dst.BlitRotated(&src, 0, 0, Rect(2, 2, 4, 4), Rect(0, 0, 8, 8), Color::White, 0, 0.7, 2, 2);
  EXPECT_EQ(changes, dst.mBitsChangedCount);
}

TEST(MemoryImageStretch, ClipAgainstNormalAndMirroredSource) {
  DRect s;
  Rect d;
  const Rect src(0, 0, 10, 10), dest(0, 0, 20, 20);
  ASSERT_TRUE(MemoryImage::ClipStretchBlit(src, Rect(0, 0, 10, 20), dest, s, d));
  EXPECT_EQ(Rect(0, 0, 10, 20), d);
  EXPECT_EQ(DRect(0, 0, 5, 10), s);
  ASSERT_TRUE(MemoryImage::ClipStretchBlitMirrored(src, Rect(0, 0, 10, 20), dest, s, d));
  EXPECT_EQ(DRect(5, 0, 5, 10), s);
  ASSERT_TRUE(MemoryImage::ClipStretchBlit(src, Rect(10, 0, 10, 20), dest, s, d));
  EXPECT_EQ(DRect(5, 0, 5, 10), s);
  EXPECT_FALSE(MemoryImage::ClipStretchBlit(src, Rect(40, 0, 10, 20), dest, s, d));
  EXPECT_FALSE(MemoryImage::ClipStretchBlit(src, Rect(0, 0, 10, 20), Rect(0, 0, 0, 5), s, d));
}

TEST(MemoryImageStretch, FastStretchNearestPixel) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 2, 1, {0xFF0000C8, 0x80FF0000});
  Fill(dst, 4, 1, std::vector<uint32_t>(4, 0xFF0000FF));
  dst.BlitStretched(&src, Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color::White, 0, true);
  // Columns 0, 0, 1, 1, composited in lane form: blue 200 x 255 >> 8 = 199; then weight 128.
  EXPECT_EQ((std::vector<uint32_t>{0xFF0000C7, 0xFF0000C7, 0xFF7F007F, 0xFF7F007F}), Row(dst, 0));

  const int changes = dst.mBitsChangedCount;
  dst.BlitStretched(&src, Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color(1, 2, 3), 0, true);
  EXPECT_EQ(changes, dst.mBitsChangedCount);
}

TEST(MemoryImageStretch, SmoothEnlargeInterpolates) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  // Red grows to the right, green downwards.
  Fill(src, 2, 2, {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00});
  Fill(dst, 4, 4, std::vector<uint32_t>(16, 0xFF000000));
  dst.BlitStretched(&src, Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Color::White, 0, false);
  // Across: weights 257/0, 171/86, 85/172, 257 (a third of a texel apart) give 0, 85, 171, 255;
  // down: 256/0, 170/86, 85/171, 256 give 0, 85, 170, 255. Each lands as (255 x v) >> 8.
  EXPECT_EQ((std::vector<uint32_t>{0xFF000000, 0xFF540000, 0xFFAA0000, 0xFFFE0000}), Row(dst, 0));
  EXPECT_EQ((std::vector<uint32_t>{0xFF000000, 0xFF005400, 0xFF00A900, 0xFF00FE00}), Column(dst, 0));
}

TEST(MemoryImageStretch, SmoothShrinkAveragesBlocks) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 4, 4,
       {0xFF000000, 0xFF640000, 0xFF000000, 0xFF000000,  //
        0xFFC80000, 0xFF280000, 0xFF000000, 0xFF000000,  //
        0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,  //
        0xFF000000, 0xFF000000, 0xFF000000, 0xFF0000FF});
  Fill(dst, 2, 2, std::vector<uint32_t>(4, 0xFF000000));
  dst.BlitStretched(&src, Rect(0, 0, 2, 2), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), Color::White, 0, false);
  // (0 + 100 + 200 + 40) / 4 = 85, landing as 255 x 85 >> 8 = 84; 255 / 4 = 63 lands as 62.
  EXPECT_EQ(0xFF540000u, Px(dst, 0, 0));
  EXPECT_EQ(0xFF000000u, Px(dst, 1, 0));
  EXPECT_EQ(0xFF00003Eu, Px(dst, 1, 1));
}

TEST(MemoryImageStretch, SmoothSubPixelSourceDoesNotDivideByZero) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 2, 1, {0xFFFF0000, 0xFF00FF00});
  Fill(dst, 4, 4, std::vector<uint32_t>(16, 0xFF000000));
  // The clip leaves one destination pixel, a quarter of a source pixel wide and high.
  dst.BlitStretched(&src, Rect(0, 0, 4, 4), Rect(0, 0, 1, 1), Rect(0, 0, 1, 1), Color::White, 0, false);
  EXPECT_EQ(0xFFFE0000u, Px(dst, 0, 0));
  EXPECT_EQ(0xFF000000u, Px(dst, 1, 0));
}

TEST(MemoryImageRotate, SamplesNeverLeaveTheSourceRect) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  // A red 4 x 4 rect inside a green frame: any green in the result was read outside the rect.
  std::vector<uint32_t> px(36, 0xFF00FF00);
  for (int y = 1; y <= 4; ++y)
    for (int x = 1; x <= 4; ++x) px[y * 6 + x] = 0xFFFF0000;
  Fill(src, 6, 6, px);
  Fill(dst, 16, 16, std::vector<uint32_t>(256, 0));
  for (double angle = -3.2; angle < 3.3; angle += 0.13)
    for (float offset : {0.0f, 0.25f, 0.5f, 0.99f})
      for (int mode : {0, 1})  // the clip reaches past the destination too
        dst.BlitRotated(&src, 6 + offset, 5 - offset, Rect(1, 1, 4, 4), Rect(-9, -9, 40, 40), Color::White, mode, angle,
                        2 + offset, 1.5f);
  int drawn = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(0u, Px(dst, x, y) & 0x0000FF00u) << x << "," << y;
      drawn += Px(dst, x, y) != 0;
    }
  EXPECT_GT(drawn, 16);
  EXPECT_EQ(0x4BEEFADEu, dst.mBits[256]);
}
