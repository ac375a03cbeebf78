#pragma once
// What the game's screens share: the way to the application and the gameplay board, and null-safe
// steps on controls that the UI description may lack.

#include <string>

#include "cafe/QCPrefRecords.h"

class QCBoard_Game;
class QCCandyWidget;
class QCEngine3;

namespace Velk {
class Widget;
}

// The cafe's application; null while another application (or none) runs.
QCEngine3* GetGame();
// The gameplay board, null when there is none.
QCBoard_Game* GetBoard();
// True while a level is being played.
bool IsLevelRunning();
// A stored name up to its first NUL (at most the whole field).
std::wstring PrefNameText(const QCPrefName& name);
// The widget in front of its siblings, and each of its containers in front of theirs, up to the top.
void BringChainToFront(Velk::Widget* widget);
// The sibling in front of the others of its container; nothing without one.
void BringToFrontOfParent(Velk::Widget* widget);

// Steps that a missing control skips.
void SetVisibleIf(QCCandyWidget* widget, bool visible);
void SetDisabledIf(Velk::Widget* widget, bool disabled);
void ShowIf(QCCandyWidget* widget);
void HideIf(QCCandyWidget* widget);
