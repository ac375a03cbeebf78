#pragma once
// The AVX2 gather of eight 32-bit words and the one-instruction mask tests, for loops that have an
// AVX2 copy compiled under #pragma GCC target("avx2"): they can be inlined only there.
#include "platform/simd/VectorLanes.h"

#if VELK_AVX2_PATH
#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

namespace Velk::Lanes {

// base[index] where mask is set, else 0; every index must fit 31 bits.
[[gnu::always_inline]] inline U32 GatherAvx2(const uint32_t* base, U32 index, U32 mask) {
  return reinterpret_cast<U32>(_mm256_mask_i32gather_epi32(_mm256_setzero_si256(), reinterpret_cast<const int*>(base),
                                                           reinterpret_cast<__m256i>(index),
                                                           reinterpret_cast<__m256i>(mask), 4));
}

// Whether every bit of every lane is 0, or 1, by one test instruction.
[[gnu::always_inline]] inline bool AllZeroAvx2(U32 v) {
  return _mm256_testz_si256(reinterpret_cast<__m256i>(v), reinterpret_cast<__m256i>(v));
}

[[gnu::always_inline]] inline bool AllOnesAvx2(U32 v) {
  return _mm256_testc_si256(reinterpret_cast<__m256i>(v), _mm256_set1_epi32(-1));
}

}  // namespace Velk::Lanes

#pragma GCC pop_options
#endif
