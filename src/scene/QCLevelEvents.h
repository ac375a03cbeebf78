#pragma once
// The board's time line of a level: when the next customer comes, of which kind, and what it
// orders. A career day (kind 1) plays the level file's queue of time points in file order. A
// survival shift (kind 2) draws each arrival from the weighted templates of the current money stage
// and keeps exactly one drawn record waiting; the stage advances when the board's money reaches its
// target, and past the last stage the targets go on rising by the last step.
//
// Records are shared with the customers they spawn. Ownership: a record in the queue belongs to the
// queue (a career queue is played again on a restart, so its records are never cleared); a record
// that has left the queue belongs to the customers holding it, and the last release puts it,
// cleared, into the pool that the survival draws take their records from.

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

class IXMLDOMNode;

struct QCEventRecord {
  int refCount = 0;
  float time = 0.0f;
  std::string type;
  std::string event;
  std::vector<std::string> entries;  // product masks and "sit"
  bool queued = false;               // owned by a queue
};

// A customer takes a share of the record; the last release of a record outside every queue returns
// it to the pool.
void AttachEventRecord(QCEventRecord* record);
void ReleaseEventRecord(QCEventRecord* record);
// Records ever allocated and not yet freed (tests watch the pool's reuse with it).
int LiveEventRecordCount();

struct QCOrder {
  float prob = 0.0f;
  std::string name;
};

struct QCOrderList {
  float prob = 0.0f;
  float sum = 0.0f;
  std::vector<QCOrder> orders;
};

struct QCOrderPart {
  float prob = 0.0f;
  float sum = 0.0f;
  std::vector<QCOrderList> lists;
};

struct QCOrderTemplate {
  std::string name;
  QCOrderPart stand;
  QCOrderPart sit;
};

struct QCEventTemplate {
  float prob = 0.0f;
  std::string type;
  std::string event;
  float timeMin = 0.0f;
  float timeMax = 0.0f;
  const QCOrderTemplate* orders = nullptr;  // null: customers without orders
};

struct QCEventStage {
  int points = 0;
  float sum = 0.0f;
  std::vector<QCEventTemplate> templates;
};

class QCLevelEvents {
 public:
  static constexpr int kCareer = 1;
  static constexpr int kSurvival = 2;

  QCLevelEvents() = default;
  virtual ~QCLevelEvents();
  QCLevelEvents(const QCLevelEvents&) = delete;
  QCLevelEvents& operator=(const QCLevelEvents&) = delete;

  // Reads by the kind set before: the scripted queue, the stages, or nothing.
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

  // Fills a cleared record from a stage: its template's kind and delay, then its orders.
  static void DrawRecord(const QCEventStage& stage, QCEventRecord& record);

  int mKind = 0;  // 1 career, 2 survival, other: no events
  std::list<QCEventRecord*> mQueue;
  std::list<QCEventRecord*>::iterator mCursor = mQueue.end();
  int mTaken = 0;
  float mClock = 0.0f;
  std::vector<QCEventStage> mStages;
  size_t mStageCursor = 0;
  int mPrevTarget = 0;
  int mTarget = 0;
  std::map<std::string, std::unique_ptr<QCOrderTemplate>> mTemplates;

 private:
  void ReadQueue(IXMLDOMNode* queueNode);
  void ReadStages(IXMLDOMNode* queueNode);
  void ReadStageTemplate(IXMLDOMNode* item, QCEventStage& stage);
  void FirstStage();
  void DrawNext();
  void DropQueue();
};
