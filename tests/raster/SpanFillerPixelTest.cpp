// Single pixels worked out by hand from the fillers' arithmetic, per destination format group.

#include <gtest/gtest.h>

#include "Canvas.h"
#include "raster/SpanFillerTable.h"

using namespace Velk;
using RasterTest::Canvas;
using RasterTest::Vertex;

namespace {

// Table entries within a group.
constexpr int kUntextured = 4, kTex = 16, kTexMod = 18, kBlend = 24, kBlendBil = 25;
constexpr int kGroup1 = 32, kGroup2 = 64, kGroup3 = 96;

const SpanColor kWhite{255, 255, 255, 255};

SpanFillerFn Filler(int index) {
  static SpanFillerTable table;
  table.Init();
  return table.Entry(index);
}

// Fills the triangle (0,0) (2,0) (0,2) with constant channels: pixel (0,0) is always covered.
void FillCorner(int index, Canvas& canvas, const SpanVertex& channels, const SpanTexture& tex = {},
                const SpanColor& color = kWhite) {
  SpanVertex v[3] = {channels, channels, channels};
  v[1].x = 2 << 16;
  v[2].y = 2 << 16;
  const SpanVertex* const p[3] = {&v[0], &v[1], &v[2]};
  Filler(index)(p, canvas.Bits(), canvas.pitch, tex, color, {});
}

SpanVertex Colour(int32_t a, int32_t r, int32_t g, int32_t b) { return Vertex(0, 0, a, r, g, b); }

// A one-texel texture read at texel (0,0).
struct OneTexel {
  uint32_t texel;
  SpanTexture Block() const { return {&texel, 1, 1}; }
};

}  // namespace

TEST(SpanRows, ColumnsRunFromCeilOfLeftToBeforeCeilOfRight) {
  // 2.0 .. 5.0 covers 2, 3, 4; a span from 2.5 to 3.0 covers none.
  Canvas c(8, 4, 4);
  SpanVertex v[3] = {Vertex(2, 0, 255 << 16, 255 << 16), Vertex(5, 0, 255 << 16, 255 << 16),
                     Vertex(2, 3, 255 << 16, 255 << 16)};
  const SpanVertex* const p[3] = {&v[0], &v[1], &v[2]};
  Filler(kUntextured)(p, c.Bits(), c.pitch, {}, kWhite, {});
  EXPECT_EQ(c.At(1, 0), 0u);
  EXPECT_EQ(c.At(2, 0), 0xFFFF0000u);
  EXPECT_EQ(c.At(4, 0), 0xFFFF0000u);
  EXPECT_EQ(c.At(5, 0), 0u);
  EXPECT_EQ(c.At(2, 3), 0u) << "bottom row is exclusive";

  Canvas narrow(8, 4, 4);
  SpanVertex w[3] = {Vertex(2.5, 0, 255 << 16), Vertex(3.0, 0, 255 << 16), Vertex(3.0, 3, 255 << 16)};
  const SpanVertex* const q[3] = {&w[0], &w[1], &w[2]};
  Filler(kUntextured)(q, narrow.Bits(), narrow.pitch, {}, kWhite, {});
  EXPECT_EQ(narrow.bytes, Canvas(8, 4, 4).bytes);
}

TEST(SpanRows, FlatAndCollinearTrianglesDrawNothing) {
  const Canvas blank(8, 8, 4);
  auto draw = [](SpanVertex a, SpanVertex b, SpanVertex c) {
    Canvas canvas(8, 8, 4);
    const SpanVertex* const p[3] = {&a, &b, &c};
    Filler(kUntextured)(p, canvas.Bits(), canvas.pitch, {}, kWhite, {});
    return canvas.bytes;
  };
  const int32_t a = 255 << 16;
  EXPECT_EQ(draw(Vertex(0, 1.2, a), Vertex(6, 1.5, a), Vertex(3, 1.9, a)), blank.bytes) << "one row band";
  EXPECT_EQ(draw(Vertex(0, 0, a), Vertex(2, 2, a), Vertex(4, 4, a)), blank.bytes) << "one line";
  EXPECT_NE(draw(Vertex(0, 0, a), Vertex(6, 0, a), Vertex(0, 6, a)), blank.bytes);
}

