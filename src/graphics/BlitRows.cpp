#include "graphics/BlitRows.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "platform/simd/VectorLanes.h"

namespace Velk::BlitRows {

using namespace Lanes;
using PixelOps::Tint;

namespace {

constexpr uint32_t kRB = 0x00FF00FFu;
constexpr uint32_t kG = 0x0000FF00u;

using I16 = int16_t __attribute__((vector_size(32)));

// The alpha bytes of a group of pixels, read as 64-bit words on the scalar side so that the vector
// side is left to the arithmetic: their OR and their AND. A reduction of the lanes took three
// shuffles and four ORs a group; the words run on the integer ports beside the lanes.
struct GroupAlpha {
  static constexpr uint64_t kAlphas = 0xFF000000FF000000u;
  uint64_t any = 0, all = ~uint64_t{0};
  bool Clear() const { return (any & kAlphas) == 0; }
  bool Opaque() const { return (all & kAlphas) == kAlphas; }
};

[[gnu::always_inline]] inline GroupAlpha AlphaOf(const uint32_t* p) {
  GroupAlpha a;
  for (int k = 0; k < kWidth; k += 2) {
    uint64_t w;
    std::memcpy(&w, p + k, sizeof w);
    a.any |= w;
    a.all &= w;
  }
  return a;
}

// Whether a callable may be handed lanes: a class (a lambda), whose call the compiler sees and inlines,
// never a function pointer (see EachPixel).
template <typename F>
constexpr bool kInlineLanes = std::is_class_v<F>;

// Draws the group of lanes at d + i from s + i, as EachPixel describes.
template <bool SkipClear, bool CopyOpaque, bool NoteOpaqueDest, typename Vec>
[[gnu::always_inline]] inline void EachGroup(uint32_t* d, const uint32_t* s, int i, Vec& vec) {
  if constexpr (SkipClear || CopyOpaque) {
    const GroupAlpha a = AlphaOf(s + i);
    if (SkipClear && a.Clear()) return;
    if (CopyOpaque && a.Opaque()) {
      Store(d + i, Load(s + i));
      return;
    }
  }
  const U32 sp = Load(s + i), dp = Load(d + i);
  if constexpr (NoteOpaqueDest) {
    Store(d + i, vec(dp, sp, AlphaOf(d + i).Opaque()));
  } else {
    Store(d + i, vec(dp, sp));
  }
}

// Runs vec over whole groups of lanes and scalar over the rest of the row. With SkipClear, groups of
// wholly transparent source pixels are passed over without touching the destination; with
// CopyOpaque, groups of wholly opaque source pixels are copied without reading it (for routines that
// draw an opaque pixel as it is); with NoteOpaqueDest, vec also learns whether the group lies on
// wholly opaque destination pixels. vec is a lambda, never a function's address: a call through an
// address the compiler does not resolve reaches the baseline's copy of the function, which takes its
// lanes in memory, from the AVX2 copy of the row, which hands them over in registers.
template <bool SkipClear = false, bool CopyOpaque = false, bool NoteOpaqueDest = false, typename Vec, typename Scalar>
[[gnu::always_inline]] inline void EachPixel(uint32_t* d, const uint32_t* s, int n, Vec vec, Scalar scalar) {
  static_assert(kInlineLanes<Vec>, "lanes go to a lambda, not to a function's address");
  int i = 0;
  if constexpr (kVectorLanes > 0 && (SkipClear || CopyOpaque || NoteOpaqueDest)) {
    for (; i + kWidth <= n; i += kWidth) EachGroup<SkipClear, CopyOpaque, NoteOpaqueDest>(d, s, i, vec);
  } else if constexpr (kVectorLanes > 0) {
    // Rows that draw every group alike take two a pass: the loop's count and branch are paid once for
    // both, and the compiler keeps each group's pixels in registers rather than reading them again
    // for their second use.
#pragma GCC unroll 2
    for (; i + kWidth <= n; i += kWidth) EachGroup<false, false, false>(d, s, i, vec);
  }
  for (; i < n; ++i) d[i] = scalar(d[i], s[i]);
}

[[gnu::always_inline]] inline U32 Channel(U32 p, int shift) { return (p >> shift) & 0xFF; }

// PixelOps::BlendLane in lanes. Every product of a channel and a weight (at most 256) and every sum
// of two such products with weights adding to 256 stays below 65536, so the channels are mixed in
// 16-bit halves: blue (truncated term by term) with red (summed, then truncated), and green.
[[gnu::always_inline]] inline U32 BlendLane(U32 s, U32 d, U32 w) {
  const U16 ws = reinterpret_cast<U16>(w | w << 16), wd = 256 - ws;
  const U16 bs = reinterpret_cast<U16>(s & kRB) * ws, bd = reinterpret_cast<U16>(d & kRB) * wd;
  const U32 termwise = reinterpret_cast<U32>((bs >> 8) + (bd >> 8));
  const U32 summed = reinterpret_cast<U32>((bs + bd) >> 8);
  const U32 green = reinterpret_cast<U32>(reinterpret_cast<U16>((s >> 8) & 0xFFu) * ws +
                                          reinterpret_cast<U16>((d >> 8) & 0xFFu) * wd);
  return (termwise & 0xFFu) | (summed & 0x00FF0000u) | (green & kG);
}

struct LaneMix {
  U32 outA;
  U32 w;
};

// PixelOps::MixOver in lanes: an opaque destination gives outA 255 and w = sa by the same formula.
// Lanes with sa = 0 and da = 0 divide by 1 and are left unchanged by the caller.
[[gnu::always_inline]] inline LaneMix MixOver(U32 da, U32 sa, bool destOpaque) {
  if (destOpaque) return {Splat(255), sa};  // no division onto opaque pixels
  const U32 outA = da + Div255Small((255 - da) * sa);
  return {outA, DivSmall(sa * 255, Max(outA, Splat(1)))};
}

// The product of two lanes whose values and product are all below 65536, by a 16-bit multiply (the
// high halves are zero, so their products are too).
[[gnu::always_inline]] inline U32 MulNarrow(U32 a, U32 b) {
  return reinterpret_cast<U32>(reinterpret_cast<U16>(a) * reinterpret_cast<U16>(b));
}

// PixelOps::ColorizedTerms in lanes, for colour channels of at most 255 and weights of at most 256.
// Every product of a channel and a weight stays below 65536, so those are formed in 16-bit halves
// (red with blue); only the source products with an unequal colour need whole lanes.
template <bool Grey>
[[gnu::always_inline]] inline U32 ColorizedTerms(U32 s, U32 d, U32 w, const Tint& t) {
  const U16 w2 = reinterpret_cast<U16>(w | w << 16), v2 = 256 - w2;
  const U32 dRB = reinterpret_cast<U32>(reinterpret_cast<U16>(d & kRB) * v2);          // red, blue x v
  const U32 dG = reinterpret_cast<U32>(reinterpret_cast<U16>((d >> 8) & 0xFFu) * v2);  // green x v
  if constexpr (Grey) {
    const U16 r2 = reinterpret_cast<U16>(Splat(t.r | t.r << 16));
    const U16 tinted = (reinterpret_cast<U16>(s & kRB) * r2) >> 8;  // red, blue x colour / 256
    const U32 rb = reinterpret_cast<U32>(tinted * w2);
    const U32 gs = (MulNarrow((s >> 8) & 0xFFu, w) * t.r) >> 8;
    return (((rb >> 8) + (dRB >> 8)) & kRB) | ((gs + dG) & kG);
  }
  const U32 sRB = reinterpret_cast<U32>(reinterpret_cast<U16>(s & kRB) * w2);  // red, blue x w
  const U32 rs = (sRB >> 16) * t.r;
  const U32 gs = (MulNarrow((s >> 8) & 0xFFu, w) * t.g) >> 8;
  const U32 bs = ((sRB & 0xFFFF) * t.b) >> 16;
  return ((rs + ((dRB >> 16) << 8)) & 0x00FF0000u) | ((gs + dG) & kG) | ((bs + ((dRB & 0xFFFF) >> 8)) & 0xFFu);
}

template <bool Grey>
[[gnu::always_inline]] inline void OverColorizedRow(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
  EachPixel<true, false, true>(
      d, s, n,
      [&t](U32 dp, U32 sp, bool destOpaque) __attribute__((always_inline)) {
        const U32 sa = Div255Small(MulNarrow(sp >> 24, Splat(t.a)));
        const LaneMix m = MixOver(dp >> 24, sa, destOpaque);
        return Select(Eq(sa, Splat(0)), dp, (m.outA << 24) | ColorizedTerms<Grey>(sp, dp, m.w, t));
      },
      [&t](uint32_t dp, uint32_t sp) { return PixelOps::OverColorized(dp, sp, t); });
}

// An additive row: amount(s) packed as 0x00RRGGBB added with saturation, or through the table when
// it is not a plain clamp.
template <typename VecAmount, typename ScalarAmount>
[[gnu::always_inline]] inline void AddRow(uint32_t* d, const uint32_t* s, int n, const Tint& t, VecAmount vec,
                                          ScalarAmount scalar) {
  static_assert(kInlineLanes<VecAmount>, "lanes go to a lambda, not to a function's address");
  if (!t.clamp) {
    for (int i = 0; i < n; ++i) d[i] = PixelOps::AddThroughTable(t.sat, d[i], scalar(s[i], t));
    return;
  }
  EachPixel(
      d, s, n, [&](U32 dp, U32 sp) __attribute__((always_inline)) { return AddSaturate8(dp, vec(sp)); },
      [&](uint32_t dp, uint32_t sp) { return PixelOps::AddThroughTable(t.sat, dp, scalar(sp, t)); });
}

// The channels at 16, 8 and 0 of p, each times its weight over 256 (weights at most 256, so every
// product stays below 65536), by 16-bit products: red and blue in one, weighed by the high and low
// halves of rb's lanes, green by g's.
[[gnu::always_inline]] inline U32 ScaleChannels(U32 p, U16 rb, U16 g) {
  const U32 redBlue = reinterpret_cast<U32>((reinterpret_cast<U16>(p & kRB) * rb) >> 8);
  return redBlue | reinterpret_cast<U32>((reinterpret_cast<U16>(Channel(p, 8)) * g) >> 8) << 8;
}

// Each pixel's alpha in both 16-bit halves of its lane, from the lane's halves shifted down a byte
// (green and alpha).
[[gnu::always_inline]] inline U16 AlphaInHalves(U16 greenAlpha) {
  return __builtin_shufflevector(greenAlpha, greenAlpha, 1, 1, 3, 3, 5, 5, 7, 7, 9, 9, 11, 11, 13, 13, 15, 15);
}

// PixelOps::OntoOpaque in lanes. Every product of a channel and a weight stays below 65536, so they
// are formed in 16-bit halves: red with blue (the sum of the halves shifted as whole lanes truncates
// blue term by term and red summed, as BlendLane does), and green (beside the alpha, which is
// dropped). An opaque source weighs 256 instead of 255, which gives exactly the source pixel; a clear
// one keeps the destination pixel whole.
[[gnu::always_inline]] inline U32 OntoOpaqueLanes(U32 dp, U32 sp) {
  const U16 sGA = reinterpret_cast<U16>(sp) >> 8, dGA = reinterpret_cast<U16>(dp) >> 8;  // green, alpha
  U16 w = AlphaInHalves(sGA);
  w -= reinterpret_cast<U16>(w == 255);
  const U16 v = 256 - w;
  const U32 rs = reinterpret_cast<U32>(reinterpret_cast<U16>(sp & kRB) * w);
  const U32 rd = reinterpret_cast<U32>(reinterpret_cast<U16>(dp & kRB) * v);
  const U32 g = reinterpret_cast<U32>(sGA * w + dGA * v);
  const U32 out = 0xFF000000u | (((rs >> 8) + (rd >> 8)) & kRB) | (g & kG);
  return reinterpret_cast<U32>(reinterpret_cast<I16>(w == 0) ? reinterpret_cast<I16>(dp) : reinterpret_cast<I16>(out));
}

}  // namespace

void Copy(uint32_t* d, const uint32_t* s, int n, const Tint&) {
  if (n > 0) std::memmove(d, s, static_cast<size_t>(n) * sizeof(uint32_t));
}

VELK_VECTOR_CLONES void OntoOpaque(uint32_t* d, const uint32_t* s, int n, const Tint&) {
  EachPixel<true, true>(
      d, s, n, [](U32 dp, U32 sp) __attribute__((always_inline)) { return OntoOpaqueLanes(dp, sp); },
      PixelOps::OntoOpaque);
}

VELK_VECTOR_CLONES void Over(uint32_t* d, const uint32_t* s, int n, const Tint&) {
  EachPixel<true, false, true>(
      d, s, n, [](U32 dp, U32 sp, bool destOpaque) __attribute__((always_inline)) {
        const U32 sa = sp >> 24;
        const LaneMix m = MixOver(dp >> 24, sa, destOpaque);
        return Select(Eq(sa, Splat(0)), dp, (m.outA << 24) | BlendLane(sp, dp, m.w));
      },
      [](uint32_t dp, uint32_t sp) { return PixelOps::OverLane(dp, sp, sp >> 24); });
}

VELK_VECTOR_CLONES void OverColorized(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
  if (std::max({t.r, t.g, t.b, t.a}) > 255) {
    // Colours past 255 overflow the lanes' narrow products; such blits go one pixel at a time.
    for (int i = 0; i < n; ++i) d[i] = PixelOps::OverColorized(d[i], s[i], t);
  } else if (t.r == t.g && t.g == t.b)
    OverColorizedRow<true>(d, s, n, t);
  else
    OverColorizedRow<false>(d, s, n, t);
}

VELK_VECTOR_CLONES void AddPlain(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
  AddRow(
      d, s, n, t, [](U32 sp) __attribute__((always_inline)) { return sp & 0xFFFFFFu; }, PixelOps::AddPlain);
}

VELK_VECTOR_CLONES void AddWeighted(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
  AddRow(
      d, s, n, t, [](U32 sp) __attribute__((always_inline)) {
        const U32 sa = sp >> 24;
        const U16 w = reinterpret_cast<U16>(sa | sa << 16);
        return ScaleChannels(sp, w, w);
      },
      PixelOps::AddWeighted);
}

VELK_VECTOR_CLONES void AddTinted(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
  AddRow(
      d, s, n, t,
      [&t](U32 sp) __attribute__((always_inline)) {
        return ScaleChannels(sp, reinterpret_cast<U16>(Splat(t.k[2] | t.k[0] << 16)),
                             reinterpret_cast<U16>(Splat(t.k[1])));
      },
      PixelOps::AddTinted);
}

VELK_VECTOR_CLONES void AddTintedWeighted(uint32_t* d, const uint32_t* s, int n, const Tint& t) {
  AddRow(
      d, s, n, t,
      [&t](U32 sp) __attribute__((always_inline)) {
        const U32 sa = sp >> 24;
        return ((Channel(sp, 16) * t.k[0] * sa) >> 16 << 16) | ((Channel(sp, 8) * t.k[1] * sa) >> 16 << 8) |
               ((((Channel(sp, 0) * t.k[2]) >> 8) * sa) >> 8);
      },
      PixelOps::AddTintedWeighted);
}

namespace {

// KeepAndAddPixel in lanes, each channel's product with 256 - alpha in a 16-bit half: red with blue,
// and green beside the destination's alpha (dropped). Green's product needs no shift, since its top
// byte already sits where the pixel's green goes, and the weights come from one byte shuffle: eleven
// instructions a group where weights built in whole lanes took fourteen.
[[gnu::always_inline]] inline U32 KeepAndAddLanes(U32 dp, U32 sp) {
  const U16 keep = 256 - AlphaInHalves(reinterpret_cast<U16>(sp) >> 8);
  const U32 redBlue = reinterpret_cast<U32>((reinterpret_cast<U16>(dp & kRB) * keep) >> 8);
  const U32 green = reinterpret_cast<U32>((reinterpret_cast<U16>(dp) >> 8) * keep) & kG;
  return (redBlue | green) + sp;
}

// The surface loop's translucent runs hold neither clear nor opaque pixels, so only the stretches'
// row, which takes whole picked rows, tests its groups for them.
template <bool KeepUnderClear>
[[gnu::always_inline]] inline void KeepAndAddRow(uint32_t* d, const uint32_t* s, int n) {
  EachPixel<KeepUnderClear, KeepUnderClear>(
      d, s, n, [](U32 dp, U32 sp) __attribute__((always_inline)) {
        const U32 out = KeepAndAddLanes(dp, sp);
        return KeepUnderClear ? Select(Eq(sp >> 24, Splat(0)), dp, out) : out;
      },
      [](uint32_t dp, uint32_t sp) { return KeepUnderClear && (sp >> 24) == 0 ? dp : KeepAndAddPixel(dp, sp); });
}

}  // namespace

// At screen sizes this row is bound by the memory (0.86 to 0.95 of a loop that only reads both rows
// and writes one): fewer instructions pay in cache only. Hence no AVX-512 copy, whose 64-byte groups
// would cross a cache line at every access on rows 16 bytes off a boundary.
VELK_VECTOR_CLONES void KeepAndAdd(uint32_t* d, const uint32_t* s, int n) { KeepAndAddRow<false>(d, s, n); }

VELK_VECTOR_CLONES void KeepAndAddUnlessClear(uint32_t* d, const uint32_t* s, int n) { KeepAndAddRow<true>(d, s, n); }

namespace {

uint32_t AddClampedPixel(uint32_t d, uint32_t s) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= std::min(PixelOps::Channel(d, shift) + PixelOps::Channel(s, shift), 255u) << shift;
  return out;
}

}  // namespace

VELK_VECTOR_CLONES void AddClampedUnlessBlack(uint32_t* d, const uint32_t* s, int n) {
  EachPixel(
      d, s, n, [](U32 dp, U32 sp) __attribute__((always_inline)) {
        const U32 colour = sp & 0xFFFFFFu;
        return Select(Eq(colour, Splat(0)), dp, AddSaturate8(dp & 0xFFFFFFu, colour));
      },
      [](uint32_t dp, uint32_t sp) { return (sp & 0xFFFFFFu) == 0 ? dp : AddClampedPixel(dp, sp); });
}

}  // namespace Velk::BlitRows
