#pragma once

#include <cstdint>

namespace Velk {

// A fraction kept in lowest terms.
class Fraction {
 public:
  // Divides both parts by Euclid's divisor of the pair (its sign is that of the last non-zero
  // remainder, so (2, -4) and (-2, 4) both give 1/-2). 0/0 has no value and gives 1/1.
  void Set(int32_t numerator, int32_t denominator);
  // The display's aspect comparison: (a x d) / b < c or a < (c x b) / d, in integer division.
  bool LessThan(const Fraction& other) const;

  int32_t mNumerator = 1;
  int32_t mDenominator = 1;
};

}  // namespace Velk
