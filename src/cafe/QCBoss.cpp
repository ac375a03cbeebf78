#include "cafe/QCBoss.h"

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/ProductMask.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCClient.h"
#include "cafe/QCWorker.h"
#include "engine/EngineUtil.h"
#include "engine/QCSoundTable.h"
#include "scene/LevelLog.h"
#include "scene/QCItemPart.h"
#include "scene/QCZOrderManager.h"

using namespace CafeNames;

namespace {

bool HasPrefix(const std::string& name, const char* prefix) { return name.rfind(prefix, 0) == 0; }

void Chain(int kind, QCItem* item) {
  if (QCBoard_Game3* board = GetGameBoard()) board->mBonus.OnEvent(kind, item);
}

bool UpgradeApplied(const char* owner, const char* name) {
  QCBoard_Game3* board = GetGameBoard();
  return board && board->IsUpgradeApplied(owner, name) != 0;
}

// The trail while the boss runs fast: its fade rate and period.
constexpr float kRewardTrail = 600.0f;
constexpr float kUpgradeTrail = 500.0f;
constexpr float kTrailPeriod = 0.01f;

}  // namespace

QCBoss::QCBoss() : mSteps(CreateSoundChannel(kSndBossSteps)) {}

QCBoss::~QCBoss() {
  SoundChannelStop(mSteps);
  delete mSteps;
}

void QCBoss::Reset(bool start) {
  if (start) {
    Show(true);
    BindCharacter();
    mWalking = false;
    if (mConfig)
      for (const char* anim :
           {kAnimBossIdleEmpty1, kAnimBossIdleEmpty2, kAnimBossIdleFull, kAnimBossIdleSecond, kAnimBossIdleFullSecond})
        AddTimedState(anim, mConfig->mIdleStopFrame, mConfig->mIdleRestartTimeMin, mConfig->mIdleRestartTimeMax);
    mMask.clear();
    PlayAnim("");
    SetMotion(kStanding);
  } else {
    SoundChannelStop(mSteps);
  }
  QCMoveItem::Reset(start);
}

void QCBoss::OnDelayDone(uint32_t code) {
  if (code == kArrived) SetMotion(kStanding);
  if (code == kWashed) mWalking = false;
}

void QCBoss::ReleaseImages() {
  QCMoveItem::ReleaseImages();
  mMask.clear();
}

void QCBoss::BindCharacter() {
  for (QCItemPart*& part : mHeld) part = nullptr;
  mBossPart = nullptr;
  QCMoveItem::BindCharacter();
  int slot = 0;
  for (QCItemPart* part : mParts) {
    if (part->mName == kPartHeldItems && slot < 4) {
      mHeld[slot++] = part;
      part->Show(false);
    } else if (part->mName == kObjBoss) {
      mBossPart = part;
    }
  }
  mConfig = FindPersConfig(mName);
  if (!mConfig && !mMissingLogged) LevelLog("Level: no personal settings for %s; defaults used", mName.c_str());
  mMissingLogged = mMissingLogged || !mConfig;
}

float QCBoss::GetMoveSpeed() const {
  const float speed = QCMoveItem::GetMoveSpeed();
  if (!mConfig || !UpgradeApplied(kObjBoss, "speed")) return speed;
  return speed * mConfig->mSpeedBonus;
}

std::string QCBoss::IdleAnim() const {
  if (!mMask.empty()) return mSecond.empty() ? kAnimBossIdleFull : kAnimBossIdleFullSecond;
  if (!mSecond.empty()) return kAnimBossIdleSecond;
  return RandomInt(0, 1) == 0 ? kAnimBossIdleEmpty1 : kAnimBossIdleEmpty2;
}

std::string QCBoss::WalkAnim() const {
  if (!mMask.empty()) return mSecond.empty() ? kAnimBossMoveFull : kAnimBossMoveFullSecond;
  return mSecond.empty() ? kAnimBossMoveEmpty : kAnimBossMoveSecond;
}

void QCBoss::SetMotion(int motion) {
  if (motion == kStanding) {
    if (mOrientation != "b") SetOrientation("b", true);
    PlayAnim(IdleAnim());
    SoundChannelStop(mSteps);
  } else {
    PlayAnim(WalkAnim());
    SoundChannelPlay(mSteps);
  }
  mMotion = motion;
}

void QCBoss::Update() {
  QCMoveItem::Update();
  if (!HasDelay() && IsMoving() != mWalking) {
    mWalking = IsMoving();
    if (mWalking) SetMotion(kWalking);
  }
  QCBoard_Game3* board = GetGameBoard();
  if (board && board->mSpeed.DeadlineRunning())
    SetIntervalMode(true, kRewardTrail, kTrailPeriod);
  else if (UpgradeApplied(kObjBoss, "speed"))
    SetIntervalMode(true, kUpgradeTrail, kTrailPeriod);
  else
    SetIntervalMode(false, 0.0f, 0.0f);
}

void QCBoss::ShowHand(int hand, const std::string& mask) {
  QCItemPart* plate = mHeld[hand * 2];
  QCItemPart* product = mHeld[hand * 2 + 1];
  std::string word = mCurrentAnim;
  if (word == kAnimBossIdleFullSecond) word = hand == 0 ? kAnimBossIdleFull : kAnimBossIdleSecond;
  if (word == kAnimBossMoveFullSecond) word = hand == 0 ? kAnimBossMoveFull : kAnimBossMoveSecond;
  const std::string names[2] = {kEmptyMask + word, mask + word};
  QCItemPart* parts[2] = {plate, product};
  for (int i = 0; i < 2; ++i) {
    QCItemPart* part = parts[i];
    if (!part) continue;
    const bool shown = !mask.empty() && !(i == 0 && mask == kItemWash);
    part->Show(shown);
    if (!shown) continue;
    part->SetSkin("");
    part->SetOrientation(mOrientation, false);
    if (part->mCurrentAnim != names[i]) part->PlayAnim(names[i]);
  }
}

