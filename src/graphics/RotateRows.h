#pragma once
// One destination row of the rotated blit: each pixel samples the 2 x 2 source texels around a 16.16
// position with bilinear weights that carry the texels' alpha, and draws the sample in normal or
// additive mode, plain or colourised. RotatePixel is the per-pixel arithmetic; RotateRow gives the
// same bytes, several pixels at a time where the processor allows.
#include <cstddef>
#include <cstdint>

namespace Velk {

// The source rectangle: texel (i, j) is texels[j * stride + i], for i below width and j below height.
// Texels right of or below the rectangle count as transparent. One word after the rectangle's last
// texel must be readable (a memory image's end marker is).
struct RotateSource {
  const uint32_t* texels;
  size_t stride;
  uint32_t width;
  uint32_t height;
};

struct RotateTint {
  bool additive;
  bool white;
  uint32_t ca;
  uint32_t col[3];     // blue, green, red
  uint32_t k[3];       // blue, green, red x alpha / 255 (additive)
  const uint8_t* sat;  // the saturation table (additive)
  bool clamp;          // sat[i] is min(i, 255)
};

// The alpha-weighted sample at (u, v): its alpha and the blue, green and red sums (colour x 256).
struct RotateSample {
  uint32_t a;
  uint32_t s[3];
};

RotateSample SampleAt(const RotateSource& src, uint32_t u, uint32_t v, const RotateTint& tint);

// d drawn with the sample; a sample of alpha 0 leaves it.
uint32_t DrawSample(uint32_t d, RotateSample smp, const RotateTint& tint);

inline uint32_t RotatePixel(uint32_t d, const RotateSource& src, uint32_t u, uint32_t v, const RotateTint& tint) {
  return DrawSample(d, SampleAt(src, u, v, tint), tint);
}

// count pixels from d, the source position starting at (u, v) and stepping by (du, dv); every
// position must keep its top-left texel inside the source.
void RotateRow(uint32_t* d, int count, uint32_t u, uint32_t v, int32_t du, int32_t dv, const RotateSource& src,
               const RotateTint& tint);

}  // namespace Velk
