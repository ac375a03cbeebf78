#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/GdiObject.h"

// A 32-bit top-down pixel buffer (0xXXRRGGBB, rows width pixels apart).
class GdiBitmap : public GdiObject {
public:
  GdiBitmap(int width, int height, bool stock = false)
      : GdiObject(stock), mWidth(width), mHeight(height),
        mPixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {}

  // The empty bitmap a memory context starts with.
  static GdiBitmap* Stock();

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  uint32_t* Pixels() { return mPixels.data(); }

private:
  int mWidth;
  int mHeight;
  std::vector<uint32_t> mPixels;
};
