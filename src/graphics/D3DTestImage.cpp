#include "graphics/D3DTestImage.h"

#include <algorithm>

namespace Velk {

void D3DTestImage::Create(int width, int height) {
  Free();
  if (width <= 0 || height <= 0) return;
  mWidth = width;
  mHeight = height;
  mBits.assign(static_cast<size_t>(width) * height, 0);
}

void D3DTestImage::Free() {
  mBits.clear();
  mBits.shrink_to_fit();
  mWidth = mHeight = 0;
}

void D3DTestImage::FillRect(int x, int y, int w, int h, uint32_t color) {
  const int left = std::max(x, 0), right = std::min(x + w, mWidth);
  const int top = std::max(y, 0), bottom = std::min(y + h, mHeight);
  for (int row = top; row < bottom; ++row)
    std::fill(mBits.begin() + static_cast<ptrdiff_t>(row) * mWidth + left,
              mBits.begin() + static_cast<ptrdiff_t>(row) * mWidth + right, color);
}

void D3DTestImage::FillStripes() {
  for (int row = 0; row < mHeight; ++row)
    for (int col = 0; col < mWidth; ++col)
      mBits[static_cast<size_t>(row) * mWidth + col] = (col & 1) ? 0xFFFFFFFFu : 0xFF000000u;
}

}  // namespace Velk
