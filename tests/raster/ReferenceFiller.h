#pragma once
// A deliberately plain span filler: one routine for every table entry, flags tested at run time,
// every colour channel on its own. The generated fillers must match it bit for bit.

#include <cstdint>

#include "raster/SpanVertex.h"

namespace RasterTest {

// Draws as table entry `index` (0..127) does.
void ReferenceFill(int index, const Velk::SpanVertex* const in[3], uint8_t* bits, int32_t pitch,
                   const Velk::SpanTexture& texture, const Velk::SpanColor& color);

}  // namespace RasterTest
