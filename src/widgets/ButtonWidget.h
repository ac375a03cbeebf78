#pragma once
#include <memory>
#include <string>

#include "graphics/Graphics.h"
#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Velk {

class Font;

// A push button: up to four state images or a drawn bevel, a label, and a listener told of
// presses, releases, hold ticks and hover. The images and a font given by SetFont stay the
// caller's; only the default font the button makes for itself is its own.
class ButtonWidget : public Widget {
 public:
  int mId;
  std::wstring mLabel;
  int mLabelJustify = 0;  // 0 centred, 1 right, else left
  Font* mFont = nullptr;
  Image* mButtonImage = nullptr;
  Image* mOverImage = nullptr;
  Image* mDownImage = nullptr;
  Image* mDisabledImage = nullptr;
  Rect mNormalRect;
  Rect mOverRect;
  Rect mDownRect;
  Rect mDisabledRect;
  bool mInverted = false;  // swaps the pressed and released look
  bool mBtnNoDraw = false;
  bool mFrameNoDraw = false;
  ButtonListener* mButtonListener;
  double mOverAlpha = 0.0;
  double mOverAlphaSpeed = 0.0;  // fade-out, per update
  double mOverAlphaFadeInSpeed = 0.0;

  ButtonWidget(int id, ButtonListener* listener);
  ~ButtonWidget() override;

  virtual void DrawStateImage(Graphics* g, Image* image, const Rect& srcRect, int x, int y);
  virtual void SetFont(Font* font);
  virtual bool IsPressed();

  void Update() override;
  void Draw(Graphics* g) override;
  void SetDisabled(bool disabled) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseMove(int x, int y) override;
  void MouseDown(int x, int y, int clickCode) override;
  void MouseDown(int x, int y, int button, int clickCount) override;
  void MouseUp(int x, int y, int clickCode) override;
  void MouseUp(int x, int y, int button, int clickCount) override;
  void MouseUp(int x, int y) override;

 protected:
  bool HaveOverState() const { return mOverImage || mOverRect.mWidth != 0; }
  bool HaveDownState() const { return mDownImage || mDownRect.mWidth != 0; }
  bool HaveDisabledState() const { return mDisabledImage || mDisabledRect.mWidth != 0; }
  bool HaveNormalState() const { return mButtonImage || mNormalRect.mWidth != 0; }
  // Makes the default font on first need; null when the application cannot make one.
  Font* EnsureFont(int pointSize, int charSet);
  // While the hover look fades: the normal look below unless fully faded in, then the hover look
  // at the over alpha's opacity.
  template <typename DrawNormal, typename DrawOver>
  void DrawFadedOver(Graphics* g, DrawNormal drawNormal, DrawOver drawOver) {
    if (mOverAlpha < 1.0) drawNormal();
    g->SetImageColorize(true);
    g->SetColor(Color(255, 255, 255, static_cast<int>(mOverAlpha * 255)));
    drawOver();
    g->SetImageColorize(false);
  }

 private:
  std::unique_ptr<Font> mOwnFont;
  void DrawBevel(Graphics* g, bool pressed);
  void InvalidateIfHoverShows();
};

}  // namespace Velk
