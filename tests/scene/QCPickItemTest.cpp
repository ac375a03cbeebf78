#include "scene/QCPickItem.h"

#include <gtest/gtest.h>

#include "scene/QCItemPart.h"
#include "scene/SceneTestKit.h"

using SceneTesting::LogCapture;
using SceneTesting::PutAnm;
using SceneTesting::XmlDoc;

namespace {

class QCPickItemTest : public ::testing::Test {
 protected:
  void TearDown() override { DestroySceneObjects(); }
  void Create(const std::string& objects, const std::string& levelObjects) {
    XmlDoc scene(pak, "<root><objects>" + objects + "</objects></root>", L"root");
    CreateSceneObjects(scene.Node());
    XmlDoc level(pak, "<level><objects>" + levelObjects + "</objects></level>", L"level");
    ApplyLevelObjects(level.Node());
    for (QCItem* item : SceneObjectList) item->SetVisible(true);
  }
  static QCPickItem* Pick(const std::string& name) { return QCPickItem::FindPickable(name); }
  MemoryPak pak;
};

TEST_F(QCPickItemTest, RegionsAndPicksThatStealTheClick) {
  Create(
      R"(<object class="pickable" name="table" rgn="0 0 100 0 100 100 0 100">
              <picks pick="tray"/><picks pick="ghost"/><picks pick=""/></object>
            <object class="pickable" name="tray" rgn="40 40 60 40 60 60 40 60 99"/>
            <object class="pickable" name="line" rgn="0 0 100 100"/>
            <object class="pickable" name="dot" rgn="5 5"/>
            <object class="pickable" name="junk" rgn="0 0 50 0 x 50 50 0 50"/>)",
      R"(<object name="table"/><object name="tray"/><object name="line"/><object name="dot"/><object name="junk"/>)");
  QCPickItem* table = Pick("table");
  QCPickItem* tray = Pick("tray");
  ASSERT_EQ(table->mPicks.size(), 1u) << "names that find nothing are skipped";
  EXPECT_EQ(tray->mRegionPoints.size(), 4u) << "the unpaired 99 is dropped";
  EXPECT_TRUE(table->HitTest(10, 10));
  EXPECT_FALSE(table->HitTest(50, 50)) << "the tray on it takes the point";
  EXPECT_TRUE(tray->HitTest(50, 50));
  tray->SetVisible(false);
  EXPECT_TRUE(table->HitTest(50, 50)) << "a hidden pick steals nothing";
  tray->SetVisible(true);
  tray->mActive = false;
  EXPECT_TRUE(table->HitTest(50, 50));

  EXPECT_NE(Pick("line")->mRegion, nullptr);
  EXPECT_FALSE(Pick("line")->HitTest(50, 50)) << "two points enclose nothing";
  EXPECT_EQ(Pick("dot")->mRegion, nullptr);
  EXPECT_FALSE(Pick("dot")->HitTest(5, 5));
  EXPECT_EQ(Pick("junk")->mRegionPoints.size(), 2u) << "reading stops at the first token that is no number";
  EXPECT_FALSE(Pick("junk")->CanPick(Pick("junk")->HitTest(1, 1)));
}

TEST_F(QCPickItemTest, PicksAndPairsNamingEachOtherEnd) {
  Create(R"(<object class="pickable" name="a" rgn="0 0 10 0 10 10 0 10"><picks pick="b"/>
              <select_block pair_item="b"/><select_block pair_item="a"/></object>
            <object class="pickable" name="b" rgn="0 0 10 0 10 10 0 10"><picks pick="a"/>
              <select_block pair_item="a"/></object>
            <object class="pickable" name="a" rgn="0 0 1 0 1 1"/>)",
         R"(<object name="a"/><object name="b"/>)");
  QCPickItem* a = Pick("a");
  EXPECT_EQ(a, SceneObjectList[0]) << "the first of a name is the pickable";
  EXPECT_FALSE(a->HitTest(5, 5)) << "b takes it; b's own test finds a already being tested";
  EXPECT_FALSE(Pick("b")->HitTest(5, 5)) << "and the other way round";
  a->SetSelected(0, true);
  EXPECT_TRUE(Pick("b")->IsSelected());
  EXPECT_EQ(a->PairCount(), 2);
  EXPECT_EQ(a->PairAt(0), Pick("b"));
  EXPECT_EQ(a->PairAt(2), nullptr);
  EXPECT_EQ(a->PairAt(-1), nullptr);
}

TEST_F(QCPickItemTest, ClickMarkersGoUpAndComeDownInReverse) {
  PutAnm(pak, "checkmark", {"checkmarkidle"});
  Create(R"(<object class="pickable" name="coffee" rgn="0 0 9 0 9 9">
              <part name="checkmark"/><part name="body"/><part name="checkmark"/>
              <point owner="worker" direction="l" offs_x="1"/><point owner="boss" direction="b" offs_x="-4" offs_y="30"/>
              <point owner="boss" direction="t"/></object>)",
         R"(<object name="coffee"/>)");
  QCPickItem* coffee = Pick("coffee");
  coffee->Reset(true);
  ASSERT_EQ(coffee->mMarkers[0], coffee->mParts[0]);
  ASSERT_EQ(coffee->mMarkers[1], coffee->mParts[2]);
  EXPECT_FALSE(coffee->mMarkers[0]->mVisible);
  // The markers show text here: what is shown counts as showing an image.
  for (QCItemPart* marker : coffee->mMarkers) marker->SetText(L"v", 8, 8);

  LogCapture log;
  coffee->ShowClickMarker();
  coffee->ShowClickMarker();
  EXPECT_TRUE(log.lines.empty());
  coffee->ShowClickMarker();
  EXPECT_TRUE(log.Has("Warning: object <coffee> is over clicked"));
  EXPECT_TRUE(coffee->mMarkers[0]->mVisible && coffee->mMarkers[1]->mVisible);
  coffee->HideClickMarker();
  EXPECT_FALSE(coffee->mMarkers[1]->mVisible);
  EXPECT_TRUE(coffee->mMarkers[0]->mVisible);
  coffee->HideClickMarker();
  EXPECT_FALSE(coffee->mMarkers[0]->mVisible);
  coffee->HideClickMarker();

  int x = 0, y = 0;
  std::string direction;
  ASSERT_TRUE(coffee->FindPoint("boss", x, y, direction));
  EXPECT_EQ(x, -4);
  EXPECT_EQ(y, 30);
  EXPECT_EQ(direction, "b");
  EXPECT_FALSE(coffee->FindPoint("client", x, y, direction));

  coffee->AddBusy();
  coffee->AddBusy();
  EXPECT_EQ(coffee->mBusyCount, 2);
  coffee->ClearBusy();
  EXPECT_EQ(coffee->mBusyCount, 0);
  coffee->ClearParts();
  EXPECT_EQ(Pick("coffee"), nullptr);
}

}  // namespace
