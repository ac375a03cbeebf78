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

}  // namespace Velk
