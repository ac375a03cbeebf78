// The game's application on the sample cafe, headless (or in a real window with VELK_BACKEND=sdl) and
// on the real clock: start-up to the first presented frame, level loads, one game frame with and
// without its logic update, the share of a processor the running game takes at a still
// main menu and while day 1 plays, and the memory the process holds at its peak. The program sits beside
// the built archives (as the game does) and keeps its settings and pref.dat in a temporary home. The road
// is the game's own choice: the 3-D road, or the memory road with VELK_FORCE_SOFTWARE=1.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cafe/QCBoard_Game3.h"
#include "cafe/QCEngine3.h"
#include "screens/QCBoard_Splash.h"
#include "widgets/WidgetManager.h"
#include "platform/clock/Clock.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/process/ProcessInfo.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the main loop until `done`; false when it shut down first.
template <class Done>
bool RunUntil(QCEngine3& game, Done done) {
  while (!done()) {
    bool updated = false;
    if (game.mShutdown) return false;
    game.RunLoopStep(&updated);
  }
  return true;
}

// As the program entry starts the game, up to its main loop.
QCEngine3* StartGame() {
  auto* game = new QCEngine3();
  game->Init();
  if (game->mShutdown) return game;
  game->StartLoadingThread();
  game->mRunning = true;
  game->ResetTiming(false);
  return game;
}

void EndGame(QCEngine3* game) {
  game->Shutdown();
  game->mRunning = false;
  game->WaitForLoader();
  delete game;
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
}

