#include "cafe/QCWorker.h"

#include <cmath>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/ProductMask.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "engine/EngineUtil.h"
#include "engine/QCSoundTable.h"
#include "scene/LevelLog.h"
#include "scene/QCItemPart.h"

using namespace CafeNames;

namespace {

bool gChanging = false;

// The tutorial's questions: whether tidiness recovers (2), soils (3), and work goes on (4).
constexpr int kActionRecover = 2;
constexpr int kActionSoil = 3;
constexpr int kActionWork = 4;
constexpr int kEventWorkStarted = 7;
constexpr int kEventWorkDone = 8;

const char* const kCookingAnims[] = {kAnimWorkerCookingIdle, kAnimWorkerCookingProcess01, kAnimWorkerCookingProcess02,
                                     kAnimWorkerCookingProcess03};
const char* const kChainAnims[] = {kAnimWorkerReadyGreenBegin,  kAnimWorkerReadyGreenEnd,   kAnimWorkerSwitchWork,
                                   kAnimWorkerSwitchIdle,       kAnimWorkerCookingIdle,     kAnimWorkerCookingProcess01,
                                   kAnimWorkerCookingProcess02, kAnimWorkerCookingProcess03};

bool Allowed(int kind) {
  QCBoard_Game3* board = GetGameBoard();
  return !board || board->IsActionAllowed(kind);
}

void Chain(int kind, QCItem* item) {
  if (QCBoard_Game3* board = GetGameBoard()) board->mBonus.OnEvent(kind, item);
}

void SendTutorial(int id) {
  if (QCBoard_Game3* board = GetGameBoard()) board->TutorialEvent(id);
}

std::string NumberOf(const std::string& name) {
  const std::string prefix = kObjWorker;
  return name.compare(0, prefix.size(), prefix) == 0 ? name.substr(prefix.size()) : "";
}

QCItemPart* PartOr(QCItem* item, const char* first, const char* second) {
  QCItemPart* part = item->FindPart(first, 0);
  return part ? part : item->FindPart(second, 0);
}

}  // namespace

QCWorker::~QCWorker() { ReleaseSound(); }

// Idle tidiness recovers while the tutorial does not hold recovery back.
bool QCWorker::RecoversNow() { return Allowed(kActionRecover); }

uint32_t QCWorker::SoilingColor(float tidiness) {
  const long a = std::clamp(std::lround(tidiness * 2.55f), 0L, 255L);
  return (static_cast<uint32_t>(255 - a) << 24) | kSoilingRgb;
}

bool QCWorker::IsFrozen() const {
  QCBoard_Game3* board = GetGameBoard();
  return board && board->mFreeze.DeadlineRunning();
}

float QCWorker::WorkTime() const {
  if (!mConfig) return 0.0f;
  return mConfig->mWorkTime * (mSpeedUpgrade ? mConfig->mUpgradeWorkSpeed : 1.0f);
}

float QCWorker::WorkProgress() const {
  const float total = WorkTime();
  if (mState != kWorking || total <= 0.0f) return -1.0f;
  return (total - mWork.DeadlineRemaining()) / total;
}

std::string QCWorker::GetProduct() const { return mConfig ? mConfig->mProduct : std::string(); }

void QCWorker::ReleaseSound() {
  if (!mSound) return;
  SoundChannelStop(mSound);
  delete mSound;
  mSound = nullptr;
}

void QCWorker::LoadFromXml(IXMLDOMNode* node) {
  QCItem::LoadFromXml(node);
  gWorkerRegistry.emplace(mName, this);
}

void QCWorker::ClearParts() {
  QCItem::ClearParts();
  auto it = gWorkerRegistry.find(mName);
  if (it != gWorkerRegistry.end() && it->second == this) gWorkerRegistry.erase(it);
}

void QCWorker::ApplySkinXml(IXMLDOMNode* node) {
  QCItem::ApplySkinXml(node);
  mConfig = FindWorkerConfig(mSkin, this);
  if (!mConfig) {
    LevelLog("Level: worker %s has no settings for the kind \"%s\"; it stays out of play", mName.c_str(),
             mSkin.c_str());
    mActive = false;
    Show(false);
    return;
  }
  ReleaseSound();
  mSound = CreateSoundChannel(mConfig->mStartSound);
  for (const char* anim : {kAnimWorkerIdleGreen, kAnimWorkerIdleRed})
    AddTimedState(anim, mConfig->mIdleStopFrame, mConfig->mIdleRestartTimeMin, mConfig->mIdleRestartTimeMax);
  FindTableParts();
}

