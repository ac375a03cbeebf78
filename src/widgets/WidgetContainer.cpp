#include "widgets/WidgetContainer.h"

#include <iterator>

#include "fonts/TruncToInt.h"
#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace Velk {

WidgetContainer::WidgetContainer() : mUpdateIterator(mWidgets.end()) {}

WidgetContainer::~WidgetContainer() = default;

Rect WidgetContainer::GetRect() { return Rect(mX, mY, mWidth, mHeight); }

bool WidgetContainer::Intersects(WidgetContainer* other) {
  return !(Rect::Far(other->mX, other->mWidth) <= mX || Rect::Far(other->mY, other->mHeight) <= mY ||
           other->mX >= Rect::Far(mX, mWidth) || other->mY >= Rect::Far(mY, mHeight));
}

WidgetContainer::WidgetList::iterator WidgetContainer::Find(Widget* widget) {
  for (auto it = mWidgets.begin(); it != mWidgets.end(); ++it)
    if (*it == widget) return it;
  return mWidgets.end();
}

bool WidgetContainer::HasChild(Widget* widget) { return Find(widget) != mWidgets.end(); }

void WidgetContainer::Unlink(WidgetList::iterator it) {
  if (it == mUpdateIterator) {
    ++mUpdateIterator;
    mUpdateIteratorModified = true;
  }
  mWidgets.erase(it);
}

void WidgetContainer::InsertByZOrder(WidgetList::iterator hint, Widget* widget) {
  const int z = widget->mZOrder;
  auto it = hint;
  while (it != mWidgets.end() && (*it)->mZOrder < z) ++it;
  if (it != mWidgets.end() && (it == mWidgets.begin() || (*it)->mZOrder == z)) {
    mWidgets.insert(it, widget);
    return;
  }
  while (it != mWidgets.begin() && (*std::prev(it))->mZOrder > z) --it;
  mWidgets.insert(it, widget);
}

void WidgetContainer::AddChild(Widget* widget) {
  if (HasChild(widget)) return;
  InsertByZOrder(mWidgets.end(), widget);
  widget->mWidgetManager = mWidgetManager;
  widget->mParent = this;
  if (mWidgetManager) {
    widget->AttachToManager(mWidgetManager);
    widget->InvalidateFull();
    mWidgetManager->RetrackMouse();
  }
  Invalidate();
}

void WidgetContainer::ReleaseFromManager(Widget* widget) {
  WidgetManager* manager = widget->mWidgetManager;
  if (!manager) return;
  for (Widget* child : widget->mWidgets) ReleaseFromManager(child);
  manager->DisableWidget(widget);
  manager->ForgetInModalStack(widget);
  widget->DetachFromManager(manager);
  widget->InvalidateChildFull(widget);
  widget->mWidgetManager = nullptr;
}

void WidgetContainer::RemoveChild(Widget* widget) {
  auto it = Find(widget);
  if (it == mWidgets.end()) return;
  ReleaseFromManager(widget);
  widget->mParent = nullptr;
  Unlink(it);
}

void WidgetContainer::DisableWidget(Widget*) {}

void WidgetContainer::RemoveAllChildren(bool doDelete, bool recursive) {
  while (!mWidgets.empty()) {
    Widget* child = mWidgets.front();
    RemoveChild(child);
    if (recursive) child->RemoveAllChildren(doDelete, recursive);
    if (doDelete) delete child;
  }
}

void WidgetContainer::SetFocus(Widget*) {}

bool WidgetContainer::FindFirstOf(Widget* a, Widget* b, bool& aFirst) {
  for (Widget* child : mWidgets) {
    if (child == a || child == b) {
      aFirst = child == a;
      return true;
    }
    if (child->FindFirstOf(a, b, aFirst)) return true;
  }
  return false;
}

bool WidgetContainer::IsBelow(Widget* a, Widget* b) {
  bool aFirst = false;
  return FindFirstOf(a, b, aFirst) && aFirst;
}

