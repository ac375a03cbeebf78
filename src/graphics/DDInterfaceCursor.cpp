// The software cursor: drawn over the frame at present time and moved on the screen between frames
// by the cursor thread, always restoring the background it covered.
#include <algorithm>
#include <mutex>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "platform/window/WinUser.h"

namespace Velk {

namespace {

Rect Local(const Rect& r, int originX, int originY) {
  return Rect(r.mX - originX, r.mY - originY, r.mWidth, r.mHeight);
}

RECT ToRECT(const Rect& r) { return RECT{r.mX, r.mY, r.mX + r.mWidth, r.mY + r.mHeight}; }

}  // namespace

bool DDInterface::SetCursorImage(Image* image) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  if (mCursorImage == image) return false;
  mCursorImage = image;
  return true;
}

POINT DDInterface::ToDrawBuffer(int x, int y) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  const Rect& p = mPresentationRect;
  if (p.mWidth <= 0 || p.mHeight <= 0) return POINT{x, y};
  return POINT{(x - p.mX) * mWidth / p.mWidth, (y - p.mY) * mHeight / p.mHeight};
}

// The display shows the draw buffer's point (x, y) here; the cursor is drawn unscaled around it.
POINT DDInterface::OnDisplay(int x, int y) const {
  const Rect& p = mPresentationRect;
  return POINT{p.mX + x * p.mWidth / mWidth, p.mY + y * p.mHeight / mHeight};
}

// The draw buffer holds the picture unscaled; the primary and a full-screen back buffer hold the
// display, where the picture fills the presentation rectangle.
bool DDInterface::IsDisplaySurface(IDirectDrawSurface* target) const {
  return target == mPrimarySurface || (!mIsWindowed && target == mSecondarySurface);
}

// The cursor area around the draw buffer's point (x, y) on a target, cut to what the target shows,
// and the part of the 64 x 64 area that lands there.
DDInterface::CursorPlace DDInterface::PlaceCursor(int x, int y, IDirectDrawSurface* target) const {
  const bool onDisplay = IsDisplaySurface(target);
  const POINT centre = onDisplay ? OnDisplay(x, y) : POINT{x, y};
  const Rect area(centre.x - mCursorWidth / 2, centre.y - mCursorHeight / 2, mCursorWidth, mCursorHeight);
  const Rect shown = area.Intersect(onDisplay ? mPresentationRect : Rect(0, 0, mWidth, mHeight));
  CursorPlace place{ToRECT(shown), ToRECT(Local(shown, area.mX, area.mY)), area.mX, area.mY};
  if (target == mPrimarySurface && mHWnd) {
    POINT origin{0, 0};
    ClientToScreen(mHWnd, &origin);
    place.onTarget.left += origin.x;
    place.onTarget.right += origin.x;
    place.onTarget.top += origin.y;
    place.onTarget.bottom += origin.y;
  }
  return place;
}

// Retried once inside the primary's size, for rectangles reaching past a surface without a clipper.
HRESULT DDInterface::BltWithRetry(IDirectDrawSurface* target, RECT dst, IDirectDrawSurface* source, RECT src) {
  if (dst.left >= dst.right || dst.top >= dst.bottom) return DDERR_INVALIDRECT;
  HRESULT result = target->Blt(&dst, source, &src, DDBLT_WAIT, nullptr);
  if (SUCCEEDED(result) || !mPrimarySurface) return result;
  DDSURFACEDESC desc;
  if (FAILED(mPrimarySurface->GetSurfaceDesc(&desc))) return result;
  RECT cut{std::max<LONG>(dst.left, 0), std::max<LONG>(dst.top, 0),
           std::min<LONG>(dst.right, static_cast<LONG>(desc.dwWidth)),
           std::min<LONG>(dst.bottom, static_cast<LONG>(desc.dwHeight))};
  if (cut.left >= cut.right || cut.top >= cut.bottom) return result;
  src.left += cut.left - dst.left;
  src.top += cut.top - dst.top;
  src.right -= dst.right - cut.right;
  src.bottom -= dst.bottom - cut.bottom;
  return target->Blt(&cut, source, &src, DDBLT_WAIT, nullptr);
}

