#pragma once
// The briefing over the gameplay board when a level starts ("briefing_dialog"): the level's
// picture, its briefing text and the labels of the goal, the expert goal and the ready prompt. It is
// modal while shown and keeps the game paused until its start button closes it.

#include <string>

#include "engine/QCDialog.h"

class QCEngine3;
class QCText;

namespace Velk {
class WidgetManager;
}

class QCBoard_Briefing : public QCDialog {
 public:
  QCBoard_Briefing(QCEngine3* app, IXMLDOMNode* uiRoot);

  void OnShowHook() override;
  void OnHideHook() override;
  void Activate() override;
  void Deactivate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  QCEngine3* mGame;
  QCText* mGoalLabel = nullptr;
  QCText* mExpertLabel = nullptr;
  QCText* mReadyLabel = nullptr;
  std::string mPictureName;  // the texture last given to the picture
  QCCandyWidget* mStart = nullptr;
  // One pause per opening and one resume per closing, however often Show and Hide are called.
  bool mHoldsPause = false;

 private:
  void FillTexts(int level, bool survival);
  void ShowPicture();
  void PublishCafeAndDay(int level);
  Velk::WidgetManager* WidgetManagerOfGame() const;
};
