#pragma once
// The upgrade choice ("upgrade_menu"): up to four offers on trays. Choosing a tray previews the
// upgrade on the cafe at once (and takes the previous one back); "upgrade" closes the dialog and
// keeps the chosen one. The board pauses while it is open. Opened by the survival HUD's upgrade
// button and at the end of a career day that earns an upgrade; closing it then finishes the day.

#include <string>
#include <vector>

#include "engine/QCDialog.h"

class QCEngine3;
class QCText;
struct QCUpgradeInfo;

class QCBoard_Upgrade : public QCDialog {
 public:
  static constexpr int kMaxOffers = 4;

  QCBoard_Upgrade(QCEngine3* app, IXMLDOMNode* uiRoot);

  void OnShowHook() override;
  void OnHideHook() override;
  void Activate() override;
  void BindControl(const std::string& name, QCCandyWidget* widget) override;
  void ButtonDepress(int id) override;
  // Previews offer `index`: applies it and shows its picture, text and medal.
  void SelectOffer(int index);

  QCEngine3* mGame;
  QCCandyWidget* mClose = nullptr;
  QCText* mDescription = nullptr;
  QCText* mPhoto = nullptr;
  QCText* mMedal = nullptr;
  QCCandyWidget* mPanel = nullptr;
  std::vector<QCCandyWidget*> mTrayButtons;
  std::vector<QCCandyWidget*> mSelectMarks;
  std::vector<QCCandyWidget*> mTrays;
  QCUpgradeInfo* mCurrentOffer = nullptr;  // not owned
  int mSelectedIndex = 0;
  std::vector<QCUpgradeInfo*> mOffers;  // not owned: the board's records
  int mOfferCount = 0;
  // Between an opening that found offers and its closing.
  bool mOpen = false;
  bool mHoldsPause = false;
  // An opening without offers closes again as soon as the dialog is up.
  bool mCloseAtOnce = false;

 private:
  // Offers that have a tray: the description may hold fewer trays than offers.
  int FilledTrays() const;
  void FillTrays();
  void EndOpening();
};