void WidgetContainer::InvalidateAll() {
  Invalidate();
  for (Widget* child : mWidgets) {
    child->mDirty = true;
    child->InvalidateAll();
  }
}

bool WidgetContainer::TakeOut(Widget* widget) {
  auto it = Find(widget);
  if (it == mWidgets.end()) return false;
  Unlink(it);
  return true;
}

void WidgetContainer::Reinsert(WidgetList::iterator hint, Widget* widget) {
  InsertByZOrder(hint, widget);
  widget->OrderInManagerChanged();
}

void WidgetContainer::BringToFront(Widget* widget) {
  if (TakeOut(widget)) Reinsert(mWidgets.end(), widget);
}

void WidgetContainer::BringToBack(Widget* widget) {
  if (TakeOut(widget)) Reinsert(mWidgets.begin(), widget);
}

void WidgetContainer::PutBehind(Widget* widget, Widget* reference) {
  if (TakeOut(widget)) Reinsert(Find(reference), widget);
}

void WidgetContainer::PutInFront(Widget* widget, Widget* reference) {
  if (!TakeOut(widget)) return;
  auto it = Find(reference);
  if (it != mWidgets.end()) ++it;
  Reinsert(it, widget);
}

POINT WidgetContainer::DrawnOffset() { return {0, 0}; }

// Where the container is drawn on the screen, so that mouse coordinates made local with it agree
// with the hit-test.
POINT WidgetContainer::AbsolutePos() {
  const POINT shift = DrawnOffset();
  POINT p{ClampToInt(int64_t{mX} + shift.x), ClampToInt(int64_t{mY} + shift.y)};
  if (mParent) {
    const POINT parent = mParent->AbsolutePos();
    p.x += parent.x;
    p.y += parent.y;
  }
  return p;
}

void WidgetContainer::InvalidateChild(Widget* child) {
  if (child->mDirty) return;
  Invalidate();
  child->mDirty = true;
  if (mParent) return;
  if (child->mHasAlpha) {
    InvalidateChildFull(child);
    return;
  }
  auto it = Find(child);
  if (it == mWidgets.end()) return;
  for (++it; it != mWidgets.end(); ++it)
    if ((*it)->mVisible && (*it)->Intersects(child)) InvalidateChild(*it);
}

void WidgetContainer::Invalidate() {
  if (mParent)
    mParent->InvalidateChild(static_cast<Widget*>(this));
  else
    mDirty = true;
}

void WidgetContainer::InvalidateChildFull(Widget* child) {
  InvalidateFull();
  child->mDirty = true;
  if (mParent) return;
  auto self = Find(child);
  if (self == mWidgets.end()) return;
  const Rect r = child->GetRect().Intersect(Rect(0, 0, mWidth, mHeight));
  for (auto it = self; it != mWidgets.begin();) {
    Widget* sibling = *--it;
    if (!sibling->mVisible) continue;
    if (!sibling->mHasTransparencies && !sibling->mHasAlpha && sibling->Contains(r.mX, r.mY) &&
        sibling->Contains(r.mX + r.mWidth - 1, r.mY + r.mHeight - 1)) {
      sibling->Invalidate();
      break;
    }
    if (sibling->Intersects(child)) InvalidateChild(sibling);
  }
  for (auto it = self; it != mWidgets.end(); ++it)
    if ((*it)->mVisible && (*it)->Intersects(child)) InvalidateChild(*it);
}

void WidgetContainer::InvalidateFull() {
  if (mParent)
    mParent->InvalidateChildFull(static_cast<Widget*>(this));
  else
    mDirty = true;
}

void WidgetContainer::AttachToManager(WidgetManager* manager) {
  for (Widget* child : mWidgets) {
    child->mWidgetManager = manager;
    child->AttachToManager(manager);
    Invalidate();
  }
}

void WidgetContainer::DetachFromManager(WidgetManager* manager) {
  for (Widget* child : mWidgets) {
    manager->DisableWidget(child);
    child->DetachFromManager(manager);
    child->mWidgetManager = nullptr;
  }
  if (manager->mPopupWidget == this) manager->mPopupWidget = nullptr;
}

