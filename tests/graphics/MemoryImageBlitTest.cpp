#include <gtest/gtest.h>

#include <vector>

#include "TestHost.h"

using namespace Velk;
using namespace Velk::Testing;

TEST(MemoryImageBlit, RunPathMatchesTheGenericPathOnOpaqueDestinations) {
  TestHost host;
  MemoryImage src(&host);
  Fill(src, 4, 1, {0x80C86432, 0x00FFFFFF, 0xFF010203, 0x80C86432});
  // Lane form with weight 128: red 100 + 8, green 50 + 16, blue 25 + 24. Opaque pixels are copied by
  // the run path; the generic path mixes them with weight 255 of 256 (blue 3 x 255 >> 8 = 2).
  for (bool generic : {false, true}) {
    const std::vector<uint32_t> expected{0xFF6C4231, 0xFF102030, generic ? 0xFF010202u : 0xFF010203u, 0xFF6C4231};
    MemoryImage dst(&host);
    Fill(dst, 4, 1, std::vector<uint32_t>(4, 0xFF102030));
    if (generic) dst.ForceAlphaFlags(false, true);
    dst.Blit(&src, 0, 0, Rect(0, 0, 4, 1), Color::White, 0);
    EXPECT_TRUE(src.mDrawn);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(expected[i], Px(dst, i, 0)) << "pixel " << i << " generic " << generic;
  }
  EXPECT_NE(nullptr, src.mRLAlphaData);
}

TEST(MemoryImageBlit, Colourised) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 1, 1, {0xFFC86432});
  Fill(dst, 2, 1, {0xFF000000, 0xFF000000});
  dst.Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color(128, 128, 128, 255), 0);
  dst.Blit(&src, 1, 0, Rect(0, 0, 1, 1), Color(255, 128, 0, 255), 0);
  // Grey 128 halves the channels (weight 255): 99, 49, 24.
  EXPECT_EQ(0xFF633118u, Px(dst, 0, 0));
  // Red 200 x 255 x 255 >> 16 = 198, green 49, blue 0.
  EXPECT_EQ(0xFFC63100u, Px(dst, 1, 0));

  // A colour alpha of 0 leaves the destination alone.
  dst.Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color(255, 255, 255, 0), 0);
  EXPECT_EQ(0xFF633118u, Px(dst, 0, 0));
}

TEST(MemoryImageBlit, AdditiveSaturatesAndKeepsDestinationAlpha) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 2, 1, {0xFFC8C8C8, 0x00102030});
  Fill(dst, 2, 1, {0x40646464, 0x40010101});
  dst.Blit(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 1);
  EXPECT_EQ(0x40FFFFFFu, Px(dst, 0, 0));
  // Without translucent pixels in the source, transparent pixels add their colour too.
  EXPECT_EQ(0x40112131u, Px(dst, 1, 0));

  // With translucent pixels the source alpha weighs in: 200 x 128 >> 8 = 100.
  Fill(src, 1, 1, {0x80C8C8C8});
  Fill(dst, 1, 1, {0x40646464});
  dst.Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color::White, 1);
  EXPECT_EQ(0x40C8C8C8u, Px(dst, 0, 0));

  // Colourised: k = 255 x 128 / 255 = 128; red 200 x 128 x 128 >> 16 = 50; blue
  // ((200 x 128) >> 8) x 128 >> 8 = 50; green k = 0.
  Fill(dst, 1, 1, {0x40646464});
  dst.Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color(255, 0, 255, 128), 1);
  EXPECT_EQ(0x40966496u, Px(dst, 0, 0));

  // Colourised without translucent source pixels: 200 x 128 >> 8 = 100 on red and blue.
  Fill(src, 1, 1, {0xFFC8C8C8});
  Fill(dst, 1, 1, {0x40646464});
  dst.Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color(255, 0, 255, 128), 1);
  EXPECT_EQ(0x40C864C8u, Px(dst, 0, 0));
}

TEST(MemoryImageBlit, PalettizedSourceDrawsLikeItsBits) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 2, 1, {0x80C86432, 0xFF010203});
  ASSERT_TRUE(src.ReduceToPalette());
  Fill(dst, 2, 1, {0xFF102030, 0xFF102030});
  dst.Blit(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
  EXPECT_EQ(0xFF6C4231u, Px(dst, 0, 0));
  EXPECT_EQ(0xFF010203u, Px(dst, 1, 0));
  EXPECT_NE(nullptr, src.mColorTable);
}

TEST(MemoryImageBlit, RefusedBlitsChangeNothing) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 1, 1, {0xFFFFFFFF});
  Fill(dst, 1, 1, {0xFF000000});
  const int changes = dst.mBitsChangedCount;
  dst.Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color::White, 2);
  Image plain;
  dst.Blit(&plain, 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
  dst.Blit(nullptr, 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
  EXPECT_EQ(changes, dst.mBitsChangedCount);
  EXPECT_TRUE(plain.mDrawn);
  EXPECT_EQ(0xFF000000u, Px(dst, 0, 0));
}

TEST(MemoryImageBlit, RectanglesReachingOutsideAreCut) {
  TestHost host;
  MemoryImage src(&host), dst(&host);
  Fill(src, 2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
  Fill(dst, 2, 2, std::vector<uint32_t>(4, 0xFF000000));
  dst.Blit(&src, -1, 0, Rect(0, -1, 5, 5), Color::White, 0);
  // Destination (0, 1) takes source (1, 0): the first row of the rect lies above the source.
  EXPECT_EQ(0xFF000000u, Px(dst, 0, 0));
  EXPECT_EQ(0xFF000002u, Px(dst, 0, 1));
  EXPECT_EQ(0xFF000000u, Px(dst, 1, 1));
  EXPECT_EQ(0x4BEEFADEu, dst.mBits[4]);
}
