#include "app/WindowPlacement.h"

#include <algorithm>

namespace Velk {

namespace {

constexpr int kEdgeGap = 4;
// The window's top sits this far down the free height: the golden section.
constexpr double kTopShare = 0.382;

}  // namespace

POINT PlaceWindow(const RECT& work, int width, int height, int preferredX, int preferredY) {
  if (preferredX == -1 && preferredY == -1) {
    return POINT{work.left + (work.right - work.left - width) / 2,
                 work.top + static_cast<int>(kTopShare * (work.bottom - work.top - height))};
  }
  int x = std::max(preferredX, static_cast<int>(work.left) + kEdgeGap);
  int y = std::max(preferredY, static_cast<int>(work.top) + kEdgeGap);
  if (x + width >= work.right - kEdgeGap) x = work.right - kEdgeGap - width;
  if (y + height >= work.bottom - kEdgeGap) y = work.bottom - kEdgeGap - height;
  return POINT{x, y};
}

}  // namespace Velk
