#include "platform/d3d/D3DSpanRows.h"

#include <algorithm>

#include "platform/simd/VectorLanes.h"

namespace Velk::D3DSpanRows {

using namespace Lanes;

uint32_t BlendAlpha(uint32_t src, uint32_t dst) {
  const uint32_t a = src >> 24;
  if (a == 255) return src;
  if (a == 0) return dst;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8)
    out |= std::min(Mul255((src >> s) & 0xFF, a) + Mul255((dst >> s) & 0xFF, 255 - a), 255u) << s;
  return out;
}

uint32_t SpritePixel(uint32_t pixel, uint32_t texel, uint32_t keep) {
  const uint32_t a = texel >> 24;
  if (a == 255) return texel & keep;
  if (a == 0) return pixel & keep;
  return BlendAlpha(texel, pixel | ~keep) & keep;
}

uint32_t FilteredTexel(const SpriteTexture& t, float u, float v) {
  const float fx = u * static_cast<float>(t.width) - 0.5f;
  const float fy = v * static_cast<float>(t.height) - 0.5f;
  const int x0 = FloorInt(fx);
  const int y0 = FloorInt(fy);
  const uint32_t wx = static_cast<uint32_t>((fx - static_cast<float>(x0)) * 256);
  const uint32_t wy = static_cast<uint32_t>((fy - static_cast<float>(y0)) * 256);
  const int xa = Address(x0, t.width, t.wrapU), xb = Address(x0 + 1, t.width, t.wrapU);
  const int ya = Address(y0, t.height, t.wrapV), yb = Address(y0 + 1, t.height, t.wrapV);
  return Bilinear(t.At(xa, ya), t.At(xb, ya), t.At(xa, yb), t.At(xb, yb), wx, wy);
}

namespace {

using I32 = Lanes::I32;
using F32 = Lanes::F32;

[[gnu::always_inline]] inline I32 FloorLanes(F32 v) {
  const I32 i = __builtin_convertvector(v, I32);
  return i + reinterpret_cast<I32>(v < __builtin_convertvector(i, F32));  // true lanes are -1
}

[[gnu::always_inline]] inline I32 ClampLanes(I32 i, int top) {
  const I32 zero{}, hi = zero + top;
  const I32 low = i < zero ? zero : i;
  return low > hi ? hi : low;
}

// FilteredTexel in lanes, clamped addressing only, for textures at least two texels wide, as
// SpriteLanes takes it (a texel of alpha 0 may come back with another colour).
[[gnu::always_inline]] inline U32 FilteredLanes(const SpriteTexture& t, F32 u, F32 v) {
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
  // Both columns come from one pair of neighbours that starts inside the row.
  const U32 k = reinterpret_cast<U32>(ClampLanes(xa, t.width - 2));
  const U32 firstA = Eq(reinterpret_cast<U32>(xa), k), firstB = Eq(reinterpret_cast<U32>(xb), k);
  const Pair top = GatherPairs(base, rowA + k), bottom = GatherPairs(base, rowB + k);
  const U32 p00 = Select(firstA, top.first, top.second) | t.opaque;
  const U32 p10 = Select(firstB, top.first, top.second) | t.opaque;
  const U32 p01 = Select(firstA, bottom.first, bottom.second) | t.opaque;
  const U32 p11 = Select(firstB, bottom.first, bottom.second) | t.opaque;
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

// Mul255 on 16-bit lanes: every product plus 127 stays below 65535.
[[gnu::always_inline]] inline U16 Mul255Lanes(U16 x, U16 f) {
  const U16 v = x * f + 127;
  return (v + 1 + (v >> 8)) >> 8;
}

// BlendAlpha without its two shortcuts, which the caller selects: channels in 16-bit halves, blue
// with red and green with alpha.
[[gnu::always_inline]] inline U32 BlendLanes(U32 src, U32 dst, U32 a) {
  const U16 f = reinterpret_cast<U16>(a | a << 16), g = 255 - f;
  auto mix = [&](U32 s, U32 d) __attribute__((always_inline)) {
    const U16 sum = Mul255Lanes(reinterpret_cast<U16>(s & 0x00FF00FFu), f) +
                    Mul255Lanes(reinterpret_cast<U16>(d & 0x00FF00FFu), g);
    return reinterpret_cast<U32>(sum > 255 ? U16{} + 255 : sum);
  };
  return mix(src, dst) | mix(src >> 8, dst >> 8) << 8;
}

}  // namespace

// SpritePixel in lanes.
[[gnu::always_inline]] inline U32 SpriteLanes(U32 d, U32 t, uint32_t keep) {
  const U32 a = t >> 24;
  if (AllEqual(a, 0)) return d & keep;
  if (AllEqual(a, 255)) return t & keep;
  const U32 blended = BlendLanes(t, d | ~keep, a);
  return Select(Eq(a, Splat(255)), t, Select(Eq(a, Splat(0)), d, blended)) & keep;
}

VELK_VECTOR_CLONES void SpriteRow(uint32_t* pixels, const uint32_t* texels, int count, uint32_t keep) {
  int i = 0;
  if constexpr (kVectorLanes > 0) {
    for (; i + kWidth <= count; i += kWidth) {
      Store(pixels + i, SpriteLanes(Load(pixels + i), Load(texels + i), keep));
    }
  }
  for (; i < count; ++i) pixels[i] = SpritePixel(pixels[i], texels[i], keep);
}

VELK_VECTOR_CLONES void FilteredSpriteRow(uint32_t* pixels, int count, float u, float v, float du, float dv,
                                          const SpriteTexture& t, uint32_t keep) {
  int i = 0;
  if (kVectorLanes > 0 && !t.wrapU && !t.wrapV && t.width > 1) {
    for (; i + kWidth <= count; i += kWidth) {
      // The position advances by one addition a pixel, as the per-pixel loop does.
      F32 lu, lv;
      for (int l = 0; l < kWidth; ++l, u += du, v += dv) lu[l] = u, lv[l] = v;
      Store(pixels + i, SpriteLanes(Load(pixels + i), FilteredLanes(t, lu, lv), keep));
    }
    if (const int rest = count - i; rest > 0) {
      // The last few pixels fill a whole group by repeating the last one, which is not stored.
      F32 lu, lv;
      U32 d;
      for (int l = 0; l < kWidth; ++l) {
        lu[l] = u, lv[l] = v, d[l] = pixels[i + (l < rest ? l : rest - 1)];
        if (l < rest - 1) u += du, v += dv;
      }
      const U32 out = SpriteLanes(d, FilteredLanes(t, lu, lv), keep);
      for (int l = 0; l < rest; ++l) pixels[i + l] = out[l];
      return;
    }
  }
  for (; i < count; ++i, u += du, v += dv) pixels[i] = SpritePixel(pixels[i], FilteredTexel(t, u, v), keep);
}

}  // namespace Velk::D3DSpanRows
