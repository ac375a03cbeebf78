#include "graphics/DDImage.h"
#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Velk {

void WidgetManager::InitModalFlags(ModalFlags& flags) {
  flags.mIsOver = mModalWidget == nullptr;
  flags.mOverFlags = GetWidgetFlags();
  flags.mUnderFlags = mBelowModalFlagsMod.Apply(flags.mOverFlags);
}

bool WidgetManager::UpdateFrame() {
  ModalFlags flags;
  InitModalFlags(flags);
  ++mUpdateCount;
  mLastWMUpdateCount = mUpdateCount;
  UpdateAll(flags);
  return mDirty;
}

bool WidgetManager::UpdateFrameFraction(float fraction) {
  ModalFlags flags;
  InitModalFlags(flags);
  UpdateSubstepAll(flags, fraction);
  return mDirty;
}

bool WidgetManager::DrawScreen(WidgetHost* app) {
  ModalFlags flags;
  InitModalFlags(flags);
  bool anyDirty = false;
  for (Widget* w : mWidgets) anyDirty = anyDirty || w->mDirty;
  mMinDeferredOverlayPriority = NoPendingOverlay;
  mDeferredOverlayWidgets.clear();

  Graphics g0(mImage);
  mCurrentG = &g0;
  // One lock around the whole draw instead of one per blit.
  DDImage* surfaceImage = dynamic_cast<DDImage*>(mImage);
  const bool locked = surfaceImage && surfaceImage->LockSurface();
  bool drewSomething = false;
  if (anyDirty) {
    Graphics g(g0);
    g.Translate(-mMouseDestRect.mX, -mMouseDestRect.mY);
    const bool is3D = app && app->Is3DModeOn();
    for (Widget* w : mWidgets) {
      if (w == mModalWidget) flags.mIsOver = true;
      if (!w->mDirty || !w->mVisible) continue;
      Graphics copy(g);
      copy.SetStretchFast(!is3D);
      copy.SetBlendLinear(is3D);
      copy.Translate(w->mX, w->mY);
      w->DrawAll(flags, &copy);
      drewSomething = true;
      w->mDirty = false;
    }
    if (app) app->DrawOverlay(&g);
  }
  FlushDeferredOverlays(NoPendingOverlay);
  if (locked) surfaceImage->UnlockSurface();
  mCurrentG = nullptr;
  return drewSomething;
}

void WidgetManager::FlushDeferredOverlays(int priorityLimit) {
  if (!mCurrentG) return;
  int next = NoPendingOverlay;
  do {
    next = NoPendingOverlay;
    // By index: an overlay may defer another while it draws.
    for (size_t i = 0; i < mDeferredOverlayWidgets.size(); ++i) {
      DeferredOverlay& entry = mDeferredOverlayWidgets[i];
      if (!entry.mWidget) continue;
      if (entry.mPriority == mMinDeferredOverlayPriority) {
        Graphics copy(*mCurrentG);
        copy.Translate(-mMouseDestRect.mX, -mMouseDestRect.mY);
        copy.Translate(entry.mWidget->mX, entry.mWidget->mY);
        copy.SetStretchFast(!copy.mIs3D);
        copy.SetBlendLinear(copy.mIs3D);
        Widget* widget = entry.mWidget;
        const int priority = entry.mPriority;
        entry.mWidget = nullptr;
        widget->DrawOverlay(&copy, priority);
      } else if (entry.mPriority < next) {
        next = entry.mPriority;
      }
    }
    mMinDeferredOverlayPriority = next;
    if (next == NoPendingOverlay) {
      mDeferredOverlayWidgets.clear();
      return;
    }
  } while (next < priorityLimit);
}

}  // namespace Velk