void DDInterface::DrawCursorInto(DDImage* area, int offsetX, int offsetY) {
  Graphics g(area);
  g.DrawImage(mCursorImage, offsetX + (mCursorWidth - mCursorImage->mWidth) / 2,
              offsetY + (mCursorHeight - mCursorImage->mHeight) / 2);
}

void DDInterface::DrawCursorTo(IDirectDrawSurface* target) {
  if (!mCursorImage || !target || !mOldCursorArea) return;
  const int x = mCursorDrawnX;
  const int y = mCursorDrawnY;
  CursorPlace place = PlaceCursor(x, y, target);
  mHasOldCursorArea = SUCCEEDED(BltWithRetry(mOldCursorArea, place.inArea, target, place.onTarget));
  if (target == mDrawSurface && !mIs3D && mScreenImage) {
    Graphics g(mScreenImage.get());
    g.DrawImage(mCursorImage, x - mCursorImage->mWidth / 2, y - mCursorImage->mHeight / 2);
    return;
  }
  RECT whole{0, 0, mCursorWidth, mCursorHeight};
  mNewCursorArea->Blt(&whole, mOldCursorArea, &whole, DDBLT_WAIT, nullptr);
  DrawCursorInto(mNewCursorAreaImage.get(), 0, 0);
  BltWithRetry(target, place.onTarget, mNewCursorArea, place.inArea);
}

void DDInterface::RestoreCursorArea(IDirectDrawSurface* target) {
  if (!mHasOldCursorArea) return;
  CursorPlace place = PlaceCursor(mCursorDrawnX, mCursorDrawnY, target);
  BltWithRetry(target, place.onTarget, mOldCursorArea, place.inArea);
  mHasOldCursorArea = false;
}

void DDInterface::MoveCursor(int x, int y) {
  mCursorX = x;
  mCursorY = y;
  if (mPresenting) return;
  std::lock_guard<CriticalSection> guard(mCritSect);
  if (!mInitialized || !mCursorImage || mPresenting) return;
  if (!mHasOldCursorArea) {
    mCursorDrawnX = x;
    mCursorDrawnY = y;
    DrawCursorTo(mPrimarySurface);
    return;
  }
  MoveDrawnCursor(x, y);
}

void DDInterface::MoveDrawnCursor(int x, int y) {
  const CursorPlace from = PlaceCursor(mCursorDrawnX, mCursorDrawnY, mPrimarySurface);
  const CursorPlace to = PlaceCursor(x, y, mPrimarySurface);

  // The screen under the new place, with the old cursor still on it where the areas overlap.
  BltWithRetry(mNewCursorArea, to.inArea, mPrimarySurface, to.onTarget);
  const Rect oldArea(from.areaX, from.areaY, mCursorWidth, mCursorHeight);
  const Rect newArea(to.areaX, to.areaY, mCursorWidth, mCursorHeight);
  const Rect overlap = oldArea.Intersect(newArea);
  if (overlap.mWidth > 0 && overlap.mHeight > 0) {
    // The true background of the overlap is in the old area; the new cursor goes into the old area
    // so that putting it back already shows the cursor there.
    RECT fromOld = ToRECT(Local(overlap, from.areaX, from.areaY));
    RECT toNew = ToRECT(Local(overlap, to.areaX, to.areaY));
    mNewCursorArea->Blt(&toNew, mOldCursorArea, &fromOld, DDBLT_WAIT, nullptr);
    DrawCursorInto(mOldCursorAreaImage.get(), to.areaX - from.areaX, to.areaY - from.areaY);
  }
  BltWithRetry(mPrimarySurface, from.onTarget, mOldCursorArea, from.inArea);
  RECT whole{0, 0, mCursorWidth, mCursorHeight};
  mOldCursorArea->Blt(&whole, mNewCursorArea, &whole, DDBLT_WAIT, nullptr);
  DrawCursorInto(mNewCursorAreaImage.get(), 0, 0);
  BltWithRetry(mPrimarySurface, to.onTarget, mNewCursorArea, to.inArea);
  mCursorDrawnX = x;
  mCursorDrawnY = y;
}

}  // namespace Velk
