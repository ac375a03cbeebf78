#include "graphics/Color.h"

namespace Velk {

const Color Color::White(255, 255, 255, 255);
const Color Color::Black(0, 0, 0, 255);

Color::Color(uint32_t argb)
    : mRed(static_cast<int>((argb >> 16) & 0xFF)),
      mGreen(static_cast<int>((argb >> 8) & 0xFF)),
      mBlue(static_cast<int>(argb & 0xFF)),
      mAlpha(static_cast<int>(argb >> 24)) {}

uint32_t Color::ToArgb() const {
  uint32_t v = static_cast<uint32_t>(mAlpha) << 8 | static_cast<uint32_t>(mRed);
  v = (v * 256) | static_cast<uint32_t>(mGreen);
  return (v << 8) | static_cast<uint32_t>(mBlue);
}

bool Color::operator==(const Color& other) const {
  return mRed == other.mRed && mGreen == other.mGreen && mBlue == other.mBlue && mAlpha == other.mAlpha;
}

bool operator!=(const Color& a, const Color& b) { return !(a == b); }

}  // namespace Velk
