#include "graphics/DDImage.h"
#include "graphics/Graphics.h"
#include "widgets/Widget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Velk {

namespace {

// One band for both: their union where they overlap or meet, else the taller.
RowBand Joined(const RowBand& a, const RowBand& b) {
  if (a.top >= a.bottom) return b;
  if (b.top >= b.bottom) return a;
  if (a.top <= b.bottom && b.top <= a.bottom) return {std::min(a.top, b.top), std::max(a.bottom, b.bottom)};
  return a.bottom - a.top >= b.bottom - b.top ? a : b;
}

}  // namespace

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
    Graphics each(g);
    each.SetStretchFast(!is3D);
    each.SetBlendLinear(is3D);
    const std::vector<RowBand> covered = RowsCoveredInFront(flags, each);
    size_t index = 0;
    for (Widget* w : mWidgets) {
      const RowBand& hidden = covered[index++];
      if (w == mModalWidget) flags.mIsOver = true;
      if (!w->mDirty || !w->mVisible) continue;
      DrawTopLevel(w, flags, each, hidden);
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

std::vector<RowBand> WidgetManager::RowsCoveredInFront(const ModalFlags& flags, const Graphics& g) {
  std::vector<RowBand> covered(mWidgets.size());
  if (!mSkipCovered) return covered;
  RowBand inFront;
  bool belowModal = false;
  size_t index = mWidgets.size();
  for (auto it = mWidgets.rbegin(); it != mWidgets.rend(); ++it) {
    Widget* w = *it;
    covered[--index] = inFront;
    const bool over = !belowModal || w == mModalWidget;
    inFront = Joined(inFront, OpaqueRowsOf(w, over ? flags.mOverFlags : flags.mUnderFlags, g));
    belowModal = belowModal || w == mModalWidget;
  }
  return covered;
}

RowBand WidgetManager::OpaqueRowsOf(Widget* w, uint32_t walkFlags, const Graphics& g) {
  if (!w->mDirty || !w->mVisible || !(w->mWidgetFlagsMod.Apply(walkFlags) & WidgetFlag::Draw)) return {};
  Rect area = w->GetOpaqueArea(g).Intersect(Rect(0, 0, w->mWidth, w->mHeight));
  area.mX += w->mX - mMouseDestRect.mX;
  area.mY += w->mY - mMouseDestRect.mY;
  const Image& target = *mCurrentG->mDestImage;
  area = area.Intersect(Rect(0, 0, target.mWidth, target.mHeight));
  if (area.mX != 0 || area.mWidth != target.mWidth) return {};
  return {area.mY, area.mY + area.mHeight};
}

// Rows that widgets in front cover are left undrawn: only the polygon and 3-D roads honour them,
// and they leave every other pixel as a whole draw leaves it.
void WidgetManager::DrawTopLevel(Widget* w, ModalFlags& flags, const Graphics& g, const RowBand& hidden) {
  if (hidden.top < hidden.bottom && hidden.top <= 0 && hidden.bottom >= g.mDestImage->mHeight) return;
  Graphics copy(g);
  copy.Translate(w->mX, w->mY);
  Image* target = g.mDestImage;
  const bool hides = hidden.top < hidden.bottom;
  if (hides) target->SetHiddenRows(hidden.top, hidden.bottom);
  w->DrawAll(flags, &copy);
  if (hides) target->SetHiddenRows(0, 0);
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
