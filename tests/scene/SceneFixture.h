#pragma once
// A small cafe scene for the board and walker tests: a floor, a table and a tray that the player
// clicks, and a walker ("boss") on a graph door - hall - table, with a level file for each mode.

#include "scene/NavGraph.h"
#include "scene/QCItemPart.h"
#include "scene/QCMoveItem.h"
#include "scene/SceneTestKit.h"

namespace SceneTesting {

// A pickable whose side of an interaction answers as told and is recorded.
class TestPick : public QCPickItem {
 public:
  bool Interact(QCItem* other, bool test, int* context) override {
    interactions.push_back(std::string(test ? "test " : "do ") + other->mName + " " + std::to_string((*context)++));
    return accept;
  }
  bool accept = true;
  std::vector<std::string> interactions;
};

class TestWalker : public QCMoveItem {
 public:
  void Reset(bool start) override {
    BindCharacter();
    QCMoveItem::Reset(start);
  }
  bool Interact(QCItem* other, bool test, int* context) override {
    interactions.push_back(std::string(test ? "test " : "do ") + other->mName + " " + std::to_string((*context)++));
    return accept;
  }
  void OnDelayDone(uint32_t code) override { arrivals.push_back(code); }
  bool accept = true;
  std::vector<std::string> interactions;
  std::vector<uint32_t> arrivals;
};

inline TestPick* Pick(const std::string& name) { return static_cast<TestPick*>(QCPickItem::FindPickable(name)); }
inline TestWalker* Walker() { return static_cast<TestWalker*>(SceneBossObject); }

inline const char* kSceneXml = R"(<root><objects>
  <object class="item" name="floor"><part name="floor" order0_x="0" order0_y="0" order1_x="400" order1_y="0" order2_x="799" order2_y="0"/></object>
  <object class="pickable" name="table" rgn="100 100 200 100 200 200 100 200">
    <part name="table" order0_x="100" order0_y="200" order1_x="150" order1_y="200" order2_x="200" order2_y="200"/>
    <part name="checkmark"/><part name="checkmark"/>
    <point owner="boss" direction="t" offs_x="150" offs_y="220"/></object>
  <object class="pickable" name="tray" rgn="150 150 260 150 260 260 150 260"><point owner="boss" direction="r" offs_x="300" offs_y="220"/></object>
  <object class="pickable" name="shelf" rgn="0 0 10 0 10 10"/>
  <object class="boss" name="boss" start_point="door"><part name="boss"/></object>
  <object class="item" name="lamp"/>
</objects>
<graphs><graph name="boss">
  <points><point name="door" x="400" y="400" direction="b"/><point name="hall" x="150" y="400"/></points>
  <edges><edge p1="door" p2="hall"/><edge p1="hall" p2="table"/><edge p1="door" p2="tray"/></edges>
</graph></graphs></root>)";

inline const char* kCareerXml = R"(<level doc="cfg\scene_a.xml"><objects>
  <object name="floor"/><object name="table"/><object name="tray"/><object name="shelf"/><object name="boss"/>
</objects></level>)";

// Survival: the lamp joins on a stage; stages on days 3 and 4 (day 1 is never reached by counting).
inline const char* kSurvivalXml = R"(<level doc="cfg\scene_a.xml"><objects>
  <object name="floor"/><object name="table"/><object name="tray"/><object name="boss"/>
</objects><stages><stage num="3"><object name="lamp"/><object name="nobody"/></stage><stage num="4"/></stages></level>)";

inline const char* kCharactersXml = R"(<root><perses>
  <pers name="boss" move_speed="100"><orientations orientation="l" actual_orientation="mr" ofs_x="2" ofs_y="0"/>
    <orientations orientation="" actual_orientation="x"/><orientations orientation="l" actual_orientation="t"/></pers>
  <pers name="boss" move_speed="5"/>
</perses></root>)";

class SceneFixture : public ::testing::Test {
 protected:
  SceneFixture() {
    SetSceneObjectCreator("pickable", [] { return static_cast<QCItem*>(new TestPick()); });
    SetSceneObjectCreator("boss", [] { return static_cast<QCItem*>(new TestWalker()); });
    pak.Put("cfg\\scene_a.xml", Utf16File(kSceneXml));
    pak.Put("cfg\\l1.xml", Utf16File(kCareerXml));
    pak.Put("cfg\\e1.xml", Utf16File(kSurvivalXml));
    XmlDoc cfg(pak, kCharactersXml, L"root");
    QCMoveItem::LoadCharacters(cfg.Node());
  }
  ~SceneFixture() override {
    board.reset();
    QCMoveItem::ClearCharacters();
    SetSceneObjectCreator("pickable", [] { return static_cast<QCItem*>(new QCPickItem()); });
    SetSceneObjectCreator("boss", nullptr);
    SetGameDt(0.0f);
  }
  TestBoard& Board() {
    if (!board) board = std::make_unique<TestBoard>();
    return *board;
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) board->Update();
  }

  MemoryPak pak;
  std::unique_ptr<TestBoard> board;
};

}  // namespace SceneTesting
