#include "cafe/QCPeriodItem.h"

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCBoss.h"
#include "engine/EngineUtil.h"
#include "engine/XmlAccess.h"
#include "scene/LevelLog.h"

using namespace CafeNames;

namespace {

constexpr int kThingSize = 260;
bool gChanging = false;
bool gAnimating = false;

}  // namespace

void QCPeriodItem::LoadFromXml(IXMLDOMNode* node) {
  QCPickItem::LoadFromXml(node);
  char thing[kThingSize] = {};
  if (XmlGetAttrString(node, L"thing", thing, kThingSize)) mMask = thing;
  mConfig = FindPeriodItemConfig(mName);
  if (!mConfig) LevelLog("Level: pick-up %s has no settings; it never comes", mName.c_str());
}

void QCPeriodItem::DrawWait() {
  if (mConfig) mWait.StartDeadline(RandomFloat(mConfig->mTimeoutMin, mConfig->mTimeoutMax));
}

void QCPeriodItem::Reset(bool start) {
  QCPickItem::Reset(start);
  if (!start) return;
  mState = kWaiting;
  PlayAnim(kStateIdle);
  DrawWait();
}

void QCPeriodItem::SetState(int state) {
  if (gChanging) return;
  gChanging = true;
  if (state == kWaiting && mState == kWaiting) PlayAnim(kStateIdle);
  if (state == kWaiting && mState == kAvailable) {
    PlayAnim(kStateDeactivation);
    DrawWait();
  }
  if (state == kAvailable) PlayAnim(mState == kWaiting ? kStateActivation : kStateReady);
  mState = state;
  gChanging = false;
}

void QCPeriodItem::StartTimedState(const std::string& name) {
  QCPickItem::StartTimedState(name);
  if (gAnimating || (name != kStateActivation && name != kStateDeactivation)) return;
  gAnimating = true;
  SetState(mState);
  gAnimating = false;
}

void QCPeriodItem::Update() {
  QCPickItem::Update();
  if (mVisible && mConfig && mState == kWaiting && !mWait.DeadlineRunning()) SetState(kAvailable);
}

bool QCPeriodItem::Interact(QCItem* other, bool test, int*) {
  auto* boss = dynamic_cast<QCBoss*>(other);
  if (!boss || (!boss->mMask.empty() && !boss->mSecond.empty()) || mState != kAvailable) return false;
  if (!test) SetState(kWaiting);
  return test;
}
