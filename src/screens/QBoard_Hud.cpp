#include "screens/QBoard_Hud.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "cafe/QCEngine3.h"
#include "common/StringUtil.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCInGameBoard.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "ui/QCText.h"

namespace {

constexpr char kTutorialPrefix[] = "tutorial";
constexpr size_t kTutorialPrefixLength = sizeof kTutorialPrefix - 1;
// Effects scale the bonus indicators' pictures down from four times their size.
constexpr float kBonusStartScale = 4.0f;
enum GroupControl { kBkg, kValue, kText, kMoney, kGhost };

std::vector<QCTextureRef> FindFrames(const char* format) {
  std::vector<QCTextureRef> frames;
  QCTextureManager* textures = QCTextureManager::Get();
  if (textures == nullptr) return frames;
  for (int n = 0; n < INT_MAX; ++n) {
    QCTextureRef frame = textures->Find(Velk::FormatString(format, n));
    if (frame.IsEmpty()) break;
    frames.push_back(frame);
  }
  return frames;
}

void StartScaled(QCCandyWidget* parent, const char* name) {
  if (QCCandyWidget* child = parent->FindChild(name)) child->SetScale(kBonusStartScale);
}

void ShowWithChildren(QCCandyWidget* widget) {
  if (widget == nullptr) return;
  widget->Show();
  widget->ShowChildren();
}

void HideWithChildren(QCCandyWidget* widget) {
  if (widget == nullptr) return;
  widget->SetVisible(false);
  widget->HideChildren();
}

}  // namespace

int TutorialControlNumber(const std::string& rest) {
  long long number = 0;
  for (char c : rest) {
    if (c < '0' || c > '9') break;
    number = std::min<long long>(number * 10 + (c - '0'), INT_MAX);
  }
  return static_cast<int>(number);
}

