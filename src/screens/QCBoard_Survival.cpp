#include "screens/QCBoard_Survival.h"

#include "cafe/QCEngine3.h"

QCBoard_Survival::QCBoard_Survival(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "survival_menu");
}
