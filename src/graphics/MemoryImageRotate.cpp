// The rotated blit: 16.16 source positions stepped per destination pixel, bilinear 2 x 2 sampling.
#include <algorithm>
#include <cmath>

#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
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

struct Sample {
  uint32_t a;
  uint32_t s[3];  // blue, green, red sums: premultiplied colour x 256
};

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
  bounds = DRect(minX, minY, maxX - minX, maxY - minY)
               .Intersect(DRect(clip.mX, clip.mY, clip.mWidth, clip.mHeight));
  return bounds.mWidth > 0 && bounds.mHeight > 0;
}

void MemoryImage::BlitRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip,
                              const Color& color, int drawMode, double angle, float centerX, float centerY) {
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
  const size_t base = static_cast<size_t>(srcRect.mY) * srcW + srcRect.mX;
  const bool white = color == Color::White;
  const uint32_t ca = color.mAlpha;
  const uint32_t col[3] = {uint32_t(color.mBlue), uint32_t(color.mGreen), uint32_t(color.mRed)};
  const uint32_t k[3] = {col[0] * ca / 255, col[1] * ca / 255, col[2] * ca / 255};

  auto draw = [&](uint32_t& d, Sample smp) {
    if (drawMode != 0) {
      uint32_t out = d & 0xFF000000u;
      for (int c = 0; c < 3; ++c) {
        const uint32_t add = white ? smp.s[c] >> 8 : ((smp.s[c] >> 8) * k[c]) >> 8;
        out |= SatAdd(sat, Channel(d, c * 8), add) << (c * 8);
      }
      d = out;
      return;
    }
    if (!white)
      for (int c = 0; c < 3; ++c) smp.s[c] = (smp.s[c] >> 8) * (col[c] + 1);
    if (smp.a > 250) {
      d = 0xFF000000u | (smp.s[2] >> 8) << 16 | (smp.s[1] >> 8) << 8 | (smp.s[0] >> 8);
      return;
    }
    const uint32_t da = d >> 24, n = 256 - smp.a;
    const uint32_t outA = 256 - ((n * (256 - da)) >> 8);
    uint32_t out = (outA - 1) << 24;
    for (int c = 0; c < 3; ++c)
      out |= ((((Channel(d, c * 8) * da) >> 8) * n + (smp.s[c] & ~255u)) / outA) << (c * 8);
    d = out;
  };

  WithSourcePixels(source, [&](auto fetch) {
    auto sample = [&](uint32_t u, uint32_t v) {
      const size_t i = base + (v >> 16) * srcW + (u >> 16);
      const bool right = (u >> 16) + 1 < static_cast<uint32_t>(srcRect.mWidth);
      const bool down = (v >> 16) + 1 < static_cast<uint32_t>(srcRect.mHeight);
      const uint32_t t[4] = {fetch(i), right ? fetch(i + 1) : 0u, down ? fetch(i + srcW) : 0u,
                             right && down ? fetch(i + srcW + 1) : 0u};
      const uint32_t fx = (u & 0xFFFE) + 1, fy = (v & 0xFFFE) + 1;
      const uint32_t frac[4] = {((0x10000 - fx) * (0x10000 - fy)) >> 16, (fx * (0x10000 - fy)) >> 16,
                                (fy * (0x10000 - fx)) >> 16, (fx * fy) >> 16};
      Sample smp{0, {0, 0, 0}};
      for (int q = 0; q < 4; ++q) {
        uint32_t w = (frac[q] * (t[q] >> 24)) >> 16;
        if (!white && drawMode == 0) w = (w * ca) >> 8;
        smp.a += w;
        for (int c = 0; c < 3; ++c) smp.s[c] += Channel(t[q], c * 8) * w;
      }
      return smp;
    };

    const int x0 = TruncInt(bounds.mX);
    for (int row = 0; row < bounds.mHeight; ++row) {
      const int Y = TruncInt(bounds.mY) + row;
      const float rx = static_cast<float>(x0) - centerX - x;
      const float ry = static_cast<float>(Y) - centerY - y;
      const int64_t u = TruncInt((rx * cs - ry * sn + centerX) * 65536.0);
      const int64_t v = TruncInt((ry * cs + rx * sn + centerY) * 65536.0);
      int64_t start = 0, end = TruncInt(bounds.mWidth - 1.0);
      if (!NarrowAxis(u, du, srcRect.mWidth, start, end) || !NarrowAxis(v, dv, srcRect.mHeight, start, end))
        continue;
      uint32_t* d = bits + static_cast<size_t>(Y) * mWidth + x0;
      int64_t pu = u + start * du, pv = v + start * dv;
      for (int64_t i = start; i <= end; ++i, pu += du, pv += dv) {
        const Sample smp = sample(static_cast<uint32_t>(pu), static_cast<uint32_t>(pv));
        if (smp.a != 0) draw(d[i], smp);
      }
    }
  });
  OnBitsChanged();
}

}  // namespace Velk
