#pragma once
// The first career day's script. Each step waits for a game event or for the previous step's delay,
// then shows and hides numbered help panels, holds back or releases kinds of game activity, locks or
// unlocks objects for the player's clicks, may click an object itself and feeds prepared elements to
// the mini-game. The board asks it before letting activity happen; the characters report events.
// Without a script every question is answered yes.

#include <set>
#include <string>

#include "engine/QCDeadline.h"

class QCBoard_Game;
class QCMiniGame;
class QCTutorialHud;

class QCTutorial {
 public:
  // Events reported to OnEvent.
  enum Event {
    kTimer = 0,
    kClientArrived = 1,
    kObjectClicked = 2,  // the player clicked and the boss took the action
    kClientPaid = 3,
    kClientReady = 4,
    kTrayUsed = 5,
    kRewardApplied = 6,
    kWorkerStarted = 7,
    kWorkerIdle = 8,
  };
  // Activities asked about through IsActionAllowed.
  enum Action {
    kPatienceFalls = 1,
    kIdleWorker = 2,
    kWorkingWorker = 3,
    kWorkTimer = 4,
    kClientsArrive = 5,
    kRushAwards = 6,
  };

  static constexpr int kKindSlots = 4;
  static constexpr int kNameSlots = 16;

  struct Step {
    int wait = 0;        // the event that runs it; 0: the previous step's delay has passed
    float delay = 0.0f;  // seconds, started when it runs
    int showPanel = 0;
    int hidePanel = 0;
    int hold[kKindSlots] = {};
    int release[kKindSlots] = {};
    const char* lock[kNameSlots] = {};
    const char* unlock[kNameSlots] = {};
    const char* click = nullptr;
    int awards = 0;  // prepared elements handed to the mini-game
    unsigned char tutorBackground = 0;
    int enableElement = 0;  // a position on the mini-game's tray; 0 none
  };

  struct Script {
    int day;
    const Step* steps;
    int stepCount;
    const int* awardElements;
    const unsigned char* awardFlags;
    int awardCount;
  };

  // The board makes it with its HUD after the mini-game; none of them is owned.
  QCTutorial(QCTutorialHud* hud, QCBoard_Game* board, QCMiniGame* miniGame);
  virtual ~QCTutorial() = default;

  // Career level start: the day's script, when there is one, runs its first step at once.
  void StartForDay(int day);
  // The level stopped: the script ends wherever it was.
  void Reset();
  void OnEvent(int id);
  // Once per frame.
  void Update();
  bool IsActionAllowed(int kind) const;
  bool IsObjectAllowed(const std::string& name) const;
  // The next prepared mini-game element and its flag; -1 when none is left or no script runs.
  int NextScriptedAward(bool& flag);

  bool IsRunning() const { return mSteps != nullptr; }
  int CurrentStep() const { return mCurrent; }

 protected:
  // The script's own click goes through the board as the player's would.
  virtual void ClickObject(const std::string& name);

 private:
  void RunStep(const Step& step);
  void GiveScriptedAwards(int count);

  QCTutorialHud* mHud;
  QCBoard_Game* mBoard;
  QCMiniGame* mMiniGame;
  const Step* mSteps = nullptr;
  int mStepCount = 0;
  int mCurrent = 0;
  const int* mAwardElements = nullptr;
  const unsigned char* mAwardFlags = nullptr;
  int mAwardCursor = 0;
  int mAwardCount = 0;
  QCDeadline mStepTimer;
  std::set<int> mHeld;
  std::set<std::string> mLocked;
  int mLastShownPanel = 0;  // of the step that ran last
};

// The compiled scripts and their number.
extern const QCTutorial::Script kTutorialScripts[];
extern const int kTutorialScriptCount;
