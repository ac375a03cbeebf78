#include "screens/ScreenServices.h"

#include <cwchar>

#include "cafe/QCEngine3.h"
#include "engine/QCCandyWidget.h"
#include "scene/QCBoard_Game.h"
#include "screens/QCInGameBoard.h"
#include "widgets/Widget.h"

QCEngine3* GetGame() { return dynamic_cast<QCEngine3*>(GetEngine()); }

QCBoard_Game* GetBoard() { return GetCurrentBoard(); }

bool IsLevelRunning() {
  QCBoard_Game* board = GetBoard();
  return board != nullptr && board->mRunning;
}

std::wstring PrefNameText(const QCPrefName& name) { return std::wstring(name, wcsnlen(name, kPrefNameUnits)); }

void BringChainToFront(Velk::Widget* widget) {
  for (Velk::Widget* w = widget; w != nullptr && w->mParent != nullptr; w = dynamic_cast<Velk::Widget*>(w->mParent)) {
    w->mParent->BringToFront(w);
  }
}

void BringToFrontOfParent(Velk::Widget* widget) {
  if (widget != nullptr && widget->mParent != nullptr) widget->mParent->BringToFront(widget);
}

void SetVisibleIf(QCCandyWidget* widget, bool visible) {
  if (widget != nullptr) widget->SetVisible(visible);
}

void SetDisabledIf(Velk::Widget* widget, bool disabled) {
  if (widget != nullptr) widget->SetDisabled(disabled);
}

void ShowIf(QCCandyWidget* widget) {
  if (widget != nullptr) widget->Show();
}

void HideIf(QCCandyWidget* widget) {
  if (widget != nullptr) widget->Hide();
}

QCInGameBoard* GetInGameBoard() { return dynamic_cast<QCInGameBoard*>(GetBoard()); }
