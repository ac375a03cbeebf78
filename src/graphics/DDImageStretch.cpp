// Nearest-neighbour stretch loops on the locked surface, straight or mirrored.
#include <algorithm>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/PixelOps.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

struct StretchColor {
  bool colorized;
  uint32_t ca;
  uint32_t k[3];

  explicit StretchColor(const Color& c) : colorized(c != Color::White), ca(static_cast<uint32_t>(c.mAlpha)) {
    k[0] = static_cast<uint32_t>(c.mRed) * ca / 255;
    k[1] = static_cast<uint32_t>(c.mGreen) * ca / 255;
    k[2] = static_cast<uint32_t>(c.mBlue) * ca / 255;
  }
};

// The new pixel, or d itself where the source leaves it.
uint32_t StretchPixel(const SurfaceView& v, uint32_t d, uint32_t s, bool additive, const StretchColor& sc) {
  if (additive) {
    if (s == 0) return d;
    if (!sc.colorized) return v.AddPixels(d, s);
    uint32_t terms[3];
    for (int c = 0; c < 3; ++c) terms[c] = (((s & v.mask[c]) >> v.shift[c]) * sc.k[c]) >> 8;
    return v.AddTerms(d, terms);
  }
  const uint32_t a = sc.colorized ? (s >> 24) * sc.ca / 255 : s >> 24;
  if (a == 0) return d;
  const uint32_t rest = 256 - a;
  uint32_t out = sc.colorized ? 0 : s;
  for (int c = 0; c < 3; ++c) {
    const uint32_t m = v.mask[c];
    out += sc.colorized ? (((d & m) * rest + (s & m) * sc.k[c]) >> 8) & m : (((d & m) * rest) >> 8) & m;
  }
  return out;
}

template <typename T, typename Fetch>
void Stretch(const SurfaceView& v, Fetch fetch, int srcWidth, int srcHeight, const Rect& d, const DRect& area,
             bool additive, const StretchColor& sc, bool mirrored) {
  using PixelOps::TruncInt;
  const int64_t ystart = TruncInt(area.mY * 65536);
  const int64_t xstart = TruncInt(area.mX * 65536);
  const int64_t xstep = TruncInt(area.mWidth * 65536 / d.mWidth);
  const int64_t ystep = TruncInt(area.mHeight * 65536 / d.mHeight);
  for (int r = 0; r < d.mHeight; ++r) {
    const int sy = std::clamp(static_cast<int>((ystart + r * ystep) >> 16), 0, srcHeight - 1);
    T* row = v.Row<T>(d.mY + r);
    for (int i = 0; i < d.mWidth; ++i) {
      const int sx = std::clamp(static_cast<int>((xstart + i * xstep) >> 16), 0, srcWidth - 1);
      T& out = row[mirrored ? d.mX + d.mWidth - 1 - i : d.mX + i];
      out = static_cast<T>(StretchPixel(v, out, fetch(static_cast<size_t>(sy) * srcWidth + sx), additive, sc));
    }
  }
}

}  // namespace

void DDImage::StretchLoops(MemoryImage* src, const Rect& dest, const DRect& srcArea, const Color& color,
                           int drawMode, bool mirrored) {
  const Rect d = dest.Intersect(Rect(0, 0, mWidth, mHeight));
  if (d.mWidth <= 0 || d.mHeight <= 0 || src->mWidth <= 0 || src->mHeight <= 0) return;
  if (!BeginSurfaceDraw(false)) return;
  const uint32_t* native = src->BuildDisplayFormatData(mDDInterface);
  if (!native) {
    UnlockSurface();
    return;
  }
  const SurfaceView v = View();
  const StretchColor sc(color);
  const bool additive = drawMode != 0;
  auto run = [&](auto fetch) {
    if (v.bitsPerPixel == 16) {
      Stretch<uint16_t>(v, fetch, src->mWidth, src->mHeight, d, srcArea, additive, sc, mirrored);
    } else {
      Stretch<uint32_t>(v, fetch, src->mWidth, src->mHeight, d, srcArea, additive, sc, mirrored);
    }
  };
  if (src->mColorTable && src->mColorIndices) {
    const uint8_t* idx = src->mColorIndices.get();
    run([native, idx](size_t i) { return native[idx[i]]; });
  } else {
    run([native](size_t i) { return native[i]; });
  }
  UnlockSurface();
  FreeNonSurfaceData();
}

}  // namespace Velk
