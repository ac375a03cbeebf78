#pragma once
// The help book ("help"): pages turned in one after another with the main menu's page flip, a
// previous and a next button and a close button. During play it opens beside the pause menu.

#include <vector>

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Help : public QCDialog {
 public:
  QCBoard_Help(QCEngine3* app, IXMLDOMNode* uiRoot);

  void OnShowHook() override;
  void OnHideHook() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  // Turns the page of that index in (an index outside the pages turns nothing) and sets the buttons.
  void ShowPage(int index);
  void HideAllPages();

  QCEngine3* mGame;
  QCCandyWidget* mPrevBtn = nullptr;
  QCCandyWidget* mNextBtn = nullptr;
  QCCandyWidget* mClose = nullptr;
  // Every control whose name holds "page_", in the order they were built.
  std::vector<QCCandyWidget*> mPages;
  int mCurrentPage = -1;
  bool mTurnBackwards = false;

 private:
  void Close();
};
