#pragma once
// A font with a fixed advance per character that records what it is asked to draw.
#include <string>
#include <vector>

#include "fonts/Font.h"
#include "graphics/Graphics.h"

namespace Velk::Testing {

class TextTestFont : public Font {
 public:
  struct Drawn {
    std::wstring text;
    int x;
    int y;
    Color color;
  };

  static inline int sLive = 0;
  int mAdvance;
  std::vector<Drawn> mDrawn;

  explicit TextTestFont(int advance = 10, int ascent = 8, int padding = 1, int height = 12, int spacingOffset = 2)
      : mAdvance(advance) {
    mAscent = ascent;
    mAscentPadding = padding;
    mHeight = height;
    mLineSpacingOffset = spacingOffset;
    ++sLive;
  }
  TextTestFont(const TextTestFont& other) : Font(other), mAdvance(other.mAdvance) { ++sLive; }
  ~TextTestFont() override { --sLive; }

  int StringWidth(const std::wstring& s) override { return mAdvance * static_cast<int>(s.size()); }
  void DrawString(Graphics* g, int x, int y, const std::wstring& s, const Color& color, const Rect&) override {
    if (s.empty()) return;
    mDrawn.push_back({s, x + static_cast<int>(g->mTransX), y + static_cast<int>(g->mTransY), color});
  }
  Font* Duplicate() override { return new TextTestFont(*this); }

  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> out;
    for (const Drawn& d : mDrawn) out.push_back(d.text);
    return out;
  }
};

}  // namespace Velk::Testing
