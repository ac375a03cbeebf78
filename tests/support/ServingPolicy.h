#pragma once
// A greedy player of a running cafe level: after every logic update it says where to click next,
// if anywhere. It looks only at what a player sees (the objects that can be clicked now, the tray's
// enabled tokens) and reaches them by hit-testing (ScreenTargets), so the same decisions work when
// its clicks go in process and when they go through the window.
//
// Its rules, in order: serve the waiting guest of least patience whose dish is in a hand; use the
// wash cloth on a broken (else the dirtiest) workplace; fetch the cloth for a broken workplace;
// throw away the dish on top when nobody wants it; take orders; take from a table or source what
// an order needs; start a worker for an open order; clean a dirty workplace. A tray token
// whose removal brings three alike together is clicked whenever it is there. While the first day's
// notes lock objects, it clicks what the notes unlock. It reacts 300 ms after the boss is free,
// and clicks at most every 300 ms.

#include <optional>
#include <string>

#include "platform/base/WinTypes.h"
#include "support/ScreenTargets.h"

class QCBoard_Game3;
class QCEngine3;
class QCPickItem;

namespace TestSupport {

class CafeView;

class ServingPolicy {
 public:
  static constexpr float kReaction = 0.3f;

  explicit ServingPolicy(QCEngine3& game) : mGame(game), mTargets(game) {}

  // Once after every logic update of a running level: the screen point to click now, if any.
  std::optional<POINT> NextClick();
  // A new level: nothing seen yet.
  void Reset();
  const ScreenTargets& Targets() const { return mTargets; }
  // The boss stands still with no click waiting for him.
  static bool BossFree(const QCBoard_Game3& board);

 private:
  std::optional<POINT> TrayClick() const;
  // The first rule that names an object a click can reach.
  std::optional<POINT> BoardClick(const CafeView& view) const;
  std::optional<POINT> Clicked(std::optional<POINT> at, float now);

  QCEngine3& mGame;
  ScreenTargets mTargets;
  float mBusyUntil = 0.0f;   // play time from which the boss has been free
  float mLastClick = -1.0f;  // play time of the last click
};

}  // namespace TestSupport
