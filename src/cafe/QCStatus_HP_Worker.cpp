#include "cafe/QCStatus_HP_Worker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCWorker.h"
#include "scene/QCItemPart.h"

using namespace CafeNames;

void QCStatus_HP_Worker::ApplySkinXml(IXMLDOMNode* node) {
  QCItem::ApplySkinXml(node);
  mBar = FindPart(kObjStatusHpWorker, 0);
  mBack = FindPart("status_hp_worker_back", 0);
  mSource = BindStatusSource(this);
}

void QCStatus_HP_Worker::Reset(bool start) {
  QCItem::Reset(start);
  if (!start || !mSource.stat) return;
  float value = 100.0f;
  if (mSource.stat->GetValue(&value)) mLast = value;
  mSegment = -1;
}

int QCStatus_HP_Worker::SegmentAt(float t) { return std::min(12, static_cast<int>(std::ceil(t / 8.333333f))); }

void QCStatus_HP_Worker::Update() {
  QCItem::Update();
  float t = 0.0f;
  if (!mVisible || !mSource.stat || !mSource.stat->GetValue(&t)) return;
  if (mBack && mBack->mCurrentAnim != kStateIdle) mBack->PlayAnim(kStateIdle);
  const WorkerGlobals& g = gWorkerGlobals;
  const auto* worker = static_cast<const QCWorker*>(mSource.stat);
  unsigned color = StatusColors::kRed;
  if (worker->IsFrozen())
    color = StatusColors::kFrozen;
  else if (t > g.mTidinessGLevel)
    color = StatusColors::kGreen;
  else if (t > g.mTidinessYLevel)
    color = StatusColors::kYellow;
  if (mBar) mBar->mTint = color;
  if (mLast > g.mTidinessRLevel && t <= g.mTidinessRLevel) SendMessage("on_blink_hp");
  if (mLast < g.mTidinessRLevel && t >= g.mTidinessRLevel) SendMessage("off_blink_hp");
  const int segment = SegmentAt(t);
  if (segment != mSegment) {
    char anim[24];
    std::snprintf(anim, sizeof anim, "point%02didle", segment);
    if (mBar) mBar->PlayAnim(anim);
    mSegment = segment;
  }
  mLast = t;
}
