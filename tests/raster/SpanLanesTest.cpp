// The span pixel loop, which draws groups of pixels at once, against the per-pixel stages over
// arbitrary channel values and steps (wrapping products, divisions beyond single precision, one texel
// a pixel), in every format group and a spread of flag sets.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "raster/SpanFiller.h"

using namespace Velk;

namespace {

struct Span {
  int32_t start[kChanCount];
  int32_t grad[kChanCount];
  int32_t count;
};

// Draws one span through the lanes (both copies where the processor has AVX2) and through the
// per-pixel stages over the same bytes, and compares.
template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void ExpectSpanSameAsPerPixel(const Span& span, const SpanTexture& tex, const SpanColor& color,
                              const std::vector<uint8_t>& before) {
  using Pixel = typename SpanPixelWriter<F>::Pixel;
  std::vector<uint8_t> lanes = before, single = before;
  int32_t c[kChanCount];
  std::copy(span.start, span.start + kChanCount, c);
  SpanLanes::Baseline::SpanPixels<F, Tex, Blend, VCol, Mod, Bil>(lanes.data(), span.count, c, span.grad, tex, color);
#if VELK_AVX2_PATH
  if (Lanes::HasAvx2()) {
    std::vector<uint8_t> wide = before;
    std::copy(span.start, span.start + kChanCount, c);
    SpanLanes::Avx2::SpanPixels<F, Tex, Blend, VCol, Mod, Bil>(wide.data(), span.count, c, span.grad, tex, color);
    ASSERT_EQ(lanes, wide) << "count " << span.count;
  }
#endif
  std::copy(span.start, span.start + kChanCount, c);
  for (int32_t x = 0; x < span.count; ++x) {
    uint8_t* at = single.data() + size_t(x) * sizeof(Pixel);
    if constexpr (Tex)
      ShadeTextured<F, Blend, VCol, Mod, Bil>(at, c, tex, color);
    else
      ShadeUntextured<F>(at, c);
    for (int k = 0; k < kChanCount; ++k) c[k] = Add32(c[k], span.grad[k]);
  }
  ASSERT_EQ(single, lanes) << "format " << int(F) << " count " << span.count;
}

std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> bytes(n);
  for (uint8_t& b : bytes) b = uint8_t(rng() % 5 ? rng() : 0);
  return bytes;
}

template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void ExpectSameAsPerPixel(uint32_t seed) {
  using Pixel = typename SpanPixelWriter<F>::Pixel;
  std::mt19937 rng(seed);
  std::vector<uint32_t> texels(9 * 7);
  for (uint32_t& t : texels) t = rng() % 3 ? rng() : rng() & 0x08FFFFFF;
  const SpanTexture tex{texels.data(), 9, int32_t(texels.size())};
  for (int trial = 0; trial < 200; ++trial) {
    const SpanColor color{int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256)};
    Span span;
    span.count = int32_t(rng() % 70);
    for (int k = 0; k < kChanCount; ++k) {
      // In range, or anything at all.
      span.start[k] = trial % 3 ? int32_t(rng() % (256 << 16)) : int32_t(rng());
      span.grad[k] = trial % 3 ? int32_t(rng() % 0x40000) - 0x20000 : int32_t(rng());
    }
    if (trial % 3) {
      span.start[kChanU] = int32_t(rng() % (12 << 16)) - (1 << 16);
      span.start[kChanV] = int32_t(rng() % (9 << 16)) - (1 << 16);
    }
    // One texel per pixel along a row, as blits draw, running on into the next rows and past the end.
    if (trial % 4 == 1) {
      span.grad[kChanU] = 0x10000;
      span.grad[kChanV] = 0;
    }
    ExpectSpanSameAsPerPixel<F, Tex, Blend, VCol, Mod, Bil>(span, tex, color,
                                                            RandomBytes(rng, size_t(span.count) * sizeof(Pixel) + 8));
  }
}

// A sprite's texels: stretches of clear, nearly clear, opaque, nearly opaque and any alpha, so
// that whole groups of eight fall on each kind and on their borders.
std::vector<uint32_t> BandedTexels(std::mt19937& rng, size_t n) {
  std::vector<uint32_t> texels(n);
  for (size_t i = 0; i < n;) {
    const uint32_t kind = rng() % 5;
    for (size_t end = std::min(n, i + 1 + rng() % 40); i < end; ++i) {
      const uint32_t alpha = kind == 0   ? 0
                             : kind == 1 ? rng() % 9
                             : kind == 2 ? 255
                             : kind == 3 ? 240 + rng() % 16
                                         : rng() % 256;
      texels[i] = alpha << 24 | (rng() & 0xFFFFFF);
    }
  }
  return texels;
}

