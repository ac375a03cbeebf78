#pragma once
// Cuts a blit of srcRect to (x, y) so that it reads only inside the source and writes only inside the
// destination. Mirrored blits write source column i at x + width - 1 - i, so their cuts move the other
// way. False when nothing is left.
#include <algorithm>

#include "graphics/Rect.h"

namespace Velk {

inline bool ClipSurfaceBlit(int& x, int& y, Rect& s, int dstWidth, int dstHeight, int srcWidth, int srcHeight,
                            bool mirrored) {
  if (s.mX < 0) {
    const int cut = -s.mX;
    s.mX = 0;
    s.mWidth -= cut;
    if (!mirrored) x += cut;
  }
  if (const int over = s.mX + s.mWidth - srcWidth; over > 0) {
    s.mWidth -= over;
    if (mirrored) x += over;
  }
  if (x < 0) {
    const int cut = -x;
    x = 0;
    s.mWidth -= cut;
    if (!mirrored) s.mX += cut;
  }
  if (const int over = x + s.mWidth - dstWidth; over > 0) {
    s.mWidth -= over;
    if (mirrored) s.mX += over;
  }
  if (s.mY < 0) {
    y -= s.mY;
    s.mHeight += s.mY;
    s.mY = 0;
  }
  s.mHeight = std::min(s.mHeight, srcHeight - s.mY);
  if (y < 0) {
    s.mY -= y;
    s.mHeight += y;
    y = 0;
  }
  s.mHeight = std::min(s.mHeight, dstHeight - y);
  return s.mWidth > 0 && s.mHeight > 0;
}

}  // namespace Velk
