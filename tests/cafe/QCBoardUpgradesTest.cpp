#include "cafe/QCBoardUpgrades.h"

#include "cafe/CafeConfigs.h"
#include "cafe/QCPref.h"
#include "platform/ScopedEnv.h"
#include "platform/ScratchFolder.h"
#include "scene/LevelLog.h"
#include "scene/QCItem.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"
#include "engine/XmlAccess.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The six worker kinds, then the upgrade lists in the order the sample writes them (abridged).
const char kCfg[] = R"(
  <workers>
    <worker name="coffee"/><worker name="juice"/><worker name="cake"/>
    <worker name="ice"/><worker name="salad"/><worker name="tea"/>
  </workers>
  <upgrade>
    <functional name="speed" object="boss" min_level="1" max_level="3"/>
    <functional name="speed" object="coffee" min_level="1" max_level="3"/>
    <functional name="tidiness" object="coffee" min_level="1" max_level="3"/>
    <functional name="speed" object="tea" min_level="1" max_level="3"/>
    <functional name="tidiness" object="tea" min_level="1" max_level="3"/>
    <functional name="money" object="bonus" min_level="2" max_level="3"/>
    <visual name="floor_c1" object="floor" min_level="1" max_level="1"><object name="floor"/></visual>
    <visual name="tables_c1" object="client_table" min_level="1" max_level="1">
      <object name="table01"/><object name="missing"/><object name="table02"/>
    </visual>
    <visual name="floor_c2" object="floor" min_level="2" max_level="3"><object name="floor"/></visual>
    <visual name="decor_c3" object="decor" min_level="3" max_level="3"><object name="decor"/></visual>
  </upgrade>)";

// A scene object that records the skins it is given.
class SkinnedItem : public QCItem {
 public:
  void ApplyUpgradeSkin(const std::string& skin) override { skins.push_back(skin); }
  std::vector<std::string> skins;
};

class UpgradeBoard : public QCBoardUpgrades {
 public:
  bool survival = false;
  int cafe = 1;
  uint8_t* profile = nullptr;
  std::vector<bool> buttons;
  std::string upgradeSkin = "gold";
  std::string defaultSkin = "plain";

  bool IsSurvivalLevel() const override { return survival; }
  int GetCafe() const override { return cafe; }
  uint8_t* ProfileUpgradeBlock() override { return profile; }
  void ShowUpgradeButton(bool show) override { buttons.push_back(show); }
  QCIUpgrade* WorkerUpgradeHandler(WorkerConfig*) override { return nullptr; }
  const std::string& UpgradeSkinName() const override { return upgradeSkin; }
  const std::string& DefaultSkinName() const override { return defaultSkin; }

  QCUpgradeInfo* Find(const std::string& name, const std::string& object) {
    for (auto* list : {&mFunctionalUpgrades, &mVisualUpgrades})
      for (QCUpgradeInfo& record : *list)
        if (record.name == name && record.object == object) return &record;
    return nullptr;
  }
  std::vector<std::string> Offers() {
    std::vector<QCUpgradeInfo*> out;
    int n = CollectUpgradeOffers(out);
    EXPECT_EQ(n, static_cast<int>(out.size()));
    std::vector<std::string> names;
    for (QCUpgradeInfo* record : out) names.push_back(record->name + "/" + record->object);
    return names;
  }
};

class QCBoardUpgradesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetWorkerSequenceForTests();
    SetLevelLogListener([this](const std::string& line) { log.push_back(line); });
    for (const char* name : {"floor", "table01", "table02", "decor"}) SceneObjectMap[name] = &items[name];
    board.profile = profile;
  }
  void TearDown() override {
    SetLevelLogListener(nullptr);
    SceneObjectMap.clear();
    ClearWorkerConfigs();
    Release();
  }

  IXMLDOMNode* Node(const std::string& xml, const wchar_t* path) {
    Release();
    pak.Put("cfg\\doc.xml", Utf16File(xml));
    doc = CreateAndLoadXmlDocument("cfg\\doc.xml");
    if (doc) doc->selectSingleNode(path, &node);
    return node;
  }
  void LoadCfg(const std::string& body) {
    IXMLDOMNode* root = Node("<root>" + body + "</root>", L"root");
    LoadWorkerConfigs(root);
    board.LoadUpgrades(root);
  }
  void Release() {
    if (node) node->Release();
    if (doc) doc->Release();
    node = nullptr;
    doc = nullptr;
  }

  MemoryPak pak;
  IXMLDOMDocument* doc = nullptr;
  IXMLDOMNode* node = nullptr;
  std::map<std::string, SkinnedItem> items;
  uint8_t profile[36] = {};  // 32 bytes of upgrades and a guard
  UpgradeBoard board;
  std::vector<std::string> log;
};

TEST_F(QCBoardUpgradesTest, EverySlotOfTheTable) {
  LoadCfg(kCfg);
  ASSERT_EQ(board.mFunctionalUpgrades.size(), 6u);
  ASSERT_EQ(board.mVisualUpgrades.size(), 4u);
  EXPECT_EQ(board.mVisualUpgrades[1].objectNames, (std::vector<std::string>{"table01", "missing", "table02"}));
  std::vector<std::pair<QCUpgradeInfo*, int>> expected = {
      {board.Find("speed", "boss"), 12},     {board.Find("speed", "coffee"), 6},
      {board.Find("tidiness", "coffee"), 0}, {board.Find("speed", "tea"), 11},
      {board.Find("tidiness", "tea"), 5},    {board.Find("money", "bonus"), 13},
      {board.Find("floor_c1", "floor"), 14}, {board.Find("tables_c1", "client_table"), 18},
      {board.Find("floor_c2", "floor"), 19}, {board.Find("decor_c3", "decor"), 27}};
  for (auto& [record, slot] : expected) {
    ASSERT_NE(record, nullptr);
    profile[slot] = 7;
    EXPECT_EQ(board.ResolveUpgradeFlag(*record), 7) << record->name << " " << record->object;
    EXPECT_EQ(record->slot, slot);
    profile[slot] = 0;
  }
  EXPECT_TRUE(log.empty());
}

// Records that would land outside the block or on another record's byte get no slot at all.
TEST_F(QCBoardUpgradesTest, RecordsWithoutASlotAreNeverOfferedNorWritten) {
  LoadCfg(R"(<workers><worker name="a"/><worker name="b"/><worker name="c"/><worker name="d"/>
      <worker name="e"/><worker name="f"/><worker name="seventh"/></workers>
    <upgrade>
      <functional name="speed" object="seventh" min_level="1" max_level="3"/>
      <functional name="speed" object="nobody" min_level="1" max_level="3"/>
      <functional name="hat" object="a" min_level="1" max_level="3"/>
      <functional name="speed" object="bonus" min_level="1" max_level="3"/>
      <functional name="money" object="boss" min_level="1" max_level="3"/>
      <visual name="v0" object="floor" min_level="0" max_level="3"><object name="floor"/></visual>
      <visual name="v4" object="bar" min_level="4" max_level="4"><object name="floor"/></visual>
      <visual name="odd" object="ceiling" min_level="1" max_level="3"><object name="floor"/></visual>
    </upgrade>)");
  for (int kind : {1, 2}) {
    board.mOfferedUpgradeKind = kind;
    for (board.cafe = 0; board.cafe <= 4; ++board.cafe) EXPECT_TRUE(board.Offers().empty());
  }
  for (auto* list : {&board.mFunctionalUpgrades, &board.mVisualUpgrades})
    for (QCUpgradeInfo& record : *list) board.ApplyUpgrade(record, true);
  for (uint8_t byte : profile) EXPECT_EQ(byte, 0);
  EXPECT_TRUE(items["floor"].skins.empty());
  EXPECT_EQ(log.size(), 8u);  // one line per record, however often it is asked about

  // The same in survival: the shift's block stays clear too.
  board.survival = true;
  for (auto* list : {&board.mFunctionalUpgrades, &board.mVisualUpgrades})
    for (QCUpgradeInfo& record : *list) board.ApplyUpgrade(record, true);
  for (uint8_t byte : board.mSurvivalUpgrades) EXPECT_EQ(byte, 0);
}

