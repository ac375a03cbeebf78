#pragma once
#include <cstdint>
#include <map>

#include "graphics/Rect.h"

namespace Velk {

// One character of one font layer.
struct GlyphRecord {
  Rect mImageRect;   // where the glyph lies in the layer image
  int mOffsetX = 0;  // where it is drawn relative to the pen
  int mOffsetY = 0;
  std::map<wchar_t, int8_t> mKerningOffsets;  // by the following character
  int mWidth = 0;                             // the advance
  int mOrder = 0;                             // added to the layer's base order

  // 0 for a pair without an offset; never inserts, so measuring may run beside drawing.
  int KerningTo(wchar_t next) const {
    auto it = mKerningOffsets.find(next);
    return it == mKerningOffsets.end() ? 0 : it->second;
  }
};

}  // namespace Velk
