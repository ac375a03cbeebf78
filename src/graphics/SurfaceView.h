#pragma once
// A locked surface as the surface loops see it: pixel rows by pitch, the surface's channel masks and
// the display's shifts, bit counts and additive clamp tables. Channels are indexed red, green, blue.
#include <cstdint>

namespace Velk {

struct SurfaceView {
  uint8_t* bits = nullptr;
  int32_t pitch = 0;  // bytes, signed
  int bitsPerPixel = 0;
  uint32_t mask[3] = {};
  int shift[3] = {};
  int width[3] = {};  // bits per channel
  const uint32_t* addTable[3] = {};
  int imageHeight = 0;

  template <typename T>
  T* Row(int y) const {
    return reinterpret_cast<T*>(bits + static_cast<int64_t>(pitch / static_cast<int32_t>(sizeof(T))) * y *
                                           static_cast<int64_t>(sizeof(T)));
  }

  // Additive sum of two pixels (or a pixel and a colour term per channel) through the clamp tables;
  // bits outside the masks end up 0.
  uint32_t AddPixels(uint32_t d, uint32_t s) const {
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out |= addTable[c][((d & mask[c]) + (s & mask[c])) >> shift[c]] << shift[c];
    return out;
  }
  uint32_t AddTerms(uint32_t d, const uint32_t (&terms)[3]) const {
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out |= addTable[c][terms[c] + ((d & mask[c]) >> shift[c])] << shift[c];
    return out;
  }
};

}  // namespace Velk
