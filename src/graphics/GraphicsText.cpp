#include <algorithm>
#include <cstdint>

#include "fonts/Font.h"
#include "graphics/Graphics.h"

namespace Velk {

namespace {

constexpr wchar_t kCaret = L'^';
constexpr int kTagLength = 8;

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return 0;
}

}  // namespace

int Graphics::TextWidth(const std::wstring& str) const { return mFont && !str.empty() ? mFont->StringWidth(str) : 0; }

Color Graphics::TagColor(const std::wstring& text, size_t caret, int oldColor) const {
  if (text[caret + 1] == L'o') {
    if (text.compare(caret + 1, 6, L"oldclr") != 0) return Color(0, 0, 0, mColor.mAlpha);
    const Color old(static_cast<uint32_t>(oldColor));
    return Color(old.mRed, old.mGreen, old.mBlue, mColor.mAlpha);
  }
  int rgb[3];
  for (int k = 0; k < 3; ++k) rgb[k] = HexDigit(text[caret + 1 + 2 * k]) * 16 + HexDigit(text[caret + 2 + 2 * k]);
  return Color(rgb[0], rgb[1], rgb[2], mColor.mAlpha);
}

int Graphics::DrawTaggedString(const std::wstring& text, int x, int y, int width, int justification, bool draw,
                               int offset, int length, int oldColor) {
  if (oldColor == -1) oldColor = static_cast<int>(mColor.ToArgb());
  if (draw && (justification == 0 || justification == 1)) {
    const int measured = DrawTaggedString(text, x, y, width, -1, false, offset, length, oldColor);
    const int64_t room = int64_t{width} - measured;
    x = ClampToInt(x + (justification == 0 ? room / 2 : room));
  }
  const int64_t size = static_cast<int64_t>(text.size());
  const int64_t end = length < 0 ? size : std::min<int64_t>(static_cast<int64_t>(offset) + length, size);
  std::wstring run;
  int pen = 0;
  for (int64_t i = std::max(offset, 0); i < end;) {
    const wchar_t c = text[static_cast<size_t>(i)];
    if (c != kCaret || !mWriteColoredString) {
      run += c;
      ++i;
      continue;
    }
    if (i + 1 < end && text[static_cast<size_t>(i + 1)] == kCaret) {
      run += kCaret;
      i += 2;
      continue;
    }
    // An unfinished tag ends the line.
    if (i > end - kTagLength) break;
    const Color tagColor = TagColor(text, static_cast<size_t>(i), oldColor);
    if (draw) {
      DrawString(run, ClampToInt(int64_t{x} + pen), y);
      SetColor(tagColor);
    }
    pen = ClampToInt(int64_t{pen} + TextWidth(run));
    run.clear();
    i += kTagLength;
  }
  if (draw) DrawString(run, ClampToInt(int64_t{x} + pen), y);
  return ClampToInt(int64_t{pen} + TextWidth(run));
}

int Graphics::DrawTaggedSegment(const std::wstring& text, int offset, int count, int x, int y, int width,
                                int justification, int oldColor, int lengthLimit) {
  if (offset + count > lengthLimit) {
    count = lengthLimit - offset;
    if (count < 1) return -1;
  }
  return DrawTaggedString(text, x, y, width, justification, true, offset, count, oldColor);
}

int Graphics::DrawWrappedText(const Rect& area, const std::wstring& text, int lineSpacing, int justification,
                              int* maxWidth, int length, int* lastWidth) {
  if (!mFont) return 0;
  const Color savedColor = mColor;
  uint32_t packed = savedColor.ToArgb();
  if ((packed >> 24) == 0xFF) packed &= 0x00FFFFFF;
  const int oldColor = static_cast<int>(packed);
  if (lineSpacing == -1) lineSpacing = mFont->GetLineSpacing();
  const int textLength = static_cast<int>(text.size());
  const int limit = length < 0 ? textLength : length;

  int yOffset = mFont->GetAscent() - mFont->GetAscentPadding();
  int lineStart = 0, curWidth = 0, lastSpace = -1, largest = 0, startOffset = 0;
  wchar_t prev = 0, c = 0;
  if (lastWidth) startOffset = curWidth = *lastWidth;

  for (int i = 0; i < textLength;) {
    c = text[static_cast<size_t>(i)];
    if (c == kCaret && mWriteColoredString && i + 1 < textLength) {
      if (text[static_cast<size_t>(i + 1)] == kCaret) {
        ++i;
      } else {
        i += kTagLength;
        continue;
      }
    } else if (c == L' ') {
      lastSpace = i;
    } else if (c == L'\n') {
      lastSpace = i;
      curWidth = area.mWidth + 1;
      ++i;
    }
    curWidth += mFont->CharWidthKern(c, prev);
    prev = c;
    if (curWidth <= area.mWidth) {
      ++i;
      continue;
    }
    int lineWidth;
    if (lastSpace >= 0) {
      const int lineY = area.mY + yOffset;
      const int clipTop = mClipRect.mY;
      if (TransY(lineY) >= clipTop && TransY(lineY) < clipTop + mClipRect.mHeight + lineSpacing)
        DrawTaggedSegment(text, lineStart, lastSpace - lineStart, area.mX + startOffset, lineY, area.mWidth,
                          justification, oldColor, limit);
      lineWidth = curWidth + startOffset;
      const bool newline = text[static_cast<size_t>(lastSpace)] == L'\n';
      lineStart = lastSpace + 1;
      if (!newline)
        while (lineStart < textLength && text[static_cast<size_t>(lineStart)] == L' ') ++lineStart;
      i = lineStart;
    } else {
      if (i == lineStart) ++i;
      lineWidth = DrawTaggedSegment(text, lineStart, i - lineStart, area.mX + startOffset, area.mY + yOffset,
                                    area.mWidth, justification, oldColor, limit);
      if (lineWidth < 0) break;
      if (lastWidth) *lastWidth = lineWidth;
      lineStart = i;
    }
    largest = std::max(largest, lineWidth);
    curWidth = 0;
    prev = 0;
    startOffset = 0;
    yOffset += lineSpacing;
    lastSpace = -1;
  }

  if (lineStart < textLength) {
    const int w = DrawTaggedSegment(text, lineStart, textLength - lineStart, area.mX + startOffset, area.mY + yOffset,
                                    area.mWidth, justification, oldColor, limit);
    if (w >= 0) {
      largest = std::max(largest, w);
      if (lastWidth) *lastWidth = w;
      yOffset += lineSpacing;
    }
  } else if (c == L'\n') {
    yOffset += lineSpacing;
    if (lastWidth) *lastWidth = 0;
  }

  SetColor(savedColor);
  if (maxWidth) *maxWidth = largest;
  return mFont->GetDescent() + yOffset - lineSpacing;
}

int Graphics::MeasureWrappedText(int width, const std::wstring& text, int lineSpacing, int* maxWidth) {
  Graphics scratch(nullptr);
  scratch.SetFont(mFont);
  return scratch.DrawWrappedText(Rect(0, 0, width, 0), text, lineSpacing, -1, maxWidth, -1, nullptr);
}

}  // namespace Velk
