#pragma once
// A customer at a seat ("client_sit_place" + its number): takes over a standing customer's record,
// eats, orders the next product of its record, and leaves when the record is done.

#include "cafe/QCClient.h"

class QCClientSit : public QCClient {
 public:
  ~QCClientSit() override;
  void Reset(bool start) override;
  void Update() override;
  void Activate() override;
  void Deactivate() override;

  static const std::list<QCClientSit*>& FreePool() { return sPool; }

 protected:
  friend class QCClient;
  void EnterOwnState(int state) override;
  const char* PlacePrefix() const override;
  const char* NamePrefix() const override;
  bool IsSeated() const override { return true; }

 private:
  void EatAndWait();
  static std::list<QCClientSit*> sPool;
};
