// Which road each drawing operation of a surface image takes.
#include <algorithm>
#include <cmath>
#include <memory>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayRenderer.h"
#include "graphics/PixelOps.h"

namespace Velk {

namespace {

bool IsWhite(const Color& c) { return c == Color::White; }

RECT ToRECT(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

}  // namespace

bool DDImage::FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode,
                          int offsetX, int offsetY, bool) {
  if (!Is3DDrawSurface()) return false;
  Renderer()->FillPolygon(points, count, clip, color, drawMode, offsetX, offsetY);
  return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
  if (Is3DDrawSurface()) {
    Renderer()->FillRect(rect, color, drawMode);
    return;
  }
  ScanAlpha();
  if (IsPlain() && !Is3DOn()) {
    if (drawMode == 0) SurfaceFillRect(rect, color);
    if (drawMode == 1) SurfaceFillRectAdditive(rect, color);
    FreeNonSurfaceData();
    return;
  }
  MemoryImage::FillRect(rect, color, drawMode);
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  if (Is3DDrawSurface()) {
    Renderer()->DrawLine(x1, y1, x2, y2, color, drawMode);
    return;
  }
  if (!IsPlain() || Is3DOn()) {
    MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
    return;
  }
  using PixelOps::TruncInt;
  if (y1 == y2) {
    const int left = TruncInt(std::min(x1, x2));
    FillRect(Rect(left, TruncInt(y1), TruncInt(std::max(x1, x2)) - left + 1, 1), color, drawMode);
    return;
  }
  if (x1 == x2) {
    const int top = TruncInt(std::min(y1, y2));
    FillRect(Rect(TruncInt(x1), top, 1, TruncInt(std::max(y1, y2)) - top + 1), color, drawMode);
    return;
  }
  ScanAlpha();
  if (drawMode == 0) SurfaceLine(x1, y1, x2, y2, color);
  if (drawMode == 1) SurfaceLineAdditive(x1, y1, x2, y2, color);
  FreeNonSurfaceData();
}

void DDImage::DrawLineSmooth(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  if (Is3DDrawSurface()) {
    Renderer()->DrawLine(x1, y1, x2, y2, color, drawMode);
    return;
  }
  if (!IsPlain() || Is3DOn()) {
    MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
    return;
  }
  if (x1 == x2 || y1 == y2) {
    DrawLine(x1, y1, x2, y2, color, drawMode);
    return;
  }
  ScanAlpha();
  if (drawMode == 0) SurfaceLineSmooth(x1, y1, x2, y2, color);
  if (drawMode == 1) SurfaceLineSmoothAdditive(x1, y1, x2, y2, color);
  FreeNonSurfaceData();
}

void DDImage::Blit(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  if (src) src->mDrawn = true;
  ScanAlpha();
  if (Is3DDrawSurface()) {
    auto* dd = dynamic_cast<DDImage*>(src);
    if (dd && dd->mSurface && drawMode == 0 && IsWhite(color) && !dd->mHasAlpha) {
      DirectDrawCopy(dd, ToRECT(x, y, srcRect.mWidth, srcRect.mHeight),
                     ToRECT(srcRect.mX, srcRect.mY, srcRect.mWidth, srcRect.mHeight));
    } else {
      Renderer()->Blit(src, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode, false);
    }
    return;
  }
  if (IsPlain() && (!Is3DOn() || (mDDInterface && mDDInterface->IsCursorArea(this)))) {
    if (drawMode == 0) SurfaceBlit(src, x, y, srcRect, color);
    if (drawMode == 1) SurfaceBlitAdditive(src, x, y, srcRect, color);
    FreeNonSurfaceData();
    return;
  }
  MemoryImage::Blit(src, x, y, srcRect, color, drawMode);
}

void DDImage::BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode) {
  if (src) src->mDrawn = true;
  if (!Is3DDrawSurface()) {
    BlitRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0, 0);
    return;
  }
  const DRect placed(x, y, srcRect.mWidth, srcRect.mHeight);
  const DRect cut = placed.Intersect(DRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight));
  if (cut.mWidth == srcRect.mWidth && cut.mHeight == srcRect.mHeight) {
    Renderer()->Blit(src, x, y, srcRect, color, drawMode, true);
  } else if (cut.mWidth != 0 && cut.mHeight != 0) {
    Renderer()->BlitClipped(src, x, y, srcRect, clip, color, drawMode);
  }
}

