// One logic frame of what the first day adds: the tutorial's per-frame check and the mini-game's
// tray with all sixteen tokens sliding in (1 px a frame, so they never come to rest), and the same
// tray once everything rests and only the chain count runs. The board's budget is 0.5 ms a frame.
#include <benchmark/benchmark.h>

#include "cafe/QCMiniGame.h"
#include "cafe/QCTutorial.h"
#include "cafe/QCTutorialHud.h"
#include "engine/QCDeadline.h"
#include "engine/XmlAccess.h"
#include "support/MemoryPak.h"
#include "support/XmlFixture.h"

namespace {

class Hud : public QCTutorialHud {
 public:
  void ShowTutorialControl(int, bool) override {}
  bool IsTutorialControlVisible(int) const override { return true; }
  void ShowTutorBackground(bool) override {}
};

class NoRewards : public QCMiniGameRewards {
 public:
  void ApplyMiniGameReward(int, int) override {}
};

// 100 px/s: one pixel a 10 ms frame.
void ReadSpeed(QCMiniGame& game) {
  MemoryPak pak;
  pak.Put("cfg\\l1.xml", Utf16File(R"(<level><partparams speed="100"/></level>)"));
  IXMLDOMDocument* doc = CreateAndLoadXmlDocument("cfg\\l1.xml");
  IXMLDOMNode* level = nullptr;
  if (doc) doc->selectSingleNode(L"level", &level);
  game.ReadLevel(level);
  if (level) level->Release();
  if (doc) doc->Release();
}

void FillTray(QCMiniGame& game) {
  game.Reset();
  for (int i = 0; i < QCMiniGame::kMaxElements; ++i) game.AddElement(i % QCMiniGame::kKinds, true, false);
}

void TrayFrame(benchmark::State& state) {
  const bool resting = state.range(0) != 0;
  NoRewards rewards;
  QCMiniGame game(nullptr, nullptr, &rewards, nullptr);
  game.SetBounds(0, 0, 560, 92);
  for (int i = 0; i < QCMiniGame::kMaxElements; ++i) {
    auto* token = new QCCandyWidget(&game);
    token->SetBounds(0, 0, 33, 32);
    game.BindControl("tray" + std::to_string(i), token);
    game.BindControl("effect_ele" + std::to_string(i), new QCCandyWidget(&game));
  }
  ReadSpeed(game);
  Hud hud;
  QCTutorial tutorial(&hud, nullptr, &game);
  tutorial.StartForDay(1);
  FillTray(game);
  SetGameDt(0.01f);
  for (int i = 0; resting && i < 1000; ++i) game.Update();
  int frames = 0;
  for (auto _ : state) {
    AdvanceGameClock();
    tutorial.Update();
    game.Update();
    if (!resting && ++frames == 500) {  // before the first token arrives
      state.PauseTiming();
      FillTray(game);
      frames = 0;
      state.ResumeTiming();
    }
  }
  SetGameDt(0.0f);
}

}  // namespace

BENCHMARK(TrayFrame)->ArgName("resting")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
