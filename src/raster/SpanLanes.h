// The span fillers' pixel loop on eight pixels of one span at a time: texel fetch, colour stage and
// each format group's write, giving exactly the bytes of the per-pixel stages in SpanFiller.h and
// SpanPixelWriter.h, whose arithmetic (32-bit, wrapping) they repeat lane by lane; the pixels left
// at a span's end go through those stages.
//
// SpanFiller.h includes this file twice: into namespace SpanLanes::VELK_SPAN_LANES, each time with
// VELK_SPAN_GATHER telling whether texels are read with the AVX2 gather (the second inclusion is
// compiled for AVX2 as a whole).

#include "platform/simd/GatherLanes.h"

namespace Velk::SpanLanes::VELK_SPAN_LANES {

using namespace Lanes;

struct Rgb {
    U32 r;
    U32 g;
    U32 b;
};

// Which pixels of the group are written, and with what.
struct Outcome {
    U32 write; // all ones where the pixel changes
    U32 value;
};

// Eight pixels of the destination widened to 32-bit lanes, and back.
template <class Pixel>
VELK_LANE U32 LoadPixels(const uint8_t* at)
{
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
VELK_LANE void StorePixels(uint8_t* at, Outcome o)
{
    const U32 merged = Select(o.write, o.value, LoadPixels<Pixel>(at));
    if constexpr (sizeof(Pixel) == 4) {
        std::memcpy(at, &merged, sizeof merged);
    } else {
        using Narrow = uint16_t __attribute__((vector_size(16)));
        const Narrow v = __builtin_convertvector(merged, Narrow);
        std::memcpy(at, &v, sizeof v);
    }
}

// Exact n / d lane by lane: through single precision where every numerator and divisor is below
// 2^23 (the quotient is then correctly rounded and never reaches the next whole number), else one
// lane at a time. Divisors must not be 0.
VELK_LANE U32 Divide(U32 n, U32 d)
{
    if (AllEqual((n | d) >> 23, 0))
        return DivSmall(n, d);
    U32 q;
    for (int l = 0; l < kWidth; ++l)
        q[l] = n[l] / d[l];
    return q;
}

VELK_LANE U32 Pack888(const Rgb& c) { return (c.r & 0xFF) << 16 | (c.g & 0xFF) << 8 | (c.b & 0xFF); }

VELK_LANE U32 SourceTerm(U32 channel, U32 sA) { return (((channel >> 16) & 0xFF) * sA) >> 8; }

template <SpanFormat F>
struct Writer;

template <>
struct Writer<SpanFormat::Argb8888> {
    VELK_LANE static U32 Opaque(const Rgb& c) { return 0xFF000000u | Pack888(c); }

    VELK_LANE static Outcome Blend(U32 d, U32 sA, const Rgb& p)
    {
        const U32 dA = d >> 24;
        const U32 k = ((256 - dA) * (256 - sA)) >> 8;
        const U32 total = 256 - k;
        const U32 drawn = ~Eq(total, Splat(0)); // nothing over nothing stays nothing
        const U32 safe = Select(drawn, total, Splat(1));
        const U32 keep = 256 - sA;
        auto channel = [&](int shift, U32 src) __attribute__((always_inline)) {
            const U32 dc = (d >> shift) & 0xFF;
            return (Divide((((dc * dA) >> 8) * keep) + (src << 8), safe) & 0xFF) << shift;
        };
        return {drawn, ((total - 1) & 0xFF) << 24 | channel(16, p.r) | channel(8, p.g) | channel(0, p.b)};
    }

    VELK_LANE static Rgb UntexturedSource(U32 sA, U32 r, U32 g, U32 b)
    {
        return {(r * sA) >> 24, ((g >> 8) * sA) >> 16, ((b >> 16) * sA) >> 8};
    }
};

template <>
struct Writer<SpanFormat::Xrgb888> {
    VELK_LANE static U32 Opaque(const Rgb& c) { return 0xFF000000u | Pack888(c); }

    VELK_LANE static Outcome Blend(U32 d, U32 sA, const Rgb& q)
    {
        const U32 inv = 255 - sA;
        const U32 rb = (((d & 0x00FF00FFu) * inv) >> 8) & 0x00FF00FFu;
        const U32 g = (((d & 0x0000FF00u) * inv) >> 8) & 0x0000FF00u;
        return {Splat(~0u), 0xFF000000u | (rb + g + Pack888(q))};
    }

    VELK_LANE static Rgb UntexturedSource(U32 sA, U32 r, U32 g, U32 b)
    {
        return {SourceTerm(r, sA), SourceTerm(g, sA), SourceTerm(b, sA)};
    }
};

template <unsigned RedShift, unsigned GreenBits, uint32_t RbMask, uint32_t GMask, uint32_t Keep>
struct Writer16 {
    VELK_LANE static U32 Opaque(const Rgb& c)
    {
        return ((c.r & 0xFF) >> 3) << RedShift | ((c.g & 0xFF) >> (8 - GreenBits)) << 5 | (c.b & 0xFF) >> 3;
    }

    VELK_LANE static Outcome Blend(U32 d, U32 sA, const Rgb& q)
    {
        const U32 k = (255 - sA) >> 3;
        const U32 rb = (((d & RbMask) * k) >> 5) & RbMask;
        const U32 g = (((d & GMask) * k) >> 5) & GMask;
        return {Splat(~0u), (rb + g + Opaque(q)) & Keep};
    }

    VELK_LANE static Rgb UntexturedSource(U32 sA, U32 r, U32 g, U32 b)
    {
        return {SourceTerm(r, sA), SourceTerm(g, sA), SourceTerm(b, sA)};
    }
};

template <>
struct Writer<SpanFormat::Rgb565> : Writer16<11, 6, 0xF81F, 0x07E0, 0xFFFF> {};

template <>
struct Writer<SpanFormat::Rgb555> : Writer16<10, 5, 0x7C1F, 0x03E0, 0x7FFF> {};

// Texels at the given indices; an index at or past the texel count reads 0.
VELK_LANE U32 Texels(const SpanTexture& t, U32 index)
{
    if (t.count <= 0)
        return Splat(0);
    const U32 valid = Gt(Splat(uint32_t(t.count)), index);
#if VELK_SPAN_GATHER
    // Valid indices lie below the texel count, so their offsets fit the gather's signed 32 bits.
    return GatherAvx2(t.texels, index, valid);
#else
    return Gather(t.texels, Select(valid, index, Splat(0))) & valid;
#endif
}

VELK_LANE U32 Nearest(const SpanTexture& t, U32 u, U32 v)
{
    const U32 index = (v >> 16) * uint32_t(t.width) + (u >> 16);
    // One texel per pixel along a texel row, as most blits draw: the texels are read as they lie.
    const uint32_t first = index[0];
    const U32 lane{0, 1, 2, 3, 4, 5, 6, 7};
    if (t.count > 0 && first < uint32_t(t.count) && uint32_t(t.count) - first >= uint32_t(kWidth) &&
        AllEqual(index ^ (Splat(first) + lane), 0))
        return Load(t.texels + first);
    return Texels(t, index);
}

struct Filtered {
    Rgb rgb;
    U32 a;
};

VELK_LANE Filtered Bilinear(const SpanTexture& t, U32 u1, U32 v1)
{
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
                ((t11 >> shift) & 0xFF) * w11) >> 8;
    };
    return {{channel(16), channel(8), channel(0)}, w00 + w10 + w01 + w11};
}