TEST(SpanRows, RowsOfTheBandKeepWhatLayThereAndTheOthersFillAsWithoutIt) {
  constexpr uint32_t kSentinel = 0x12345678u, kRed = 0xFFFF0000u;
  const int32_t a = 255 << 16;
  // Columns 2..21 of rows 1..8 in two triangles, over the sentinel.
  auto fill = [&](const RowBand& band) {
    Canvas c(24, 10, 4, kSentinel);
    SpanVertex v[4] = {Vertex(2, 1, a, a), Vertex(22, 1, a, a), Vertex(22, 9, a, a), Vertex(2, 9, a, a)};
    const SpanVertex* const upper[3] = {&v[0], &v[1], &v[3]};
    const SpanVertex* const lower[3] = {&v[1], &v[2], &v[3]};
    Filler(kUntextured)(upper, c.Bits(), c.pitch, {}, kWhite, band);
    Filler(kUntextured)(lower, c.Bits(), c.pitch, {}, kWhite, band);
    return c.bytes;
  };
  auto expected = [&](int top, int bottom) {
    Canvas c(24, 10, 4, kSentinel);
    for (int y = 1; y < 9; ++y)
      if (y < top || y >= bottom)
        for (int x = 2; x < 22; ++x) c.Set(x, y, kRed);
    return c.bytes;
  };
  const struct {
    RowBand band;
    const char* name;
  } cases[] = {{{0, 3}, "over the top rows"},  {{4, 6}, "in the middle"}, {{7, 10}, "over the bottom rows"},
               {{9, 10}, "below the polygon"}, {{-4, 1}, "above it"},     {{5, 5}, "empty"},
               {{1, 9}, "over every row"}};
  for (const auto& c : cases) EXPECT_EQ(fill(c.band), expected(c.band.top, c.band.bottom)) << c.name;
}

TEST(Group0Untextured, AlphaThresholds) {
  auto pixel = [](int32_t a) {
    Canvas c(2, 2, 4, 0xFF000000);
    FillCorner(kUntextured, c, Colour(a, 100 << 16, 100 << 16, 100 << 16));
    return c.At(0, 0);
  };
  EXPECT_EQ(pixel(8 << 16), 0xFF000000u) << "8.0 is skipped";
  // 240.0 blends: each channel (100 * 240) >> 8 = 93 over opaque black.
  EXPECT_EQ(pixel(240 << 16), 0xFF5D5D5Du);
  EXPECT_EQ(pixel((240 << 16) + 1), 0xFF646464u) << "one step above 240.0 is opaque";
  EXPECT_EQ(pixel(-1), 0xFF646464u) << "below zero compares as large";
}

TEST(Group0Untextured, RedKeepsItsFractionBits) {
  // r = 200.99: (r * 239) >> 24 = 187, where the integer part alone would give 186.
  Canvas c(2, 2, 4, 0xFF000000);
  FillCorner(kUntextured, c, Colour(239 << 16, (200 << 16) + 64880, 0, 0));
  EXPECT_EQ(c.At(0, 0), 0xFFBB0000u);
}

TEST(Group0Blend, TransparentColourOverAlpha200LowersAlphaByOne) {
  // sA = 0, dA = 200: k = 56 * 256 >> 8 = 56, D = 200; channel ((100 * 200 >> 8) * 256) / 200 = 99.
  OneTexel t{0xFFFFFFFF};
  Canvas c(2, 2, 4, 0xC8646464);
  FillCorner(kTexMod, c, Vertex(0, 0), t.Block(), {0, 255, 255, 255});
  EXPECT_EQ(c.At(0, 0), 0xC7636363u);
}

