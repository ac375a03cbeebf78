#include "common/Fraction.h"

namespace Velk {

void Fraction::Set(int32_t numerator, int32_t denominator) {
  // 64-bit, so that INT_MIN % -1 cannot overflow.
  int64_t a = numerator;
  int64_t b = denominator;
  while (b != 0) {
    int64_t remainder = a % b;
    a = b;
    b = remainder;
  }
  if (a == 0) {
    mNumerator = mDenominator = 1;
    return;
  }
  mNumerator = static_cast<int32_t>(numerator / a);
  mDenominator = static_cast<int32_t>(denominator / a);
}

bool Fraction::LessThan(const Fraction& other) const {
  const int64_t a = mNumerator, b = mDenominator, c = other.mNumerator, d = other.mDenominator;
  if (b == 0 || d == 0) return false;
  return (a * d) / b < c || a < (c * b) / d;
}

}  // namespace Velk
