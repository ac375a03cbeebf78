#pragma once
// A timed pick-up ("period_item"): after a random wait it becomes available, the boss takes its
// product once, and it hides and waits again. Its product is the scene's "thing"; its waits come
// from the settings record named like the object.

#include "engine/QCDeadline.h"
#include "scene/QCPickItem.h"

struct PeriodItemConfig;

class QCPeriodItem : public QCPickItem {
 public:
  enum State { kWaiting = 0, kAvailable = 1 };

  void Reset(bool start) override;
  void StartTimedState(const std::string& name) override;
  void LoadFromXml(IXMLDOMNode* node) override;
  void Update() override;
  bool Interact(QCItem* other, bool test, int* context) override;

  void SetState(int state);

  PeriodItemConfig* mConfig = nullptr;
  QCDeadline mWait;
  int mState = kWaiting;

 private:
  void DrawWait();
};
