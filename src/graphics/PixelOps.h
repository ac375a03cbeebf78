#pragma once
// Per-pixel arithmetic shared by the software fills and blits. Pixels are 0xAARRGGBB words.
#include <algorithm>
#include <cstdint>
#include <limits>

namespace Velk::PixelOps {

// Exact v / 255 for any 32-bit v, through the reciprocal 0x80808081.
inline uint32_t Div255(uint32_t v) { return static_cast<uint32_t>((static_cast<uint64_t>(v) * 0x80808081u) >> 39); }

inline uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }

// The "over" composite into a destination that keeps alpha: the resulting alpha and the source weight
// (out of 256). An opaque destination keeps alpha 255 and weighs the source by its own alpha.
struct Mix {
  uint32_t outA;
  uint32_t w;
};

inline Mix MixOver(uint32_t da, uint32_t sa) {
  if (da == 255) return Mix{255, sa};
  const uint32_t outA = da + Div255((255 - da) * sa);
  return Mix{outA, sa * 255 / outA};
}

// Each channel (s * w + d * (256 - w)) >> 8; the result has no alpha.
inline uint32_t BlendSummed(uint32_t s, uint32_t d, uint32_t w) {
  const uint32_t v = 256 - w;
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= ((Channel(s, shift) * w + Channel(d, shift) * v) >> 8) << shift;
  return out;
}

// Red and blue in one word, green in another; the blue terms are truncated before they are added.
inline uint32_t BlendLane(uint32_t s, uint32_t d, uint32_t w) {
  const uint32_t v = 256 - w;
  const uint32_t rb = ((((s & 0x00FF00FFu) * w) >> 8) + (((d & 0x00FF00FFu) * v) >> 8)) & 0x00FF00FFu;
  const uint32_t g = ((((s & 0x0000FF00u) * w) >> 8) + (((d & 0x0000FF00u) * v) >> 8)) & 0x0000FF00u;
  return rb | g;
}

// Composites source colour s with alpha sa over d; sa = 0 leaves d as it is.
template <uint32_t (*Blend)(uint32_t, uint32_t, uint32_t)>
inline uint32_t Over(uint32_t d, uint32_t s, uint32_t sa) {
  if (sa == 0) return d;
  const Mix m = MixOver(d >> 24, sa);
  return (m.outA << 24) | Blend(s, d, m.w);
}

inline uint32_t OverSummed(uint32_t d, uint32_t s, uint32_t sa) { return Over<BlendSummed>(d, s, sa); }
inline uint32_t OverLane(uint32_t d, uint32_t s, uint32_t sa) { return Over<BlendLane>(d, s, sa); }

// Truncation toward zero that stays defined outside the int range (NaN gives 0).
inline int TruncInt(double v) {
  if (!(v == v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  if (v <= static_cast<double>(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

// Saturating add through the 512-entry table; the index is held inside the table.
inline uint32_t SatAdd(const uint8_t* table, uint32_t a, uint32_t b) { return table[std::min(a + b, 511u)]; }

}  // namespace Velk::PixelOps
