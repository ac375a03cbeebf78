#include "scene/QCZOrderManager.h"

#include <algorithm>
#include <cmath>

#include "engine/EngineUtil.h"
#include "scene/QCItem.h"
#include "scene/QCItemPart.h"

namespace {

QCZOrderManager* gZOrder = nullptr;

bool InGrid(const POINT& p) {
  return p.x >= 0 && p.x < QCZOrderManager::kWidth && p.y >= 0 && p.y < QCZOrderManager::kHeight;
}

float LineLength(const QCItemPart* part) {
  const POINT* p = part->mZLine;
  return std::hypot(static_cast<float>(p[1].x - p[0].x), static_cast<float>(p[1].y - p[0].y)) +
         std::hypot(static_cast<float>(p[2].x - p[1].x), static_cast<float>(p[2].y - p[1].y));
}

// The row of the segment a -> b at column x (a.x <= x < b.x), truncated toward zero.
int RowAt(const POINT& a, const POINT& b, int x) { return a.y + (x - a.x) * (b.y - a.y) / (b.x - a.x); }

}  // namespace

QCZOrderManager* GetZOrderManager() { return gZOrder; }
void SetZOrderManager(QCZOrderManager* manager) { gZOrder = manager; }

QCZOrderManager::QCZOrderManager() : mGrid(kWidth, kHeight) {}

void QCZOrderManager::Reset() {
  mStaticOrder.clear();
  mMobile.clear();
  mOverlays.clear();
  mParentLinks.clear();
  mPairs.clear();
  mGrid.Clear();
  mStatic.clear();
  mChildren.clear();
  mIsChild.clear();
  mPrecedence.clear();
  mPlaced.clear();
  mDrawOrder.clear();
}

void QCZOrderManager::AddOverlayPart(QCItemPart* part) { mOverlays.push_back(part); }

void QCZOrderManager::AddPart(QCItemPart* part, bool mobile) {
  if (mobile) {
    mMobile.push_back(part);
    return;
  }
  const POINT* p = part->mZLine;
  if (!InGrid(p[0]) || !InGrid(p[1]) || !InGrid(p[2])) return;
  if (QCItemPart* parent = part->GetZParent()) {
    mParentLinks.emplace_back(parent, part);
    return;
  }
  mStatic.push_back(part);
  Rasterise(part);
}

void QCZOrderManager::Rasterise(QCItemPart* part) {
  POINT sorted[3] = {part->mZLine[0], part->mZLine[1], part->mZLine[2]};
  std::stable_sort(sorted, sorted + 3, [](const POINT& a, const POINT& b) { return a.x < b.x; });
  for (int s = 0; s < 2; ++s) {
    const POINT& a = sorted[s];
    const POINT& b = sorted[s + 1];
    for (int x = a.x; x < b.x; ++x) mGrid.Claim(x, RowAt(a, b, x), part);
  }
}

void QCZOrderManager::AddPair(QCItemPart* a, QCItemPart* b) {
  const Link pair(a, b);
  if (std::find(mPairs.begin(), mPairs.end(), pair) == mPairs.end()) mPairs.push_back(pair);
}

const std::vector<QCItemPart*>* QCZOrderManager::ChildrenOf(const QCItemPart* part) const {
  for (const auto& [parent, children] : mChildren)
    if (parent == part) return &children;
  return nullptr;
}

void QCZOrderManager::FlattenParents() {
  mChildren.clear();
  mIsChild.clear();
  for (const Link& link : mParentLinks) mIsChild.insert(link.second);
  for (const auto& [parent, child] : mParentLinks) {
    QCItemPart* primary = parent;
    // Up the chain to a parent that hangs on nothing; a loop of parents ends after one round.
    for (size_t steps = 0; mIsChild.count(primary) && steps < mParentLinks.size(); ++steps) {
      for (const Link& up : mParentLinks)
        if (up.second == primary) {
          primary = up.first;
          break;
        }
    }
    if (primary != parent)
      DebugLog("Note: Crossparent part: part: <%s>, parent: <%s>\n ---primary part: <%s>\n", child->Label().c_str(),
               parent->Label().c_str(), primary->Label().c_str());
    auto it = std::find_if(mChildren.begin(), mChildren.end(), [&](const auto& e) { return e.first == primary; });
    if (it == mChildren.end()) it = mChildren.insert(mChildren.end(), {primary, {}});
    it->second.push_back(child);
  }
}

