#pragma once
// A running level played through the window: the serving policy says where a player clicks next,
// and the click goes in at those screen coordinates as a player's does. While it plays it logs
// what a player would notice: each of day 1's notes with the script step that showed it, the goal
// stamp with the money that earned it, each life lost. Day 1's notes are left for the script to
// take away, clicked away as soon as they take a click, or clicked through the X server a given
// time after each starts to show, looking then at what the click does.

#include <functional>
#include <map>
#include <set>
#include <string>

#include "support/ServingPolicy.h"

class QCBoard_Game3;
class QCCandyWidget;

namespace E2e {

class Playthrough;

class LevelPlayer {
 public:
  LevelPlayer(Playthrough& play, bool clickNotesAway);
  // Each note clicked away through the X server `clickMs` after it starts to show, at the middle of
  // where it is drawn then (and, with `secondClickMs`, clicked there again that much later): it
  // goes (one clicked before it takes clicks stays, and goes on a click once it does), no other
  // note goes with it, and the note that the script shows at once in answer comes, is fully in
  // 0.4 s later and stays for 3 s.
  LevelPlayer(Playthrough& play, int clickMs, int secondClickMs);
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
  bool ClickNoteAtItsMoment();
  // Clicks the note `upMs` after it began to show.
  void ClickNote(int number, int upMs);
  void ExpectAnswer(int answer, const std::string& after);
  int ShowingStep(int note) const;
  QCCandyWidget* NoteOf(int number) const;
  bool HiddenByScript(int note, int since) const;

  Playthrough& play_;
  QCBoard_Game3& board_;
  TestSupport::ServingPolicy policy_;
  bool clickNotesAway_;
  int clickMs_ = -1;
  int secondClickMs_ = 0;
  std::map<int, unsigned> shownAt_;  // the update in which each note began to show
  std::set<int> seen_;
  std::set<int> clickedAway_;
  int stepBefore_;
  bool goalSeen_ = false;
  int lives_;
};

}  // namespace E2e
