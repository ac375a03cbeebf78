#include "widgets/DialogButton.h"

#include "fonts/Font.h"
#include "graphics/Image.h"

namespace Velk {

namespace {

const int kDialogButtonColors[][3] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0},
                                      {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};

}  // namespace

DialogButton::DialogButton(Image* componentImage, int id, ButtonListener* listener)
    : ButtonWidget(id, listener), mComponentImage(componentImage) {
  mHandCursor = true;
  SetColors(kDialogButtonColors, 6);
}

void DialogButton::DrawCells(Graphics* g, bool pressed) {
  const Rect box(0, 0, mWidth, mHeight);
  const auto cell = [&](const Rect& src) { g->DrawNinePartBox(src, box, mComponentImage); };
  if (mDisabled && mDisabledRect.mWidth > 0 && mDisabledRect.mHeight > 0)
    cell(mDisabledRect);
  else if (pressed)
    cell(mDownRect);
  else if (mOverAlpha > 0)
    DrawFadedOver(
        g, [&] { cell(mNormalRect); }, [&] { cell(mOverRect); });
  else
    cell(mIsOver ? mOverRect : mNormalRect);
}

void DialogButton::Draw(Graphics* g) {
  if (mBtnNoDraw) return;
  if (!mComponentImage) {
    ButtonWidget::Draw(g);
    return;
  }
  if (!mLabel.empty()) EnsureFont(12, 1);
  const bool pressed = IsPressed();
  if (mNormalRect.mWidth != 0) {
    DrawCells(g, pressed);
    if (pressed) g->Translate(mTranslateX, mTranslateY);
  } else {
    if (pressed) g->Translate(mTranslateX, mTranslateY);
    g->DrawNinePartBox(Rect(0, 0, mWidth, mHeight), mComponentImage);
  }
  if (mFont) {
    g->SetFont(mFont);
    g->SetColor(GetColor(mIsOver ? 1 : 0));
    const int ascent = mFont->GetAscent();
    const int x = mTextOffsetX + (mWidth - mFont->StringWidth(mLabel)) / 2;
    const int y = mTextOffsetY + (ascent + mHeight - ascent / 6 - mFont->GetAscentPadding() - 1) / 2;
    g->DrawString(mLabel, x, y);
  }
  if (pressed) g->Translate(-mTranslateX, -mTranslateY);
}

}  // namespace Velk
