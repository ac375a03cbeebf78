#pragma once
// The device's common spans of sprites: 32-bit texels onto a 32-bit target in the source-alpha blend,
// one texel per pixel or filtered. SpritePixel and FilteredTexel are the per-pixel arithmetic; the
// rows give the same bytes, several pixels at a time where the processor allows.
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace Velk::D3DSpanRows {

inline int FloorInt(float v) {
  const int i = static_cast<int>(v);
  return v < static_cast<float>(i) ? i - 1 : i;
}

inline int Address(int i, int size, bool wrap) {
  if (wrap) {
    i %= size;
    return i < 0 ? i + size : i;
  }
  return std::clamp(i, 0, size - 1);
}

// Four texels weighted by 8-bit fractions.
inline uint32_t Bilinear(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t wx, uint32_t wy) {
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const uint32_t top = ((p00 >> s) & 0xFF) * (256 - wx) + ((p10 >> s) & 0xFF) * wx;
    const uint32_t bottom = ((p01 >> s) & 0xFF) * (256 - wx) + ((p11 >> s) & 0xFF) * wx;
    out |= ((top * (256 - wy) + bottom * wy) >> 16) << s;
  }
  return out;
}

// A texture of 32-bit texels; opaque is ORed into every texel of a texture without alpha.
struct SpriteTexture {
  const uint8_t* texels;
  int pitch;
  int width;
  int height;
  uint32_t opaque;
  bool wrapU;
  bool wrapV;

  uint32_t At(int x, int y) const {
    return reinterpret_cast<const uint32_t*>(texels + static_cast<size_t>(y) * pitch)[x] | opaque;
  }
};

// The filtered texel at texture position (u, v), 0 to 1 across the texture.
uint32_t FilteredTexel(const SpriteTexture& t, float u, float v);

// Where every filtered texel of a span is one texel alone, so that the span may be drawn one texel per
// pixel with the same bytes. The first column of a span of count pixels from u by du a pixel, or -1:
// on a texture a power of two wide with du one texel, every position is exact, so each filters to the
// texel it sits on when the first does and the others weigh nothing.
[[gnu::always_inline]] inline int ExactTexelColumn(float u, float du, int width, int count) {
  if (width <= 0 || (width & (width - 1)) != 0) return -1;
  const float w = static_cast<float>(width);
  if (du * w != 1.0f) return -1;
  const float fx = u * w - 0.5f;
  if (!(fx >= 0.0f && fx <= static_cast<float>(width - count))) return -1;
  const int first = static_cast<int>(fx);
  return static_cast<float>(first) == fx ? first : -1;
}

// The texel row of a span at v, or -1 when its lower neighbour weighs anything.
[[gnu::always_inline]] inline int ExactTexelRow(float v, int height, bool wrap) {
  const float fy = v * static_cast<float>(height) - 0.5f;
  const int y0 = FloorInt(fy);
  const uint32_t wy = static_cast<uint32_t>((fy - static_cast<float>(y0)) * 256);
  return wy == 0 ? Address(y0, height, wrap) : -1;
}

// x times a factor out of 255, rounded: (x * f + 127) / 255.
inline uint32_t Mul255(uint32_t x, uint32_t f) { return (x * f + 127) / 255; }

// Source over destination by the source alpha on all four channels, each term rounded on its own and
// the sum held at 255.
uint32_t BlendAlpha(uint32_t src, uint32_t dst);

// One pixel: an opaque texel is copied, a clear one leaves the pixel, the others blend; bits outside
// keep are cleared (a target without alpha reads as opaque and stores no alpha).
uint32_t SpritePixel(uint32_t pixel, uint32_t texel, uint32_t keep);

// Asks for the cache lines of bytes from offset past at; the place need not lie inside any object.
inline void FetchAhead(const void* at, ptrdiff_t offset, int bytes, bool forWriting) {
  const uintptr_t first = reinterpret_cast<uintptr_t>(at) + static_cast<uintptr_t>(offset);
  for (uintptr_t line = first; line < first + static_cast<uintptr_t>(bytes) + 63; line += 64) {
    if (forWriting) {
      __builtin_prefetch(reinterpret_cast<const void*>(line), 1);
    } else {
      __builtin_prefetch(reinterpret_cast<const void*>(line), 0);
    }
  }
}

void SpriteRow(uint32_t* pixels, const uint32_t* texels, int count, uint32_t keep);

// count pixels drawn with SpritePixel from filtered texels, the position starting at (u, v) and
// advancing by (du, dv) a pixel.
void FilteredSpriteRow(uint32_t* pixels, int count, float u, float v, float du, float dv, const SpriteTexture& t,
                       uint32_t keep);

}  // namespace Velk::D3DSpanRows
