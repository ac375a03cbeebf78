#pragma once
// A customer: arrives at a counter place with an event record of orders, takes one order at a time
// after a moment's thought, waits with draining patience for the boss to bring it, pays by its
// patience, may sit down to eat, and leaves. Patience running out makes it leave at a loss; low
// patience can end in a scandal that upsets every other customer.
//
// Standing and seated customers are made once per level and reused from free pools; the active
// ones form one list (what the product checks and the level's end ask).

#include <list>
#include <string>

#include "cafe/QIStatSrc.h"
#include "engine/QCDeadline.h"
#include "scene/QCItem.h"

struct ClientConfig;
struct QCEventRecord;
class QCItemPart;

class QCClient : public QCItem, public QIStatSrc {
 public:
  enum State { kAway = 0, kWaiting = 1, kBusy = 2, kToSeat = 3 };
  enum NextEntry { kNoEntry = 0, kProductEntry = 1, kSitEntry = 2 };

  ~QCClient() override;

  void SetVisible(bool visible) override;
  void Reset(bool start) override;
  void StartTimedState(const std::string& name) override;
  void SetSelected(uint32_t point, bool on) override;
  void LoadFromXml(IXMLDOMNode* node) override;
  void ClearParts() override;
  bool Interact(QCItem* other, bool test, int* context) override;
  bool IsBusy() const override { return mState == kBusy; }

  // QIStatSrc
  bool IsStatActive() const override { return mState != kAway; }
  bool IsStatBusy() const override { return IsBusy(); }
  bool GetValue(float* out) const override;
  bool GetBubbleText(std::string* out) const override;
  bool GetBubbleStyle(std::string* out) const override;

  void SetState(int state);
  virtual void Activate();
  virtual void Deactivate();
  bool Accept(const std::string& first, const std::string& second) const;
  void AddPatience(float delta);
  bool IsDeciding() const { return mState == kBusy; }

  static bool AnyActive() { return !sActive.empty(); }
  static const std::list<QCClient*>& ActiveClients() { return sActive; }
  // Mode 1: every customer in play gains the amount; mode 2: loses it.
  static void ChangeAllPatience(int mode, float amount);
  static bool SpawnStandingCustomer(QCEventRecord* record, size_t cursor, float patience);
  static bool SpawnSeatedCustomer(QCEventRecord* record, size_t cursor, float patience);

  int mState = kAway;
  ClientConfig* mConfig = nullptr;
  QCEventRecord* mRecord = nullptr;
  size_t mCursor = 0;
  QCItem* mPlace = nullptr;
  QCItemPart* mMoneyPart = nullptr;
  bool mPatient = true;
  float mPatience = 100.0f;
  QCDeadline mPhase;
  QCDeadline mScandal;
  QCDeadline mScandalBubble;
  QCDeadline mBonus;

 protected:
  // The class's own step of a state change, before the shared one.
  virtual void EnterOwnState(int state) = 0;
  virtual const char* PlacePrefix() const = 0;
  virtual const char* NamePrefix() const = 0;
  virtual bool IsSeated() const = 0;
  // The base update: patience, scandal, leaving at a loss.
  void UpdatePatience();
  void Attach(QCEventRecord* record, size_t cursor, float patience);
  void Leave();
  void Arrive();
  int NextOrderEntry(bool peek);
  void PlayMood();
  void Pay();
  void ReleaseRecord();
  void LeaveActiveList();

  static std::list<QCClient*> sActive;

 private:
  void EnterSharedState(int state);
  void FindPlace();
};
