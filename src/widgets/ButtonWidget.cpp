#include "widgets/ButtonWidget.h"

#include "fonts/Font.h"
#include "graphics/Image.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Velk {

namespace {

const int kButtonColors[][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};

enum ButtonColor { LabelColor, LabelOverColor, DarkColor, LightColor, MediumColor, FaceColor };

}  // namespace

ButtonWidget::ButtonWidget(int id, ButtonListener* listener) : mId(id), mButtonListener(listener) {
  mHasAlpha = true;
  SetColors(kButtonColors, 6);
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::DrawStateImage(Graphics* g, Image* image, const Rect& srcRect, int x, int y) {
  if (srcRect.mWidth == 0)
    g->DrawImage(image, x, y);
  else
    g->DrawImage(image, x, y, srcRect);
}

void ButtonWidget::SetFont(Font* font) { mFont = font; }

bool ButtonWidget::IsPressed() { return mIsDown && mIsOver && !mDisabled; }

Font* ButtonWidget::EnsureFont(int pointSize, int charSet) {
  if (!mFont && gWidgetHost) {
    mOwnFont.reset(gWidgetHost->CreateSysFont("Arial Unicode MS", pointSize, charSet, false, false, false));
    mFont = mOwnFont.get();
  }
  return mFont;
}

void ButtonWidget::Update() {
  Widget::Update();
  if (mIsDown && mIsOver) mButtonListener->OnButtonHeld(mId);
  if (!mIsDown && !mIsOver && mOverAlpha > 0) {
    if (mOverAlphaSpeed > 0) {
      mOverAlpha -= mOverAlphaSpeed;
      if (mOverAlpha < 0) mOverAlpha = 0;
    } else {
      mOverAlpha = 0;
    }
    Invalidate();
  }
  if (mIsOver && mOverAlphaFadeInSpeed > 0 && mOverAlpha < 1) {
    mOverAlpha += mOverAlphaFadeInSpeed;
    if (mOverAlpha > 1) mOverAlpha = 1.0;
    Invalidate();
  }
}

void ButtonWidget::InvalidateIfHoverShows() {
  if (mIsDown || HaveOverState() || GetColor(LabelOverColor) != GetColor(LabelColor)) Invalidate();
}

void ButtonWidget::MouseEnter() {
  if (mOverAlphaFadeInSpeed == 0 && mOverAlpha > 0) mOverAlpha = 0;
  InvalidateIfHoverShows();
  mButtonListener->OnButtonHoverEnter(mId);
}

void ButtonWidget::MouseLeave() {
  if (mOverAlphaSpeed == 0 && mOverAlpha > 0)
    mOverAlpha = 0;
  else if (mOverAlphaSpeed > 0 && mOverAlpha == 0)
    mOverAlpha = 1.0;  // the fade-out starts from full
  InvalidateIfHoverShows();
  mButtonListener->OnButtonHoverLeave(mId);
}

void ButtonWidget::MouseMove(int x, int y) { mButtonListener->OnButtonHoverMove(mId, x, y); }

void ButtonWidget::MouseDown(int x, int y, int clickCode) { Widget::MouseDown(x, y, clickCode); }

void ButtonWidget::MouseDown(int, int, int, int clickCount) {
  mButtonListener->OnButtonPressed(mId, clickCount);
  Invalidate();
}

void ButtonWidget::MouseUp(int x, int y, int clickCode) { Widget::MouseUp(x, y, clickCode); }

void ButtonWidget::MouseUp(int x, int y) { Widget::MouseUp(x, y); }

void ButtonWidget::MouseUp(int, int, int, int) {
  if (mIsOver && mWidgetManager && mWidgetManager->mHasFocus) mButtonListener->OnButtonReleased(mId);
  Invalidate();
}

void ButtonWidget::SetDisabled(bool disabled) {
  Widget::SetDisabled(disabled);
  if (HaveDisabledState()) Invalidate();
}

void ButtonWidget::DrawBevel(Graphics* g, bool pressed) {
  const int w = mWidth, h = mHeight;
  g->SetColor(GetColor(FaceColor));
  g->FillRect(0, 0, w, h);
  g->SetColor(GetColor(pressed ? DarkColor : LightColor));
  g->FillRect(0, 0, w - 1, 1);
  g->FillRect(0, 0, 1, h - 1);
  g->SetColor(GetColor(pressed ? LightColor : DarkColor));
  g->FillRect(0, h - 1, w, 1);
  g->FillRect(w - 1, 0, 1, h);
  g->SetColor(GetColor(MediumColor));
  if (pressed) {
    g->FillRect(1, 1, w - 3, 1);
    g->FillRect(1, 1, 1, h - 3);
  } else {
    g->FillRect(1, h - 2, w - 2, 1);
    g->FillRect(w - 2, 1, 1, h - 2);
  }
}

void ButtonWidget::Draw(Graphics* g) {
  if (mBtnNoDraw) return;
  if (!mLabel.empty()) EnsureFont(10, 0);
  const bool pressed = IsPressed() != mInverted;
  int labelX = 0, labelY = 0;
  if (mFont) {
    const int labelWidth = mFont->StringWidth(mLabel);
    if (mLabelJustify == 0)
      labelX = (mWidth - labelWidth) / 2;
    else if (mLabelJustify == 1)
      labelX = mWidth - labelWidth;
    labelY = (mHeight - mFont->GetHeight()) / 2 + mFont->GetAscent();
  }
  g->SetFont(mFont);
  const auto drawNormal = [&] { DrawStateImage(g, mButtonImage, mNormalRect, 0, 0); };
  const auto drawOver = [&] { DrawStateImage(g, mOverImage, mOverRect, 0, 0); };
  int labelColor = mIsOver ? LabelOverColor : LabelColor;

  if (!mButtonImage && !mDownImage) {
    if (!mFrameNoDraw) DrawBevel(g, pressed);
    if (pressed) {
      ++labelX;
      ++labelY;
    }
  } else if (pressed) {
    if (HaveDownState())
      DrawStateImage(g, mDownImage, mDownRect, 0, 0);
    else if (HaveOverState())
      drawOver();
    else
      DrawStateImage(g, mButtonImage, mNormalRect, 1, 1);
    labelColor = LabelOverColor;
  } else if (mDisabled && HaveDisabledState()) {
    DrawStateImage(g, mDisabledImage, mDisabledRect, 0, 0);
  } else if (mOverAlpha > 0 && HaveOverState()) {
    DrawFadedOver(
        g,
        [&] {
          if (HaveNormalState()) drawNormal();
        },
        drawOver);
  } else if ((mIsOver || mIsDown) && HaveOverState()) {
    drawOver();
  } else if (HaveNormalState()) {
    drawNormal();
  }
  if (!mFont) return;
  g->SetColor(GetColor(labelColor));
  g->DrawString(mLabel, labelX, labelY);
}

}  // namespace Velk
