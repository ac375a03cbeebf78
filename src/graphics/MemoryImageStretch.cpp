// Stretched blits: nearest-pixel and two-pass resampling.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "graphics/BlitRows.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelOps.h"
#include "graphics/SourcePixels.h"
#include "platform/simd/VectorLanes.h"

namespace Velk {

using namespace PixelOps;

namespace {

bool ClipStretch(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc, Rect& outDest,
                 bool mirrored) {
  if (destRect.mWidth <= 0 || destRect.mHeight <= 0) return false;
  outDest = destRect.Intersect(clip);
  const double sx = double(srcRect.mWidth) / destRect.mWidth;
  const double sy = double(srcRect.mHeight) / destRect.mHeight;
  // In doubles: the rectangles may span the whole int range.
  const double fromLeft =
      mirrored ? double(destRect.mX) + destRect.mWidth - outDest.mX - outDest.mWidth : double(outDest.mX) - destRect.mX;
  outSrc.mX = fromLeft * sx + srcRect.mX;
  outSrc.mY = (double(outDest.mY) - destRect.mY) * sy + srcRect.mY;
  outSrc.mWidth = srcRect.mWidth + sx * (double(outDest.mWidth) - destRect.mWidth);
  outSrc.mHeight = srcRect.mHeight + sy * (double(outDest.mHeight) - destRect.mHeight);
  return outSrc.mWidth > 0 && outSrc.mHeight > 0;
}

// One resampling record: blue, green, red, alpha totals, in the order of a pixel's bytes in memory.
using Acc = uint32_t __attribute__((vector_size(16)));
using Bytes4 = uint8_t __attribute__((vector_size(4)));
using Bytes16 = uint8_t __attribute__((vector_size(16)));

inline Acc Channels(uint32_t pixel) {
  Bytes4 bytes;
  std::memcpy(&bytes, &pixel, sizeof bytes);
  return __builtin_convertvector(bytes, Acc);
}

// The channels of pixel P of four, by one byte shuffle.
template <int P>
[[gnu::always_inline]] inline Acc ChannelsOfFour(Bytes16 four) {
  constexpr int b = 4 * P, z = 16;  // z picks a zero byte
  return reinterpret_cast<Acc>(
      __builtin_shufflevector(four, Bytes16{}, b, z, z, z, b + 1, z, z, z, b + 2, z, z, z, b + 3, z, z, z));
}

// Channels of n pixels, four at a time.
VELK_VECTOR_CLONES void ChannelsOf(Acc* out, const uint32_t* pixels, int n) {
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    Bytes16 four;
    std::memcpy(&four, pixels + i, sizeof four);
    out[i] = ChannelsOfFour<0>(four);
    out[i + 1] = ChannelsOfFour<1>(four);
    out[i + 2] = ChannelsOfFour<2>(four);
    out[i + 3] = ChannelsOfFour<3>(four);
  }
  for (; i < n; ++i) out[i] = Channels(pixels[i]);
}

// Zeroed records; they are plain numbers, so one memset clears them.
std::unique_ptr<Acc[]> Records(size_t n) {
  std::unique_ptr<Acc[]> records(new Acc[n]);
  std::memset(records.get(), 0, n * sizeof(Acc));
  return records;
}

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

// One weight of a resampling pass: record `to` gains source line `from` (counted from the first line
// read) times `weight`. The lines and weights of an axis are the same for every row or column, so
// they are worked out once.
struct Tap {
  int from;
  int to;
  uint32_t weight;
};
using Taps = std::vector<Tap>;

// Enlarging: record i + 1 mixes the two lines nearest i x ratio + origin, held to [lo, hi].
Taps NearestTwo(int count, double ratio, double origin, int lo, int hi, uint32_t unit) {
  Taps taps;
  taps.reserve(static_cast<size_t>(count) * 2);
  for (int i = 0; i < count; ++i) {
    const double pos = i * ratio + origin;
    const int p = std::clamp(TruncInt(pos), lo, hi);
    const uint32_t f = static_cast<uint32_t>(TruncInt((1.0 - (pos - TruncInt(pos))) * unit));
    taps.push_back({p - lo, i + 1, f});
    taps.push_back({std::min(p + 1, hi) - lo, i + 1, unit - f});
  }
  return taps;
}

// Shrinking: line i spreads from i x ratio + start x ratio + 1 over the records up to last.
Taps ByArea(int count, double ratio, double start, int last, uint32_t unit) {
  Taps taps;
  taps.reserve(static_cast<size_t>(count) * 2);
  for (int i = 0; i < count; ++i)
    SpreadByArea(i * ratio + start * ratio + 1.0, ratio, unit, last, [&](int rec, uint32_t weight) {
      taps.push_back({i, rec, weight});
    });
  return taps;
}

// The taps of w records (destination columns or rows 0..w - 1 at 1..w, three spare ones catching
// the far edge's spill) over the count source lines from lo.
Taps AxisTaps(int w, double srcSize, int lo, int count, uint32_t unit, double origin, double start) {
  if (w > srcSize) return NearestTwo(w, w > 1 ? (srcSize - 1) / (w - 1) : 0.0, origin, lo, lo + count - 1, unit);
  return ByArea(count, w / srcSize, start, w + 3, unit);
}

// out[t.to] += the channels of line[t.from] x t.weight for every tap.
VELK_VECTOR_CLONES void SpreadLine(Acc* out, const Acc* line, const Taps& taps) {
  for (const Tap& t : taps) out[t.to] += line[t.from] * t.weight;
}

// to[k] += from[k] x weight over n totals.
VELK_VECTOR_CLONES void AddScaledRow(uint32_t* to, const uint32_t* from, size_t n, uint32_t weight) {
  using namespace Lanes;
  size_t k = 0;
  if constexpr (kVectorLanes > 0)
    for (; k + kWidth <= n; k += kWidth) Store(to + k, Load(to + k) + Load(from + k) * weight);
  for (; k < n; ++k) to[k] += from[k] * weight;
}

// Lays one record over its pixel: the record's alpha A (its total / 65536, held to 255) weighs its
// colour against the destination's; a record with A = 0 leaves the pixel.
inline void LayPixel(uint32_t& out, const Acc& in) {
  const Acc total = in >> 16;
  const Acc v = total > 255 ? 255 : total;
  const uint32_t A = v[3];
  if (A == 0) return;
  const uint32_t da = out >> 24;
  Acc mixed = ((Channels(out) * (256 - A)) >> 8) + ((v * A) >> 8);  // each at most 255
  mixed[3] = Div255((255 - da) * A) + da;
  const Bytes4 bytes = __builtin_convertvector(mixed, Bytes4);
  std::memcpy(&out, &bytes, sizeof bytes);
}

// LayPixel over a row, eight pixels at a time: the records of eight pixels are split into one
// vector per channel first.
VELK_VECTOR_CLONES void LayRow(uint32_t* out, const Acc* in, int w) {
  using namespace Lanes;
  int i = 0;
  if constexpr (kVectorLanes > 0)
    for (; i + kWidth <= w; i += kWidth) {
      const uint32_t* at = reinterpret_cast<const uint32_t*>(in + i);
      const U32 x0 = Load(at), x1 = Load(at + 8), x2 = Load(at + 16), x3 = Load(at + 24);
      const U32 bg0 = __builtin_shufflevector(x0, x1, 0, 4, 8, 12, 1, 5, 9, 13);
      const U32 ra0 = __builtin_shufflevector(x0, x1, 2, 6, 10, 14, 3, 7, 11, 15);
      const U32 bg1 = __builtin_shufflevector(x2, x3, 0, 4, 8, 12, 1, 5, 9, 13);
      const U32 ra1 = __builtin_shufflevector(x2, x3, 2, 6, 10, 14, 3, 7, 11, 15);
      auto value = [](U32 total) __attribute__((always_inline)) { return Min(total >> 16, Splat(255)); };
      const U32 A = value(__builtin_shufflevector(ra0, ra1, 4, 5, 6, 7, 12, 13, 14, 15));
      if (AllEqual(A, 0)) continue;
      const U32 b = value(__builtin_shufflevector(bg0, bg1, 0, 1, 2, 3, 8, 9, 10, 11));
      const U32 g = value(__builtin_shufflevector(bg0, bg1, 4, 5, 6, 7, 12, 13, 14, 15));
      const U32 r = value(__builtin_shufflevector(ra0, ra1, 0, 1, 2, 3, 8, 9, 10, 11));
      const U32 dp = Load(out + i), da = dp >> 24, keep = 256 - A;
      auto mix = [&](U32 v, int shift) __attribute__((always_inline)) {
        return ((((dp >> shift) & 0xFF) * keep) >> 8) + ((A * v) >> 8);
      };
      const U32 px = (Div255Small((255 - da) * A) + da) << 24 | mix(r, 16) << 16 | mix(g, 8) << 8 | mix(b, 0);
      Store(out + i, Select(Eq(A, Splat(0)), dp, px));
    }
  for (; i < w; ++i) LayPixel(out[i], in[i]);
}

}  // namespace

