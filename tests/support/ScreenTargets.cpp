#include "support/ScreenTargets.h"

#include <algorithm>
#include <climits>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "engine/QCCandyWidget.h"
#include "scene/QCPickItem.h"
#include "widgets/WidgetManager.h"

namespace TestSupport {

namespace {

// Fine enough for the thinnest hit region of the cafe, coarse enough to stay cheap.
constexpr int kGrid = 3;

}  // namespace

QCPickItem* ScreenTargets::PickedAt(int x, int y) {
  for (const auto& [name, item] : PickableMap)
    if (item->CanPick(item->HitTest(x, y))) return item;
  return nullptr;
}

bool ScreenTargets::ReachesBoard(POINT screen) const {
  return mGame.mWidgetManager->GetWidgetAt(screen.x, screen.y) == mGame.mBoard;
}

std::optional<POINT> ScreenTargets::PointOf(QCPickItem* item) const {
  if (item == nullptr || item->mRegionPoints.empty() || mGame.mBoard == nullptr) return std::nullopt;
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  for (const POINT& p : item->mRegionPoints) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  const POINT origin = mGame.mBoard->AbsolutePos();
  const int midX = (left + right) / 2, midY = (top + bottom) / 2;
  std::optional<POINT> best;
  long bestDistance = LONG_MAX;
  for (int y = top; y <= bottom; y += kGrid)
    for (int x = left; x <= right; x += kGrid) {
      const long distance = static_cast<long>(x - midX) * (x - midX) + static_cast<long>(y - midY) * (y - midY);
      if (distance >= bestDistance || PickedAt(x, y) != item) continue;
      const POINT screen{origin.x + x, origin.y + y};
      if (!ReachesBoard(screen)) continue;
      best = screen;
      bestDistance = distance;
    }
  return best;
}

std::optional<POINT> ScreenTargets::PointOf(QCCandyWidget* widget) const {
  if (widget == nullptr || !widget->mVisible || widget->mDisabled) return std::nullopt;
  const POINT at = widget->AbsolutePos();
  const POINT middle{at.x + widget->mWidth / 2, at.y + widget->mHeight / 2};
  if (mGame.mWidgetManager->GetWidgetAt(middle.x, middle.y) != widget) return std::nullopt;
  return middle;
}

void ScreenTargets::Click(POINT at) const {
  Velk::WidgetManager& manager = *mGame.mWidgetManager;
  manager.DispatchMouseMove(at.x, at.y);
  manager.DispatchMouseDown(at.x, at.y, 1);
  manager.DispatchMouseUp(at.x, at.y, 1);
}

}  // namespace TestSupport
