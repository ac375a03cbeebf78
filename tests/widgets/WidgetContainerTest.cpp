#include <gtest/gtest.h>

#include <algorithm>

#include "widgets/WidgetTestSupport.h"

using namespace Velk;
using namespace Velk::Testing;

namespace {

class WidgetTree : public ::testing::Test, public WidgetFixtureBase {
 protected:
  std::vector<std::string> Order(WidgetContainer* c = nullptr) {
    std::vector<std::string> names;
    for (Widget* w : (c ? c : &mManager)->mWidgets) names.push_back(static_cast<LogWidget*>(w)->mName);
    return names;
  }
  LogWidget* Detached(const std::string& name, int z) {
    mOwned.push_back(std::make_unique<LogWidget>(name, &mLog, 0, 0, 10, 10));
    mOwned.back()->mZOrder = z;
    return mOwned.back().get();
  }
};

using Names = std::vector<std::string>;

class OrderWatcher : public LogWidget {
 public:
  using LogWidget::LogWidget;
  int mMoves = 0;
  void OrderInManagerChanged() override { ++mMoves; }
};

}  // namespace

TEST_F(WidgetTree, ZOrderInsertionAndMoves) {
  LogWidget* a = Detached("a", 0);
  LogWidget* b = Detached("b", 5);
  LogWidget* c = Detached("c", 3);
  mManager.AddChild(a);
  mManager.AddChild(b);
  mManager.AddChild(c);
  EXPECT_EQ((Names{"a", "c", "b"}), Order());
  mManager.AddChild(a);  // already a child: stays where it is
  EXPECT_EQ((Names{"a", "c", "b"}), Order());

  LogWidget* d = Detached("d", 0);
  mManager.AddChild(d);
  EXPECT_EQ((Names{"a", "d", "c", "b"}), Order());  // after its equals
  mManager.BringToBack(d);
  EXPECT_EQ((Names{"d", "a", "c", "b"}), Order());
  mManager.BringToFront(d);
  EXPECT_EQ((Names{"a", "d", "c", "b"}), Order());  // the front of its own z-order group only
  mManager.PutBehind(d, a);
  EXPECT_EQ((Names{"d", "a", "c", "b"}), Order());
  mManager.PutInFront(d, a);
  EXPECT_EQ((Names{"a", "d", "c", "b"}), Order());
  mManager.PutBehind(d, c);  // z-order outranks the reference
  EXPECT_EQ((Names{"a", "d", "c", "b"}), Order());

  OrderWatcher watched("w", &mLog, 0, 0, 1, 1);
  mManager.AddChild(&watched);
  ClearDirty();
  mManager.BringToBack(&watched);
  EXPECT_EQ(1, watched.mMoves);
  EXPECT_FALSE(mManager.mDirty);  // moves mark nothing
  mManager.RemoveChild(&watched);
}

TEST_F(WidgetTree, UpdateWalkSurvivesRemovalAndMovesDuringUpdate) {
  LogWidget* a = Make("a", 0, 0, 10, 10);
  LogWidget* b = Make("b", 0, 0, 10, 10);
  LogWidget* c = Make("c", 0, 0, 10, 10);
  a->mOnUpdate = [&] { mManager.RemoveChild(a); };
  mManager.UpdateFrame();
  EXPECT_EQ(1, a->mUpdates);
  EXPECT_EQ(1, b->mUpdates);
  EXPECT_EQ(1, c->mUpdates);

  // Moving itself to the front puts b after c: visited again, updated once.
  a->mOnUpdate = nullptr;
  b->mOnUpdate = [&] { mManager.BringToFront(b); };
  mManager.UpdateFrame();
  EXPECT_EQ(2, b->mUpdates);
  EXPECT_EQ(2, c->mUpdates);
  EXPECT_EQ((Names{"c", "b"}), Order());

  b->mOnUpdate = nullptr;
  mManager.UpdateFrame();
  mManager.UpdateFrameFraction(0.5f);
  EXPECT_EQ(3, c->mUpdates);
  EXPECT_EQ(1, c->mSubsteps);
  EXPECT_EQ(1, a->mUpdates);  // left the tree

  // Children of a widget without the update flag still update.
  LogWidget* child = Make("child", 0, 0, 5, 5, c);
  c->mWidgetFlagsMod = WidgetFlagsChange(0, WidgetFlag::Update);
  mManager.UpdateFrame();
  EXPECT_EQ(3, c->mUpdates);
  EXPECT_EQ(0, child->mUpdates);  // the change is handed down
  child->mWidgetFlagsMod = WidgetFlagsChange(WidgetFlag::Update, 0);
  mManager.UpdateFrame();
  EXPECT_EQ(1, child->mUpdates);
}

