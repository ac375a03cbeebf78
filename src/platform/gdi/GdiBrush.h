#pragma once
#include <cstdint>

#include "platform/gdi/GdiObject.h"

// A solid brush; its colour is kept as a 0x00RRGGBB pixel. Named as the window classes know it.
struct HBRUSH__ : public GdiObject {
 public:
  HBRUSH__(uint32_t pixel, bool stock) : GdiObject(stock), mPixel(pixel) {}

  uint32_t Pixel() const { return mPixel; }

 private:
  uint32_t mPixel;
};
