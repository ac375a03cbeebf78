#pragma once
#include <cstdint>

namespace Velk {

// An RGBA colour. Components are 0..255 by convention; nothing clamps them.
class Color {
 public:
  int mRed = 0;
  int mGreen = 0;
  int mBlue = 0;
  int mAlpha = 255;

  static const Color White;
  static const Color Black;

  Color() = default;
  Color(int red, int green, int blue) : mRed(red), mGreen(green), mBlue(blue) {}
  Color(int red, int green, int blue, int alpha) : mRed(red), mGreen(green), mBlue(blue), mAlpha(alpha) {}
  // Packed 0xAARRGGBB; a value written as 0x00RRGGBB therefore has alpha 0.
  explicit Color(uint32_t argb);
  // Static colour records: red, green, blue, opaque.
  explicit Color(const int rgb[3]) : mRed(rgb[0]), mGreen(rgb[1]), mBlue(rgb[2]) {}

  // No masking: an out-of-range component spills into its neighbour's byte.
  uint32_t ToArgb() const;

  int GetRed() const { return mRed; }
  int GetGreen() const { return mGreen; }
  int GetBlue() const { return mBlue; }
  int GetAlpha() const { return mAlpha; }

  bool operator==(const Color& other) const;
};

bool operator!=(const Color& a, const Color& b);

}  // namespace Velk
