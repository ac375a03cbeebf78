#pragma once
// GDI polygon regions: the hit areas of pickable scene objects. A region keeps its polygon and answers
// point tests with the fill rule it was made with. DeleteObject (Gdi.h) frees it.

#include <vector>

#include "platform/base/WinTypes.h"
#include "platform/gdi/GdiObject.h"

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

class GdiRegion : public GdiObject {
 public:
  GdiRegion(const POINT* points, int count, int mode);
  // The pixel (x, y) is tested at its centre, which agrees with GDI's interior and top-left edge rule
  // to within one pixel on the boundary.
  bool Contains(int x, int y) const;

 private:
  std::vector<POINT> mPoints;
  int mMode;
};

using HRGN = GdiRegion*;

// Null for a null point array, fewer than 2 points or an unknown mode.
HRGN CreatePolygonRgn(const POINT* points, int count, int mode);
// TRUE when the pixel lies inside; FALSE for a null region.
BOOL PtInRegion(HRGN region, int x, int y);