void WidgetContainer::Update() { ++mUpdateCount; }

template <typename Step>
void WidgetContainer::WalkChildren(ModalFlags& flags, Step step) {
  for (mUpdateIterator = mWidgets.begin(); mUpdateIterator != mWidgets.end();) {
    mUpdateIteratorModified = false;
    Widget* child = *mUpdateIterator;
    if (mWidgetManager && child == mWidgetManager->mModalWidget) flags.mIsOver = true;
    step(child);
    if (!mUpdateIteratorModified) ++mUpdateIterator;
  }
  mUpdateIteratorModified = true;
}

namespace {

// Applies a node's flags change on entry and puts the masks back on leaving; is-over stays as the
// walk left it.
class ScopedFlagsChange {
 public:
  ScopedFlagsChange(ModalFlags& flags, const WidgetFlagsChange& change)
      : mFlags(flags), mOver(flags.mOverFlags), mUnder(flags.mUnderFlags) {
    flags.mOverFlags = change.Apply(flags.mOverFlags);
    flags.mUnderFlags = change.Apply(flags.mUnderFlags);
  }
  ~ScopedFlagsChange() {
    mFlags.mOverFlags = mOver;
    mFlags.mUnderFlags = mUnder;
  }
  ScopedFlagsChange(const ScopedFlagsChange&) = delete;
  ScopedFlagsChange& operator=(const ScopedFlagsChange&) = delete;

 private:
  ModalFlags& mFlags;
  uint32_t mOver;
  uint32_t mUnder;
};

}  // namespace

void WidgetContainer::UpdateAll(ModalFlags& flags) {
  ScopedFlagsChange scope(flags, mWidgetFlagsMod);
  if (flags.GetFlags() & WidgetFlag::InvalidateEachUpdate) Invalidate();
  if (!mWidgetManager) return;
  if ((flags.GetFlags() & WidgetFlag::Update) && mLastWMUpdateCount != mWidgetManager->mUpdateCount) {
    mLastWMUpdateCount = mWidgetManager->mUpdateCount;
    Update();
  }
  WalkChildren(flags, [&flags](Widget* child) { child->UpdateAll(flags); });
}

void WidgetContainer::UpdateSubstep(float) {}

void WidgetContainer::UpdateSubstepAll(ModalFlags& flags, float fraction) {
  ScopedFlagsChange scope(flags, mWidgetFlagsMod);
  if (flags.GetFlags() & WidgetFlag::Update) UpdateSubstep(fraction);
  WalkChildren(flags, [&flags, fraction](Widget* child) { child->UpdateSubstepAll(flags, fraction); });
}

void WidgetContainer::Draw(Graphics*) {}

void WidgetContainer::DrawAll(ModalFlags& flags, Graphics* g) {
  if (mWidgetManager && mPriority > mWidgetManager->mMinDeferredOverlayPriority)
    mWidgetManager->FlushDeferredOverlays(mPriority);
  ScopedFlagsChange scope(flags, mWidgetFlagsMod);
  if (mClip && (flags.GetFlags() & WidgetFlag::ClipToBounds)) g->IntersectClip(0, 0, mWidth, mHeight);
  const bool draw = flags.GetFlags() & WidgetFlag::Draw;
  if (mWidgets.empty()) {
    if (draw) Draw(g);
    return;
  }
  if (draw) {
    g->PushState();
    Draw(g);
    g->PopState();
  }
  for (Widget* child : mWidgets) {
    if (!child->mVisible) continue;
    if (mWidgetManager && child == mWidgetManager->mModalWidget) flags.mIsOver = true;
    Graphics copy(*g);
    copy.Translate(child->mX, child->mY);
    child->DrawAll(flags, &copy);
    child->mDirty = false;
  }
}

void WidgetContainer::VisitTree() {
  VisitHook();
  for (Widget* child : mWidgets) child->VisitTree();
}

void WidgetContainer::VisitHook() {}

}  // namespace Velk
