#include "screens/QCBoard_Help.h"

#include "cafe/QCEngine3.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "screens/QCBoard_EscapeMenu.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "widgets/WidgetManager.h"

QCBoard_Help::QCBoard_Help(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "help");
}

void QCBoard_Help::BindControl(const std::string& name, QCCandyWidget* widget) {
  QCDialog::BindControl(name, widget);
  if (name == "prev_btn") {
    mPrevBtn = widget;
  } else if (name == "next_btn") {
    mNextBtn = widget;
  } else if (name == "close") {
    mClose = widget;
  } else if (name.find("page_") != std::string::npos) {
    mPages.push_back(widget);
  }
}

void QCBoard_Help::HideAllPages() {
  for (QCCandyWidget* page : mPages) page->SetVisible(false);
}

// The end buttons are disabled at the ends; an index past the end (only reachable without pages)
// disables both.
void QCBoard_Help::ShowPage(int index) {
  mCurrentPage = index;
  const int count = static_cast<int>(mPages.size());
  if (index >= 0 && index < count && mGame->mMainMenu != nullptr) {
    mGame->mMainMenu->FlipPage(mPages[index], mTurnBackwards, kFlipToHelp);
  }
  for (QCCandyWidget* button : {mPrevBtn, mNextBtn, mClose}) {
    if (button != nullptr) BringToFront(button);
  }
  SetDisabledIf(mPrevBtn, false);
  SetDisabledIf(mNextBtn, false);
  if (mCurrentPage == 0) SetDisabledIf(mPrevBtn, true);
  if (mCurrentPage == count - 1) SetDisabledIf(mNextBtn, true);
  if (mCurrentPage < 0 || mCurrentPage > count) {
    SetDisabledIf(mPrevBtn, true);
    SetDisabledIf(mNextBtn, true);
  }
}

void QCBoard_Help::OnShowHook() {
  mGame->mWidgetManager->BringToFront(this);
  mGame->mWidgetManager->SetFocus(this);
  mTurnBackwards = false;
  ShowPage(0);
  PlaySoundByName("window_open");
}

void QCBoard_Help::OnHideHook() { mGame->mWidgetManager->SetFocus(GetBoard()); }

void QCBoard_Help::ButtonDepress(int id) {
  if (QCButton::IsId(id, mClose)) {
    Close();
  } else if (QCButton::IsId(id, mPrevBtn)) {
    mTurnBackwards = true;
    ShowPage(mCurrentPage - 1);
  } else if (QCButton::IsId(id, mNextBtn)) {
    mTurnBackwards = false;
    ShowPage(mCurrentPage + 1);
  }
}

// The turn back hides the book at its end; no Hide here.
void QCBoard_Help::Close() {
  QCBoard_MainMenu* menu = mGame->mMainMenu;
  if (!IsLevelRunning()) {
    if (menu != nullptr) menu->FlipPage(nullptr, true, kFlipToNone);
    return;
  }
  QCBoard_EscapeMenu* pause = GetEscapeMenu();
  if (menu != nullptr && pause != nullptr) menu->FlipPage(pause->mEscapeDlg, true, kFlipToNone);
  SendEffectMessage("onshiftleft");
  if (pause != nullptr) pause->SendEffectMessage("onshiftleft");
}
