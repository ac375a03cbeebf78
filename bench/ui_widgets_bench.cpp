// Text labels in a dialog: forty unchanged labels per frame (update and draw) beside the bare
// transformed draws of the same label images, and a label whose variable changes every frame.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "engine/LocTexts.h"
#include "graphics/Graphics.h"
#include "ui/QCLabelImage.h"
#include "ui/QCText.h"
#include "ui/UiTestWorld.h"

namespace {

constexpr int kLabels = 40;

// Forty 180 x 20 labels in four columns, each with its text already rendered.
class LabelScreen {
 public:
  LabelScreen() {
    std::string xml = R"(<element type="qcdialog" name="d" width="800" height="600">)";
    for (int i = 0; i < kLabels; ++i) {
      xml += "<element type=\"qctext\" name=\"t" + std::to_string(i) + "\" x=\"" + std::to_string(i % 4 * 200) +
             "\" y=\"" + std::to_string(i / 4 * 30) + "\" width=\"180\" height=\"20\" visible=\"true\"/>";
    }
    dialog = world.Build(xml + "</element>");
    for (int i = 0; i < kLabels; ++i) {
      labels.push_back(dynamic_cast<QCText*>(dialog->FindChild("t" + std::to_string(i))));
      labels.back()->SetTextAttr(TextNormal, &world.font, Velk::Color(0, 0, 0), Velk::Color(0, 0, 0));
      labels.back()->SetText(L"Label number " + std::to_wstring(i));
    }
    Frame();
  }
  void Frame() {
    world.Update();
    world.Manager()->DrawScreen(nullptr);
  }

  UiTestWorld world;
  QCDialog* dialog = nullptr;
  std::vector<QCText*> labels;
};

void BM_FortyUnchangedLabels(benchmark::State& state) {
  LabelScreen screen;
  const uint64_t renders = QCLabelImage::RenderCount();
  for (auto _ : state) screen.Frame();
  state.counters["renders"] = static_cast<double>(QCLabelImage::RenderCount() - renders);
  state.SetItemsProcessed(state.iterations() * kLabels);
}

// What the frame cannot go below: the forty label images drawn through their matrices.
void BM_FortyBareTransformedDraws(benchmark::State& state) {
  LabelScreen screen;
  std::vector<Velk::MemoryImage*> images;
  Velk::Graphics g(&screen.world.frame);
  g.SetImageColorize(true);
  for (auto _ : state) {
    for (QCText* label : screen.labels) {
      Velk::Matrix3x3 matrix;
      label->GetTransform(matrix);
      g.DrawImageTransformed(label->GetLabelImage(), matrix, Velk::Rect(0, 0, 180, 20), 0, 0);
    }
  }
  state.SetItemsProcessed(state.iterations() * kLabels);
}

void BM_LabelWithAChangingVariable(benchmark::State& state) {
  LabelScreen screen;
  QCText* label = screen.labels[0];
  label->SetText(L"%bench_a% of %bench_b% in %bench_c%");
  SetTextVar("bench_b", L"100");
  SetTextVar("bench_c", L"cafe");
  int value = 0;
  const uint64_t renders = QCLabelImage::RenderCount();
  for (auto _ : state) {
    SetTextVar("bench_a", std::to_wstring(++value));
    screen.Frame();
  }
  state.counters["renders_per_change"] =
      static_cast<double>(QCLabelImage::RenderCount() - renders) / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_FortyUnchangedLabels);
BENCHMARK(BM_FortyBareTransformedDraws);
BENCHMARK(BM_LabelWithAChangingVariable);
BENCHMARK_MAIN();
