// A full game frame drawn through the 3-D road (the renderer on the software device) and through the
// software road (memory-image blits): an 800 x 600 background, 200 translucent 64 x 64 sprites, 50
// rotated ones and 40 lines of text (strips of glyph-like pixels). For reference the same frame is
// also composed with pixman and with SDL2's software renderer.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

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
    for (int i = 0; i < 200; ++i)
      blit(sprite.get(), (i * 37) % (kW - 64), (i * 53) % (kH - 64), Velk::Rect(0, 0, 64, 64));
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

// Premultiplied copies of the frame's images, as pixman takes them.
struct PixmanImage {
  std::vector<uint32_t> px;
  pixman_image_t* image;
  PixmanImage(const Velk::MemoryImage& from) : px(from.mBits.get(), from.mBits.get() + from.mWidth * from.mHeight) {
    for (uint32_t& p : px) {
      const uint32_t a = p >> 24;
      uint32_t out = a << 24;
      for (int s = 0; s < 24; s += 8) out |= (((p >> s) & 0xFF) * a / 255) << s;
      p = out;
    }
    image = pixman_image_create_bits(PIXMAN_a8r8g8b8, from.mWidth, from.mHeight, px.data(), from.mWidth * 4);
  }
  ~PixmanImage() { pixman_image_unref(image); }
};

void BM_FramePixman(benchmark::State& state) {
  Frame frame;
  PixmanImage background(*frame.background), sprite(*frame.sprite), text(*frame.text), turned(*frame.sprite);
  pixman_image_set_filter(turned.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  std::vector<uint32_t> target(static_cast<size_t>(kW) * kH);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, target.data(), kW * 4);
  auto over = [&](pixman_image_t* src, int x, int y, int w, int h) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, nullptr, dst, 0, 0, 0, 0, x, y, w, h);
  };
  for (auto _ : state) {
    frame.Draw(
        [&](Velk::Image* src, int x, int y, const Velk::Rect& r) {
          over(src == frame.background.get() ? background.image
               : src == frame.text.get()     ? text.image
                                             : sprite.image,
               x, y, r.mWidth, r.mHeight);
        },
        [&](int x, int y, double angle) {
          // Destination to source: about the sprite's centre, placed at (x, y).
          pixman_f_transform inverse;
          pixman_f_transform_init_translate(&inverse, -(x + 32.0), -(y + 32.0));
          pixman_f_transform_rotate(&inverse, nullptr, std::cos(angle), std::sin(angle));
          pixman_f_transform_translate(&inverse, nullptr, 32.0, 32.0);
          pixman_transform transform;
          pixman_transform_from_pixman_f_transform(&transform, &inverse);
          pixman_image_set_transform(turned.image, &transform);
          const int box = static_cast<int>(std::ceil(64 * (std::fabs(std::cos(angle)) + std::fabs(std::sin(angle)))));
          const int bx = std::max(0, x + 32 - box / 2), by = std::max(0, y + 32 - box / 2);
          pixman_image_composite32(PIXMAN_OP_OVER, turned.image, nullptr, dst, bx, by, 0, 0, bx, by,
                                   std::min(box, kW - bx), std::min(box, kH - by));
        });
    benchmark::DoNotOptimize(target.data());
  }
  pixman_image_unref(dst);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FramePixman)->Unit(benchmark::kMillisecond);

void BM_FrameSdl(benchmark::State& state) {
  Frame frame;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  std::vector<uint32_t> target(static_cast<size_t>(kW) * kH);
  SDL_Surface* surface =
      SDL_CreateRGBSurfaceWithFormatFrom(target.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(surface);
  auto texture = [&](const Velk::MemoryImage& from) {
    SDL_Texture* t =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, from.mWidth, from.mHeight);
    SDL_UpdateTexture(t, nullptr, from.mBits.get(), from.mWidth * 4);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    return t;
  };
  SDL_Texture* background = texture(*frame.background);
  SDL_Texture* sprite = texture(*frame.sprite);
  SDL_Texture* text = texture(*frame.text);
  for (auto _ : state) {
    frame.Draw(
        [&](Velk::Image* src, int x, int y, const Velk::Rect& r) {
          const SDL_Rect to{x, y, r.mWidth, r.mHeight};
          SDL_RenderCopy(renderer,
                         src == frame.background.get() ? background
                         : src == frame.text.get()     ? text
                                                       : sprite,
                         nullptr, &to);
        },
        [&](int x, int y, double angle) {
          const SDL_Rect to{x, y, 64, 64};
          SDL_RenderCopyEx(renderer, sprite, nullptr, &to, angle * 180.0 / M_PI, nullptr, SDL_FLIP_NONE);
        });
    SDL_RenderFlush(renderer);
    benchmark::DoNotOptimize(target.data());
  }
  SDL_DestroyTexture(background);
  SDL_DestroyTexture(sprite);
  SDL_DestroyTexture(text);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(surface);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FrameSdl)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
