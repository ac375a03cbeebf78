#include "widgets/Dialog.h"

#include "fonts/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "widgets/DialogListener.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Velk {

namespace {

enum DialogColor {
  HeaderColor,
  LinesColor,
  FooterColor,
  ButtonTextColor,
  ButtonTextOverColor,
  FaceColor,
  OutlineColor
};

const std::wstring kYesLabel = L"YES";
const std::wstring kNoLabel = L"NO";
const std::wstring kOkLabel = L"OK";
const std::wstring kCancelLabel = L"CANCEL";

// A metric of a font that may be missing (no application to make one): 0 then.
int Metric(const std::unique_ptr<Font>& font, int (Font::*metric)()) { return font ? (font.get()->*metric)() : 0; }

}  // namespace

Dialog::Dialog(Image* componentImage, Image* buttonImage, int id, bool isModal, const std::wstring& header,
               const std::wstring& lines, const std::wstring& footer, int buttonMode)
    : mDialogListener(gWidgetHost),
      mComponentImage(componentImage),
      mDialogHeader(header),
      mDialogFooter(footer),
      mDialogLines(lines),
      mButtonMode(buttonMode),
      mButtonHeight(buttonImage ? buttonImage->mHeight : 24),
      mId(id),
      mIsModal(isModal) {
  mHasTransparencies = true;
  mHasAlpha = true;
  mPriority = 1;
  if (buttonMode == 1 || buttonMode == 2 || buttonMode == 3) {
    mYesButton = std::make_unique<DialogButton>(buttonImage, YesButtonId, this);
    mYesButton->mLabel = buttonMode == 1 ? kYesLabel : buttonMode == 2 ? kOkLabel : footer;
  }
  if (buttonMode == 1 || buttonMode == 2) {
    mNoButton = std::make_unique<DialogButton>(buttonImage, NoButtonId, this);
    mNoButton->mLabel = buttonMode == 1 ? kNoLabel : kCancelLabel;
  }
  const int label = buttonImage ? 255 : 0;
  const int colors[][3] = {{255, 255, 255},       {255, 255, 0}, {255, 255, 255}, {label, label, label},
                           {label, label, label}, {80, 80, 80},  {255, 255, 255}};
  SetColors(colors, 7);
}

Dialog::~Dialog() {
  mWaitToken->mAlive = false;
  mWaitToken->mResult = mResult;
  // A button still in the tree must leave it before it is deleted.
  for (DialogButton* button : {mYesButton.get(), mNoButton.get()})
    if (button && button->mParent) button->mParent->RemoveChild(button);
}

void Dialog::SetButtonFont(Font* font) {
  if (mYesButton) mYesButton->SetFont(font);
  if (mNoButton) mNoButton->SetFont(font);
}

void Dialog::SetHeaderFont(Font* font) { mHeaderFont.reset(font ? font->Duplicate() : nullptr); }

void Dialog::SetLinesFont(Font* font) { mLinesFont.reset(font ? font->Duplicate() : nullptr); }

void Dialog::EnsureFonts() {
  if (!gWidgetHost) return;
  if (!mHeaderFont) mHeaderFont.reset(gWidgetHost->CreateSysFont("Arial Unicode MS", 14, 0, false, false, false));
  if (!mLinesFont) mLinesFont.reset(gWidgetHost->CreateSysFont("Arial Unicode MS", 12, 0, false, false, false));
}

int Dialog::LinesSpacing() { return Metric(mLinesFont, &Font::GetLineSpacing) + mLineSpacingOffset; }

