#pragma once
// 16.16 fixed-point helpers. The rasteriser's 32-bit stepping is meant to wrap, so additions and
// 64-bit products go through unsigned arithmetic instead of overflowing signed values.

#include <cstdint>

namespace Velk {

// Float to int32 truncated toward zero; NaN and out-of-range values give INT32_MIN, as the
// hardware conversion does, so finite in-range data converts exactly as a plain cast would.
inline int32_t Trunc32(float f) {
  if (!(f >= -2147483648.0f && f < 2147483648.0f)) return INT32_MIN;
  return int32_t(f);
}

inline int64_t Mul64(int64_t a, int64_t b) { return int64_t(uint64_t(a) * uint64_t(b)); }
inline int32_t Lo32(int64_t v) { return int32_t(v); }
inline int32_t Add32(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
inline int32_t Sub32(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }
inline int32_t Mul32(int32_t a, int32_t b) { return int32_t(uint32_t(a) * uint32_t(b)); }

// ceil of a 16.16 value, as an integer.
inline int32_t Ceil16(int32_t q) { return int32_t(uint32_t(q) + 0xFFFFu) >> 16; }

// The largest multiple of 65536 not above q.
inline int32_t FixedFloor16(int32_t q) { return int32_t(uint32_t(q) & ~0xFFFFu); }

// 2^48 / d, truncated toward zero; d is never 0 where this is called.
inline int64_t Inv48(int64_t d) { return (int64_t(1) << 48) / d; }

}  // namespace Velk
