#pragma once
// The career, survival and in-game screens' test world: the screens' fixture with the cafe test
// board, its HUD, briefing and upgrade dialog made from the fixture's description, and a profile at
// a chosen career day.
#include <string>
#include <vector>

#include "ScreenFixture.h"
#include "CafeTestBoard.h"

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