TEST_F(QCBoardUpgradesTest, OffersSkipAppliedAndOtherCafesAndStopAtFour) {
  LoadCfg(kCfg);
  board.mOfferedUpgradeKind = 1;
  EXPECT_EQ(board.Offers(), (std::vector<std::string>{"speed/boss", "speed/coffee", "tidiness/coffee", "speed/tea"}));
  board.ApplyUpgrade(*board.Find("speed", "coffee"), true);
  EXPECT_EQ(profile[6], 1);
  EXPECT_EQ(board.Offers(), (std::vector<std::string>{"speed/boss", "tidiness/coffee", "speed/tea", "tidiness/tea"}));
  board.cafe = 2;
  board.ApplyUpgrade(*board.Find("speed", "boss"), true);
  board.ApplyUpgrade(*board.Find("tidiness", "tea"), true);
  EXPECT_EQ(board.Offers(), (std::vector<std::string>{"tidiness/coffee", "speed/tea", "money/bonus"}));
  board.mOfferedUpgradeKind = 2;
  EXPECT_EQ(board.Offers(), (std::vector<std::string>{"floor_c2/floor"}));
  board.mOfferedUpgradeKind = 0;
  EXPECT_TRUE(board.Offers().empty());
  EXPECT_EQ(board.IsUpgradeApplied("boss", "speed"), 1);
  EXPECT_EQ(board.IsUpgradeApplied("coffee", "tidiness"), 0);
  EXPECT_EQ(board.IsUpgradeApplied("nobody", "speed"), 0);
  EXPECT_TRUE(board.buttons.empty());  // career never touches the HUD's button
}

TEST_F(QCBoardUpgradesTest, VisualOnAndOffAndReappliedOnlyInItsCafes) {
  LoadCfg(kCfg);
  QCUpgradeInfo& tables = *board.Find("tables_c1", "client_table");
  board.ApplyUpgrade(tables, true);
  EXPECT_EQ(profile[18], 1);
  EXPECT_EQ(items["table01"].skins, (std::vector<std::string>{"gold"}));
  EXPECT_EQ(items["table02"].skins, (std::vector<std::string>{"gold"}));
  ASSERT_EQ(log.size(), 1u);  // the object the scene lacks is skipped with a line
  EXPECT_NE(log[0].find("missing"), std::string::npos);
  board.ApplyUpgrade(tables, false);
  EXPECT_EQ(profile[18], 0);
  EXPECT_EQ(items["table01"].skins.back(), "plain");

  board.ApplyUpgrade(*board.Find("floor_c1", "floor"), true);
  items["floor"].skins.clear();
  board.ReapplyUpgrades();  // a later day of cafe 1
  EXPECT_EQ(items["floor"].skins, (std::vector<std::string>{"gold"}));
  board.cafe = 2;  // cafe 2: the cafe-1 floor stays away
  board.ReapplyUpgrades();
  EXPECT_EQ(items["floor"].skins.size(), 1u);
  board.Find("floor_c1", "floor")->maxLevel = 2;
  board.ReapplyUpgrades();
  EXPECT_EQ(items["floor"].skins.size(), 2u);
}

