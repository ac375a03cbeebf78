#pragma once
// The survival selection ("survival_menu"): the three cafes of survival play.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Survival : public QCDialog {
 public:
  QCBoard_Survival(QCEngine3* app, IXMLDOMNode* uiRoot);

  QCEngine3* mGame;
};
