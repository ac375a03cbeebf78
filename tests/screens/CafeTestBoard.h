#pragma once
// A board for the career and in-game screens' tests and fuzzing: it answers what the screens ask of
// the cafe's board (waiting upgrades, achievement figures, offers, goal progress) from plain fields
// and records what they do to it.
#include <set>
#include <string>
#include <vector>

#include "RecordingBoard.h"
#include "cafe/QCUpgradeInfo.h"
#include "screens/QBoard_Hud.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Upgrade.h"
#include "screens/QCInGameBoard.h"

// An upgrade record as the board's lists hold it.
inline QCUpgradeInfo UpgradeRecord(const std::string& object, const std::string& name) {
  QCUpgradeInfo info;
  info.object = object;
  info.name = name;
  return info;
}

class CafeTestBoard : public RecordingBoard, public QCInGameBoard {
 public:
  int WaitingUpgradeKinds() const override { return waitingKinds; }
  QCAchievementFigures GetAchievementFigures() const override { return figures; }
  void ShowUpgradeDialog() override;
  int CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out) override;
  void ApplyUpgrade(QCUpgradeInfo* upgrade, bool on) override;
  void FinishLevel() override { ++finishes; }
  float GetGoalProgress() const override { return progress; }

  int waitingKinds = 0;
  QCAchievementFigures figures;
  std::vector<QCUpgradeInfo> upgrades;
  std::set<const QCUpgradeInfo*> taken;
  int collections = 0;
  int finishes = 0;
  float progress = 0.0f;
  // "+name" and "-name" in the order applied and taken back.
  std::vector<std::string> applied;
  QBoard_Hud* hud = nullptr;
  QCBoard_Briefing* briefing = nullptr;
  QCBoard_Upgrade* upgrade = nullptr;
};
