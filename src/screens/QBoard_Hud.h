#pragma once
// The overlay on the gameplay board while a level runs ("hud"), a named child of the board: the day
// clock with its closing alarm (career) or the way to the next stage (survival), the goal and expert
// figures and splashes, lives and the upgrade button (survival), the freeze and clean bonus
// indicators, the achievement rows (career), the menu button and the tutorial's numbered controls.
// The cafe's rules call it; it decides nothing about play and reads only the board's goal progress.

#include <map>
#include <string>
#include <vector>

#include "cafe/QCTutorialHud.h"
#include "engine/QCDeadline.h"
#include "engine/QCDialog.h"
#include "engine/QCTexture.h"

class QCBoard_Game;
class QCEngine3;
class QCText;

class QBoard_Hud : public QCDialog, public QCTutorialHud {
 public:
  static constexpr int kLifePictures = 4;
  static constexpr int kAchievementIcons = 4;
  static constexpr int kAchievementRows = 3;
  static constexpr int kStars = 5;
  static constexpr int kFirstAchievementX = 40;
  static constexpr int kGroupControls = 5;  // background, value, text, money, money ghost

  // Built under the board, which adds it as its child "hud".
  QBoard_Hud(QCBoard_Game* board, QCEngine3* app, IXMLDOMNode* uiRoot);
  ~QBoard_Hud() override;

  void Update() override;
  void OnShowHook() override;
  void Activate() override;
  void Deactivate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;
  void ShowTutorialControl(int number, bool show) override;
  bool IsTutorialControlVisible(int number) const override;
  void ShowTutorBackground(bool show) override;
  virtual void BeginLevel(bool survival);
  virtual void ClearLevel();

  // 0 to 3.
  void SetLives(int lives);
  void ShowUpgradeButton(bool show);
  void OnGoalReached();
  void OnExpertReached();
  void ShowGlobalClean();
  // The freeze indicator until `seconds` of game time from now.
  void ShowFreeze(float seconds);

  // Icon 1-4 (freeze, clean, happy, no breakdown) and mark 1-5 of rows 1-3; null when not described.
  QCCandyWidget* AchievementIcon(int icon) const;
  QCCandyWidget* AchievementStar(int row, int star) const;

  QCBoard_Game* mBoard;  // not owned
  bool mSurvival = false;
  QCCandyWidget* mLivesGroup = nullptr;
  int mLives = 0;
  QCCandyWidget* mLifePictures[kLifePictures] = {};
  QCCandyWidget* mGoalSplash = nullptr;
  QCCandyWidget* mExpertSplash = nullptr;
  QCCandyWidget* mCareerPanel = nullptr;
  QCCandyWidget* mSurvivalPanel = nullptr;
  QCCandyWidget* mGoalPanel = nullptr;
  QCCandyWidget* mMenuButton = nullptr;
  QCCandyWidget* mUpgradeButton = nullptr;
  QCCandyWidget* mUpgradeBack = nullptr;
  // Background, value, text, money and money ghost of the goal and of the expert goal.
  QCCandyWidget* mGoalGroup[kGroupControls] = {};
  QCCandyWidget* mExpertGroup[kGroupControls] = {};
  QCCandyWidget* mAlarm = nullptr;
  QCCandyWidget* mClosed = nullptr;
  bool mAlarmPending = false;
  std::vector<QCTextureRef> mClockFrames;
  std::vector<QCTextureRef> mStageFrames;
  int mCurrentFrame = -1;  // none since BeginLevel
  QCText* mCareerClock = nullptr;
  QCText* mSurvivalClock = nullptr;
  QCCandyWidget* mGlobalClean = nullptr;
  QCCandyWidget* mFreeze = nullptr;
  QCDeadline mFreezeDeadline;
  std::map<int, QCCandyWidget*> mTutorialControls;
  QCCandyWidget* mTutorBg = nullptr;
  QCCandyWidget* mIcons[kAchievementIcons] = {};
  QCCandyWidget* mMarks[kAchievementRows][kStars] = {};
  int mNextAchievementX = kFirstAchievementX;
  QCCandyWidget* mAchievements = nullptr;

 private:
  void BindGoalPanel(QCCandyWidget* panel);
  void BindAchievements(QCCandyWidget* group);
  void BindTutorialControl(const std::string& name, QCCandyWidget* widget);
  void StepSurvivalClock();
  void StepCareerClock();
  void StepFreeze();
  // The frame for the board's goal progress among n frames; n is at least 1.
  int FrameIndex(size_t n) const;
  void PutFrame(QCText* clock, const QCTextureRef& frame);
  std::vector<QCTextureRef>& ModeFrames() { return mSurvival ? mStageFrames : mClockFrames; }
};

// The number of a tutorial control from the rest of its name: the leading decimal digits (none: 0),
// held at the largest int rather than overflowing.
int TutorialControlNumber(const std::string& rest);
