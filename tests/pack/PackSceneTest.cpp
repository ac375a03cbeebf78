// The built pack under the scene's readers: every animation file loads, and every level file of
// the career and of survival loads its scene document, objects, parts, z-order and walking graph
// with nothing in the debug log. The cafe's own object classes are stood in for by the scene's
// base classes here; what they read beyond that is checked by the content builder's rules.
#include <filesystem>
#include <string>
#include <vector>

#include "engine/EngineTestSupport.h"
#include "engine/EngineUtil.h"
#include "resources/PakInterface.h"
#include "scene/AnmPlayer.h"
#include "scene/SceneTestKit.h"

namespace {

namespace fs = std::filesystem;

class PackSceneTest : public EngineTest {
 protected:
  PackSceneTest() {
    engine_ = std::make_unique<TestEngine>(PELUNE_RUNTIME_DIR);
    for (const char* archive : {"loc.pak", "data.pak"})
      EXPECT_TRUE(engine_->GetPak()->MountArchive(archive)) << archive;
    engine_->Init();
    engine_->LoadResourcesInBackground();
    SetDebugLogSink([this](const std::string& line) { mLog.push_back(line); });
    for (const char* plain :
         {"worker", "status_bubble", "status_hp_worker", "status_hp_client", "client", "client_sit", "item_bonus"})
      SetSceneObjectCreator(plain, [] { return new QCItem(); });
    for (const char* pickable : {"tray", "trash_bin", "period_item"})
      SetSceneObjectCreator(pickable, [] { return static_cast<QCItem*>(new QCPickItem()); });
    SetSceneObjectCreator("boss", [] { return static_cast<QCItem*>(new QCMoveItem()); });
  }
  ~PackSceneTest() override {
    SetDebugLogSink(nullptr);
    for (const char* keyword : {"worker", "status_bubble", "status_hp_worker", "status_hp_client", "client",
                                "client_sit", "item_bonus", "tray", "trash_bin", "period_item", "boss"})
      SetSceneObjectCreator(keyword, nullptr);
  }

  std::vector<std::string> mLog;
};

TEST_F(PackSceneTest, EveryAnimationFileLoads) {
  int files = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(TEST_BINARY_DIR) / "content" / "stage" / "data" / "anm")) {
    if (entry.path().extension() != ".anm") continue;
    AnmPlayer player(nullptr);
    EXPECT_TRUE(player.Load(entry.path().stem().string())) << entry.path();
    ++files;
  }
  EXPECT_EQ(files, 42);
  for (const std::string& line : mLog) ADD_FAILURE() << "debug log: " << line;
}

TEST_F(PackSceneTest, EveryLevelLoadsItsSceneWithNothingLogged) {
  auto* board = new SceneTesting::TestBoard();
  engine_->mWidgetManager->AddChild(board);
  for (int mode = 0; mode < 2; ++mode)
    for (int level = 1; level <= (mode == 0 ? 59 : 3); ++level) {
      board->LoadNow(level, mode);
      EXPECT_NE(QCItem::FindByName("boss"), nullptr) << "level " << level << " mode " << mode;
      EXPECT_NE(QCItem::FindByName("bonus"), nullptr);
      board->ClearScene();
      for (const std::string& line : mLog) ADD_FAILURE() << "level " << level << " mode " << mode << ": " << line;
      mLog.clear();
    }
}

}  // namespace
