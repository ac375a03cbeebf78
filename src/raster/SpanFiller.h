#pragma once
// The span-filler family: one template, instantiated per destination format and flag set, so the
// per-pixel loop carries only the work its flags need and tests no flag.

#include "platform/simd/VectorLanes.h"
#include "raster/SpanEdgeWalker.h"
#include "raster/SpanPixelWriter.h"

namespace Velk {

// Channels a filler interpolates: colours with vertex colour, u and v with a texture.
template <bool Tex, bool VCol>
inline constexpr unsigned kSpanChannelMask = (VCol ? 0x0Fu : 0u) | (Tex ? 0x30u : 0u);

// Untextured drawing without vertex colours: nothing to draw.
void SpanFillerNone(const SpanVertex* const v[3], uint8_t* bits, int32_t pitch, const SpanTexture& texture,
                    const SpanColor& color, const RowBand& hidden);

// Reads a texel; anything outside the texture reads as 0 (no wrapping or clamping).
inline uint32_t TexelAt(const SpanTexture& t, uint32_t index) {
  return index < uint32_t(t.count) ? t.texels[index] : 0;
}

inline uint32_t FetchNearest(const SpanTexture& t, int32_t u, int32_t v) {
  return TexelAt(t, (uint32_t(v) >> 16) * uint32_t(t.width) + (uint32_t(u) >> 16));
}

// Where pixel l of a span of count pixels reads texel run[l] (one texel a pixel along a texel row,
// every texel inside the texture), run; otherwise null. Positions advance in straight lines, so
// what holds at both ends holds between them.
inline const uint32_t* TexelRun(const SpanTexture& t, int32_t u, int32_t v, int32_t du, int32_t dv, int32_t count) {
  if (count <= 0) return nullptr;
  const int64_t last = count - 1;
  const int64_t u0 = uint32_t(u), v0 = uint32_t(v);
  const int64_t u1 = u0 + last * du, v1 = v0 + last * dv;
  const int64_t column = u0 >> 16, line = v0 >> 16;
  // Beyond 32 bits the positions would wrap.
  if (u1 < 0 || u1 >> 32 || (u1 >> 16) != column + last || v1 < 0 || (v1 >> 16) != line) return nullptr;
  const uint32_t first = uint32_t(line) * uint32_t(t.width) + uint32_t(column);
  if (int64_t(first) + last >= int64_t(t.count)) return nullptr;
  return t.texels + first;
}

// Filtered colour, already premultiplied by its alpha `a`.
struct SpanFiltered {
  SpanRgb rgb;
  uint32_t a;
};

// u1, v1 are the texel position less half a texel.
inline SpanFiltered FetchBilinear(const SpanTexture& t, int32_t u1, int32_t v1) {
  const int32_t fu = FixedFloor16(u1);
  const int32_t fv = FixedFloor16(v1);
  const int32_t index = Add32(Mul32(fv >> 16, t.width), fu >> 16);
  const uint32_t t00 = TexelAt(t, uint32_t(index));
  const uint32_t t10 = TexelAt(t, uint32_t(Add32(index, 1)));
  const uint32_t t01 = TexelAt(t, uint32_t(Add32(index, t.width)));
  const uint32_t t11 = TexelAt(t, uint32_t(Add32(Add32(index, t.width), 1)));
  const uint32_t wu = (uint32_t(Sub32(u1, fu)) & 0xFFFE) + 1;
  const uint32_t wv = (uint32_t(Sub32(v1, fv)) & 0xFFFE) + 1;
  const uint32_t w00 = ((((0x10000 - wu) * (0x10000 - wv)) >> 16) * (t00 >> 24)) >> 16;
  const uint32_t w10 = (((wu * (0x10000 - wv)) >> 16) * (t10 >> 24)) >> 16;
  const uint32_t w01 = ((((0x10000 - wu) * wv) >> 16) * (t01 >> 24)) >> 16;
  const uint32_t w11 = (((wu * wv) >> 16) * (t11 >> 24)) >> 16;
  auto channel = [&](int shift) {
    return (((t00 >> shift) & 0xFF) * w00 + ((t10 >> shift) & 0xFF) * w10 + ((t01 >> shift) & 0xFF) * w01 +
            ((t11 >> shift) & 0xFF) * w11) >>
           8;
  };
  return {{channel(16), channel(8), channel(0)}, w00 + w10 + w01 + w11};
}

// Colour factors a, r, g, b of the textured colour stage; 256 leaves a value unchanged.
template <bool VCol, bool Mod>
inline void ColourFactors(const int32_t* c, const SpanColor& C, uint32_t f[4]) {
  const int32_t block[4] = {C.a, C.r, C.g, C.b};
  for (int k = 0; k < 4; ++k) {
    if constexpr (VCol && Mod)
      f[k] = (uint32_t(block[k]) * uint32_t(c[kChanA + k])) >> 24;
    else if constexpr (VCol)
      f[k] = uint32_t(c[kChanA + k] >> 16);
    else if constexpr (Mod)
      f[k] = uint32_t(block[k]);
    else
      f[k] = 256;
  }
}

template <SpanFormat F, bool Blend, bool VCol, bool Mod, bool Bil>
inline void ShadeTextured(uint8_t* at, const int32_t* c, const SpanTexture& T, const SpanColor& C) {
  SpanRgb s;
  uint32_t a0 = 255;
  if constexpr (Bil) {
    const SpanFiltered filtered = FetchBilinear(T, c[kChanU], c[kChanV]);
    s = filtered.rgb;
    if constexpr (Blend) a0 = filtered.a;
  } else {
    const uint32_t texel = FetchNearest(T, c[kChanU], c[kChanV]);
    s = {(texel >> 16) & 0xFF, (texel >> 8) & 0xFF, texel & 0xFF};
    if constexpr (Blend) a0 = texel >> 24;
  }
  if constexpr (Blend) {
    if (a0 <= 8) return;  // tested before any modulation
  }
  uint32_t f[4];
  ColourFactors<VCol, Mod>(c, C, f);
  const SpanRgb s1 = {(s.r * f[1]) >> 8, (s.g * f[2]) >> 8, (s.b * f[3]) >> 8};
  const uint32_t sA = (a0 * f[0]) >> 8;
  // The filtered colour already carries its alpha, so bilinear takes only the factor's.
  const uint32_t pa = Bil ? f[0] : sA;
  const SpanRgb p = {(s1.r * pa) >> 8, (s1.g * pa) >> 8, (s1.b * pa) >> 8};
  using W = SpanPixelWriter<F>;
  if (sA >= 240)
    W::Opaque(at, Bil ? p : s1);
  else
    W::Blend(at, sA, p);
}

template <SpanFormat F>
inline void ShadeUntextured(uint8_t* at, const int32_t* c) {
  // Unsigned: a vertex alpha that rounding took below zero counts as above 240.
  const uint32_t a = uint32_t(c[kChanA]);
  if (a <= 0x80000) return;
  const uint32_t r = uint32_t(c[kChanR]);
  const uint32_t g = uint32_t(c[kChanG]);
  const uint32_t b = uint32_t(c[kChanB]);
  using W = SpanPixelWriter<F>;
  if (a > 0xF00000) {
    W::Opaque(at, {r >> 16, g >> 16, b >> 16});
    return;
  }
  const uint32_t sA = a >> 16;
  W::Blend(at, sA, W::UntexturedSource(sA, r, g, b));
}

// With colour-modulate, untextured fillers fold the colour block into copies of the vertices.
inline void ScaleVertexColours(const SpanVertex* const in[3], const SpanColor& C, SpanVertex out[3]) {
  const uint32_t block[4] = {uint32_t(C.a), uint32_t(C.r), uint32_t(C.g), uint32_t(C.b)};
  for (int i = 0; i < 3; ++i) {
    out[i] = *in[i];
    for (int k = 0; k < 4; ++k) out[i].c[kChanA + k] = int32_t((uint32_t(out[i].c[kChanA + k]) * block[k]) >> 8);
  }
}

}  // namespace Velk

