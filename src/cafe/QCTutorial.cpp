#include "cafe/QCTutorial.h"

#include "cafe/QCMiniGame.h"
#include "cafe/QCTutorialHud.h"
#include "scene/QCBoard_Game.h"

QCTutorial::QCTutorial(QCTutorialHud* hud, QCBoard_Game* board, QCMiniGame* miniGame)
    : mHud(hud), mBoard(board), mMiniGame(miniGame) {}

void QCTutorial::StartForDay(int day) {
  Reset();
  mAwardElements = nullptr;
  mAwardFlags = nullptr;
  mAwardCursor = 0;
  mAwardCount = 0;
  mLastShownPanel = 0;
  mStepTimer.StartDeadline(0.0f);
  for (int i = 0; i < kTutorialScriptCount; ++i) {
    const Script& script = kTutorialScripts[i];
    if (script.day != day) continue;
    mSteps = script.steps;
    mStepCount = script.stepCount;
    mAwardElements = script.awardElements;
    mAwardFlags = script.awardFlags;
    mAwardCount = script.awardCount;
    OnEvent(kTimer);
    return;
  }
}

void QCTutorial::Reset() {
  mSteps = nullptr;
  mStepCount = 0;
  mCurrent = 0;
  mHeld.clear();
  mLocked.clear();
}

void QCTutorial::OnEvent(int id) {
  if (mSteps == nullptr) return;
  const Step& step = mSteps[mCurrent];
  if (step.wait != kTimer && step.wait != id) return;
  if (step.wait == kTimer && mStepTimer.DeadlineRunning()) return;
  RunStep(step);
  mStepTimer.StartDeadline(step.delay);
  mLastShownPanel = step.showPanel;
  if (++mCurrent >= mStepCount) {
    mSteps = nullptr;
    mStepCount = 0;
  }
}

void QCTutorial::Update() {
  if (mSteps == nullptr) return;
  if (mStepTimer.DeadlineRunning()) {
    if (mLastShownPanel == 0 || (mHud && mHud->IsTutorialControlVisible(mLastShownPanel))) return;
  }
  // The delay passed, or the player closed the panel early.
  mStepTimer.StartDeadline(0.0f);
  OnEvent(kTimer);
}

void QCTutorial::RunStep(const Step& step) {
  for (int kind : step.hold)
    if (kind != 0) mHeld.insert(kind);
  for (int kind : step.release)
    if (kind != 0) mHeld.erase(kind);
  for (const char* name : step.lock)
    if (name) mLocked.insert(name);
  for (const char* name : step.unlock)
    if (name) mLocked.erase(name);
  if (mHud && step.showPanel != 0) mHud->ShowTutorialControl(step.showPanel, true);
  if (mHud && step.hidePanel != 0) mHud->ShowTutorialControl(step.hidePanel, false);
  if (step.click) ClickObject(step.click);
  GiveScriptedAwards(step.awards);
  if (mMiniGame && step.enableElement != 0) mMiniGame->EnableElementAt(step.enableElement);
  if (mHud) mHud->ShowTutorBackground(step.tutorBackground == 1);
}

void QCTutorial::GiveScriptedAwards(int count) {
  for (int i = 0; i < count; ++i) {
    bool flag = false;
    int kind = NextScriptedAward(flag);
    // Rush bonuses may have used the prepared elements up already.
    if (kind < 0) return;
    if (mMiniGame) mMiniGame->AddElement(kind, flag, false);
  }
}

void QCTutorial::ClickObject(const std::string& name) {
  if (mBoard) mBoard->ClickObjectByName(name);
}

bool QCTutorial::IsActionAllowed(int kind) const { return mSteps == nullptr || mHeld.count(kind) == 0; }

bool QCTutorial::IsObjectAllowed(const std::string& name) const {
  return mSteps == nullptr || mLocked.count(name) == 0;
}

int QCTutorial::NextScriptedAward(bool& flag) {
  if (mSteps == nullptr || mAwardCursor >= mAwardCount) return -1;
  flag = mAwardFlags[mAwardCursor] != 0;
  return mAwardElements[mAwardCursor++];
}
