#pragma once
// The caller's polygon vertex: destination position, texture position and packed colour.

#include <cstdint>

namespace Velk {

#pragma pack(push, 1)
struct PolygonVertex {
  float x;
  float y;
  float u;          // 0..1 across the texture's width
  float v;          // 0..1 across the texture's height
  uint32_t colour;  // 0xAARRGGBB
};
#pragma pack(pop)

// Callers hand over arrays of five 32-bit values per vertex.
static_assert(sizeof(PolygonVertex) == 20);

}  // namespace Velk
