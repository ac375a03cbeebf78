#pragma once
#include <map>

#include "graphics/Rect.h"

namespace Velk {

class FontLayer;
class Image;

// A layer of the descriptor as one font uses it: its glyphs at the font's size and scale.
class ActiveFontLayer {
 public:
  const FontLayer* mBaseFontLayer = nullptr;
  Image* mScaledImage = nullptr;  // the layer's own image unless scaling made one
  bool mOwnsImage = false;
  std::map<wchar_t, Rect> mScaledCharImageRects;

  ActiveFontLayer() = default;
  // A copy gets its own duplicate of an owned image; a borrowed one is shared.
  ActiveFontLayer(const ActiveFontLayer& other);
  ActiveFontLayer(ActiveFontLayer&& other) noexcept;
  ActiveFontLayer& operator=(const ActiveFontLayer&) = delete;
  virtual ~ActiveFontLayer();

  // The empty rectangle for a character the layer lacks.
  Rect ScaledRect(wchar_t c) const;
};

}  // namespace Velk
