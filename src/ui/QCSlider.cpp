#include "ui/QCSlider.h"

#include <algorithm>
#include <cstdint>

#include "engine/XmlAccess.h"
#include "fonts/TruncToInt.h"
#include "ui/QCBar.h"
#include "ui/QCText.h"
#include "ui/QCUiXml.h"

QCSlider::QCSlider(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCSlider::~QCSlider() = default;

void QCSlider::Build(IXMLDOMNode* node, QCEngine* app) {
  ReadCommonXml(node);
  XmlGetAttrPixels(node, L"mz_x", mZoneX);
  XmlGetAttrPixels(node, L"mz_y", mZoneY);
  XmlGetAttrPixels(node, L"mz_width", mZoneWidth);
  XmlGetAttrPixels(node, L"mz_height", mZoneHeight);
  XmlGetAttrPixels(node, L"mz_dz1", mDeadLeft);
  XmlGetAttrPixels(node, L"mz_dz2", mDeadRight);
  if (XmlNodeRef element = SelectChild(node, L"element[@name=\"back\"]")) {
    auto* back = new QCText(this, app);
    back->Build(element.Get(), app);
    BindControl("back", back);
  }
  if (XmlNodeRef element = SelectChild(node, L"element[@name=\"bar\"]")) {
    auto* bar = new QCBar(this);
    bar->Build(element.Get(), app);
    BindControl("bar", bar);
  } else {
    LogElementProblem(node, "no bar: the slider shows no fill");
  }
  if (XmlNodeRef element = SelectChild(node, L"element[@name=\"thumb\"]")) {
    auto* thumb = new QCText(this, app);
    thumb->Build(element.Get(), app);
    mThumbMargin = thumb->mLayout.mX;
    BindControl("thumb", thumb);
  } else {
    LogElementProblem(node, "no thumb: the slider shows no thumb");
  }
}

void QCSlider::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "back") mBack = dynamic_cast<QCText*>(widget);
  if (name == "bar") mBar = dynamic_cast<QCBar*>(widget);
  if (name == "thumb") mThumb = dynamic_cast<QCText*>(widget);
  widget->mMouseVisible = false;
  QCCandyWidget::BindControl(name, widget);
}

void QCSlider::SetMax(int max) {
  mMax = max;
  if (mBar) mBar->SetMax(max);
}

void QCSlider::SetValue(int value) {
  mValue = value;
  if (mBar) mBar->SetValue(value);
}

// The right dead zone wins; an empty zone gives 0 instead of a quotient by zero.
int QCSlider::ValueAt(int x) const {
  if (x > int64_t{mWidth} - mDeadRight) return mMax;
  if (x < mDeadLeft || mZoneWidth <= 0) return 0;
  return Velk::TruncToInt((static_cast<double>(x) - mZoneX) / mZoneWidth * mMax);
}

void QCSlider::MouseDown(int x, int y, int button, int clickCount) {
  QCCandyWidget::MouseDown(x, y, button, clickCount);
  Invalidate();
  // The zone comes from ui.xml: its far edges are taken in 64 bits.
  if (y < mZoneY || y > int64_t{mZoneY} + mZoneHeight || x < mZoneX || x > int64_t{mZoneX} + mZoneWidth) return;
  SetValue(ValueAt(x));
}

// A thumb wider than the track starts left of the margin: the limit is then negative.
void QCSlider::PlaceThumb() {
  const int64_t track = int64_t{mWidth} - 2 * int64_t{mThumbMargin};
  const double ratio = static_cast<double>(mValue) / static_cast<double>(mMax);
  const int64_t position = Velk::TruncToInt(static_cast<double>(track) * ratio);
  int64_t x = position - mThumb->mWidth / 2;
  x = x < 0 ? 0 : std::min(x, track - mThumb->mWidth);
  mThumb->Move(Velk::ClampToInt(mThumbMargin + x), mThumb->mLayout.mY);
}

void QCSlider::Update() {
  QCCandyWidget::Update();
  if (!IsVisibleInTree()) return;
  mValue = std::min(std::max(mValue, 0), mMax);
  if (mMax == 0 || !mThumb) return;
  PlaceThumb();
}
