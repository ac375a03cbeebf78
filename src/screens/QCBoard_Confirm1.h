#pragma once
// The shared question dialog with one button, built from "dialogbox_1button".

#include "screens/QCConfirmDialog.h"

class QCBoard_Confirm1 : public QCConfirmDialog {
 public:
  QCBoard_Confirm1(QCEngine3* app, IXMLDOMNode* uiRoot) : QCConfirmDialog(app, uiRoot, "dialogbox_1button", false) {}
};
