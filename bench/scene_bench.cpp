// The scene's per-frame and per-level costs: the draw order of a full scene with a walker, the static
// ranking at level load, a path search, and one hover pass over the pickables.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/XmlAccess.h"
#include "scene/NavGraph.h"
#include "scene/QCBoard_Game.h"
#include "scene/QCItem.h"
#include "scene/QCItemPart.h"
#include "scene/QCPickItem.h"
#include "scene/QCZOrderManager.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

// 150 static parts in rows across the play area, each 60 pixels wide with a slight slope, and a
// walker of 6 parts standing among them.
struct Scene {
  std::vector<std::unique_ptr<QCItem>> items;
  std::vector<QCItemPart*> statics;
  std::vector<QCItemPart*> walker;

  Scene() {
    for (int i = 0; i < 150; ++i) {
      const int x = (i % 15) * 52;
      const int y = 40 + (i / 15) * 55;
      statics.push_back(Add("s" + std::to_string(i), x, y, x + 30, y + 3, x + 60, y));
    }
    for (int i = 0; i < 6; ++i) walker.push_back(Add("boss", 380, 300, 400, 300, 420, 300));
  }
  QCItemPart* Add(const std::string& name, int x0, int y0, int x1, int y1, int x2, int y2) {
    items.push_back(std::make_unique<QCItem>());
    items.back()->mName = name;
    auto* part = new QCItemPart(items.back().get());
    items.back()->mParts.push_back(part);
    part->SetZLine(x0, y0, std::min(x1, 799), y1, std::min(x2, 799), y2);
    return part;
  }
  void Register(QCZOrderManager& z) {
    for (QCItemPart* part : statics) z.AddPart(part, false);
    for (QCItemPart* part : walker) z.AddPart(part, true);
  }
};

void BM_GetDrawOrder(benchmark::State& state) {
  Scene scene;
  QCZOrderManager z;
  scene.Register(z);
  z.BuildZOrder();
  for (auto _ : state) benchmark::DoNotOptimize(z.GetDrawOrder().data());
  state.counters["parts"] = static_cast<double>(z.GetDrawOrder().size());
}
BENCHMARK(BM_GetDrawOrder)->Unit(benchmark::kMicrosecond);

void BM_BuildZOrder(benchmark::State& state) {
  Scene scene;
  QCZOrderManager z;
  for (auto _ : state) {
    z.Reset();
    scene.Register(z);
    z.BuildZOrder();
    benchmark::DoNotOptimize(z.StaticOrder().data());
  }
}
BENCHMARK(BM_BuildZOrder)->Unit(benchmark::kMillisecond);

// 60 points on a 10 x 6 grid with 100 of its neighbour edges; corner to corner.
void BM_FindPath(benchmark::State& state) {
  auto name = [](int c, int r) { return "p" + std::to_string(r * 10 + c); };
  std::string xml = "<graph name='boss'><points>";
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 10; ++c)
      xml += "<point name='" + name(c, r) + "' x='" + std::to_string(50 + c * 70) + "' y='" +
             std::to_string(50 + r * 90) + "' direction='b'/>";
  xml += "</points><edges>";
  int edges = 0;
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 10; ++c) {
      if (c < 9 && edges < 100) xml += "<edge p1='" + name(c, r) + "' p2='" + name(c + 1, r) + "'/>", ++edges;
      if (r < 5 && edges < 100) xml += "<edge p1='" + name(c, r) + "' p2='" + name(c, r + 1) + "'/>", ++edges;
    }
  xml += "</edges></graph>";
  MemoryPak pak;
  pak.Put("cfg\\graph.xml", Utf16File(xml));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\graph.xml");
  IXMLDOMNode* node = nullptr;
  doc->selectSingleNode(L"graph", &node);
  NavGraph graph;
  graph.LoadXml(node);
  node->Release();
  doc->Release();
  if (graph.Points().size() != 60 || graph.Edges().size() != 100) state.SkipWithError("graph not built");
  for (auto _ : state) benchmark::DoNotOptimize(graph.FindPath("p0", "p59"));
}
BENCHMARK(BM_FindPath)->Unit(benchmark::kMicrosecond);

class BenchBoard : public QCBoard_Game {
 public:
  void StartLevel() override {}
  void EndLevel() override {}
  void ResetLevel() override {}
  void ReadLevel(IXMLDOMNode*, IXMLDOMNode*) override {}
  void ResetItems() override {}
  void OnObjectClicked(QCPickItem*) override {}
  void PerFrame() override {}
  void LoadConfigs(IXMLDOMNode*) override {}
  void ClearConfigs() override {}
  void OnMoneyChanged() override {}
  void OnStageAdvanced() override {}
  bool DispatchEvent(QCEventRecord*) override { return false; }
  void OnPause() override {}
  void OnResume() override {}
};

// 40 visible pickables, each a 12-point region (a rough circle of radius 40) on an 8 x 5 grid; the
// mouse over one of them.
void BM_HoverPass(benchmark::State& state) {
  BenchBoard board;
  board.mRunning = true;
  board.SetVisible(true);
  std::vector<std::unique_ptr<QCPickItem>> items;
  for (int i = 0; i < 40; ++i) {
    auto item = std::make_unique<QCPickItem>();
    item->mName = "pick" + std::to_string(i);
    item->mActive = item->mVisible = true;
    const int cx = 50 + (i % 8) * 100;
    const int cy = 60 + (i / 8) * 120;
    for (int k = 0; k < 12; ++k) {
      const double a = k * 3.14159265 / 6.0;
      item->mRegionPoints.push_back(
          POINT{cx + static_cast<int>(40 * std::cos(a)), cy + static_cast<int>(40 * std::sin(a))});
    }
    item->mRegion = CreatePolygonRgn(item->mRegionPoints.data(), 12, WINDING);
    PickableMap.emplace(item->mName, item.get());
    items.push_back(std::move(item));
  }
  for (auto _ : state) board.MouseMove(455, 305);
  if (!board.mHovered) state.SkipWithError("nothing hovered");
  PickableMap.clear();
}
BENCHMARK(BM_HoverPass)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
