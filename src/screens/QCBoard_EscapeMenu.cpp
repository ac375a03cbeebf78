#include "screens/QCBoard_EscapeMenu.h"

#include "cafe/QCEngine3.h"
#include "engine/QCSoundTable.h"
#include "scene/QCBoard_Game.h"
#include "screens/ConfirmDialogs.h"
#include "screens/QCBoard_Help.h"
#include "screens/QCBoard_MainMenu.h"
#include "screens/QCBoard_Options.h"
#include "screens/ScreenServices.h"
#include "ui/QCButton.h"
#include "widgets/WidgetManager.h"

namespace {

constexpr int kEscape = 27;
QCBoard_EscapeMenu* gEscapeMenu = nullptr;

}  // namespace

QCBoard_EscapeMenu* GetEscapeMenu() { return gEscapeMenu; }

QCBoard_EscapeMenu::QCBoard_EscapeMenu(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "escape_menu");
  gEscapeMenu = this;
}

QCBoard_EscapeMenu::~QCBoard_EscapeMenu() {
  if (gEscapeMenu == this) gEscapeMenu = nullptr;
}

void QCBoard_EscapeMenu::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "escape_dlg") {
    mEscapeDlg = widget;
    if (QCCandyWidget* page = widget->FindChild("right_page")) {
      mRestart = page->FindChild("restart");
      mResume = page->FindChild("resume");
      mSettings = page->FindChild("settings");
      mHelp = page->FindChild("help");
      mQuit = page->FindChild("quit");
    }
  }
  QCDialog::BindControl(name, widget);
}

void QCBoard_EscapeMenu::KeyUp(int key) {
  QCDialog::KeyUp(key);
  if (key == kEscape) Hide();
}

void QCBoard_EscapeMenu::OnShowHook() {
  QCBoard_Game* board = GetBoard();
  if (!mHoldsPause && board != nullptr) {
    board->PauseGameSounds();
    mHoldsPause = true;
  }
  PlaySoundByName("window_open");
  mGame->mWidgetManager->SetFocus(this);
}

void QCBoard_EscapeMenu::OnHideHook() {
  QCBoard_Game* board = GetBoard();
  mGame->mWidgetManager->SetFocus(board);
  if (mHoldsPause && board != nullptr) board->ResumeGameSounds();
  mHoldsPause = false;
}

void QCBoard_EscapeMenu::Activate() {
  QCDialog::Activate();
  if (mParent != nullptr) mParent->BringToFront(this);
  // Becoming the modal root takes the focus from the menu itself; the Escape key must reach it.
  if (mGame->mWidgetManager->mFocusWidget == nullptr) mGame->mWidgetManager->SetFocus(this);
}

void QCBoard_EscapeMenu::ButtonDepress(int id) {
  if (QCButton::IsId(id, mRestart)) {
    Restart();
  } else if (QCButton::IsId(id, mResume)) {
    Hide();
  } else if (QCButton::IsId(id, mSettings)) {
    ShowIf(mGame->mOptions);
  } else if (QCButton::IsId(id, mHelp)) {
    OpenHelp();
  } else if (QCButton::IsId(id, mQuit)) {
    QuitToMainMenu();
  }
}

void QCBoard_EscapeMenu::Restart() {
  if (AskConfirm("restlvl") != 1) return;
  Hide();
  if (QCBoard_Game* board = GetBoard()) board->RestartLevel();
}

// The menu and the book move aside for each other.
void QCBoard_EscapeMenu::OpenHelp() {
  SendEffectMessage("onshiftright");
  if (mGame->mHelp == nullptr) return;
  mGame->mHelp->Show();
  mGame->mHelp->SendEffectMessage("onshiftright");
}

void QCBoard_EscapeMenu::QuitToMainMenu() {
  if (AskConfirm("exitmenu") != 1) return;
  Hide();
  QCBoard_Game* board = GetBoard();
  HideIf(board);
  ShowIf(mGame->mMainMenu);
  if (board != nullptr) board->StopLevel();
  StopSoundGroup("game");
}
