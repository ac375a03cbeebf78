#pragma once
// What covers the display while a level loads on its worker thread ("load_screen"); the application
// shows and hides it.

#include "engine/QCDialog.h"

class QCEngine3;

class QCBoard_LoadScreen : public QCDialog {
 public:
  QCBoard_LoadScreen(QCEngine3* app, IXMLDOMNode* uiRoot);
};
