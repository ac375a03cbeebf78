#include "ui/QCButton.h"

#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/ButtonListener.h"
#include "widgets/WidgetManager.h"
#include "ui/QCUiEngine.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"

namespace {

const wchar_t* const kStateQueries[QCButton::StateCount] = {
    L"texture[@id=\"normal\"]",
    L"texture[@id=\"over\"]",
    L"texture[@id=\"down\"]",
    L"texture[@id=\"disabled\"]",
};

}  // namespace

QCButton::QCButton(QCCandyWidget* parent, int id, Velk::ButtonListener* listener)
    : QCCandyWidget(parent), mId(id), mListener(listener) {
  mTextLayout.justify = 0;
  mTextLayout.valign = 0;
}

QCButton::~QCButton() = default;

bool QCButton::IsId(int id, Velk::Widget* control) {
  auto* button = dynamic_cast<QCButton*>(control);
  return button && id == button->GetId();
}

void QCButton::Build(IXMLDOMNode* node, QCEngine*) {
  ReadCommonXml(node);
  mLabel = ReadLabelAttr(node);
  mTextLayout.Read(node);
  XmlGetAttrText(node, L"snd_hover", mHoverSound);
  XmlGetAttrText(node, L"snd_click", mClickSound);
  for (int key = Normal; key < StateCount; ++key)
    AddTexture(key, ReadWidgetTexture(node, kStateQueries[key], mWidth, mHeight));
  ReadTextAttrs(
      node, [this](int layer, const QCTextAttrValues& v) { SetTextAttr(layer, v.font, v.color, v.hcolor, v.dcolor); });
}

void QCButton::SetTextAttr(int layer, Velk::Font* font, const Velk::Color& color, const Velk::Color& hcolor,
                           const Velk::Color& dcolor) {
  if (mLayers.Set(layer, QCTextAttrValues{font, color, dcolor, hcolor})) Invalidate();
}

void QCButton::SetAllTextureImages(const QCTextureRef& image) {
  for (int key = Normal; key < StateCount; ++key) {
    if (QCTexture* texture = GetTexture(key, 0)) texture->SetImage(image);
  }
  Invalidate();
}

void QCButton::SetTextureImage(const QCTextureRef& image, int key) {
  QCTexture* texture = key >= Normal && key < StateCount ? GetTexture(key, 0) : nullptr;
  if (!texture) return;
  texture->SetImage(image);
  Invalidate();
}

void QCButton::SetLabel(const std::wstring& label) {
  mLabel = label;
  mLabelImage.Invalidate();
}

void QCButton::SetId(int id) { mId = id; }

void QCButton::SetDisabled(bool disabled) {
  if (disabled != mDisabled) mLabelImage.Invalidate();
  QCCandyWidget::SetDisabled(disabled);
}

void QCButton::MouseEnter() {
  Invalidate();
  if (mListener) mListener->OnButtonHoverEnter(mId);
  SelectUiCursor("active");
  PlayUiSound(mHoverSound);
  mLabelImage.Invalidate();
}

void QCButton::MouseLeave() {
  Invalidate();
  if (mListener) mListener->OnButtonHoverLeave(mId);
  SelectUiCursor("normal");
  mLabelImage.Invalidate();
}

void QCButton::MouseMove(int x, int y) {
  if (mListener) mListener->OnButtonHoverMove(mId, x, y);
}

void QCButton::MouseDown(int, int, int, int clickCount) {
  const POINT at = AbsolutePos();
  mPressedAt = Velk::Rect(at.x, at.y, mWidth, mHeight);
  if (!mDisabled) {
    if (mListener) mListener->OnButtonPressed(mId, clickCount);
    PlayUiSound(mClickSound);
  }
  Invalidate();
  mLabelImage.Invalidate();
}

// A press that ends outside the button, or while the application is in the background, is no click.
// A button that slid on under a still pointer (a book moving aside) was not left: the pointer is
// still where the button was when pressed.
void QCButton::MouseUp(int x, int y, int, int) {
  const POINT at = AbsolutePos();
  const int px = at.x + x, py = at.y + y;
  const bool stayed = px >= mPressedAt.mX && px < mPressedAt.mX + mPressedAt.mWidth && py >= mPressedAt.mY &&
                      py < mPressedAt.mY + mPressedAt.mHeight;
  if ((mIsOver || stayed) && mWidgetManager && mWidgetManager->mHasFocus && mListener) mListener->OnButtonReleased(mId);
  Invalidate();
  mLabelImage.Invalidate();
}

void QCButton::Deactivate() {
  QCCandyWidget::Deactivate();
  mLabelImage.Drop();
}

void QCButton::ShowStateTextures() {
  QCTexture* t[StateCount];
  for (int key = Normal; key < StateCount; ++key) {
    t[key] = GetTexture(key, 0);
    if (t[key]) t[key]->SetVisible(false);
  }
  if (t[Disabled]) t[Disabled]->SetVisible(mDisabled);
  if (mDisabled) return;
  const bool plainOver = TextureHasImage(t[Over]) && !t[Over]->IsAdditive();
  QCTexture* show = t[Normal];
  if (mIsDown) {
    if (TextureHasImage(t[Down])) {
      show = t[Down];
    } else if (plainOver) {
      show = t[Over];
    }
  } else if (mIsOver) {
    if (plainOver) show = t[Over];
    if (t[Over] && t[Over]->IsAdditive()) t[Over]->SetVisible(true);
  } else if (TextureHasImage(t[Over])) {
    t[Over]->SetCurrentFrame(0);  // its animation starts over at the next hover
  }
  if (show) show->SetVisible(true);
}

void QCButton::Update() {
  QCCandyWidget::Update();
  ShowStateTextures();
  if (mIsDown && mIsOver && mListener) mListener->OnButtonHeld(mId);
}

void QCButton::Draw(Velk::Graphics* g) {
  BeginWidgetPaint(g, this);
  QCCandyWidget::Draw(g);
  if (mLabel.empty()) return;
  const int width = mLayout.mWidth, height = mLayout.mHeight;
  if (mLabelImage.BeginRender(width, height)) {
    Velk::Graphics label(mLabelImage.Image());
    DrawTextLayers(label, mLayers, mTextLayout, QCTextLayout::Fallback::WholeWidget, width, height, mLabel, -1,
                   mDisabled);
  }
  DrawLabelImage(g, this, mLabelImage);
}
