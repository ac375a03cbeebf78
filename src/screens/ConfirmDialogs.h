#pragma once
// The game's two shared question dialogs and the backdrop under them, made once at start-up.

#include <string>

class IXMLDOMNode;
class QCBoard_Confirm1;
class QCBoard_Confirm2;
class QCDialog;
class QCEngine3;

namespace Velk {
class WidgetManager;
}

// On the loading thread, before any screen: builds the two dialogs and the backdrop, nothing more.
void CreateConfirmDialogs(QCEngine3* app, IXMLDOMNode* uiRoot);
// On the main thread: the two-button dialog, the one-button dialog and the backdrop join the widget
// manager (below every screen added later), which owns them from then on.
void AddConfirmDialogs(Velk::WidgetManager* manager);
// Asks the question of that id on the two-button dialog: 1 yes, 0 no, 0x7FFFFFFF no answer.
int AskConfirm(const std::string& id);
// Gives the notice of that id on the one-button dialog: 1 answered, 0x7FFFFFFF no answer.
int ShowMessageBox(const std::string& id);

// Deletes those of the three that no widget manager has taken (an application that ends before its
// loading has finished).
void DropConfirmDialogs();

QCBoard_Confirm2* GetConfirm2();
QCBoard_Confirm1* GetConfirm1();
// The full-screen empty dialog laid under every question.
QCDialog* GetConfirmBackdrop();
