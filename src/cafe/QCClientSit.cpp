#include "cafe/QCClientSit.h"

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"

using namespace CafeNames;

std::list<QCClientSit*> QCClientSit::sPool;

QCClientSit::~QCClientSit() { sPool.remove(this); }

const char* QCClientSit::PlacePrefix() const { return kObjClientSitPlace; }
const char* QCClientSit::NamePrefix() const { return kObjClientSit; }

void QCClientSit::Reset(bool start) {
  QCClient::Reset(start);
  if (!start)
    sPool.remove(this);
  else
    mState = kAway;
}

void QCClientSit::Activate() {
  QCClient::Activate();
  sPool.remove(this);
}

void QCClientSit::Deactivate() {
  QCClient::Deactivate();
  sPool.remove(this);
  sPool.push_back(this);
}

bool QCClient::SpawnSeatedCustomer(QCEventRecord* record, size_t cursor, float patience) {
  if (QCClientSit::sPool.empty() || !record) return false;
  QCClientSit* client = QCClientSit::sPool.front();
  client->Attach(record, cursor, patience);
  client->SetState(kBusy);
  return true;
}

void QCClientSit::EnterOwnState(int state) {
  if (state == kAway && (mState == kWaiting || mState == kBusy)) {
    Leave();
  } else if (state == kWaiting && mState == kBusy) {
    NextOrderEntry(false);
    PlayMood();
  } else if (state == kWaiting && mState == kWaiting) {
    PlayMood();
  } else if (state == kBusy && mState == kAway) {
    Arrive();
    EatAndWait();
    mScandal.StartDeadline(mConfig ? mConfig->mScandalTimeout : 0.0f);
    mScandalBubble.StartDeadline(0.0f);
    mPatient = true;
  } else if (state == kBusy && mState == kWaiting) {
    EatAndWait();
  }
}

void QCClientSit::EatAndWait() {
  if (mConfig) mPhase.StartDeadline(mConfig->mEatingTime);
  PlayAnim(kAnimClientEatingProcess);
}

void QCClientSit::Update() {
  UpdatePatience();
  QCItem::Update();
  if (!mActive || mState != kBusy || mPhase.DeadlineRunning()) return;
  const int next = NextOrderEntry(true);
  if (next == kNoEntry)
    SetState(kAway);
  else if (next == kProductEntry)
    SetState(kWaiting);
}
