#include "fonts/Font.h"

namespace Velk {

int Font::GetAscent() { return mAscent; }

int Font::GetAscentPadding() { return mAscentPadding; }

int Font::GetDescent() { return mHeight - mAscent; }

int Font::GetHeight() { return mHeight; }

int Font::GetLineSpacingOffset() { return mLineSpacingOffset; }

int Font::GetLineSpacing() { return mHeight + mLineSpacingOffset; }

int Font::StringWidth(const std::wstring&) { return 0; }

int Font::CharWidth(wchar_t c) { return StringWidth(std::wstring(1, c)); }

int Font::CharWidthKern(wchar_t c, wchar_t) { return CharWidth(c); }

void Font::DrawString(Graphics*, int, int, const std::wstring&, const Color&, const Rect&) {}

}  // namespace Velk
