#pragma once
// The text of a bitmap-font descriptor for a rendered atlas: character map, widths, offsets,
// ascent, kerning and the layers of the description line. Written as UTF-16LE without a mark.

#include <string>

#include "contentlib/FontList.h"
#include "contentlib/GlyphRasterizer.h"

namespace Content {

class FontDescriptor {
 public:
  // UTF-8 text of the commands.
  static std::string Text(const FontEntry& entry, const GlyphAtlas& atlas);
  // A character as the command language reads it back (quoted; '"' and '\' need their own forms).
  static std::string Quote(char16_t c);
};

}  // namespace Content
