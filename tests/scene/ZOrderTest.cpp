#include "scene/QCZOrderManager.h"

#include <gtest/gtest.h>

#include <memory>

#include "scene/QCItemPart.h"
#include "scene/SceneTestKit.h"

using SceneTesting::LogCapture;

namespace {

class ZOrderTest : public ::testing::Test {
 protected:
  ~ZOrderTest() override {
    SceneObjectMap.clear();
    for (QCItem* item : items) delete item;
  }
  // A part of its own object; a line from (x0, y0) over (x1, y1) to (x2, y2).
  QCItemPart* Part(const std::string& object, int x0, int y0, int x1, int y1, int x2, int y2,
                   const std::string& parent = "", const std::string& name = "body") {
    QCItem* item = QCItem::FindByName(object);
    if (!item) {
      item = new QCItem();
      item->mName = object;
      items.push_back(item);
      SceneObjectMap.emplace(object, item);
    }
    auto* part = new QCItemPart(item);
    part->mName = name;
    part->mParentZ = parent;
    part->SetZLine(x0, y0, x1, y1, x2, y2);
    item->mParts.push_back(part);
    return part;
  }
  QCItemPart* Flat(const std::string& object, int y, int from = 100, int to = 300) {
    return Part(object, from, y, (from + to) / 2, y, to, y);
  }
  std::vector<std::string> Names(const std::vector<QCItemPart*>& order) {
    std::vector<std::string> names;
    for (QCItemPart* part : order) names.push_back(part->mName == "body" ? part->mOwner->mName : part->Label());
    return names;
  }
  using Names_t = std::vector<std::string>;

  std::vector<QCItem*> items;
  QCZOrderManager z;
};

TEST_F(ZOrderTest, UpperLinesComeFirstAndChildrenFollowTheirPrimaryParent) {
  LogCapture log;
  z.AddPart(Flat("front", 200), false);
  z.AddPart(Flat("back", 100), false);
  // All-zero lines: one hangs on "back" through "lamp", which itself hangs on "back"; one hangs on nothing.
  z.AddPart(Part("lamp", 0, 0, 0, 0, 0, 0, "back:body"), false);
  z.AddPart(Part("shade", 0, 0, 0, 0, 0, 0, "lamp:body"), false);
  z.AddPart(Part("ghost", 0, 0, 0, 0, 0, 0), false);
  z.AddPart(Part("stray", 0, 0, 900, 0, 950, 0), false);  // leaves the grid: never ordered
  z.BuildZOrder();
  EXPECT_EQ(Names(z.StaticOrder()), (Names_t{"back", "lamp", "shade", "front"}));
  EXPECT_TRUE(log.Has("Invalid part (no zorder, no zparent): <ghost:body>"));
  EXPECT_TRUE(log.Has("Crossparent part: part: <shade:body>, parent: <lamp:body>"));
  EXPECT_TRUE(log.Has("   --- part: <ghost:body>"));
}

TEST_F(ZOrderTest, ARootsChildrenFollowItAndACycleDrawsNoStaticPart) {
  z.AddPart(Flat("floor", 50, 0, 400), false);
  z.AddPart(Part("rug", 0, 0, 0, 0, 0, 0, "floor:body"), false);
  z.AddPart(Flat("table", 300, 100, 200), false);
  z.BuildZOrder();
  EXPECT_EQ(Names(z.StaticOrder()), (Names_t{"floor", "rug", "table"}));

  // Two crossing lines: each is in front of the other somewhere.
  QCZOrderManager cycle;
  LogCapture log;
  cycle.AddPart(Part("a", 0, 100, 100, 200, 200, 300), false);
  cycle.AddPart(Part("b", 0, 300, 100, 200, 200, 100), false);
  cycle.BuildZOrder();
  EXPECT_TRUE(cycle.StaticOrder().empty());
  EXPECT_TRUE(log.Has("Can't find root object"));
}

TEST_F(ZOrderTest, MovingPartsSlotInUnderTheLineAboveTheirFeet) {
  z.AddPart(Flat("wall", 50, 0, 200), false);
  z.AddPart(Flat("counter", 300, 100, 200), false);
  QCItemPart* over = Part("sign", 0, 0, 0, 0, 0, 0);
  z.AddOverlayPart(over);
  // Two parts of a walker standing between the wall and the counter, and one of a walker out on
  // free floor.
  QCItemPart* legs = Part("boss", 130, 250, 150, 250, 170, 250, "", "legs");
  QCItemPart* head = Part("boss", 130, 250, 150, 250, 170, 250, "", "head");
  QCItemPart* away = Part("guest", 500, 500, 520, 500, 540, 500);
  z.AddPart(legs, true);
  z.AddPart(head, true);
  z.AddPart(away, true);
  z.BuildZOrder();
  EXPECT_EQ(Names(z.GetDrawOrder()), (Names_t{"wall", "boss:head", "boss:legs", "counter", "guest", "sign"}));

  // Half of the line over free floor: the owned half decides.
  legs->SetZLine(180, 250, 200, 250, 220, 250);
  head->SetZLine(180, 250, 200, 250, 220, 250);
  EXPECT_EQ(Names(z.GetDrawOrder()), (Names_t{"wall", "boss:head", "boss:legs", "counter", "guest", "sign"}));

  // In front of the counter.
  legs->SetZLine(130, 400, 150, 400, 170, 400);
  EXPECT_EQ(Names(z.GetDrawOrder()), (Names_t{"wall", "boss:head", "counter", "boss:legs", "guest", "sign"}));
}

TEST_F(ZOrderTest, PairsLastOneDrawOrder) {
  z.AddPart(Flat("wall", 50, 0, 200), false);
  QCItemPart* body = Part("boss", 130, 250, 150, 250, 170, 250);
  QCItemPart* held = Part("boss", 0, 0, 0, 0, 0, 0, "", "held_items");
  z.AddPart(body, true);
  z.BuildZOrder();
  z.AddPair(body, held);
  z.AddPair(body, held);
  EXPECT_EQ(Names(z.GetDrawOrder()), (Names_t{"wall", "boss", "boss:held_items"}));
  EXPECT_EQ(Names(z.GetDrawOrder()), (Names_t{"wall", "boss"}));
  z.Reset();
  z.BuildZOrder();
  EXPECT_TRUE(z.GetDrawOrder().empty());
}

}  // namespace
