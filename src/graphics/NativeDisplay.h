#pragma once

namespace Velk {

// The display's pixel format; the display interface derives from it and fills it from its primary
// surface. A shift is the index of the lowest set bit of its mask.
class NativeDisplay {
 public:
  virtual ~NativeDisplay() = default;

  int mBitsPerPixel = 0;
  int mRedMask = 0;
  int mGreenMask = 0;
  int mBlueMask = 0;
  int mRedBits = 0;
  int mGreenBits = 0;
  int mBlueBits = 0;
  int mRedShift = 0;
  int mGreenShift = 0;
  int mBlueShift = 0;

  // Stores the masks with their shifts and bit counts (lowest to highest set bit).
  void SetPixelFormat(int bitsPerPixel, unsigned redMask, unsigned greenMask, unsigned blueMask);
};

}  // namespace Velk
