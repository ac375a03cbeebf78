#include "screens/QBoard_Hud.h"

#include <cstdio>
#include <cstdlib>

#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "engine/QCSoundTable.h"
#include "screens/ScreenServices.h"

namespace {

constexpr char kTutorialPrefix[] = "tutorial";

std::string Numbered(const char* format, int a, int b = 0) {
  char name[32];
  std::snprintf(name, sizeof name, format, a, b);
  return name;
}

}  // namespace

QBoard_Hud::QBoard_Hud(QCBoard_Game3* board, QCEngine* app, IXMLDOMNode* uiRoot)
    : QCDialog(board, app), mBoard(board) {
  LoadFromUi(uiRoot, "hud");
}

void QBoard_Hud::BindControl(const std::string& name, QCCandyWidget* widget) {
  QCDialog::BindControl(name, widget);
  if (name == "tutor_bg") mTutorBg = widget;
  if (name == "globalclean") mGlobalClean = widget;
  if (name == "freeze") mFreeze = widget;
  if (name == "goal_splash") mGoalSplash = widget;
  if (name == "expert_splash") mExpertSplash = widget;
  if (name == "upgrade") mUpgradeButton = widget;
  if (name.rfind(kTutorialPrefix, 0) == 0 && name.size() > sizeof kTutorialPrefix - 1)
    mTutorialControls[std::atoi(name.c_str() + sizeof kTutorialPrefix - 1)] = widget;
  if (name == "survival_life")
    for (int i = 0; i < 4; ++i) mLifePictures[i] = widget->FindChild(Numbered("life_%d", i));
  if (name != "achievments") return;
  for (int icon = 1; icon <= kAchievementIcons; ++icon) mIcons[icon - 1] = widget->FindChild(Numbered("ach_%01d", icon));
  for (int row = 1; row <= kAchievementRows; ++row)
    for (int star = 1; star <= kStars; ++star)
      mMarks[row - 1][star - 1] = widget->FindChild(Numbered("ach_%d_%02d", row, star));
}

QCCandyWidget* QBoard_Hud::AchievementIcon(int icon) const {
  return icon >= 1 && icon <= kAchievementIcons ? mIcons[icon - 1] : nullptr;
}

QCCandyWidget* QBoard_Hud::AchievementStar(int row, int star) const {
  if (row < 1 || row > kAchievementRows || star < 1 || star > kStars) return nullptr;
  return mMarks[row - 1][star - 1];
}

void QBoard_Hud::BeginLevel(bool survival) {
  mSurvival = survival;
  mNextAchievementX = kFirstAchievementX;
}

void QBoard_Hud::ClearLevel() {
  for (QCCandyWidget* icon : mIcons) HideIf(icon);
  for (auto& row : mMarks)
    for (QCCandyWidget* star : row) HideIf(star);
  HideIf(mGoalSplash);
  HideIf(mExpertSplash);
}

void QBoard_Hud::SetLives(int lives) {
  if (lives == mLives) return;
  if (mLives >= 0 && mLives < 4) HideIf(mLifePictures[mLives]);
  if (lives >= 0 && lives < 4) ShowIf(mLifePictures[lives]);
  mLives = lives;
}

void QBoard_Hud::OnGoalReached() {
  ShowIf(mGoalSplash);
  PlaySoundByName(CafeNames::kSndGoal);
}

void QBoard_Hud::OnExpertReached() {
  ShowIf(mExpertSplash);
  PlaySoundByName(CafeNames::kSndExpert);
}

void QBoard_Hud::ShowGlobalClean() {
  if (!mGlobalClean) return;
  mGlobalClean->Show();
  mGlobalClean->ShowChildren();
}

void QBoard_Hud::ShowFreeze(float seconds) {
  mFreezeDeadline.StartDeadline(seconds);
  if (!mFreeze) return;
  mFreeze->Show();
  mFreeze->ShowChildren();
}

void QBoard_Hud::ShowUpgradeButton(bool show) { SetVisibleIf(mUpgradeButton, show); }

void QBoard_Hud::ShowTutorialControl(int number, bool show) {
  auto it = mTutorialControls.find(number);
  if (it != mTutorialControls.end()) SetVisibleIf(it->second, show);
}

void QBoard_Hud::ShowTutorBackground(bool show) { SetVisibleIf(mTutorBg, show); }

bool QBoard_Hud::IsTutorialControlVisible(int number) const {
  auto it = mTutorialControls.find(number);
  return it != mTutorialControls.end() && it->second->mVisible;
}
