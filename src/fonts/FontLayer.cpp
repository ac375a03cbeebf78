#include "fonts/FontLayer.h"

namespace Velk {

const GlyphRecord& FontLayer::FindGlyph(wchar_t c) const {
  static const GlyphRecord kEmpty;
  auto it = mCharData.find(c);
  return it == mCharData.end() ? kEmpty : it->second;
}

}  // namespace Velk
