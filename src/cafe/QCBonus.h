#pragma once
// The rush-bonus chain: good actions in quick succession build a chain; at configured lengths a
// stage fires a pop-up at the object acted on and an award to the mini-game. A bad or neutral
// action, or no good action within the rush time-out, ends the chain.

#include <string>
#include <vector>

class IXMLDOMNode;
class QCItem;

struct QCBonusStage {
  int index = 0;   // position in "bonus_stages": the mini-game's award
  int action = 0;  // the chain length at which it fires
  int bonus = 0;   // shown by the pop-up; 0 shows none
  std::wstring text;
};

class QCBonus {
 public:
  enum Event { kBad = 0, kGood = 1 };

  // "bonus_config" of the cfg.xml root: its rush time-out and its stages in file order.
  void Load(IXMLDOMNode* cfgRoot);
  void OnEvent(int kind, QCItem* item);
  // Once per board frame, on the board's frame time (nothing passes while it is paused).
  void Update();
  // Fires the current stage at the item (no pop-up without one).
  void Apply(QCItem* item);

  const std::vector<QCBonusStage>& Stages() const { return mStages; }
  int Count() const { return mCount; }
  // The index of the stage the last good action fired; -1 when it fired none.
  int FiredStage() const { return mCurrent; }
  float Timer() const { return mTimer; }
  float RushTimeout() const { return mRushTimeout; }

 private:
  void Reset();

  std::vector<QCBonusStage> mStages;
  int mCurrent = -1;  // the stage that fired last; -1 none
  int mCount = 0;
  float mTimer = 0.0f;
  float mRushTimeout = 0.0f;
};
