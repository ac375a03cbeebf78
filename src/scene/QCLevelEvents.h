#pragma once
// The board's time line of a level: when the next customer comes, of which kind, and what it
// orders. This block gives the operations the board calls with the behaviour of an empty queue;
// the level's own events and stages are read by the cafe's events.

#include <string>
#include <vector>

class IXMLDOMNode;

struct QCEventRecord {
  int refCount = 0;
  float time = 0.0f;
  std::string type;
  std::string event;
  std::vector<std::string> entries;
};

class QCLevelEvents {
 public:
  static constexpr int kCareer = 1;
  static constexpr int kSurvival = 2;

  virtual ~QCLevelEvents() = default;

  virtual void LoadLevelEvents(IXMLDOMNode* levelNode);
  virtual void Tick(float dt);
  // The record at the cursor once its time has come; null when none is due.
  virtual QCEventRecord* NextDueEvent();
  virtual void TakeEvent();
  virtual bool IsFinished() const;
  virtual float GetProgress() const;
  virtual int GetStageTarget() const;
  virtual void NextStage();
  virtual void Reset();
  virtual void Clear();

  int mKind = 0;  // 1 career, 2 survival, other: no events
};
