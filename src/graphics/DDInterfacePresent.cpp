// Presenting a frame: full-screen flip or blit, windowed blit with tear avoidance.
#include <mutex>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayHost.h"
#include "graphics/DisplayRenderer.h"
#include "platform/clock/Clock.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/window/WinUser.h"

namespace Velk {

namespace {

constexpr int32_t kScanLineBudgetMs = 200;

RECT ToRECT(const Rect& r) { return RECT{r.mX, r.mY, r.mX + r.mWidth, r.mY + r.mHeight}; }

void Offset(RECT& r, const POINT& by) {
  r.left += by.x;
  r.right += by.x;
  r.top += by.y;
  r.bottom += by.y;
}

}  // namespace

bool DDInterface::Present(const Rect* area) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  if (!mInitialized) return false;
  mPresenting = true;
  if (mIs3D) {
    if (!mRenderer->GetErrorText().empty()) {
      // The frame is lost; the software path takes over from the next one.
      mPresenting = false;
      mIs3D = false;
      return false;
    }
    mRenderer->EndSceneIfBegun();
  }
  RECT src;
  RECT dst;
  if (!area || mIsAspectCorrected) {
    src = RECT{0, 0, mWidth, mHeight};
    dst = ToRECT(mPresentationRect);
  } else {
    src = dst = ToRECT(*area);
  }
  DDBLTFX fx;
  DWORD flags = DDBLT_WAIT;
  if (mIsAspectCorrected) {
    flags |= DDBLT_DDFX;
    fx.dwDDFX = DDBLTFX_ARITHSTRETCHY;
  }
  POINT origin{0, 0};
  ClientToScreen(mHWnd, &origin);
  Offset(dst, origin);

  // Finishes pending drawing on the draw surface.
  DDSURFACEDESC flush;
  if (SUCCEEDED(mDrawSurface->Lock(nullptr, &flush, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)))
    mDrawSurface->Unlock(nullptr);

  HRESULT result;
  const char* call;
  if (!mIsWindowed) {
    if (mApp->mFlippedToGdi || !mApp->mFullScreenFlip) {
      result = BlitFrame(mPrimarySurface, mDrawSurface, dst, src, flags, &fx);
      call = "Redraw FullScreen Blt";
    } else {
      if (!mVideoOnlyDraw) BlitFrame(mSecondarySurface, mDrawSurface, dst, src, flags, &fx);
      mCursorDrawnX = mCursorX;
      mCursorDrawnY = mCursorY;
      DrawCursorTo(mSecondarySurface);
      result = mPrimarySurface->Flip(nullptr, DDFLIP_WAIT);
      call = "Redraw FullScreen Flip";
    }
  } else {
    result = PresentWindowed(src, dst, flags, &fx);
    call = "Redraw Windowed";
  }
  mPresenting = false;
  return !CheckResult(result, call);
}

// The one place where a frame's pixels reach the screen: the draw buffer's rectangle copied into
// its place in the presentation rectangle, scaled when the two differ in size.
HRESULT DDInterface::BlitFrame(IDirectDrawSurface* target, IDirectDrawSurface* source, RECT dst, RECT src, DWORD flags,
                               DDBLTFX* fx) {
  return target->Blt(&dst, source, &src, flags, fx);
}

HRESULT DDInterface::PresentWindowed(RECT& src, RECT& dst, DWORD flags, DDBLTFX* fx) {
  const bool vsync = mApp->mWaitForVSync && !mApp->mVSyncBroken;
  mCursorDrawnX = mCursorX;
  mCursorDrawnY = mCursorY;
  if (mVideoOnlyDraw) {
    if (vsync) mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    DrawCursorTo(mSecondarySurface);
    return BlitFrame(mPrimarySurface, mSecondarySurface, dst, src, flags, fx);
  }
  // A scaled picture gets the cursor on the screen after the copy, at the size the cursor thread
  // draws it between frames.
  if (!mIsAspectCorrected) DrawCursorTo(mDrawSurface);
  HRESULT result;
  if (!vsync) {
    result = BlitFrame(mPrimarySurface, mDrawSurface, dst, src, flags, fx);
  } else if (mScanLineFailCount >= 3) {
    mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    result = BlitFrame(mPrimarySurface, mDrawSurface, dst, src, flags, fx);
  } else {
    result = SplitBlit(src, dst, flags, fx);
  }
  if (mIsAspectCorrected) {
    DrawCursorTo(mPrimarySurface);
    return result;
  }
  if (mHasOldCursorArea) {
    // The draw buffer holds no cursor; the old area keeps the background under the one on screen.
    RestoreCursorArea(mDrawSurface);
    mHasOldCursorArea = true;
  }
  return result;
}

// Blits the top half once the beam has left it and the bottom half once the beam has passed the
// bottom, so that no tear shows. Polling that fails or takes too long costs a strike; three strikes
// give up on the beam for good.
HRESULT DDInterface::SplitBlit(RECT& src, RECT& dst, DWORD flags, DDBLTFX* fx) {
  const LONG srcMid = src.top + (src.bottom - src.top) / 2;
  // The same share of the destination as of the source, so that each half keeps its scale.
  const LONG mid = dst.top + (dst.bottom - dst.top) * (srcMid - src.top) / (src.bottom - src.top);
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const DWORD start = GetTickCount();
  bool armed = false;
  DWORD line = 0;
  while (TickDiff(GetTickCount(), start) < kScanLineBudgetMs) {
    const HRESULT poll = mDD->GetScanLine(&line);
    const bool blank = poll == DDERR_VERTICALBLANKINPROGRESS;
    if (FAILED(poll) && !blank) break;
    const LONG beam = static_cast<LONG>(line);
    if (!armed) {
      armed = !blank && beam < mid && beam < screenHeight;
      continue;
    }
    if (!blank && beam < mid) continue;
    RECT topSrc{src.left, src.top, src.right, srcMid};
    RECT topDst{dst.left, dst.top, dst.right, mid};
    BlitFrame(mPrimarySurface, mDrawSurface, topDst, topSrc, flags, fx);
    const DWORD released = blank ? 0 : line;
    // Bounded as the first wait is, so that a beam that stops answering cannot hang the frame.
    while (TickDiff(GetTickCount(), start) < kScanLineBudgetMs) {
      if (FAILED(mDD->GetScanLine(&line))) continue;
      if (line < released || static_cast<LONG>(line) >= dst.bottom) break;
    }
    RECT bottomSrc{src.left, srcMid, src.right, src.bottom};
    RECT bottomDst{dst.left, mid, dst.right, dst.bottom};
    mScanLineFailCount = 0;
    return BlitFrame(mPrimarySurface, mDrawSurface, bottomDst, bottomSrc, flags, fx);
  }
  ++mScanLineFailCount;
  mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
  return BlitFrame(mPrimarySurface, mDrawSurface, dst, src, flags, fx);
}

}  // namespace Velk