void QCZOrderManager::RecordPrecedence(QCItemPart* part) {
  const POINT* p = part->mZLine;
  for (int s = 0; s < 2; ++s) {
    const POINT& a = p[s];
    const POINT& b = p[s + 1];
    for (int x = a.x; x < b.x; ++x) {
      const int y = RowAt(a, b, x);
      if (mGrid.At(x, y).owner != part) continue;
      if (QCItemPart* below = mGrid.NextOwnerBelow(x, y, part)) {
        const Link pair(part, below);
        if (std::find(mPrecedence.begin(), mPrecedence.end(), pair) == mPrecedence.end()) mPrecedence.push_back(pair);
      }
    }
  }
}

void QCZOrderManager::Place(QCItemPart* part) {
  mStaticOrder.push_back(part);
  mPlaced.insert(part);
  if (const auto* children = ChildrenOf(part))
    for (QCItemPart* child : *children) {
      mStaticOrder.push_back(child);
      mPlaced.insert(child);
    }
}

void QCZOrderManager::Visit(QCItemPart* part) {
  for (size_t i = 0; i < mPrecedence.size(); ++i) {
    if (mPrecedence[i].first != part) continue;
    QCItemPart* next = mPrecedence[i].second;
    if (mPlaced.count(next)) continue;
    bool ready = true;
    for (const Link& before : mPrecedence) ready = ready && (before.second != next || mPlaced.count(before.first));
    if (!ready) continue;
    Place(next);
    Visit(next);
  }
}

void QCZOrderManager::BuildZOrder() {
  mStaticOrder.clear();
  mPlaced.clear();
  mPrecedence.clear();
  FlattenParents();
  std::vector<QCItemPart*> isolated;
  for (QCItemPart* part : mStatic)
    if (LineLength(part) == 0.0f) isolated.push_back(part);
  if (!isolated.empty()) {
    DebugLog("Error! Isolated parts (no zorder, no zparent):\n--------------------------------------------\n");
    for (QCItemPart* part : isolated) DebugLog("   --- part: <%s>", part->Label().c_str());
    DebugLog("-end----------------------------------------\n");
  }
  for (QCItemPart* part : mStatic) {
    if (LineLength(part) == 0.0f) {
      DebugLog("Invalid part (no zorder, no zparent): <%s>", part->Label().c_str());
      continue;
    }
    RecordPrecedence(part);
  }
  std::vector<QCItemPart*> roots;
  for (QCItemPart* part : mStatic) {
    if (LineLength(part) == 0.0f) continue;
    bool behind = false;
    for (const Link& pair : mPrecedence) behind = behind || pair.second == part;
    if (!behind) roots.push_back(part);
  }
  if (roots.empty()) {
    DebugLog("!!!Critical Error: Can't find root object, remake z-order");
    return;
  }
  for (QCItemPart* root : roots) Place(root);
  for (size_t i = 0; i < mStaticOrder.size(); ++i) Visit(mStaticOrder[i]);
  if (mStaticOrder.size() < mStatic.size() - isolated.size())
    DebugLog("Z-order: %zu static parts never placed (a cycle)",
             mStatic.size() - isolated.size() - mStaticOrder.size());
}

QCItemPart* QCZOrderManager::OwnerUnder(const QCItemPart* mobile) {
  const POINT* p = mobile->mZLine;
  ZOwnerGrid::Cell kept;
  auto consider = [&](int x, int y) {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) return;
    const ZOwnerGrid::Cell cell = mGrid.At(x, y);
    // Free floor counts only when the whole line stands on it.
    if (cell.distance == 0) return;
    if (kept.distance == 0 || cell.distance <= kept.distance) kept = cell;
  };
  consider(p[1].x, p[1].y);
  for (int s = 0; s < 2; ++s)
    for (int x = p[s].x; x < p[s + 1].x; ++x) consider(x, RowAt(p[s], p[s + 1], x));
  return kept.owner;
}

void QCZOrderManager::InsertMobile(std::vector<QCItemPart*>& order, QCItemPart* mobile, QCItemPart* owner) {
  auto at = std::find(order.begin(), order.end(), owner);
  if (at == order.end()) return;  // an owner that was never placed: not drawn this time
  ++at;
  while (at != order.end() && mIsChild.count(*at)) ++at;
  at = order.insert(at, mobile) + 1;
  for (const Link& pair : mPairs)
    if (pair.first == mobile) at = order.insert(at, pair.second) + 1;
}

const std::vector<QCItemPart*>& QCZOrderManager::GetDrawOrder() {
  mDrawOrder = mStaticOrder;
  for (QCItemPart* mobile : mMobile) {
    QCItemPart* owner = OwnerUnder(mobile);
    if (owner)
      InsertMobile(mDrawOrder, mobile, owner);
    else
      mDrawOrder.push_back(mobile);
  }
  mDrawOrder.insert(mDrawOrder.end(), mOverlays.begin(), mOverlays.end());
  mPairs.clear();
  return mDrawOrder;
}
