#include <gtest/gtest.h>

#include <vector>

#include "TestHost.h"
#include "common/Matrix3x3.h"
#include "raster/SpanFillerTable.h"

using namespace Velk;
using namespace Velk::Testing;

class MemoryImageTransform : public ::testing::Test {
 protected:
  void SetUp() override { InitSpanFillerTable(); }
  TestHost host;
  MemoryImage src{&host};
  MemoryImage dst{&host};
};

TEST_F(MemoryImageTransform, IdentityLandsEachTexelOnItsPixel) {
  std::vector<uint32_t> px(16);
  for (uint32_t i = 0; i < 16; ++i) px[i] = 0xFF000000u | i;
  Fill(src, 4, 4, px);
  Fill(dst, 6, 6, std::vector<uint32_t>(36, 0xFF00FF00));
  // Corners at x + 0.5 - 0.5: the quad covers pixels 0..3 exactly, rows 6 words apart.
  dst.BlitTransformed(&src, 0.5f, 0.5f, Matrix3x3(), Rect(0, 0, 6, 6), Color::White, 0, Rect(0, 0, 4, 4), false);
  EXPECT_TRUE(src.mDrawn);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(x < 4 && y < 4 ? px[y * 4 + x] : 0xFF00FF00u, Px(dst, x, y)) << x << "," << y;

  // A source rect maps its own texels: (1, 1, 2, 2) moved by the matrix to (3, 2).
  Matrix3x3 m;
  m.Translate(3, 2);
  dst.BlitTransformed(&src, 0.5f, 0.5f, m, Rect(0, 0, 6, 6), Color::White, 0, Rect(1, 1, 2, 2), false);
  EXPECT_EQ(px[5], Px(dst, 3, 2));
  EXPECT_EQ(px[10], Px(dst, 4, 3));
  EXPECT_EQ(0xFF00FF00u, Px(dst, 5, 3));

  // A clip larger than the image is held to it (the rasteriser leaves the clip's last column and row).
  dst.BlitTransformed(&src, 4.5f, 4.5f, Matrix3x3(), Rect(-10, -10, 100, 100), Color::White, 0, Rect(0, 0, 4, 4),
                      false);
  EXPECT_EQ(px[0], Px(dst, 4, 4));
  EXPECT_EQ(0xFF00FF00u, Px(dst, 5, 5));
  EXPECT_EQ(0x4BEEFADEu, dst.mBits[36]);
}

TEST_F(MemoryImageTransform, FormatWordFollowsTheForcedOpaqueFlags) {
  Fill(src, 2, 2, std::vector<uint32_t>(4, 0x80FF0000));
  Fill(dst, 2, 2, std::vector<uint32_t>(4, 0));
  dst.BlitTransformed(&src, 0.5f, 0.5f, Matrix3x3(), Rect(0, 0, 2, 2), Color::White, 0, Rect(0, 0, 2, 2), false);
  EXPECT_NE(0xFFu, Px(dst, 0, 0) >> 24);  // destination alpha kept and composited
  Fill(dst, 2, 2, std::vector<uint32_t>(4, 0));
  dst.ForceAlphaFlags(false, false);
  dst.BlitTransformed(&src, 0.5f, 0.5f, Matrix3x3(), Rect(0, 0, 2, 2), Color::White, 0, Rect(0, 0, 2, 2), false);
  EXPECT_EQ(0xFFu, Px(dst, 0, 0) >> 24);  // opaque destination: alpha written whole
}

TEST_F(MemoryImageTransform, NonMemorySourcesDrawNothing) {
  Fill(dst, 2, 2, std::vector<uint32_t>(4, 0));
  const int changes = dst.mBitsChangedCount;
  Image plain;
  plain.mWidth = plain.mHeight = 2;
  const TriVertex tri[1][3] = {{{0, 0, 0, 0, 0xFFFFFFFF}, {2, 0, 1, 0, 0xFFFFFFFF}, {0, 2, 0, 1, 0xFFFFFFFF}}};
  dst.BlitTransformed(&plain, 0.5f, 0.5f, Matrix3x3(), Rect(0, 0, 2, 2), Color::White, 0, Rect(0, 0, 2, 2), false);
  dst.BlitTriangles(&plain, tri, 1, Rect(0, 0, 2, 2), Color::White, 0, 0, 0, false);
  EXPECT_EQ(changes, dst.mBitsChangedCount);
  EXPECT_EQ(0u, Px(dst, 0, 0));
}

TEST_F(MemoryImageTransform, TrianglesAreOffsetAndTakeVertexColours) {
  Fill(src, 2, 2, std::vector<uint32_t>(4, 0xFF0000FF));
  Fill(dst, 8, 8, std::vector<uint32_t>(64, 0xFF000000));
  const TriVertex plain[1][3] = {{{0, 0, 0, 0, 0}, {4, 0, 1, 0, 0}, {0, 4, 0, 1, 0}}};
  dst.BlitTriangles(&src, plain, 1, Rect(0, 0, 8, 8), Color::White, 0, 2, 2, false);
  EXPECT_EQ(0xFF000000u, Px(dst, 1, 2));
  EXPECT_EQ(0xFF0000FFu, Px(dst, 2, 2));
  EXPECT_EQ(0xFF0000FFu, Px(dst, 5, 2));
  EXPECT_EQ(0xFF000000u, Px(dst, 6, 2));

  // A non-zero colour turns vertex colours on: half alpha halves the blue drawn.
  const TriVertex tinted[1][3] = {{{0, 0, 0, 0, 0x80FFFFFF}, {4, 0, 1, 0, 0x80FFFFFF}, {0, 4, 0, 1, 0x80FFFFFF}}};
  Fill(dst, 8, 8, std::vector<uint32_t>(64, 0xFF000000));
  dst.BlitTriangles(&src, tinted, 1, Rect(0, 0, 8, 8), Color::White, 0, 2, 2, false);
  const uint32_t blue = Px(dst, 2, 2) & 0xFF;
  EXPECT_GT(blue, 0x70u);
  EXPECT_LT(blue, 0x90u);
}
