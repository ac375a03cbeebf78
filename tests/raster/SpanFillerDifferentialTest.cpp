// Every table entry against the plain reference filler, bit for bit, on random triangles.

#include <gtest/gtest.h>

#include <random>

#include "Canvas.h"
#include "ReferenceFiller.h"
#include "raster/SpanFillerTable.h"

using namespace Velk;
using RasterTest::Canvas;

namespace {

constexpr int kW = 24, kH = 20, kTexW = 7, kTexH = 5;

struct Scene {
  std::vector<uint32_t> texels;
  SpanVertex v[3];
  SpanColor color;
};

// Vertex colours stay within 1..254 so that interpolation never leaves 0..255.
Scene RandomScene(std::mt19937& rng) {
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  static const uint32_t kAlphas[] = {0, 8, 9, 128, 239, 240, 255};
  Scene s;
  for (int i = 0; i < kTexW * kTexH; ++i) {
    const uint32_t a = uniform(0, 1) ? kAlphas[uniform(0, 6)] : uint32_t(uniform(0, 255));
    s.texels.push_back(a << 24 | uint32_t(uniform(0, 0xFFFFFF)));
  }
  for (auto& v : s.v) {
    v.x = uniform(0, (kW - 1) << 16);
    v.y = uniform(0, (kH - 1) << 16);
    for (int k = kChanA; k <= kChanB; ++k) v.c[k] = uniform(1 << 16, 254 << 16);
    v.c[kChanU] = uniform(-(kTexW << 14), (kTexW << 16) + (kTexW << 14));
    v.c[kChanV] = uniform(-(kTexH << 14), (kTexH << 16) + (kTexH << 14));
  }
  if (uniform(0, 3) == 0)
    s.color = {255, 255, 255, 255};
  else
    s.color = {uniform(0, 255), uniform(0, 255), uniform(0, 255), uniform(0, 255)};
  return s;
}

Canvas RandomCanvas(std::mt19937& rng, int pixelSize) {
  // A pitch that is not a whole number of pixels is taken down to one.
  Canvas c(kW, kH, pixelSize, 0, pixelSize == 4 ? 3 : 1);
  for (auto& b : c.bytes) b = uint8_t(rng());
  // Some fully transparent destination pixels, for the group 0 blend.
  for (int i = 0; i < 40 && pixelSize == 4; ++i) c.Set(int(rng() % kW), int(rng() % kH), rng() & 0x00FFFFFF);
  return c;
}

}  // namespace

TEST(SpanFillerFamily, MatchesTheReferenceBitForBit) {
  SpanFillerTable table;
  table.Init();
  std::mt19937 rng(20261206);
  for (int index = 0; index < kSpanFillerCount; ++index) {
    const int pixelSize = index >= 64 ? 2 : 4;
    bool changed = false;
    for (int run = 0; run < 300; ++run) {
      const Scene s = RandomScene(rng);
      const SpanTexture tex{s.texels.data(), kTexW, kTexW * kTexH};
      Canvas expected = RandomCanvas(rng, pixelSize);
      Canvas actual = expected;
      const Canvas before = expected;
      const SpanVertex* const p[3] = {&s.v[0], &s.v[1], &s.v[2]};
      RasterTest::ReferenceFill(index, p, expected.Bits(), expected.pitch, tex, s.color);
      table.Entry(index)(p, actual.Bits(), actual.pitch, tex, s.color, {});
      ASSERT_EQ(actual.bytes, expected.bytes) << "entry " << index << ", run " << run;
      changed |= actual.bytes != before.bytes;
    }
    const bool draws = (index & 16) || (index & 4);
    EXPECT_EQ(changed, draws) << "entry " << index;
  }
}
