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

Rect Local(const Rect& r, int originX, int originY) { return Rect(r.mX - originX, r.mY - originY, r.mWidth, r.mHeight); }

RECT ToRECT(const Rect& r) { return RECT{r.mX, r.mY, r.mX + r.mWidth, r.mY + r.mHeight}; }

}  // namespace

bool DDInterface::SetCursorImage(Image* image) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  if (mCursorImage == image) return false;
  mCursorImage = image;
  return true;
}

// The cursor area centred on (x, y) in draw-buffer coordinates, cut to what the target shows.
RECT DDInterface::CursorRect(int x, int y, bool onPrimary) const {
  const Rect area(x - mCursorWidth / 2, y - mCursorHeight / 2, mCursorWidth, mCursorHeight);
  Rect clipped = area.Intersect(onPrimary ? mPresentationRect : Rect(0, 0, mWidth, mHeight));
  RECT r = ToRECT(clipped);
  if (onPrimary && mHWnd) {
    POINT origin{0, 0};
    ClientToScreen(mHWnd, &origin);
    r.left += origin.x;
    r.right += origin.x;
    r.top += origin.y;
    r.bottom += origin.y;
  }
  return r;
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

void DDInterface::DrawCursorTo(IDirectDrawSurface* target, bool onPrimary) {
  if (!mCursorImage || !target || !mOldCursorArea) return;
  const int x = mCursorDrawnX;
  const int y = mCursorDrawnY;
  const RECT dst = CursorRect(x, y, onPrimary);
  const RECT inDraw = CursorRect(x, y, false);
  const int areaX = x - mCursorWidth / 2;
  const int areaY = y - mCursorHeight / 2;
  RECT local{inDraw.left - areaX, inDraw.top - areaY, inDraw.left - areaX + (dst.right - dst.left),
             inDraw.top - areaY + (dst.bottom - dst.top)};
  mHasOldCursorArea = SUCCEEDED(BltWithRetry(mOldCursorArea, local, target, dst));
  if (target == mDrawSurface && !mIs3D && mScreenImage) {
    Graphics g(mScreenImage.get());
    g.DrawImage(mCursorImage, x - mCursorImage->mWidth / 2, y - mCursorImage->mHeight / 2);
    return;
  }
  RECT whole{0, 0, mCursorWidth, mCursorHeight};
  mNewCursorArea->Blt(&whole, mOldCursorArea, &whole, DDBLT_WAIT, nullptr);
  DrawCursorInto(mNewCursorAreaImage.get(), 0, 0);
  BltWithRetry(target, dst, mNewCursorArea, local);
}

void DDInterface::RestoreCursorArea(IDirectDrawSurface* target, bool onPrimary) {
  if (!mHasOldCursorArea) return;
  const RECT dst = CursorRect(mCursorDrawnX, mCursorDrawnY, onPrimary);
  const RECT inDraw = CursorRect(mCursorDrawnX, mCursorDrawnY, false);
  const int areaX = mCursorDrawnX - mCursorWidth / 2;
  const int areaY = mCursorDrawnY - mCursorHeight / 2;
  RECT local{inDraw.left - areaX, inDraw.top - areaY, inDraw.left - areaX + (dst.right - dst.left),
             inDraw.top - areaY + (dst.bottom - dst.top)};
  BltWithRetry(target, dst, mOldCursorArea, local);
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
    DrawCursorTo(mPrimarySurface, true);
    return;
  }
  MoveDrawnCursor(x, y);
}

void DDInterface::MoveDrawnCursor(int x, int y) {
  const int oldX = mCursorDrawnX - mCursorWidth / 2;
  const int oldY = mCursorDrawnY - mCursorHeight / 2;
  const int newX = x - mCursorWidth / 2;
  const int newY = y - mCursorHeight / 2;
  const RECT oldDst = CursorRect(mCursorDrawnX, mCursorDrawnY, true);
  const RECT newDst = CursorRect(x, y, true);
  const RECT oldIn = CursorRect(mCursorDrawnX, mCursorDrawnY, false);
  const RECT newIn = CursorRect(x, y, false);
  RECT oldLocal{oldIn.left - oldX, oldIn.top - oldY, oldIn.left - oldX + (oldDst.right - oldDst.left),
                oldIn.top - oldY + (oldDst.bottom - oldDst.top)};
  RECT newLocal{newIn.left - newX, newIn.top - newY, newIn.left - newX + (newDst.right - newDst.left),
                newIn.top - newY + (newDst.bottom - newDst.top)};

  // The screen under the new place, with the old cursor still on it where the areas overlap.
  BltWithRetry(mNewCursorArea, newLocal, mPrimarySurface, newDst);
  const Rect oldArea(oldX, oldY, mCursorWidth, mCursorHeight);
  const Rect newArea(newX, newY, mCursorWidth, mCursorHeight);
  const Rect overlap = oldArea.Intersect(newArea);
  if (overlap.mWidth > 0 && overlap.mHeight > 0) {
    // The true background of the overlap is in the old area; the new cursor goes into the old area
    // so that putting it back already shows the cursor there.
    RECT fromOld = ToRECT(Local(overlap, oldX, oldY));
    RECT toNew = ToRECT(Local(overlap, newX, newY));
    mNewCursorArea->Blt(&toNew, mOldCursorArea, &fromOld, DDBLT_WAIT, nullptr);
    DrawCursorInto(mOldCursorAreaImage.get(), newX - oldX, newY - oldY);
  }
  BltWithRetry(mPrimarySurface, oldDst, mOldCursorArea, oldLocal);
  RECT whole{0, 0, mCursorWidth, mCursorHeight};
  mOldCursorArea->Blt(&whole, mNewCursorArea, &whole, DDBLT_WAIT, nullptr);
  DrawCursorInto(mNewCursorAreaImage.get(), 0, 0);
  BltWithRetry(mPrimarySurface, newDst, mNewCursorArea, newLocal);
  mCursorDrawnX = x;
  mCursorDrawnY = y;
}

}  // namespace Velk
