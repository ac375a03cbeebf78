#pragma once
// A plain 32-bit picture for the 3-D test: what is drawn into the test textures and what is read
// back from the render target.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Velk {

class D3DTestImage {
 public:
  std::vector<uint32_t> mBits;  // 0xAARRGGBB, row after row
  int mWidth = 0;
  int mHeight = 0;

  virtual ~D3DTestImage() = default;

  // Frees the old pixels; allocates only when both sides are above 0.
  void Create(int width, int height);
  void Free();
  void FillRect(int x, int y, int w, int h, uint32_t color);
  // Odd columns white, even columns black.
  void FillStripes();
  uint32_t Pixel(int x, int y) const { return mBits[static_cast<size_t>(y) * mWidth + x]; }
};

}  // namespace Velk