TEST(Group0Blend, HalfOverOpaqueDestination) {
  // C.a = 129 gives sA = 255 * 129 >> 8 = 128. s' = (200, 100, 50) * 255 >> 8 = (199, 99, 49),
  // P = s' * 128 >> 8 = (99, 49, 24). D = 256; red ((10 * 255 >> 8) * 128 + (99 << 8)) / 256 = 103,
  // green (19 * 128 + (49 << 8)) / 256 = 58, blue (29 * 128 + (24 << 8)) / 256 = 38.
  OneTexel t{0xFFC86432};
  Canvas c(2, 2, 4, 0xFF0A141E);
  FillCorner(kTexMod, c, Vertex(0, 0), t.Block(), {129, 255, 255, 255});
  EXPECT_EQ(c.At(0, 0), 0xFF673A26u);
}

TEST(Group0Blend, NothingOverNothingLeavesThePixel) {
  OneTexel t{0xFFFFFFFF};
  Canvas c(2, 2, 4, 0x00123456);
  FillCorner(kTexMod, c, Vertex(0, 0), t.Block(), {0, 255, 255, 255});
  EXPECT_EQ(c.At(0, 0), 0x00123456u);
}

TEST(Group0Textured, NearestFetchPastTheLastColumn) {
  // 2 x 2 texture; u = width reads the next row's first texel, and past the last row 0.
  const uint32_t texels[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
  const SpanTexture tex{texels, 2, 4};
  Canvas row0(2, 2, 4), row1(2, 2, 4);
  FillCorner(kTex, row0, Vertex(0, 0, 0, 0, 0, 0, 2 << 16, 0), tex);
  FillCorner(kTex, row1, Vertex(0, 0, 0, 0, 0, 0, 2 << 16, 1 << 16), tex);
  EXPECT_EQ(row0.At(0, 0), 0xFF000003u);
  EXPECT_EQ(row1.At(0, 0), 0xFF000000u);
}

TEST(Group0Textured, BilinearColumnMinusOneReadsThePreviousRow) {
  // u = 0, v = 1.5 texels: u' = -0x8000, v' = 1.0, so the block starts at texel 2 (row 0's last).
  // wu = 0x8001, wv = 1: w00 = (0x7FFE * 255) >> 16 = 127, w10 = (0x8000 * 255) >> 16 = 127,
  // fa = 254 (opaque); red (200 * 127) >> 8 = 99, blue (100 * 127) >> 8 = 49.
  const uint32_t texels[6] = {0, 0, 0xFFC80000, 0xFF000064, 0, 0};
  const SpanTexture tex{texels, 3, 6};
  Canvas c(2, 2, 4);
  FillCorner(kBlendBil, c, Vertex(0, 0, 0, 0, 0, 0, 0, 0x18000), tex);
  EXPECT_EQ(c.At(0, 0), 0xFF630031u);
}

TEST(Group1, WritesAlphaFFAndSkipsKeepAlpha) {
  OneTexel white239{0xEFFFFFFF};
  Canvas black(2, 2, 4, 0x00000000);
  FillCorner(kGroup1 + kBlend, black, Vertex(0, 0), white239.Block());
  EXPECT_EQ(black.At(0, 0), 0xFFEEEEEEu) << "255 * 239 >> 8 = 238";

  OneTexel faint{0x08FFFFFF};
  Canvas kept(2, 2, 4, 0x12345678);
  FillCorner(kGroup1 + kBlend, kept, Vertex(0, 0), faint.Block());
  EXPECT_EQ(kept.At(0, 0), 0x12345678u) << "texel alpha 8 is skipped";

  OneTexel nine{0x09FFFFFF};
  Canvas nineOver(2, 2, 4, 0x12000000);
  FillCorner(kGroup1 + kBlend, nineOver, Vertex(0, 0), nine.Block());
  EXPECT_EQ(nineOver.At(0, 0), 0xFF080808u) << "alpha 9 blends: 255 * 9 >> 8 = 8";
}

TEST(Group1, ColourAlphaZeroStillRewritesThePixel) {
  OneTexel t{0xFF000000};
  Canvas c(2, 2, 4, 0x12FFFFFF);
  FillCorner(kGroup1 + kTexMod, c, Vertex(0, 0), t.Block(), {0, 255, 255, 255});
  EXPECT_EQ(c.At(0, 0), 0xFFFEFEFEu);
}

TEST(Group1, TextureOnlyIgnoresTexelAlpha) {
  OneTexel t{0x00123456};
  Canvas c(2, 2, 4, 0x00FFFFFF);
  FillCorner(kGroup1 + kTex, c, Vertex(0, 0), t.Block());
  EXPECT_EQ(c.At(0, 0), 0xFF123456u);
}

TEST(Group1, UntexturedDropsTheFractionBeforeTheProduct) {
  Canvas c(2, 2, 4, 0xFF000000);
  FillCorner(kGroup1 + kUntextured, c, Colour(239 << 16, (200 << 16) + 64880, 0, 0));
  EXPECT_EQ(c.At(0, 0), 0xFFBA0000u) << "(200 * 239) >> 8 = 186";
}

TEST(Group16Bit, OpaqueWhite) {
  OneTexel white{0xFFFFFFFF};
  Canvas c565(2, 2, 2), c555(2, 2, 2, 0x8000);
  FillCorner(kGroup2 + kTex, c565, Vertex(0, 0), white.Block());
  FillCorner(kGroup3 + kTex, c555, Vertex(0, 0), white.Block());
  EXPECT_EQ(c565.At(0, 0), 0xFFFFu);
  EXPECT_EQ(c555.At(0, 0), 0x7FFFu);
}

TEST(Group16Bit, Blend565) {
  OneTexel half{0x80FFFFFF};
  // Source (255 * 128) >> 8 = 127 packs to (15, 31, 15); k = 127 >> 3 = 15.
  Canvas overBlack(2, 2, 2, 0x0000);
  FillCorner(kGroup2 + kBlend, overBlack, Vertex(0, 0), half.Block());
  EXPECT_EQ(overBlack.At(0, 0), (15u << 11) | (31u << 5) | 15u);
  // White becomes (31 * 15 >> 5, 63 * 15 >> 5, ...) = (14, 29, 14), plus the source: (29, 60, 29).
  Canvas overWhite(2, 2, 2, 0xFFFF);
  FillCorner(kGroup2 + kBlend, overWhite, Vertex(0, 0), half.Block());
  EXPECT_EQ(overWhite.At(0, 0), (29u << 11) | (60u << 5) | 29u);
  // Colour alpha 0: k = 31, white becomes (30, 61, 30).
  OneTexel white{0xFFFFFFFF};
  Canvas faded(2, 2, 2, 0xFFFF);
  FillCorner(kGroup2 + kTexMod, faded, Vertex(0, 0), white.Block(), {0, 255, 255, 255});
  EXPECT_EQ(faded.At(0, 0), (30u << 11) | (61u << 5) | 30u);
}

TEST(Group16Bit, Bit15Of555ClearedOnWriteKeptOnSkip) {
  OneTexel half{0x80FFFFFF}, faint{0x08FFFFFF}, opaque{0xF0FFFFFF};
  Canvas blended(2, 2, 2, 0xFFFF), skipped(2, 2, 2, 0xFFFF), solid(2, 2, 2, 0x8000);
  FillCorner(kGroup3 + kBlend, blended, Vertex(0, 0), half.Block());
  FillCorner(kGroup3 + kBlend, skipped, Vertex(0, 0), faint.Block());
  FillCorner(kGroup3 + kBlend, solid, Vertex(0, 0), opaque.Block());
  EXPECT_EQ(blended.At(0, 0), (29u << 10) | (29u << 5) | 29u);
  EXPECT_EQ(skipped.At(0, 0), 0xFFFFu);
  EXPECT_EQ(solid.At(0, 0), 0x7FFFu) << "alpha 240 is opaque";
}
