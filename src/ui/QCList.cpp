#include "ui/QCList.h"

#include "engine/XmlAccess.h"
#include "fonts/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/Image.h"
#include "ui/QCScrollBar.h"
#include "ui/QCButton.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"

namespace {

constexpr int kNormal = 0;
constexpr int kDisabled = 1;
constexpr int kFallbackSpacing = 16;

}  // namespace

QCList::QCList(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCList::~QCList() { mCheck.ReleaseFrames(); }

void QCList::Build(IXMLDOMNode* node, QCEngine* app) {
  XmlGetAttrPixels(node, L"line_spacing", mLineSpacing);
  XmlGetAttrPixels(node, L"left", mLeft);
  ParseColorAttr(node, L"sel_color", &mSelColor);
  ReadCommonXml(node);
  if (XmlNodeRef element = SelectChild(node, L"element[@name=\"scroll\"]")) BuildScrollBar(element.Get(), app);
  ReadTextAttrs(node, [this](int layer, const QCTextAttrValues& v) { SetTextAttr(layer, v.font, v.color, v.dcolor); });
  AddTexture(kNormal, ReadWidgetTexture(node, L"texture[@id=\"normal\"]", mWidth, mHeight));
  AddTexture(kDisabled, ReadWidgetTexture(node, L"texture[@id=\"disabled\"]", mWidth, mHeight));
  ReadCheckTexture(node);
  // Rows and clicks divide by the spacing.
  if (mLineSpacing <= 0) {
    mLineSpacing = mLayers.Normal() ? mLayers.Normal()->GetHeight() : kFallbackSpacing;
    if (mLineSpacing <= 0) mLineSpacing = kFallbackSpacing;
    LogElementProblem(node, "no positive line_spacing: the normal font's height is used");
  }
  Resize(mLayout.mX, mLayout.mY, mLayout.mWidth, mLayout.mHeight);
}

// Placed along the right edge, its arrows at the ends and its track between them.
void QCList::BuildScrollBar(IXMLDOMNode* element, QCEngine* app) {
  mScroll = new QCScrollBar(this);
  mScroll->Build(element, app);
  BindControl("scroll", mScroll);
  const int barWidth = mScroll->mLayout.mWidth;
  mScroll->Resize(mWidth - barWidth, 0, barWidth, mHeight);
  mTextAreaWidth = mWidth - barWidth - mLeft;
  int top = 0, bottom = 0;
  if (QCCandyWidget* up = mScroll->FindChild("up")) {
    up->Move(0, 0);
    top = up->mLayout.mHeight;
  }
  if (QCCandyWidget* down = mScroll->FindChild("down")) {
    down->Move(0, mHeight - down->mLayout.mHeight);
    bottom = mHeight - down->mLayout.mHeight;
  }
  if (QCCandyWidget* slider = mScroll->FindChild("slider")) bottom -= slider->mLayout.mHeight;
  mScroll->SetTrack(0, top, 0, bottom);
}

// Without a width the mark covers the image from (u, v) on; an unknown image gives an empty mark.
void QCList::ReadCheckTexture(IXMLDOMNode* node) {
  XmlNodeRef element = SelectChild(node, L"texture[@id=\"check\"]");
  if (!element) return;
  QCTextureRef picture = ReadTextureName(node, element.Get());
  if (!picture.IsEmpty()) mCheck.SetImage(picture);
  mCheck.AcquireFrames();
  Velk::Image* image = mCheck.Frames().empty() ? nullptr : mCheck.Frames()[0].GetImage();
  int rect[4] = {0, 0, 0, 0};
  XmlGetAttrPixels(element.Get(), L"u", rect[0]);
  XmlGetAttrPixels(element.Get(), L"v", rect[1]);
  if (image) {
    rect[2] = image->GetWidth() - rect[0];
    rect[3] = image->GetHeight() - rect[1];
  }
  XmlGetAttrPixels(element.Get(), L"width", rect[2]);
  XmlGetAttrPixels(element.Get(), L"height", rect[3]);
  mCheck.SetSourceRect(rect);
  mCheckWidth = rect[2];
  mCheckHeight = rect[3];
}

void QCList::SetTextAttr(int layer, Velk::Font* font, Velk::Color color, Velk::Color dcolor) {
  if (mLayers.Set(layer, QCTextAttrValues{font, color, dcolor, color})) MarkStale();
}

void QCList::SetTextureImages(const QCTextureRef& image) {
  for (QCTexture& spare : mSpare) spare.SetImage(image);
}

void QCList::AddLine(const std::wstring& text) {
  mLines.push_back(text);
  MarkStale();
  UpdateScrollRange();
}

void QCList::Clear() {
  mLines.clear();
  MarkStale();
}

void QCList::UpdateScrollRange() {
  if (!mScroll) return;
  const int lines = static_cast<int>(mLines.size());
  int max = lines - mVisibleRows;
  if (mLineSpacing * mVisibleRows > mHeight) ++max;
  mScroll->SetMax(max > 0 ? max : 0);
  mScroll->mValue = 0;
}

void QCList::SetBounds(int x, int y, int width, int height) {
  mVisibleRows = mLineSpacing > 0 ? height / mLineSpacing + 1 : 0;
  QCCandyWidget::SetBounds(x, y, width, height);
  UpdateScrollRange();
  mLabel.Drop();
}

void QCList::Activate() {
  QCCandyWidget::Activate();
  for (QCTexture& spare : mSpare) spare.AcquireFrames();
}

void QCList::Deactivate() {
  QCCandyWidget::Deactivate();
  for (QCTexture& spare : mSpare) spare.ReleaseFrames();
  mLabel.Drop();
}

void QCList::Update() {
  if (mScroll) mTopLine = mScroll->mValue;
  QCTexture* normal = GetTexture(kNormal, 0);
  QCTexture* disabled = GetTexture(kDisabled, 0);
  const bool showDisabled = mDisabled && disabled && TextureHasImage(disabled);
  if (normal) normal->SetVisible(!showDisabled);
  if (disabled) disabled->SetVisible(showDisabled);
  QCCandyWidget::Update();
}

// A click below the last line keeps the selection but still scrolls to a selection cut off below.
void QCList::MouseDown(int, int y, int, int) {
  const int row = y / mLineSpacing;
  if (mTopLine + row < static_cast<int>(mLines.size())) mSelected = mTopLine + row;
  if ((mSelected - mTopLine + 1) * mLineSpacing > mHeight) {
    ++mTopLine;
    if (mScroll) mScroll->mValue = mTopLine;
  }
  MarkStale();
}

void QCList::RenderLines() {
  Velk::Graphics g(mLabel.Image());
  const int fillWidth = mLeft + (mTextAreaWidth >= 0 ? mTextAreaWidth : mWidth - mLeft);
  for (int y = 0, i = mTopLine; mHeight > 0 && i < static_cast<int>(mLines.size()) && y < mHeight;
       y += mLineSpacing, ++i) {
    if (i < 0) continue;
    if (i == mSelected) {
      g.SetColor(mSelColor);
      g.FillRect(0, y, fillWidth, mLineSpacing);
    }
    if (i == mChecked) {
      mCheck.Draw(&g, Velk::Rect(0, y + (mLineSpacing - mCheckHeight) / 2, mCheckWidth, mCheckHeight));
    }
    for (int layer = TextShadow; layer < TextLayerCount; ++layer) {
      Velk::Font* font = mLayers.fonts[layer];
      if (!font) continue;
      g.SetColor(mDisabled ? mLayers.dcolors[layer] : mLayers.colors[layer]);
      g.SetFont(font);
      g.SetClipRect(0, 0, mWidth, mHeight);
      g.DrawString(mLines[i], mLeft, y + (mLineSpacing - font->GetHeight()) / 2 + font->GetAscent());
    }
  }
}

void QCList::Draw(Velk::Graphics* g) {
  BeginWidgetPaint(g, this);
  QCCandyWidget::Draw(g);
  if (mLabel.BeginRender(mWidth, mHeight)) RenderLines();
  DrawLabelImage(g, this, mLabel);
}
