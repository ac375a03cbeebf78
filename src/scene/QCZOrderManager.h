#pragma once
// The back-to-front order of the scene's parts. Each part carries a z-line along its floor contact;
// static parts are ranked once per level by rasterising their lines onto a screen-sized ownership
// grid (a line owns the pixels straight below it down to the next line) and reading which line lies
// below which. Parts can hang on a parent part instead; moving parts are slotted in at draw time
// after the owner of the cells under their feet; overlay parts come last.

#include <cstddef>
#include <unordered_set>
#include <utility>
#include <vector>

#include "scene/ZOwnerGrid.h"

class QCItemPart;

class QCZOrderManager {
 public:
  static constexpr int kWidth = 800;
  static constexpr int kHeight = 600;

  QCZOrderManager();

  void AddOverlayPart(QCItemPart* part);
  void AddPart(QCItemPart* part, bool mobile);
  // b is drawn right after the moving part a in the next draw order only.
  void AddPair(QCItemPart* a, QCItemPart* b);
  // Once all parts of the level are registered.
  void BuildZOrder();
  // Back to front; valid until the next call.
  const std::vector<QCItemPart*>& GetDrawOrder();
  void Reset();

  const std::vector<QCItemPart*>& StaticOrder() const { return mStaticOrder; }

 private:
  using Link = std::pair<QCItemPart*, QCItemPart*>;

  void Rasterise(QCItemPart* part);
  void FlattenParents();
  void RecordPrecedence(QCItemPart* part);
  void Place(QCItemPart* part);
  void Visit(QCItemPart* part);
  QCItemPart* OwnerUnder(const QCItemPart* mobile);
  void InsertMobile(std::vector<QCItemPart*>& order, QCItemPart* mobile, QCItemPart* owner);
  const std::vector<QCItemPart*>* ChildrenOf(const QCItemPart* part) const;

  std::vector<QCItemPart*> mStaticOrder;
  std::vector<QCItemPart*> mMobile;
  std::vector<QCItemPart*> mOverlays;
  std::vector<Link> mParentLinks;  // (parent, child), registration order
  std::vector<Link> mPairs;        // from AddPair, until the next draw order
  ZOwnerGrid mGrid;
  std::vector<QCItemPart*> mStatic;
  // Built by BuildZOrder: children by primary parent, and the precedence pairs (P before Q).
  std::vector<std::pair<QCItemPart*, std::vector<QCItemPart*>>> mChildren;
  std::unordered_set<QCItemPart*> mIsChild;
  std::vector<Link> mPrecedence;
  std::unordered_set<QCItemPart*> mPlaced;
  std::vector<QCItemPart*> mDrawOrder;
};

// The board's manager while the board exists.
QCZOrderManager* GetZOrderManager();
void SetZOrderManager(QCZOrderManager* manager);
