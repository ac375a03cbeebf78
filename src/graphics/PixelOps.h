#pragma once
// Per-pixel arithmetic shared by the software fills and blits. Pixels are 0xAARRGGBB words.
#include <algorithm>
#include <cstddef>
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
  for (int shift = 0; shift <= 16; shift += 8) out |= ((Channel(s, shift) * w + Channel(d, shift) * v) >> 8) << shift;
  return out;
}

// Red and blue in one word, green in another; the blue terms are truncated before they are added.
inline uint32_t BlendLane(uint32_t s, uint32_t d, uint32_t w) {
  const uint32_t v = 256 - w;
  const uint32_t rb = ((((s & 0x00FF00FFu) * w) >> 8) + (((d & 0x00FF00FFu) * v) >> 8)) & 0x00FF00FFu;
  const uint32_t g = ((((s & 0x0000FF00u) * w) >> 8) + (((d & 0x0000FF00u) * v) >> 8)) & 0x0000FF00u;
  return rb | g;
}

// Opaque destination: the source weighs by its own alpha and the result is opaque.
inline uint32_t BlendOntoOpaque(uint32_t d, uint32_t s) { return 0xFF000000u | BlendLane(s, d, s >> 24); }

// The normal blit onto an opaque destination by the source pixel's alpha: opaque pixels are copied,
// transparent ones leave the destination, the others blend.
inline uint32_t OntoOpaque(uint32_t d, uint32_t s) {
  const uint32_t a = s >> 24;
  return a == 255 ? s : a == 0 ? d : BlendOntoOpaque(d, s);
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

// The blit colour: channels and alpha, and for additive blits each channel scaled by the alpha.
struct Tint {
  uint32_t r = 255, g = 255, b = 255, a = 255;
  uint32_t k[3] = {255, 255, 255};  // red, green, blue x alpha / 255, held to 0..255
  const uint8_t* sat = nullptr;     // the saturation table of the additive blits
  bool clamp = false;               // sat[i] is min(i, 255), so sums may saturate directly
};

// Colourised source terms added to the destination terms, lane form. A grey colour scales red and
// blue with one multiplier in one word.
inline uint32_t ColorizedTerms(uint32_t s, uint32_t d, uint32_t w, uint32_t r, uint32_t g, uint32_t b) {
  const uint32_t v = 256 - w;
  if (r == g && g == b) {
    const uint32_t rb = (((((s & 0x00FF00FFu) * r) >> 8) & 0x00FF00FFu) * w) >> 8;
    const uint32_t gs = ((s & 0x0000FF00u) * w * r) >> 16;
    return ((rb + (((d & 0x00FF00FFu) * v) >> 8)) & 0x00FF00FFu) |
           ((gs + (((d & 0x0000FF00u) * v) >> 8)) & 0x0000FF00u);
  }
  const uint32_t rs = ((((s & 0x00FF0000u) * w) >> 8) * r) >> 8;
  const uint32_t gs = ((s & 0x0000FF00u) * w * g) >> 16;
  const uint32_t bs = ((s & 0x000000FFu) * w * b) >> 16;
  return ((rs + (((d & 0x00FF0000u) * v) >> 8)) & 0x00FF0000u) | ((gs + (((d & 0x0000FF00u) * v) >> 8)) & 0x0000FF00u) |
         ((bs + (((d & 0x000000FFu) * v) >> 8)) & 0xFFu);
}

// The colourised normal blit of one pixel: the alpha scales by ca / 255, the channels by value / 256.
inline uint32_t OverColorized(uint32_t d, uint32_t s, const Tint& t) {
  const uint32_t sa = Div255((s >> 24) * t.a);
  if (sa == 0) return d;
  const Mix m = MixOver(d >> 24, sa);
  return (m.outA << 24) | ColorizedTerms(s, d, m.w, t.r, t.g, t.b);
}

// What an additive blit adds to each channel, packed as 0x00RRGGBB (each part at most 255).
inline uint32_t AddPlain(uint32_t s, const Tint&) { return s & 0xFFFFFFu; }
inline uint32_t AddWeighted(uint32_t s, const Tint&) {
  const uint32_t sa = s >> 24;
  return (Channel(s, 16) * sa) >> 8 << 16 | (Channel(s, 8) * sa) >> 8 << 8 | (Channel(s, 0) * sa) >> 8;
}
inline uint32_t AddTinted(uint32_t s, const Tint& t) {
  return (Channel(s, 16) * t.k[0]) >> 8 << 16 | (Channel(s, 8) * t.k[1]) >> 8 << 8 | (Channel(s, 0) * t.k[2]) >> 8;
}
inline uint32_t AddTintedWeighted(uint32_t s, const Tint& t) {
  const uint32_t sa = s >> 24;
  return (Channel(s, 16) * t.k[0] * sa) >> 16 << 16 | (Channel(s, 8) * t.k[1] * sa) >> 16 << 8 |
         (((Channel(s, 0) * t.k[2]) >> 8) * sa) >> 8;
}

// d with each colour channel raised by its part of the packed amount through the saturation table;
// the alpha stays.
inline uint32_t AddThroughTable(const uint8_t* sat, uint32_t d, uint32_t add) {
  return (d & 0xFF000000u) | uint32_t(sat[Channel(d, 16) + Channel(add, 16)]) << 16 |
         uint32_t(sat[Channel(d, 8) + Channel(add, 8)]) << 8 | sat[Channel(d, 0) + Channel(add, 0)];
}

// Whether a table of n entries holds min(i, top) at every i.
template <typename T>
bool IsClampTable(const T* table, size_t n, uint32_t top) {
  if (!table) return false;
  for (size_t i = 0; i < n; ++i)
    if (table[i] != std::min<uint32_t>(static_cast<uint32_t>(i), top)) return false;
  return true;
}

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
