#include "screens/QCBoard_LoadScreen.h"

#include "cafe/QCEngine3.h"

QCBoard_LoadScreen::QCBoard_LoadScreen(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app) {
  LoadFromUi(uiRoot, "load_screen");
}
