// Takes the input as a level file (UTF-16LE behind a byte-order mark) and reads what the upgrades
// and the mini-game take from it: the survival stages, the career offer, the tray's weights and
// speed. Then tokens are drawn for every award and the tray runs for a while: no draw may hang
// and the tray never holds more tokens than it has controls.
#include <cstdint>
#include <string>

#include "cafe/QCBoardUpgrades.h"
#include "cafe/QCMiniGame.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"
#include "support/MemoryPak.h"
#include "platform/crt/Rand.h"

namespace {

class FuzzBoard : public QCBoardUpgrades {
 public:
  bool survival = true;
  uint8_t block[32] = {};

  bool IsSurvivalLevel() const override { return survival; }
  int GetCafe() const override { return 1; }
  uint8_t* ProfileUpgradeBlock() override { return block; }
  void ShowUpgradeButton(bool) override {}
  QCIUpgrade* WorkerUpgradeHandler(WorkerConfig*) override { return nullptr; }
  const std::string& UpgradeSkinName() const override { return skin; }
  const std::string& DefaultSkinName() const override { return skin; }

 private:
  std::string skin;
};

class NoRewards : public QCMiniGameRewards {
 public:
  void ApplyMiniGameReward(int, int) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryPak* pak = new MemoryPak();  // published as the process's archive layer
  pak->Put("cfg\\fuzz.xml", std::string(reinterpret_cast<const char*>(data), size));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\fuzz.xml");
  if (!doc) return 0;
  IXMLDOMNode* level = nullptr;
  doc->selectSingleNode(L"level", &level);

  FuzzBoard board;
  for (bool survival : {true, false}) {
    board.survival = survival;
    board.LoadStages(level);
  }
  board.survival = true;
  for (int day = 0; day < 50; ++day) board.AdvanceUpgradeStage(day);

  NoRewards rewards;
  QCMiniGame game(nullptr, nullptr, &rewards, nullptr);
  game.SetBounds(0, 0, 560, 92);
  for (int i = 0; i < 5; ++i) {
    auto* token = new QCCandyWidget(&game);
    token->SetBounds(0, 0, 33, 32);
    game.BindControl("tray" + std::to_string(i), token);
    game.BindControl("effect_ele" + std::to_string(i), new QCCandyWidget(&game));
  }
  game.ReadLevel(level);
  game.Reset();
  Velk::srand(static_cast<unsigned>(size));
  SetGameDt(0.01f);
  for (int award = -1; award <= QCMiniGame::kAwardIndexes; ++award) {
    game.AddRandomElement(award);
    game.Update();
    if (game.Elements().size() > 5) __builtin_trap();
  }
  SetGameDt(0.0f);
  if (level) level->Release();
  doc->Release();
  return 0;
}
