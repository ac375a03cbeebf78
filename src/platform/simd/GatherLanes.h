#pragma once
// The AVX2 gather of eight 32-bit words, for loops that have an AVX2 copy compiled under
// #pragma GCC target("avx2"): it can be inlined only there.
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

}  // namespace Velk::Lanes

#pragma GCC pop_options
#endif
