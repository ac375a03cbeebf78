#pragma once
// The upgrade offer ("upgrade"): shown by the board at the end of a career day that earns one, and
// from the survival HUD's upgrade button. Closing it after a career day finishes that day.

#include "engine/QCDialog.h"

class QCBoard_Game3;
class QCEngine;

class QCBoard_Upgrade : public QCDialog {
 public:
  QCBoard_Upgrade(QCBoard_Game3* board, QCEngine* app, IXMLDOMNode* uiRoot);

  // Shown at a day's end: the day is finished when the dialog closes.
  void OfferAtLevelEnd();
  void OnHideHook() override;

  QCBoard_Game3* mBoard;
  bool mFinishOnClose = false;
};
