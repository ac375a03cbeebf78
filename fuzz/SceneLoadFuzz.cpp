// A scene document and a level file from the input (split at the first zero byte), loaded by a board
// on the calling thread with the "item" and "pickable" classes and a walker under "boss"; then hover
// and clicks over a grid of points, 50 frame steps with the walker sent to every pickable, and a
// path search between every two points of the walker's graph.
#include <cstdint>
#include <string>

#include "engine/QCDeadline.h"
#include "scene/NavGraph.h"
#include "scene/QCBoard_Game.h"
#include "scene/QCItem.h"
#include "scene/QCMoveItem.h"
#include "scene/QCPickItem.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

class FuzzWalker : public QCMoveItem {
 public:
  bool Interact(QCItem*, bool, int*) override { return true; }
  float GetMoveSpeed() const override { return 300.0f; }
};

class FuzzBoard : public QCBoard_Game {
 public:
  void StartLevel() override {}
  void EndLevel() override {}
  void ResetLevel() override {}
  void ReadLevel(IXMLDOMNode*, IXMLDOMNode*) override {}
  void ResetItems() override {}
  void OnObjectClicked(QCPickItem* item) override {
    if (auto* walker = dynamic_cast<QCMoveItem*>(SceneBossObject)) walker->QueueTarget(item);
  }
  void PerFrame() override {}
  void LoadConfigs(IXMLDOMNode*) override {}
  void ClearConfigs() override {}
  void OnMoneyChanged() override {}
  void OnStageAdvanced() override {}
  bool DispatchEvent(QCEventRecord*) override { return true; }
  void OnPause() override {}
  void OnResume() override {}
  bool IsLevelOver() override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MemoryPak* pak = new MemoryPak();  // published as the process's archive layer
  static bool registered = SetSceneObjectCreator("boss", [] { return static_cast<QCItem*>(new FuzzWalker()); });
  (void)registered;
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  pak->Put("cfg\\s.xml", Utf16File(input.substr(0, split)));
  pak->Put("cfg\\l1.xml", Utf16File(split == std::string::npos ? std::string() : input.substr(split + 1)));

  FuzzBoard board;
  board.LoadLevel(1, 0);
  board.OnLevelLoaded();
  for (int y = 0; y < 600; y += 75)
    for (int x = 0; x < 800; x += 100) {
      board.MouseMove(x, y);
      board.MouseDown(x, y, 0, 1);
    }
  for (const auto& [name, item] : PickableMap) board.ClickObjectByName(name);
  for (int i = 0; i < 50; ++i) board.Update();
  if (Navigator* navigator = board.GetNavigator("boss")) {
    NavGraph& graph = navigator->Working();
    std::vector<std::string> names;
    for (const auto& [name, point] : graph.Points()) names.push_back(name);
    if (names.size() > 40) names.resize(40);
    for (const std::string& from : names)
      for (const std::string& to : names) graph.FindPath(from, to);
  }
  board.Shutdown();
  SetGameDt(0.0f);
  return 0;
}
