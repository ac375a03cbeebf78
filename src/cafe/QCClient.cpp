#include "cafe/QCClient.h"

#include <algorithm>
#include <vector>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "cafe/QCItemBonus.h"
#include "engine/QCSoundTable.h"
#include "scene/QCItemPart.h"
#include "scene/QCLevelEvents.h"

using namespace CafeNames;

std::list<QCClient*> QCClient::sActive;

namespace {

// A state change asked for while one runs is ignored.
bool gChanging = false;

// The tutorial's question whether patience may drop, and its events.
constexpr int kActionPatienceDrops = 1;
constexpr int kEventPaid = 3;
constexpr int kEventOrderShown = 4;

bool IsProductEntry(const std::string& entry) { return entry != kItemSit; }

bool CrossedUp(float before, float after, float level) { return before <= level && after > level; }

bool CrossedAnyLevel(float before, float after) {
  const ClientGlobals& g = gClientGlobals;
  for (float level : {g.mPatienceRLevel, g.mPatienceYLevel, g.mPatienceGLevel})
    if (CrossedUp(before, after, level) || CrossedUp(after, before, level)) return true;
  return false;
}

}  // namespace

QCClient::~QCClient() {
  LeaveActiveList();
  ReleaseRecord();
}

void QCClient::SetVisible(bool visible) {
  if (!visible && mActive) Deactivate();
  QCItem::SetVisible(visible);
}

void QCClient::LeaveActiveList() { sActive.remove(this); }

void QCClient::Activate() {
  LeaveActiveList();
  sActive.push_back(this);
}

void QCClient::Deactivate() { LeaveActiveList(); }

void QCClient::ReleaseRecord() {
  ReleaseEventRecord(mRecord);
  mRecord = nullptr;
}

void QCClient::Reset(bool start) {
  if (!start) {
    LeaveActiveList();
    ReleaseRecord();
    return;
  }
  Show(false);
  FindPlace();
  mMoneyPart = mPlace ? mPlace->FindPart("client_money", 0) : nullptr;
  if (mMoneyPart) mMoneyPart->ApplySkin();
}

void QCClient::FindPlace() {
  const std::string prefix = NamePrefix();
  const std::string rest = mName.compare(0, prefix.size(), prefix) == 0 ? mName.substr(prefix.size()) : "";
  mPlace = QCItem::FindByName(PlacePrefix() + rest);
}

void QCClient::LoadFromXml(IXMLDOMNode* node) {
  QCItem::LoadFromXml(node);
  gClientRegistry.emplace(mName, this);
}

void QCClient::ClearParts() {
  QCItem::ClearParts();
  auto it = gClientRegistry.find(mName);
  if (it != gClientRegistry.end() && it->second == this) gClientRegistry.erase(it);
}

void QCClient::StartTimedState(const std::string& name) {
  QCItem::StartTimedState(name);
  if (name == kAnimClientDirectGreen || name == kAnimClientScandal || name == kAnimClientDirectYellow) SetState(mState);
}

void QCClient::SetSelected(uint32_t point, bool on) {
  const bool turnsOn = on && !mSelected;
  QCItem::SetSelected(point, on);
  if (!turnsOn || mState != kWaiting) return;
  if (mCurrentAnim == kAnimClientDirectGreen || mCurrentAnim == kAnimClientDirectYellow) return;
  PlayAnim(mPatience > gClientGlobals.mPatienceYLevel ? kAnimClientDirectGreen : kAnimClientDirectYellow);
}

bool QCClient::GetValue(float* out) const {
  if (mState == kAway) return false;
  *out = mPatience;
  return true;
}

bool QCClient::GetBubbleText(std::string* out) const {
  if (mState == kAway) return false;
  if (mScandalBubble.DeadlineRunning()) {
    *out = kMoodScandal;
    return true;
  }
  if (mState == kWaiting) {
    *out = mMask.empty() ? std::string(kMoodReady) : mMask;
    return true;
  }
  if (mState == kBusy && !IsSeated()) {
    *out = kMoodThink;
    return true;
  }
  return false;
}

bool QCClient::GetBubbleStyle(std::string* out) const {
  if (mScandalBubble.DeadlineRunning()) {
    *out = kMoodAggro;
  } else if (IsSeated()) {
    *out = kMoodSmall;
  } else {
    const bool onProduct = mRecord && mCursor < mRecord->entries.size() && IsProductEntry(mRecord->entries[mCursor]);
    *out = !mMask.empty() && onProduct ? kMoodMultiClient : kMoodClient;
  }
  return true;
}

bool QCClient::Accept(const std::string& first, const std::string& second) const {
  return mMask == first || first == kItemSuper || mMask == second || second == kItemSuper;
}

void QCClient::SetState(int state) {
  if (gChanging) return;
  gChanging = true;
  EnterOwnState(state);
  EnterSharedState(state);
  mState = state;
  gChanging = false;
}

void QCClient::EnterSharedState(int state) {
  QCBoard_Game3* board = GetGameBoard();
  if (state == kAway && (mState == kWaiting || mState == kBusy || mState == kToSeat)) {
    if (mState == kToSeat)
      PlayAnim(kAnimClientGoSitting);
    else
      PlayAnim(mPatient ? kAnimClientGoHappy : kAnimClientGoUnhappy);
  } else if (state == kWaiting && mState == kBusy) {
    if (mConfig) mBonus.StartDeadline(mConfig->mBonusTimeout);
    PlaySoundByName(kSndClientReady);
    if (board) board->TutorialEvent(kEventOrderShown);
  }
}

void QCClient::Leave() {
  mMask.clear();
  Show(false);
  mConfig = nullptr;
  ReleaseRecord();
}

