#pragma once
// The overlay on the gameplay board while a level runs ("hud"): lives, goals, the mini-game's
// bonus indicators, the achievement rows and the tutorial's numbered controls. The cafe's rules
// call it; it decides nothing about play. Controls the description lacks are skipped, and the
// operations then only keep their state.

#include <map>
#include <string>

#include "engine/QCDeadline.h"
#include "cafe/QCTutorialHud.h"
#include "engine/QCDialog.h"

class QCBoard_Game3;
class QCEngine;

class QBoard_Hud : public QCDialog, public QCTutorialHud {
 public:
  static constexpr int kAchievementIcons = 4;
  static constexpr int kAchievementRows = 3;
  static constexpr int kStars = 5;
  static constexpr int kFirstAchievementX = 40;

  QBoard_Hud(QCBoard_Game3* board, QCEngine* app, IXMLDOMNode* uiRoot);

  void BindControl(const std::string& name, QCCandyWidget* widget) override;

  void BeginLevel(bool survival);
  void ClearLevel();
  // 0 to 3.
  void SetLives(int lives);
  void OnGoalReached();
  void OnExpertReached();
  void ShowGlobalClean();
  void ShowFreeze(float seconds);
  void ShowUpgradeButton(bool show);
  void ShowTutorialControl(int number, bool show) override;
  bool IsTutorialControlVisible(int number) const override;
  void ShowTutorBackground(bool show) override;

  // Icon 1-4 (ice, clean, happy, no breakdown) and star 1-5 of rows 1-3; null when not described.
  QCCandyWidget* AchievementIcon(int icon) const;
  QCCandyWidget* AchievementStar(int row, int star) const;

  QCBoard_Game3* mBoard;
  bool mSurvival = false;
  int mLives = 0;
  int mNextAchievementX = kFirstAchievementX;
  QCDeadline mFreezeDeadline;
  QCCandyWidget* mTutorBg = nullptr;
  QCCandyWidget* mLifePictures[4] = {};
  QCCandyWidget* mGlobalClean = nullptr;
  QCCandyWidget* mFreeze = nullptr;
  QCCandyWidget* mGoalSplash = nullptr;
  QCCandyWidget* mExpertSplash = nullptr;
  QCCandyWidget* mUpgradeButton = nullptr;
  std::map<int, QCCandyWidget*> mTutorialControls;

 private:
  QCCandyWidget* mIcons[kAchievementIcons] = {};
  QCCandyWidget* mMarks[kAchievementRows][kStars] = {};
};