void DDImage::BlitMirrored(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  ScanAlpha();
  if (Is3DDrawSurface()) {
    Renderer()->BlitMirrored(src, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode, false);
    return;
  }
  if (drawMode == 0) SurfaceBlitMirrored(src, x, y, srcRect, color);
  if (drawMode == 1) SurfaceBlitMirroredAdditive(src, x, y, srcRect, color);
  FreeNonSurfaceData();
}

void DDImage::BlitTransformed(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip,
                              const Color& color, int drawMode, const Rect& srcRect, bool blend) {
  if (src) src->mDrawn = true;
  if (Is3DDrawSurface()) {
    Renderer()->BlitTransformed(src, matrix, srcRect, color, drawMode, &clip, x, y, blend, false);
    return;
  }
  const int format = SurfaceFormatWord();
  if (!format) {
    MemoryImage::BlitTransformed(src, x, y, matrix, clip, color, drawMode, srcRect, blend);
    return;
  }
  if (!LockSurface()) return;
  DrawTransformedInto(src, x, y, matrix, clip.Intersect(Rect(0, 0, mWidth, mHeight)), color, drawMode, srcRect, blend,
                      mLockedSurfaceDesc.lpSurface, mLockedSurfaceDesc.lPitch, format);
  UnlockSurface();
  FreeNonSurfaceData();
}

void DDImage::BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                            const Color& color, int drawMode, float x, float y, bool blend) {
  if (src) src->mDrawn = true;
  if (Is3DDrawSurface()) {
    Renderer()->BlitTriangles(src, triangles, count, clip, color, drawMode, x, y, blend);
    return;
  }
  const int format = SurfaceFormatWord();
  if (!format) {
    MemoryImage::BlitTriangles(src, triangles, count, clip, color, drawMode, x, y, blend);
    return;
  }
  if (!LockSurface()) return;
  DrawTrianglesInto(src, triangles, count, clip.Intersect(Rect(0, 0, mWidth, mHeight)), color, drawMode, x, y, blend,
                    mLockedSurfaceDesc.lpSurface, mLockedSurfaceDesc.lPitch, format);
  UnlockSurface();
  FreeNonSurfaceData();
}

// The rasteriser's word for the surface's layout; 0 when the image has no surface to draw on (its
// bits take the drawing instead) or the layout is one the rasteriser does not write.
int DDImage::SurfaceFormatWord() {
  if (!GetSurface() || !LockSurface()) return 0;
  const DDPIXELFORMAT& f = mLockedSurfaceDesc.ddpfPixelFormat;
  int format = 0;
  if (f.dwRGBBitCount == 32) format = 0x888;
  if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0xF800 && f.dwGBitMask == 0x07E0 && f.dwBBitMask == 0x1F) format = 0x565;
  if (f.dwRGBBitCount == 16 && f.dwRBitMask == 0x7C00 && f.dwGBitMask == 0x03E0 && f.dwBBitMask == 0x1F) format = 0x555;
  if (!mLockedSurfaceDesc.lpSurface) format = 0;
  UnlockSurface();
  return format;
}

void DDImage::BlitRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                          int drawMode, double angle, float centerX, float centerY) {
  if (src) src->mDrawn = true;
  if (mNoLock) return;
  ScanAlpha();
  if (Is3DDrawSurface()) {
    Renderer()->BlitRotated(src, x, y, clip, color, drawMode, angle, centerX, centerY, srcRect);
    return;
  }
  if (!IsPlain() || Is3DOn()) {
    MemoryImage::BlitRotated(src, x, y, srcRect, clip, color, drawMode, angle, centerX, centerY);
    return;
  }
  DRect bounds;
  if (!GetRotatedBlitBounds(x, y, srcRect, clip, angle, bounds, centerX, centerY)) return;
  auto* mem = dynamic_cast<MemoryImage*>(src);
  if (!mem) {
    FreeNonSurfaceData();
    return;
  }
  mem->ScanAlpha();
  RotateLoops(mem, x, y, srcRect, color, drawMode, angle, centerX, centerY, bounds);
}

