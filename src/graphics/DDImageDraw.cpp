// Fills, lines and coverage spans on the locked 16- or 32-bit surface.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayRenderer.h"
#include "graphics/PixelOps.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

using PixelOps::TruncInt;

uint32_t Chan(const Color& c, int i) { return static_cast<uint32_t>(i == 0 ? c.mRed : i == 1 ? c.mGreen : c.mBlue); }

template <typename T, typename PixelFn>
void ForRect(const SurfaceView& v, const Rect& r, PixelFn&& fn) {
  for (int y = r.mY; y < r.mY + r.mHeight; ++y) {
    T* row = v.Row<T>(y);
    for (int x = r.mX; x < r.mX + r.mWidth; ++x) row[x] = static_cast<T>(fn(static_cast<uint32_t>(row[x])));
  }
}

template <typename PixelFn>
void ForRectAnyDepth(const SurfaceView& v, const Rect& r, PixelFn&& fn) {
  if (v.bitsPerPixel == 16) {
    ForRect<uint16_t>(v, r, fn);
  } else {
    ForRect<uint32_t>(v, r, fn);
  }
}

// The per-channel terms of an additive colour, already reduced to the channel widths.
void AdditiveTerms(const SurfaceView& v, const Color& color, uint32_t (&terms)[3]) {
  const uint32_t a = static_cast<uint32_t>(color.mAlpha);
  for (int c = 0; c < 3; ++c) terms[c] = (Chan(color, c) * a / 255) >> (8 - v.width[c]);
}

uint32_t ReadPixel(const SurfaceView& v, int x, int y) {
  return v.bitsPerPixel == 16 ? v.Row<uint16_t>(y)[x] : v.Row<uint32_t>(y)[x];
}

void WritePixel(const SurfaceView& v, int x, int y, uint32_t p) {
  if (v.bitsPerPixel == 16) {
    v.Row<uint16_t>(y)[x] = static_cast<uint16_t>(p);
  } else {
    v.Row<uint32_t>(y)[x] = p;
  }
}

uint32_t Fold(uint32_t v) { return (v >> 16) | (v & 0xFFFF); }

}  // namespace

void DDImage::SurfaceFillRect(const Rect& rect, const Color& color) {
  const Rect r = rect.Intersect(Rect(0, 0, mWidth, mHeight));
  if (r.mWidth <= 0 || r.mHeight <= 0 || color.mAlpha <= 0) return;
  if (!BeginSurfaceDraw(true)) return;
  const SurfaceView v = View();
  const uint32_t a = static_cast<uint32_t>(color.mAlpha);
  const bool is16 = v.bitsPerPixel == 16;
  uint32_t k = 0;
  if (a >= 255) {
    for (int c = 0; c < 3; ++c) k |= (((Chan(color, c) + (is16 ? 1 : 0)) * v.mask[c]) >> 8) & v.mask[c];
    ForRectAnyDepth(v, r, [k](uint32_t) { return k; });
  } else {
    const uint32_t round = is16 ? 128 : 127;
    for (int c = 0; c < 3; ++c) k += (((((Chan(color, c) * a + round) >> 8) + 1) * v.mask[c]) >> 8) & v.mask[c];
    ForRectAnyDepth(v, r, [&](uint32_t d) {
      uint32_t out = k;
      for (int ch = 0; ch < 3; ++ch)
        out += (((d & v.mask[ch]) * (256 - a) + (is16 ? v.mask[ch] : 0)) >> 8) & v.mask[ch];
      return out;
    });
  }
  UnlockSurface();
}

void DDImage::SurfaceFillRectAdditive(const Rect& rect, const Color& color) {
  const Rect r = rect.Intersect(Rect(0, 0, mWidth, mHeight));
  if (r.mWidth <= 0 || r.mHeight <= 0) return;
  if (!BeginSurfaceDraw(true)) return;
  const SurfaceView v = View();
  uint32_t terms[3];
  AdditiveTerms(v, color, terms);
  ForRectAnyDepth(v, r, [&](uint32_t d) { return v.AddTerms(d, terms); });
  UnlockSurface();
}

void DDImage::SurfaceLine(double x1, double y1, double x2, double y2, const Color& color) {
  LineLoop(x1, y1, x2, y2, color, false);
}

void DDImage::SurfaceLineAdditive(double x1, double y1, double x2, double y2, const Color& color) {
  LineLoop(x1, y1, x2, y2, color, true);
}

