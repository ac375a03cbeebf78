// The reference for the game's share of a processor in a real window: a minimal SDL2 program that
// uploads an 800 x 600 picture into a streaming texture and presents it 100 times a second, as the
// game presents at most 100 frames a second. Run it on the same X screen as the game
// (bench/xvfb_cpu_share runs both); its counter `process_percent` is CPU time over wall time.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kFramesPerSecond = 100;
constexpr int kSeconds = 20;

double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_SdlUploadAndPresent(benchmark::State& state) {
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError(SDL_GetError());
    return;
  }
  SDL_Window* window = SDL_CreateWindow("present", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth, kHeight, 0);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
  SDL_Texture* texture =
      renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight)
               : nullptr;
  std::vector<uint32_t> picture(static_cast<size_t>(kWidth) * kHeight);
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    if (!texture) {
      state.SkipWithError(SDL_GetError());
      break;
    }
    const double cpu0 = ProcessCpuMs();
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kFramesPerSecond * kSeconds; ++frame) {
      for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint32_t>(i + frame) * 0x010101u;
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
      }
      SDL_UpdateTexture(texture, nullptr, picture.data(), kWidth * 4);
      SDL_RenderCopy(renderer, texture, nullptr, nullptr);
      SDL_RenderPresent(renderer);
      // Paced to the frame's start, as a loop that sleeps the rest of each 10 ms.
      const auto due = start + std::chrono::milliseconds(1000 * (frame + 1) / kFramesPerSecond);
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
      if (left.count() > 0) SDL_Delay(static_cast<Uint32>(left.count()));
    }
    wall += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cpu += ProcessCpuMs() - cpu0;
  }
  if (wall > 0) state.counters["process_percent"] = 100 * cpu / wall;
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
BENCHMARK(BM_SdlUploadAndPresent)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
