// The stretches against plain models of their arithmetic, one pixel at a time: the nearest-pixel
// stretch, and the smooth one spreading every source pixel over destination records by whole
// formulas, one record at a time, as the resampling is defined.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include "TestHost.h"
#include "graphics/PixelOps.h"

using namespace Velk;
using namespace Velk::Testing;
using PixelOps::Channel;
using PixelOps::Div255;
using PixelOps::TruncInt;

namespace {

using Record = std::array<uint64_t, 4>;

// The weights one source line lays on the records when shrinking: its span [a, a + ratio) split at
// the record boundary.
void Spread(double a, double ratio, uint32_t unit, int last, const std::function<void(int, uint32_t)>& add) {
  const double b = a + ratio;
  const int ia = std::clamp(TruncInt(a), 0, last);
  const int ib = TruncInt(b);
  if (TruncInt(a) == ib) {
    add(ia, static_cast<uint32_t>(TruncInt(ratio * unit)));
  } else {
    add(ia, static_cast<uint32_t>(TruncInt((ib - a) * unit)));
    add(std::min(ia + 1, last), static_cast<uint32_t>(TruncInt((b - ib) * unit)));
  }
}

// The stretch of source pixels (sw x sh) over dest (w x h at dx, dy), from the clipped source area s.
void ModelStretch(const std::vector<uint32_t>& src, int sw, int sh, std::vector<uint32_t>& dst, int dstW, const Rect& d,
                  const DRect& s) {
  const int w = d.mWidth, h = d.mHeight;
  int x0 = std::max(TruncInt(std::floor(s.mX)), 0), y0 = std::max(TruncInt(std::floor(s.mY)), 0);
  const int ww = std::min(TruncInt(std::ceil(s.mX - std::floor(s.mX) + s.mWidth)), sw - x0);
  const int wh = std::min(TruncInt(std::ceil(s.mY - std::floor(s.mY) + s.mHeight)), sh - y0);
  if (ww < 1 || wh < 1) return;
  std::vector<std::vector<Record>> across(wh, std::vector<Record>(w + 4)), down(h + 4, std::vector<Record>(w + 4));
  auto add = [](Record& r, const Record& from, uint32_t weight) {
    for (int c = 0; c < 4; ++c) r[c] += from[c] * weight;
  };
  auto channels = [](uint32_t p) { return Record{Channel(p, 0), Channel(p, 8), Channel(p, 16), Channel(p, 24)}; };
  for (int r = 0; r < wh; ++r) {
    const uint32_t* row = &src[static_cast<size_t>(y0 + r) * sw];
    if (w > s.mWidth) {
      const double ratio = w > 1 ? (s.mWidth - 1) / (w - 1) : 0.0;
      for (int k = 1; k <= w; ++k) {
        const double pos = (k - 1) * ratio + s.mX;
        const int p = std::clamp(TruncInt(pos), x0, x0 + ww - 1);
        const uint32_t f = static_cast<uint32_t>(TruncInt((1.0 - (pos - TruncInt(pos))) * 257));
        add(across[r][k], channels(row[p]), f);
        add(across[r][k], channels(row[std::min(p + 1, x0 + ww - 1)]), 257 - f);
      }
    } else {
      const double ratio = w / s.mWidth;
      for (int k = 0; k < ww; ++k)
        Spread(k * ratio + (x0 - s.mX) * ratio + 1.0, ratio, 257, w + 3,
               [&](int rec, uint32_t weight) { add(across[r][rec], channels(row[x0 + k]), weight); });
    }
  }
  if (h > s.mHeight) {
    const double ratio = h > 1 ? (s.mHeight - 1) / (h - 1) : 0.0;
    for (int j = 0; j < h; ++j) {
      const double pos = j * ratio + (s.mY - TruncInt(s.mY));
      const int p = std::clamp(TruncInt(pos), 0, wh - 1);
      const uint32_t f = static_cast<uint32_t>(TruncInt((1.0 - (pos - TruncInt(pos))) * 256));
      for (int k = 1; k <= w; ++k) {
        add(down[j + 1][k], across[p][k], f);
        add(down[j + 1][k], across[std::min(p + 1, wh - 1)][k], 256 - f);
      }
    }
  } else {
    const double ratio = h / s.mHeight;
    for (int r = 0; r < wh; ++r)
      Spread(r * ratio + (y0 - s.mY) * ratio + 1.0, ratio, 256, h + 3, [&](int rec, uint32_t weight) {
        for (int k = 1; k <= w; ++k) add(down[rec][k], across[r][k], weight);
      });
  }
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const Record& in = down[j + 1][i + 1];
      auto value = [&](int c) { return static_cast<uint32_t>(std::min<uint64_t>((in[c] & 0xFFFFFFFFu) >> 16, 255)); };
      const uint32_t A = value(3);
      if (A == 0) continue;
      uint32_t& out = dst[static_cast<size_t>(d.mY + j) * dstW + d.mX + i];
      const uint32_t da = out >> 24;
      uint32_t px = (Div255((255 - da) * A) + da) << 24;
      for (int c = 0; c < 3; ++c) px |= (((Channel(out, c * 8) * (256 - A)) >> 8) + ((A * value(c)) >> 8)) << (c * 8);
      out = px;
    }
}