TEST_F(WidgetTree, DirtyMarkingSpreadsToOverlappingTopLevelWidgets) {
  LogWidget* floor = Make("floor", 0, 0, 800, 600);
  LogWidget* cover = Make("cover", 0, 0, 200, 200);
  LogWidget* target = Make("target", 50, 50, 100, 100);
  LogWidget* above = Make("above", 120, 120, 100, 100);
  LogWidget* apart = Make("apart", 300, 300, 10, 10);
  LogWidget* hidden = Make("hidden", 60, 60, 10, 10);
  hidden->mVisible = false;
  LogWidget* child = Make("child", 1, 1, 5, 5, target);
  ClearDirty();

  child->Invalidate();  // below the top level only the chain is marked
  EXPECT_TRUE(child->mDirty);
  EXPECT_TRUE(target->mDirty);
  EXPECT_TRUE(above->mDirty);
  EXPECT_FALSE(cover->mDirty);
  EXPECT_FALSE(apart->mDirty);
  EXPECT_FALSE(hidden->mDirty);
  EXPECT_TRUE(mManager.mDirty);

  ClearDirty();
  target->InvalidateFull();  // also below, down to the opaque widget covering the area
  EXPECT_TRUE(target->mDirty);
  EXPECT_TRUE(above->mDirty);
  EXPECT_TRUE(cover->mDirty);
  EXPECT_FALSE(floor->mDirty);
  EXPECT_FALSE(apart->mDirty);

  ClearDirty();
  cover->mHasTransparencies = true;  // no longer counts as covering
  target->mHasAlpha = true;          // a see-through widget marks in full
  target->Invalidate();
  EXPECT_TRUE(cover->mDirty);
  EXPECT_TRUE(floor->mDirty);
}

TEST_F(WidgetTree, DrawScreenDrawsOnlyDirtyVisibleTopLevelWidgets) {
  RecordingImage screen(800, 600);
  mManager.mImage = &screen;
  LogWidget* a = Make("a", 0, 0, 100, 100);
  LogWidget* b = Make("b", 300, 300, 100, 100);
  LogWidget* child = Make("child", 10, 10, 20, 20, a);
  LogWidget* hiddenChild = Make("hiddenChild", 40, 40, 5, 5, a);
  hiddenChild->mVisible = false;
  EXPECT_TRUE(mManager.DrawScreen(&mHost));
  ClearDirty();
  hiddenChild->mDirty = true;
  TakeLog();

  // Nothing dirty: nothing drawn, no overlay.
  const int overlays = mHost.mOverlayDraws;
  EXPECT_FALSE(mManager.DrawScreen(&mHost));
  EXPECT_EQ(overlays, mHost.mOverlayDraws);

  child->mDirty = false;
  a->mDirty = true;  // drawn whole, the children too
  EXPECT_TRUE(mManager.DrawScreen(&mHost));
  EXPECT_EQ((Log{"a:draw", "child:draw"}), TakeLog());
  EXPECT_FALSE(a->mDirty);
  EXPECT_TRUE(hiddenChild->mDirty);  // hidden: neither drawn nor cleared
  EXPECT_EQ(overlays + 1, mHost.mOverlayDraws);

  b->mDirty = true;
  b->mVisible = false;
  EXPECT_FALSE(mManager.DrawScreen(&mHost));
  EXPECT_TRUE(b->mDirty);
}

