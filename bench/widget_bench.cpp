// The game's widget layer per frame: a 200-widget screen tree (one texture each, a tenth of them with
// a running effect) updated and drawn into an 800 x 600 memory image, and the three preset particle
// emitters at their full particle counts updated and drawn.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/QCDialog.h"
#include "engine/QCEffect.h"
#include "engine/QCParticleRegistry.h"
#include "engine/QCParticleSystem.h"
#include "engine/QCTexture.h"
#include "engine/XmlAccess.h"
#include "exports/EffectCallbacks.h"
#include "exports/ExportTable.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

const char* kEffects = R"(<effects>
  <effect name="pulse"><timers><timer name="t" type="cycle" ftime="1.0" direction="forward">
    <control id="0" starttime="0" endtime="1" type="range" function="DlgFadeIn" active="true"/>
  </timer></timers><messages><message name="go" command="start" timer_id="t"/></messages></effect>
</effects>)";

class Pictures : public QCTextureManager {
 public:
  Pictures() : QCTextureManager(nullptr) {}
  // The sample cafe's sizes: small star 16, big star 32, smoke 24; widget pictures 32.
  Velk::Image* LoadImageFile(const std::string& file) override {
    const int size = file == "img/small.png" ? 16 : file == "img/smoke.png" ? 24 : 32;
    auto* image = new Velk::MemoryImage();
    image->CreateBlank(size, size);
    uint32_t* bits = image->GetArgbBits();
    for (int i = 0; i < size * size; ++i) bits[i] = (i % 3 == 0) ? 0x80FF8040u : 0xFF4080FFu;
    image->OnBitsChanged();
    return image;
  }
};

// The data every benchmark shares, made once.
struct Stage {
  MemoryPak pak;
  Pictures pictures;
  QCParticleRegistry particles;
  IXMLDOMDocument* doc = nullptr;

  Stage() {
    RegisterEffectCallbacks();
    pak.Put("cfg/effect.xml", Utf16File(kEffects));
    for (const char* file : {"img/p.png", "img/small.png", "img/smoke.png"}) pak.Put(file, "x");
    pak.Put("cfg/ui.xml", Utf16File("<root><texture id=\"p\" file=\"img/p.png\"/>"
                                    "<texture id=\"fx_goal_star_small\" file=\"img/small.png\"/>"
                                    "<texture id=\"fx_goal_star_big\" file=\"img/p.png\"/>"
                                    "<texture id=\"fx_work_smoke\" file=\"img/smoke.png\"/></root>"));
    LoadEffectDefinitions();
    doc = CreateAndLoadXmlDocument("cfg\\ui.xml");
    IXMLDOMNode* root = nullptr;
    doc->selectSingleNode(L"root", &root);
    pictures.ReadUiTextures(root);
    root->Release();
  }
};

Stage& GetStage() {
  static Stage* stage = new Stage();
  return *stage;
}

// A screen of 10 panels of 19 pictures: 200 widgets in all, every one visible with a texture.
struct Screen {
  std::unique_ptr<QCDialog> root;
  std::vector<QCCandyWidget*> all;

  Screen() {
    Stage& stage = GetStage();
    root = std::make_unique<QCDialog>(nullptr, nullptr);
    root->Resize(0, 0, 800, 600);
    Add(root.get(), stage);
    for (int p = 0; p < 10; ++p) {
      auto* panel = new QCDialog(root.get(), nullptr);
      panel->Resize(20 + 75 * p, 20 + 20 * p, 200, 300);
      root->BindControl("panel" + std::to_string(p), panel);
      Add(panel, stage);
      for (int i = 0; i < 19; ++i) {
        auto* picture = new QCCandyWidget(panel);
        picture->Resize(5 * i, 14 * i, 32, 32);
        panel->BindControl("pic" + std::to_string(i), picture);
        Add(picture, stage);
      }
    }
    root->SetVisible(true);
    for (size_t i = 0; i < all.size(); i += 10) {
      QCCandyWidget* w = all[i];
      w->mEffect = CreateEffectByName("pulse");
      w->mEffect->SetOwner(w);
      w->mEffect->EffectSendMessage("go");
    }
  }

  void Add(QCCandyWidget* w, Stage& stage) {
    auto* texture = new QCTexture();
    texture->SetImage(stage.pictures.Find("p"));
    const int rect[4] = {0, 0, 32, 32};
    texture->SetSourceRect(rect);
    w->AddTexture(0, texture);
    w->mVisible = true;
    all.push_back(w);
  }
};

void BM_ScreenTreeUpdate(benchmark::State& state) {
  Screen screen;
  for (auto _ : state)
    for (QCCandyWidget* w : screen.all) w->Update();
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(screen.all.size()));
}
BENCHMARK(BM_ScreenTreeUpdate)->Unit(benchmark::kMicrosecond);

void BM_ScreenTreeDraw(benchmark::State& state) {
  Screen screen;
  Velk::MemoryImage target;
  target.CreateBlank(800, 600);
  Velk::Graphics g(&target);
  for (QCCandyWidget* w : screen.all) w->Update();
  for (auto _ : state)
    for (QCCandyWidget* w : screen.all) w->Draw(&g);
}
BENCHMARK(BM_ScreenTreeDraw)->Unit(benchmark::kMicrosecond);

// The goal stars and the worker smoke, run until each holds its full count of particles.
struct Emitters {
  QCEffect effect;
  QCEffect smokeEffect;
  int x = 300, y = 200;
  std::string facing = "tr";
  std::vector<QCParticleSystem*> systems;

  Emitters() {
    GetStage();
    TimerCall call;
    call.owner = &effect;
    FuncOnGoalExpertPSEffect(&call);
    smokeEffect.EffectSetParam(kParamSpawnX, &x);
    smokeEffect.EffectSetParam(kParamSpawnY, &y);
    smokeEffect.EffectSetParam(kParamOrientation, &facing);
    TimerCall smokeCall;
    smokeCall.owner = &smokeEffect;
    FuncOnWorkerWorkingPSEffect(&smokeCall);
    systems = {static_cast<QCParticleSystem*>(effect.EffectGetParam(kParamParticles0)),
               static_cast<QCParticleSystem*>(effect.EffectGetParam(kParamParticles0 + 1)),
               static_cast<QCParticleSystem*>(smokeEffect.EffectGetParam(kParamParticles0))};
    for (int i = 0; i < 300; ++i)
      for (QCParticleSystem* s : systems) s->PSUpdate(0.01f);
  }
  double Live() const {
    size_t n = 0;
    for (QCParticleSystem* s : systems) n += s->LiveParticles().size();
    return static_cast<double>(n);
  }
};

void BM_PresetEmittersUpdate(benchmark::State& state) {
  Emitters emitters;
  for (auto _ : state)
    for (QCParticleSystem* s : emitters.systems) s->PSUpdate(0.01f);
  state.counters["particles"] = emitters.Live();
}
BENCHMARK(BM_PresetEmittersUpdate)->Unit(benchmark::kMicrosecond);

void BM_PresetEmittersUpdateAndDraw(benchmark::State& state) {
  Emitters emitters;
  Velk::MemoryImage target;
  target.CreateBlank(800, 600);
  Velk::Graphics g(&target);
  for (auto _ : state) {
    for (QCParticleSystem* s : emitters.systems) {
      s->PSUpdate(0.01f);
      s->PSDraw(&g);
    }
  }
  state.counters["particles"] = emitters.Live();
}
BENCHMARK(BM_PresetEmittersUpdateAndDraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