void DDImage::BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                            const Color& color, int drawMode, bool fast) {
  if (src) src->mDrawn = true;
  ScanAlpha();
  if (Is3DDrawSurface()) {
    Renderer()->BlitStretched(src, destRect, srcRect, clip, color, drawMode, fast, false);
    return;
  }
  DRect area;
  Rect clipped;
  if (!ClipStretchBlit(srcRect, clip.Intersect(Rect(0, 0, mWidth, mHeight)), destRect, area, clipped) || area.mWidth <= 0 || area.mHeight <= 0) return;
  if (!fast) {
    if (!IsPlain() || Is3DOn()) {
      MemoryImage::BlitStretched(src, destRect, srcRect, clip, color, drawMode, false);
      return;
    }
    auto* mem = dynamic_cast<MemoryImage*>(src);
    if (!mem) return;
    MemoryImage temp(mApp);
    temp.CreateBlank(clipped.mWidth, clipped.mHeight);
    temp.SmoothStretchBlit(mem, Rect(0, 0, clipped.mWidth, clipped.mHeight), area);
    Blit(&temp, clipped.mX, clipped.mY, Rect(0, 0, clipped.mWidth, clipped.mHeight), color, drawMode);
    FreeNonSurfaceData();
    return;
  }
  auto* dd = dynamic_cast<DDImage*>(src);
  if (dd && IsWhite(color) && drawMode == 0 && !dd->mHasAlpha && dd->GetSurface()) {
    // A destination that cannot hold a surface is drawn in software instead.
    if (!GetSurface()) {
      MemoryImage::BlitStretched(src, destRect, srcRect, clip, color, drawMode, true);
      return;
    }
    using PixelOps::TruncInt;
    DirectDrawCopy(dd, ToRECT(clipped.mX, clipped.mY, clipped.mWidth, clipped.mHeight),
                   RECT{TruncInt(area.mX), TruncInt(area.mY), TruncInt(area.mX + area.mWidth),
                        TruncInt(area.mY + area.mHeight)});
    if (mLockCount == 0 || mLockedSurfaceDesc.lpSurface) FreeNonSurfaceData();
    return;
  }
  auto* mem = dynamic_cast<MemoryImage*>(src);
  if (!mem) {
    FreeNonSurfaceData();
    return;
  }
  StretchLoops(mem, clipped, area, color, drawMode, false);
}

void DDImage::BlitStretchedMirrored(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                    const Color& color, int drawMode, bool fast) {
  if (src) src->mDrawn = true;
  ScanAlpha();
  if (Is3DDrawSurface()) {
    Renderer()->BlitStretched(src, destRect, srcRect, clip, color, drawMode, fast, true);
    return;
  }
  DRect area;
  Rect clipped;
  if (!ClipStretchBlitMirrored(srcRect, clip.Intersect(Rect(0, 0, mWidth, mHeight)), destRect, area, clipped) || area.mWidth <= 0 || area.mHeight <= 0)
    return;
  auto* mem = dynamic_cast<MemoryImage*>(src);
  if (!mem) {
    FreeNonSurfaceData();
    return;
  }
  StretchLoops(mem, clipped, area, color, drawMode, true);
}

// An outer lock is given up around the Blt (a locked surface cannot be blitted) and taken again.
void DDImage::DirectDrawCopy(DDImage* src, RECT dst, RECT srcRect) {
  IDirectDrawSurface* target = GetSurface();
  if (!target) return;
  if (mLockCount > 0) target->Unlock(nullptr);
  DDBLTFX fx;
  const DWORD flags = DDBLT_WAIT | (src->mHasTrans ? DDBLT_KEYSRC : 0);
  target->Blt(&dst, src->mSurface, &srcRect, flags, &fx);
  if (mLockCount > 0 && FAILED(target->Lock(nullptr, &mLockedSurfaceDesc, DDLOCK_WAIT, nullptr)))
    mLockedSurfaceDesc.lpSurface = nullptr;
}

}  // namespace Velk
