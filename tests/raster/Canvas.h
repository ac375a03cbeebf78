#pragma once
// A small destination buffer for the rasteriser tests, with pixel access by position.

#include <cstdint>
#include <cstring>
#include <vector>

#include "raster/SpanVertex.h"

namespace RasterTest {

struct Canvas {
  int width;
  int height;
  int pixelSize;  // 4 or 2
  int32_t pitch;
  std::vector<uint8_t> bytes;

  Canvas(int w, int h, int size, uint32_t fill = 0, int32_t extraPitch = 0)
      : width(w), height(h), pixelSize(size), pitch(w * size + extraPitch), bytes(size_t(pitch) * h) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Set(x, y, fill);
  }

  uint8_t* Bits() { return bytes.data(); }

  uint32_t At(int x, int y) const {
    uint32_t v = 0;
    std::memcpy(&v, &bytes[size_t(y) * pitch + size_t(x) * pixelSize], pixelSize);
    return v;
  }

  void Set(int x, int y, uint32_t v) { std::memcpy(&bytes[size_t(y) * pitch + size_t(x) * pixelSize], &v, pixelSize); }
};

// A 16.16 vertex with every channel given.
inline Velk::SpanVertex Vertex(double x, double y, int32_t a = 0, int32_t r = 0, int32_t g = 0, int32_t b = 0,
                               int32_t u = 0, int32_t v = 0) {
  Velk::SpanVertex s;
  s.x = int32_t(x * 65536);
  s.y = int32_t(y * 65536);
  s.c[Velk::kChanA] = a;
  s.c[Velk::kChanR] = r;
  s.c[Velk::kChanG] = g;
  s.c[Velk::kChanB] = b;
  s.c[Velk::kChanU] = u;
  s.c[Velk::kChanV] = v;
  return s;
}

}  // namespace RasterTest
