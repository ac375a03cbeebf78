#include "CafeTestBoard.h"

void CafeTestBoard::ShowUpgradeDialog() {
  if (upgrade != nullptr) upgrade->Show();
}

int CafeTestBoard::CollectUpgradeOffers(std::vector<QCUpgradeInfo*>& out) {
  ++collections;
  if (mSurvival && waitingKinds > 0) --waitingKinds;
  out.clear();
  for (QCUpgradeInfo& info : upgrades) {
    if (!taken.count(&info) && out.size() < 4) out.push_back(&info);
  }
  return static_cast<int>(out.size());
}

void CafeTestBoard::ApplyUpgrade(QCUpgradeInfo* upgrade, bool on) {
  if (on) {
    taken.insert(upgrade);
  } else {
    taken.erase(upgrade);
  }
  applied.push_back((on ? "+" : "-") + upgrade->name);
}
