#pragma once
// The greedy player: the serving policy's clicks, and with each one made while the boss stands
// free, a click on every idle worker's table as well, so that all the workers start at once
// whether or not an order waits for their dish. The boss walks the queued clicks in turn.

#include <vector>

#include "platform/base/WinTypes.h"
#include "support/ServingPolicy.h"

class QCEngine3;

namespace Balance {

class GreedyPolicy {
 public:
  explicit GreedyPolicy(QCEngine3& game) : mGame(game), mServing(game) {}

  // Once after every logic update of a running level: the screen points to click now, in order.
  std::vector<POINT> NextClicks();
  void Reset() { mServing.Reset(); }
  const TestSupport::ScreenTargets& Targets() const { return mServing.Targets(); }

 private:
  // The tables whose worker stands idle and that a click can reach now.
  std::vector<POINT> IdleTables() const;

  QCEngine3& mGame;
  TestSupport::ServingPolicy mServing;
};

}  // namespace Balance
