#include "widgets/Widget.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "fonts/Font.h"
#include "fonts/TruncToInt.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "platform/window/WinUser.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Velk {

bool Widget::gColorTags = true;

namespace {

// Lends the widgets' colour-tag setting to a drawing context for one call.
class ScopedColorTags {
 public:
  explicit ScopedColorTags(Graphics* g) : mG(g), mOld(g->mWriteColoredString) {
    g->mWriteColoredString = Widget::gColorTags;
  }
  ~ScopedColorTags() { mG->mWriteColoredString = mOld; }
  ScopedColorTags(const ScopedColorTags&) = delete;
  ScopedColorTags& operator=(const ScopedColorTags&) = delete;

 private:
  Graphics* mG;
  bool mOld;
};

}  // namespace

Widget::~Widget() = default;

void Widget::Update() { WidgetContainer::Update(); }

void Widget::OrderInManagerChanged() {}

void Widget::SetVisible(bool visible) {
  if (visible == mVisible) return;
  mVisible = visible;
  if (visible)
    Invalidate();
  else
    InvalidateFull();
  if (mWidgetManager) mWidgetManager->RetrackMouse();
}

void Widget::SetColors(const int colors[][4], int count) {
  mColors.clear();
  for (int i = 0; i < count; ++i) SetColor(i, Color(colors[i][0], colors[i][1], colors[i][2], colors[i][3]));
  Invalidate();
}

void Widget::SetColors(const int colors[][3], int count) {
  mColors.clear();
  for (int i = 0; i < count; ++i) SetColor(i, Color(colors[i][0], colors[i][1], colors[i][2]));
  Invalidate();
}

void Widget::SetColor(int index, const Color& color) {
  if (index < 0) return;
  if (static_cast<size_t>(index) >= mColors.size()) mColors.resize(static_cast<size_t>(index) + 1, Color::Black);
  mColors[static_cast<size_t>(index)] = color;
  Invalidate();
}

Color Widget::GetColor(int index, const Color& defaultColor) {
  if (index < 0 || static_cast<size_t>(index) >= mColors.size()) return defaultColor;
  return mColors[static_cast<size_t>(index)];
}

const Color& Widget::GetColor(int index) {
  // Read-only: the fall-back is shared by every out-of-range read.
  static const Color outOfTable(0, 0, 0, 255);
  if (index < 0 || static_cast<size_t>(index) >= mColors.size()) return outOfTable;
  return mColors[static_cast<size_t>(index)];
}

void Widget::SetDisabled(bool disabled) {
  if (disabled == mDisabled) return;
  mDisabled = disabled;
  if (disabled && mWidgetManager) mWidgetManager->DisableWidget(this);
  Invalidate();
  if (!disabled && mWidgetManager && Contains(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY))
    mWidgetManager->TrackMousePosition(mWidgetManager->mLastMouseX, mWidgetManager->mLastMouseY);
}

void Widget::SetHandCursor(bool on) {
  if (mWidgetManager && mWidgetManager->mApp) mWidgetManager->mApp->SetCursorKind(on ? 1 : 0);
}

void Widget::SetBounds(const Rect& rect) { SetBounds(rect.mX, rect.mY, rect.mWidth, rect.mHeight); }

void Widget::SetBounds(int x, int y, int width, int height) {
  if (x == mX && y == mY && width == mWidth && height == mHeight) return;
  InvalidateFull();
  mX = x;
  mY = y;
  mWidth = width;
  mHeight = height;
  Invalidate();
  if (mWidgetManager) mWidgetManager->RetrackMouse();
}

void Widget::Move(int x, int y) { SetBounds(x, y, mWidth, mHeight); }

bool Widget::WantsFocus() { return mWantsFocus; }

void Widget::DrawOverlay(Graphics* g, int) { DrawOverlay(g); }

void Widget::DrawOverlay(Graphics*) {}

void Widget::OnFocusGained() { mHasFocus = true; }

void Widget::OnFocusLost() { mHasFocus = false; }

void Widget::KeyChar(wchar_t) {}

void Widget::KeyDown(int key) {
  if (key != static_cast<int>(VK_TAB) || !mWidgetManager) return;
  Widget* next = mWidgetManager->mKeyDown[VK_SHIFT] ? mTabPrev : mTabNext;
  if (next) mWidgetManager->SetFocus(next);
}

void Widget::KeyUp(int) {}

void Widget::MouseEnter() {}

void Widget::MouseLeave() {}

void Widget::MouseMove(int, int) {}

void Widget::MouseDown(int, int, int, int) {}

