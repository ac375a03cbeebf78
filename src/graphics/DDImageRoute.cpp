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

DDImage::Road DDImage::ChooseRoad(const RoadCase& road) {
  if (Is3DDrawSurface()) return road.bltFrom && road.bltWhere != BltWhere::OffDrawSurface ? Road::Blt : Road::Renderer;
  if (!LoopsMayDraw(road.loops)) return Road::Bits;
  if (road.bltFrom && road.bltWhere != BltWhere::OnDrawSurface && road.bltFrom->GetSurface())
    return GetSurface() ? Road::Blt : road.withoutSurface;
  return Road::Loops;
}

bool DDImage::LoopsMayDraw(LoopsWhen when) {
  switch (when) {
    case LoopsWhen::Never:
      return false;
    case LoopsWhen::Plain:
      return IsPlain() && !Is3DOn();
    case LoopsWhen::PlainOrCursor:
      return IsPlain() && (!Is3DOn() || (mDDInterface && mDDInterface->IsCursorArea(this)));
    case LoopsWhen::Always:
      break;
  }
  return true;
}

bool DDImage::FillPolygon(const POINT* points, int count, const Rect& clip, const Color& color, int drawMode,
                          int offsetX, int offsetY, bool) {
  if (ChooseRoad({LoopsWhen::Never}) != Road::Renderer) return false;
  Renderer()->FillPolygon(points, count, clip, color, drawMode, offsetX, offsetY);
  return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode) {
  ScanAlpha();  // nothing to scan on the 3-D draw surface, which holds a surface
  switch (ChooseRoad({LoopsWhen::Plain})) {
    case Road::Renderer:
      Renderer()->FillRect(rect, color, drawMode);
      return;
    case Road::Loops:
      if (drawMode == 0) SurfaceFillRect(rect, color);
      if (drawMode == 1) SurfaceFillRectAdditive(rect, color);
      FreeNonSurfaceData();
      return;
    default:
      MemoryImage::FillRect(rect, color, drawMode);
  }
}

bool DDImage::LineOffTheLoops(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  switch (ChooseRoad({LoopsWhen::Plain})) {
    case Road::Renderer:
      Renderer()->DrawLine(x1, y1, x2, y2, color, drawMode);
      return true;
    case Road::Loops:
      return false;
    default:
      MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
      return true;
  }
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  if (LineOffTheLoops(x1, y1, x2, y2, color, drawMode)) return;
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
  if (LineOffTheLoops(x1, y1, x2, y2, color, drawMode)) return;
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
  auto* dd = dynamic_cast<DDImage*>(src);
  const bool copy = dd && dd->mSurface && drawMode == 0 && IsWhite(color) && !dd->mHasAlpha;
  // Off the 3-D draw surface the copy by Blt is SurfaceBlit's own choice.
  switch (ChooseRoad({LoopsWhen::PlainOrCursor, copy ? dd : nullptr, BltWhere::OnDrawSurface})) {
    case Road::Renderer:
      Renderer()->Blit(src, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode, false);
      return;
    case Road::Blt:
      DirectDrawCopy(dd, ToRECT(x, y, srcRect.mWidth, srcRect.mHeight),
                     ToRECT(srcRect.mX, srcRect.mY, srcRect.mWidth, srcRect.mHeight));
      return;
    case Road::Loops:
      if (drawMode == 0) SurfaceBlit(src, x, y, srcRect, color);
      if (drawMode == 1) SurfaceBlitAdditive(src, x, y, srcRect, color);
      FreeNonSurfaceData();
      return;
    case Road::Bits:
      MemoryImage::Blit(src, x, y, srcRect, color, drawMode);
  }
}

