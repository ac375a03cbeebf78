#include "screens/QCBoard_Upgrade.h"

#include "cafe/QCBoard_Game3.h"

QCBoard_Upgrade::QCBoard_Upgrade(QCBoard_Game3* board, QCEngine* app, IXMLDOMNode* uiRoot)
    : QCDialog(board, app), mBoard(board) {
  LoadFromUi(uiRoot, "upgrade");
  SetVisible(false);
}

void QCBoard_Upgrade::OfferAtLevelEnd() {
  mFinishOnClose = true;
  Show();
}

void QCBoard_Upgrade::OnHideHook() {
  if (!mFinishOnClose) return;
  mFinishOnClose = false;
  mBoard->FinishLevel();
}
