#include "cafe/QCClientStand.h"

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "engine/QCSoundTable.h"
#include "scene/QCItemPart.h"
#include "scene/QCLevelEvents.h"

using namespace CafeNames;

std::list<QCClientStand*> QCClientStand::sPool;

QCClientStand::~QCClientStand() { sPool.remove(this); }

const char* QCClientStand::PlacePrefix() const { return kObjClientPlace; }
const char* QCClientStand::NamePrefix() const { return kObjClient; }

void QCClientStand::Reset(bool start) {
  QCClient::Reset(start);
  if (!start) {
    sPool.remove(this);
    return;
  }
  mState = kAway;
  mBar = mPlace ? mPlace->FindPart(kItemBar, 0) : nullptr;
  if (mBar) mBar->Show(false);
  mCoolDown.StartDeadline(0.0f);
}

void QCClientStand::Activate() {
  QCClient::Activate();
  sPool.remove(this);
}

void QCClientStand::Deactivate() {
  QCClient::Deactivate();
  sPool.remove(this);
  sPool.push_back(this);
  mCoolDown.StartDeadline(gCafeLevel.clientPause);
}

QCClientStand* QCClientStand::FirstFree() {
  if (sPool.empty() || sPool.front()->mCoolDown.DeadlineRunning()) return nullptr;
  return sPool.front();
}

bool QCClient::SpawnStandingCustomer(QCEventRecord* record, size_t cursor, float patience) {
  QCClientStand* client = QCClientStand::FirstFree();
  if (!client || !record) return false;
  client->Attach(record, cursor, patience);
  client->SetState(kWaiting);
  return true;
}

void QCClientStand::EnterOwnState(int state) {
  if (state == kAway && (mState == kWaiting || mState == kToSeat)) {
    if (mBar) mBar->Show(false);
    Leave();
  } else if (state == kWaiting && mState == kAway) {
    mPatient = true;
    Arrive();
    if (mBar) mBar->Show(true);
    bool sits = false;
    for (size_t i = mCursor; mRecord && i < mRecord->entries.size(); ++i)
      sits = sits || mRecord->entries[i] == kItemSit;
    if (mPlace) mPlace->PlayAnim(sits ? kItemTray : kItemPack);
    PlayAnim(kAnimClientDirectGreen);
    PlaySoundByName(kSndClientSpawn);
  } else if (state == kWaiting && mState == kBusy) {
    NextOrderEntry(false);
    PlayMood();
  } else if (state == kWaiting && (mState == kWaiting || mState == kToSeat)) {
    PlayMood();
  } else if (state == kBusy && mState == kWaiting) {
    if (mConfig) mPhase.StartDeadline(mConfig->mDecisionTimeout);
    PlayAnim(kAnimClientIdleThinking);
  } else if (state == kToSeat && mState == kWaiting) {
    NextOrderEntry(false);
  }
}

void QCClientStand::Update() {
  if (mActive && mState == kBusy && !mPhase.DeadlineRunning()) {
    SetState(kWaiting);
  } else if (mActive && mState == kToSeat && SpawnSeatedCustomer(mRecord, mCursor, mPatience)) {
    SetState(kAway);
  }
  UpdatePatience();
  QCItem::Update();
}
