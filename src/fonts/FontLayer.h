#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fonts/GlyphRecord.h"
#include "graphics/Color.h"

namespace Velk {

class FontData;
class Image;

// One layer of a bitmap font: an image of glyphs with their metrics, colours, draw order and the
// rules that select it. Copies share the image.
class FontLayer {
 public:
  FontData* mFontData = nullptr;
  std::vector<std::string> mRequiredTags;  // upper-cased
  std::vector<std::string> mExcludedTags;  // upper-cased
  std::map<wchar_t, GlyphRecord> mCharData;
  Color mColorMult = Color(255, 255, 255, 255);
  Color mColorAdd = Color(0, 0, 0, 0);
  std::shared_ptr<Image> mImage;
  int mDrawMode = -1;  // -1 keeps the context's mode
  int mOffsetX = 0;
  int mOffsetY = 0;
  int mSpacing = 0;  // added to an advance when another character follows
  int mMinPointSize = -1;
  int mMaxPointSize = -1;  // -1: no upper bound
  int mPointSize = 0;      // 0: scaled by the font's scale alone
  int mAscent = 0;
  int mAscentPadding = 0;
  int mHeight = 0;  // 0: use mDefaultHeight
  int mDefaultHeight = 0;
  int mLineSpacingOffset = 0;
  int mBaseOrder = 0;

  explicit FontLayer(FontData* fontData) : mFontData(fontData) {}

  // Creates the record when missing; only for building the layer.
  GlyphRecord& Glyph(wchar_t c) { return mCharData[c]; }
  // A missing glyph reads as all zeros and is not created, so width queries on the loading thread
  // never change a map the main thread is reading.
  const GlyphRecord& FindGlyph(wchar_t c) const;
};

}  // namespace Velk
