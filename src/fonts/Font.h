#pragma once
#include <string>

#include "graphics/Color.h"
#include "graphics/Rect.h"

namespace Velk {

class Graphics;

// The abstract font: four metrics, width queries and a string draw. The base measures every string
// as 0 and draws nothing.
class Font {
 public:
  int mAscent = 0;
  int mAscentPadding = 0;
  int mHeight = 0;
  int mLineSpacingOffset = 0;

  Font() = default;
  Font(const Font&) = default;
  Font& operator=(const Font&) = default;
  virtual ~Font() = default;

  virtual int GetAscent();
  virtual int GetAscentPadding();
  virtual int GetDescent();
  virtual int GetHeight();
  virtual int GetLineSpacingOffset();
  virtual int GetLineSpacing();
  virtual int StringWidth(const std::wstring& str);
  virtual int CharWidth(wchar_t c);
  virtual int CharWidthKern(wchar_t c, wchar_t prev);
  // y is the baseline; the font adds the context's translation itself.
  virtual void DrawString(Graphics* g, int x, int y, const std::wstring& str, const Color& color, const Rect& clip);
  // A new font of the same kind, owned by the caller.
  virtual Font* Duplicate() = 0;
};

}  // namespace Velk
