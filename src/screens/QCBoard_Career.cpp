#include "screens/QCBoard_Career.h"

#include "cafe/QCEngine3.h"

QCBoard_Career::QCBoard_Career(QCEngine3* app, IXMLDOMNode* uiRoot) : QCDialog(nullptr, app), mGame(app) {
  LoadFromUi(uiRoot, "career_menu");
}

void QCBoard_Career::ShowCafePage(bool) {}

void QCBoard_Career::ShowCafeTabs() {}

void QCBoard_Career::OnLevelEnd(int, int, int) {}