// The channels of the group's pixels: channel k of pixel l is c[k] + l * grad[k], wrapping.
VELK_LANE U32 Steps(int32_t start, int32_t grad)
{
    const U32 lane{0, 1, 2, 3, 4, 5, 6, 7};
    return Splat(uint32_t(start)) + lane * uint32_t(grad);
}

template <SpanFormat F, bool Blend, bool VCol, bool Mod, bool Bil>
VELK_LANE Outcome ShadeTextured(U32 d, const U32* c, const SpanTexture& T, const SpanColor& C)
{
    Rgb s;
    U32 a0 = Splat(255);
    if constexpr (Bil) {
        const Filtered filtered = Bilinear(T, c[kChanU], c[kChanV]);
        s = filtered.rgb;
        if constexpr (Blend)
            a0 = filtered.a;
    } else {
        const U32 texel = Nearest(T, c[kChanU], c[kChanV]);
        s = {(texel >> 16) & 0xFF, (texel >> 8) & 0xFF, texel & 0xFF};
        if constexpr (Blend)
            a0 = texel >> 24;
    }
    U32 drawn = Splat(~0u);
    if constexpr (Blend) {
        drawn = Gt(a0, Splat(8)); // tested before any modulation
        if (AllEqual(drawn, 0))
            return {drawn, d};
    }
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
    const U32 sA = (a0 * f[0]) >> 8;
    const U32 pa = Bil ? f[0] : sA;
    const Rgb p = {(s1.r * pa) >> 8, (s1.g * pa) >> 8, (s1.b * pa) >> 8};
    using W = Writer<F>;
    const U32 opaque = ~Gt(Splat(240), sA);
    const Outcome blended = W::Blend(d, sA, p);
    const U32 written = W::Opaque(Bil ? p : s1);
    return {drawn & (opaque | blended.write), Select(opaque, written, blended.value)};
}