TEST_F(WidgetTree, DrawRecursionFollowsTheFlagMasksAndClips) {
  class ClipWatcher : public LogWidget {
   public:
    using LogWidget::LogWidget;
    Rect mClip;
    void Draw(Graphics* g) override {
      LogWidget::Draw(g);
      mClip = g->mClipRect;
    }
  };
  RecordingImage screen(800, 600);
  mManager.mImage = &screen;
  LogWidget* parent = Make("parent", 100, 100, 50, 50);
  ClipWatcher child("child", &mLog, 40, 40, 30, 30);
  parent->AddChild(&child);
  // The parent does not draw itself, yet its children are visited; the child puts Draw back.
  parent->mWidgetFlagsMod = WidgetFlagsChange(0, WidgetFlag::Draw);
  child.mWidgetFlagsMod = WidgetFlagsChange(WidgetFlag::Draw, 0);
  TakeLog();
  mManager.DrawScreen(&mHost);
  EXPECT_EQ((Log{"child:draw"}), TakeLog());
  EXPECT_EQ(Rect(140, 140, 10, 10), child.mClip);  // clipped to the parent and to itself

  child.mWidgetFlagsMod = WidgetFlagsChange();
  parent->mDirty = true;
  mManager.DrawScreen(&mHost);
  EXPECT_TRUE(TakeLog().empty());

  // Widgets under a modal widget are still drawn.
  parent->mWidgetFlagsMod = WidgetFlagsChange();
  LogWidget* modal = Make("modal", 0, 0, 10, 10);
  mManager.PushModal(modal);
  parent->mDirty = true;
  modal->mDirty = true;
  mManager.DrawScreen(&mHost);
  EXPECT_EQ((Log{"parent:draw", "child:draw", "modal:draw"}), TakeLog());
  parent->RemoveChild(&child);
}

TEST_F(WidgetTree, DeferredOverlaysDrawInPriorityOrderBeforeHigherNodes) {
  class Deferring : public LogWidget {
   public:
    using LogWidget::LogWidget;
    std::vector<WidgetManager::DeferredOverlay> mDefer;
    void Draw(Graphics* g) override {
      LogWidget::Draw(g);
      for (const auto& entry : mDefer) {
        mWidgetManager->mDeferredOverlayWidgets.push_back(entry);
        mWidgetManager->mMinDeferredOverlayPriority =
            std::min(mWidgetManager->mMinDeferredOverlayPriority, entry.mPriority);
      }
    }
  };
  RecordingImage screen(800, 600);
  mManager.mImage = &screen;
  Deferring a("a", &mLog, 0, 0, 10, 10);
  mManager.AddChild(&a);
  LogWidget* b = Make("b", 20, 0, 10, 10);
  b->mPriority = 3;
  LogWidget* x = Make("x", 100, 100, 1, 1);
  LogWidget* y = Make("y", 100, 100, 1, 1);
  LogWidget* z = Make("z", 100, 100, 1, 1);
  x->mVisible = y->mVisible = z->mVisible = false;
  a.mDefer = {{x, 5}, {y, 2}, {z, 5}};
  TakeLog();
  mManager.DrawScreen(&mHost);
  EXPECT_EQ((Log{"a:draw", "y:overlay 2", "b:draw", "x:overlay 5", "z:overlay 5"}), TakeLog());
  EXPECT_TRUE(mManager.mDeferredOverlayWidgets.empty());
  EXPECT_EQ(WidgetManager::NoPendingOverlay, mManager.mMinDeferredOverlayPriority);
  mManager.RemoveChild(&a);
}
