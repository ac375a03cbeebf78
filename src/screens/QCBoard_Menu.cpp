#include "screens/QCBoard_Menu.h"

#include "cafe/QCEngine3.h"

QCBoard_Menu::QCBoard_Menu(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "global_bkg");
  LoadFromUi(uiRoot, "menu_bg");
}