template <SpanFormat F>
VELK_LANE Outcome ShadeUntextured(U32 d, const U32* c)
{
    const U32 a = c[kChanA];
    const U32 drawn = Gt(a, Splat(0x80000));
    if (AllEqual(drawn, 0))
        return {drawn, d};
    const U32 r = c[kChanR], g = c[kChanG], b = c[kChanB];
    using W = Writer<F>;
    const U32 opaque = Gt(a, Splat(0xF00000));
    const U32 sA = a >> 16;
    const Outcome blended = W::Blend(d, sA, W::UntexturedSource(sA, r, g, b));
    const U32 written = W::Opaque({r >> 16, g >> 16, b >> 16});
    return {drawn & (opaque | blended.write), Select(opaque, written, blended.value)};
}

// The pixels of one span: count pixels from at, the channels starting at c and stepping by grad.
template <SpanFormat F, bool Tex, bool Blend, bool VCol, bool Mod, bool Bil>
void SpanPixels(uint8_t* at, int32_t count, int32_t* c, const int32_t* grad, const SpanTexture& T,
                const SpanColor& C)
{
    constexpr unsigned kMask = kSpanChannelMask<Tex, VCol>;
    using Pixel = typename SpanPixelWriter<F>::Pixel;
    int32_t x = 0;
    if constexpr (kVectorLanes > 0) {
        // Whole groups of pixels at once; the last few by the per-pixel stages below.
        for (; count - x >= kWidth; x += kWidth, at += kWidth * sizeof(Pixel)) {
            U32 lanes[kChanCount];
            for (int k = 0; k < kChanCount; ++k)
                lanes[k] = kMask & (1u << k) ? Steps(c[k], grad[k]) : U32{};
            const U32 d = LoadPixels<Pixel>(at);
            if constexpr (Tex)
                StorePixels<Pixel>(at, ShadeTextured<F, Blend, VCol, Mod, Bil>(d, lanes, T, C));
            else
                StorePixels<Pixel>(at, ShadeUntextured<F>(d, lanes));
            for (int k = 0; k < kChanCount; ++k) {
                if (kMask & (1u << k))
                    c[k] = Add32(c[k], Mul32(grad[k], kWidth));
            }
        }
    }
    for (; x < count; ++x, at += sizeof(Pixel)) {
        if constexpr (Tex)
            ::Velk::ShadeTextured<F, Blend, VCol, Mod, Bil>(at, c, T, C);
        else
            ::Velk::ShadeUntextured<F>(at, c);
        for (int k = 0; k < kChanCount; ++k) {
            if (kMask & (1u << k))
                c[k] = Add32(c[k], grad[k]);
        }
    }
}

} // namespace Velk::SpanLanes::VELK_SPAN_LANES

#undef VELK_SPAN_LANES
#undef VELK_SPAN_GATHER