void Widget::SplitClickCode(int clickCode, int& button, int& clickCount) {
  if (clickCode == 3) {
    button = 2;
    clickCount = 1;
  } else if (clickCode < 0) {
    button = 1;
    clickCount = -clickCode;
  } else {
    button = 0;
    clickCount = clickCode;
  }
}

void Widget::MouseDown(int x, int y, int clickCode) {
  int button = 0, count = 0;
  SplitClickCode(clickCode, button, count);
  MouseDown(x, y, button, count);
}

void Widget::MouseUp(int, int, int, int) {}

void Widget::MouseUp(int x, int y, int clickCode) {
  int button = 0, count = 0;
  SplitClickCode(clickCode, button, count);
  MouseUp(x, y);
  MouseUp(x, y, button, count);
}

void Widget::MouseUp(int, int) {}

void Widget::MouseDrag(int, int) {}

void Widget::MouseWheel(int) {}

bool Widget::AcceptsPoint(int, int) { return true; }

Rect Widget::DrawShadowedCenteredLine(Graphics* g, int y, const std::wstring& line, const Color& color,
                                      const Color& shadowColor, POINT shadowOffset) {
  Font* font = g->GetFont();
  const int w = font ? font->StringWidth(line) : 0;
  const int lx = (mWidth - w) / 2;
  g->SetColor(shadowColor);
  g->DrawString(line, lx + shadowOffset.x, y + shadowOffset.y);
  g->SetColor(color);
  g->DrawString(line, lx, y);
  if (!font) return Rect(lx, y, 0, 0);
  return Rect(lx + std::min(shadowOffset.x, 0), y + std::min(shadowOffset.y, 0) - font->GetAscent(),
              w + std::abs(shadowOffset.x), font->GetHeight() + std::abs(shadowOffset.y));
}

Rect Widget::DrawCenteredLine(Graphics* g, int y, const std::wstring& line) {
  Font* font = g->GetFont();
  if (!font) return Rect(mWidth / 2, y, 0, 0);
  const int w = font->StringWidth(line);
  const int lx = (mWidth - w) / 2;
  g->DrawString(line, lx, y);
  return Rect(lx, y - font->GetAscent(), w, font->GetHeight());
}

int Widget::DrawTaggedText(Graphics* g, const std::wstring& text, int x, int y, int width, int justification, bool draw,
                           int offset, int length) {
  ScopedColorTags tags(g);
  return g->DrawTaggedString(text, x, y, width, justification, draw, offset, length, -1);
}

int Widget::DrawWrappedText(Graphics* g, const Rect& rect, const std::wstring& text, int lineSpacing,
                            int justification) {
  ScopedColorTags tags(g);
  return g->DrawWrappedText(rect, text, lineSpacing, justification, nullptr, -1, nullptr);
}

int Widget::MeasureWrappedHeight(Graphics* g, int width, const std::wstring& text, int lineSpacing) {
  return g->MeasureWrappedText(width, text, lineSpacing, nullptr);
}

int Widget::CountDigits(int number) {
  int digits = 1;
  for (; number >= 10; number /= 10) ++digits;
  return digits;
}

void Widget::DrawNumberFromStrip(Graphics* g, int number, int x, int y, Image* strip, int spacing) {
  if (!strip) return;
  const int cell = strip->mWidth / 10;
  const int digits = CountDigits(number);
  int divisor = 1;
  for (int i = 1; i < digits; ++i) divisor *= 10;
  int pen = 0;
  for (int i = 0; i < digits; ++i, divisor /= 10) {
    const int digit = number / divisor % 10;
    std::unique_ptr<Graphics> cellG(g->Clone());
    cellG->IntersectClip(x + pen, y, cell, strip->mHeight);
    cellG->DrawImage(strip, x + pen - digit * cell, y);
    pen += cell + spacing;
  }
}

bool Widget::Contains(int x, int y) {
  return x >= mX && x < Rect::Far(mX, mWidth) && y >= mY && y < Rect::Far(mY, mHeight);
}

Rect Widget::GetInsetRect() {
  return Rect(ClampToInt(int64_t{mX} + mMargins.mLeft), ClampToInt(int64_t{mY} + mMargins.mTop),
              ClampToInt(int64_t{mWidth} - mMargins.mLeft - mMargins.mRight),
              ClampToInt(int64_t{mHeight} - mMargins.mTop - mMargins.mBottom));
}

Rect Widget::GetOpaqueArea(const Graphics&) { return Rect(); }

}  // namespace Velk
