#include "support/CafeView.h"

#include <algorithm>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/ProductMask.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "cafe/QCClient.h"
#include "cafe/QCPeriodItem.h"
#include "cafe/QCTrash.h"
#include "cafe/QCWorker.h"
#include "scene/QCPickItem.h"

namespace TestSupport {

namespace {

using CafeNames::kItemSuper;
using CafeNames::kItemWash;

// Every slot the part fills, the order fills alike.
bool IsPartOf(const std::string& part, const std::string& order) {
  if (part.size() != order.size()) return false;
  for (size_t i = 0; i < part.size(); ++i)
    if (part[i] != '0' && part[i] != order[i]) return false;
  return true;
}

// A plate with something on it ("0000" is the bare plate of a tray).
bool IsProduct(const std::string& mask) {
  return std::all_of(mask.begin(), mask.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
         mask.find_first_not_of('0') != std::string::npos;
}

void Erase(std::vector<std::string>& list, const std::string& value) {
  const auto it = std::find(list.begin(), list.end(), value);
  if (it != list.end()) list.erase(it);
}

}  // namespace

CafeView::CafeView(QCBoard_Game3& board, QCBoss& boss) : mBoss(boss) {
  for (const auto& [name, pick] : PickableMap) {
    if (!pick->mActive || !pick->mVisible) continue;
    if (!board.IsObjectAllowed(pick->mName)) {
      mLocked = true;
      continue;
    }
    mAllowed.push_back(pick);
    Add(board, pick);
  }
  std::sort(mPlaces.begin(), mPlaces.end(),
            [](const Place& a, const Place& b) { return a.client->mPatience < b.client->mPatience; });
}

void CafeView::Add(QCBoard_Game3& board, QCPickItem* pick) {
  QCItem* occupant = board.FindPlaceOccupant(pick);
  if (auto* client = dynamic_cast<QCClient*>(occupant)) {
    if (client->mActive && client->mVisible && client->mState == QCClient::kWaiting) mPlaces.push_back({pick, client});
  } else if (auto* worker = dynamic_cast<QCWorker*>(occupant)) {
    if (worker->mActive && worker->mVisible) mTables.push_back({pick, worker});
  } else if (dynamic_cast<QCTrash*>(pick) != nullptr) {
    mTrash = pick;
  } else if (pick->mMask == kItemWash) {
    mWashStand = pick;
  } else if (IsProduct(pick->mMask) || pick->mMask == kItemSuper) {
    const auto* timed = dynamic_cast<QCPeriodItem*>(pick);
    if (timed == nullptr || timed->mState == QCPeriodItem::kAvailable) mSources.push_back({pick, pick->mMask});
  }
}

QCPickItem* CafeView::NoteTarget() const { return mLocked && !mAllowed.empty() ? mAllowed.front() : nullptr; }

QCPickItem* CafeView::Serve() const {
  for (const Place& place : mPlaces)
    if (!place.client->mMask.empty() && place.client->Accept(mBoss.mMask, mBoss.mSecond)) return place.pick;
  return nullptr;
}

QCPickItem* CafeView::UseCloth() const {
  if (mBoss.mSecond != kItemWash) return nullptr;
  const Table* dirtiest = nullptr;
  for (const Table& table : mTables) {
    if (table.worker->mState == QCWorker::kBroken) return table.pick;
    if (!dirtiest || table.worker->mTidiness < dirtiest->worker->mTidiness) dirtiest = &table;
  }
  return dirtiest ? dirtiest->pick : nullptr;
}

QCPickItem* CafeView::FetchCloth() const { return mBoss.mSecond.empty() ? mWashStand : nullptr; }

bool CafeView::AnyBroken() const {
  return std::any_of(mTables.begin(), mTables.end(),
                     [](const Table& t) { return t.worker->mState == QCWorker::kBroken; });
}

QCPickItem* CafeView::FetchClothForBroken() const { return AnyBroken() ? FetchCloth() : nullptr; }

QCPickItem* CafeView::FetchClothForDirty() const {
  const float level = gWorkerGlobals.mTidinessYLevel;
  const bool dirty = std::any_of(mTables.begin(), mTables.end(), [level](const Table& t) {
    return t.worker->mState != QCWorker::kWorking && t.worker->mTidiness < level;
  });
  return dirty ? FetchCloth() : nullptr;
}

QCPickItem* CafeView::TakeOrder() const {
  for (const Place& place : mPlaces)
    if (place.client->mMask.empty()) return place.pick;
  return nullptr;
}

std::vector<std::string> CafeView::PartsOf(const std::string& order) const {
  std::vector<std::string> made;
  for (const Table& table : mTables) made.push_back(table.worker->GetProduct());
  for (const Source& source : mSources) made.push_back(source.product);
  if (std::find(made.begin(), made.end(), order) != made.end()) return {order};
  std::vector<std::string> parts;
  std::string filled(order.size(), '0');
  for (const std::string& product : made)
    if (IsPartOf(product, order) && MasksFit(filled, product)) {
      parts.push_back(product);
      filled = MergeMasks(filled, product);
    }
  return parts;
}

// Only a worker's dish joins one in a hand; what a source gives needs a free hand.
bool CafeView::Completable(const std::string& held, const std::string& order) const {
  if (!IsPartOf(held, order)) return false;
  for (const std::string& part : PartsOf(order))
    if (!IsPartOf(part, held) && FindSource(part) != nullptr) return false;
  return true;
}

std::vector<CafeView::Need> CafeView::Missing() const {
  std::vector<std::string> hands;
  for (const std::string* hand : {&mBoss.mMask, &mBoss.mSecond})
    if (!hand->empty()) hands.push_back(*hand);
  std::vector<Need> missing;
  for (const Place& place : mPlaces) {
    const std::string& order = place.client->mMask;
    if (order.empty()) continue;
    const auto held = std::find_if(hands.begin(), hands.end(),
                                   [&order](const std::string& h) { return h == order || h == kItemSuper; });
    if (held != hands.end()) {
      hands.erase(held);
      continue;
    }
    const size_t first = missing.size();
    bool sourceMissing = false;
    for (const std::string& part : PartsOf(order)) {
      const bool partial = std::any_of(
          hands.begin(), hands.end(), [&](const std::string& h) { return IsPartOf(part, h) && Completable(h, order); });
      if (partial) continue;
      missing.push_back({part, false});
      sourceMissing = sourceMissing || FindSource(part) != nullptr;
    }
    // A worker's dish waits until the source's is in a hand to join.
    for (size_t i = first; i < missing.size(); ++i)
      missing[i].waits = sourceMissing && FindSource(missing[i].part) == nullptr;
  }
  return missing;
}

bool CafeView::HandFree() const { return mBoss.mMask.empty() || mBoss.mSecond.empty(); }

const CafeView::Source* CafeView::FindSource(const std::string& product) const {
  for (const Source& source : mSources)
    if (source.product == product) return &source;
  return nullptr;
}

const CafeView::Table* CafeView::ReadyTable(const std::string& product) const {
  for (const Table& table : mTables)
    if (table.worker->mState == QCWorker::kReady && table.worker->GetProduct() == product) return &table;
  return nullptr;
}

QCPickItem* CafeView::Fetch() const {
  for (const Need& need : Missing()) {
    if (need.waits) continue;
    if (const Source* source = FindSource(need.part); source && HandFree()) return source->pick;
    if (const Table* table = ReadyTable(need.part); table && mBoss.CanTake(table->worker->mMask)) return table->pick;
  }
  return nullptr;
}

QCPickItem* CafeView::StartWorker() const {
  std::vector<std::string> missing;
  for (const Need& need : Missing()) missing.push_back(need.part);
  for (const Table& table : mTables)
    if (table.worker->mState == QCWorker::kReady || table.worker->mState == QCWorker::kWorking)
      Erase(missing, table.worker->GetProduct());
  for (const std::string& part : missing)
    for (const Table& table : mTables)
      if (table.worker->mState == QCWorker::kIdle && table.worker->GetProduct() == part) return table.pick;
  return nullptr;
}

bool CafeView::Needed(const std::string& held) const {
  if (held == kItemSuper) return true;
  return std::any_of(mPlaces.begin(), mPlaces.end(), [this, &held](const Place& place) {
    return !place.client->mMask.empty() && (held == place.client->mMask || Completable(held, place.client->mMask));
  });
}

// The boss throws away the dish in his second hand, else the one in his first.
QCPickItem* CafeView::ThrowAway() const {
  if (mTrash == nullptr || mBoss.mSecond == kItemWash) return nullptr;
  const std::string& top = !mBoss.mSecond.empty() ? mBoss.mSecond : mBoss.mMask;
  return top.empty() || Needed(top) ? nullptr : mTrash;
}

}  // namespace TestSupport
