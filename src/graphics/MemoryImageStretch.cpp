// Stretched blits: nearest-pixel and two-pass resampling.
#include <algorithm>
#include <cmath>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/SourcePixels.h"

namespace Velk {

using namespace PixelOps;

namespace {

bool ClipStretch(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc, Rect& outDest,
                 bool mirrored) {
  if (destRect.mWidth <= 0 || destRect.mHeight <= 0) return false;
  outDest = destRect.Intersect(clip);
  const double sx = double(srcRect.mWidth) / destRect.mWidth;
  const double sy = double(srcRect.mHeight) / destRect.mHeight;
  const double fromLeft = mirrored ? destRect.mX + destRect.mWidth - outDest.mX - outDest.mWidth
                                   : outDest.mX - destRect.mX;
  outSrc.mX = fromLeft * sx + srcRect.mX;
  outSrc.mY = (outDest.mY - destRect.mY) * sy + srcRect.mY;
  outSrc.mWidth = srcRect.mWidth + sx * (outDest.mWidth - destRect.mWidth);
  outSrc.mHeight = srcRect.mHeight + sy * (outDest.mHeight - destRect.mHeight);
  return outSrc.mWidth > 0 && outSrc.mHeight > 0;
}

// One resampling record: blue, green, red, alpha totals.
struct Acc {
  uint32_t c[4] = {0, 0, 0, 0};
  void Add(uint32_t pixel, uint32_t weight) {
    for (int i = 0; i < 4; ++i) c[i] += Channel(pixel, i * 8) * weight;
  }
  void AddScaled(const Acc& a, uint32_t weight) {
    for (int i = 0; i < 4; ++i) c[i] += a.c[i] * weight;
  }
};

// Spreads one source line over destination records by area (shrinking): a source unit starting at
// a covers [a, a + ratio) and is split at the record boundary.
template <typename AddFn>
void SpreadByArea(double a, double ratio, uint32_t unitWeight, int maxRecord, AddFn add) {
  const double b = a + ratio;
  const int ia = std::clamp(TruncInt(a), 0, maxRecord);
  const int ib = TruncInt(b);
  if (TruncInt(a) == ib) {
    add(ia, static_cast<uint32_t>(TruncInt(ratio * unitWeight)));
  } else {
    add(ia, static_cast<uint32_t>(TruncInt((ib - a) * unitWeight)));
    add(std::min(ia + 1, maxRecord), static_cast<uint32_t>(TruncInt((b - ib) * unitWeight)));
  }
}

}  // namespace

bool MemoryImage::ClipStretchBlit(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc,
                                  Rect& outDest) {
  return ClipStretch(srcRect, clip, destRect, outSrc, outDest, false);
}

bool MemoryImage::ClipStretchBlitMirrored(const Rect& srcRect, const Rect& clip, const Rect& destRect,
                                          DRect& outSrc, Rect& outDest) {
  return ClipStretch(srcRect, clip, destRect, outSrc, outDest, true);
}

void MemoryImage::BlitStretched(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                                const Color& color, int, bool fast) {
  if (src) src->mDrawn = true;
  auto* source = dynamic_cast<MemoryImage*>(src);
  if (!source) return;
  DRect s;
  Rect d;
  // Nothing is written outside this image, whatever the clip says.
  if (!ClipStretchBlit(srcRect, clip.Intersect(Rect(0, 0, mWidth, mHeight)), destRect, s, d)) return;
  if (fast) {
    if (color != Color::White) return;
    FastStretchBlit(source, d, s);
  } else {
    SmoothStretchBlit(source, d, s);
  }
  OnBitsChanged();
}

void MemoryImage::FastStretchBlit(MemoryImage* src, const Rect& d, const DRect& s) {
  uint32_t* bits = GetArgbBits();
  if (!bits || d.mWidth <= 0 || d.mHeight <= 0 || src->mWidth <= 0 || src->mHeight <= 0) return;
  const double xstep = s.mWidth / d.mWidth, ystep = s.mHeight / d.mHeight;
  const size_t srcW = static_cast<size_t>(src->mWidth);
  WithSourcePixels(src, [&](auto fetch) {
    double sy = s.mY;
    for (int j = 0; j < d.mHeight; ++j, sy += ystep) {
      const size_t row = static_cast<size_t>(std::clamp(TruncInt(sy), 0, src->mHeight - 1)) * srcW;
      uint32_t* out = bits + static_cast<size_t>(d.mY + j) * mWidth + d.mX;
      double sx = s.mX;
      for (int i = 0; i < d.mWidth; ++i, sx += xstep) {
        const uint32_t p = fetch(row + std::clamp(TruncInt(sx), 0, src->mWidth - 1));
        out[i] = OverLane(out[i], p, p >> 24);
      }
    }
  });
}

void MemoryImage::SmoothStretchBlit(MemoryImage* src, const Rect& d, const DRect& s) {
  uint32_t* bits = GetArgbBits();
  const int w = d.mWidth, h = d.mHeight;
  if (!bits || w <= 0 || h <= 0) return;

  int x0 = TruncInt(std::floor(s.mX)), y0 = TruncInt(std::floor(s.mY));
  int ww = TruncInt(std::ceil(s.mX - x0 + s.mWidth)), wh = TruncInt(std::ceil(s.mY - y0 + s.mHeight));
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  ww = std::min(ww, src->mWidth - x0);
  wh = std::min(wh, src->mHeight - y0);
  if (ww < 1 || wh < 1) return;

  const int stride = w + 4;
  const int maxRecord = w + 3;
  std::vector<Acc> H(static_cast<size_t>(wh) * stride);
  std::vector<Acc> V(static_cast<size_t>(h + 4) * stride);
  const size_t srcW = static_cast<size_t>(src->mWidth);

  WithSourcePixels(src, [&](auto fetch) {
    for (int r = 0; r < wh; ++r) {
      const size_t row = static_cast<size_t>(y0 + r) * srcW;
      Acc* out = &H[static_cast<size_t>(r) * stride];
      if (w > s.mWidth) {
        // A single destination column has no spacing to spread over.
        const double ratio = w > 1 ? (s.mWidth - 1) / (w - 1) : 0.0;
        for (int k = 1; k <= w; ++k) {
          const double pos = (k - 1) * ratio + s.mX;
          const int p = std::clamp(TruncInt(pos), x0, x0 + ww - 1);
          const uint32_t f = static_cast<uint32_t>(TruncInt((1.0 - (pos - TruncInt(pos))) * 257));
          out[k].Add(fetch(row + p), f);
          out[k].Add(fetch(row + std::min(p + 1, x0 + ww - 1)), 257 - f);
        }
      } else {
        const double ratio = w / s.mWidth;
        for (int k = 0; k < ww; ++k) {
          const uint32_t p = fetch(row + x0 + k);
          SpreadByArea(k * ratio + (x0 - s.mX) * ratio + 1.0, ratio, 257, maxRecord,
                       [&](int rec, uint32_t weight) { out[rec].Add(p, weight); });
        }
      }
    }
  });

  auto hRow = [&](int r) { return &H[static_cast<size_t>(r) * stride]; };
  auto vRow = [&](int r) { return &V[static_cast<size_t>(r) * stride]; };
  if (h > s.mHeight) {
    const double ratio = h > 1 ? (s.mHeight - 1) / (h - 1) : 0.0;
    for (int j = 0; j < h; ++j) {
      const double pos = j * ratio + (s.mY - TruncInt(s.mY));
      const int p = std::clamp(TruncInt(pos), 0, wh - 1);
      const uint32_t f = static_cast<uint32_t>(TruncInt((1.0 - (pos - TruncInt(pos))) * 256));
      const Acc* a = hRow(p);
      const Acc* b = hRow(std::min(p + 1, wh - 1));
      for (int k = 1; k <= w; ++k) {
        vRow(j + 1)[k].AddScaled(a[k], f);
        vRow(j + 1)[k].AddScaled(b[k], 256 - f);
      }
    }
  } else {
    const double ratio = h / s.mHeight;
    for (int r = 0; r < wh; ++r) {
      const Acc* in = hRow(r);
      SpreadByArea(r * ratio + (y0 - s.mY) * ratio + 1.0, ratio, 256, h + 3, [&](int rec, uint32_t weight) {
        for (int k = 1; k <= w; ++k) vRow(rec)[k].AddScaled(in[k], weight);
      });
    }
  }

  for (int j = 0; j < h; ++j) {
    uint32_t* out = bits + static_cast<size_t>(d.mY + j) * mWidth + d.mX;
    const Acc* in = vRow(j + 1);
    for (int i = 0; i < w; ++i) {
      const uint32_t A = std::min(in[i + 1].c[3] >> 16, 255u);
      if (A == 0) continue;
      const uint32_t dp = out[i], da = dp >> 24;
      uint32_t px = (Div255((255 - da) * A) + da) << 24;
      for (int c = 0; c < 3; ++c)
        px |= (((Channel(dp, c * 8) * (256 - A)) >> 8) + ((A * std::min(in[i + 1].c[c] >> 16, 255u)) >> 8)) << (c * 8);
      out[i] = px;
    }
  }
}

}  // namespace Velk
