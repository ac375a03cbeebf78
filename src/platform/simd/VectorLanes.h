#pragma once
// Eight 32-bit lanes through the compiler's vector extensions, for the drawing loops that work on
// several pixels at once. The same source builds for any processor: functions marked
// VELK_VECTOR_CLONES get a baseline copy and, on x86-64, an AVX2 copy chosen at load time. With
// VELK_SIMD set to 0 the loops take their scalar path only (kVectorLanes is then 0).
#include <cstdint>
#include <cstring>

#ifndef VELK_SIMD
#define VELK_SIMD 1
#endif

// Templates are not cloned (their copies in several objects do not merge reliably); they pick an
// AVX2 instance themselves through VELK_AVX2_TARGET and Lanes::HasAvx2.
#if VELK_SIMD && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define VELK_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#define VELK_AVX2_TARGET __attribute__((target("avx2")))
#define VELK_AVX2_PATH 1
#else
#define VELK_VECTOR_CLONES
#define VELK_AVX2_TARGET
#define VELK_AVX2_PATH 0
#endif

// Lanes pass only between functions inlined into one another (every function taking or giving lanes
// is VELK_LANE), so the calling convention of wide vectors, which differs with and without AVX,
// never comes into play.
#pragma GCC diagnostic ignored "-Wpsabi"
#define VELK_LANE [[gnu::always_inline]] inline

namespace Velk::Lanes {

using U32 = uint32_t __attribute__((vector_size(32)));
using I32 = int32_t __attribute__((vector_size(32)));
using F32 = float __attribute__((vector_size(32)));
using U16 = uint16_t __attribute__((vector_size(32)));
using U8 = uint8_t __attribute__((vector_size(32)));

constexpr int kWidth = 8;
// How many pixels a vector step takes; 0 keeps every loop on its scalar path.
constexpr int kVectorLanes = VELK_SIMD ? kWidth : 0;

inline bool HasAvx2() {
#if VELK_AVX2_PATH
  static const bool yes = __builtin_cpu_supports("avx2");
  return yes;
#else
  return false;
#endif
}

VELK_LANE U32 Splat(uint32_t v) {
  const U32 first{v};
  return __builtin_shufflevector(first, first, 0, 0, 0, 0, 0, 0, 0, 0);
}

VELK_LANE U32 Load(const uint32_t* p) {
  U32 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

VELK_LANE void Store(uint32_t* p, U32 v) { std::memcpy(p, &v, sizeof v); }

// base[index] in every lane.
VELK_LANE U32 Gather(const uint32_t* base, U32 index) {
  return U32{base[index[0]], base[index[1]], base[index[2]], base[index[3]],
             base[index[4]], base[index[5]], base[index[6]], base[index[7]]};
}

// base[index] and base[index + 1] in every lane, read as one 64-bit word each.
struct Pair {
  U32 first;
  U32 second;
};

VELK_LANE Pair GatherPairs(const uint32_t* base, U32 index) {
  using U64 = uint64_t __attribute__((vector_size(32)));
  auto at = [base](uint32_t i) __attribute__((always_inline)) {
    uint64_t v;
    std::memcpy(&v, base + i, sizeof v);
    return v;
  };
  const U64 a{at(index[0]), at(index[1]), at(index[2]), at(index[3])};
  const U64 b{at(index[4]), at(index[5]), at(index[6]), at(index[7])};
  const U32 x = reinterpret_cast<U32>(a), y = reinterpret_cast<U32>(b);
  return {__builtin_shufflevector(x, y, 0, 2, 4, 6, 8, 10, 12, 14),
          __builtin_shufflevector(x, y, 1, 3, 5, 7, 9, 11, 13, 15)};
}

// Lane-wise choice: where mask is all ones take a, else b.
VELK_LANE U32 Select(U32 mask, U32 a, U32 b) { return (a & mask) | (b & ~mask); }

// Comparisons give all-ones lanes where true.
VELK_LANE U32 Eq(U32 a, U32 b) { return reinterpret_cast<U32>(a == b); }
VELK_LANE U32 Gt(U32 a, U32 b) { return reinterpret_cast<U32>(a > b); }

VELK_LANE U32 Min(U32 a, U32 b) { return Select(Gt(a, b), b, a); }
VELK_LANE U32 Max(U32 a, U32 b) { return Select(Gt(a, b), a, b); }

// Exact v / 255 for v up to 65534.
VELK_LANE U32 Div255Small(U32 v) { return (v + 1 + (v >> 8)) >> 8; }

// Exact n / d for n below 2^24 and d from 1 to 256: the single-precision quotient is correctly
// rounded and never reaches the next whole number, so truncating it gives the integer quotient.
VELK_LANE U32 DivSmall(U32 n, U32 d) {
  const F32 q =
      __builtin_convertvector(reinterpret_cast<I32>(n), F32) / __builtin_convertvector(reinterpret_cast<I32>(d), F32);
  return reinterpret_cast<U32>(__builtin_convertvector(q, I32));
}

// Byte-wise saturating sum.
VELK_LANE U32 AddSaturate8(U32 a, U32 b) {
  const U8 x = reinterpret_cast<U8>(a), s = x + reinterpret_cast<U8>(b);
  return reinterpret_cast<U32>(s | reinterpret_cast<U8>(s < x));
}

// The OR of all lanes.
VELK_LANE uint32_t OrAll(U32 v) {
  v |= __builtin_shufflevector(v, v, 4, 5, 6, 7, 0, 1, 2, 3);
  v |= __builtin_shufflevector(v, v, 2, 3, 0, 1, 6, 7, 4, 5);
  v |= __builtin_shufflevector(v, v, 1, 0, 3, 2, 5, 4, 7, 6);
  return v[0];
}

VELK_LANE bool AllEqual(U32 v, uint32_t value) { return OrAll(v ^ value) == 0; }

}  // namespace Velk::Lanes
