#include "graphics/RotateRows.h"

#include "graphics/PixelOps.h"
#include "platform/simd/VectorLanes.h"

namespace Velk {

RotateSample SampleAt(const RotateSource& src, uint32_t u, uint32_t v, const RotateTint& tint) {
  const size_t i = (v >> 16) * src.stride + (u >> 16);
  const bool right = (u >> 16) + 1 < src.width;
  const bool down = (v >> 16) + 1 < src.height;
  const uint32_t* p = src.texels;
  const uint32_t t[4] = {p[i], right ? p[i + 1] : 0u, down ? p[i + src.stride] : 0u,
                         right && down ? p[i + src.stride + 1] : 0u};
  const uint32_t fx = (u & 0xFFFE) + 1, fy = (v & 0xFFFE) + 1;
  const uint32_t frac[4] = {((0x10000 - fx) * (0x10000 - fy)) >> 16, (fx * (0x10000 - fy)) >> 16,
                            (fy * (0x10000 - fx)) >> 16, (fx * fy) >> 16};
  RotateSample smp{0, {0, 0, 0}};
  for (int q = 0; q < 4; ++q) {
    uint32_t w = (frac[q] * (t[q] >> 24)) >> 16;
    if (!tint.white && !tint.additive) w = (w * tint.ca) >> 8;
    smp.a += w;
    for (int c = 0; c < 3; ++c) smp.s[c] += PixelOps::Channel(t[q], c * 8) * w;
  }
  return smp;
}

uint32_t DrawSample(uint32_t d, RotateSample smp, const RotateTint& tint) {
  using PixelOps::Channel;
  if (smp.a == 0) return d;
  if (tint.additive) {
    uint32_t out = d & 0xFF000000u;
    for (int c = 0; c < 3; ++c) {
      const uint32_t add = tint.white ? smp.s[c] >> 8 : ((smp.s[c] >> 8) * tint.k[c]) >> 8;
      out |= PixelOps::SatAdd(tint.sat, Channel(d, c * 8), add) << (c * 8);
    }
    return out;
  }
  if (!tint.white)
    for (int c = 0; c < 3; ++c) smp.s[c] = (smp.s[c] >> 8) * (tint.col[c] + 1);
  if (smp.a > 250) return 0xFF000000u | (smp.s[2] >> 8) << 16 | (smp.s[1] >> 8) << 8 | (smp.s[0] >> 8);
  const uint32_t da = d >> 24, n = 256 - smp.a;
  const uint32_t outA = 256 - ((n * (256 - da)) >> 8);
  uint32_t out = (outA - 1) << 24;
  for (int c = 0; c < 3; ++c) out |= ((((Channel(d, c * 8) * da) >> 8) * n + (smp.s[c] & ~255u)) / outA) << (c * 8);
  return out;
}

}  // namespace Velk

#define VELK_ROTATE_LANES Baseline
#define VELK_LANES_AVX2 0
#include "graphics/RotateLanes.h"
#if VELK_AVX2_PATH
#pragma GCC push_options
#pragma GCC target("avx2")
#define VELK_ROTATE_LANES Avx2
#define VELK_LANES_AVX2 1
#include "graphics/RotateLanes.h"
#pragma GCC pop_options
#endif

namespace Velk {

void RotateRow(uint32_t* d, int count, uint32_t u, uint32_t v, int32_t du, int32_t dv, const RotateSource& src,
               const RotateTint& tint) {
#if VELK_AVX2_PATH
  if (Lanes::HasAvx2()) {
    RotateLanes::Avx2::Row(d, count, u, v, du, dv, src, tint);
    return;
  }
#endif
  RotateLanes::Baseline::Row(d, count, u, v, du, dv, src, tint);
}

}  // namespace Velk