// A Bresenham walk from the end with the smaller major coordinate, starting from the fraction of its
// minor coordinate.
void DDImage::LineLoop(double x1, double y1, double x2, double y2, const Color& color, bool additive) {
  if (!BeginSurfaceDraw(true)) return;
  const SurfaceView v = View();
  const uint32_t a = static_cast<uint32_t>(color.mAlpha);
  uint32_t k = 0;
  uint32_t terms[3];
  AdditiveTerms(v, color, terms);
  for (int c = 0; c < 3; ++c) {
    const uint32_t m = v.mask[c];
    k +=
        a >= 255 ? ((Chan(color, c) * m + m / 2) >> 8) & m : ((((Chan(color, c) * a + 128) >> 8) * m + m / 2) >> 8) & m;
  }
  auto plot = [&](int x, int y) {
    // Lines are clipped by the caller; a stray one still never writes outside the surface.
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
    const uint32_t d = ReadPixel(v, x, y);
    uint32_t p = k;
    if (additive) {
      p = v.AddTerms(d, terms);
    } else if (a < 255) {
      for (int c = 0; c < 3; ++c) p += (((d & v.mask[c]) * (256 - a) + v.mask[c] / 2) >> 8) & v.mask[c];
    }
    WritePixel(v, x, y, p);
  };
  const bool xMajor = std::fabs(x2 - x1) > std::fabs(y2 - y1);
  double sMaj = xMajor ? x1 : y1, sMin = xMajor ? y1 : x1, eMaj = xMajor ? x2 : y2, eMin = xMajor ? y2 : x2;
  if (eMaj < sMaj) {
    std::swap(sMaj, eMaj);
    std::swap(sMin, eMin);
  }
  const double dMaj = std::fabs(eMaj - sMaj);
  const double dMin = std::fabs(eMin - sMin);
  const int minorStep = eMin >= sMin ? 1 : -1;
  // The minor coordinate never leaves the end points' bounding box.
  const double lowMinor = std::min(sMin, eMin);
  const double highMinor = std::max(sMin, eMin);
  auto plotAt = [&](int majorPos, int minorPos) {
    if (xMajor) {
      plot(majorPos, minorPos);
    } else {
      plot(minorPos, majorPos);
    }
  };
  int minor = TruncInt(sMin);
  int major = TruncInt(sMaj);
  plotAt(major, minor);
  const int incStep = TruncInt(2 * (dMin - dMaj));
  const int incFlat = TruncInt(2 * dMin);
  int e = TruncInt((sMin - TruncInt(sMin)) * incFlat + TruncInt(2 * dMin - dMaj));
  for (++major; major <= eMaj; ++major) {
    if (e > 0) {
      minor += minorStep;
      e += incStep;
      if (minor < lowMinor || minor > highMinor) break;
    } else {
      e += incFlat;
    }
    plotAt(major, minor);
  }
  UnlockSurface();
}

