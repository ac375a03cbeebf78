// The rotated blit's row in lanes (see RotateRows.h): RotateRows.cpp includes this file twice, into
// namespace RotateLanes::VELK_ROTATE_LANES, the second time compiled for AVX2 as a whole with
// VELK_LANES_AVX2 set, so that its group tests use the test instruction.

#include "platform/simd/GatherLanes.h"

namespace Velk::RotateLanes::VELK_ROTATE_LANES {

using namespace Lanes;

#include "platform/simd/LaneTests.h"

struct LaneSample {
  U32 a;
  U32 s[3];
};

[[gnu::always_inline]] inline LaneSample SampleLanes(const RotateSource& src, U32 u, U32 v, const RotateTint& tint) {
  const U32 ix = u >> 16, iy = v >> 16;
  const U32 right = Gt(Splat(src.width), ix + 1);
  const U32 down = Gt(Splat(src.height), iy + 1);
  const U32 index = iy * static_cast<uint32_t>(src.stride) + ix;
  // Each texel is read with its right neighbour as one 64-bit word (the images keep a word to read
  // past their last texel); neighbours outside the rectangle are read with the texel to their left
  // (the row below as the row itself) and cleared. On the processors measured this beats the gather.
  const U32 below = down & static_cast<uint32_t>(src.stride);
  const Pair top = GatherPairs(src.texels, index), bottom = GatherPairs(src.texels, index + below);
  const U32 t[4] = {top.first, top.second & right, bottom.first & down, bottom.second & right & down};
  // A wholly clear footprint has alpha 0, which draws nothing whatever its sums.
  if (AllZero((t[0] | t[1] | t[2] | t[3]) >> 24)) return {Splat(0), {}};
  const U32 fx = (u & 0xFFFE) + 1, fy = (v & 0xFFFE) + 1;
  const U32 frac[4] = {((0x10000 - fx) * (0x10000 - fy)) >> 16, (fx * (0x10000 - fy)) >> 16,
                       (fy * (0x10000 - fx)) >> 16, (fx * fy) >> 16};
  // Every product of a channel and its weight, and every sum of them, stays below 65536: the sums
  // are formed in 16-bit halves, blue with red and green with alpha.
  U16 blueRed{}, greenAlpha{};
  LaneSample smp{Splat(0), {}};
  for (int q = 0; q < 4; ++q) {
    U32 w = (frac[q] * (t[q] >> 24)) >> 16;
    if (!tint.white && !tint.additive) w = (w * tint.ca) >> 8;
    smp.a += w;
    const U16 w2 = reinterpret_cast<U16>(w | w << 16);
    blueRed += reinterpret_cast<U16>(t[q] & 0x00FF00FFu) * w2;
    greenAlpha += reinterpret_cast<U16>((t[q] >> 8) & 0x00FF00FFu) * w2;
  }
  smp.s[0] = reinterpret_cast<U32>(blueRed) & 0xFFFF;
  smp.s[1] = reinterpret_cast<U32>(greenAlpha) & 0xFFFF;
  smp.s[2] = reinterpret_cast<U32>(blueRed) >> 16;
  return smp;
}

// DrawSample in lanes; additive only with a clamping saturation table.
[[gnu::always_inline]] inline U32 DrawLanes(U32 d, LaneSample smp, const RotateTint& tint) {
  U32 out;
  if (tint.additive) {
    out = d & 0xFF000000u;
    for (int c = 0; c < 3; ++c) {
      const U32 add = tint.white ? smp.s[c] >> 8 : ((smp.s[c] >> 8) * tint.k[c]) >> 8;
      out |= Min(((d >> (c * 8)) & 0xFF) + add, Splat(255)) << (c * 8);
    }
  } else {
    if (!tint.white)
      for (int c = 0; c < 3; ++c) smp.s[c] = (smp.s[c] >> 8) * (tint.col[c] + 1);
    const U32 opaque = 0xFF000000u | (smp.s[2] >> 8) << 16 | (smp.s[1] >> 8) << 8 | (smp.s[0] >> 8);
    const U32 over = Gt(smp.a, Splat(250));
    if (AllOnes(over | Eq(smp.a, Splat(0)))) return Select(over, opaque, d);  // nothing to mix
    const U32 da = d >> 24, n = 256 - smp.a;
    if (AllZero(da ^ 255)) {
      // Over opaque pixels outA is 256: the division is a shift and the alpha stays 255.
      U32 onto = Splat(0xFF000000u);
      for (int c = 0; c < 3; ++c)
        onto |= ((((d >> (c * 8)) & 0xFF) * 255 >> 8) * n + (smp.s[c] & ~255u)) >> 8 << (c * 8);
      return Select(over, opaque, Select(Eq(smp.a, Splat(0)), d, onto));
    }
    const U32 outA = 256 - ((n * (256 - da)) >> 8);
    const U32 safeA = Max(outA, Splat(1));  // 0 only where the sample has alpha 0 and is not drawn
    U32 mixed = (outA - 1) << 24;
    for (int c = 0; c < 3; ++c)
      mixed |= DivSmall(((((d >> (c * 8)) & 0xFF) * da) >> 8) * n + (smp.s[c] & ~255u), safeA) << (c * 8);
    out = Select(over, opaque, mixed);
  }
  return Select(Eq(smp.a, Splat(0)), d, out);
}

// Whether the lanes' narrow sums and quotients hold for this tint: additive blits need the clamping
// table; the others a colour and alpha of at most 255, which nothing else guarantees.
inline bool LanesFit(const RotateTint& t) {
  if (t.additive) return t.clamp;
  return t.ca <= 255 && t.col[0] <= 255 && t.col[1] <= 255 && t.col[2] <= 255;
}

void Row(uint32_t* d, int count, uint32_t u, uint32_t v, int32_t du, int32_t dv, const RotateSource& src,
         const RotateTint& tint) {
  int i = 0;
  if (kVectorLanes > 0 && LanesFit(tint)) {
    const U32 step{0, 1, 2, 3, 4, 5, 6, 7};
    for (; i + kWidth <= count; i += kWidth) {
      const U32 lu = u + step * static_cast<uint32_t>(du), lv = v + step * static_cast<uint32_t>(dv);
      u += static_cast<uint32_t>(du) * kWidth;
      v += static_cast<uint32_t>(dv) * kWidth;
      const LaneSample smp = SampleLanes(src, lu, lv, tint);
      if (AllZero(smp.a)) continue;  // a wholly transparent footprint draws nothing
      Store(d + i, DrawLanes(Load(d + i), smp, tint));
    }
    if (const int rest = count - i; rest > 0) {
      // The last few pixels fill a whole group by repeating the last one, which is not stored.
      const U32 lane = Min(step, Splat(static_cast<uint32_t>(rest - 1)));
      U32 dl;
      for (int l = 0; l < kWidth; ++l) dl[l] = d[i + lane[l]];
      const U32 lu = u + lane * static_cast<uint32_t>(du), lv = v + lane * static_cast<uint32_t>(dv);
      const U32 out = DrawLanes(dl, SampleLanes(src, lu, lv, tint), tint);
      for (int l = 0; l < rest; ++l) d[i + l] = out[l];
      return;
    }
  }
  for (; i < count; ++i, u += static_cast<uint32_t>(du), v += static_cast<uint32_t>(dv))
    d[i] = RotatePixel(d[i], src, u, v, tint);
}

}  // namespace Velk::RotateLanes::VELK_ROTATE_LANES

#undef VELK_ROTATE_LANES
#undef VELK_LANES_AVX2
