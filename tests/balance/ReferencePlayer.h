#pragma once
// The reference player: a career day or survival shift of the running game, loaded on the level
// thread as the career book and the survival screen load it, seeded just before the load, and
// played with clicks through the widget manager, logic updates only and no drawing, until the
// level is over or its game time is used up. The careful player clicks as the serving policy says,
// one click at a time; the greedy one starts every idle worker along with each of its clicks.

#include "balance/GreedyPolicy.h"
#include "support/ServingPolicy.h"

class QCEngine3;

namespace Balance {

struct LevelOutcome {
  int money = 0;
  int goal = 0;
  int expert = 0;
  float seconds = 0.0f;  // game time played
  bool over = false;     // the level ended by its rules within the cap
  int breakdowns = 0;

  double Ratio() const { return goal > 0 ? static_cast<double>(money) / goal : 0.0; }
};

class ReferencePlayer {
 public:
  static constexpr int kCareerMode = 0;
  static constexpr int kSurvivalMode = 1;

  enum class Policy { kCareful, kGreedy };

  explicit ReferencePlayer(QCEngine3& game);

  LevelOutcome Play(int level, int mode, unsigned seed, float capSeconds, Policy policy = Policy::kCareful);
  // What a career player owns after the day: the first upgrade the day offers, taken. The day is
  // loaded for its offer and not played.
  void TakeOffer(int day);

 private:
  void Load(int level, int mode, unsigned seed);

  QCEngine3& mGame;
  TestSupport::ServingPolicy mPolicy;
  GreedyPolicy mGreedy;
};

}  // namespace Balance
