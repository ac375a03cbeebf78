// The rotated blit's row routine against its per-pixel arithmetic: random texels and destinations,
// positions anywhere in the source including its last column and row, every drawing mode.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/RotateRows.h"

using namespace Velk;

namespace {

RotateTint Tint(bool additive, uint32_t r, uint32_t g, uint32_t b, uint32_t a, const uint8_t* sat, bool clamp) {
  return RotateTint{additive,  r == 255 && g == 255 && b == 255 && a == 255, a,
                    {b, g, r}, {b * a / 255, g * a / 255, r * a / 255},      sat,
                    clamp};
}

}  // namespace

TEST(RotateRows, EveryModeMatchesThePerPixelSample) {
  std::mt19937 rng(7);
  uint8_t clamp[512], odd[512];
  for (int i = 0; i < 512; ++i) {
    clamp[i] = static_cast<uint8_t>(std::min(i, 255));
    odd[i] = static_cast<uint8_t>(255 - (i & 255));
  }
  const RotateTint tints[] = {
      Tint(false, 255, 255, 255, 255, nullptr, false), Tint(false, 200, 120, 40, 180, nullptr, false),
      Tint(false, 255, 255, 255, 0, nullptr, false), Tint(true, 255, 255, 255, 255, clamp, true),
      Tint(true, 90, 200, 255, 128, clamp, true), Tint(true, 255, 255, 255, 255, odd, false),
      // Nothing holds a blit colour to 0..255.
      Tint(false, 300, 20, 255, 400, nullptr, false), Tint(false, 256, 256, 256, 256, nullptr, false),
      Tint(true, 1000, 3, 70, 300, clamp, true)};
  const uint32_t W = 37, H = 23, stride = 41;
  // Exactly the rectangle and the one word after it that may be read.
  std::vector<uint32_t> texels(stride * (H - 1) + W + 1);
  for (uint32_t& t : texels) {
    const uint32_t kind = rng() % 4;  // transparent, opaque or translucent texels
    t = (kind == 0 ? 0u : kind == 1 ? 255u : rng() % 256) << 24 | (rng() & 0xFFFFFF);
  }
  const RotateSource src{texels.data(), stride, W, H};
  for (const RotateTint& tint : tints)
    for (int count : {1, 7, 8, 9, 17, 64, 67, 800}) {
      for (int trial = 0; trial < 20; ++trial) {
        // Both ends inside the source, so every position between them is too.
        const int64_t u0 = rng() % (W << 16), u1 = rng() % (W << 16);
        const int64_t v0 = rng() % (H << 16), v1 = trial % 4 == 0 ? v0 : rng() % (H << 16);
        const int32_t du = count > 1 ? static_cast<int32_t>((u1 - u0) / (count - 1)) : 0;
        const int32_t dv = count > 1 ? static_cast<int32_t>((v1 - v0) / (count - 1)) : 0;
        std::vector<uint32_t> before(count);
        for (uint32_t& p : before) p = rng() | (trial % 2 ? 0xFF000000u : 0u);  // some rows wholly opaque
        std::vector<uint32_t> row = before;
        RotateRow(row.data(), count, static_cast<uint32_t>(u0), static_cast<uint32_t>(v0), du, dv, src, tint);
        uint32_t u = static_cast<uint32_t>(u0), v = static_cast<uint32_t>(v0);
        for (int i = 0; i < count; ++i, u += du, v += dv)
          ASSERT_EQ(RotatePixel(before[i], src, u, v, tint), row[i])
              << "pixel " << i << " of " << count << " additive " << tint.additive << " white " << tint.white;
      }
    }
}
