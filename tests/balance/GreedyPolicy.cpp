#include "balance/GreedyPolicy.h"

#include <algorithm>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCWorker.h"
#include "scene/QCPickItem.h"

namespace Balance {

std::vector<POINT> GreedyPolicy::NextClicks() {
  std::vector<POINT> clicks;
  const QCBoard_Game3* board = mGame.mBoard;
  const bool free = board != nullptr && TestSupport::ServingPolicy::BossFree(*board);
  const std::optional<POINT> serving = mServing.NextClick();
  if (!serving) return clicks;
  clicks.push_back(*serving);
  if (!free) return clicks;
  for (const POINT& table : IdleTables())
    if (table.x != serving->x || table.y != serving->y) clicks.push_back(table);
  return clicks;
}

std::vector<POINT> GreedyPolicy::IdleTables() const {
  std::vector<POINT> tables;
  QCBoard_Game3& board = *mGame.mBoard;
  for (const auto& [name, pick] : PickableMap) {
    if (!pick->mActive || !pick->mVisible || !board.IsObjectAllowed(pick->mName)) continue;
    const auto* worker = dynamic_cast<QCWorker*>(board.FindPlaceOccupant(pick));
    if (worker == nullptr || !worker->mActive || !worker->mVisible || worker->mState != QCWorker::kIdle) continue;
    if (std::optional<POINT> at = Targets().PointOf(pick)) tables.push_back(*at);
  }
  return tables;
}

}  // namespace Balance
