#include "ui/QCBar.h"

#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"

namespace {

float EffectiveScale(const QCCandyWidget* widget) {
  float product = 1.0f;
  for (const QCCandyWidget* w = widget; w; w = w->mParentWidget) product *= w->mScale;
  return product;
}

}  // namespace

QCBar::QCBar(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCBar::~QCBar() = default;

void QCBar::Build(IXMLDOMNode* node, QCEngine*) {
  ReadCommonXml(node);
  XmlGetAttrPixels(node, L"seg_width", mSegWidth);
  if (mSegWidth <= 0) LogElementProblem(node, "no positive seg_width: the bar draws nothing");
  ReadSegment(node, L"texture[@id=\"fill\"]", mFill);
  ReadSegment(node, L"texture[@id=\"empty\"]", mEmpty);
}

void QCBar::ReadSegment(IXMLDOMNode* node, const wchar_t* query, QCTexture& texture) {
  XmlNodeRef element = SelectChild(node, query);
  if (!element) return;
  QCTextureRef picture = ReadTextureName(node, element.Get());
  if (!picture.IsEmpty()) texture.SetImage(picture);
  int rect[4] = {0, 0, mSegWidth, mHeight};
  XmlGetAttrPixels(element.Get(), L"u", rect[0]);
  XmlGetAttrPixels(element.Get(), L"v", rect[1]);
  XmlGetAttrPixels(element.Get(), L"height", rect[3]);
  texture.SetSourceRect(rect);
}

void QCBar::SetImage(const QCTextureRef& image) {
  mFill.SetImage(image);
  mEmpty.SetImage(image);
}

void QCBar::Activate() {
  QCCandyWidget::Activate();
  mFill.AcquireFrames();
  mEmpty.AcquireFrames();
}

void QCBar::Deactivate() {
  QCCandyWidget::Deactivate();
  mFill.ReleaseFrames();
  mEmpty.ReleaseFrames();
}

// value / maximum with a maximum of 0 fills every segment for a positive value and none otherwise.
bool QCBar::IsFilled(int segment, int count) const {
  if (mMax == 0) return mValue > 0;
  return static_cast<double>(segment) / count < static_cast<double>(mValue) / mMax;
}

void QCBar::Draw(Velk::Graphics* g) {
  BeginWidgetPaint(g, this);
  if (!TextureHasImage(&mFill) || !TextureHasImage(&mEmpty) || mSegWidth <= 0) return;
  const int count = mWidth / mSegWidth;
  const int width = static_cast<int>(static_cast<float>(mSegWidth) * EffectiveScale(this));
  for (int i = 0, x = 0; i < count; ++i, x += width) {
    (IsFilled(i, count) ? mFill : mEmpty).Draw(g, Velk::Rect(x, 0, width, mHeight));
  }
}
