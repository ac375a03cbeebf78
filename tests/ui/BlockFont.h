#pragma once
// A font with one advance for every printable character that draws each as a solid block, ascent
// high and one pixel narrower than its advance, so tests can find text by its pixels.
#include "EditTestSupport.h"
#include "graphics/Graphics.h"

class BlockFont : public FixedAdvanceFont {
 public:
  explicit BlockFont(int advance = 10, int height = 12, int ascent = 9) : FixedAdvanceFont(advance, height, ascent) {}

  void DrawString(Velk::Graphics* g, int x, int y, const std::wstring& str, const Velk::Color& color,
                  const Velk::Rect&) override {
    ++mDraws;
    mLastText = str;
    Velk::Graphics copy(*g);
    copy.SetColor(color);
    int pen = x;
    for (wchar_t c : str) {
      const int w = CharWidth(c);
      if (w > 1) copy.FillRect(pen, y - mAscent, w - 1, mAscent);
      pen += w;
    }
  }
  Font* Duplicate() override { return new BlockFont(*this); }

  int mDraws = 0;
  std::wstring mLastText;
};
