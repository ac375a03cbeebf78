#include "scene/QCItem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scene/LevelLog.h"
#include "scene/QCItemPart.h"
#include "scene/QCMoveItem.h"
#include "scene/SceneTestKit.h"

using SceneTesting::LogCapture;
using SceneTesting::PutAnm;
using SceneTesting::XmlDoc;

namespace {

class CountingItem : public QCItem {
 public:
  void Update() override {
    ++updates;
    QCItem::Update();
  }
  void OnDelayDone(uint32_t code) override { done.push_back(code); }
  int updates = 0;
  std::vector<uint32_t> done;
};

class FakeWalker : public QCMoveItem {};

class QCItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSceneObjectCreator("item", [] { return static_cast<QCItem*>(new CountingItem()); });
    SetSceneObjectCreator("boss", [] { return static_cast<QCItem*>(new FakeWalker()); });
    SetGameDt(0.01f);
  }
  void TearDown() override {
    DestroySceneObjects();
    SetSceneObjectCreator("item", [] { return new QCItem(); });
    SetSceneObjectCreator("boss", nullptr);
    SetGameDt(0.0f);
  }
  void Create(const std::string& objects, const std::string& levelObjects) {
    XmlDoc scene(pak, "<root><objects>" + objects + "</objects></root>", L"root");
    CreateSceneObjects(scene.Node());
    XmlDoc level(pak, "<level><objects><group>" + levelObjects + "</group></objects></level>", L"level");
    ApplyLevelObjects(level.Node());
  }
  MemoryPak pak;
};

TEST_F(QCItemTest, TheLevelFileSettlesWhichObjectsTakePart) {
  LogCapture log;
  Create(R"(<object class="item" name="shown" pos_x="5" offs_y="-3"/>
            <object class="item" name="unlisted"/>
            <object class="item" name="stopped"/>
            <object class="nonsense" name="odd"/>
            <object class="boss" name="boss" start_point="door"/>
            <object class="item" name="shown" pos_x="9"/>)",
         R"(<object name="shown" skin="red"/><object name="stopped" stop="true"/><object name="boss"/>)");
  ASSERT_EQ(SceneObjectList.size(), 5u) << "the unknown class is skipped";
  EXPECT_TRUE(log.Has("unknown class <nonsense>"));
  QCItem* first = QCItem::FindByName("shown");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, SceneObjectList[0]) << "the first of a name is in the map";
  EXPECT_EQ(first->WorldX(1), 6);
  EXPECT_EQ(first->WorldY(0), -3);
  EXPECT_TRUE(first->mActive);
  EXPECT_EQ(first->mSkin, "red");
  EXPECT_TRUE(SceneObjectList[4]->mActive) << "both objects of one name are adjusted";
  EXPECT_FALSE(QCItem::FindByName("unlisted")->mActive);
  EXPECT_FALSE(QCItem::FindByName("unlisted")->mVisible);
  EXPECT_FALSE(QCItem::FindByName("stopped")->mActive);
  ASSERT_NE(SceneBossObject, nullptr);
  EXPECT_EQ(static_cast<QCMoveItem*>(SceneBossObject)->mStartPoint, "door");

  // Both objects of one name are updated; inactive ones are not.
  first->SetVisible(true);
  SceneObjectList[4]->SetVisible(true);
  UpdateSceneObjects();
  EXPECT_EQ(static_cast<CountingItem*>(first)->updates, 1);
  EXPECT_EQ(static_cast<CountingItem*>(SceneObjectList[4])->updates, 1);
  EXPECT_EQ(static_cast<CountingItem*>(QCItem::FindByName("unlisted"))->updates, 0);

  // The globals go with the scene; a scene without a boss leaves none behind.
  DestroySceneObjects();
  EXPECT_EQ(SceneBossObject, nullptr);
  Create(R"(<object class="item" name="plain"/>)", "");
  EXPECT_EQ(SceneBossObject, nullptr);
  EXPECT_EQ(QCItem::FindByName("shown"), nullptr);
}

TEST_F(QCItemTest, AnimationsTimedStatesAndTheDelay) {
  PutAnm(pak, "body", {"bodyidle", "bodyredidle", "bodyredwalk"});
  Create(R"(<object class="item" name="cup"><part name="body"/><part name="lid"/></object>)",
         R"(<object name="cup" anim="idle"/>)");
  auto* cup = static_cast<CountingItem*>(QCItem::FindByName("cup"));
  ASSERT_NE(cup, nullptr);
  EXPECT_EQ(cup->mCurrentAnim, "idle");
  EXPECT_EQ(cup->mParts[1]->GetPlayer(), nullptr) << "a part without its file keeps no player";

  float length = 0.0f;
  EXPECT_FALSE(cup->PlayAnim("dance", &length));
  EXPECT_EQ(cup->mCurrentAnim, "idle");
  cup->SetSkin("red", true);
  EXPECT_TRUE(cup->PlayAnim("walk", &length));
  EXPECT_EQ(cup->mCurrentAnim, "walk");
  EXPECT_FLOAT_EQ(length, 0.2f);

  // A rest of exactly 0 seconds elapses only once the remaining time is below 0.
  cup->AddTimedState("walk", 1, 0.0f, 0.0f);
  cup->StartTimedState("walk");
  cup->SetVisible(true);
  SetGameDt(0.0f);
  cup->Update();
  EXPECT_TRUE(cup->mTimedRunning);
  SetGameDt(0.01f);
  cup->Update();
  EXPECT_FALSE(cup->mTimedRunning);

  cup->SetDelay(0.025f, 7);
  EXPECT_TRUE(cup->HasDelay());
  cup->Update();
  cup->Update();
  EXPECT_TRUE(cup->done.empty());
  cup->Update();
  EXPECT_EQ(cup->done, std::vector<uint32_t>{7});
  EXPECT_FALSE(cup->HasDelay());
}

