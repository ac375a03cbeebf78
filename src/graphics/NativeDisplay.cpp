#include "graphics/NativeDisplay.h"

namespace Velk {

namespace {

void MaskShape(unsigned mask, int& shift, int& bits) {
  shift = 0;
  bits = 0;
  if (!mask) return;
  while (!((mask >> shift) & 1u)) ++shift;
  int top = 31;
  while (!((mask >> top) & 1u)) --top;
  bits = top - shift + 1;
}

}  // namespace

void NativeDisplay::SetPixelFormat(int bitsPerPixel, unsigned redMask, unsigned greenMask, unsigned blueMask) {
  mBitsPerPixel = bitsPerPixel;
  mRedMask = static_cast<int>(redMask);
  mGreenMask = static_cast<int>(greenMask);
  mBlueMask = static_cast<int>(blueMask);
  MaskShape(redMask, mRedShift, mRedBits);
  MaskShape(greenMask, mGreenShift, mGreenBits);
  MaskShape(blueMask, mBlueShift, mBlueBits);
}

}  // namespace Velk
