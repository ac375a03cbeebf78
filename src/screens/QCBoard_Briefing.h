#pragma once
// The briefing before a level ("briefing"): the day's goals. The board waits, paused, while it is
// shown; its start button (or hiding it) lets the level run.

#include "engine/QCDialog.h"

class QCBoard_Game;
class QCEngine;

class QCBoard_Briefing : public QCDialog {
 public:
  QCBoard_Briefing(QCBoard_Game* board, QCEngine* app, IXMLDOMNode* uiRoot);
  ~QCBoard_Briefing() override;

  void OnShowHook() override;
  void OnHideHook() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  QCBoard_Game* mBoard;
  QCCandyWidget* mStart = nullptr;
  // One pause per showing, however often Show and Hide are called.
  bool mHoldsPause = false;
};
