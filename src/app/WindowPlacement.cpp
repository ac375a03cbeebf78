#include "app/WindowPlacement.h"

#include <algorithm>

namespace Velk {

namespace {

constexpr int kEdgeGap = 4;
// The window's top sits this far down the free height: the golden section.
constexpr double kTopShare = 0.382;

// Keeps [at, at + size) inside [low, high). A window larger than that keeps its client part
// [at + before, at + before + inner) inside instead (the picture matters more than the frame),
// and a client larger still keeps its start on the work area.
int KeepInside(int at, int size, int low, int high, int before, int inner) {
  if (size <= high - low) return std::clamp(at, low, high - size);
  if (inner <= high - low) return std::clamp(at, low - before, high - before - inner);
  return low - before;
}

}  // namespace

POINT PlaceWindow(const RECT& work, const RECT& client, const RECT& outer, int preferredX, int preferredY) {
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  int x;
  int y;
  if (preferredX == -1 && preferredY == -1) {
    x = work.left + (work.right - work.left - width) / 2;
    y = work.top + static_cast<int>(kTopShare * (work.bottom - work.top - height));
  } else {
    x = std::max(preferredX, static_cast<int>(work.left) + kEdgeGap);
    y = std::max(preferredY, static_cast<int>(work.top) + kEdgeGap);
    if (x + width >= work.right - kEdgeGap) x = work.right - kEdgeGap - width;
    if (y + height >= work.bottom - kEdgeGap) y = work.bottom - kEdgeGap - height;
  }
  return POINT{KeepInside(x, width, work.left, work.right, client.left - outer.left, client.right - client.left),
               KeepInside(y, height, work.top, work.bottom, client.top - outer.top, client.bottom - client.top)};
}

}  // namespace Velk
