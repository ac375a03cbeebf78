#pragma once
// The trash bin: it animates when the boss throws a product away (what goes is the boss's choice).

#include "scene/QCPickItem.h"

class QCTrash : public QCPickItem {
 public:
  void Reset(bool start) override;
  void StartTimedState(const std::string& name) override;
  bool Interact(QCItem* other, bool test, int* context) override;

  int mState = 0;  // 0 idle, 1 active
};
