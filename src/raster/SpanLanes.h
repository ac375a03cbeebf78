// The span fillers' pixel loop on eight pixels of one span at a time: texel fetch, colour stage and
// each format group's write, giving exactly the bytes of the per-pixel stages in SpanFiller.h and
// SpanPixelWriter.h, whose arithmetic (32-bit, wrapping) they repeat lane by lane. A span's last
// few pixels are drawn as the last group of eight, leaving the lanes drawn already; spans shorter
// than a group go through the per-pixel stages.
//
// SpanFiller.h includes this file twice: into namespace SpanLanes::VELK_SPAN_LANES, each time with
// VELK_LANES_AVX2 telling whether texels are read with the AVX2 gather and masks tested with the
// AVX test instruction (the second inclusion is compiled for AVX2 as a whole).

#include "platform/simd/GatherLanes.h"

namespace Velk::SpanLanes::VELK_SPAN_LANES {

using namespace Lanes;

struct Rgb {
  U32 r;
  U32 g;
  U32 b;
};

#include "platform/simd/LaneTests.h"

// Which pixels of the group are written, and with what.
struct Outcome {
  U32 write;  // all ones where the pixel changes
  U32 value;
};

// Eight pixels of the destination widened to 32-bit lanes, and back.
template <class Pixel>
VELK_LANE U32 LoadPixels(const uint8_t* at) {
  if constexpr (sizeof(Pixel) == 4) {
    U32 v;
    std::memcpy(&v, at, sizeof v);
    return v;
  } else {
    using Narrow = uint16_t __attribute__((vector_size(16)));
    Narrow v;
    std::memcpy(&v, at, sizeof v);
    return __builtin_convertvector(v, U32);
  }
}

template <class Pixel>
VELK_LANE void StorePixels(uint8_t* at, U32 value) {
  if constexpr (sizeof(Pixel) == 4) {
    std::memcpy(at, &value, sizeof value);
  } else {
    using Narrow = uint16_t __attribute__((vector_size(16)));
    const Narrow v = __builtin_convertvector(value, Narrow);
    std::memcpy(at, &v, sizeof v);
  }
}

// Writes the group: `opaque` lanes take `written` without the destination being read when that is
// all of them; the others take the blend where it writes and keep their pixel elsewhere.
template <class Pixel, class Blended>
VELK_LANE void WriteGroup(uint8_t* at, U32 drawn, U32 opaque, U32 written, Blended blended) {
  if (AllOnes(opaque)) {
    StorePixels<Pixel>(at, written);
    return;
  }
  const U32 d = LoadPixels<Pixel>(at);
  const Outcome b = blended(d);
  StorePixels<Pixel>(at, Select(opaque, written, Select(drawn & b.write, b.value, d)));
}

// Exact n / d lane by lane: through single precision where every numerator and divisor is below
// 2^23 (the quotient is then correctly rounded and never reaches the next whole number), else one
// lane at a time. Divisors must not be 0.
VELK_LANE U32 Divide(U32 n, U32 d) {
  if (AllZero((n | d) >> 23)) return DivSmall(n, d);
  U32 q;
  for (int l = 0; l < kWidth; ++l) q[l] = n[l] / d[l];
  return q;
}

VELK_LANE U32 Pack888(const Rgb& c) { return (c.r & 0xFF) << 16 | (c.g & 0xFF) << 8 | (c.b & 0xFF); }

VELK_LANE U32 SourceTerm(U32 channel, U32 sA) { return (((channel >> 16) & 0xFF) * sA) >> 8; }

template <SpanFormat F>
struct Writer;

template <>
struct Writer<SpanFormat::Argb8888> {
  VELK_LANE static U32 Opaque(const Rgb& c) { return 0xFF000000u | Pack888(c); }

  VELK_LANE static Outcome Blend(U32 d, U32 sA, const Rgb& p) {
    const U32 dA = d >> 24;
    const U32 k = ((256 - dA) * (256 - sA)) >> 8;
    const U32 total = 256 - k;
    const U32 drawn = ~Eq(total, Splat(0));  // nothing over nothing stays nothing
    const U32 safe = Select(drawn, total, Splat(1));
    const U32 keep = 256 - sA;
    auto channel = [&](int shift, U32 src) __attribute__((always_inline)) {
      const U32 dc = (d >> shift) & 0xFF;
      return (Divide((((dc * dA) >> 8) * keep) + (src << 8), safe) & 0xFF) << shift;
    };
    return {drawn, ((total - 1) & 0xFF) << 24 | channel(16, p.r) | channel(8, p.g) | channel(0, p.b)};
  }

