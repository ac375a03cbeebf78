#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/GdiObject.h"

// A 32-bit top-down pixel buffer (0xXXRRGGBB), its own or borrowed from a surface.
class GdiBitmap : public GdiObject {
 public:
  GdiBitmap(int width, int height, bool stock = false)
      : GdiObject(stock),
        mWidth(width),
        mHeight(height),
        mPitch(width),
        mOwned(static_cast<size_t>(width) * static_cast<size_t>(height), 0u),
        mPixels(mOwned.data()) {}
  // Rows pitch pixels apart; the memory stays the lender's.
  GdiBitmap(uint32_t* pixels, int width, int height, int pitch)
      : mWidth(width), mHeight(height), mPitch(pitch), mPixels(pixels) {}

  // The empty bitmap a memory context starts with.
  static GdiBitmap* Stock();

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int Pitch() const { return mPitch; }
  uint32_t* Pixels() { return mPixels; }

 private:
  int mWidth;
  int mHeight;
  int mPitch;
  std::vector<uint32_t> mOwned;
  uint32_t* mPixels;
};
