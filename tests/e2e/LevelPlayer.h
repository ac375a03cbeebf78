#pragma once
// A running level played through the window: the serving policy says where a player clicks next,
// and the click goes in at those screen coordinates as a player's does. While it plays it logs
// what a player would notice: each of day 1's notes with the script step that showed it, the goal
// stamp with the money that earned it, each life lost. Day 1's notes are left for the script to
// take away, or clicked away as soon as they are fully up.

#include <functional>
#include <set>
#include <string>

#include "support/ServingPolicy.h"

class QCBoard_Game3;

namespace E2e {

class Playthrough;

class LevelPlayer {
 public:
  LevelPlayer(Playthrough& play, bool clickNotesAway);
  ~LevelPlayer();
  LevelPlayer(const LevelPlayer&) = delete;
  LevelPlayer& operator=(const LevelPlayer&) = delete;

  // Clicks where the policy says until `done`, within `maxUpdates`; a failure naming `what` otherwise.
  void PlayUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what);
  // Clicks nothing (nor any note) until `done`, still watching.
  void IdleUntil(const std::function<bool()>& done, int maxUpdates, const std::string& what);

 private:
  void Run(const std::function<bool()>& done, int maxUpdates, const std::string& what, bool serve);
  // After every update.
  void Watch();
  bool ClickNoteAway();
  int ShowingStep(int note) const;

  Playthrough& play_;
  QCBoard_Game3& board_;
  TestSupport::ServingPolicy policy_;
  bool clickNotesAway_;
  std::set<int> seen_;
  std::set<int> clickedAway_;
  int stepBefore_;
  bool goalSeen_ = false;
  int lives_;
};

}  // namespace E2e