void QCWorker::FindTableParts() {
  const std::string number = NumberOf(mName);
  mTable = QCItem::FindByName(kObjTable + number);
  mUpgradeParts[0] = FindPart("worker_upgrade_1", 0);
  mUpgradeParts[1] = FindPart("worker_upgrade_2", 0);
  if (!mTable) return;
  mSoiling[0] = mTable->FindPart("soiling_table" + number, 0);
  mSoiling[1] = PartOr(mTable, "soiling_floor01", "soiling_floor02");
  mSoiling[2] = PartOr(mTable, "soiling_front01", "soiling_front02");
  mCleaning = mTable->FindPart("cleaning", 0);
  if (mCleaning) mCleaning->Show(false);
}

void QCWorker::ReleaseImages() {
  QCItem::ReleaseImages();
  ReleaseSound();
}

void QCWorker::Reset(bool start) {
  QCItem::Reset(start);
  if (!start || !mConfig) return;
  mTidinessUpgrade = mSpeedUpgrade = false;
  mMask.clear();
  mHover = false;
  const int before = mState;
  mState = kIdle;
  if (before == kIdle) PlayAnim(kAnimWorkerIdleGreen);
  if (before == kReady) PlayAnim(kAnimWorkerReadyGreenEnd);
  mTidiness = mConfig->mOverridden ? mConfig->mStartStamina : 100.0f;
  ShowSoiling();
  Show(true);
  ApplyUpgrades();
}

void QCWorker::ApplyUpgrades() {
  QCBoard_Game3* board = GetGameBoard();
  // The upgrades belong to the worker's kind, the name its configuration has in cfg.xml.
  mTidinessUpgrade = board && board->IsUpgradeApplied(mSkin, "tidiness") != 0;
  mSpeedUpgrade = board && board->IsUpgradeApplied(mSkin, "speed") != 0;
  if (mUpgradeParts[0]) mUpgradeParts[0]->Show(mSpeedUpgrade);
  if (mUpgradeParts[1]) mUpgradeParts[1]->Show(mTidinessUpgrade);
}

void QCWorker::ShowSoiling() {
  const uint32_t color = SoilingColor(mTidiness);
  for (QCItemPart* part : mSoiling)
    if (part) part->mTint = color;
}

void QCWorker::ChangeTidiness(float delta) {
  if (delta > 0.0f) {
    mTidiness = std::min(100.0f, mTidiness + delta);
  } else if (!IsFrozen() && Allowed(kActionSoil)) {
    mTidiness = std::max(0.0f, mTidiness + delta);
  }
  ShowSoiling();
}

bool QCWorker::GetValue(float* out) const {
  if (!mActive) return false;
  *out = mTidiness;
  return true;
}

bool QCWorker::GetBubbleText(std::string* out) const {
  switch (mState) {
    case kBroken:
      *out = "broken";
      return true;
    case kReady:
      if (!mConfig) return false;
      *out = mConfig->mProductType;
      return true;
    case kWorking:
      *out = "working";
      return true;
    default:
      return false;
  }
}

bool QCWorker::GetBubbleStyle(std::string* out) const {
  if (mState == kIdle) return false;
  *out = mState == kBroken ? "broken" : kObjWorker;
  return true;
}

void QCWorker::SetState(int state) {
  if (gChanging) return;
  gChanging = true;
  const int from = mState;
  if (state == kIdle) {
    if (from == kIdle) PlayAnim(kAnimWorkerIdleGreen);
    if (from == kReady) PlayAnim(kAnimWorkerReadyGreenEnd);
  } else if (state == kBroken) {
    BreakDown();
  } else if (state == kReady) {
    if (from == kReady) PlayAnim(kAnimWorkerReadyGreenAction);
    if (from == kWorking) {
      mMask = MergeMasks(mMask, GetProduct());
      PlaySoundByName(kSndWorkerFinish);
      PlayAnim(kAnimWorkerSwitchIdle);
      SendTutorial(kEventWorkDone);
    }
  } else if (state == kWorking) {
    Work();
  }
  mState = state;
  gChanging = false;
}

void QCWorker::BreakDown() {
  if (QCBoard_Game3* board = GetGameBoard()) board->OnWorkerBroke();
  if (mState == kBroken) PlayAnim(kAnimWorkerIdleBrokenWorkplace);
  if (mState == kWorking) {
    PlayAnim(kAnimWorkerSwitchIdle);
    PlaySoundByName(kSndWorkerBroke);
    SoundChannelPause(mSound);
  }
}

