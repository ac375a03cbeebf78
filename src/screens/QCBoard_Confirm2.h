#pragma once
// The shared question dialog with yes and no, built from "dialogbox_2button".

#include "screens/QCConfirmDialog.h"

class QCBoard_Confirm2 : public QCConfirmDialog {
 public:
  QCBoard_Confirm2(QCEngine3* app, IXMLDOMNode* uiRoot) : QCConfirmDialog(app, uiRoot, "dialogbox_2button", true) {}
};
