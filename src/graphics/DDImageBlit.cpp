// Blits of a memory image onto the locked surface: hardware Blt, plain copy, run-length blends,
// volatile blends and additive blits, straight or mirrored. The loops themselves are rows of the
// surface blit table.
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/SurfaceBlitClip.h"
#include "graphics/SurfaceBlitTable.h"
#include "graphics/SurfaceView.h"

namespace Velk {

void DDImage::SurfaceBlit(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  auto* mem = dynamic_cast<MemoryImage*>(src);
  if (!mem) return;
  mem->ScanAlpha();
  auto* dd = dynamic_cast<DDImage*>(mem);
  const bool white = color == Color::White;
  if (mem->mIsVolatile && !(dd && dd->mSurface) && !mNoLock && white) {
    BlitLoops(SurfaceBlitOp::Volatile, mem, x, y, srcRect, color, false);
    return;
  }
  if (mem->mHasAlpha || !white) {
    BlitLoops(SurfaceBlitOp::Normal, mem, x, y, srcRect, color, false);
    return;
  }
  // A Blt copies from system memory into either kind, from video memory only into video memory.
  const bool bltable = dd && dd->mSurface && (mVideoMemory || !dd->mVideoMemory);
  if (ChooseRoad({LoopsWhen::Always, bltable ? dd : nullptr, BltWhere::Anywhere, Road::Loops}) == Road::Blt) {
    DirectDrawCopy(dd, RECT{x, y, x + srcRect.mWidth, y + srcRect.mHeight},
                   RECT{srcRect.mX, srcRect.mY, srcRect.mX + srcRect.mWidth, srcRect.mY + srcRect.mHeight});
    return;
  }
  BlitLoops(SurfaceBlitOp::Copy, mem, x, y, srcRect, color, false);
}

void DDImage::SurfaceBlitAdditive(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  if (auto* mem = dynamic_cast<MemoryImage*>(src)) BlitLoops(SurfaceBlitOp::Additive, mem, x, y, srcRect, color, false);
}

void DDImage::SurfaceBlitMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  if (auto* mem = dynamic_cast<MemoryImage*>(src)) {
    mem->ScanAlpha();
    BlitLoops(SurfaceBlitOp::Normal, mem, x, y, srcRect, color, true);
  }
}

void DDImage::SurfaceBlitMirroredAdditive(Image* src, int x, int y, const Rect& srcRect, const Color& color) {
  if (src) src->mDrawn = true;
  if (auto* mem = dynamic_cast<MemoryImage*>(src)) BlitLoops(SurfaceBlitOp::Additive, mem, x, y, srcRect, color, true);
}

void DDImage::BlitLoops(SurfaceBlitOp op, MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color,
                        bool mirrored) {
  Rect s = srcRect;
  if (!ClipSurfaceBlit(x, y, s, mWidth, mHeight, src->mWidth, src->mHeight, mirrored)) return;
  if (!BeginSurfaceDraw(true)) return;
  const uint32_t* native = nullptr;
  const uint8_t* runs = nullptr;
  bool ready = true;  // the volatile blend reads the source's own pixels
  if (op != SurfaceBlitOp::Volatile) {
    native = src->BuildDisplayFormatData(mDDInterface);
    if (op == SurfaceBlitOp::Additive) src->ScanAlpha();
    if (native && op == SurfaceBlitOp::Normal) runs = src->BuildAlphaRuns();
    if (native && op == SurfaceBlitOp::Additive) runs = src->BuildAdditiveRuns(mDDInterface);
    ready = op == SurfaceBlitOp::Copy ? native != nullptr : runs != nullptr;
  }
  if (ready) {
    const SurfaceView view = View();
    const SurfaceBlitJob job{view, *src, native, runs, x, y, s, mirrored, SurfaceBlitColor(color)};
    FindSurfaceBlitLoop(op, job)(job);
  }
  UnlockSurface();
}

}  // namespace Velk
