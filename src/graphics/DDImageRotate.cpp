// Bilinear rotation loops on the locked surface: every destination pixel inside the rotated source
// rectangle is mapped back into the source and blended from its four neighbours by their alpha.
#include <algorithm>
#include <cmath>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/PixelOps.h"
#include "graphics/SourcePixels.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

constexpr int kChannelPos[3] = {16, 8, 0};

struct RotateSetup {
  bool additive;
  bool colorized;
  uint32_t ca;
  uint32_t colour[3];
  uint32_t k[3];
  bool spread565;
  bool spread555;
};

struct Samples {
  uint32_t S[3];
  uint32_t rest;
};

template <typename Fetch>
Samples Sample(Fetch fetch, size_t k, int w, int32_t u, int32_t v, const RotateSetup& rs, bool scaleByColour) {
  const uint32_t p[4] = {fetch(k), fetch(k + 1), fetch(k + w), fetch(k + w + 1)};
  const uint32_t fx = (static_cast<uint32_t>(u) & 0xfffe) + 1;
  const uint32_t fy = (static_cast<uint32_t>(v) & 0xfffe) + 1;
  const uint32_t g[4] = {((65536 - fx) * (65536 - fy)) >> 16, (fx * (65536 - fy)) >> 16, ((65536 - fx) * fy) >> 16,
                         (fx * fy) >> 16};
  Samples out{{0, 0, 0}, 256};
  for (int i = 0; i < 4; ++i) {
    uint32_t w = (g[i] * (p[i] >> 24)) >> 16;
    if (scaleByColour) w = (w * rs.ca) >> 8;
    out.rest -= w;
    for (int c = 0; c < 3; ++c) out.S[c] += (p[i] & (0xFFu << kChannelPos[c])) * w;
  }
  return out;
}

uint32_t RotatePixel(const SurfaceView& v, uint32_t d, const Samples& s, const RotateSetup& rs) {
  uint32_t out = 0;
  if (rs.additive) {
    const uint32_t e[3] = {((s.S[0] >> (32 - v.width[0])) * rs.k[0]) >> 8, (s.S[1] * rs.k[1]) >> (32 - v.width[1]),
                           (s.S[2] * rs.k[2]) >> (24 - v.width[2])};
    return v.AddTerms(d, e);
  }
  if (rs.spread565 || rs.spread555) {
    const uint32_t c = ((s.S[0] >> 8) & 0xFF0000) | ((s.S[1] >> 8) & 0xFF00) | ((s.S[2] >> 8) & 0xFF);
    const uint32_t mask = rs.spread565 ? 0x07E0F81Fu : 0x03E07C1Fu;
    const uint32_t packed = rs.spread565 ? ((c >> 8) & 0xF800) | ((c & 0xFC00) << 11) | ((c >> 3) & 0x1F)
                                         : ((c >> 9) & 0x7C00) | ((c & 0xF800) << 10) | ((c >> 3) & 0x1F);
    const uint32_t t = packed + ((((d | (d << 16)) & mask) * (s.rest >> 3) >> 5) & mask);
    return (t | (t >> 16)) & 0xFFFF;
  }
  for (int c = 0; c < 3; ++c) {
    const int down = kChannelPos[c] + 16 - v.width[c];
    const uint32_t src =
        rs.colorized ? (((s.S[c] >> 8) * (rs.colour[c] + 1)) >> down) << v.shift[c] : (s.S[c] >> down) << v.shift[c];
    out |= src + ((((d & v.mask[c]) * s.rest) >> 8) & v.mask[c]);
  }
  return out;
}

}  // namespace

