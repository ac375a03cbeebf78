#include "scene/NavGraph.h"

#include <gtest/gtest.h>

#include <cmath>

#include "scene/SceneTestKit.h"

using SceneTesting::XmlDoc;

namespace {

class NavGraphTest : public ::testing::Test {
 protected:
  // A graph element from its points ("name x y [direction]") and edges ("a b").
  NavGraph Load(const std::string& body) {
    XmlDoc doc(pak, "<root><graphs><graph name='boss'>" + body + "</graph></graphs></root>", L"root/graphs/graph");
    NavGraph graph;
    graph.LoadXml(doc.Node());
    return graph;
  }
  static std::vector<std::pair<int, int>> Route(const NavGraph& graph) {
    std::vector<std::pair<int, int>> route;
    for (const NavSegment& s : graph.Segments()) route.emplace_back(s.x2, s.y2);
    return route;
  }
  MemoryPak pak;
};

TEST_F(NavGraphTest, EqualRoutesPreferTheLaterRelaxedAndTheLongerChain) {
  // S-A-T and S-B-T both 20 long; A sorts before B, so B relaxes T last.
  NavGraph twoWays = Load(R"(<points><point name='S' x='0' y='0'/><point name='A' x='10' y='0'/>
      <point name='B' x='0' y='10'/><point name='T' x='10' y='10'/></points>
      <edges><edge p1='S' p2='A'/><edge p1='A' p2='T'/><edge p1='S' p2='B'/><edge p1='B' p2='T'/></edges>)");
  ASSERT_TRUE(twoWays.FindPath("S", "T"));
  EXPECT_EQ(Route(twoWays), (std::vector<std::pair<int, int>>{{0, 10}, {10, 10}}));

  // Three edges of 10 against one edge of 30: the chain relabels T in a later wave.
  NavGraph chain = Load(R"(<points><point name='S' x='0' y='0'/><point name='P' x='10' y='0'/>
      <point name='Q' x='20' y='0'/><point name='T' x='30' y='0'/></points>
      <edges><edge p1='S' p2='T'/><edge p1='S' p2='P'/><edge p1='P' p2='Q'/><edge p1='Q' p2='T'/></edges>)");
  ASSERT_TRUE(chain.FindPath("S", "T"));
  EXPECT_EQ(chain.Segments().size(), 3u);

  // A strictly shorter route always wins, and the segments carry the end point's facing.
  NavGraph shortcut = Load(R"(<points><point name='S' x='0' y='0'/><point name='M' x='50' y='40' direction='r'/>
      <point name='T' x='100' y='0' direction='br'/></points>
      <edges><edge p1='S' p2='M'/><edge p1='M' p2='T'/><edge p1='T' p2='S'/></edges>)");
  ASSERT_TRUE(shortcut.FindPath("S", "T"));
  ASSERT_EQ(shortcut.Segments().size(), 1u);
  EXPECT_EQ(shortcut.Segments()[0].direction, "br");
  EXPECT_FLOAT_EQ(shortcut.Segments()[0].length, 100.0f);
}

TEST_F(NavGraphTest, SearchFailures) {
  NavGraph graph = Load(R"(<points><point name='S' x='0' y='0'/><point name='T' x='9' y='0'/>
      <point name='Far' x='50' y='50'/></points><edges><edge p1='S' p2='T'/></edges>)");
  EXPECT_FALSE(graph.FindPath("S", "Far")) << "unreachable";
  EXPECT_FALSE(graph.FindPath("S", "S")) << "already there";
  EXPECT_FALSE(graph.FindPath("Nowhere", "T")) << "a start that is no point";
  EXPECT_FALSE(graph.FindPath("S", "Nowhere"));
  EXPECT_TRUE(graph.Segments().empty());

  NavGraph broken = Load(R"(<points><point name='S' x='0' y='0'/><point name='T' x='9' y='0'/></points>
      <edges><edge p1='S' p2='T'/><edge p1='T' p2='Ghost'/></edges>)");
  EXPECT_FALSE(broken.FindPath("S", "T")) << "an edge to an unknown point fails every search";
}

TEST_F(NavGraphTest, PointsAtOneSpotEndTheSearch) {
  // U and V share a spot: zero-length edges relabel each other on equal distance.
  NavGraph graph = Load(R"(<points><point name='U' x='5' y='5'/><point name='V' x='5' y='5'/>
      <point name='W' x='9' y='5'/></points><edges><edge p1='U' p2='V'/><edge p1='V' p2='W'/></edges>)");
  // The only routes run over the edges as given, the zero-length one included.
  using RouteList = std::vector<std::pair<int, int>>;
  ASSERT_TRUE(graph.FindPath("W", "U"));
  EXPECT_EQ(Route(graph), (RouteList{{5, 5}, {5, 5}}));
  ASSERT_TRUE(graph.FindPath("U", "W"));
  EXPECT_EQ(Route(graph), (RouteList{{5, 5}, {9, 5}}));
  ASSERT_TRUE(graph.FindPath("V", "U"));
  EXPECT_EQ(Route(graph), (RouteList{{5, 5}}));
  // Walking a path over a zero-length segment gives a finite position on it.
  NavGraph pair = Load(R"(<points><point name='A' x='5' y='5'/><point name='B' x='5' y='5'/></points>
      <edges><edge p1='A' p2='B'/></edges>)");
  ASSERT_TRUE(pair.FindPath("A", "B"));
  int x = -1, y = -1, dx = 7, dy = 7;
  EXPECT_TRUE(pair.Walk(0.0f, 10.0f, x, y, dx, dy));
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 5);
  EXPECT_FALSE(pair.Walk(1.0f, 10.0f, x, y, dx, dy));
}

