#include "screens/QCBoard_Menu.h"

#include "cafe/QCEngine3.h"
#include "scene/QCBoard_Game.h"
#include "screens/ScreenServices.h"

QCBoard_Menu::QCBoard_Menu(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "global_bkg");
  LoadFromUi(uiRoot, "menu_bg");
}

void QCBoard_Menu::BindControl(const std::string& name, QCCandyWidget* widget) {
  if (name == "sparkle") mStar = widget;
  QCDialog::BindControl(name, widget);
}

void QCBoard_Menu::Update() {
  const QCBoard_Game* board = GetBoard();
  SetVisibleIf(mStar, board == nullptr || !board->mVisible);
  QCDialog::Update();
}