bool MemoryImage::ClipStretchBlit(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc,
                                  Rect& outDest) {
  return ClipStretch(srcRect, clip, destRect, outSrc, outDest, false);
}

bool MemoryImage::ClipStretchBlitMirrored(const Rect& srcRect, const Rect& clip, const Rect& destRect, DRect& outSrc,
                                          Rect& outDest) {
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
  // Every row reads the same source columns.
  std::vector<int> columns(static_cast<size_t>(d.mWidth));
  double sx = s.mX;
  for (int i = 0; i < d.mWidth; ++i, sx += xstep) columns[i] = std::clamp(TruncInt(sx), 0, src->mWidth - 1);
  std::vector<uint32_t> picked(static_cast<size_t>(d.mWidth));
  WithSourcePixels(src, [&](auto fetch) {
    double sy = s.mY;
    for (int j = 0; j < d.mHeight; ++j, sy += ystep) {
      const size_t row = static_cast<size_t>(std::clamp(TruncInt(sy), 0, src->mHeight - 1)) * srcW;
      uint32_t* out = bits + static_cast<size_t>(d.mY + j) * mWidth + d.mX;
      if (src == this) {
        // Stretching an image onto itself may read pixels this row has just drawn.
        for (int i = 0; i < d.mWidth; ++i) {
          const uint32_t p = fetch(row + columns[i]);
          out[i] = OverLane(out[i], p, p >> 24);
        }
        continue;
      }
      for (int i = 0; i < d.mWidth; ++i) picked[i] = fetch(row + columns[i]);
      BlitRows::Over(out, picked.data(), d.mWidth, Tint{});
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
  const std::unique_ptr<Acc[]> H = Records(static_cast<size_t>(wh) * stride);
  const std::unique_ptr<Acc[]> V = Records(static_cast<size_t>(h + 4) * stride);
  const size_t srcW = static_cast<size_t>(src->mWidth);

  // Rows of H count from y0, so the enlarging rows start at s.mY's fraction.
  const Taps across = AxisTaps(w, s.mWidth, x0, ww, 257, s.mX, x0 - s.mX);
  std::vector<uint32_t> pixels(static_cast<size_t>(ww));
  const std::unique_ptr<Acc[]> line = Records(static_cast<size_t>(ww));
  WithSourcePixels(src, [&](auto fetch) {
    for (int r = 0; r < wh; ++r) {
      const size_t row = static_cast<size_t>(y0 + r) * srcW + x0;
      for (int i = 0; i < ww; ++i) pixels[i] = fetch(row + i);
      ChannelsOf(line.get(), pixels.data(), ww);
      SpreadLine(&H[static_cast<size_t>(r) * stride], line.get(), across);
    }
  });

  const Taps down = AxisTaps(h, s.mHeight, 0, wh, 256, s.mY - TruncInt(s.mY), y0 - s.mY);
  for (const Tap& t : down)
    AddScaledRow(reinterpret_cast<uint32_t*>(&V[static_cast<size_t>(t.to) * stride + 1]),
                 reinterpret_cast<const uint32_t*>(&H[static_cast<size_t>(t.from) * stride + 1]),
                 static_cast<size_t>(w) * 4, t.weight);
  for (int j = 0; j < h; ++j)
    LayRow(bits + static_cast<size_t>(d.mY + j) * mWidth + d.mX, &V[static_cast<size_t>(j + 1) * stride + 1], w);
}

}  // namespace Velk