QBoard_Hud::QBoard_Hud(QCBoard_Game* board, QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(board, app), mBoard(board) {
  LoadFromUi(uiRoot, "hud");
  SetVisible(false);
  mClockFrames = FindFrames("hud_watch%02d");
  mStageFrames = FindFrames("hud_upgrade_%02d");
}

QBoard_Hud::~QBoard_Hud() {
  mTutorialControls.clear();
  for (QCTextureRef& frame : mClockFrames) frame.Release();
  for (QCTextureRef& frame : mStageFrames) frame.Release();
}

void QBoard_Hud::BindControl(const std::string& name, QCCandyWidget* widget) {
  QCDialog::BindControl(name, widget);
  if (name == "right_part") {
    BindGoalPanel(widget);
  } else if (name == "menu_btn") {
    mMenuButton = widget;
  } else if (name == "left_part") {
    mCareerPanel = widget;
    mCareerClock = dynamic_cast<QCText*>(widget->FindChild("clock"));
    mAlarm = widget->FindChild("alarm");
    mClosed = widget->FindChild("closed");
  } else if (name == "achievments") {
    BindAchievements(widget);
  } else if (name == "left_survival_part") {
    mSurvivalPanel = widget;
    mSurvivalClock = dynamic_cast<QCText*>(widget->FindChild("clock"));
    mUpgradeBack = widget->FindChild("upgrade_back");
    mUpgradeButton = widget->FindChild("upgrade_btn");
  } else if (name == "goal_splash") {
    mGoalSplash = widget;
  } else if (name == "expert_splash") {
    mExpertSplash = widget;
  } else if (name == "survival_life") {
    mLivesGroup = widget;
    for (int i = 0; i < kLifePictures; ++i) mLifePictures[i] = widget->FindChild(Velk::FormatString("life_%d", i));
  } else if (name == "globalclean") {
    mGlobalClean = widget;
    StartScaled(widget, "globalcleaning");
  } else if (name == "freeze") {
    mFreeze = widget;
    for (const char* step : {"step_1", "step_2", "step_3"}) StartScaled(widget, step);
  } else if (name == "tutor_bg") {
    mTutorBg = widget;
  } else if (name.compare(0, kTutorialPrefixLength, kTutorialPrefix) == 0) {
    mTutorialControls[TutorialControlNumber(name.substr(kTutorialPrefixLength))] = widget;
  }
}

void QBoard_Hud::BindGoalPanel(QCCandyWidget* panel) {
  mGoalPanel = panel;
  const char* goalNames[kGroupControls] = {"goal_bkg", "goal_value", "goal_text", "money_goal_value",
                                           "money_goal_value_ghost"};
  const char* expertNames[kGroupControls] = {"expert_bkg", "expert_value", "expert_text", "money_expert_value",
                                             "money_expert_value_ghost"};
  for (int i = 0; i < kGroupControls; ++i) {
    mGoalGroup[i] = panel->FindChild(goalNames[i]);
    mExpertGroup[i] = panel->FindChild(expertNames[i]);
  }
}

void QBoard_Hud::BindAchievements(QCCandyWidget* group) {
  mAchievements = group;
  for (int icon = 1; icon <= kAchievementIcons; ++icon)
    mIcons[icon - 1] = group->FindChild(Velk::FormatString("ach_%01d", icon));
  for (int row = 1; row <= kAchievementRows; ++row) {
    for (int star = 1; star <= kStars; ++star)
      mMarks[row - 1][star - 1] = group->FindChild(Velk::FormatString("ach_%d_%02d", row, star));
  }
}

QCCandyWidget* QBoard_Hud::AchievementIcon(int icon) const {
  return icon >= 1 && icon <= kAchievementIcons ? mIcons[icon - 1] : nullptr;
}

QCCandyWidget* QBoard_Hud::AchievementStar(int row, int star) const {
  if (row < 1 || row > kAchievementRows || star < 1 || star > kStars) return nullptr;
  return mMarks[row - 1][star - 1];
}

void QBoard_Hud::Update() {
  QCDialog::Update();
  if (!mVisible) return;
  // The sample description keeps the career clock's control visible in survival too.
  if (mCareerClock != nullptr && mCareerClock->mVisible) {
    if (mSurvival) {
      StepSurvivalClock();
    } else {
      StepCareerClock();
    }
  }
  StepFreeze();
}

int QBoard_Hud::FrameIndex(size_t n) const {
  const float progress = mBoard != nullptr ? mBoard->GetGoalProgress() : 0.0f;
  const float index = std::trunc(progress * static_cast<float>(n - 1));
  // A payment past two stage targets gives a progress above 1; nothing is shown past the last frame.
  if (!(index > 0.0f)) return 0;
  return index >= static_cast<float>(n - 1) ? static_cast<int>(n - 1) : static_cast<int>(index);
}

void QBoard_Hud::PutFrame(QCText* clock, const QCTextureRef& frame) {
  const int rect[4] = {0, 0, clock->mLayout.mWidth, clock->mLayout.mHeight};
  clock->SetTextureImage(0, frame, rect);
}

void QBoard_Hud::StepSurvivalClock() {
  if (mStageFrames.empty()) return;
  const int index = FrameIndex(mStageFrames.size());
  QCInGameBoard* board = GetInGameBoard();
  if (board != nullptr && board->WaitingUpgradeKinds() > 0) {
    SetVisibleIf(mSurvivalClock, false);
    return;
  }
  if (index == mCurrentFrame) return;
  mCurrentFrame = index;
  if (mSurvivalClock == nullptr) return;
  PutFrame(mSurvivalClock, mStageFrames[index]);
  mSurvivalClock->SetVisible(true);
}

void QBoard_Hud::StepCareerClock() {
  if (mClockFrames.empty()) return;
  const int last = static_cast<int>(mClockFrames.size()) - 1;
  const int index = FrameIndex(mClockFrames.size());
  if (index != mCurrentFrame) {
    mCurrentFrame = index;
    PutFrame(mCareerClock, mClockFrames[index]);
  }
  if (index != last) {
    HideIf(mAlarm);
    return;
  }
  if (!mAlarmPending) return;
  ShowIf(mAlarm);
  ShowIf(mClosed);
  mAlarmPending = false;
}

void QBoard_Hud::StepFreeze() {
  if (mFreeze == nullptr || !mFreeze->mVisible || mFreezeDeadline.DeadlineRunning()) return;
  mFreeze->HideChildren();
  mFreeze->Hide();
}

void QBoard_Hud::OnShowHook() { BringToFrontOfParent(this); }

void QBoard_Hud::Activate() {
  QCDialog::Activate();
  for (QCTextureRef& frame : ModeFrames()) frame.Acquire();
  if (mSurvival) {
    SetVisibleIf(mAchievements, false);
    return;
  }
  SetVisibleIf(mClosed, false);
  // A survival level hid the group; the career's rows live inside it.
  SetVisibleIf(mAchievements, true);
  for (QCCandyWidget* icon : mIcons) SetVisibleIf(icon, false);
  QCInGameBoard* board = GetInGameBoard();
  if (board != nullptr && board->GetAchievementFigures().settings.noBroke != 0) ShowIf(mIcons[kAchievementIcons - 1]);
  for (auto& row : mMarks) {
    for (QCCandyWidget* mark : row) SetVisibleIf(mark, false);
  }
}

void QBoard_Hud::Deactivate() {
  QCDialog::Deactivate();
  for (QCTextureRef& frame : ModeFrames()) frame.Release();
}

void QBoard_Hud::ButtonDepress(int id) {
  if (QCButton::IsId(id, mMenuButton)) {
    ShowIf(GetEscapeMenu());
  } else if (QCButton::IsId(id, mUpgradeButton)) {
    if (QCInGameBoard* board = GetInGameBoard()) board->ShowUpgradeDialog();
  }
}

void QBoard_Hud::ShowTutorialControl(int number, bool show) {
  auto it = mTutorialControls.find(number);
  if (it == mTutorialControls.end()) return;
  if (show) {
    it->second->Show();
  } else {
    it->second->Hide();
  }
}

void QBoard_Hud::ShowTutorBackground(bool show) { SetVisibleIf(mTutorBg, show); }

bool QBoard_Hud::IsTutorialControlVisible(int number) const {
  auto it = mTutorialControls.find(number);
  return it != mTutorialControls.end() && it->second->mVisible;
}

void QBoard_Hud::ClearLevel() {
  // The fourth life picture stays as it is.
  for (int i = 0; i < kLifePictures - 1; ++i) SetVisibleIf(mLifePictures[i], false);
  mLives = 0;
  SetVisibleIf(mCareerPanel, false);
  SetVisibleIf(mSurvivalPanel, false);
  HideWithChildren(mGoalSplash);
  HideWithChildren(mExpertSplash);
  for (int i = 0; i < kGroupControls; ++i) {
    SetVisibleIf(mGoalGroup[i], false);
    SetVisibleIf(mExpertGroup[i], false);
  }
  SetVisibleIf(mLivesGroup, false);
  HideIf(mUpgradeButton);
  HideIf(mUpgradeBack);
  SetVisibleIf(mGoalPanel, false);
  for (auto& [number, control] : mTutorialControls) control->SetVisible(false);
}

void QBoard_Hud::BeginLevel(bool survival) {
  mSurvival = survival;
  mCurrentFrame = -1;
  mAlarmPending = true;
  for (GroupControl control : {kBkg, kText, kValue, kMoney, kGhost}) ShowIf(mGoalGroup[control]);
  ShowIf(mGoalPanel);
  if (survival) {
    ShowIf(mLivesGroup);
    ShowIf(mSurvivalPanel);
  } else {
    ShowIf(mCareerPanel);
  }
}

void QBoard_Hud::SetLives(int lives) {
  if (lives == mLives) return;
  if (mLives >= 0 && mLives < kLifePictures) HideIf(mLifePictures[mLives]);
  if (lives >= 0 && lives < kLifePictures) ShowIf(mLifePictures[lives]);
  mLives = lives;
}

void QBoard_Hud::ShowUpgradeButton(bool show) {
  for (QCCandyWidget* control : {mUpgradeButton, mUpgradeBack}) {
    if (show) {
      ShowIf(control);
    } else {
      HideIf(control);
    }
  }
}

void QBoard_Hud::OnGoalReached() {
  ShowWithChildren(mGoalSplash);
  PlaySoundByName("goal");
  if (mSurvival) return;
  for (QCCandyWidget* control : mGoalGroup) HideIf(control);
  for (QCCandyWidget* control : mExpertGroup) ShowIf(control);
}

void QBoard_Hud::OnExpertReached() {
  ShowWithChildren(mExpertSplash);
  PlaySoundByName("expert");
}

void QBoard_Hud::ShowGlobalClean() { ShowWithChildren(mGlobalClean); }

void QBoard_Hud::ShowFreeze(float seconds) {
  mFreezeDeadline.StartDeadline(seconds);
  ShowWithChildren(mFreeze);
}
