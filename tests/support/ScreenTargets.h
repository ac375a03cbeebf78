#pragma once
// Where a player clicks to reach something on the screen: a point that the board's own hover and
// click logic gives to that scene object, or the middle of a tray token, found by hit-testing what
// is there now. A point is only given when the widget under it is the one meant, so nothing
// covering the cafe (a note, a dialog, a dimmed background) is clicked through.

#include <optional>

#include "platform/base/WinTypes.h"

class QCBoard_Game3;
class QCCandyWidget;
class QCEngine3;
class QCPickItem;

namespace TestSupport {

class ScreenTargets {
 public:
  explicit ScreenTargets(QCEngine3& game) : mGame(game) {}

  // Screen coordinates of a point that clicks the object, the one nearest its middle.
  std::optional<POINT> PointOf(QCPickItem* item) const;
  // Screen coordinates of the middle of a widget, when a click there reaches it.
  std::optional<POINT> PointOf(QCCandyWidget* widget) const;
  // A press and release at a screen point, as the window delivers them (no drawing).
  void Click(POINT at) const;

 private:
  // The object the board hands a click at that scene point to.
  static QCPickItem* PickedAt(int x, int y);
  bool ReachesBoard(POINT screen) const;

  QCEngine3& mGame;
};

}  // namespace TestSupport
