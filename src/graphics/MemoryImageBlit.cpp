// The plain blit in normal and additive mode, plain and colourised.
#include <algorithm>
#include <cstring>

#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
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

uint32_t ColorizedTerms(uint32_t s, uint32_t d, uint32_t w, uint32_t r, uint32_t g, uint32_t b) {
  const uint32_t v = 256 - w;
  if (r == g && g == b) {
    // Uniform grey: one multiplier for red and blue in one word.
    const uint32_t rb = (((((s & 0x00FF00FFu) * r) >> 8) & 0x00FF00FFu) * w) >> 8;
    const uint32_t gs = ((s & 0x0000FF00u) * w * r) >> 16;
    return ((rb + (((d & 0x00FF00FFu) * v) >> 8)) & 0x00FF00FFu) |
           ((gs + (((d & 0x0000FF00u) * v) >> 8)) & 0x0000FF00u);
  }
  const uint32_t rs = ((((s & 0x00FF0000u) * w) >> 8) * r) >> 8;
  const uint32_t gs = ((s & 0x0000FF00u) * w * g) >> 16;
  const uint32_t bs = ((s & 0x000000FFu) * w * b) >> 16;
  return ((rs + (((d & 0x00FF0000u) * v) >> 8)) & 0x00FF0000u) |
         ((gs + (((d & 0x0000FF00u) * v) >> 8)) & 0x0000FF00u) | ((bs + (((d & 0x000000FFu) * v) >> 8)) & 0xFFu);
}

}  // namespace

void MemoryImage::Blit(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) {
  if (src) src->mDrawn = true;
  auto* source = dynamic_cast<MemoryImage*>(src);
  if (!source || (drawMode != 0 && drawMode != 1)) return;
  Rect s = srcRect;
  if (ClipBlit(s, x, y, source->mWidth, source->mHeight, mWidth, mHeight)) {
    if (drawMode == 0)
      NormalBlit(source, x, y, s, color);
    else
      AdditiveBlit(source, x, y, s, color);
  }
  OnBitsChanged();
}

void MemoryImage::NormalBlit(MemoryImage* src, int x, int y, const Rect& s, const Color& color) {
  uint32_t* bits = GetArgbBits();
  if (!bits) return;
  const size_t srcW = static_cast<size_t>(src->mWidth);
  const size_t dstW = static_cast<size_t>(mWidth);
  const bool white = color == Color::White;
  const bool opaqueDest = !mHasAlpha && !mHasTrans;
  const uint8_t* runs = white ? src->BuildAlphaRuns() : nullptr;

  WithSourcePixels(src, [&](auto fetch) {
    for (int j = 0; j < s.mHeight; ++j) {
      const size_t si = (s.mY + j) * srcW + s.mX;
      uint32_t* d = bits + (y + j) * dstW + x;
      if (runs) {
        // Transparent runs are skipped whole; on an opaque destination opaque runs are copied.
        for (int i = 0; i < s.mWidth;) {
          const int n = std::min<int>(runs[si + i], s.mWidth - i);
          const uint32_t a = fetch(si + i) >> 24;
          if (a != 0 && !opaqueDest) {
            for (int k = i; k < i + n; ++k) {
              const uint32_t p = fetch(si + k);
              d[k] = OverLane(d[k], p, p >> 24);
            }
          } else if (a == 255) {
            for (int k = i; k < i + n; ++k) d[k] = fetch(si + k);
          } else if (a != 0) {
            for (int k = i; k < i + n; ++k) {
              const uint32_t p = fetch(si + k);
              d[k] = 0xFF000000u | BlendLane(p, d[k], p >> 24);
            }
          }
          i += n;
        }
      } else if (!white) {
        const uint32_t r = color.mRed, g = color.mGreen, b = color.mBlue, ca = color.mAlpha;
        for (int i = 0; i < s.mWidth; ++i) {
          const uint32_t p = fetch(si + i);
          const uint32_t sa = Div255((p >> 24) * ca);
          if (sa == 0) continue;
          const Mix m = MixOver(d[i] >> 24, sa);
          d[i] = (m.outA << 24) | ColorizedTerms(p, d[i], m.w, r, g, b);
        }
      }
    }
  });
}

void MemoryImage::AdditiveBlit(MemoryImage* src, int x, int y, const Rect& s, const Color& color) {
  uint32_t* bits = GetArgbBits();
  const uint8_t* sat = SaturationTable();
  if (!bits || !sat) return;
  src->ScanAlpha();
  const int width = s.mWidth, height = s.mHeight;
  const size_t srcW = static_cast<size_t>(src->mWidth);
  const size_t dstW = static_cast<size_t>(mWidth);
  // Held to 0..255 so that every table index stays below 512.
  auto scaled = [&](int c) { return static_cast<uint32_t>(std::clamp(c * color.mAlpha / 255, 0, 255)); };
  const uint32_t kr = scaled(color.mRed), kg = scaled(color.mGreen), kb = scaled(color.mBlue);

  // added(p, r, g, b) gives the amounts added to each channel; one loop per kind keeps the per-pixel
  // work free of tests.
  auto run = [&](auto added) {
    WithSourcePixels(src, [&](auto fetch) {
      for (int j = 0; j < height; ++j) {
        const size_t si = (s.mY + j) * srcW + s.mX;
        uint32_t* d = bits + (y + j) * dstW + x;
        for (int i = 0; i < width; ++i) {
          uint32_t r, g, b;
          added(fetch(si + i), r, g, b);
          const uint32_t dp = d[i];
          d[i] = (dp & 0xFF000000u) | uint32_t(sat[Channel(dp, 16) + r]) << 16 |
                 uint32_t(sat[Channel(dp, 8) + g]) << 8 | sat[Channel(dp, 0) + b];
        }
      }
    });
  };
  const bool white = color == Color::White;
  if (white && !src->mHasAlpha) {
    run([](uint32_t p, uint32_t& r, uint32_t& g, uint32_t& b) {
      r = Channel(p, 16);
      g = Channel(p, 8);
      b = Channel(p, 0);
    });
  } else if (white) {
    run([](uint32_t p, uint32_t& r, uint32_t& g, uint32_t& b) {
      const uint32_t sa = p >> 24;
      r = (Channel(p, 16) * sa) >> 8;
      g = (Channel(p, 8) * sa) >> 8;
      b = (Channel(p, 0) * sa) >> 8;
    });
  } else if (!src->mHasAlpha) {
    run([=](uint32_t p, uint32_t& r, uint32_t& g, uint32_t& b) {
      r = (Channel(p, 16) * kr) >> 8;
      g = (Channel(p, 8) * kg) >> 8;
      b = (Channel(p, 0) * kb) >> 8;
    });
  } else {
    run([=](uint32_t p, uint32_t& r, uint32_t& g, uint32_t& b) {
      const uint32_t sa = p >> 24;
      r = (Channel(p, 16) * kr * sa) >> 16;
      g = (Channel(p, 8) * kg * sa) >> 16;
      b = (((Channel(p, 0) * kb) >> 8) * sa) >> 8;
    });
  }
}

void MemoryImage::BlitF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                        int drawMode) {
  if (src) src->mDrawn = true;
  BlitRotated(src, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

}  // namespace Velk
