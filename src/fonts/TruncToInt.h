#pragma once
#include <climits>
#include <cmath>

namespace Velk {

// Truncates toward zero; values beyond int saturate and NaN gives 0, so numbers from files can
// never make the conversion undefined.
inline int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

}  // namespace Velk

namespace Velk {

inline int ClampToInt(long long v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v); }

}  // namespace Velk