int Dialog::GetPreferredHeight(int width) {
  EnsureFonts();
  const Margins& bg = mBackgroundInsets;
  const Margins& content = mContentInsets;
  int h = bg.mTop + bg.mBottom + content.mTop + content.mBottom;
  bool preceded = false;
  if (!mDialogHeader.empty()) {
    h += Metric(mHeaderFont, &Font::GetHeight) - Metric(mHeaderFont, &Font::GetAscentPadding);
    preceded = true;
  }
  if (!mDialogLines.empty()) {
    if (preceded) h += mSpaceAfterHeader;
    Graphics g;
    g.SetFont(mLinesFont.get());
    h += MeasureWrappedHeight(&g, width - content.mRight - content.mLeft - bg.mRight - bg.mLeft - 4, mDialogLines,
                              LinesSpacing());
    preceded = true;
  }
  if (!mDialogFooter.empty() && mButtonMode != 3) {
    if (preceded) h += 8;
    h += Metric(mHeaderFont, &Font::GetLineSpacing);
    preceded = true;
  }
  if (mYesButton) {
    if (preceded) h += 8;
    h += 8 + mButtonHeight;
  }
  return h;
}

bool Dialog::IsModal() { return mIsModal; }

int Dialog::WaitForResult(bool autoKill) {
  const std::shared_ptr<WaitToken> token = mWaitToken;
  WidgetHost* app = gWidgetHost;
  bool running = true;
  do {
    running = app && app->RunLoopStep();
  } while (running && token->mAlive && mWidgetManager && mResult == NoResult);
  // Deleted inside the loop: answer from the token and touch nothing of the dialog.
  if (!token->mAlive) return token->mResult;
  const int result = mResult;
  if (autoKill && app) app->RemoveDialog(mId);
  return result;
}

void Dialog::AttachToManager(WidgetManager* manager) {
  Widget::AttachToManager(manager);
  if (mYesButton) manager->AddChild(mYesButton.get());
  if (mNoButton) manager->AddChild(mNoButton.get());
}

void Dialog::DetachFromManager(WidgetManager* manager) {
  Widget::DetachFromManager(manager);
  if (mYesButton) manager->RemoveChild(mYesButton.get());
  if (mNoButton) manager->RemoveChild(mNoButton.get());
}

void Dialog::OrderInManagerChanged() {
  if (!mWidgetManager) return;
  // The no button first, so the yes button ends up between the dialog and it.
  if (mNoButton) mWidgetManager->PutInFront(mNoButton.get(), this);
  if (mYesButton) mWidgetManager->PutInFront(mYesButton.get(), this);
}

void Dialog::SetColor(int index, const Color& color) {
  Widget::SetColor(index, color);
  const int buttonIndex = index == ButtonTextColor ? 0 : index == ButtonTextOverColor ? 1 : -1;
  if (buttonIndex < 0) return;
  if (mYesButton) mYesButton->SetColor(buttonIndex, color);
  if (mNoButton) mNoButton->SetColor(buttonIndex, color);
}

void Dialog::SetBounds(int x, int y, int width, int height) {
  Widget::SetBounds(x, y, width, height);
  const Margins& bg = mBackgroundInsets;
  const Margins& content = mContentInsets;
  const int buttonY = y + height - content.mBottom - bg.mBottom - mButtonHeight;
  if (mYesButton && mNoButton) {
    const int buttonWidth =
        (width - bg.mLeft - bg.mRight - content.mLeft - content.mRight - 2 * mButtonSidePadding - mButtonHorzSpacing) /
        2;
    mYesButton->SetBounds(x + bg.mLeft + content.mLeft + mButtonSidePadding, buttonY, buttonWidth, mButtonHeight);
    mNoButton->SetBounds(mYesButton->mX + buttonWidth + mButtonHorzSpacing, mYesButton->mY, buttonWidth, mButtonHeight);
  } else if (mYesButton) {
    mYesButton->SetBounds(x + bg.mLeft + content.mLeft, buttonY,
                          width - content.mRight - bg.mRight - bg.mLeft - content.mLeft, mButtonHeight);
  }
}

