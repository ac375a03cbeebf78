#pragma once
// The two hi-score tables ("hiscores") on the pages of the book: career on the left, survival on the
// right, the current player's rows enabled and the others disabled.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_HiScores : public QCDialog {
 public:
  QCBoard_HiScores(QCEngine3* app, IXMLDOMNode* uiRoot);

  void OnShowHook() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;

  QCCandyWidget* mClose = nullptr;
  QCCandyWidget* mRightPage = nullptr;
  QCCandyWidget* mLeftPage = nullptr;
  QCCandyWidget* mHiscoresDlg = nullptr;

 private:
  void FillTable(QCCandyWidget* page, char table, bool survival);

  QCEngine3* mGame;
};
