#pragma once
// The cafe's headless test bed: the fixture cfg.xml, scene and level files over an in-memory
// archive, a gameplay board without screens, clicks through the board and frames of 10 ms on the
// game clock. Only the workers' part has frames (2 frames at 100 fps, played once), so their
// animation chain runs; every other part draws nothing and plays nothing.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "cafe/CafeConfigs.h"
#include "cafe/CafeNames.h"
#include "cafe/QCBoard_Game3.h"
#include "cafe/QCBoss.h"
#include "cafe/QCClientSit.h"
#include "cafe/QCClientStand.h"
#include "cafe/QCEngine3.h"
#include "cafe/QCPeriodItem.h"
#include "cafe/QCWorker.h"
#include "engine/QCDeadline.h"
#include "platform/crt/Rand.h"
#include "scene/AnmBytes.h"
#include "scene/LevelLog.h"
#include "scene/QCItemPart.h"
#include "scene/QCLevelEvents.h"
#include "screens/QCBoard_Briefing.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace CafeTesting {

inline std::string ReadCafeData(const std::string& name) {
  std::ifstream in(std::string(TEST_DATA_DIR) + "/cafe/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every animation word the workers play, for both worker kinds of the fixture.
inline std::vector<uint8_t> WorkerAnimations() {
  using namespace CafeNames;
  const char* const words[] = {kAnimWorkerIdleGreen,        kAnimWorkerIdleYellow,       kAnimWorkerIdleRed,
                               kAnimWorkerReadyGreenBegin,  kAnimWorkerReadyGreenEnd,    kAnimWorkerReadyGreenAction,
                               kAnimWorkerSwitchWork,       kAnimWorkerSwitchIdle,       kAnimWorkerIdleBrokenWorkplace,
                               kAnimWorkerCookingIdle,      kAnimWorkerCookingProcess01, kAnimWorkerCookingProcess02,
                               kAnimWorkerCookingProcess03, kAnimWorkerDirectCharacter};
  AnmTesting::AnmBytes bytes;
  for (const char* skin : {"baker", "juicer"})
    for (const char* word : words) bytes.Add(std::string("worker_up") + skin + word, 2, 100, 1);
  return bytes.Build();
}

// A board without the application: its career upgrades are kept in a profile block of its own.
class TestBoard : public QCBoard_Game3 {
 public:
  TestBoard() : QCBoard_Game3(nullptr, nullptr) {}
  uint8_t* ProfileUpgradeBlock() override { return mProfileUpgrades; }
  uint8_t mProfileUpgrades[32] = {};
};

class CafeFixture : public ::testing::Test {
 protected:
  CafeFixture() {
    SetCafeObjectCreators();
    SetLevelLogListener([this](const std::string& line) { logs.push_back(line); });
    pak.Put("cfg\\cfg.xml", Utf16File(ReadCafeData("cfg_cafe.xml")));
    pak.Put("cfg\\scene_cafe.xml", Utf16File(ReadCafeData("scene_cafe.xml")));
    pak.Put("cfg\\l2.xml", Utf16File(ReadCafeData("l2_cafe.xml")));
    pak.Put("cfg\\e1.xml", Utf16File(ReadCafeData("e1_cafe.xml")));
    pak.Put("anm\\worker_up.anm", WorkerAnimations());
    Velk::srand(1);
    board = std::make_unique<TestBoard>();
    board->LoadObjectConfigs();
  }
  ~CafeFixture() override {
    board->Shutdown();
    board.reset();
    SetGameDt(0.0f);
    SetLevelLogListener(nullptr);
  }

  // Loads on this thread, hands over and closes the briefing, as a player starting the level.
  void Load(int level, int mode) {
    board->mLoading = true;
    board->LoadLevel(level, mode);
    board->OnLevelLoaded();
    board->mBriefing->Hide();
  }
  // The same on the level-loading thread, as the game loads.
  void LoadOnThread(int level, int mode) {
    board->StartLevelLoading(level, mode);
    board->JoinLevelLoading();
    board->OnLevelLoaded();
    board->mBriefing->Hide();
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) board->Update();
  }
  void Seconds(float seconds) { Frames(static_cast<int>(seconds * 100.0f + 0.5f)); }
  // Clicks and plays on until the boss has done it (at most 20 s).
  void Click(const std::string& name) {
    board->ClickObjectByName(name);
    Frames(1);
    for (int i = 0; i < 2000 && Busy(); ++i) Frames(1);
  }
  bool Busy() const {
    QCBoss* boss = Boss();
    return boss && (!boss->mQueue.empty() || boss->IsMoving() || boss->HasDelay());
  }
  int LogCount(const std::string& text) const {
    int count = 0;
    for (const std::string& line : logs) count += line.find(text) != std::string::npos;
    return count;
  }

  static QCBoss* Boss() { return dynamic_cast<QCBoss*>(SceneBossObject); }
  static QCWorker* Worker(const std::string& name) { return FindWorkerByName(name); }
  static QCClientStand* Standing() { return dynamic_cast<QCClientStand*>(FindClientByName("client01")); }
  static QCClientSit* Seated() { return dynamic_cast<QCClientSit*>(FindClientByName("client_sit01")); }
  QCBonus& Chain() { return board->mBonus; }
  // Buys a functional upgrade, as the upgrade dialog does.
  void Grant(const std::string& object, const std::string& name) {
    QCUpgradeInfo record;
    record.object = object;
    record.name = name;
    board->mFunctionalUpgrades.push_back(record);
    board->ApplyUpgrade(board->mFunctionalUpgrades.back(), true);
  }

  MemoryPak pak;
  std::vector<std::string> logs;
  std::unique_ptr<TestBoard> board;
};

}  // namespace CafeTesting
