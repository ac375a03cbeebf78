#include "ui/QCCheckBox.h"

#include "engine/QCTexture.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"

QCCheckBox::QCCheckBox(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCCheckBox::~QCCheckBox() = default;

void QCCheckBox::Build(IXMLDOMNode* node, QCEngine*) {
  ReadCommonXml(node);
  const std::pair<const wchar_t*, QCTexture**> parts[] = {
      {L"texture[@id=\"normal\"]", &mBoxes.normal},     {L"texture[@id=\"over\"]", &mBoxes.over},
      {L"texture[@id=\"disabled\"]", &mBoxes.disabled}, {L"texture[@id=\"check_normal\"]", &mChecks.normal},
      {L"texture[@id=\"check_over\"]", &mChecks.over},  {L"texture[@id=\"check_disabled\"]", &mChecks.disabled},
  };
  for (const auto& [query, field] : parts) {
    *field = ReadWidgetTexture(node, query, mWidth, mHeight);
    AddTexture(0, *field);
  }
}

void QCCheckBox::SetChecked(bool checked) {
  mChecked = checked;
  Invalidate();
}

void QCCheckBox::HideAll(const TextureSet& set) {
  for (QCTexture* t : {set.normal, set.over, set.disabled}) {
    if (t) t->SetVisible(false);
  }
}

// A state without the texture it calls for shows nothing.
void QCCheckBox::Update() {
  QCCandyWidget::Update();
  HideAll(mChecked ? mBoxes : mChecks);
  const TextureSet& set = mChecked ? mChecks : mBoxes;
  HideAll(set);
  QCTexture* show = set.normal;
  if (mDisabled) {
    show = set.disabled;
  } else if (mIsOver && set.over && TextureHasImage(set.over)) {
    show = set.over;
  }
  if (show) show->SetVisible(true);
}

void QCCheckBox::Draw(Velk::Graphics* g) {
  BeginWidgetPaint(g, this);
  QCCandyWidget::Draw(g);
}

void QCCheckBox::MouseEnter() {
  QCCandyWidget::MouseEnter();
  Invalidate();
}

void QCCheckBox::MouseLeave() {
  QCCandyWidget::MouseLeave();
  Invalidate();
}

void QCCheckBox::MouseUp(int x, int y, int button, int clickCount) {
  QCCandyWidget::MouseUp(x, y, button, clickCount);
  if (mIsOver) mChecked = !mChecked;
  Invalidate();
}