// Spans along texel rows of a banded texture: one texel a pixel exactly or a hair off (drifting
// across a texel border or not), every start within a row, counts 0 to 67 and 800, some running
// past the texture's end.
template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void ExpectRowsSameAsPerPixel(uint32_t seed) {
  using Pixel = typename SpanPixelWriter<F>::Pixel;
  constexpr int32_t kTexW = 840, kTexH = 3;
  std::mt19937 rng(seed);
  const std::vector<uint32_t> texels = BandedTexels(rng, size_t(kTexW) * kTexH);
  const SpanTexture tex{texels.data(), kTexW, kTexW * kTexH};
  for (int trial = 0; trial < 150; ++trial) {
    const SpanColor color =
        trial % 2 ? SpanColor{} : SpanColor{int(rng() % 256), int(rng() % 256), int(rng() % 256), int(rng() % 256)};
    Span span;
    span.count = trial % 10 == 0 ? 800 : int32_t(rng() % 68);
    for (int k = 0; k < kChanCount; ++k) {
      span.start[k] = int32_t(rng() % (256 << 16));
      span.grad[k] = int32_t(rng() % 0x4000) - 0x2000;
    }
    const int32_t drift[] = {0, 0, 0, 1, -1, 3, -5};
    span.start[kChanU] = int32_t(rng() % (kTexW << 16));
    span.start[kChanV] = int32_t(rng() % (kTexH << 16));
    span.grad[kChanU] = 0x10000 + drift[trial % 7];
    span.grad[kChanV] = trial % 11 == 3 ? 1 : 0;
    ExpectSpanSameAsPerPixel<F, Tex, Blend, VCol, Mod, Bil>(span, tex, color,
                                                            RandomBytes(rng, size_t(span.count) * sizeof(Pixel) + 8));
  }
}

template <SpanFormat F>
void EveryFlagSet(uint32_t seed) {
  ExpectSameAsPerPixel<F, true, true, true, true, true>(seed);
  ExpectSameAsPerPixel<F, true, true, false, false, false>(seed + 1);
  ExpectSameAsPerPixel<F, true, false, true, true, false>(seed + 2);
  ExpectSameAsPerPixel<F, true, true, false, true, true>(seed + 3);
  ExpectSameAsPerPixel<F, true, false, false, false, true>(seed + 4);
  ExpectSameAsPerPixel<F, true, true, true, false, false>(seed + 7);
  ExpectSameAsPerPixel<F, true, false, true, false, true>(seed + 8);
  ExpectSameAsPerPixel<F, false, false, true, true, false>(seed + 5);
  ExpectSameAsPerPixel<F, false, false, true, false, false>(seed + 6);
}

}  // namespace

TEST(SpanLanes, GroupsOfPixelsMatchThePerPixelStages) {
  EveryFlagSet<SpanFormat::Argb8888>(100);
  EveryFlagSet<SpanFormat::Xrgb888>(200);
  EveryFlagSet<SpanFormat::Rgb565>(300);
  EveryFlagSet<SpanFormat::Rgb555>(400);
}

TEST(SpanLanes, SpansAlongTexelRowsOfASpriteMatchThePerPixelStages) {
  ExpectRowsSameAsPerPixel<SpanFormat::Xrgb888, true, true, false, false, false>(500);
  ExpectRowsSameAsPerPixel<SpanFormat::Argb8888, true, false, false, false, false>(501);
  ExpectRowsSameAsPerPixel<SpanFormat::Argb8888, true, true, false, false, false>(502);
  ExpectRowsSameAsPerPixel<SpanFormat::Xrgb888, true, true, false, true, false>(503);
  ExpectRowsSameAsPerPixel<SpanFormat::Argb8888, true, true, true, true, false>(504);
  ExpectRowsSameAsPerPixel<SpanFormat::Rgb565, true, true, false, false, false>(505);
  ExpectRowsSameAsPerPixel<SpanFormat::Rgb555, true, false, false, true, false>(506);
  ExpectRowsSameAsPerPixel<SpanFormat::Xrgb888, true, true, false, false, true>(507);
}

TEST(SpanLanes, ATexelRunIsFoundOnlyWhereEveryPixelReadsTheNextTexel) {
  std::vector<uint32_t> texels(10 * 4);
  const SpanTexture tex{texels.data(), 10, 40};
  // Row 2, column 3, exactly one texel a pixel: texels 23 to 29.
  EXPECT_EQ(TexelRun(tex, 3 << 16, 2 << 16, 0x10000, 0, 7), texels.data() + 23);
  // A hair short of a texel a pixel from the middle of a texel: the 7th pixel still reads column 9.
  EXPECT_EQ(TexelRun(tex, (3 << 16) + 0x8000, 2 << 16, 0xFFFF, 0, 7), texels.data() + 23);
  // From a texel's left edge the shortfall falls back into column 8 at the 2nd pixel.
  EXPECT_EQ(TexelRun(tex, 3 << 16, 2 << 16, 0xFFFF, 0, 7), nullptr);
  // The line changes under the span.
  EXPECT_EQ(TexelRun(tex, 3 << 16, (2 << 16) + 0xFFF0, 0x10000, 4, 7), nullptr);
  // Past the last texel, and from before the first column.
  EXPECT_EQ(TexelRun(tex, 5 << 16, 3 << 16, 0x10000, 0, 6), nullptr);
  EXPECT_EQ(TexelRun(tex, -(1 << 16), 2 << 16, 0x10000, 0, 3), nullptr);
  // A run may continue into the next texel row, as the per-pixel index does.
  EXPECT_EQ(TexelRun(tex, 8 << 16, 0, 0x10000, 0, 4), texels.data() + 8);
  EXPECT_EQ(TexelRun(tex, 0, 0, 0x10000, 0, 0), nullptr);
}