void Dialog::Draw(Graphics* g) {
  EnsureFonts();
  const Margins& bg = mBackgroundInsets;
  const Margins& content = mContentInsets;
  if (!mComponentImage) {
    g->SetColor(GetColor(OutlineColor));
    g->DrawRect(12, 12, mWidth - 25, mHeight - 25);
    g->SetColor(GetColor(FaceColor));
    g->FillRect(13, 13, mWidth - 26, mHeight - 26);
    g->SetColor(Color(0, 0, 0, 128));
    g->FillRect(mWidth - 12, 24, 12, mHeight - 36);
    g->FillRect(24, mHeight - 12, mWidth - 24, 12);
  } else {
    g->DrawNinePartBox(Rect(bg.mLeft, bg.mTop, mWidth - bg.mRight - bg.mLeft, mHeight - bg.mBottom - bg.mTop),
                       mComponentImage);
  }
  int y = content.mTop + bg.mTop;
  if (!mDialogHeader.empty()) {
    const int ascent = Metric(mHeaderFont, &Font::GetAscent);
    const int baseline = y - Metric(mHeaderFont, &Font::GetAscentPadding) + ascent;
    g->SetFont(mHeaderFont.get());
    g->SetColor(GetColor(HeaderColor));
    DrawCenteredLine(g, baseline, mDialogHeader);
    y = baseline - ascent + Metric(mHeaderFont, &Font::GetHeight) + mSpaceAfterHeader;
  }
  g->SetFont(mLinesFont.get());
  g->SetColor(GetColor(LinesColor));
  const int textHeight = DrawWrappedText(
      g, Rect(bg.mLeft + 2 + content.mLeft, y, mWidth - content.mRight - bg.mLeft - content.mLeft - bg.mRight - 4, 0),
      mDialogLines, LinesSpacing(), mTextAlign);
  if (!mDialogFooter.empty() && mButtonMode != 3) {
    g->SetFont(mHeaderFont.get());
    g->SetColor(GetColor(FooterColor));
    DrawCenteredLine(g, y + textHeight + 8 + Metric(mHeaderFont, &Font::GetLineSpacing), mDialogFooter);
  }
}

void Dialog::SetCursorKind(int kind) {
  if (mWidgetManager && mWidgetManager->mApp) mWidgetManager->mApp->SetCursorKind(kind);
}

void Dialog::MouseDown(int x, int y, int, int clickCount) {
  if (clickCount != 1) return;
  SetCursorKind(2);
  mDragging = true;
  mDragMouseX = x;
  mDragMouseY = y;
}

void Dialog::MouseUp(int, int, int, int) {
  if (!mDragging) return;
  SetCursorKind(0);
  mDragging = false;
}

namespace {

// The lower bound is applied first and wins.
int ClampLowFirst(int value, int low, int high) {
  if (value < low) return low;
  return value > high ? high : value;
}

}  // namespace

void Dialog::MouseDrag(int x, int y) {
  if (!mDragging || !mWidgetManager) return;
  const int managerWidth = mWidgetManager->mWidth, managerHeight = mWidgetManager->mHeight;
  const int newX = ClampLowFirst(mX + x - mDragMouseX, -8, managerWidth - mWidth + 8);
  const int newY = ClampLowFirst(mY + y - mDragMouseY, -8, managerHeight - mHeight + 8);
  mDragMouseX = ClampLowFirst(mX - newX + x, 8, mWidth - 9);
  mDragMouseY = ClampLowFirst(mY - newY + y, 8, mHeight - 9);
  Move(newX, newY);
}

void Dialog::OnButtonPressed(int id) {
  if ((id == YesButtonId || id == NoButtonId) && mDialogListener) mDialogListener->OnDialogButtonPressed(mId, id);
}

void Dialog::OnButtonReleased(int id) {
  if (id != YesButtonId && id != NoButtonId) return;
  mResult = id;
  if (mDialogListener) mDialogListener->OnDialogButtonReleased(mId, id);
}

}  // namespace Velk
