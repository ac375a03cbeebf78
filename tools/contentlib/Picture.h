#pragma once
// A picture being made: 0xAARRGGBB pixels row by row from the top.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Content {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  Picture() = default;
  Picture(int w, int h, uint32_t fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  bool Opaque() const {
    for (uint32_t p : pixels)
      if ((p >> 24) != 0xFF) return false;
    return true;
  }
};

}  // namespace Content
