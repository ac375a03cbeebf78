// Fills, lines and coverage spans of the software image.
#include <algorithm>
#include <cmath>

#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"

namespace Velk {

using namespace PixelOps;

namespace {

// A horizontal or vertical line (or a single point) is a one-pixel-wide fill.
bool AxisLineRect(double x1, double y1, double x2, double y2, Rect& out) {
  if (y1 == y2) {
    const int left = TruncInt(std::min(x1, x2));
    out = Rect(left, TruncInt(y1), TruncInt(std::max(x1, x2)) - left + 1, TruncInt(y2 - y1 + 1.0));
    return true;
  }
  if (x1 == x2) {
    const int top = TruncInt(std::min(y1, y2));
    out = Rect(TruncInt(x1), top, TruncInt(x2 - x1 + 1.0), TruncInt(std::max(y1, y2)) - top + 1);
    return true;
  }
  return false;
}

}  // namespace

void MemoryImage::FillRect(const Rect& rect, const Color& color, int) {
  const Rect r = rect.Intersect(Rect(0, 0, mWidth, mHeight));
  uint32_t* bits = GetArgbBits();
  if (r.mWidth > 0 && r.mHeight > 0 && bits) {
    const uint32_t c = color.ToArgb();
    const uint32_t a = c >> 24;
    for (int y = r.mY; y < r.mY + r.mHeight; ++y) {
      uint32_t* p = bits + static_cast<size_t>(y) * mWidth + r.mX;
      if (a == 255)
        std::fill(p, p + r.mWidth, c);
      else
        for (int i = 0; i < r.mWidth; ++i) p[i] = OverSummed(p[i], c, a);
    }
  }
  OnBitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect) {
  const Rect r = rect.Intersect(Rect(0, 0, mWidth, mHeight));
  uint32_t* bits = GetArgbBits();
  if (r.mWidth > 0 && r.mHeight > 0 && bits) {
    for (int y = r.mY; y < r.mY + r.mHeight; ++y) {
      uint32_t* p = bits + static_cast<size_t>(y) * mWidth + r.mX;
      std::fill(p, p + r.mWidth, 0u);
    }
  }
  OnBitsChanged();
}

void MemoryImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  Rect axis;
  if (AxisLineRect(x1, y1, x2, y2, axis)) {
    FillRect(axis, color, drawMode);
    return;
  }
  if (drawMode == 0 || drawMode == 1) PlainLine(x1, y1, x2, y2, color, drawMode == 1);
  OnBitsChanged();
}

// Integer midpoint walk along the major axis. Pixels outside the image are not plotted.
void MemoryImage::PlainLine(double x1, double y1, double x2, double y2, const Color& color, bool additive) {
  uint32_t* bits = GetArgbBits();
  const uint8_t* sat = SaturationTable();
  if (!bits || (additive && !sat)) return;

  const uint32_t a = static_cast<uint32_t>(color.mAlpha);
  const uint32_t ch[3] = {static_cast<uint32_t>(color.mBlue), static_cast<uint32_t>(color.mGreen),
                          static_cast<uint32_t>(color.mRed)};
  auto plot = [&](int px, int py) {
    if (px < 0 || py < 0 || px >= mWidth || py >= mHeight) return;
    uint32_t& d = bits[static_cast<size_t>(py) * mWidth + px];
    uint32_t out = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
      const int shift = i * 8;
      const uint32_t dc = Channel(d, shift);
      if (additive)
        out |= SatAdd(sat, dc, ch[i] * a / 255) << shift;
      else if (a == 255)
        out |= ((ch[i] * 255 + 127) >> 8) << shift;
      else
        out += (((((ch[i] * a + 128) >> 8) * 255 + 127) >> 8) + ((dc * (256 - a) + 127) >> 8)) << shift;
    }
    d = out;
  };

  const bool yMajor = std::fabs(x2 - x1) <= std::fabs(y2 - y1);
  double sMaj = yMajor ? y1 : x1, sMin = yMajor ? x1 : y1;
  double eMaj = yMajor ? y2 : x2, eMin = yMajor ? x2 : y2;
  if (sMaj > eMaj) {
    std::swap(sMaj, eMaj);
    std::swap(sMin, eMin);
  }
  const int step = eMin >= sMin ? 1 : -1;
  const double dMinor = std::fabs(eMin - sMin);
  const double dMajor = eMaj - sMaj;
  const int inc2 = TruncInt(2 * dMinor);
  const int inc1 = TruncInt(2 * (dMinor - dMajor));
  const double frac = sMin - std::trunc(sMin);
  int error = TruncInt(frac * inc2 + TruncInt(2 * dMinor - dMajor));

  int minor = TruncInt(sMin);
  const int minorLo = std::min(TruncInt(sMin), TruncInt(eMin));
  const int minorHi = std::max(TruncInt(sMin), TruncInt(eMin));
  auto plotMajorMinor = [&](int maj, int min) { yMajor ? plot(min, maj) : plot(maj, min); };
  plotMajorMinor(TruncInt(sMaj), minor);
  for (int maj = TruncInt(sMaj + 1.0); maj <= eMaj; ++maj) {
    if (error >= 1) {
      error += inc1;
      minor += step;
    } else {
      error += inc2;
    }
    if (minor < minorLo || minor > minorHi) break;
    plotMajorMinor(maj, minor);
  }
}

