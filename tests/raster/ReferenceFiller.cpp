#include "ReferenceFiller.h"

#include <cstring>

using Velk::SpanColor;
using Velk::SpanTexture;
using Velk::SpanVertex;

namespace RasterTest {

namespace {

struct Entry {
  int group;
  bool tex, blend, vcol, mod, bil;
};

int32_t Wrap(int64_t v) { return int32_t(uint32_t(uint64_t(v))); }
int64_t Product(int64_t a, int64_t b) { return int64_t(uint64_t(a) * uint64_t(b)); }
int32_t CeilFixed(int32_t q) { return Wrap(int64_t(q) + 0xFFFF) >> 16; }

uint32_t Read(const uint8_t* p, int size) {
  if (size == 4) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}

void Write(uint8_t* p, int size, uint32_t value) {
  if (size == 4) {
    std::memcpy(p, &value, 4);
  } else {
    const uint16_t v = uint16_t(value);
    std::memcpy(p, &v, 2);
  }
}

uint32_t Texel(const SpanTexture& t, uint32_t i) { return i < uint32_t(t.count) ? t.texels[i] : 0; }
uint32_t Ch(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// Packs 8-bit channels into the group's pixel.
uint32_t Pack(int group, uint32_t r, uint32_t g, uint32_t b) {
  r &= 0xFF, g &= 0xFF, b &= 0xFF;
  switch (group) {
    case 2:
      return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case 3:
      return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    default:
      return 0xFF000000u | r << 16 | g << 8 | b;
  }
}

// out = destination scaled by the group's weight plus the source term q (r, g, b).
void BlendPixel(int group, uint8_t* at, uint32_t sA, const uint32_t p[3]) {
  if (group == 0) {
    const uint32_t d = Read(at, 4);
    const uint32_t dA = d >> 24;
    const uint32_t k = ((256 - dA) * (256 - sA)) >> 8;
    const uint32_t D = 256 - k;
    if (D == 0) return;
    uint32_t out = (D - 1) << 24;
    const int shifts[3] = {16, 8, 0};
    for (int i = 0; i < 3; ++i) {
      const uint32_t dc = (Ch(d, shifts[i]) * dA) >> 8;
      out |= ((dc * (256 - sA) + (p[i] << 8)) / D & 0xFF) << shifts[i];
    }
    Write(at, 4, out);
  } else if (group == 1) {
    const uint32_t d = Read(at, 4);
    const uint32_t r = ((Ch(d, 16) * (255 - sA)) >> 8) + p[0];
    const uint32_t g = ((Ch(d, 8) * (255 - sA)) >> 8) + p[1];
    const uint32_t b = ((Ch(d, 0) * (255 - sA)) >> 8) + p[2];
    Write(at, 4, 0xFF000000u | r << 16 | g << 8 | b);
  } else {
    const uint32_t d = Read(at, 2);
    const uint32_t k = (255 - sA) >> 3;
    const bool is565 = group == 2;
    const uint32_t dr = is565 ? d >> 11 : (d >> 10) & 31;
    const uint32_t dg = is565 ? (d >> 5) & 63 : (d >> 5) & 31;
    const uint32_t db = d & 31;
    const uint32_t src = Pack(group, p[0], p[1], p[2]);
    const uint32_t scaled = is565 ? ((dr * k) >> 5) << 11 | ((dg * k) >> 5) << 5 | ((db * k) >> 5)
                                  : ((dr * k) >> 5) << 10 | ((dg * k) >> 5) << 5 | ((db * k) >> 5);
    Write(at, 2, scaled + src);
  }
}

void Untextured(const Entry& e, uint8_t* at, const int32_t c[6]) {
  const uint32_t a = uint32_t(c[0]);
  if (a <= 8u * 65536) return;
  const uint32_t r = uint32_t(c[1]), g = uint32_t(c[2]), b = uint32_t(c[3]);
  if (a > 240u * 65536) {
    Write(at, e.group >= 2 ? 2 : 4, Pack(e.group, r >> 16, g >> 16, b >> 16));
    return;
  }
  const uint32_t sA = a >> 16;
  uint32_t p[3];
  if (e.group == 0) {
    p[0] = (r * sA) >> 24;
    p[1] = ((g >> 8) * sA) >> 16;
    p[2] = ((b >> 16) * sA) >> 8;
  } else {
    p[0] = (((r >> 16) & 0xFF) * sA) >> 8;
    p[1] = (((g >> 16) & 0xFF) * sA) >> 8;
    p[2] = (((b >> 16) & 0xFF) * sA) >> 8;
  }
  BlendPixel(e.group, at, sA, p);
}

void Textured(const Entry& e, uint8_t* at, const int32_t c[6], const SpanTexture& T, const SpanColor& C) {
  uint32_t s[3], alpha;
  if (!e.bil) {
    const uint32_t index = (uint32_t(c[5]) >> 16) * uint32_t(T.width) + (uint32_t(c[4]) >> 16);
    const uint32_t t = Texel(T, index);
    s[0] = Ch(t, 16), s[1] = Ch(t, 8), s[2] = Ch(t, 0);
    alpha = t >> 24;
  } else {
    const int32_t u = c[4], v = c[5];  // already less half a texel
    const int32_t fu = Wrap(int64_t(u) & ~int64_t(0xFFFF));
    const int32_t fv = Wrap(int64_t(v) & ~int64_t(0xFFFF));
    const int32_t idx = Wrap(int64_t(fv >> 16) * T.width + (fu >> 16));
    const uint32_t t[4] = {Texel(T, uint32_t(idx)), Texel(T, uint32_t(idx) + 1), Texel(T, uint32_t(idx + T.width)),
                           Texel(T, uint32_t(idx + T.width) + 1)};
    const uint32_t wu = (uint32_t(u - fu) & 0xFFFE) + 1;
    const uint32_t wv = (uint32_t(v - fv) & 0xFFFE) + 1;
    const uint32_t area[4] = {((0x10000 - wu) * (0x10000 - wv)) >> 16, (wu * (0x10000 - wv)) >> 16,
                              ((0x10000 - wu) * wv) >> 16, (wu * wv) >> 16};
    uint32_t w[4];
    alpha = 0;
    for (int i = 0; i < 4; ++i) {
      w[i] = (area[i] * (t[i] >> 24)) >> 16;
      alpha += w[i];
    }
    const int shifts[3] = {16, 8, 0};
    for (int ch = 0; ch < 3; ++ch) {
      uint32_t sum = 0;
      for (int i = 0; i < 4; ++i) sum += Ch(t[i], shifts[ch]) * w[i];
      s[ch] = sum >> 8;
    }
  }
  const uint32_t a0 = e.blend ? alpha : 255;
  if (e.blend && a0 <= 8) return;
  const int32_t block[4] = {C.a, C.r, C.g, C.b};
  uint32_t f[4];
  for (int i = 0; i < 4; ++i) {
    if (e.vcol && e.mod)
      f[i] = (uint32_t(block[i]) * uint32_t(c[i])) >> 24;
    else if (e.vcol)
      f[i] = uint32_t(c[i] >> 16);
    else if (e.mod)
      f[i] = uint32_t(block[i]);
    else
      f[i] = 256;
  }
  uint32_t s1[3], p[3];
  const uint32_t sA = (a0 * f[0]) >> 8;
  for (int ch = 0; ch < 3; ++ch) {
    s1[ch] = (s[ch] * f[ch + 1]) >> 8;
    p[ch] = e.bil ? (s1[ch] * f[0]) >> 8 : (s1[ch] * sA) >> 8;
  }
  if (sA >= 240) {
    const uint32_t* colour = e.bil ? p : s1;
    Write(at, e.group >= 2 ? 2 : 4, Pack(e.group, colour[0], colour[1], colour[2]));
  } else {
    BlendPixel(e.group, at, sA, p);
  }
}

}  // namespace

void ReferenceFill(int index, const SpanVertex* const in[3], uint8_t* bits, int32_t pitch, const SpanTexture& T,
                   const SpanColor& C) {
  const Entry e = {index / 32,       (index & 16) != 0, (index & 8) != 0,
                   (index & 4) != 0, (index & 2) != 0,  (index & 1) != 0};
  if (!e.tex && !e.vcol) return;

  SpanVertex v[3] = {*in[0], *in[1], *in[2]};
  if (!e.tex && e.mod) {
    const int32_t block[4] = {C.a, C.r, C.g, C.b};
    for (auto& vx : v)
      for (int i = 0; i < 4; ++i) vx.c[i] = int32_t((uint32_t(vx.c[i]) * uint32_t(block[i])) >> 8);
  }
  // Only the channels the entry needs take part.
  bool used[6] = {e.vcol, e.vcol, e.vcol, e.vcol, e.tex, e.tex};

  int order[3] = {0, 1, 2};
  auto cmpSwap = [&](int a, int b) {
    if (v[order[a]].y > v[order[b]].y) {
      const int t = order[a];
      order[a] = order[b];
      order[b] = t;
    }
  };
  cmpSwap(0, 1), cmpSwap(1, 2), cmpSwap(0, 1);
  const SpanVertex& top = v[order[0]];
  const SpanVertex& mid = v[order[1]];
  const SpanVertex& bot = v[order[2]];

  const int32_t y0 = CeilFixed(top.y), y1 = CeilFixed(mid.y), y2 = CeilFixed(bot.y);
  if (y0 == y2) return;
  const int64_t inv = (int64_t(1) << 48) / (int64_t(bot.y) - top.y);
  const int32_t slopeX = Wrap(Product(int64_t(bot.x) - top.x, inv) >> 32);
  const int64_t dym = int64_t(mid.y) - top.y;
  const int32_t xlMid = Wrap(int64_t(top.x) + (Product(slopeX, dym) >> 16));
  const int32_t width = Wrap(int64_t(mid.x) - xlMid);
  if (width == 0) return;
  const int64_t invW = (int64_t(1) << 48) / width;
  const int64_t pre = (int64_t(y0) << 16) - top.y;
  int32_t slope[6] = {}, grad[6] = {}, longC[6] = {};
  for (int k = 0; k < 6; ++k) {
    if (!used[k]) continue;
    slope[k] = Wrap(Product(int64_t(bot.c[k]) - top.c[k], inv) >> 32);
    const int64_t diff = int64_t(mid.c[k]) - (Product(slope[k], dym) >> 16) - top.c[k];
    grad[k] = Wrap(Product(diff, invW) >> 32);
    longC[k] = Wrap(int64_t(top.c[k]) + (Product(slope[k], pre) >> 16));
  }
  int32_t longX = Wrap(int64_t(top.x) + (Product(slopeX, pre) >> 16));
  const bool longLeft = xlMid < mid.x;
  const int size = e.group >= 2 ? 2 : 4;
  const int32_t rowPixels = size == 4 ? pitch >> 2 : pitch >> 1;

  for (int part = 0; part < 2; ++part) {
    const SpanVertex& a = part == 0 ? top : mid;
    const SpanVertex& b = part == 0 ? mid : bot;
    const int32_t from = part == 0 ? y0 : y1;
    const int32_t to = part == 0 ? y1 : y2;
    if (to <= from) continue;
    const int32_t shortSlope = Wrap(Product(int64_t(b.x) - a.x, (int64_t(1) << 48) / (int64_t(b.y) - a.y)) >> 32);
    int32_t shortX = Wrap(int64_t(a.x) + (Product(shortSlope, (int64_t(from) << 16) - a.y) >> 16));
    for (int32_t row = from; row < to; ++row) {
      const int32_t left = longLeft ? longX : shortX;
      const int32_t right = longLeft ? shortX : longX;
      const int32_t xs = Wrap((int64_t(left) + 0xFFFF) & ~int64_t(0xFFFF));
      const int32_t xe = Wrap((int64_t(right) + 0xFFFF) & ~int64_t(0xFFFF));
      if (int64_t(xe) - xs >= 0x10000) {
        int32_t c[6];
        for (int k = 0; k < 6; ++k)
          c[k] = used[k] ? Wrap(int64_t(longC[k]) + (Product(grad[k], int64_t(xs) - longX) >> 16)) : 0;
        if (e.tex && e.bil) {
          c[4] -= 0x8000;
          c[5] -= 0x8000;
        }
        for (int32_t x = xs >> 16; x < xe >> 16; ++x) {
          uint8_t* at = bits + (int64_t(row) * rowPixels + x) * size;
          if (e.tex)
            Textured(e, at, c, T, C);
          else
            Untextured(e, at, c);
          for (int k = 0; k < 6; ++k)
            if (used[k]) c[k] = Wrap(int64_t(c[k]) + grad[k]);
        }
      }
      longX = Wrap(int64_t(longX) + slopeX);
      for (int k = 0; k < 6; ++k) longC[k] = Wrap(int64_t(longC[k]) + slope[k]);
      shortX = Wrap(int64_t(shortX) + shortSlope);
    }
  }
}

}  // namespace RasterTest
