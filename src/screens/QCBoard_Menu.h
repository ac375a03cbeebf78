#pragma once
// The background under every menu screen, built from "global_bkg" and then "menu_bg". The table
// also lies under a day, showing where the day's picture leaves the screen free; the star of
// "menu_bg" twinkles anywhere on the screen, so it is kept to the menus and stays hidden while the
// gameplay board is on screen.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Menu : public QCDialog {
 public:
  QCBoard_Menu(QCEngine3* app, IXMLDOMNode* uiRoot);

  void Update() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;

  QCEngine3* mGame;
  QCCandyWidget* mStar = nullptr;
};