// The nearest-pixel stretch; src and dst may be one image, read as it is being drawn.
void ModelFastStretch(const std::vector<uint32_t>& src, int sw, int sh, std::vector<uint32_t>& dst, int dstW,
                      const Rect& d, const DRect& s) {
  const double xstep = s.mWidth / d.mWidth, ystep = s.mHeight / d.mHeight;
  double sy = s.mY;
  for (int j = 0; j < d.mHeight; ++j, sy += ystep) {
    const int row = std::clamp(TruncInt(sy), 0, sh - 1);
    double sx = s.mX;
    for (int i = 0; i < d.mWidth; ++i, sx += xstep) {
      const uint32_t p = src[static_cast<size_t>(row) * sw + std::clamp(TruncInt(sx), 0, sw - 1)];
      uint32_t& out = dst[static_cast<size_t>(d.mY + j) * dstW + d.mX + i];
      out = PixelOps::OverLane(out, p, p >> 24);
    }
  }
}

std::vector<uint32_t> RandomPixels(std::mt19937& rng, int n) {
  std::vector<uint32_t> px(n);
  for (uint32_t& p : px) {
    p = static_cast<uint32_t>(rng());
    if (rng() % 3 == 0)
      p &= 0x00FFFFFF;  // transparent runs, as sprites have
    else if (rng() % 3 == 0)
      p |= 0xFF000000;
  }
  return px;
}

// Random source and destination sizes, source rectangles and placements; every third round the
// clip cuts into the destination, so the source area starts mid-pixel. With onto itself the source
// is the destination image.
template <typename Model>
void CompareWithModel(bool fast, bool ontoItself, Model model) {
  std::mt19937 rng(fast ? 11 : 7);
  TestHost host;
  constexpr int kSide = 90;
  for (int round = 0; round < 400; ++round) {
    const int sw = ontoItself ? kSide : 1 + rng() % 40, sh = ontoItself ? kSide : 1 + rng() % 40;
    const int dw = 1 + rng() % 80, dh = 1 + rng() % 80;
    const std::vector<uint32_t> srcPx = RandomPixels(rng, sw * sh);
    std::vector<uint32_t> dstPx = ontoItself ? srcPx : RandomPixels(rng, kSide * kSide);
    MemoryImage srcImage(&host), dst(&host);
    Fill(srcImage, sw, sh, srcPx);
    Fill(dst, kSide, kSide, dstPx);
    MemoryImage* src = ontoItself ? &dst : &srcImage;
    const Rect srcRect(rng() % sw, rng() % sh, 1 + rng() % sw, 1 + rng() % sh);
    const Rect destRect(static_cast<int>(rng() % 20) - 10, static_cast<int>(rng() % 20) - 10, dw, dh);
    const Rect clip =
        round % 3 ? Rect(0, 0, kSide, kSide) : Rect(rng() % 30, rng() % 30, 5 + rng() % 60, 5 + rng() % 60);
    DRect s;
    Rect d;
    if (MemoryImage::ClipStretchBlit(srcRect, clip.Intersect(Rect(0, 0, kSide, kSide)), destRect, s, d))
      model(ontoItself ? dstPx : srcPx, sw, sh, dstPx, kSide, d, s);
    dst.BlitStretched(src, destRect, srcRect, clip, Color::White, 0, fast);
    for (int i = 0; i < kSide * kSide; ++i)
      ASSERT_EQ(dstPx[i], dst.GetArgbBits()[i]) << "round " << round << " at " << i % kSide << "," << i / kSide;
  }
}

}  // namespace

TEST(StretchModel, SmoothMatchesWhenEnlargingShrinkingAndClipped) { CompareWithModel(false, false, ModelStretch); }

TEST(StretchModel, FastMatchesWhenEnlargingShrinkingClippedAndOntoItself) {
  CompareWithModel(true, false, ModelFastStretch);
  CompareWithModel(true, true, ModelFastStretch);
}
