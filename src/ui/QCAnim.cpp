#include "ui/QCAnim.h"

#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "graphics/Graphics.h"
#include "ui/QCUiEngine.h"
#include "ui/QCUiXml.h"
#include "ui/QCWidgetPaint.h"

QCAnim::QCAnim(QCCandyWidget* parent) : QCCandyWidget(parent) {}

QCAnim::~QCAnim() = default;

void QCAnim::Build(IXMLDOMNode* node, QCEngine*) {
  ReadCommonXml(node);
  XmlGetAttrInt(node, L"fps", mFps);
  XmlGetAttrBool(node, L"oneshot", mOneshot);
  XmlForEach(node, L"texture", [&](IXMLDOMNode* element) {
    auto frame = std::make_unique<QCTexture>();
    ReadTextureElement(node, element, *frame, mWidth, mHeight);
    mFrames.push_back(std::move(frame));
  });
  mCurrent = mFrames.empty() ? -1 : 0;
}

// The elapsed time is kept: what was left before hiding carries over.
void QCAnim::Activate() {
  QCCandyWidget::Activate();
  for (auto& frame : mFrames) frame->AcquireFrames();
  mCurrent = mFrames.empty() ? -1 : 0;
  mStopped = false;
}

void QCAnim::Deactivate() {
  QCCandyWidget::Deactivate();
  for (auto& frame : mFrames) frame->ReleaseFrames();
  mCurrent = -1;
  mStopped = true;
}

// At most one step per update, whatever the elapsed time.
void QCAnim::Update() {
  QCCandyWidget::Update();
  if (mStopped || mCurrent < 0) return;
  mElapsed = AdvanceSeconds(mElapsed);
  if (mFps == 0) return;
  const double period = 1.0 / mFps;
  if (mElapsed < period) return;
  mElapsed = static_cast<float>(mElapsed - period);
  if (mCurrent + 1 < static_cast<int>(mFrames.size())) {
    ++mCurrent;
  } else if (mOneshot) {
    mStopped = true;
    return;
  } else {
    mCurrent = 0;
  }
  Invalidate();
}

void QCAnim::Draw(Velk::Graphics* g) {
  BeginWidgetPaint(g, this);
  if (mCurrent >= 0) mFrames[mCurrent]->Draw(g, Velk::Rect(0, 0, mWidth, mHeight));
}
