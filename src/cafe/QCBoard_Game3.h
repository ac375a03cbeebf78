#pragma once
// The gameplay board: the cafe's rules over the board base. A career day (one of 59, in three
// cafes) runs the level file's arrivals and ends when they are all served or gone; a survival shift
// (one of three cafes) draws arrivals per money stage and ends when the fourth customer leaves
// unhappy. The board keeps the goals, lives, the rush-bonus chain, the mini-game's rewards and the
// level's achievements, applies the level's overrides of the character settings, and hands the
// finished level to the career book or the hi-scores.
//
// On the first career day the tutorial script decides which actions and clicks are allowed; the
// mini-game in the HUD receives the rush-bonus awards and pays its chains here.

#include <string>
#include <vector>

#include "cafe/QCBoardUpgrades.h"
#include "cafe/QCBonus.h"
#include "cafe/QCMiniGame.h"
#include "engine/QCDeadline.h"
#include "scene/QCBoard_Game.h"
#include "screens/QCInGameBoard.h"

class IXMLDOMNode;
class QBoard_Hud;
class QCBoard_Briefing;
class QCBoard_EscapeMenu;
class QCBoard_Upgrade;
class QCEngine3;
class QCMiniGame;
class QCTutorial;

// The "level" settings of cfg.xml that hold for every level; an absent attribute keeps the value.
struct CafeLevelGlobals {
  int bonusCash = 0;                // money per coin of the mini-game
  int bonusCashUpgrade = 0;         // the same once the money upgrade is bought
  float bonusWStamina = 0.0f;       // tidiness per unit of the clean reward
  float bonusCStamina = 0.0f;       // patience per unit of the happy reward
  float bonusIceAgeTimeout = 0.0f;  // seconds per unit of the ice and of the speed reward
  float clientPause = 0.0f;         // a standing place's rest after its customer leaves
};
extern CafeLevelGlobals gCafeLevel;

class QCBoard_Game3 : public QCBoard_Game, public QCBoardUpgrades, public QCMiniGameRewards, public QCInGameBoard {
 public:
  enum Reward { kCoins = 0, kClean = 1, kIce = 2, kHappy = 3, kSpeed = 4 };
  enum Result { kExpertResult = 0, kGoalResult = 1, kFailResult = 2 };
  static constexpr int kStartLives = 3;
  static constexpr int kEscapeKey = 27;

  QCBoard_Game3(QCEngine3* app, IXMLDOMNode* uiRoot);
  ~QCBoard_Game3() override;

  void KeyUp(int key) override;
  void OnShowHook() override;
  bool IsLevelOver() override;
  void StartLevel() override;
  void EndLevel() override;
  void ResetLevel() override;
  void ReadLevel(IXMLDOMNode* sceneRoot, IXMLDOMNode* levelNode) override;
  void ResetItems() override;
  void OnObjectClicked(QCPickItem* item) override;
  void PerFrame() override;
  void LoadConfigs(IXMLDOMNode* cfgRoot) override;
  void ClearConfigs() override;
  void OnMoneyChanged() override;
  void OnStageAdvanced() override;
  bool DispatchEvent(QCEventRecord* event) override;
  void OnPause() override {}
  void OnResume() override {}
  bool OnLevelUnreadable(const std::string& file) override;
  QCItem* FindPlaceOccupant(QCItem* place) override;

  // Career: the cafe of the day (0 past day 59); survival: the level number.
  int GetCafe() const override;
  // Career: the day within its cafe; survival: the stages reached.
  int GetCafeDay() const;
  void CheckGoals();
  void LoseLife();
  void ApplyMiniGameReward(int kind, int count) override;
  // Hides the board, hands the result on and saves pref.dat.
  void FinishLevel() override;
  void ShowUpgradeDialog() override;
  // QCInGameBoard
  int WaitingUpgradeKinds() const override { return static_cast<int>(mUpgradeQueue.size()); }
  QCAchievementFigures GetAchievementFigures() const override;
  int CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out) override;
  using QCBoardUpgrades::ApplyUpgrade;
  void ApplyUpgrade(QCUpgradeInfo* upgrade, bool on) override;
  // Career result of the money against the goals.
  int LevelResult() const;

  // The tutorial's questions and events; without a script everything is allowed and every event
  // dropped.
  bool IsActionAllowed(int kind) const;
  bool IsObjectAllowed(const std::string& name) const;
  void TutorialEvent(int id);
  // A rush-bonus stage fired: its index goes to the mini-game as an award.
  void AwardRushBonus(int index);
  // A workplace broke down: counted, and the day's no-breakdown badge goes.
  void OnWorkerBroke();

  QCEngine3* mApp;
  QCBonus mBonus;
  QCTutorial* mTutorial = nullptr;
  QCMiniGame* mMiniGame = nullptr;
  bool mGoalReached = false;
  bool mExpertReached = false;
  int mNormalGoal = 0;
  int mExpertGoal = 0;
  std::string mUpgradeSkin;
  std::string mDefaultSkin;
  QCDeadline mFreeze;
  QCDeadline mSpeed;
  int mLives = 0;
  QCBoard_EscapeMenu* mEscapeMenu = nullptr;
  QBoard_Hud* mHud = nullptr;
  QCBoard_Upgrade* mUpgrade = nullptr;
  QCBoard_Briefing* mBriefing = nullptr;

  int mIceCount = 0;
  int mCleanCount = 0;
  int mHappyCount = 0;
  int mBreakdowns = 0;
  AchievementParams mAchievements;
  // Customer kinds the level named without a configuration, each logged once.
  std::vector<std::string> mUnknownKinds;

 protected:
  // QCBoardUpgrades
  bool IsSurvivalLevel() const override { return mSurvival; }
  uint8_t* ProfileUpgradeBlock() override;
  void ShowUpgradeButton(bool show) override;
  QCIUpgrade* WorkerUpgradeHandler(WorkerConfig* config) override;
  const std::string& UpgradeSkinName() const override { return mUpgradeSkin; }
  const std::string& DefaultSkinName() const override { return mDefaultSkin; }

 private:
  void ReadAchievements(IXMLDOMNode* levelNode);
  void ApplyOverrides(IXMLDOMNode* levelNode);
  void RestoreOverrides();
  void AchievementStep(int row, int count, int target, int& counter);
  void PublishCafeAndDay();
};

// The gameplay board while one exists.
QCBoard_Game3* GetGameBoard();

// Stars of an achievement row after n rewards against a target: n x 5 / target, 1 to 5.
int AchievementStars(int n, int target);
