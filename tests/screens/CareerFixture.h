#pragma once
// The career, survival and in-game screens' test world: the screens' fixture with a cafe board that
// answers what the in-game screens ask (waiting upgrades, achievement figures, offers) and records
// what they do to it, its HUD, briefing and upgrade dialog made from the fixture's description,
// and a profile at a chosen career day.
#include <string>
#include <vector>

#include "ScreenFixture.h"
#include "cafe/QCUpgradeInfo.h"
#include "screens/QBoard_Hud.h"
#include "screens/QCBoard_Briefing.h"
#include "screens/QCBoard_Upgrade.h"
#include "screens/QCInGameBoard.h"

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
  int collections = 0;
  int finishes = 0;
  float progress = 0.0f;
  // "+name" and "-name" in the order applied and taken back.
  std::vector<std::string> applied;
  QBoard_Hud* hud = nullptr;
  QCBoard_Briefing* briefing = nullptr;
  QCBoard_Upgrade* upgrade = nullptr;
};

class CareerTest : public ScreenTest {
 protected:
  CareerTest();

  // A profile "Ann" at that career day, then the screens.
  void StartAtDay(int currentDay);
  // The cafe board with its in-game screens, in the widget manager.
  CafeTestBoard* AddCafeBoard();
  QCProfile& Profile() { return *Game().mPref.GetProfile(); }
  // Whether the control's normal texture shows the named picture.
  bool ShowsPicture(QCCandyWidget* control, const std::string& id);
  void AnswerNextQuestion(bool yes);
  // The value of a text variable.
  std::wstring Var(const std::string& name);

  CafeTestBoard* cafe = nullptr;
};

namespace UiText {
// The in-game screens: "hud", "briefing_dialog" and "upgrade_menu" with `trays` trays.
std::string InGameScreens(int trays = 4);
}  // namespace UiText