void MemoryImage::DrawLineSmooth(double x1, double y1, double x2, double y2, const Color& color, int drawMode) {
  Rect axis;
  if (AxisLineRect(x1, y1, x2, y2, axis)) {
    FillRect(axis, color, drawMode);
    return;
  }
  if (drawMode != 0) return;
  uint32_t* bits = GetArgbBits();
  if (!bits) return;

  const uint32_t c = color.ToArgb();
  const uint32_t ca = static_cast<uint32_t>(color.mAlpha);
  auto plot = [&](int px, int py, uint32_t weight) {
    if (px < 0 || py < 0 || px >= mWidth || py >= mHeight) return;
    const uint32_t sa = ca == 255 ? weight : ((ca + 1) * weight) >> 8;
    uint32_t& d = bits[static_cast<size_t>(py) * mWidth + px];
    d = OverSummed(d, c, sa);
  };

  if (y1 > y2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  int x = TruncInt(x1), y = TruncInt(y1);
  const int ex = TruncInt(x2), ey = TruncInt(y2);
  const int dx = ex - x, dy = ey - y;
  const int s = dx < 0 ? -1 : 1;
  uint32_t acc = static_cast<uint32_t>(TruncInt(std::fabs(y1 - y) * std::fabs(x1 - x) * 65536));
  auto lowWeight = [&] { return 255 - ((acc >> 8) & 255); };
  auto highWeight = [&] { return (acc >> 8) & 255; };

  plot(x, y, lowWeight());
  if (std::abs(dx) < dy) {
    const uint32_t adjust = static_cast<uint32_t>(TruncInt(65536 * ((x2 - x1) * s) / (y2 - y1)));
    for (int i = 0; i < dy - 1; ++i) {
      acc += adjust;
      if (acc >= 0x10000) {
        acc &= 0xFFFF;
        x += s;
      }
      ++y;
      plot(x, y, lowWeight());
      plot(x + s, y, highWeight());
    }
  } else {
    const uint32_t adjust = static_cast<uint32_t>(TruncInt(65536 * (y2 - y1) / ((x2 - x1) * s)));
    for (int i = 0; i < std::abs(dx) - 1; ++i) {
      acc += adjust;
      if (acc >= 0x10000) {
        acc &= 0xFFFF;
        ++y;
      }
      x += s;
      plot(x, y, lowWeight());
      plot(x, y + 1, highWeight());
    }
  }
  plot(ex, ey, lowWeight());
  OnBitsChanged();
}

void MemoryImage::FillSpansCoverage(const Span* spans, int count, const Color& color, int,
                                    const unsigned char* coverage, int originX, int originY, int stride, bool) {
  uint32_t* bits = GetArgbBits();
  if (!bits || !spans || !coverage) return;
  const uint32_t c = color.ToArgb();
  const uint32_t ca = static_cast<uint32_t>(color.mAlpha);
  for (int i = 0; i < count; ++i) {
    const Span& sp = spans[i];
    if (sp.y < 0 || sp.y >= mHeight) continue;
    const int from = std::max(sp.x, 0), to = std::min(sp.x + sp.width, mWidth);
    const unsigned char* cov = coverage + static_cast<ptrdiff_t>(sp.y - originY) * stride - originX;
    uint32_t* row = bits + static_cast<size_t>(sp.y) * mWidth;
    for (int px = from; px < to; ++px) {
      const uint32_t sa = (ca * (cov[px] + 1u)) >> 8;
      if (sa > 0) row[px] = OverSummed(row[px], c, sa);
    }
  }
  OnBitsChanged();
}

}  // namespace Velk
