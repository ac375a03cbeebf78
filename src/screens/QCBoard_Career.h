#pragma once
// The career book ("career_menu"): the cafes and days of the player's career. The main menu opens
// it and resets its chosen day when another profile is chosen; the board reports each finished day.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Career : public QCDialog {
 public:
  QCBoard_Career(QCEngine3* app, IXMLDOMNode* uiRoot);

  // The chosen day is derived from the profile again the next time the book opens.
  void ResetSelectedSlot() { mSelectedSlot = -1; }
  void ShowCafePage(bool animate);
  void ShowCafeTabs();
  void OnLevelEnd(int money, int result, int day);

  QCEngine3* mGame;
  int mSelectedSlot = -1;
};