// The first frame, then the splash's first frame once the loading thread has handed the screens over.
void BM_StartupToFirstFrame(benchmark::State& state) {
  double splashMs = 0;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    QCEngine3* game = StartGame();
    const uint64_t frames = Velk::DDrawScreen::FrameCount();
    if (!RunUntil(*game, [&] { return Velk::DDrawScreen::FrameCount() > frames; }))
      state.SkipWithError("no first frame");
    state.SetIterationTime(MillisecondsSince(start) / 1000.0);
    const uint64_t loadedFrames = Velk::DDrawScreen::FrameCount();
    RunUntil(*game, [&] { return game->mLoadingFinishHandled && Velk::DDrawScreen::FrameCount() > loadedFrames; });
    splashMs += MillisecondsSince(start);
    state.PauseTiming();
    EndGame(game);
    state.ResumeTiming();
  }
  state.counters["splash_first_frame_ms"] = benchmark::Counter(splashMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartupToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

// One game for the level and frame benchmarks, past its splash, with the peak memory after its
// start-up.
double gStartupMb = 0;
double gDayOneMb = 0;

QCEngine3& SharedGame() {
  static QCEngine3* game = [] {
    QCEngine3* started = StartGame();
    RunUntil(*started, [&] { return started->mLoadingFinishHandled.load(); });
    gStartupMb = PeakMegabytes();
    started->mSplash->SetVisible(false);
    return started;
  }();
  return *game;
}

double CpuMilliseconds(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The main loop on the real clock for two seconds: CPU time over wall time of the main thread and of
// the whole process (the loading, cursor and sound threads too), in per cent of one processor.
void MeasureCpuShare(benchmark::State& state, QCEngine3& game) {
  double thread = 0, process = 0, wall = 0;
  for (auto _ : state) {
    const double thread0 = CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    const double process0 = CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    const Clock::time_point start = Clock::now();
    RunUntil(game, [&] { return MillisecondsSince(start) >= 2000; });
    wall += MillisecondsSince(start);
    thread += CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - thread0;
    process += CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - process0;
  }
  state.counters["main_thread_percent"] = 100 * thread / wall;
  state.counters["process_percent"] = 100 * process / wall;
}

// The main menu as start-up leaves it, nothing on it changing.
void BM_CpuShareMainMenu(benchmark::State& state) { MeasureCpuShare(state, SharedGame()); }
BENCHMARK(BM_CpuShareMainMenu)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// From the start of the load to the hand-over on the main thread.
double LoadLevel(QCEngine3& game, int level, int mode) {
  const Clock::time_point start = Clock::now();
  game.mBoard->StartLevelLoading(level, mode);
  RunUntil(game, [&] { return !game.mBoard->IsLevelLoading(); });
  return MillisecondsSince(start);
}

// The first load of the run is cold; the timed ones share the textures an earlier load made.
void BM_LevelLoad(benchmark::State& state, int level, int mode) {
  QCEngine3& game = SharedGame();
  state.counters["first_load_ms"] = LoadLevel(game, level, mode);
  for (auto _ : state) state.SetIterationTime(LoadLevel(game, level, mode) / 1000.0);
}
BENCHMARK_CAPTURE(BM_LevelLoad, l1, 1, 0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_LevelLoad, l36, 36, 0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_LevelLoad, l59, 59, 0)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3);
BENCHMARK_CAPTURE(BM_LevelLoad, e3, 3, 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3);

// The shared game in day 1, after 20 s of play.
QCEngine3& DayOne() {
  static QCEngine3* game = [] {
    QCEngine3& shared = SharedGame();
    LoadLevel(shared, 1, 0);
    gDayOneMb = PeakMegabytes();
    const DWORD updates = shared.mUpdateCount + 2000;
    RunUntil(shared, [&] { return Velk::TickDiff(shared.mUpdateCount, updates) >= 0; });
    return &shared;
  }();
  return *game;
}

// One whole 800 x 600 frame of day 1, drawn by the widget manager and presented.
void BM_GameFrame(benchmark::State& state) {
  QCEngine3& game = DayOne();
  for (auto _ : state) {
    game.mWidgetManager->InvalidateAll();
    game.mWidgetManager->DrawScreen(&game);
    game.PresentFrame(nullptr);
  }
}
BENCHMARK(BM_GameFrame)->Unit(benchmark::kMillisecond)->Repetitions(3);

// A whole loop turn of day 1 as the running game has it: one logic update, the frame drawn and
// presented. With VELK_BACKEND=sdl on an X screen the present is the real one to the window.
void BM_GameFrameWithUpdate(benchmark::State& state) {
  QCEngine3& game = DayOne();
  for (auto _ : state) {
    game.RunLogicUpdate();
    game.mWidgetManager->InvalidateAll();
    game.mWidgetManager->DrawScreen(&game);
    game.PresentFrame(nullptr);
  }
}
BENCHMARK(BM_GameFrameWithUpdate)->Unit(benchmark::kMillisecond)->Repetitions(3);

// Day 1 playing on by itself.
void BM_CpuShareDayOne(benchmark::State& state) { MeasureCpuShare(state, DayOne()); }
BENCHMARK(BM_CpuShareDayOne)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

// The process's peak resident size after start-up, after day 1 loaded, and after 1,000 more logic
// updates of day 1.
void BM_PeakMemory(benchmark::State& state) {
  QCEngine3& game = DayOne();
  for (auto _ : state) {
    const DWORD updates = game.mUpdateCount + 1000;
    RunUntil(game, [&] { return Velk::TickDiff(game.mUpdateCount, updates) >= 0; });
  }
  state.counters["after_startup_mb"] = gStartupMb;
  state.counters["day_1_loaded_mb"] = gDayOneMb;
  state.counters["after_1000_updates_mb"] = PeakMegabytes();
}
BENCHMARK(BM_PeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  // A home of its own: the player's settings and profiles are never touched.
  char folder[] = "/tmp/game_bench_XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  const std::string home = folder;
  for (const char* sub : {"/data", "/config", "/run"}) std::filesystem::create_directory(home + sub);
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (home + "/run").c_str(), 1);
  // Headless unless the run asks for real windows (VELK_BACKEND=sdl with DISPLAY set).
  setenv("VELK_BACKEND", "headless", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  const char* program[] = {Velk::GetProgramPath().c_str()};
  Velk::SetCommandLine(1, program);

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(home);
  return 0;
}
