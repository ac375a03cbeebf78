#include "platform/gdi/GdiRegion.h"

#include <cstddef>
#include <cstdint>

GdiRegion::GdiRegion(const POINT* points, int count, int mode) : mPoints(points, points + count), mMode(mode) {}

bool GdiRegion::Contains(int x, int y) const {
  // Exact integer arithmetic in doubled coordinates, so the pixel centre is (2x + 1, 2y + 1). A point
  // lying on an edge is on neither side of it, which keeps degenerate polygons empty.
  const int64_t px = 2 * static_cast<int64_t>(x) + 1;
  const int64_t py = 2 * static_cast<int64_t>(y) + 1;
  int winding = 0;
  int crossings = 0;
  const size_t n = mPoints.size();
  for (size_t i = 0; i < n; ++i) {
    const int64_t ax = 2 * static_cast<int64_t>(mPoints[i].x);
    const int64_t ay = 2 * static_cast<int64_t>(mPoints[i].y);
    const int64_t bx = 2 * static_cast<int64_t>(mPoints[(i + 1) % n].x);
    const int64_t by = 2 * static_cast<int64_t>(mPoints[(i + 1) % n].y);
    const int64_t side = (bx - ax) * (py - ay) - (px - ax) * (by - ay);
    if (ay <= py && by > py && side > 0) {
      ++winding;
      ++crossings;
    } else if (by <= py && ay > py && side < 0) {
      --winding;
      ++crossings;
    }
  }
  return mMode == WINDING ? winding != 0 : (crossings & 1) != 0;
}

HRGN CreatePolygonRgn(const POINT* points, int count, int mode) {
  if (!points || count < 2 || (mode != WINDING && mode != ALTERNATE)) return nullptr;
  return new GdiRegion(points, count, mode);
}

BOOL PtInRegion(HRGN region, int x, int y) { return region && region->Contains(x, y) ? TRUE : FALSE; }
