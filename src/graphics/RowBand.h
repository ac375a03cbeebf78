#pragma once
#include <cstdint>

namespace Velk {

// Rows top..bottom - 1 of a target that the draws which follow leave as they are, since something
// drawn later covers them opaquely; every other row gets the bytes it gets without them. Equal
// values: none.
struct RowBand {
  int32_t top = 0;
  int32_t bottom = 0;

  bool Hides(int32_t row) const { return row >= top && row < bottom; }
};

}  // namespace Velk
