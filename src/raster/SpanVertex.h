#pragma once
// The records a span filler works on: 16.16 vertices, the texture block and the colour block.

#include <cstdint>

#include "graphics/RowBand.h"

namespace Velk {

// Interpolated channels of a SpanVertex, in record order.
enum SpanChannel : int { kChanA, kChanR, kChanG, kChanB, kChanU, kChanV, kChanCount };

// Eight signed 16.16 values: x, y, then a, r, g, b (0..255) and u, v (texels).
struct SpanVertex {
  int32_t x = 0;
  int32_t y = 0;
  int32_t c[kChanCount] = {};
};
static_assert(sizeof(SpanVertex) == 32);

// Row-major ARGB texels, rows `width` texels apart; `count` = width * height.
struct SpanTexture {
  const uint32_t* texels = nullptr;
  int32_t width = 0;
  int32_t count = 0;
};

// The drawing colour, each field 0..255.
struct SpanColor {
  int32_t a = 255;
  int32_t r = 255;
  int32_t g = 255;
  int32_t b = 255;
};

using SpanFillerFn = void (*)(const SpanVertex* const v[3], uint8_t* bits, int32_t pitch, const SpanTexture& texture,
                              const SpanColor& color, const RowBand& hidden);

}  // namespace Velk
