// A full game frame drawn through the 3-D road (the renderer on the software device) and through the
// software road (memory-image blits): an 800 x 600 background, 200 translucent 64 x 64 sprites, 50
// rotated ones and 40 lines of text (strips of glyph-like pixels).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "common/Matrix3x3.h"
#include "graphics/D3DInterface.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayHost.h"
#include "graphics/MemoryImage.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/headless/HeadlessBackend.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;

class FrameHost : public Velk::DisplayHost {
public:
  Velk::DDInterface* mDisplay = nullptr;
  uint8_t mSat[512];
  FrameHost() {
    for (int i = 0; i < 512; ++i) mSat[i] = static_cast<uint8_t>(std::min(i, 255));
  }
  void RegisterMemoryImage(Velk::MemoryImage*) override {}
  void UnregisterMemoryImage(Velk::MemoryImage* image) override { ReleaseImageTextures(image); }
  void ReleaseImageTextures(Velk::MemoryImage* image) override {
    if (mDisplay) mDisplay->ForgetImageTextures(image);
  }
  bool ReadBackTextures(Velk::MemoryImage*, uint32_t*) override { return false; }
  bool Is3DModeOn() override { return mDisplay != nullptr; }
  Velk::NativeDisplay* GetNativeDisplay() override { return mDisplay; }
  const uint8_t* GetSaturationTable() override { return mSat; }
};

std::unique_ptr<Velk::MemoryImage> MakeImage(Velk::MemoryImageHost* host, int w, int h,
                                             uint32_t (*pixel)(int x, int y)) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = pixel(x, y);
  auto image = std::make_unique<Velk::MemoryImage>(host);
  image->SetPixels(px.data(), w, h, true);
  return image;
}

uint32_t Background(int x, int y) { return 0xFF000000u | ((x * 0x010203u + y * 0x030102u) & 0xFFFFFF); }

// A disc with a soft edge on a transparent square.
uint32_t Sprite(int x, int y) {
  const double d = std::hypot(x - 31.5, y - 31.5);
  const int a = d < 26 ? 255 : d < 32 ? static_cast<int>((32 - d) * 42) : 0;
  return static_cast<uint32_t>(a) << 24 | 0x3080C0u;
}

// Glyph-like runs: short opaque strokes with anti-aliased ends, mostly transparent.
uint32_t TextLine(int x, int y) {
  const int cell = x % 9;
  const bool stroke = y >= 2 && y < 12 && (cell == 1 || cell == 5 || (y == 6 && cell < 7));
  return stroke ? 0xFFFFFFFFu : (cell == 0 && y % 3 == 0 ? 0x80FFFFFFu : 0u);
}

struct Frame {
  FrameHost host;
  std::unique_ptr<Velk::MemoryImage> background = MakeImage(&host, kW, kH, Background);
  std::unique_ptr<Velk::MemoryImage> sprite = MakeImage(&host, 64, 64, Sprite);
  std::unique_ptr<Velk::MemoryImage> text = MakeImage(&host, 540, 14, TextLine);

  template <typename Blit, typename Rotated>
  void Draw(Blit blit, Rotated rotated) {
    blit(background.get(), 0, 0, Velk::Rect(0, 0, kW, kH));
    for (int i = 0; i < 200; ++i) blit(sprite.get(), (i * 37) % (kW - 64), (i * 53) % (kH - 64), Velk::Rect(0, 0, 64, 64));
    for (int i = 0; i < 50; ++i) rotated((i * 71) % (kW - 64), (i * 29) % (kH - 64), 0.1 * i);
    for (int i = 0; i < 40; ++i) blit(text.get(), 20, 10 + i * 14, Velk::Rect(0, 0, 540, 14));
  }
};

void BM_Frame3D(benchmark::State& state) {
  Velk::Backend::Install(std::make_unique<Velk::HeadlessBackend>());
  Velk::DDrawSettings::Reset();
  Velk::DDrawSettings::Get().desktopBits = 32;
  Frame frame;
  auto renderer = std::make_unique<Velk::D3DInterface>();
  Velk::D3DInterface* d3d = renderer.get();
  Velk::DDInterface display(&frame.host, std::move(renderer));
  if (display.Init(nullptr, true) != Velk::DDInterface::RESULT_OK || !display.mIs3D) {
    state.SkipWithError("no 3-D display");
    return;
  }
  frame.host.mDisplay = &display;
  const Velk::Rect clip(0, 0, kW, kH);
  for (auto _ : state) {
    frame.Draw(
        [&](Velk::Image* src, int x, int y, const Velk::Rect& r) {
          d3d->Blit(src, static_cast<float>(x), static_cast<float>(y), r, Velk::Color::White, 0, false);
        },
        [&](int x, int y, double angle) {
          d3d->BlitRotated(frame.sprite.get(), static_cast<float>(x), static_cast<float>(y), clip, Velk::Color::White,
                           0, angle, 32, 32, Velk::Rect(0, 0, 64, 64));
        });
    d3d->EndSceneIfBegun();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  display.Cleanup();
  frame.host.mDisplay = nullptr;
}
BENCHMARK(BM_Frame3D)->Unit(benchmark::kMillisecond);

void BM_FrameSoftware(benchmark::State& state) {
  Frame frame;
  Velk::MemoryImage target(&frame.host);
  target.CreateBlank(kW, kH);
  const Velk::Rect clip(0, 0, kW, kH);
  for (auto _ : state) {
    frame.Draw(
        [&](Velk::Image* src, int x, int y, const Velk::Rect& r) { target.Blit(src, x, y, r, Velk::Color::White, 0); },
        [&](int x, int y, double angle) {
          target.BlitRotated(frame.sprite.get(), static_cast<float>(x), static_cast<float>(y), Velk::Rect(0, 0, 64, 64),
                             clip, Velk::Color::White, 0, angle, 32, 32);
        });
    benchmark::DoNotOptimize(target.mBits.get());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameSoftware)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
