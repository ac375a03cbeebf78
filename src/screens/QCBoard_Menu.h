#pragma once
// The background under every menu screen, built from "global_bkg" and then "menu_bg".

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Menu : public QCDialog {
 public:
  QCBoard_Menu(QCEngine3* app, IXMLDOMNode* uiRoot);

  QCEngine3* mGame;
};
