#pragma once
// Source pixels of a blit come straight from a memory image's bits or through its colour table;
// both kinds run the same loops.
#include <cstdint>

#include "graphics/MemoryImage.h"

namespace Velk {

struct BitsFetch {
  const uint32_t* bits;
  uint32_t operator()(size_t i) const { return bits[i]; }
};

struct PaletteFetch {
  const uint32_t* table;
  const uint8_t* indices;
  uint32_t operator()(size_t i) const { return table[indices[i]]; }
};

// Runs loop(fetch) with the source's pixel fetcher; does nothing when the source has no pixels.
template <typename Loop>
void WithSourcePixels(MemoryImage* src, Loop&& loop) {
  if (src->mColorTable) {
    loop(PaletteFetch{src->mColorTable.get(), src->mColorIndices.get()});
  } else if (const uint32_t* bits = src->GetArgbBits()) {
    loop(BitsFetch{bits});
  }
}

}  // namespace Velk
