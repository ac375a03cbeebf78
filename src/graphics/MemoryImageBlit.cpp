// The plain blit in normal and additive mode, plain and colourised, drawn by the routines of the
// blit path table.
#include <algorithm>
#include <vector>

#include "graphics/BlitPathTable.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/RunWalk.h"
#include "graphics/SourcePixels.h"

namespace Velk {

using namespace PixelOps;

namespace {

// Cuts the source rectangle to the source and the destination; false when nothing is left.
bool ClipBlit(Rect& s, int& x, int& y, int srcW, int srcH, int dstW, int dstH) {
  const int cutLeft = std::max({0, -s.mX, -x});
  const int cutTop = std::max({0, -s.mY, -y});
  s.mX += cutLeft;
  x += cutLeft;
  s.mWidth -= cutLeft;
  s.mY += cutTop;
  y += cutTop;
  s.mHeight -= cutTop;
  s.mWidth = std::min({s.mWidth, srcW - s.mX, dstW - x});
  s.mHeight = std::min({s.mHeight, srcH - s.mY, dstH - y});
  return s.mWidth > 0 && s.mHeight > 0;
}

}  // namespace

void MemoryImage::Blit(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  if (src) src->mDrawn = true;
  auto* source = dynamic_cast<MemoryImage*>(src);
  if (!source || (drawMode != 0 && drawMode != 1)) return;
  Rect s = srcRect;
  if (ClipBlit(s, x, y, source->mWidth, source->mHeight, mWidth, mHeight)) {
    TableBlit(source, x, y, s, color, drawMode == 0 ? BlitOp::Normal : BlitOp::Additive);
  }
  OnBitsChanged();
}

void MemoryImage::TableBlit(MemoryImage* src, int x, int y, const Rect& s, const Color& color, BlitOp op) {
  uint32_t* bits = GetArgbBits();
  if (!bits) return;
  Tint tint;
  tint.r = static_cast<uint32_t>(color.mRed);
  tint.g = static_cast<uint32_t>(color.mGreen);
  tint.b = static_cast<uint32_t>(color.mBlue);
  tint.a = static_cast<uint32_t>(color.mAlpha);
  if (op == BlitOp::Additive) {
    tint.sat = SaturationTable();
    if (!tint.sat) return;
    tint.clamp = IsClampTable(tint.sat, 512, 255);
    src->ScanAlpha();
    // Held to 0..255 so that every table index stays below 512.
    auto scaled = [&](int c) { return static_cast<uint32_t>(std::clamp(c * color.mAlpha / 255, 0, 255)); };
    tint.k[0] = scaled(color.mRed);
    tint.k[1] = scaled(color.mGreen);
    tint.k[2] = scaled(color.mBlue);
  }
  const BlitPath& path = FindBlitPath({op, src->mHasAlpha != 0, !mHasAlpha && !mHasTrans, color != Color::White});
  const uint8_t* runs = path.byRuns ? src->BuildAlphaRuns() : nullptr;
  if (path.byRuns && !runs) return;
  const uint32_t* srcBits = src->mColorTable ? nullptr : src->GetArgbBits();
  if (!src->mColorTable && !srcBits) return;
  // A palettized source is looked up one row at a time.
  std::vector<uint32_t> looked(src->mColorTable ? static_cast<size_t>(s.mWidth) : 0);
  // A blit of an image onto itself reads pixels it may already have drawn, so it goes one pixel at a
  // time, each by its own alpha.
  const int chunk = src == this ? 1 : s.mWidth;
  auto draw = [&](BlitRows::Row row, uint32_t* d, const uint32_t* sp, int n) {
    for (int i = 0; i < n; i += chunk) row(d + i, sp + i, std::min(chunk, n - i), tint);
  };
  const size_t srcW = static_cast<size_t>(src->mWidth);
  const size_t dstW = static_cast<size_t>(mWidth);
  for (int j = 0; j < s.mHeight; ++j) {
    const size_t si = (s.mY + j) * srcW + s.mX;
    const uint32_t* sp = srcBits ? srcBits + si : looked.data();
    if (!srcBits) {
      const PaletteFetch fetch{src->mColorTable.get(), src->mColorIndices.get()};
      for (int i = 0; i < s.mWidth; ++i) looked[i] = fetch(si + i);
    }
    uint32_t* d = bits + (y + j) * dstW + x;
    if (!path.byRuns || src == this) {
      draw(path.row, d, sp, s.mWidth);
      continue;
    }
    // A clear run of 64 pixels or more is skipped and an opaque one copied whole. The walk costs about
    // a tenth against drawing whole rows where runs are short, and spares sprites' clear areas.
    WalkRuns<64>(
        runs + si, s.mWidth,
        [&](int i, int n) {
          const uint32_t a = sp[i] >> 24;
          if (a == 255) draw(path.opaqueRow, d + i, sp + i, n);
          return a == 0 || a == 255;
        },
        [&](int i, int n) { draw(path.row, d + i, sp + i, n); });
  }
}

void MemoryImage::BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                        int drawMode) {
  if (src) src->mDrawn = true;
  BlitRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

}  // namespace Velk
