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
    const U16 sum =
        Mul255Lanes(reinterpret_cast<U16>(s & 0x00FF00FFu), f) + Mul255Lanes(reinterpret_cast<U16>(d & 0x00FF00FFu), g);
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

}  // namespace Velk::D3DSpanRows

#define VELK_FILTER_LANES Baseline
#define VELK_FILTER_GATHER 0
#include "platform/d3d/D3DFilteredLanes.h"
#if VELK_AVX2_PATH
#pragma GCC push_options
#pragma GCC target("avx2")
#define VELK_FILTER_LANES Avx2
#define VELK_FILTER_GATHER 1
#include "platform/d3d/D3DFilteredLanes.h"
#pragma GCC pop_options
#endif

namespace Velk::D3DSpanRows {

VELK_VECTOR_CLONES void SpriteRow(uint32_t* pixels, const uint32_t* texels, int count, uint32_t keep) {
  int i = 0;
  if constexpr (kVectorLanes > 0) {
    for (; i + kWidth <= count; i += kWidth) {
      // Opaque texels replace the pixels, which are then not read at all.
      const U32 t = Load(texels + i);
      Store(pixels + i, AllEqual(t >> 24, 255) ? t & keep : SpriteLanes(Load(pixels + i), t, keep));
    }
  }
  for (; i < count; ++i) pixels[i] = SpritePixel(pixels[i], texels[i], keep);
}

void FilteredSpriteRow(uint32_t* pixels, int count, float u, float v, float du, float dv, const SpriteTexture& t,
                       uint32_t keep) {
#if VELK_AVX2_PATH
  if (HasAvx2()) {
    FilteredLanes::Avx2::Row(pixels, count, u, v, du, dv, t, keep);
    return;
  }
#endif
  FilteredLanes::Baseline::Row(pixels, count, u, v, du, dv, t, keep);
}

}  // namespace Velk::D3DSpanRows