  VELK_LANE static Rgb UntexturedSource(U32 sA, U32 r, U32 g, U32 b) {
    return {(r * sA) >> 24, ((g >> 8) * sA) >> 16, ((b >> 16) * sA) >> 8};
  }
};

template <>
struct Writer<SpanFormat::Xrgb888> {
  VELK_LANE static U32 Opaque(const Rgb& c) { return 0xFF000000u | Pack888(c); }

  VELK_LANE static Outcome Blend(U32 d, U32 sA, const Rgb& q) { return BlendPacked(d, sA, Pack888(q)); }

  // The same with the source term already packed as 0x00RRGGBB.
  VELK_LANE static Outcome BlendPacked(U32 d, U32 sA, U32 q) {
    const U32 inv = 255 - sA;
    const U32 rb = (((d & 0x00FF00FFu) * inv) >> 8) & 0x00FF00FFu;
    const U32 g = (((d & 0x0000FF00u) * inv) >> 8) & 0x0000FF00u;
    return {Splat(~0u), 0xFF000000u | (rb + g + q)};
  }

  VELK_LANE static Rgb UntexturedSource(U32 sA, U32 r, U32 g, U32 b) {
    return {SourceTerm(r, sA), SourceTerm(g, sA), SourceTerm(b, sA)};
  }
};

template <unsigned RedShift, unsigned GreenBits, uint32_t RbMask, uint32_t GMask, uint32_t Keep>
struct Writer16 {
  VELK_LANE static U32 Opaque(const Rgb& c) {
    return ((c.r & 0xFF) >> 3) << RedShift | ((c.g & 0xFF) >> (8 - GreenBits)) << 5 | (c.b & 0xFF) >> 3;
  }

  VELK_LANE static Outcome Blend(U32 d, U32 sA, const Rgb& q) {
    const U32 k = (255 - sA) >> 3;
    const U32 rb = (((d & RbMask) * k) >> 5) & RbMask;
    const U32 g = (((d & GMask) * k) >> 5) & GMask;
    return {Splat(~0u), (rb + g + Opaque(q)) & Keep};
  }

