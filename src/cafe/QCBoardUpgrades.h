#pragma once
// The gameplay board's upgrades: the two lists of cfg.xml, the flag block that records what is
// applied (the profile's bytes in career, so purchases persist; the shift's own bytes in survival),
// the survival stages that queue offers, the offer page and buying. The board derives from it and
// answers the questions at the bottom about itself.
//
// Flag slots: 0..5 tidiness of worker 1..6, 6..11 speed of worker 1..6, 12 boss speed, 13 coin
// money, then five visual objects per cafe 1..3 (14..28). A record that maps to no slot in 0..28 is
// never offered nor applied, so no byte outside the block is ever written.

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "cafe/QCUpgradeInfo.h"

class IXMLDOMNode;
class QCIUpgrade;
struct WorkerConfig;

class QCBoardUpgrades {
 public:
  static constexpr int kSlots = 29;
  static constexpr int kMaxOffers = 4;
  static constexpr int kWorkerSlots = 6;

  // Replaces both lists from the cfg root, in file order.
  void LoadUpgrades(IXMLDOMNode* cfgRoot);
  void ClearUpgrades();
  // Survival: the stages that queue an upgrade kind; career: the kind the level offers. Then the
  // bought upgrades are put back on the new scene.
  void LoadStages(IXMLDOMNode* levelNode);
  // At a survival start: nothing taken, nothing queued, the first stage next.
  void StartSurvivalUpgrades();
  // Computes the record's slot (and a worker's handler) and answers its flag byte.
  uint8_t ResolveUpgradeFlag(QCUpgradeInfo& record);
  uint8_t IsUpgradeApplied(const std::string& object, const std::string& name);
  void ReapplyUpgrades();
  void ApplyUpgrade(QCUpgradeInfo& record, bool on);
  // At most four records of the offered kind, not yet applied and offered in this cafe.
  int CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out);
  // A survival stage was reached on that day: the stage at the cursor queues its kind when it
  // belongs to the day. At most one stage per call.
  void AdvanceUpgradeStage(int survivalDay);

  std::vector<QCUpgradeInfo> mFunctionalUpgrades;
  std::vector<QCUpgradeInfo> mVisualUpgrades;
  std::vector<std::pair<int, int>> mUpgradeStages;  // survival day, kind
  size_t mUpgradeStageCursor = 0;
  std::deque<int> mUpgradeQueue;
  int mOfferedUpgradeKind = 0;  // 0 none, 1 functional, 2 visual
  uint8_t mSurvivalUpgrades[kSlots] = {};

 protected:
  ~QCBoardUpgrades() = default;

  virtual bool IsSurvivalLevel() const = 0;
  // Career: the cafe 1..3 of the day; survival: the level.
  virtual int GetCafe() const = 0;
  // The current profile's upgrade bytes (at least 29); null when there is no profile.
  virtual uint8_t* ProfileUpgradeBlock() = 0;
  virtual void ShowUpgradeButton(bool show) = 0;
  // The scene object of the worker of that kind in this level, or null.
  virtual QCIUpgrade* WorkerUpgradeHandler(WorkerConfig* config) = 0;
  virtual const std::string& UpgradeSkinName() const = 0;
  virtual const std::string& DefaultSkinName() const = 0;

 private:
  uint8_t* FlagBlock();
  int FunctionalSlot(QCUpgradeInfo& record);
  bool OfferedHere(const QCUpgradeInfo& record) const;
  void SkinObjects(const QCUpgradeInfo& record, const std::string& skin, const char* event);
};

// The slot of a visual upgrade of that object first offered in cafe `minLevel`; kNoSlot when the
// object is unknown or the cafe is not 1..3.
int VisualUpgradeSlot(const std::string& object, int minLevel);
