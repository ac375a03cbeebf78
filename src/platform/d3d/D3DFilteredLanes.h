// The device's filtered sprite span in lanes (see D3DSpanRows.h): D3DSpanRows.cpp includes this file
// twice, into namespace FilteredLanes::VELK_FILTER_LANES, the second time compiled for AVX2 as a whole
// with VELK_FILTER_GATHER set, so that its texel reads use the gather instruction.

#include "platform/simd/GatherLanes.h"

namespace Velk::D3DSpanRows::FilteredLanes::VELK_FILTER_LANES {

// FilteredTexel in lanes, clamped addressing only, for textures at least two texels wide, as
// SpriteLanes takes it (a texel of alpha 0 may come back with another colour).
[[gnu::always_inline]] inline U32 Filtered(const SpriteTexture& t, F32 u, F32 v) {
  const F32 fx = u * static_cast<float>(t.width) - 0.5f;
  const F32 fy = v * static_cast<float>(t.height) - 0.5f;
  const I32 x0 = FloorLanes(fx), y0 = FloorLanes(fy);
  const U32 wx = reinterpret_cast<U32>(__builtin_convertvector((fx - __builtin_convertvector(x0, F32)) * 256.0f, I32));
  const U32 wy = reinterpret_cast<U32>(__builtin_convertvector((fy - __builtin_convertvector(y0, F32)) * 256.0f, I32));
  const I32 xa = ClampLanes(x0, t.width - 1), xb = ClampLanes(x0 + 1, t.width - 1);
  const I32 ya = ClampLanes(y0, t.height - 1), yb = ClampLanes(y0 + 1, t.height - 1);
  const uint32_t* base = reinterpret_cast<const uint32_t*>(t.texels);
  const U32 rowA = reinterpret_cast<U32>(ya) * static_cast<uint32_t>(t.pitch / 4);
  const U32 rowB = reinterpret_cast<U32>(yb) * static_cast<uint32_t>(t.pitch / 4);
#if !VELK_FILTER_GATHER
  // Both columns come from one pair of neighbours that starts inside the row.
  const U32 k = reinterpret_cast<U32>(ClampLanes(xa, t.width - 2));
  const U32 firstA = Eq(reinterpret_cast<U32>(xa), k), firstB = Eq(reinterpret_cast<U32>(xb), k);
#endif
#if VELK_FILTER_GATHER
  // Reading texel pairs as 64-bit words, as the baseline copy and the rotated rows do, measured no
  // faster here.
  const U32 p00 = GatherAvx2(base, rowA + reinterpret_cast<U32>(xa), Splat(~0u)) | t.opaque;
  const U32 p10 = GatherAvx2(base, rowA + reinterpret_cast<U32>(xb), Splat(~0u)) | t.opaque;
  const U32 p01 = GatherAvx2(base, rowB + reinterpret_cast<U32>(xa), Splat(~0u)) | t.opaque;
  const U32 p11 = GatherAvx2(base, rowB + reinterpret_cast<U32>(xb), Splat(~0u)) | t.opaque;
#else
  const Pair top = GatherPairs(base, rowA + k), bottom = GatherPairs(base, rowB + k);
  const U32 p00 = Select(firstA, top.first, top.second) | t.opaque;
  const U32 p10 = Select(firstB, top.first, top.second) | t.opaque;
  const U32 p01 = Select(firstA, bottom.first, bottom.second) | t.opaque;
  const U32 p11 = Select(firstB, bottom.first, bottom.second) | t.opaque;
#endif
  // Four clear texels filter to alpha 0, which leaves the pixel whatever the colour.
  if (AllEqual((p00 | p10 | p01 | p11) >> 24, 0)) return Splat(0);
  // Each row's blend of a channel stays below 65536: it is formed in 16-bit halves, blue with red and
  // green with alpha; the blend of the two rows in full lanes.
  const U16 rightWeight = reinterpret_cast<U16>(wx | wx << 16), leftWeight = 256 - rightWeight;
  auto across = [&](U32 left, U32 right) __attribute__((always_inline)) {
    return reinterpret_cast<U32>(reinterpret_cast<U16>(left & 0x00FF00FFu) * leftWeight +
                                 reinterpret_cast<U16>(right & 0x00FF00FFu) * rightWeight);
  };
  const U32 gy = 256 - wy;
  auto blend = [&](U32 top, U32 bottom, int shift) __attribute__((always_inline)) {
    return (((top >> shift) & 0xFFFF) * gy + ((bottom >> shift) & 0xFFFF) * wy) >> 16;
  };
  const U32 topBR = across(p00, p10), bottomBR = across(p01, p11);
  const U32 topGA = across(p00 >> 8, p10 >> 8), bottomGA = across(p01 >> 8, p11 >> 8);
  return blend(topBR, bottomBR, 0) | blend(topGA, bottomGA, 0) << 8 | blend(topBR, bottomBR, 16) << 16 |
         blend(topGA, bottomGA, 16) << 24;
}

void Row(uint32_t* pixels, int count, float u, float v, float du, float dv, const SpriteTexture& t, uint32_t keep) {
  int i = 0;
  if (kVectorLanes > 0 && !t.wrapU && !t.wrapV && t.width > 1) {
    for (; i + kWidth <= count; i += kWidth) {
      // The position advances by one addition a pixel, as the per-pixel loop does.
      F32 lu, lv;
      for (int l = 0; l < kWidth; ++l, u += du, v += dv) lu[l] = u, lv[l] = v;
      Store(pixels + i, SpriteLanes(Load(pixels + i), Filtered(t, lu, lv), keep));
    }
    if (const int rest = count - i; rest > 0) {
      // The last few pixels fill a whole group by repeating the last one, which is not stored.
      F32 lu, lv;
      U32 d;
      for (int l = 0; l < kWidth; ++l) {
        lu[l] = u, lv[l] = v, d[l] = pixels[i + (l < rest ? l : rest - 1)];
        if (l < rest - 1) u += du, v += dv;
      }
      const U32 out = SpriteLanes(d, Filtered(t, lu, lv), keep);
      for (int l = 0; l < rest; ++l) pixels[i + l] = out[l];
      return;
    }
  }
  for (; i < count; ++i, u += du, v += dv) pixels[i] = SpritePixel(pixels[i], FilteredTexel(t, u, v), keep);
}

}  // namespace Velk::D3DSpanRows::FilteredLanes::VELK_FILTER_LANES

#undef VELK_FILTER_LANES
#undef VELK_FILTER_GATHER
