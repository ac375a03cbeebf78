// Takes the input as cfg.xml (UTF-16LE behind a byte-order mark, as the game stores it) and reads
// the characters' configuration tables and the upgrade lists from it; buying and selling every
// upgrade must touch no byte outside the 29 flag slots.
#include <cstdint>
#include <string>

#include "cafe/CafeConfigs.h"
#include "cafe/QCBoardUpgrades.h"
#include "engine/XmlAccess.h"
#include "support/MemoryPak.h"

namespace {

class FuzzBoard : public QCBoardUpgrades {
 public:
  bool survival = false;
  int cafe = 1;
  uint8_t block[40] = {};

  bool IsSurvivalLevel() const override { return survival; }
  int GetCafe() const override { return cafe; }
  uint8_t* ProfileUpgradeBlock() override { return block; }
  void ShowUpgradeButton(bool) override {}
  QCIUpgrade* WorkerUpgradeHandler(WorkerConfig*) override { return nullptr; }
  const std::string& UpgradeSkinName() const override { return skin; }
  const std::string& DefaultSkinName() const override { return skin; }

  // Buys and sells everything in both modes; the bytes past slot 28 stay 0.
  void Exercise() {
    for (bool mode : {false, true}) {
      survival = mode;
      for (auto* list : {&mFunctionalUpgrades, &mVisualUpgrades}) {
        for (QCUpgradeInfo& record : *list) {
          ApplyUpgrade(record, true);
          IsUpgradeApplied(record.object, record.name);
        }
      }
      for (mOfferedUpgradeKind = 0; mOfferedUpgradeKind <= 2; ++mOfferedUpgradeKind) {
        std::vector<QCUpgradeInfo*> offers;
        if (CollectUpgradeOffers(offers) > kMaxOffers) __builtin_trap();
      }
      for (auto* list : {&mFunctionalUpgrades, &mVisualUpgrades})
        for (QCUpgradeInfo& record : *list) ApplyUpgrade(record, false);
    }
    for (size_t i = kSlots; i < sizeof block; ++i)
      if (block[i] != 0) __builtin_trap();
  }

 private:
  std::string skin;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryPak* pak = new MemoryPak();  // published as the process's archive layer
  pak->Put("cfg\\cfg.xml", std::string(reinterpret_cast<const char*>(data), size));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\cfg.xml");
  if (!doc) return 0;
  IXMLDOMNode* root = nullptr;
  doc->selectSingleNode(L"root", &root);
  LoadPersConfigs(root);
  LoadClientConfigs(root);
  LoadWorkerConfigs(root);
  LoadPeriodItemConfigs(root);
  FuzzBoard board;
  board.LoadUpgrades(root);
  board.Exercise();
  for (const auto& [name, config] : gWorkerConfigs) {
    if (name.size() > 127 || config.mProduct.size() > 127) __builtin_trap();
  }
  if (root) root->Release();
  doc->Release();
  return 0;
}
