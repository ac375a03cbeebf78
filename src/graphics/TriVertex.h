#pragma once
#include <cstdint>

namespace Velk {

// A corner of a textured triangle: position in destination pixels, texture position 0..1 across the
// source, and a packed 0xAARRGGBB colour.
struct TriVertex {
  float x = 0;
  float y = 0;
  float u = 0;
  float v = 0;
  uint32_t color = 0;
};

}  // namespace Velk
