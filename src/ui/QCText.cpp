#include "ui/QCText.h"

#include <cmath>

#include "engine/LocTexts.h"
#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"

namespace {

constexpr int kNormal = 0;
constexpr int kDisabled = 1;

std::wstring CurrentValue(const std::string& name) { return GetTextVar(name); }

}  // namespace

QCText::QCText(QCCandyWidget* parent, QCEngine* app) : QCCandyWidget(parent), mApp(app) {}

QCText::~QCText() = default;

void QCText::Build(IXMLDOMNode* node, QCEngine*) {
  ReadCommonXml(node);
  mRawText = ReadLabelAttr(node);
  mTextLayout.Read(node);
  XmlGetAttrInt(node, L"fps", mFps);
  XmlGetAttrBool(node, L"oneshot", mOneshot);
  ReadTextAttrs(node, [this](int layer, const QCTextAttrValues& v) { SetTextAttr(layer, v.font, v.color, v.dcolor); });
  AddTexture(kNormal, ReadWidgetTexture(node, L"texture[@id=\"normal\"]", mWidth, mHeight));
  AddTexture(kDisabled, ReadWidgetTexture(node, L"texture[@id=\"disabled\"]", mWidth, mHeight));
}

void QCText::SetText(const std::wstring& text) {
  mRawText = text;
  mVarCache.clear();
  mBuilt = false;
}

void QCText::SetTextAttr(int layer, Velk::Font* font, Velk::Color color, Velk::Color dcolor) {
  if (!mLayers.Set(layer, QCTextAttrValues{font, color, dcolor, color})) return;
  mLabel.Invalidate();
}

void QCText::SetVisibleLength(int n) {
  mVisibleLength = n;
  mLabel.Invalidate();
}

void QCText::SetOverrideImage(Velk::Image* image) { mOverride = image; }

void QCText::SetTextureImages(const QCTextureRef& image) {
  for (int key : {kNormal, kDisabled}) {
    if (QCTexture* texture = GetTexture(key, 0)) texture->SetImage(image);
  }
}

void QCText::SetTextureImage(int which, const QCTextureRef& image, const int rect[4]) {
  if (which != kNormal && which != kDisabled) return;
  QCTexture* texture = GetTexture(which, 0);
  if (!texture) return;
  texture->SetImage(image);
  texture->SetSourceRect(rect);
}

void QCText::SetDisabled(bool disabled) {
  Velk::Widget::SetDisabled(disabled);
  mLabel.Invalidate();
}

void QCText::Deactivate() {
  QCCandyWidget::Deactivate();
  mLabel.Drop();
}

void QCText::ShowTypedPrefix(float t) {
  SetVisibleLength(static_cast<int>(std::ceil(static_cast<float>(mDisplayText.size()) * t)));
}

// An emptied text clears what was shown before; the variables of a hidden label are not followed.
void QCText::UpdateDisplayText() {
  if (!IsVisibleInTree()) return;
  if (mRawText.empty() && mDisplayText.empty()) return;
  if (mRawText.empty() || !mBuilt || TextVarsChanged(mVarCache, CurrentValue)) {
    mBuilt = true;
    mLabel.Invalidate();
    mVarCache.clear();
    mDisplayText = ExpandTextVars(mRawText, CurrentValue, mVarCache);
    SendEffectMessage("onchange");
  }
  mVisibleLength = static_cast<int>(mDisplayText.size());
}

void QCText::UpdateTextures() {
  QCTexture* normal = GetTexture(kNormal, 0);
  QCTexture* disabled = GetTexture(kDisabled, 0);
  if (mDisabled && disabled && TextureHasImage(disabled)) {
    disabled->SetVisible(true);
    if (normal) normal->SetVisible(false);
  } else if (mDisabled) {
    if (normal) normal->SetVisible(true);
  } else if (normal) {
    normal->SetVisible(true);
    if (disabled) disabled->SetVisible(false);
  }
}

void QCText::Update() {
  UpdateDisplayText();
  UpdateTextures();
  QCCandyWidget::Update();
}

void QCText::Draw(Velk::Graphics* g) {
  if (mOverride) {
    g->DrawImage(mOverride, 0, 0, mWidth, mHeight);
    return;
  }
  BeginWidgetPaint(g, this);
  QCCandyWidget::Draw(g);
  if (mDisplayText.empty()) return;
  const int width = mLayout.mWidth, height = mLayout.mHeight;
  if (mLabel.BeginRender(width, height)) {
    Velk::Graphics label(mLabel.Image());
    DrawTextLayers(label, mLayers, mTextLayout, QCTextLayout::Fallback::Nothing, width, height, mDisplayText,
                   mVisibleLength, mDisabled);
  }
  DrawLabelImage(g, this, mLabel);
}
