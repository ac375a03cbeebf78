#pragma once
// The software rasteriser's entry for the memory images' transformed and triangle blits.

#include <cstdint>

#include "graphics/Color.h"
#include "graphics/Rect.h"
#include "raster/PolygonVertex.h"
#include "raster/SpanVertex.h"

namespace Velk {

class MemoryImage;

// Draws a strip of `count` vertices (count - 2 triangles) into destBits, clipped to clip, as the
// format word says: 0x8888 (32-bit, alpha kept; also any unknown word), 0x888 (32-bit, alpha
// written 0xFF), 0x565 or 0x555 (16-bit). texture may be null: then only vertex colours draw.
// color modulates texels or vertex colours unless it is opaque white. drawMode is not read.
// Draws nothing until InitSpanFillerTable has run. The hidden rows are left as they are.
void DrawSoftwarePolygon(const PolygonVertex* vertices, int count, MemoryImage* texture, const Color& color,
                         int drawMode, const Rect& clip, void* destBits, int destPitch, int formatWord, bool bilinear,
                         bool vertexColors, const RowBand& hidden = {});

}  // namespace Velk
