#pragma once
// What the in-game screens (HUD, upgrade dialog) and the career book ask of the cafe's gameplay
// board beyond the board base: the waiting upgrades, the level's achievement figures, and the
// upgrade and level-end steps. The cafe's board implements it; GetInGameBoard finds it.

#include <vector>

struct QCUpgradeInfo;

// What a level's "achparams" asks for its achievements.
struct AchievementParams {
  int freeze = 5;
  int clean = 5;
  int candy = 5;
  int noBroke = 1;
  int bonusCash = 50;
  int bonusSuper = 5;
  int bonusSuperCash = 100;
};

// The level's achievement counters so far and its settings.
struct QCAchievementFigures {
  int freezeRewards = 0;  // freeze rewards the mini-game gave in this level
  int cleanRewards = 0;
  int happyRewards = 0;
  int breakdowns = 0;  // workplace breakdowns in this level
  AchievementParams settings;
};

class QCInGameBoard {
 public:
  // Upgrade kinds that survival stages released and the upgrade dialog has not taken yet.
  virtual int WaitingUpgradeKinds() const = 0;
  virtual QCAchievementFigures GetAchievementFigures() const = 0;
  // Shows the board's upgrade dialog.
  virtual void ShowUpgradeDialog() = 0;
  // Fills `out` with at most four upgrades on offer (in survival it takes the next waiting kind)
  // and returns their number. A board without upgrade lists offers none.
  virtual int CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out) {
    out.clear();
    return 0;
  }
  virtual void ApplyUpgrade(QCUpgradeInfo* upgrade, bool on) {
    (void)upgrade;
    (void)on;
  }
  // Ends the finished level: hides the board, hands the result on and saves pref.dat.
  virtual void FinishLevel() = 0;

 protected:
  ~QCInGameBoard() = default;
};

// The current gameplay board's face for the screens; null without a cafe board.
QCInGameBoard* GetInGameBoard();
