#pragma once
// The survival selection ("survival_menu"): the three cafes of survival play on the two pages of
// the book. A cafe is open once the career has reached it (cafe 2 from day 16, cafe 3 from day 36);
// the left page lists the cafes, the right page shows the chosen one with play and cancel.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_Survival : public QCDialog {
 public:
  static constexpr int kCafes = 3;

  QCBoard_Survival(QCEngine3* app, IXMLDOMNode* uiRoot);

  void OnShowHook() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;
  // Lays both pages out for the open cafes and the selected one.
  void RefreshPages();

  QCEngine3* mGame;
  QCCandyWidget* mCancel = nullptr;
  QCCandyWidget* mPlay = nullptr;
  // Entry k - 1 belongs to cafe k.
  QCCandyWidget* mCafeButtons[kCafes] = {};
  QCCandyWidget* mCafeNames[kCafes] = {};
  QCCandyWidget* mCafeHeads[kCafes] = {};
  QCCandyWidget* mCafeDescs[kCafes] = {};
  QCCandyWidget* mCafePhotos[kCafes] = {};
  QCCandyWidget* mCafeSmallPhotos[kCafes] = {};
  QCCandyWidget* mBook = nullptr;
  int mSelectedCafe = 1;

 private:
  void OpenCafe(int cafe);
};