void QCClient::Arrive() {
  Show(true);
  mConfig = FindClientConfig(mSkin);
  if (!mConfig) return;
  if (mConfig->mOverridden) mPatience = mConfig->mStartPatience;
  for (const char* anim : {kAnimClientIdleGreen, kAnimClientIdleYellow, kAnimClientDiscontent})
    AddTimedState(anim, mConfig->mIdleStopFrame, mConfig->mIdleRestartTimeMin, mConfig->mIdleRestartTimeMax);
}

int QCClient::NextOrderEntry(bool peek) {
  if (!mRecord || mCursor >= mRecord->entries.size()) return kNoEntry;
  const std::string& entry = mRecord->entries[mCursor];
  const int kind = IsProductEntry(entry) ? kProductEntry : kSitEntry;
  if (peek) return kind;
  if (kind == kProductEntry) mMask = entry;
  ++mCursor;
  return kind;
}

void QCClient::PlayMood() {
  const ClientGlobals& g = gClientGlobals;
  if (mPatience > g.mPatienceGLevel)
    PlayAnim(kAnimClientIdleGreen);
  else if (mPatience > g.mPatienceYLevel)
    PlayAnim(kAnimClientIdleYellow);
  else
    PlayAnim(kAnimClientDiscontent);
}

void QCClient::AddPatience(float delta) {
  QCBoard_Game3* board = GetGameBoard();
  if (delta < 0.0f && board && !board->IsActionAllowed(kActionPatienceDrops)) delta = 0.0f;
  const float before = mPatience;
  if (board && board->mFreeze.DeadlineRunning()) {
    if (delta > 0.0f) mPatience += delta;
    if (mScandal.DeadlineRunning()) mScandal.ExtendDeadline(GetGameDt());
  } else {
    mPatience += delta;
  }
  if (mPatience > 100.0f) mPatience = 100.0f;
  if (mPatience < 0.0f) {
    mPatience = 0.0f;
    mPatient = false;
  }
  const ClientGlobals& g = gClientGlobals;
  for (float level : {g.mPatienceRLevel, g.mPatienceYLevel, g.mPatienceGLevel}) {
    if (CrossedUp(before, mPatience, level)) {
      SetState(mState);
      break;
    }
  }
}

void QCClient::ChangeAllPatience(int mode, float amount) {
  if (mode != 1 && mode != 2) return;
  const std::vector<QCClient*> clients(sActive.begin(), sActive.end());
  for (QCClient* client : clients)
    if (client->IsStatActive()) client->AddPatience(mode == 1 ? amount : -amount);
}

void QCClient::UpdatePatience() {
  if (!mActive || mState != kWaiting || !mConfig) return;
  if (!mPatient) {
    Pay();
    SetState(kAway);
    return;
  }
  const float before = mPatience;
  AddPatience(-mConfig->mPatienceSpeed * GetGameDt());
  if (before > mPatience && CrossedAnyLevel(before, mPatience)) SetState(mState);
  if (mPatience > mConfig->mScandalLevel || mScandal.DeadlineRunning()) return;
  mScandal.StartDeadline(mConfig->mScandalTimeout);
  ChangeAllPatience(2, gClientGlobals.mScandalEffect);
  mScandalBubble.StartDeadline(gClientGlobals.mScandalBubblePresent);
  if (mState == kWaiting && mCurrentAnim != kAnimClientScandal) {
    PlayAnim(kAnimClientScandal);
    PlaySoundByName(kSndClientScandal);
  }
}

void QCClient::Pay() {
  QCBoard_Game3* board = GetGameBoard();
  int amount = 0;
  if (mPatient) {
    const ClientGlobals& g = gClientGlobals;
    const int tier = mPatience > g.mPatienceGLevel ? 0 : mPatience > g.mPatienceYLevel ? 1 : 2;
    amount = mConfig ? mConfig->mMoney01[tier] : 0;
    if (mConfig) AddPatience(mConfig->mBonusTimeEffect);
    if (mMoneyPart) {
      mMoneyPart->Show(true);
      mMoneyPart->PlayAnim(kStateActivation);
    }
    PlaySoundByName(kSndClientPositiv);
  } else {
    amount = mConfig ? -mConfig->mLossesMoney : 0;
    PlaySoundByName(kSndClientNegativ);
    if (board) board->LoseLife();
  }
  if (QCItemBonus* popup = GetPopupSpawner()) popup->ShowPopup(QCItemBonus::kMoney, this, amount, L"");
  if (board) {
    board->AddMoney(amount);
    board->TutorialEvent(kEventPaid);
  }
}

bool QCClient::Interact(QCItem* other, bool test, int*) {
  auto* boss = dynamic_cast<QCBoss*>(other);
  if (!boss || !mActive || mState != kWaiting) return false;
  if (mMask.empty()) {
    if (!test) SetState(kBusy);
    return test;
  }
  std::string* hand = nullptr;
  if (mMask == boss->mMask || boss->mMask == kItemSuper)
    hand = &boss->mMask;
  else if (mMask == boss->mSecond || boss->mSecond == kItemSuper)
    hand = &boss->mSecond;
  // Hands change only when the delivery is made.
  if (test || !hand) return test && hand;
  hand->clear();
  if (boss->mMask.empty() && !boss->mSecond.empty()) boss->mMask.swap(boss->mSecond);
  Pay();
  switch (NextOrderEntry(true)) {
    case kNoEntry:
      SetState(kAway);
      break;
    case kProductEntry:
      SetState(kBusy);
      break;
    default:
      SetState(kToSeat);
      break;
  }
  return false;
}

void QCClient::Attach(QCEventRecord* record, size_t cursor, float patience) {
  Activate();
  mPatience = patience;
  SetSkin(record->event, true);
  AttachEventRecord(record);
  mRecord = record;
  mCursor = cursor;
}