TEST_F(QCBoardUpgradesTest, StagesQueueKindsAndOffersTakeThemOneAtATime) {
  LoadCfg(kCfg);
  board.survival = true;
  board.StartSurvivalUpgrades();
  board.LoadStages(Node(R"(<level upgrade="vis"><stages>
      <stage num="2" upgrade="func"/><stage num="3" upgrade="gold"/><stage num="3"/>
      <stage num="3" upgrade="vis"/><stage num="3" upgrade="func"/><stage num="5" upgrade="func"/>
    </stages></level>)",
                        L"level"));
  ASSERT_EQ(board.mUpgradeStages, (std::vector<std::pair<int, int>>{{2, 1}, {3, 2}, {3, 1}, {5, 1}}));
  EXPECT_TRUE(board.Offers().empty());  // nothing queued yet: no offer, the HUD untouched
  EXPECT_TRUE(board.buttons.empty());
  board.AdvanceUpgradeStage(1);
  EXPECT_TRUE(board.mUpgradeQueue.empty());
  board.AdvanceUpgradeStage(2);
  board.AdvanceUpgradeStage(3);
  board.AdvanceUpgradeStage(3);  // the second stage of day 3 waits for a later call of day 3
  EXPECT_EQ(board.mUpgradeQueue, (std::deque<int>{1, 2, 1}));
  board.AdvanceUpgradeStage(4);
  EXPECT_EQ(board.mUpgradeStageCursor, 3u);
  EXPECT_EQ(board.buttons, (std::vector<bool>{true, true, true}));

  EXPECT_EQ(board.Offers().size(), 4u);
  board.ApplyUpgrade(*board.Find("speed", "boss"), true);
  EXPECT_EQ(board.mSurvivalUpgrades[12], 1);
  EXPECT_EQ(profile[12], 0);  // a shift's purchase stays out of the profile
  EXPECT_EQ(board.Offers(), (std::vector<std::string>{"floor_c1/floor", "tables_c1/client_table"}));
  EXPECT_EQ(board.buttons.size(), 3u);
  EXPECT_EQ(board.Offers()[0], "speed/coffee");  // the last queued kind hides the button
  EXPECT_EQ(board.buttons.back(), false);

  board.StartSurvivalUpgrades();  // a new shift starts without it
  EXPECT_EQ(board.IsUpgradeApplied("boss", "speed"), 0);
  EXPECT_EQ(board.mUpgradeStageCursor, 0u);
  EXPECT_TRUE(board.mUpgradeQueue.empty());
}

TEST_F(QCBoardUpgradesTest, ACareerLevelOffersItsOwnKind) {
  LoadCfg(kCfg);
  for (auto [xml, kind] : {std::pair{R"(<level upgrade="vis"/>)", 2},
                           {R"(<level upgrade="func"/>)", 1},
                           {R"(<level upgrade="both"/>)", 0},
                           {"<level/>", 0}}) {
    board.mOfferedUpgradeKind = 9;
    board.LoadStages(Node(xml, L"level"));
    EXPECT_EQ(board.mOfferedUpgradeKind, kind) << xml;
  }
}

TEST_F(QCBoardUpgradesTest, ACareerPurchaseReachesPrefDatAndNothingElseDoes) {
  ScratchFolder scratch;
  ScopedEnv data("XDG_DATA_HOME", scratch.Path().c_str());
  LoadCfg(kCfg);
  {
    QCPref pref;
    pref.Load();
    pref.CreateProfile(L"Ada", nullptr, nullptr);
    pref.GetProfile()->mCurrentDay = 4;
    board.profile = pref.GetProfile()->mUpgrades;
    board.ApplyUpgrade(*board.Find("decor_c3", "decor"), true);
    board.ApplyUpgrade(*board.Find("tidiness", "coffee"), true);
    pref.Save();
  }
  QCPref pref;
  pref.Load();
  ASSERT_TRUE(pref.mLoaded);
  const QCProfile& stored = *pref.GetProfile();
  for (int slot = 0; slot < QCProfile::kUpgradeSlots; ++slot)
    EXPECT_EQ(stored.mUpgrades[slot], slot == 27 || slot == 0 ? 1 : 0) << slot;
  EXPECT_EQ(stored.mCurrentDay, 4);
}

}  // namespace