TEST_F(NavGraphTest, WalkingByDistance) {
  NavGraph graph = Load(R"(<points><point name='S' x='0' y='0'/><point name='M' x='30' y='40' direction='b'/>
      <point name='T' x='30' y='0' direction='br'/><point name='U' x='60' y='0'/></points>
      <edges><edge p1='S' p2='M'/><edge p1='M' p2='T'/><edge p1='T' p2='U'/></edges>)");
  ASSERT_TRUE(graph.FindPath("S", "T"));
  int x = 0, y = 0, dx = 0, dy = 0;
  // 25 of the first 50: half way, truncated; the direction is the raw delta.
  EXPECT_TRUE(graph.Walk(2.5f, 10.0f, x, y, dx, dy));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(15, 20));
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(30, 40));
  // Exactly the first segment's end is still on it.
  EXPECT_TRUE(graph.Walk(5.0f, 10.0f, x, y, dx, dy));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(30, 40));
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(30, 40));
  // Past the end: the last point, facing "br".
  EXPECT_FALSE(graph.Walk(9.1f, 10.0f, x, y, dx, dy));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(30, 0));
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(1, 1));

  // An arrival at a point without a facing leaves the caller's direction.
  ASSERT_TRUE(graph.FindPath("T", "U"));
  dx = 4;
  dy = -4;
  EXPECT_FALSE(graph.Walk(100.0f, 10.0f, x, y, dx, dy));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(60, 0));
  EXPECT_EQ(std::make_pair(dx, dy), std::make_pair(4, -4));

  NavGraph empty;
  x = y = 3;
  EXPECT_FALSE(empty.Walk(1.0f, 1.0f, x, y, dx, dy));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0));
}

TEST_F(NavGraphTest, LoadingAndComposing) {
  XmlDoc scene(pak, R"(<root><graphs>
      <graph name='boss'><points><point name='old' x='1' y='1'/></points></graph>
      <graph name='worker'><points><point name='w' x='1' y='1'/></points></graph>
      <graph name='boss'><points><point name='S' x='0' y='0'/><point name='S' x='99' y='99'/>
        <point name='table' x='10' y='10'/></points><edges><edge p1='S' p2='table'/></edges></graph>
    </graphs></root>)",
               L"root");
  Navigator nav("boss");
  nav.LoadBaseGraphs(scene.Node());
  // Object points: a pickable "table" (a base point of that name wins) and a "counter" point.
  PickableMap.clear();
  QCPickItem table;
  table.mName = "table";
  table.mPoints.push_back({"boss", "t", 100, 100});
  QCPickItem counter;
  counter.mName = "counter";
  counter.mPosX = 40;
  counter.mOffsX = 2;
  counter.mPoints.push_back({"worker", "r", 0, 0});
  counter.mPoints.push_back({"boss", "l", 5, 7});
  PickableMap = {{"counter", &counter}, {"table", &table}};
  nav.AddObjectPoints("boss");
  XmlDoc level(pak, R"(<level><graphs><graph name='boss'><points><point name='table' x='50' y='50'/></points>
      <edges><edge p1='table' p2='counter'/><edge p1='S' p2='table'/></edges></graph></graphs></level>)",
               L"level");
  nav.LoadExtraGraphs(level.Node());
  PickableMap.clear();

  const NavGraph& working = nav.Working();
  EXPECT_FALSE(working.HasPoint("old")) << "a second graph element replaces the first";
  EXPECT_FALSE(working.HasPoint("w"));
  int x = 0, y = 0;
  ASSERT_TRUE(nav.GetPointPosition("S", x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(0, 0)) << "the first point of a name stays";
  ASSERT_TRUE(nav.GetPointPosition("table", x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(10, 10)) << "base beats extra and object points";
  ASSERT_TRUE(nav.GetPointPosition("counter", x, y));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(47, 7)) << "pos + offs + point";
  EXPECT_EQ(working.Edges().size(), 2u) << "the extra S-table edge joins names already joined";

  EXPECT_FALSE(nav.StartPath("counter", 10.0f)) << "no current point yet";
  ASSERT_TRUE(nav.SetCurrentPoint("S"));
  EXPECT_FALSE(nav.SetCurrentPoint("nowhere"));
  EXPECT_EQ(nav.GetCurrentPoint(), "S");
  ASSERT_TRUE(nav.StartPath("counter", 10.0f));
  int dx = 0, dy = 0;
  EXPECT_TRUE(nav.Advance(1.0f, x, y, dx, dy));
  EXPECT_EQ(std::make_pair(x, y), std::make_pair(7, 7));

  nav.ClearBase();
  EXPECT_TRUE(nav.GetCurrentPoint().empty());
  EXPECT_FALSE(nav.Working().HasPoint("S"));
}

}  // namespace
