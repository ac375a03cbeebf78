#pragma once
// The scanline walk every span filler shares: vertex sort, covered rows, 64-bit slopes and
// gradients, long- and short-edge stepping and span bounds. It hands each non-empty span, with the
// start values of the channels in Mask, to the filler's pixel loop.

#include <algorithm>
#include <utility>

#include "raster/FixedPoint.h"
#include "raster/SpanVertex.h"

namespace Velk {

// Orders by y with three compare-exchanges; equal y keep their order.
inline void SortByY(const SpanVertex* p[3]) {
  if (p[0]->y > p[1]->y) std::swap(p[0], p[1]);
  if (p[1]->y > p[2]->y) std::swap(p[1], p[2]);
  if (p[0]->y > p[1]->y) std::swap(p[0], p[1]);
}

template <unsigned Mask>
class SpanEdgeWalker {
 public:
  // Calls span(row, firstColumn, endColumn, startValues, gradients) for every span with pixels.
  template <class SpanFn>
  static void Walk(const SpanVertex* p[3], SpanFn&& span) {
    SortByY(p);
    const SpanVertex& top = *p[0];
    const SpanVertex& mid = *p[1];
    const SpanVertex& bot = *p[2];
    const int32_t y0 = Ceil16(top.y);
    const int32_t y1 = Ceil16(mid.y);
    const int32_t y2 = Ceil16(bot.y);
    if (y0 == y2) return;

    State s;
    const int64_t inv = Inv48(int64_t(bot.y) - top.y);
    const int32_t slopeX = Lo32(Mul64(int64_t(bot.x) - top.x, inv) >> 32);
    const int64_t dyMid = int64_t(mid.y) - top.y;
    const int32_t xlMid = Add32(top.x, Lo32(Mul64(slopeX, dyMid) >> 16));
    const int32_t width = Sub32(mid.x, xlMid);
    if (width == 0) return;  // all three on one line
    const int64_t invWidth = Inv48(width);
    const int64_t pre = (int64_t(y0) << 16) - top.y;
    s.slopeX = slopeX;
    s.longX = Add32(top.x, Lo32(Mul64(slopeX, pre) >> 16));
    for (int k = 0; k < kChanCount; ++k) {
      if (!(Mask & (1u << k))) continue;
      s.slope[k] = Lo32(Mul64(int64_t(bot.c[k]) - top.c[k], inv) >> 32);
      s.grad[k] = Lo32(Mul64(int64_t(mid.c[k]) - (Mul64(s.slope[k], dyMid) >> 16) - top.c[k], invWidth) >> 32);
      s.longC[k] = Add32(top.c[k], Lo32(Mul64(s.slope[k], pre) >> 16));
    }
    s.longIsLeft = xlMid < mid.x;
    // No span leaves the triangle's own column range. Sound triangles never reach it; it keeps
    // triangles whose slopes wrapped (sub-unit heights or widths) inside their bounds.
    s.colMin = Ceil16(std::min({top.x, mid.x, bot.x}));
    s.colMax = Ceil16(std::max({top.x, mid.x, bot.x}));

    if (y1 > y0) {
      const int32_t shortSlope = Lo32(Mul64(int64_t(mid.x) - top.x, Inv48(dyMid)) >> 32);
      const int32_t shortX = Add32(top.x, Lo32(Mul64(shortSlope, pre) >> 16));
      s.Rows(y0, y1, shortX, shortSlope, span);
    }
    if (y2 > y1) {
      const int32_t shortSlope = Lo32(Mul64(int64_t(bot.x) - mid.x, Inv48(int64_t(bot.y) - mid.y)) >> 32);
      const int64_t preMid = (int64_t(y1) << 16) - mid.y;
      const int32_t shortX = Add32(mid.x, Lo32(Mul64(shortSlope, preMid) >> 16));
      s.Rows(y1, y2, shortX, shortSlope, span);
    }
  }

 private:
  struct State {
    int32_t slopeX = 0;
    int32_t longX = 0;
    int32_t slope[kChanCount] = {};
    int32_t grad[kChanCount] = {};
    int32_t longC[kChanCount] = {};
    int32_t colMin = 0;
    int32_t colMax = 0;
    bool longIsLeft = false;

    template <class SpanFn>
    void Rows(int32_t from, int32_t to, int32_t shortX, int32_t shortSlope, SpanFn& span) {
      for (int32_t row = from; row < to; ++row) {
        const int32_t left = longIsLeft ? longX : shortX;
        const int32_t right = longIsLeft ? shortX : longX;
        const int32_t first = std::max(Ceil16(left), colMin);
        const int32_t end = std::min(Ceil16(right), colMax);
        if (end > first) {
          // Start values always count from the long edge, whichever side it is on.
          const int64_t dx = (int64_t(first) << 16) - longX;
          int32_t start[kChanCount] = {};
          for (int k = 0; k < kChanCount; ++k) {
            if (Mask & (1u << k)) start[k] = Add32(longC[k], Lo32(Mul64(grad[k], dx) >> 16));
          }
          span(row, first, end, start, grad);
        }
        longX = Add32(longX, slopeX);
        for (int k = 0; k < kChanCount; ++k) {
          if (Mask & (1u << k)) longC[k] = Add32(longC[k], slope[k]);
        }
        shortX = Add32(shortX, shortSlope);
      }
    }
  };
};

}  // namespace Velk
