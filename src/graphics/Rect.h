#pragma once
#include <algorithm>
#include <cstdint>
#include <type_traits>

namespace Velk {

// x, y, width, height; the right and bottom edges (x + width, y + height) are exclusive.
template <typename T>
class TRect {
 public:
  T mX = 0;
  T mY = 0;
  T mWidth = 0;
  T mHeight = 0;

  TRect() = default;
  TRect(T x, T y, T width, T height) : mX(x), mY(y), mWidth(width), mHeight(height) {}

  // Rectangles that only touch give a zero-sized rectangle at the touching place; disjoint ones give
  // the all-zero rectangle.
  // The far edges are taken in 64 bits: a rectangle from data may reach past the int range, and the
  // overlap is never wider than either rectangle.
  TRect Intersect(const TRect& other) const {
    TRect r;
    r.mX = std::max(mX, other.mX);
    r.mWidth = static_cast<T>(std::min(Far(mX, mWidth), Far(other.mX, other.mWidth)) - r.mX);
    if (r.mWidth < 0) return TRect();
    r.mY = std::max(mY, other.mY);
    r.mHeight = static_cast<T>(std::min(Far(mY, mHeight), Far(other.mY, other.mHeight)) - r.mY);
    if (r.mHeight < 0) return TRect();
    return r;
  }

  using Wide = std::conditional_t<std::is_integral_v<T>, int64_t, T>;
  static Wide Far(T start, T extent) { return static_cast<Wide>(start) + extent; }

  bool operator==(const TRect& o) const {
    return mX == o.mX && mY == o.mY && mWidth == o.mWidth && mHeight == o.mHeight;
  }
};

using Rect = TRect<int>;
using DRect = TRect<double>;

}  // namespace Velk
