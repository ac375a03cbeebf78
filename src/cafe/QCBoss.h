#pragma once
// The boss, whom the player steers: each click queues an object; he walks there and does what the
// object's kind calls for - takes a product from its source, throws one away, sets a worker to work
// or takes its product (merging two on one plate when a customer wants the combination), cleans a
// broken workplace, serves a customer. He carries up to two products, one per hand. Every action
// tells the rush-bonus chain whether it was a good move.

#include <string>

#include "scene/QCMoveItem.h"

struct PersConfig;
struct QCSoundChannel;
class QCItemPart;

class QCBoss : public QCMoveItem {
 public:
  enum Motion { kStanding = 0, kWalking = 1 };
  enum DelayCode { kArrived = 3, kWashed = 4 };

  QCBoss();
  ~QCBoss() override;

  void Reset(bool start) override;
  void OnDelayDone(uint32_t code) override;
  void ReleaseImages() override;
  void Update() override;
  bool Interact(QCItem* other, bool test, int* context) override;
  void BindCharacter() override;
  void PerFrame() override { UpdateHeldItems(); }
  float GetMoveSpeed() const override;

  void SetMotion(int motion);
  void UpdateHeldItems();
  // Whether a hand can take the product by the rules of a worker's table.
  bool CanTake(const std::string& product) const;

  int mMotion = kStanding;
  bool mWalking = false;
  std::string mSecond;        // the second hand; the first is mMask
  QCItemPart* mHeld[4] = {};  // plate and product of the first hand, then of the second
  QCItemPart* mBossPart = nullptr;
  QCSoundChannel* mSteps = nullptr;
  PersConfig* mConfig = nullptr;

 private:
  bool TakeFromSource(QCItem* target, bool test);
  bool TakeWash(QCItem* target, bool test);
  bool ThrowAway(QCItem* target, bool test);
  bool UseTable(QCItem* target, bool test);
  bool ServeClient(QCItem* target, bool test);
  bool TakeProduct(QCItem* worker, const std::string& product);
  std::string IdleAnim() const;
  std::string WalkAnim() const;
  void ShowHand(int hand, const std::string& mask);

  // What the test pass saw, for the doing pass after the target has acted.
  int mWashedWorkerState = -1;
  bool mClientWasThere = false;
  bool mMissingLogged = false;
};
