#include "cafe/QCStatus_HP_Client.h"

#include <cstdio>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QIStatSrc.h"
#include "scene/QCItemPart.h"

using namespace CafeNames;

void QCStatus_HP_Client::ApplySkinXml(IXMLDOMNode* node) {
  QCItem::ApplySkinXml(node);
  mBar = FindPart(kObjStatusHpClient, 0);
  mBack = FindPart("status_hp_client_back", 0);
  mFace = FindPart("status_hp_client_smile", 0);
  mSource = BindStatusSource(this);
}

void QCStatus_HP_Client::Reset(bool start) {
  QCItem::Reset(start);
  if (!start || !mSource.stat) return;
  mShown = mSource.stat->IsStatActive();
  Show(mShown);
  if (mBack) mBack->PlayAnim(kStateIdle);
  mLast = 100.0f;
  mSegment = -1;
  mFaceAnim.clear();
}

QCStatus_HP_Client::Look QCStatus_HP_Client::LookAt(float p) {
  const float g = gClientGlobals.mPatienceGLevel;
  const float y = gClientGlobals.mPatienceYLevel;
  const float r = gClientGlobals.mPatienceRLevel;
  const float t1 = g + (100.0f - g) * 2.0f / 3.0f;
  const float t2 = g + (100.0f - g) / 3.0f;
  const float ym = y + (g - y) * 0.5f;
  if (p >= g) return {StatusColors::kGreen, kStateGreenIdle, p >= t1 ? 6 : p >= t2 ? 5 : 4};
  if (p > y) return {StatusColors::kYellow, kStateYellowIdle, p >= ym ? 3 : 2};
  return {StatusColors::kRed, kStateRedIdle, p >= r ? 1 : 0};
}

void QCStatus_HP_Client::Update() {
  QCItem::Update();
  if (!mActive || !mSource.stat) return;
  float p = 0.0f;
  if (!mSource.stat->IsStatActive() || !mSource.stat->GetValue(&p)) {
    if (mShown) Show(false);
    mShown = false;
    return;
  }
  if (!mShown) Show(true);
  mShown = true;
  Look look = LookAt(p);
  QCBoard_Game3* board = GetGameBoard();
  if (board && board->mFreeze.DeadlineRunning()) {
    look.color = StatusColors::kFrozen;
    look.face = kStateFreezeIdle;
  }
  if (mBar) mBar->mTint = look.color;
  const float r = gClientGlobals.mPatienceRLevel;
  if (mLast > r && p < r) SendMessage("on_blink_hp");
  if (mLast < r && p > r) SendMessage("off_blink_hp");
  if (look.segment != mSegment) {
    char anim[24];
    std::snprintf(anim, sizeof anim, "point0%didle", look.segment);
    if (mBar) mBar->PlayAnim(anim);
    mSegment = look.segment;
  }
  if (mFaceAnim != look.face) {
    mFaceAnim = look.face;
    if (mFace) mFace->PlayAnim(mFaceAnim);
  }
  mLast = p;
}