TEST_F(QCItemTest, TheEffectDrivesFifteenPartsAndEveryPartDraws) {
  QCItem item;
  for (int i = 0; i < 16; ++i) item.mParts.push_back(new QCItemPart(&item));
  EXPECT_EQ(item.mTargets.count, 15);
  EXPECT_EQ(item.mTargets.targets[14].scale, &item.mParts[14]->mScale);
  EXPECT_EQ(item.mParts.size(), 16u);
  item.ClearParts();
  EXPECT_EQ(item.mTargets.count, 0);
}

TEST_F(QCItemTest, PartNamingOrientationAndSkins) {
  PutAnm(pak, "checkmark", {"checkmarknavyidle"});
  PutAnm(pak, "arm", {"armbluebrwave", "armbluebluave"});
  XmlDoc node(pak, R"(<object name="x">
      <part name="checkmark" mirror="1"/>
      <part name="arm" offs_x="4" offs_y="6" zover="true" order0_x="9"><exchange_skin from="navy" to="blue"/></part>
    </object>)",
              L"object");
  QCItem item;
  item.LoadFromXml(node.Node());
  QCItemPart* check = item.mParts[0];
  QCItemPart* arm = item.mParts[1];
  EXPECT_TRUE(check->mOrientationFree);
  EXPECT_TRUE(arm->mZOver);
  EXPECT_EQ(arm->mZLine[0].x, 0) << "an overlay part reads no line";

  item.SetOrientation("mbr", true);
  item.SetSkin("navy", true);
  EXPECT_EQ(arm->mSkin, "blue");
  EXPECT_EQ(arm->mOrientation, "br");
  EXPECT_TRUE(arm->mMirror);
  EXPECT_TRUE(item.PlayAnim("wave"));
  EXPECT_EQ(arm->GetPlayer()->GetCurrentEntry()->name, "armbluebrwave");
  EXPECT_EQ(check->GetPlayer()->GetCurrentEntry(), nullptr) << "no checkmark entry for wave";
  EXPECT_TRUE(item.PlayAnim("idle"));
  EXPECT_EQ(check->GetPlayer()->GetCurrentEntry()->name, "checkmarknavyidle") << "no orientation in its names";

  arm->SetOrientation("mbl", false);
  EXPECT_EQ(arm->mOrientation, "bl");
  EXPECT_TRUE(arm->mMirror);
  arm->SetOrientation("bl", false);
  EXPECT_FALSE(arm->mMirror);
  EXPECT_EQ(item.FindPart("arm", 0), arm);
  EXPECT_EQ(item.FindPart("arm", 1), nullptr);
}

// What a damaged archive or level leaves out is named once per name, however often it is asked for;
// parts over the z-order are anchors that have no file of their own.
TEST_F(QCItemTest, MissingFilesAndSkinsAreNamedOncePerName) {
  std::vector<std::string> lines;
  SetLevelLogListener([&lines](const std::string& line) { lines.push_back(line); });
  PutAnm(pak, "kettle", {"kettlegreenidle"});
  const std::string objects = R"(<object class="item" name="a"><part name="kettle"/><part name="gone_counter"/>
        <part name="gone_anchor" zover="true"/></object>
      <object class="item" name="b"><part name="gone_counter"/><part name="kettle"/></object>)";
  const std::string level = R"(<object name="a" skin="green"/><object name="b" skin="purple_spots"/>)";
  Create(objects, level);
  DestroySceneObjects();
  Create(objects, level);
  SetLevelLogListener(nullptr);
  auto count = [&lines](const std::string& text) {
    return std::count_if(lines.begin(), lines.end(),
                         [&text](const std::string& l) { return l.find(text) != std::string::npos; });
  };
  EXPECT_EQ(count("anm\\gone_counter.anm"), 1);
  EXPECT_EQ(count("gone_anchor"), 0);
  EXPECT_EQ(count("kettle"), 0);
  EXPECT_EQ(count("\"purple_spots\""), 1);
  EXPECT_EQ(count("\"green\""), 0);
  EXPECT_EQ(lines.size(), 2u);
}

TEST_F(QCItemTest, TextTrailAndZParent) {
  QCItem item;
  item.mName = "till";
  item.mPosX = 100;
  item.mOffsX = 5;
  auto* part = new QCItemPart(&item);
  item.mParts.push_back(part);
  part->SetText(L"12 $", 40, 16);
  EXPECT_TRUE(part->mTextOn);
  part->SetText(L"", 10, 10);
  EXPECT_FALSE(part->mTextOn);
  EXPECT_EQ(part->mTextWidth, 40);
  EXPECT_EQ(part->mTextHeight, 16);
  EXPECT_TRUE(part->mTextDirty);

  part->mAnchorX = 3;
  part->mOffset.x = 2;
  part->AddTrailCopy();
  part->AgeTrail(30.0f);
  part->AddTrailCopy();
  EXPECT_EQ(part->mTrail.front().x, 110);
  part->AgeTrail(40.0f);
  EXPECT_EQ(part->mTrail.size(), 1u) << "a copy whose life reaches 0 is gone";
  EXPECT_FLOAT_EQ(part->mTrail.front().life, 30.0f);

  SceneObjectMap.emplace("till", &item);
  part->mName = "drawer";
  part->mParentZ = "till:drawer";
  EXPECT_EQ(part->GetZParent(), part);
  part->mParentZ = "nothing:drawer";
  EXPECT_EQ(part->GetZParent(), nullptr);
  SceneObjectMap.clear();
}

}  // namespace