void DDImage::RotateLoops(MemoryImage* src, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
                          double angle, float centerX, float centerY, const DRect& bounds) {
  using PixelOps::TruncInt;
  if (!LockSurface()) return;
  const SurfaceView v = View();
  if (!v.bits || (v.bitsPerPixel != 16 && v.bitsPerPixel != 32)) {
    UnlockSurface();
    return;
  }
  RotateSetup rs{};
  rs.additive = drawMode != 0;
  rs.colorized = color != Color::White;
  rs.ca = static_cast<uint32_t>(color.mAlpha);
  rs.colour[0] = static_cast<uint32_t>(color.mRed);
  rs.colour[1] = static_cast<uint32_t>(color.mGreen);
  rs.colour[2] = static_cast<uint32_t>(color.mBlue);
  for (int c = 0; c < 3; ++c) rs.k[c] = rs.colour[c] * rs.ca / 255;
  const bool lanes = !rs.additive && !rs.colorized && v.bitsPerPixel == 16 && DDInterface::sRgbOrder;
  rs.spread565 = lanes && v.mask[1] == 0x07E0;
  rs.spread555 = lanes && v.mask[1] == 0x03E0;

  const double cosA = std::cos(angle);
  const double sinA = std::sin(angle);
  const int32_t du = TruncInt(cosA * 65536);
  const int32_t dv = TruncInt(sinA * 65536);
  const int x0 = TruncInt(bounds.mX);
  const int y0 = TruncInt(bounds.mY);
  const int last = TruncInt(bounds.mWidth - 1.0);
  const float dx = static_cast<float>(x0 - centerX - x);
  const int ws = srcRect.mWidth;
  const int hs = srcRect.mHeight;
  const int w = src->mWidth;
  const size_t base = static_cast<size_t>(srcRect.mY) * w + srcRect.mX;
  const bool scaleByColour = rs.colorized && !rs.additive;

  auto rows = [&](auto fetch) {
    for (int r = 0; r < bounds.mHeight; ++r) {
      const int yy = y0 + r;
      if (yy < 0 || yy >= mHeight) continue;
      const float dy = static_cast<float>(yy - centerY - y);
      const int32_t ur = TruncInt((dx * cosA - dy * sinA + centerX) * 65536);
      const int32_t vr = TruncInt((dx * sinA + dy * cosA + centerY) * 65536);
      int i0 = 0;
      int i1 = last;
      if (du >= 1) {
        if ((ur >> 16) >= ws - 1) continue;
        i0 = std::max(i0, (65536 - ur) / du);
        i1 = std::min(i1, (ws * 65536 - ur - 0x17fff) / du);
      } else if (du <= -1) {
        if ((ur >> 16) < 0) continue;
        i0 = std::max(i0, (ws * 65536 - ur - 0x27fff) / du);
        i1 = std::min(i1, (0x7fff - ur) / du);
      } else if (ur < 0 || ur >= (ws - 1) * 65536) {
        continue;
      }
      if (dv >= 1) {
        if ((vr >> 16) >= hs - 1) continue;
        i0 = std::max(i0, (65536 - vr) / dv);
        i1 = std::min(i1, (hs * 65536 - vr - 0x17fff) / dv);
      } else if (dv <= -1) {
        if ((vr >> 16) < 0) continue;
        i0 = std::max(i0, (hs * 65536 - vr - 0x27fff) / dv);
        i1 = std::min(i1, -(vr / dv));
      } else if (vr < 0 || vr >= (hs - 1) * 65536) {
        continue;
      }
      // The destination row is cut to the surface as well.
      i0 = std::max(i0, -x0);
      i1 = std::min(i1, mWidth - 1 - x0);
      if (i0 > i1) continue;
      int32_t u = ur + i0 * du;
      int32_t vv = vr + i0 * dv;
      for (int i = i0; i <= i1; ++i, u += du, vv += dv) {
        const size_t k = base + static_cast<size_t>((vv >> 16) * w + (u >> 16));
        const Samples s = Sample(fetch, k, w, u, vv, rs, scaleByColour);
        if (v.bitsPerPixel == 16) {
          uint16_t& d = v.Row<uint16_t>(yy)[x0 + i];
          d = static_cast<uint16_t>(RotatePixel(v, d, s, rs));
        } else {
          uint32_t& d = v.Row<uint32_t>(yy)[x0 + i];
          d = RotatePixel(v, d, s, rs);
        }
      }
    }
  };
  WithSourcePixels(src, rows);
  UnlockSurface();
  FreeNonSurfaceData();
}

}  // namespace Velk
