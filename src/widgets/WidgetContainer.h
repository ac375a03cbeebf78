#pragma once
#include <cstdint>
#include <list>

#include "graphics/Rect.h"
#include "platform/base/WinTypes.h"
#include "widgets/WidgetFlags.h"

namespace Velk {

class Graphics;
class Widget;
class WidgetManager;

// A node of the widget tree: the z-ordered children, dirty marking and the update and draw walks.
// Children are not owned.
class WidgetContainer {
 public:
  using WidgetList = std::list<Widget*>;

  WidgetList mWidgets;  // ascending z-order: drawn first to last, hit last to first
  WidgetManager* mWidgetManager = nullptr;
  WidgetContainer* mParent = nullptr;
  // The child whose update runs; moved past a child taken out during the walk.
  bool mUpdateIteratorModified = false;
  WidgetList::iterator mUpdateIterator;
  uint32_t mLastWMUpdateCount = 0;
  uint32_t mUpdateCount = 0;
  bool mDirty = false;
  int mX = 0;
  int mY = 0;
  int mWidth = 0;
  int mHeight = 0;
  bool mHasAlpha = false;  // see-through: marking it dirty redraws what lies under it
  bool mClip = true;
  WidgetFlagsChange mWidgetFlagsMod;
  int mPriority = 0;
  int mZOrder = 0;

  WidgetContainer();
  WidgetContainer(const WidgetContainer&) = delete;
  WidgetContainer& operator=(const WidgetContainer&) = delete;
  virtual ~WidgetContainer();

  virtual Rect GetRect();
  virtual bool Intersects(WidgetContainer* other);
  virtual void AddChild(Widget* widget);
  virtual void RemoveChild(Widget* widget);
  virtual bool HasChild(Widget* widget);
  virtual void DisableWidget(Widget* widget);
  virtual void RemoveAllChildren(bool doDelete = false, bool recursive = false);
  virtual void SetFocus(Widget* widget);
  virtual bool IsBelow(Widget* a, Widget* b);
  virtual void InvalidateAll();
  virtual void BringToFront(Widget* widget);
  virtual void BringToBack(Widget* widget);
  virtual void PutBehind(Widget* widget, Widget* reference);
  virtual void PutInFront(Widget* widget, Widget* reference);
  virtual POINT AbsolutePos();
  virtual void InvalidateChild(Widget* child);
  virtual void Invalidate();
  virtual void InvalidateChildFull(Widget* child);
  virtual void InvalidateFull();
  virtual void AttachToManager(WidgetManager* manager);
  virtual void DetachFromManager(WidgetManager* manager);
  virtual void Update();
  virtual void UpdateAll(ModalFlags& flags);
  virtual void UpdateSubstep(float fraction);
  virtual void UpdateSubstepAll(ModalFlags& flags, float fraction);
  virtual void Draw(Graphics* g);
  virtual void DrawAll(ModalFlags& flags, Graphics* g);
  virtual void VisitTree();
  virtual void VisitHook();
  // How far from its bounds the container is drawn (a widget that slides draws itself elsewhere
  // without moving its bounds); where the mouse finds it follows. None here.
  virtual POINT DrawnOffset();

 private:
  WidgetList::iterator Find(Widget* widget);
  // Takes the node out of the list, first moving a running update walk past it.
  void Unlink(WidgetList::iterator it);
  bool TakeOut(Widget* widget);
  void InsertByZOrder(WidgetList::iterator hint, Widget* widget);
  void Reinsert(WidgetList::iterator hint, Widget* widget);
  // Depth-first in drawing order; true once a or b was met, with aFirst telling which.
  bool FindFirstOf(Widget* a, Widget* b, bool& aFirst);
  static void ReleaseFromManager(Widget* widget);
  // Runs step on every child through the stored update position, so a child may leave or move.
  template <typename Step>
  void WalkChildren(ModalFlags& flags, Step step);
};

}  // namespace Velk
