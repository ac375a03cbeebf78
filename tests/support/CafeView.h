#pragma once
// What a player sees of a running cafe at one moment, as the serving policy reads it: the objects
// that can be clicked now (and that the first day's notes allow), who stands at each counter and
// table, what the boss holds, the open orders by patience. Each rule of the policy is one question
// answered with the object to click, or null.

#include <string>
#include <vector>

class QCBoard_Game3;
class QCBoss;
class QCClient;
class QCPickItem;
class QCWorker;

namespace TestSupport {

class CafeView {
 public:
  CafeView(QCBoard_Game3& board, QCBoss& boss);

  // Some object is shown but locked by the notes: the first one they allow.
  QCPickItem* NoteTarget() const;
  QCPickItem* Serve() const;
  QCPickItem* UseCloth() const;
  QCPickItem* FetchClothForBroken() const;
  QCPickItem* TakeOrder() const;
  QCPickItem* Fetch() const;
  QCPickItem* StartWorker() const;
  QCPickItem* FetchClothForDirty() const;
  QCPickItem* ThrowAway() const;

 private:
  struct Place {
    QCPickItem* pick;
    QCClient* client;
  };
  struct Table {
    QCPickItem* pick;
    QCWorker* worker;
  };
  struct Need {
    std::string part;
    bool waits;  // another part must be in a hand first
  };
  struct Source {
    QCPickItem* pick;
    std::string product;
  };

  void Add(QCBoard_Game3& board, QCPickItem* pick);
  // The products still missing for the orders that no hand serves, lowest patience first.
  std::vector<Need> Missing() const;
  // The products a worker or source makes that together fill the order.
  std::vector<std::string> PartsOf(const std::string& order) const;
  bool Needed(const std::string& held) const;
  // Whether the held dish can grow into the order.
  bool Completable(const std::string& held, const std::string& order) const;
  bool HandFree() const;
  bool AnyBroken() const;
  QCPickItem* FetchCloth() const;
  const Source* FindSource(const std::string& product) const;
  const Table* ReadyTable(const std::string& product) const;

  QCBoss& mBoss;
  bool mLocked = false;
  std::vector<QCPickItem*> mAllowed;
  std::vector<Place> mPlaces;  // waiting guests, least patience first
  std::vector<Table> mTables;
  std::vector<Source> mSources;
  QCPickItem* mWashStand = nullptr;
  QCPickItem* mTrash = nullptr;
};

}  // namespace TestSupport