void QCWorker::Work() {
  switch (mState) {
    case kIdle:
      mWork.StartDeadline(WorkTime());
      SoundChannelPlay(mSound);
      SoundChannelResume(mSound);
      SendTutorial(kEventWorkStarted);
      PlayAnim(kAnimWorkerSwitchWork);
      break;
    case kBroken:
      SoundChannelResume(mSound);
      PlayAnim(kAnimWorkerSwitchWork);
      break;
    case kReady:
      PlayAnim(kAnimWorkerReadyGreenEnd);
      mWork.StartDeadline(WorkTime());
      break;
    default:
      if (mCurrentAnim == kAnimWorkerReadyGreenEnd)
        PlayAnim(kAnimWorkerSwitchWork);
      else
        PlayAnim(kCookingAnims[RandomInt(0, 3)]);
      break;
  }
}

void QCWorker::StartTimedState(const std::string& name) {
  QCItem::StartTimedState(name);
  if (name == kAnimWorkerDirectCharacter && mState == kIdle) {
    if (mGreeted)
      SetState(kIdle);
    else
      mGreeted = true;
    return;
  }
  for (const char* anim : kChainAnims)
    if (name == anim) {
      SetState(mState);
      return;
    }
}

void QCWorker::SetSelected(uint32_t point, bool on) {
  QCItem::SetSelected(point, on);
  if (on == mHover) return;
  if (mState == kIdle && on && mCurrentAnim != kAnimWorkerDirectCharacter) {
    PlayAnim(kAnimWorkerDirectCharacter);
    if (mConfig) SetPartsFrame(mConfig->mDirectCharacterBreakFrame);
    mGreeted = false;
  } else if (mState == kIdle && !on && mCurrentAnim == kAnimWorkerDirectCharacter) {
    if (mGreeted) PauseParts(false);
    mGreeted = true;
    RemoveTimedState(kAnimWorkerDirectCharacter);
  } else if (mState == kReady && on) {
    PlayAnim(kAnimWorkerReadyGreenAction);
  }
  mHover = on;
}

void QCWorker::Recover() {
  if (mTidiness >= 100.0f || !RecoversNow() || !mConfig) return;
  const float before = mTidiness;
  ChangeTidiness(mConfig->mTidinessUp * GetGameDt());
  for (float level : {gWorkerGlobals.mTidinessRLevel, gWorkerGlobals.mTidinessYLevel, gWorkerGlobals.mTidinessGLevel})
    if (before <= level && mTidiness > level) {
      SetState(mState);
      return;
    }
  if (mTidiness >= 100.0f) SetState(mState);
}

void QCWorker::Update() {
  QCItem::Update();
  if (!mVisible || !mConfig) return;
  if (mState == kIdle || mState == kReady) {
    Recover();
  } else if (mState == kBroken) {
    mWork.ExtendDeadline(GetGameDt());
  } else if (mState == kWorking) {
    if (!Allowed(kActionWork)) mWork.ExtendDeadline(GetGameDt());
    if (!mWork.DeadlineRunning()) {
      SetState(kReady);
    } else if (Allowed(kActionSoil)) {
      const float factor = mTidinessUpgrade ? mConfig->mUpgradeTidinessDown : 1.0f;
      ChangeTidiness(-mConfig->mTidinessDown * GetGameDt() * factor);
      if (mTidiness <= 0.0f) SetState(kBroken);
    }
  }
}

void QCWorker::Clean() {
  ChangeTidiness(100.0f);
  if (mCleaning) {
    mCleaning->Show(true);
    mCleaning->PlayAnim(kStateActivation);
  }
  if (mState == kBroken) SetState(kWorking);
  PlaySoundByName(kSndWorkerClean);
}

void QCWorker::CleanAllWorkers(int mode, float amount) {
  if (mode != 1) return;
  for (auto& [name, worker] : gWorkerRegistry) {
    if (!worker->mActive || !worker->mVisible) continue;
    worker->ChangeTidiness(amount);
    if (worker->mCleaning) {
      worker->mCleaning->Show(true);
      worker->mCleaning->PlayAnim(kStateActivation);
    }
  }
}

bool QCWorker::Interact(QCItem* other, bool test, int*) {
  auto* boss = dynamic_cast<QCBoss*>(other);
  if (!boss) return false;
  if (boss->mSecond == kItemWash) {
    if (!test) Clean();
    return test;
  }
  if (mState == kIdle) {
    if (!test) SetState(kWorking);
    return test;
  }
  if (mState != kReady) return false;
  if (test) {
    // A product no hand can take stops the boss here: a failed move.
    const bool takes = boss->CanTake(mMask);
    if (!takes) Chain(QCBonus::kBad, this);
    return takes;
  }
  // Back to idle without the state change's actions: the boss took the product.
  mState = kIdle;
  PlayAnim(kAnimWorkerReadyGreenEnd);
  return false;
}
