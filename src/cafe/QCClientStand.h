#pragma once
// A customer at a counter place ("client_place" + its number): thinks, orders, waits, pays, and
// walks off or goes to a seat. After it leaves, its place rests for the level's client pause.

#include "cafe/QCClient.h"

class QCClientStand : public QCClient {
 public:
  ~QCClientStand() override;
  void Reset(bool start) override;
  void Update() override;
  void Activate() override;
  void Deactivate() override;

  static QCClientStand* FirstFree();
  static const std::list<QCClientStand*>& FreePool() { return sPool; }

  QCItemPart* mBar = nullptr;
  QCDeadline mCoolDown;

 protected:
  void EnterOwnState(int state) override;
  const char* PlacePrefix() const override;
  const char* NamePrefix() const override;
  bool IsSeated() const override { return false; }

 private:
  static std::list<QCClientStand*> sPool;
};
