#pragma once
#include <string>
#include <vector>

#include "graphics/Color.h"
#include "graphics/Rect.h"
#include "widgets/WidgetContainer.h"

namespace Velk {

class Image;

// The base of every user-interface element: input state, colours, margins, Tab links and the
// handlers the manager calls, which do nothing unless a derived class overrides them.
class Widget : public WidgetContainer {
 public:
  bool mVisible = true;
  bool mMouseVisible = true;  // false: never the hit itself, though its children may be
  bool mDisabled = false;
  bool mHasFocus = false;
  bool mIsDown = false;
  bool mIsOver = false;
  bool mHasTransparencies = false;  // never counts as covering a sibling's area
  std::vector<Color> mColors;
  Margins mMargins;
  bool mHandCursor = false;  // hovering shows the hand cursor
  bool mWantsFocus = false;
  Widget* mTabPrev = nullptr;
  Widget* mTabNext = nullptr;

  // Whether the widgets' text writers honour colour tags; shared by all widgets.
  static bool gColorTags;

  Widget() = default;
  ~Widget() override;

  void Update() override;

  virtual void OrderInManagerChanged();
  virtual void SetVisible(bool visible);
  virtual void SetColors(const int colors[][4], int count);
  virtual void SetColors(const int colors[][3], int count);
  virtual void SetColor(int index, const Color& color);
  virtual Color GetColor(int index, const Color& defaultColor);
  virtual const Color& GetColor(int index);
  virtual void SetDisabled(bool disabled);
  virtual void SetHandCursor(bool on);
  virtual void SetBounds(const Rect& rect);
  virtual void SetBounds(int x, int y, int width, int height);
  virtual void Move(int x, int y);
  virtual bool WantsFocus();
  virtual void DrawOverlay(Graphics* g, int priority);
  virtual void DrawOverlay(Graphics* g);
  virtual void OnFocusGained();
  virtual void OnFocusLost();
  virtual void KeyChar(wchar_t c);
  virtual void KeyDown(int key);
  virtual void KeyUp(int key);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void MouseMove(int x, int y);
  virtual void MouseDown(int x, int y, int button, int clickCount);
  virtual void MouseDown(int x, int y, int clickCode);
  virtual void MouseUp(int x, int y, int button, int clickCount);
  virtual void MouseUp(int x, int y, int clickCode);
  virtual void MouseUp(int x, int y);
  virtual void MouseDrag(int x, int y);
  virtual void MouseWheel(int delta);
  virtual bool AcceptsPoint(int x, int y);
  virtual Rect DrawShadowedCenteredLine(Graphics* g, int y, const std::wstring& line, const Color& color,
                                        const Color& shadowColor, POINT shadowOffset);
  virtual Rect DrawCenteredLine(Graphics* g, int y, const std::wstring& line);
  virtual int DrawTaggedText(Graphics* g, const std::wstring& text, int x, int y, int width, int justification,
                             bool draw, int offset, int length);
  virtual int DrawWrappedText(Graphics* g, const Rect& rect, const std::wstring& text, int lineSpacing,
                              int justification);
  virtual int MeasureWrappedHeight(Graphics* g, int width, const std::wstring& text, int lineSpacing);
  virtual int CountDigits(int number);
  virtual void DrawNumberFromStrip(Graphics* g, int number, int x, int y, Image* strip, int spacing);
  virtual bool Contains(int x, int y);
  virtual Rect GetInsetRect();
  // Where, in its own coordinates, the widget is sure to cover with opaque pixels in the frame it
  // draws next on g (the state its draw starts from), whatever lay there before; what lies under it
  // there is not drawn. Empty here.
  virtual Rect GetOpaqueArea(const Graphics& g);

  // The split of a click code: 3 middle, negative right with the count negated, else left.
  static void SplitClickCode(int clickCode, int& button, int& clickCount);
};

}  // namespace Velk