// The span loop, once for the baseline processor and once for AVX2 (whose texel reads gather).
#define VELK_SPAN_LANES Baseline
#define VELK_LANES_AVX2 0
#include "raster/SpanLanes.h"
#if VELK_AVX2_PATH
#pragma GCC push_options
#pragma GCC target("avx2")
#define VELK_SPAN_LANES Avx2
#define VELK_LANES_AVX2 1
#include "raster/SpanLanes.h"
#pragma GCC pop_options
#endif

namespace Velk {

template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void SpanFill(const SpanVertex* const in[3], uint8_t* bits, int32_t pitch, const SpanTexture& T, const SpanColor& C,
              const RowBand& hidden) {
  constexpr unsigned kMask = kSpanChannelMask<Tex, VCol>;
  using Pixel = typename SpanPixelWriter<F>::Pixel;
  const SpanVertex* p[3] = {in[0], in[1], in[2]};
  SpanVertex scaled[3];
  if constexpr (!Tex && VCol && Mod) {
    ScaleVertexColours(in, C, scaled);
    p[0] = &scaled[0], p[1] = &scaled[1], p[2] = &scaled[2];
  }
  // A pitch that is not a whole number of pixels is taken down to one.
  constexpr int kPixelShift = sizeof(Pixel) == 4 ? 2 : 1;
  const ptrdiff_t rowBytes = ptrdiff_t(pitch >> kPixelShift) << kPixelShift;
  SpanEdgeWalker<kMask>::Walk(
      p, [&](int32_t row, int32_t first, int32_t end, const int32_t* start, const int32_t* grad) {
        if (hidden.Hides(row)) return;
        int32_t c[kChanCount];
        for (int k = 0; k < kChanCount; ++k) c[k] = start[k];
        if constexpr (Bil) {
          c[kChanU] = Sub32(c[kChanU], 0x8000);
          c[kChanV] = Sub32(c[kChanV], 0x8000);
        }
        uint8_t* at = bits + row * rowBytes + ptrdiff_t(first) * ptrdiff_t(sizeof(Pixel));
#if VELK_AVX2_PATH
        if (Lanes::HasAvx2()) {
          SpanLanes::Avx2::SpanPixels<F, Tex, Blend, VCol, Mod, Bil>(at, end - first, c, grad, T, C);
          return;
        }
#endif
        SpanLanes::Baseline::SpanPixels<F, Tex, Blend, VCol, Mod, Bil>(at, end - first, c, grad, T, C);
      });
}

}  // namespace Velk
