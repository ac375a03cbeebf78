#include "graphics/MemoryImage.h"

namespace Velk {

void MemoryImage::BlitTransformed(Image* src, float, float, const Matrix3x3&, const Rect&, const Color&, int,
                                  const Rect&, bool) {
  if (src) src->mDrawn = true;
}

void MemoryImage::BlitTriangles(Image* src, const TriVertex (*)[3], int, const Rect&, const Color&, int, float, float,
                                bool) {
  if (src) src->mDrawn = true;
}

}  // namespace Velk
