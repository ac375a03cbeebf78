#include "ui/QCScrollBar.h"

#include <algorithm>

#include "engine/XmlAccess.h"
#include "ui/QCButton.h"
#include "ui/QCList.h"
#include "ui/QCUiXml.h"

QCScrollBar::QCScrollBar(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCScrollBar::~QCScrollBar() = default;

void QCScrollBar::Build(IXMLDOMNode* node, QCEngine* app) {
  ReadCommonXml(node);
  XmlGetAttrPixels(node, L"distx1", mDistX1);
  XmlGetAttrPixels(node, L"disty1", mDistY1);
  XmlGetAttrPixels(node, L"distx2", mDistX2);
  XmlGetAttrPixels(node, L"disty2", mDistY2);
  mUp = BuildButton(node, L"element[@name=\"up\"]", "up", UpId, app);
  mDown = BuildButton(node, L"element[@name=\"down\"]", "down", DownId, app);
  mSlider = BuildButton(node, L"element[@name=\"slider\"]", "slider", SliderId, app);
}

QCButton* QCScrollBar::BuildButton(IXMLDOMNode* node, const wchar_t* query, const char* name, int id, QCEngine* app) {
  XmlNodeRef element = SelectChild(node, query);
  if (!element) {
    LogElementProblem(node, "a part of the scroll bar is missing and is left out");
    return nullptr;
  }
  auto* button = new QCButton(this, id, this);
  button->Build(element.Get(), app);
  BindControl(name, button);
  return button;
}

void QCScrollBar::SetMax(int max) {
  mMax = max;
  SetDisabled(max <= 0);
}

void QCScrollBar::SetTrack(int x1, int y1, int x2, int y2) {
  mDistX1 = x1;
  mDistY1 = y1;
  mDistX2 = x2;
  mDistY2 = y2;
}

void QCScrollBar::SetDisabled(bool disabled) {
  if (mUp) mUp->SetDisabled(disabled);
  if (mDown) mDown->SetDisabled(disabled);
  if (!mSlider) return;
  if (disabled) {
    mSlider->Hide();
  } else {
    mSlider->Show();
  }
}

void QCScrollBar::OnButtonPressed(int id) {
  if (id == UpId) {
    if (mValue > 0) --mValue;
  } else if (id == DownId) {
    if (mValue < mMax) ++mValue;
  } else {
    return;
  }
  if (auto* list = dynamic_cast<QCList*>(mParentWidget)) list->MarkStale();
}

void QCScrollBar::Update() {
  QCCandyWidget::Update();
  mValue = std::min(std::max(mValue, 0), mMax);
  if (mMax == 0 || !mSlider) return;
  const float ratio = static_cast<float>(mValue) / static_cast<float>(mMax);
  mSlider->Move(mDistX1 + static_cast<int>(ratio * static_cast<float>(mDistX2 - mDistX1)),
                mDistY1 + static_cast<int>(ratio * static_cast<float>(mDistY2 - mDistY1)));
}

void QCScrollBar::Draw(Velk::Graphics*) {}