  VELK_LANE static Rgb UntexturedSource(U32 sA, U32 r, U32 g, U32 b) {
    return {SourceTerm(r, sA), SourceTerm(g, sA), SourceTerm(b, sA)};
  }
};

template <>
struct Writer<SpanFormat::Rgb565> : Writer16<11, 6, 0xF81F, 0x07E0, 0xFFFF> {};

template <>
struct Writer<SpanFormat::Rgb555> : Writer16<10, 5, 0x7C1F, 0x03E0, 0x7FFF> {};

// Texels at the given indices; an index at or past the texel count reads 0.
VELK_LANE U32 Texels(const SpanTexture& t, U32 index) {
  if (t.count <= 0) return Splat(0);
  const U32 valid = Gt(Splat(uint32_t(t.count)), index);
#if VELK_LANES_AVX2
  // Valid indices lie below the texel count, so their offsets fit the gather's signed 32 bits.
  return GatherAvx2(t.texels, index, valid);
#else
  return Gather(t.texels, Select(valid, index, Splat(0))) & valid;
#endif
}

VELK_LANE U32 Nearest(const SpanTexture& t, U32 u, U32 v) {
  return Texels(t, (v >> 16) * uint32_t(t.width) + (u >> 16));
}

struct Filtered {
  Rgb rgb;
  U32 a;
};

VELK_LANE Filtered Bilinear(const SpanTexture& t, U32 u1, U32 v1) {
  const U32 fu = u1 & ~0xFFFFu, fv = v1 & ~0xFFFFu;
  const U32 width = Splat(uint32_t(t.width));
  const U32 index = reinterpret_cast<U32>(reinterpret_cast<I32>(fv) >> 16) * width +
                    reinterpret_cast<U32>(reinterpret_cast<I32>(fu) >> 16);
  const U32 t00 = Texels(t, index), t10 = Texels(t, index + 1);
  const U32 t01 = Texels(t, index + width), t11 = Texels(t, index + width + 1);
  const U32 wu = ((u1 - fu) & 0xFFFE) + 1, wv = ((v1 - fv) & 0xFFFE) + 1;
  const U32 w00 = ((((0x10000 - wu) * (0x10000 - wv)) >> 16) * (t00 >> 24)) >> 16;
  const U32 w10 = (((wu * (0x10000 - wv)) >> 16) * (t10 >> 24)) >> 16;
  const U32 w01 = ((((0x10000 - wu) * wv) >> 16) * (t01 >> 24)) >> 16;
  const U32 w11 = (((wu * wv) >> 16) * (t11 >> 24)) >> 16;
  auto channel = [&](int shift) __attribute__((always_inline)) {
    return (((t00 >> shift) & 0xFF) * w00 + ((t10 >> shift) & 0xFF) * w10 + ((t01 >> shift) & 0xFF) * w01 +
            ((t11 >> shift) & 0xFF) * w11) >>
           8;
  };
  return {{channel(16), channel(8), channel(0)}, w00 + w10 + w01 + w11};
}

// The channels of the group's pixels: channel k of pixel l is c[k] + l * grad[k], wrapping.
VELK_LANE U32 Steps(int32_t start, int32_t grad) {
  const U32 lane{0, 1, 2, 3, 4, 5, 6, 7};
  return Splat(uint32_t(start)) + lane * uint32_t(grad);
}

// A group's texels as the colour stage takes them; a nearest texel's colour also as it lies.
struct Sampled {
  Rgb rgb;
  U32 a;
  U32 packed;
};

// The texels of a group: from the span's texel run where it has one, else at the channels' places.
template <bool Blend, bool Bil>
VELK_LANE Sampled Sample(const U32* c, const uint32_t* run, const SpanTexture& T) {
  if constexpr (Bil) {
    const Filtered filtered = Bilinear(T, c[kChanU], c[kChanV]);
    return {filtered.rgb, Blend ? filtered.a : Splat(255), U32{}};
  } else {
    const U32 texel = run ? Load(run) : Nearest(T, c[kChanU], c[kChanV]);
    return {
        {(texel >> 16) & 0xFF, (texel >> 8) & 0xFF, texel & 0xFF}, Blend ? texel >> 24 : Splat(255), texel & 0xFFFFFFu};
  }
}

// Channels packed as 0x00RRGGBB, each times a (at most 256) over 256: red and blue share one
// product, since blue's stays below bit 16.
VELK_LANE U32 ScalePacked(U32 c, U32 a) {
  return ((((c & 0x00FF00FFu) * a) >> 8) & 0x00FF00FFu) | ((((c & 0x0000FF00u) * a) >> 8) & 0x0000FF00u);
}

// One group of a textured span; only the `own` lanes are drawn. A group whose texels are all too
// clear to draw is not written at all.
template <SpanFormat F, bool Blend, bool VCol, bool Mod, bool Bil>
VELK_LANE void ShadeTextured(uint8_t* at, U32 own, const Sampled& texel, const U32* c, const SpanColor& C) {
  U32 drawn = own;
  if constexpr (Blend) {
    drawn &= Gt(texel.a, Splat(8));  // tested before any modulation
    if (AllZero(drawn)) return;
  }
  const Rgb& s = texel.rgb;
  const int32_t block[4] = {C.a, C.r, C.g, C.b};
  U32 f[4];
  for (int k = 0; k < 4; ++k) {
    if constexpr (VCol && Mod)
      f[k] = (uint32_t(block[k]) * c[kChanA + k]) >> 24;
    else if constexpr (VCol)
      f[k] = reinterpret_cast<U32>(reinterpret_cast<I32>(c[kChanA + k]) >> 16);
    else if constexpr (Mod)
      f[k] = Splat(uint32_t(block[k]));
    else
      f[k] = Splat(256);
  }
  const Rgb s1 = {(s.r * f[1]) >> 8, (s.g * f[2]) >> 8, (s.b * f[3]) >> 8};
  const U32 sA = (texel.a * f[0]) >> 8;
  const U32 pa = Bil ? f[0] : sA;
  const Rgb p = {(s1.r * pa) >> 8, (s1.g * pa) >> 8, (s1.b * pa) >> 8};
  using W = Writer<F>;
  using Pixel = typename SpanPixelWriter<F>::Pixel;
  // An unmodulated nearest texel keeps its colour as it lies (a factor of 256 changes nothing).
  constexpr bool kAsItLies = !VCol && !Mod && !Bil;
  const U32 written = kAsItLies && sizeof(Pixel) == 4 ? 0xFF000000u | texel.packed : W::Opaque(Bil ? p : s1);
  WriteGroup<Pixel>(
      at, drawn, drawn & ~Gt(Splat(240), sA), written, [&](U32 d) __attribute__((always_inline)) {
        if constexpr (kAsItLies && F == SpanFormat::Xrgb888)
          return W::BlendPacked(d, sA, ScalePacked(texel.packed, sA));
        else
          return W::Blend(d, sA, p);
      });
}

template <SpanFormat F>
VELK_LANE void ShadeUntextured(uint8_t* at, U32 own, const U32* c) {
  const U32 a = c[kChanA];
  const U32 drawn = own & Gt(a, Splat(0x80000));
  if (AllZero(drawn)) return;
  const U32 r = c[kChanR], g = c[kChanG], b = c[kChanB];
  using W = Writer<F>;
  const U32 sA = a >> 16;
  WriteGroup<typename SpanPixelWriter<F>::Pixel>(
      at, drawn, drawn & Gt(a, Splat(0xF00000)),
      W::Opaque({r >> 16, g >> 16, b >> 16}), [&](U32 d) __attribute__((always_inline)) {
        return W::Blend(d, sA, W::UntexturedSource(sA, r, g, b));
      });
}

// The pixels of one span: count pixels from at, the channels starting at c and stepping by grad.
template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void SpanPixels(uint8_t* at, int32_t count, int32_t* c, const int32_t* grad, const SpanTexture& T, const SpanColor& C) {
  constexpr unsigned kMask = kSpanChannelMask<Tex, VCol>;
  using Pixel = typename SpanPixelWriter<F>::Pixel;
  if (kVectorLanes > 0 && count >= kWidth) {
    const uint32_t* run = nullptr;
    // Texels that lie one after another are loaded as they lie, not gathered: every widget picture
    // of the memory road is such a span, and its day-1 frame took half the time.
    if constexpr (Tex && !Bil) run = TexelRun(T, c[kChanU], c[kChanV], grad[kChanU], grad[kChanV], count);
    // The group of pixels x to x + 7, drawing the lanes in own.
    auto group = [&](int32_t x, U32 own) __attribute__((always_inline)) {
      U32 lanes[kChanCount];
      // A span on a texel run needs its channels only for the vertex colours.
      constexpr unsigned kStepped = Tex && !Bil ? kMask & ~0x30u : kMask;
      const unsigned stepped = run ? kStepped : kMask;
      for (int k = 0; k < kChanCount; ++k)
        lanes[k] = stepped & (1u << k) ? Steps(Add32(c[k], Mul32(grad[k], x)), grad[k]) : U32{};
      uint8_t* to = at + ptrdiff_t(x) * ptrdiff_t(sizeof(Pixel));
      // A picture is drawn row after row: its texels two rows down are asked for ahead. The fillers
      // wait on their texel reads, and this took 15 to 20 % off the memory road's frame.
      if (run) __builtin_prefetch(run + x + 2 * T.width);
      if constexpr (Tex)
        ShadeTextured<F, Blend, VCol, Mod, Bil>(to, own, Sample<Blend, Bil>(lanes, run ? run + x : nullptr, T), lanes,
                                                C);
      else
        ShadeUntextured<F>(to, own, lanes);
    };
    int32_t x = 0;
    for (; count - x >= kWidth; x += kWidth) group(x, Splat(~0u));
    // The last few pixels as the last eight of the span, without the lanes drawn already.
    if (x < count) {
      const int32_t done = kWidth - (count - x);
      const U32 lane{0, 1, 2, 3, 4, 5, 6, 7};
      group(count - kWidth, Gt(lane, Splat(uint32_t(done - 1))));
    }
    return;
  }
  // Short spans, and every span without lanes, pixel by pixel.
  for (int32_t x = 0; x < count; ++x, at += sizeof(Pixel)) {
    if constexpr (Tex)
      ::Velk::ShadeTextured<F, Blend, VCol, Mod, Bil>(at, c, T, C);
    else
      ::Velk::ShadeUntextured<F>(at, c);
    for (int k = 0; k < kChanCount; ++k) {
      if (kMask & (1u << k)) c[k] = Add32(c[k], grad[k]);
    }
  }
}

}  // namespace Velk::SpanLanes::VELK_SPAN_LANES

#undef VELK_SPAN_LANES
#undef VELK_LANES_AVX2
