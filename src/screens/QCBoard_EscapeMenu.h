#pragma once
// The pause menu ("escape_menu"): while it is open the level is paused. Resume, restart and quit
// (both asked first), the settings and the help book beside it.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_EscapeMenu : public QCDialog {
 public:
  QCBoard_EscapeMenu(QCEngine3* app, IXMLDOMNode* uiRoot);
  ~QCBoard_EscapeMenu() override;

  void KeyUp(int key) override;
  void OnShowHook() override;
  void OnHideHook() override;
  void Activate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  QCEngine3* mGame;
  QCCandyWidget* mRestart = nullptr;
  QCCandyWidget* mResume = nullptr;
  QCCandyWidget* mSettings = nullptr;
  QCCandyWidget* mHelp = nullptr;
  QCCandyWidget* mQuit = nullptr;
  // The page the help book turns back to when it closes during play.
  QCCandyWidget* mEscapeDlg = nullptr;
  // One pause per opening and one resume per closing, however often Show and Hide are called.
  bool mHoldsPause = false;

 private:
  void Restart();
  void OpenHelp();
  void QuitToMainMenu();
};

// The pause menu while one exists (the gameplay board makes it); null otherwise.
QCBoard_EscapeMenu* GetEscapeMenu();