void DDImage::BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode) {
  if (src) src->mDrawn = true;
  if (ChooseRoad({LoopsWhen::Never}) != Road::Renderer) {
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
  if (ChooseRoad({LoopsWhen::Always}) == Road::Renderer) {
    Renderer()->BlitMirrored(src, static_cast<float>(x), static_cast<float>(y), srcRect, color, drawMode, false);
    return;
  }
  if (drawMode == 0) SurfaceBlitMirrored(src, x, y, srcRect, color);
  if (drawMode == 1) SurfaceBlitMirroredAdditive(src, x, y, srcRect, color);
  FreeNonSurfaceData();
}

// On the 3-D draw surface the device leaves the rows; elsewhere the polygon road does.
void DDImage::SetHiddenRows(int top, int bottom) {
  MemoryImage::SetHiddenRows(top, bottom);
  if (Is3DDrawSurface()) Renderer()->SetHiddenRows(top, bottom);
}

void DDImage::BlitTransformed(Image* src, float x, float y, const Matrix3x3& matrix, const Rect& clip,
                              const Color& color, int drawMode, const Rect& srcRect, bool blend) {
  if (src) src->mDrawn = true;
  // The 3-D draw surface cannot be locked, so it has no format word.
  const int format = SurfaceFormatWord();
  switch (ChooseRoad({format ? LoopsWhen::Always : LoopsWhen::Never})) {
    case Road::Renderer:
      Renderer()->BlitTransformed(src, matrix, srcRect, color, drawMode, &clip, x, y, blend, false);
      return;
    case Road::Loops:
      break;
    default:
      MemoryImage::BlitTransformed(src, x, y, matrix, clip, color, drawMode, srcRect, blend);
      return;
  }
  if (!LockSurface()) return;
  DrawTransformedInto(src, x, y, matrix, clip.Intersect(Rect(0, 0, mWidth, mHeight)), color, drawMode, srcRect, blend,
                      mLockedSurfaceDesc.lpSurface, mLockedSurfaceDesc.lPitch, format, mHiddenRows);
  UnlockSurface();
  FreeNonSurfaceData();
}

void DDImage::BlitTriangles(Image* src, const TriVertex (*triangles)[3], int count, const Rect& clip,
                            const Color& color, int drawMode, float x, float y, bool blend) {
  if (src) src->mDrawn = true;
  const int format = SurfaceFormatWord();
  switch (ChooseRoad({format ? LoopsWhen::Always : LoopsWhen::Never})) {
    case Road::Renderer:
      Renderer()->BlitTriangles(src, triangles, count, clip, color, drawMode, x, y, blend);
      return;
    case Road::Loops:
      break;
    default:
      MemoryImage::BlitTriangles(src, triangles, count, clip, color, drawMode, x, y, blend);
      return;
  }
  if (!LockSurface()) return;
  DrawTrianglesInto(src, triangles, count, clip.Intersect(Rect(0, 0, mWidth, mHeight)), color, drawMode, x, y, blend,
                    mLockedSurfaceDesc.lpSurface, mLockedSurfaceDesc.lPitch, format, mHiddenRows);
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
  switch (ChooseRoad({LoopsWhen::Plain})) {
    case Road::Renderer:
      Renderer()->BlitRotated(src, x, y, clip, color, drawMode, angle, centerX, centerY, srcRect);
      return;
    case Road::Loops:
      break;
    default:
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

void DDImage::BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                            int drawMode, bool fast) {
  StretchedBlit(src, destRect, srcRect, clip, color, drawMode, fast, false);
}

void DDImage::BlitStretchedMirrored(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                    const Color& color, int drawMode, bool fast) {
  StretchedBlit(src, destRect, srcRect, clip, color, drawMode, fast, true);
}

// A mirrored stretch is always nearest-pixel on the loops. An unmirrored smooth stretch is drawn
// into a temporary image that is then blitted; an unmirrored fast one is a Blt where it is an
// opaque copy between surfaces.
void DDImage::StretchedBlit(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip, const Color& color,
                            int drawMode, bool fast, bool mirrored) {
  if (src) src->mDrawn = true;
  ScanAlpha();
  DRect area;
  Rect clipped;
  const Rect onImage = clip.Intersect(Rect(0, 0, mWidth, mHeight));
  const bool visible = (mirrored ? ClipStretchBlitMirrored(srcRect, onImage, destRect, area, clipped)
                                 : ClipStretchBlit(srcRect, onImage, destRect, area, clipped)) &&
                       area.mWidth > 0 && area.mHeight > 0;
  const bool smooth = !fast && !mirrored;
  auto* dd = dynamic_cast<DDImage*>(src);
  const bool copy = visible && fast && !mirrored && dd && IsWhite(color) && drawMode == 0 && !dd->mHasAlpha;
  const Road road =
      ChooseRoad({smooth ? LoopsWhen::Plain : LoopsWhen::Always, copy ? dd : nullptr, BltWhere::OffDrawSurface});
  if (road == Road::Renderer) {
    Renderer()->BlitStretched(src, destRect, srcRect, clip, color, drawMode, fast, mirrored);
    return;
  }
  if (!visible) return;
  if (road == Road::Bits) {
    MemoryImage::BlitStretched(src, destRect, srcRect, clip, color, drawMode, fast);
    return;
  }
  if (road == Road::Blt) {
    using PixelOps::TruncInt;
    DirectDrawCopy(
        dd, ToRECT(clipped.mX, clipped.mY, clipped.mWidth, clipped.mHeight),
        RECT{TruncInt(area.mX), TruncInt(area.mY), TruncInt(area.mX + area.mWidth), TruncInt(area.mY + area.mHeight)});
    if (mLockCount == 0 || mLockedSurfaceDesc.lpSurface) FreeNonSurfaceData();
    return;
  }
  auto* mem = dynamic_cast<MemoryImage*>(src);
  if (!mem) {
    if (!smooth) FreeNonSurfaceData();
    return;
  }
  if (!smooth) {
    StretchLoops(mem, clipped, area, color, drawMode, mirrored);
    return;
  }
  MemoryImage temp(mApp);
  temp.CreateBlank(clipped.mWidth, clipped.mHeight);
  temp.SmoothStretchBlit(mem, Rect(0, 0, clipped.mWidth, clipped.mHeight), area);
  Blit(&temp, clipped.mX, clipped.mY, Rect(0, 0, clipped.mWidth, clipped.mHeight), color, drawMode);
  FreeNonSurfaceData();
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
