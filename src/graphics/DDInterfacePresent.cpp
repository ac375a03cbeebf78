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
      result = mPrimarySurface->Blt(&dst, mDrawSurface, &src, flags, &fx);
      call = "Redraw FullScreen Blt";
    } else {
      if (!mVideoOnlyDraw) mSecondarySurface->Blt(&dst, mDrawSurface, &src, flags, &fx);
      mCursorDrawnX = mCursorX;
      mCursorDrawnY = mCursorY;
      DrawCursorTo(mSecondarySurface, false);
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

HRESULT DDInterface::PresentWindowed(RECT& src, RECT& dst, DWORD flags, DDBLTFX* fx) {
  const bool vsync = mApp->mWaitForVSync && !mApp->mVSyncBroken;
  mCursorDrawnX = mCursorX;
  mCursorDrawnY = mCursorY;
  if (mVideoOnlyDraw) {
    if (vsync) mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    DrawCursorTo(mSecondarySurface, false);
    return mPrimarySurface->Blt(&dst, mSecondarySurface, &src, flags, fx);
  }
  DrawCursorTo(mDrawSurface, false);
  HRESULT result;
  if (!vsync) {
    result = mPrimarySurface->Blt(&dst, mDrawSurface, &src, flags, fx);
  } else if (mScanLineFailCount >= 3) {
    mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
    result = mPrimarySurface->Blt(&dst, mDrawSurface, &src, flags, fx);
  } else {
    result = SplitBlit(src, dst, flags, fx);
  }
  if (mHasOldCursorArea) {
    // The draw buffer holds no cursor; the old area keeps the background under the one on screen.
    RestoreCursorArea(mDrawSurface, false);
    mHasOldCursorArea = true;
  }
  return result;
}

// Blits the top half once the beam has left it and the bottom half once the beam has passed the
// bottom, so that no tear shows. Polling that fails or takes too long costs a strike; three strikes
// give up on the beam for good.
HRESULT DDInterface::SplitBlit(RECT& src, RECT& dst, DWORD flags, DDBLTFX* fx) {
  const LONG mid = dst.top + mApp->mHeight / 2;
  const LONG srcMid = src.top + (src.bottom - src.top) / 2;
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
    mPrimarySurface->Blt(&topDst, mDrawSurface, &topSrc, flags, fx);
    const DWORD released = blank ? 0 : line;
    // Bounded as the first wait is, so that a beam that stops answering cannot hang the frame.
    while (TickDiff(GetTickCount(), start) < kScanLineBudgetMs) {
      if (FAILED(mDD->GetScanLine(&line))) continue;
      if (line < released || static_cast<LONG>(line) >= dst.bottom) break;
    }
    RECT bottomSrc{src.left, srcMid, src.right, src.bottom};
    RECT bottomDst{dst.left, mid, dst.right, dst.bottom};
    mScanLineFailCount = 0;
    return mPrimarySurface->Blt(&bottomDst, mDrawSurface, &bottomSrc, flags, fx);
  }
  ++mScanLineFailCount;
  mDD->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr);
  return mPrimarySurface->Blt(&dst, mDrawSurface, &src, flags, fx);
}

}  // namespace Velk
