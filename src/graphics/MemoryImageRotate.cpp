// The rotated blit: 16.16 source positions stepped per destination pixel, bilinear 2 x 2 sampling.
#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/RotateRows.h"
#include "graphics/SourcePixels.h"

namespace Velk {

using namespace PixelOps;

namespace {

bool InsideImage(const Rect& r, const Image& image) {
  return r.mX >= 0 && r.mY >= 0 && r.mWidth >= 0 && r.mHeight >= 0 && r.mX + r.mWidth <= image.mWidth &&
         r.mY + r.mHeight <= image.mHeight;
}

// Narrows [start, end] along one axis so that the top-left texel of every sample lies inside a source
// side of `size` texels; false when the row has no such sample. Texels of the footprint beyond the
// right or bottom edge count as transparent, so the last column and row are drawn too.
bool NarrowAxis(int64_t pos, int64_t step, int64_t size, int64_t& start, int64_t& end) {
  const int64_t limit = (size << 16) - 1;
  if (step == 0) return pos >= 0 && pos <= limit;
  if (step > 0) {
    if (pos > limit) return false;
    if (pos < 0) start = std::max(start, (-pos + step - 1) / step);
    end = std::min(end, (limit - pos) / step);
  } else {
    if (pos < 0) return false;
    if (pos > limit) start = std::max(start, (pos - limit - step - 1) / -step);
    end = std::min(end, pos / -step);
  }
  return true;
}

}  // namespace

bool MemoryImage::GetRotatedBlitBounds(float x, float y, const Rect& srcRect, const Rect& clip, double angle,
                                       DRect& bounds, float centerX, float centerY) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double px[4] = {0, double(srcRect.mWidth), 0, double(srcRect.mWidth)};
  const double py[4] = {0, 0, double(srcRect.mHeight), double(srcRect.mHeight)};
  double minX = 1e7, minY = 1e7, maxX = -1e7, maxY = -1e7;
  for (int i = 0; i < 4; ++i) {
    const double dx = px[i] - centerX, dy = py[i] - centerY;
    const float tx = static_cast<float>(dx * c + dy * s + centerX + x);
    const float ty = static_cast<float>(dy * c - dx * s + centerY + y);
    minX = std::min<double>(minX, tx);
    maxX = std::max<double>(maxX, tx);
    minY = std::min<double>(minY, ty);
    maxY = std::max<double>(maxY, ty);
  }
  bounds = DRect(minX, minY, maxX - minX, maxY - minY).Intersect(DRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight));
  return bounds.mWidth > 0 && bounds.mHeight > 0;
}

void MemoryImage::BlitRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                              int drawMode, double angle, float centerX, float centerY) {
  if (src) src->mDrawn = true;
  auto* source = dynamic_cast<MemoryImage*>(src);
  if (!source || !InsideImage(srcRect, *source)) return;
  DRect bounds;
  // The clip is held inside this image so that no row or column is written outside it.
  const Rect inside = clip.Intersect(Rect(0, 0, mWidth, mHeight));
  if (!GetRotatedBlitBounds(x, y, srcRect, inside, angle, bounds, centerX, centerY)) return;
  uint32_t* bits = GetArgbBits();
  const uint8_t* sat = SaturationTable();
  if (!bits || (drawMode != 0 && !sat)) return;

  const float cs = static_cast<float>(std::cos(angle)), sn = static_cast<float>(std::sin(angle));
  const int64_t du = TruncInt(std::cos(angle) * 65536), dv = TruncInt(std::sin(angle) * 65536);
  const size_t srcW = static_cast<size_t>(source->mWidth);
  const uint32_t ca = static_cast<uint32_t>(color.mAlpha);
  RotateTint tint{drawMode != 0,
                  color == Color::White,
                  ca,
                  {uint32_t(color.mBlue), uint32_t(color.mGreen), uint32_t(color.mRed)},
                  {},
                  sat,
                  drawMode != 0 && IsClampTable(sat, 512, 255)};
  for (int c = 0; c < 3; ++c) tint.k[c] = tint.col[c] * ca / 255;

  // A palettized source rectangle is looked up once into plain texels.
  std::vector<uint32_t> looked;
  RotateSource from{nullptr, srcW, static_cast<uint32_t>(srcRect.mWidth), static_cast<uint32_t>(srcRect.mHeight)};
  WithSourcePixels(source, [&](auto fetch) {
    if constexpr (std::is_same_v<decltype(fetch), BitsFetch>) {
      from.texels = fetch.bits + static_cast<size_t>(srcRect.mY) * srcW + srcRect.mX;
    } else {
      looked.resize(static_cast<size_t>(srcRect.mWidth) * srcRect.mHeight + 1);  // and a word to read past
      for (int j = 0; j < srcRect.mHeight; ++j)
        for (int i = 0; i < srcRect.mWidth; ++i)
          looked[static_cast<size_t>(j) * srcRect.mWidth + i] = fetch((srcRect.mY + j) * srcW + srcRect.mX + i);
      from.texels = looked.data();
      from.stride = static_cast<size_t>(srcRect.mWidth);
    }
  });
  if (!from.texels) return;

  const int x0 = TruncInt(bounds.mX);
  for (int row = 0; row < bounds.mHeight; ++row) {
    const int Y = TruncInt(bounds.mY) + row;
    const float rx = static_cast<float>(x0) - centerX - x;
    const float ry = static_cast<float>(Y) - centerY - y;
    const int64_t u = TruncInt((rx * cs - ry * sn + centerX) * 65536.0);
    const int64_t v = TruncInt((ry * cs + rx * sn + centerY) * 65536.0);
    int64_t start = 0, end = TruncInt(bounds.mWidth - 1.0);
    if (!NarrowAxis(u, du, srcRect.mWidth, start, end) || !NarrowAxis(v, dv, srcRect.mHeight, start, end) ||
        start > end)
      continue;
    uint32_t* d = bits + static_cast<size_t>(Y) * mWidth + x0;
    RotateRow(d + start, static_cast<int>(end - start + 1), static_cast<uint32_t>(u + start * du),
              static_cast<uint32_t>(v + start * dv), static_cast<int32_t>(du), static_cast<int32_t>(dv), from, tint);
  }
  OnBitsChanged();
}

}  // namespace Velk