// A Wu line: each step blends the pixel on the line and its neighbour across it by the fraction.
void DDImage::SurfaceLineSmooth(double x1, double y1, double x2, double y2, const Color& color) {
  if (!BeginSurfaceDraw(false)) return;
  const SurfaceView v = View();
  const uint32_t a = static_cast<uint32_t>(color.mAlpha);
  uint32_t k = 0;
  for (int c = 0; c < 3; ++c) k |= ((Chan(color, c) * v.mask[c]) >> 8) & v.mask[c];
  const uint32_t spreadMask = v.mask[1] == 0x03E0 ? 0x03E07C1Fu : 0x07E0F81Fu;
  const uint32_t kSpread = (k | (k << 16)) & spreadMask;
  auto blend = [&](int x, int y, uint32_t w) {
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
    const uint32_t d = ReadPixel(v, x, y);
    uint32_t p;
    if (v.bitsPerPixel == 32) {
      const uint32_t ww = a < 255 ? (w * (a + 1)) >> 8 : w;
      p = ((((d & 0xFF00FFu) * (256 - ww) + (k & 0xFF00FFu) * ww) >> 8) & 0xFF00FFu) |
          ((((d & 0xFF00u) * (256 - ww) + (k & 0xFF00u) * ww) >> 8) & 0xFF00u);
    } else {
      const uint32_t cf = a < 255 ? (w * (a + 1)) >> 11 : w >> 3;
      const uint32_t pf = a < 255 ? (256 - ((w * (a + 1)) >> 8)) >> 3 : (256 - w) >> 3;
      const uint32_t dSpread = (d | (d << 16)) & spreadMask;
      p = Fold(((kSpread * cf) >> 5) & spreadMask) + Fold(((dSpread * pf) >> 5) & spreadMask);
    }
    WritePixel(v, x, y, p);
  };
  int ix1 = TruncInt(x1), iy1 = TruncInt(y1), ix2 = TruncInt(x2), iy2 = TruncInt(y2);
  if (iy2 < iy1) {
    std::swap(ix1, ix2);
    std::swap(iy1, iy2);
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  int dx = ix2 - ix1;
  const int dy = iy2 - iy1;
  int xStep = 1;
  if (dx < 0) {
    dx = -dx;
    xStep = -1;
  }
  uint32_t f = static_cast<uint32_t>(std::lround(std::fabs(x1 - TruncInt(x1)) * std::fabs(y1 - TruncInt(y1)) * 65536));
  uint32_t w = 255 - ((f >> 8) & 255);
  if (dx == 0 && dy == 0) {
    blend(ix2, iy2, w);
    UnlockSurface();
    return;
  }
  const bool yMajor = dx < dy;
  const uint32_t slope = static_cast<uint32_t>(
      std::lround(65536.0 * (yMajor ? static_cast<double>(dx) / dy : static_cast<double>(dy) / dx)));
  blend(ix1, iy1, w);
  const int rowLength = v.pitch / (v.bitsPerPixel / 8);
  int x = ix1, y = iy1;
  for (int step = (yMajor ? dy : dx) - 1; step > 0; --step) {
    f += slope;
    const bool minorStep = f > 0xFFFF;
    f &= 0xFFFF;
    if (yMajor) {
      y += 1;
      if (minorStep) x += xStep;
    } else {
      x += xStep;
      if (minorStep) y += 1;
    }
    w = 255 - ((f >> 8) & 255);
    blend(x, y, w);
    if (yMajor && x < rowLength - 1 && x + xStep >= 0) blend(x + xStep, y, 255 - w);
    if (!yMajor && y < mHeight - 1) blend(x, y + 1, 255 - w);
  }
  blend(ix2, iy2, w);
  UnlockSurface();
}

// Smooth additive lines are not drawn on surfaces.
void DDImage::SurfaceLineSmoothAdditive(double, double, double, double, const Color&) {}

void DDImage::FillSpansCoverage(const Span* spans, int count, const Color& color, int drawMode,
                                const unsigned char* coverage, int originX, int originY, int stride, bool unused) {
  if (count <= 0) return;
  if (Is3DDrawSurface()) {
    int minX = spans[0].x, minY = spans[0].y, maxX = minX, maxY = minY;
    for (int i = 0; i < count; ++i) {
      minX = std::min(minX, spans[i].x);
      maxX = std::max(maxX, spans[i].x + spans[i].width - 1);
      minY = std::min(minY, spans[i].y);
      maxY = std::max(maxY, spans[i].y);
    }
    std::vector<Span> shifted(spans, spans + count);
    for (Span& s : shifted) {
      s.x -= minX;
      s.y -= minY;
    }
    MemoryImage temp(mApp);
    temp.CreateBlank(maxX - minX + 1, maxY - minY + 1);
    temp.FillSpansCoverage(shifted.data(), count, color, drawMode, coverage, originX - minX, originY - minY, stride,
                           unused);
    Blit(&temp, minX, minY, Rect(0, 0, temp.mWidth, temp.mHeight), Color::White, drawMode);
    return;
  }
  if (!BeginSurfaceDraw(false)) return;
  const SurfaceView v = View();
  uint32_t k = 0;
  for (int c = 0; c < 3; ++c) k |= ((Chan(color, c) * v.mask[c]) >> 8) & v.mask[c];
  const uint32_t ca = static_cast<uint32_t>(color.mAlpha);
  for (int i = 0; i < count; ++i) {
    const Span& s = spans[i];
    if (s.y < 0 || s.y >= mHeight) continue;
    const int from = std::max(s.x, 0);
    const int to = std::min(s.x + s.width, mWidth);
    for (int x = from; x < to; ++x) {
      const uint32_t g = coverage[static_cast<size_t>(s.y - originY) * stride + (x - originX)];
      const uint32_t aa = ((g + 1) * ca) >> 8;
      const uint32_t d = ReadPixel(v, x, s.y);
      uint32_t p = 0;
      for (int c = 0; c < 3; ++c) p += (((d & v.mask[c]) * (256 - aa) + (k & v.mask[c]) * aa) >> 8) & v.mask[c];
      WritePixel(v, x, s.y, p);
    }
  }
  UnlockSurface();
  FreeNonSurfaceData();
}

}  // namespace Velk
