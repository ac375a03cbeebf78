#include "cafe/QCStatus_Bubble.h"

#include "cafe/CafeNames.h"
#include "cafe/QCBoss.h"
#include "cafe/QIStatSrc.h"
#include "scene/QCItemPart.h"

using CafeNames::kMoodScandal;

void QCStatus_Bubble::ApplySkinXml(IXMLDOMNode* node) {
  QCItem::ApplySkinXml(node);
  mFrame = FindPart(CafeNames::kObjStatusBubble, 0);
  mProduct = FindPart("status_production", 0);
  mSource = BindStatusSource(this);
}

void QCStatus_Bubble::Reset(bool start) {
  if (start) mShown = mHighlighted = mShaking = false;
  QCItem::Reset(start);
  // Nothing shows until the character has something to say.
  if (start) Show(false);
}

void QCStatus_Bubble::SetPicture(const std::string& text) {
  if (text != kMoodScandal) mText = text;
  std::string style;
  if (mFrame && mSource.stat && mSource.stat->GetBubbleStyle(&style))
    mFrame->PlayAnim(mHighlighted ? style + "_active" : style);
  if (mProduct) mProduct->PlayAnim(mText);
}

void QCStatus_Bubble::Highlight(bool on, bool refresh, const std::string& text) {
  SendMessage(on ? "product_highlight" : "hide_product_highlight");
  mHighlighted = on;
  if (refresh) SetPicture(text);
}

void QCStatus_Bubble::Update() {
  QCItem::Update();
  if (!mActive || !mSource.stat) return;
  std::string text;
  const bool active = mSource.stat->GetBubbleText(&text) && mSource.stat->IsStatActive();
  if (mVisible && mShown) {
    UpdateShown(text, active);
  } else if (!mVisible && active) {
    Show(true);
    mShown = true;
    SetPicture(text);
  }
}

void QCStatus_Bubble::UpdateShown(const std::string& text, bool active) {
  if (!active || (text != mText && text != kMoodScandal)) {
    SendMessage("hide_product_highlight");
    SendMessage("shake_stop");
    mShown = mHighlighted = mShaking = false;
    Show(false);
    return;
  }
  if (mProduct) {
    const float progress = mSource.stat->WorkProgress();
    mProduct->mAlpha = progress < 0.0f ? 1.0f : 1.0f - progress;
  }
  if (text == kMoodScandal) {
    if (!mShaking) {
      SendMessage("shake_start");
      mShaking = true;
      SetPicture(text);
    }
    if (mHighlighted) Highlight(false, true, text);
    return;
  }
  if (mShaking) {
    SendMessage("shake_stop");
    mShaking = false;
    SetPicture(text);
  }
  auto* boss = dynamic_cast<QCBoss*>(SceneBossObject);
  const bool carried = boss && (mText == boss->mMask || mText == boss->mSecond);
  if (carried != mHighlighted) Highlight(carried, true, text);
}