void QCBoss::UpdateHeldItems() {
  ShowHand(0, mMask);
  ShowHand(1, mSecond);
  QCBoard_Game* board = GetCurrentBoard();
  if (!board || !mBossPart) return;
  for (QCItemPart* part : mHeld)
    if (part) board->GetZOrder()->AddPair(mBossPart, part);
  board->MarkZOrderDirty();
}

bool QCBoss::CanTake(const std::string& p) const {
  return mMask.empty() || (MasksFit(mMask, p) && IsMaskWanted(MergeMasks(mMask, p))) || mSecond.empty() ||
         (MasksFit(mSecond, p) && IsMaskWanted(MergeMasks(mSecond, p)));
}

bool QCBoss::Interact(QCItem* other, bool test, int*) {
  if (!other) return false;
  const std::string& name = other->mName;
  bool possible = false;
  if (name == kTargetCoffeeMachine || HasPrefix(name, kItemMaterial) || name == kItemSuperMaterial)
    possible = TakeFromSource(other, test);
  else if (name == kTargetWashStand)
    possible = TakeWash(other, test);
  else if (HasPrefix(name, kObjTrashBin))
    possible = ThrowAway(other, test);
  else if (HasPrefix(name, kObjTable))
    possible = UseTable(other, test);
  else if (HasPrefix(name, kObjClientPlace) || HasPrefix(name, kObjClientSitPlace))
    possible = ServeClient(other, test);
  if (test) return possible;
  SetMotion(mMotion);
  return false;
}

bool QCBoss::TakeFromSource(QCItem* target, bool test) {
  if (!mMask.empty() && !mSecond.empty()) {
    Chain(QCBonus::kBad, target);
    return false;
  }
  if (test) return true;
  (mMask.empty() ? mMask : mSecond) = target->mMask;
  Chain(QCBonus::kGood, target);
  PlaySoundByName(kSndBossTakeItem);
  return true;
}

bool QCBoss::TakeWash(QCItem* target, bool test) {
  if (test) return true;
  Chain(QCBonus::kBad, target);
  if (!mSecond.empty()) return true;
  mSecond = target->mMask;
  PlaySoundByName(kSndBossTakeItem);
  return true;
}

bool QCBoss::ThrowAway(QCItem* target, bool test) {
  std::string* hand = !mSecond.empty() ? &mSecond : !mMask.empty() ? &mMask : nullptr;
  if (!hand) return false;
  if (test) return true;
  hand->clear();
  Chain(QCBonus::kBad, target);
  PlaySoundByName(kSndMakeTrash);
  return true;
}

bool QCBoss::UseTable(QCItem* target, bool test) {
  QCBoard_Game3* board = GetGameBoard();
  auto* worker = dynamic_cast<QCWorker*>(board ? board->FindPlaceOccupant(target) : nullptr);
  if (!worker || !worker->mActive) return false;
  if (mSecond == kItemWash) {
    if (test) {
      mWashedWorkerState = worker->mState;
      return true;
    }
    if (mWashedWorkerState == QCWorker::kBroken) SetDelay(mConfig ? mConfig->mWashTime : 0.0f, kWashed);
    Chain(QCBonus::kBad, worker);
    mSecond.clear();
    return true;
  }
  if (MasksFit(worker->mMask, worker->GetProduct())) {
    if (test) return true;
    worker->mMask = kEmptyMask;
    Chain(QCBonus::kGood, worker);
    return true;
  }
  if (test) return true;
  if (!TakeProduct(worker, worker->mMask)) {
    Chain(QCBonus::kBad, worker);
    return true;
  }
  worker->mMask.clear();
  Chain(QCBonus::kGood, worker);
  PlaySoundByName(kSndBossTakeItem);
  return true;
}

bool QCBoss::TakeProduct(QCItem*, const std::string& p) {
  if (mMask.empty()) {
    mMask = p;
  } else if (MasksFit(mMask, p) && IsMaskWanted(MergeMasks(mMask, p))) {
    mMask = MergeMasks(mMask, p);
  } else if (mSecond.empty()) {
    mSecond = p;
  } else if (MasksFit(mSecond, p) && IsMaskWanted(MergeMasks(mSecond, p))) {
    std::string first = MergeMasks(mSecond, p);
    mSecond = mMask;
    mMask = first;
  } else {
    return false;
  }
  return true;
}

bool QCBoss::ServeClient(QCItem* target, bool test) {
  QCBoard_Game3* board = GetGameBoard();
  auto* client = dynamic_cast<QCClient*>(board ? board->FindPlaceOccupant(target) : nullptr);
  if (!client) return false;
  if (test) {
    mClientWasThere = client->mVisible;
    if (!mClientWasThere) {
      Chain(QCBonus::kBad, client);
      return false;
    }
    return client->mMask.empty() || client->Accept(mMask, mSecond);
  }
  Chain(mClientWasThere ? QCBonus::kGood : QCBonus::kBad, client);
  return true;
}
