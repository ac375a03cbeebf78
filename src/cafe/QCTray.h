#pragma once
// A tray-class object (a product's source, the wash stand, a tray): its click only tells the
// tutorial; what the boss takes from it is his choice by its name and "thing".

#include "scene/QCPickItem.h"

class QCTray : public QCPickItem {
 public:
  void Reset(bool start) override;
  void StartTimedState(const std::string& name) override;
  void LoadFromXml(IXMLDOMNode* node) override;
  bool Interact(QCItem* other, bool test, int* context) override;

  int mState = 0;  // 0 idle, 1 active
};

// Back to "idle" when any animation of a bin or tray ends.
void RestAfterAnimation(QCItem* item, int& state);
