// Software blits of the memory image on an 800 x 600 destination, beside SDL2's and pixman's
// composites and memcpy of the same bytes.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayHost.h"
#include "graphics/MemoryImage.h"
#include "graphics/MemoryImageHost.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/headless/HeadlessBackend.h"

namespace {

constexpr int kW = 800;
constexpr int kH = 600;

class BenchHost : public Velk::MemoryImageHost {
 public:
  uint8_t mSat[512];
  BenchHost() {
    for (int i = 0; i < 512; ++i) mSat[i] = static_cast<uint8_t>(std::min(i, 255));
  }
  void RegisterMemoryImage(Velk::MemoryImage*) override {}
  void UnregisterMemoryImage(Velk::MemoryImage*) override {}
  void ReleaseImageTextures(Velk::MemoryImage*) override {}
  bool ReadBackTextures(Velk::MemoryImage*, uint32_t*) override { return false; }
  bool Is3DModeOn() override { return false; }
  Velk::NativeDisplay* GetNativeDisplay() override { return nullptr; }
  const uint8_t* GetSaturationTable() override { return mSat; }
};

BenchHost gHost;

// A sprite-like mix: bands of transparent, opaque and translucent pixels.
std::vector<uint32_t> VariedAlpha(int w, int h) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t rgb = (x * 0x010203u + y * 0x030201u) & 0xFFFFFF;
      const int band = (x / 40 + y / 30) % 3;
      const uint32_t a = band == 0 ? 0 : band == 1 ? 255 : 1 + ((x * 5 + y) % 254);
      px[static_cast<size_t>(y) * w + x] = a << 24 | rgb;
    }
  return px;
}

// The harshest input: every pixel translucent, with a random alpha from 1 to 254.
std::vector<uint32_t> RandomAlpha(int w, int h) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  uint32_t seed = 12345;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      seed = seed * 1664525u + 1013904223u;
      const uint32_t rgb = (x * 0x010203u + y * 0x030201u) & 0xFFFFFF;
      px[static_cast<size_t>(y) * w + x] = (1 + (seed >> 24) % 254) << 24 | rgb;
    }
  return px;
}

using Input = std::vector<uint32_t> (*)(int w, int h);

// Colour multiplied by alpha, as pixman takes it and as additive sprites are made.
std::vector<uint32_t> Premultiply(std::vector<uint32_t> px) {
  for (uint32_t& p : px) {
    const uint32_t a = p >> 24;
    uint32_t out = a << 24;
    for (int s = 0; s < 24; s += 8) out |= (((p >> s) & 0xFF) * a / 255) << s;
    p = out;
  }
  return px;
}

// Random alpha premultiplied: dark wherever alpha is small.
std::vector<uint32_t> PremultipliedRandom(int w, int h) { return Premultiply(RandomAlpha(w, h)); }

std::vector<uint32_t> Opaque(int w, int h) {
  std::vector<uint32_t> px = VariedAlpha(w, h);
  for (uint32_t& p : px) p |= 0xFF000000u;
  return px;
}

void SetRate(benchmark::State& state, int pixels) {
  state.counters["MPix/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * pixels / 1e6, benchmark::Counter::kIsRate);
}

struct Images {
  Velk::MemoryImage src{&gHost};
  Velk::MemoryImage dst{&gHost};
  Images(const std::vector<uint32_t>& source, int sw, int sh) {
    src.SetPixels(source.data(), sw, sh, true);
    const std::vector<uint32_t> back = Opaque(kW, kH);
    dst.SetPixels(back.data(), kW, kH, true);
  }
};

void BlitMode(benchmark::State& state, const std::vector<uint32_t>& source, const Velk::Color& color, int mode,
              bool translucentDest = false) {
  Images im(source, kW, kH);
  // A destination with translucent pixels takes the per-pixel composite instead of the run copy.
  if (translucentDest) im.dst.ForceAlphaFlags(false, true);
  for (auto _ : state) {
    im.dst.Blit(&im.src, 0, 0, Velk::Rect(0, 0, kW, kH), color, mode);
    benchmark::DoNotOptimize(im.dst.mBits.get());
  }
  SetRate(state, kW * kH);
}

void BM_VelkAlphaBlit(benchmark::State& state, Input input) { BlitMode(state, input(kW, kH), Velk::Color::White, 0); }
void BM_VelkAlphaBlitTranslucentDest(benchmark::State& state, Input input) {
  BlitMode(state, input(kW, kH), Velk::Color::White, 0, true);
}
void BM_VelkAdditiveBlit(benchmark::State& state, Input input) {
  BlitMode(state, input(kW, kH), Velk::Color::White, 1);
}
void BM_VelkColorizedBlit(benchmark::State& state, Input input) {
  BlitMode(state, input(kW, kH), Velk::Color(200, 150, 100, 200), 0);
}
void BM_VelkOpaqueCopy(benchmark::State& state) { BlitMode(state, Opaque(kW, kH), Velk::Color::White, 0); }

void Stretch(benchmark::State& state, bool fast) {
  Images im(VariedAlpha(kW / 2, kH / 2), kW / 2, kH / 2);
  const Velk::Rect all(0, 0, kW, kH);
  for (auto _ : state) {
    im.dst.BlitStretched(&im.src, all, Velk::Rect(0, 0, kW / 2, kH / 2), all, Velk::Color::White, 0, fast);
    benchmark::DoNotOptimize(im.dst.mBits.get());
  }
  SetRate(state, kW * kH);
}

void BM_VelkFastStretch2x(benchmark::State& state) { Stretch(state, true); }
void BM_VelkSmoothStretch2x(benchmark::State& state) { Stretch(state, false); }

void SdlBlit(benchmark::State& state, SDL_BlendMode mode, Input input) {
  std::vector<uint32_t> source = input(kW, kH), back = Opaque(kW, kH);
  SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(source.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(back.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_SetSurfaceBlendMode(src, mode);
  for (auto _ : state) {
    SDL_BlitSurface(src, nullptr, dst, nullptr);
    benchmark::DoNotOptimize(back.data());
  }
  SDL_FreeSurface(src);
  SDL_FreeSurface(dst);
  SetRate(state, kW * kH);
}

void BM_SdlBlendBlit(benchmark::State& state, Input input) { SdlBlit(state, SDL_BLENDMODE_BLEND, input); }
void BM_SdlAddBlit(benchmark::State& state, Input input) { SdlBlit(state, SDL_BLENDMODE_ADD, input); }

void PixmanComposite(benchmark::State& state, pixman_op_t op, Input input, int w = kW, int h = kH) {
  std::vector<uint32_t> source = Premultiply(input(w, h)), back = Opaque(w, h);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, source.data(), w * 4);
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, back.data(), w * 4);
  for (auto _ : state) {
    pixman_image_composite32(op, src, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h);
    benchmark::DoNotOptimize(back.data());
  }
  pixman_image_unref(src);
  pixman_image_unref(dst);
  SetRate(state, w * h);
}

void BM_PixmanOver(benchmark::State& state, Input input) { PixmanComposite(state, PIXMAN_OP_OVER, input); }
void BM_PixmanAdd(benchmark::State& state, Input input) { PixmanComposite(state, PIXMAN_OP_ADD, input); }

// The in-cache rows: a square of the argument's side, whose source and destination stay in the
// core's own caches, so that the loops' arithmetic shows without the memory's speed under it.
void BM_PixmanOverInCache(benchmark::State& state, Input input) {
  const int side = static_cast<int>(state.range(0));
  PixmanComposite(state, PIXMAN_OP_OVER, input, side, side);
}

// The bandwidth anchors: the same pixels copied, and read from a source and a destination and
// written back with one instruction's work each, as the alpha row's streams go.
template <typename Pass>
void Anchor(benchmark::State& state, int pixels, Pass pass) {
  std::vector<uint32_t> source = Opaque(pixels, 1), back = Opaque(pixels, 1);
  for (auto _ : state) {
    pass(back.data(), source.data(), pixels);
    benchmark::DoNotOptimize(back.data());
  }
  SetRate(state, pixels);
}

void Copy(uint32_t* d, const uint32_t* s, int n) { std::memcpy(d, s, static_cast<size_t>(n) * 4); }
void ReadWrite(uint32_t* d, const uint32_t* s, int n) {
  for (int i = 0; i < n; ++i) d[i] += s[i];
}

int InCachePixels(const benchmark::State& state) { return static_cast<int>(state.range(0) * state.range(0)); }

void BM_Memcpy(benchmark::State& state) { Anchor(state, kW * kH, Copy); }
void BM_ReadWrite(benchmark::State& state) { Anchor(state, kW * kH, ReadWrite); }
void BM_MemcpyInCache(benchmark::State& state) { Anchor(state, InCachePixels(state), Copy); }
void BM_ReadWriteInCache(benchmark::State& state) { Anchor(state, InCachePixels(state), ReadWrite); }

// The surface roads: the display's 800 x 600 X8R8G8B8 draw surface (with its padded pitch) as the
// destination of the run-length alpha loop and the additive loop.
class SurfaceHost : public Velk::DisplayHost {
 public:
  Velk::DDInterface* mDisplay = nullptr;
  void RegisterMemoryImage(Velk::MemoryImage*) override {}
  void UnregisterMemoryImage(Velk::MemoryImage*) override {}
  void ReleaseImageTextures(Velk::MemoryImage*) override {}
  bool ReadBackTextures(Velk::MemoryImage*, uint32_t*) override { return false; }
  bool Is3DModeOn() override { return false; }
  Velk::NativeDisplay* GetNativeDisplay() override { return mDisplay; }
  const uint8_t* GetSaturationTable() override { return gHost.mSat; }
};

// How a surface row blits: plain, mirrored or colourised, onto a display of 32 or 16 bits, from a
// source of the given size to the surface's top left.
struct SurfaceWay {
  int bits = 32;
  bool mirrored = false;
  Velk::Color color = Velk::Color::White;
  int width = kW;
  int height = kH;
};

// The colour of the colourised rows, and pixman's solid mask for them.
const Velk::Color kTint(200, 150, 100, 200);
constexpr pixman_color_t kPixmanTint{200 * 257, 150 * 257, 100 * 257, 200 * 257};

void SurfaceBlit(benchmark::State& state, int mode, Input input, SurfaceWay way = {}) {
  Velk::Backend::Install(std::make_unique<Velk::HeadlessBackend>());
  Velk::DDrawSettings::Get().desktopBits = way.bits;
  SurfaceHost host;
  Velk::DDInterface display(&host);
  host.mDisplay = &display;
  if (display.Init(nullptr, true) != 0) {
    state.SkipWithError("display did not start");
    return;
  }
  Velk::DDImage* screen = display.GetScreenImage();
  screen->FillRect(Velk::Rect(0, 0, kW, kH), Velk::Color(40, 80, 120), 0);
  Velk::MemoryImage src(&host);
  const std::vector<uint32_t> source = input(way.width, way.height);
  src.SetPixels(source.data(), way.width, way.height, true);
  const Velk::Rect all(0, 0, way.width, way.height);
  for (auto _ : state) {
    if (way.mirrored) {
      screen->BlitMirrored(&src, 0, 0, all, way.color, mode);
    } else {
      screen->Blit(&src, 0, 0, all, way.color, mode);
    }
    benchmark::ClobberMemory();
  }
  Velk::DDrawSettings::Reset();
  SetRate(state, way.width * way.height);
}

void BM_SurfaceAlphaBlit32(benchmark::State& state, Input input) { SurfaceBlit(state, 0, input); }
void BM_SurfaceAlphaBlit32InCache(benchmark::State& state, Input input) {
  const int side = static_cast<int>(state.range(0));
  SurfaceBlit(state, 0, input, {.width = side, .height = side});
}
void BM_SurfaceAdditiveBlit32(benchmark::State& state, Input input) { SurfaceBlit(state, 1, input); }
void BM_SurfaceAlphaBlit16(benchmark::State& state, Input input) { SurfaceBlit(state, 0, input, {.bits = 16}); }
void BM_SurfaceAdditiveBlit16(benchmark::State& state, Input input) { SurfaceBlit(state, 1, input, {.bits = 16}); }
void BM_SurfaceAlphaBlitMirrored32(benchmark::State& state, Input input) {
  SurfaceBlit(state, 0, input, {.mirrored = true});
}
void BM_SurfaceAdditiveBlitMirrored32(benchmark::State& state, Input input) {
  SurfaceBlit(state, 1, input, {.mirrored = true});
}
void BM_SurfaceColorizedBlit32(benchmark::State& state, Input input) { SurfaceBlit(state, 0, input, {.color = kTint}); }
void BM_SurfaceColorizedAdditiveBlit32(benchmark::State& state, Input input) {
  SurfaceBlit(state, 1, input, {.color = kTint});
}

// pixman's rows beside them: onto r5g6b5, mirrored by a -1 x scale, colourised through a solid mask.
struct PixmanWay {
  pixman_format_code_t dest = PIXMAN_a8r8g8b8;
  bool mirrored = false;
  bool tinted = false;
};

void PixmanSurface(benchmark::State& state, pixman_op_t op, Input input, PixmanWay way) {
  std::vector<uint32_t> source = Premultiply(input(kW, kH)), back = Opaque(kW, kH);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, source.data(), kW * 4);
  pixman_image_t* dst = pixman_image_create_bits(way.dest, kW, kH, nullptr, 0);
  pixman_image_t* mask = way.tinted ? pixman_image_create_solid_fill(&kPixmanTint) : nullptr;
  if (way.mirrored) {
    pixman_transform_t flip;
    pixman_transform_init_scale(&flip, pixman_int_to_fixed(-1), pixman_int_to_fixed(1));
    pixman_transform_translate(nullptr, &flip, pixman_int_to_fixed(kW), 0);
    pixman_image_set_transform(src, &flip);
  }
  for (auto _ : state) {
    pixman_image_composite32(op, src, mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(src);
  pixman_image_unref(dst);
  SetRate(state, kW * kH);
}

void BM_PixmanOver565(benchmark::State& state, Input input) {
  PixmanSurface(state, PIXMAN_OP_OVER, input, {.dest = PIXMAN_r5g6b5});
}
void BM_PixmanAdd565(benchmark::State& state, Input input) {
  PixmanSurface(state, PIXMAN_OP_ADD, input, {.dest = PIXMAN_r5g6b5});
}
void BM_PixmanOverMirrored(benchmark::State& state, Input input) {
  PixmanSurface(state, PIXMAN_OP_OVER, input, {.mirrored = true});
}
void BM_PixmanAddMirrored(benchmark::State& state, Input input) {
  PixmanSurface(state, PIXMAN_OP_ADD, input, {.mirrored = true});
}
void BM_PixmanOverSolidMask(benchmark::State& state, Input input) {
  PixmanSurface(state, PIXMAN_OP_OVER, input, {.tinted = true});
}
void BM_PixmanAddSolidMask(benchmark::State& state, Input input) {
  PixmanSurface(state, PIXMAN_OP_ADD, input, {.tinted = true});
}

}  // namespace

// Each composite with both inputs: banded (thirds transparent, opaque, translucent) and random alpha.
#define BOTH_INPUTS(fn)                       \
  BENCHMARK_CAPTURE(fn, banded, VariedAlpha); \
  BENCHMARK_CAPTURE(fn, random_alpha, RandomAlpha)

BOTH_INPUTS(BM_VelkAlphaBlit);
BOTH_INPUTS(BM_VelkAlphaBlitTranslucentDest);
BOTH_INPUTS(BM_VelkAdditiveBlit);
BOTH_INPUTS(BM_VelkColorizedBlit);
BENCHMARK(BM_VelkOpaqueCopy);
BENCHMARK(BM_VelkFastStretch2x);
BENCHMARK(BM_VelkSmoothStretch2x);
BOTH_INPUTS(BM_SurfaceAlphaBlit32);
BOTH_INPUTS(BM_SurfaceAdditiveBlit32);
BENCHMARK_CAPTURE(BM_SurfaceAdditiveBlit32, premultiplied_random, PremultipliedRandom);
BOTH_INPUTS(BM_SurfaceAlphaBlit16);
BOTH_INPUTS(BM_SurfaceAdditiveBlit16);
BOTH_INPUTS(BM_SurfaceAlphaBlitMirrored32);
BOTH_INPUTS(BM_SurfaceAdditiveBlitMirrored32);
BENCHMARK_CAPTURE(BM_SurfaceAdditiveBlitMirrored32, premultiplied_random, PremultipliedRandom);
BOTH_INPUTS(BM_SurfaceColorizedBlit32);
BOTH_INPUTS(BM_SurfaceColorizedAdditiveBlit32);
BOTH_INPUTS(BM_SdlBlendBlit);
BOTH_INPUTS(BM_SdlAddBlit);
BOTH_INPUTS(BM_PixmanOver);
BOTH_INPUTS(BM_PixmanAdd);
BOTH_INPUTS(BM_PixmanOver565);
BOTH_INPUTS(BM_PixmanAdd565);
BOTH_INPUTS(BM_PixmanOverMirrored);
BOTH_INPUTS(BM_PixmanAddMirrored);
BOTH_INPUTS(BM_PixmanOverSolidMask);
BOTH_INPUTS(BM_PixmanAddSolidMask);
BENCHMARK(BM_Memcpy);
BENCHMARK(BM_ReadWrite);
// 128 x 128 and 256 x 256 (64 and 256 KiB a picture): source and destination within the core's L2.
BENCHMARK_CAPTURE(BM_SurfaceAlphaBlit32InCache, random_alpha, RandomAlpha)->Arg(128)->Arg(256);
BENCHMARK_CAPTURE(BM_PixmanOverInCache, random_alpha, RandomAlpha)->Arg(128)->Arg(256);
BENCHMARK(BM_MemcpyInCache)->Arg(128)->Arg(256);
BENCHMARK(BM_ReadWriteInCache)->Arg(128)->Arg(256);

BENCHMARK_MAIN();
