// The software rasteriser drawing a 256 x 256 texture rotated by 30 degrees and scaled by 1.5 into
// an 800 x 600 destination, beside SDL2's software renderer and pixman drawing the same quad.
// Rates are megapixels per second of the quad's covered area (384 x 384).
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "graphics/MemoryImage.h"
#include "raster/SoftwarePolygon.h"
#include "raster/SpanFillerTable.h"

namespace {

constexpr int kW = 800, kH = 600, kTex = 256;
constexpr double kScale = 1.5, kAngle = 30.0;
constexpr double kSide = kTex * kScale;
constexpr double kCovered = kSide * kSide;
const double kRad = kAngle * M_PI / 180.0;

// A sprite: an opaque disc with a translucent rim on a transparent ground.
std::vector<uint32_t> Sprite() {
  std::vector<uint32_t> px(size_t(kTex) * kTex);
  for (int y = 0; y < kTex; ++y)
    for (int x = 0; x < kTex; ++x) {
      const double d = std::hypot(x - 127.5, y - 127.5);
      const uint32_t a = d < 100 ? 255 : d < 124 ? uint32_t(255 * (124 - d) / 24) : 0;
      px[size_t(y) * kTex + x] = a << 24 | uint32_t(x) << 16 | uint32_t(y) << 8 | uint32_t((x + y) & 0xFF);
    }
  return px;
}

// The harshest input: every texel translucent, with a random alpha from 1 to 254.
std::vector<uint32_t> RandomAlphaSprite() {
  std::vector<uint32_t> px = Sprite();
  uint32_t seed = 777;
  for (uint32_t& p : px) {
    seed = seed * 1664525u + 1013904223u;
    p = (1 + (seed >> 24) % 254) << 24 | (p & 0xFFFFFF);
  }
  return px;
}

// Input 0: the sprite; 1: every texel translucent.
std::vector<uint32_t> Texels(int64_t input) { return input ? RandomAlphaSprite() : Sprite(); }

std::vector<uint32_t> Background() { return std::vector<uint32_t>(size_t(kW) * kH, 0xFF336699); }

void SetRate(benchmark::State& state) {
  state.counters["MPix/s"] =
      benchmark::Counter(double(state.iterations()) * kCovered / 1e6, benchmark::Counter::kIsRate);
}

// Corners top-left, top-right, bottom-left, bottom-right of the rotated quad about the centre.
std::vector<Velk::PolygonVertex> Quad() {
  const double c = std::cos(kRad), s = std::sin(kRad), h = kSide / 2;
  const double corners[4][2] = {{-h, -h}, {h, -h}, {-h, h}, {h, h}};
  std::vector<Velk::PolygonVertex> v;
  for (const auto& p : corners) {
    v.push_back({float(kW / 2 + p[0] * c - p[1] * s), float(kH / 2 + p[0] * s + p[1] * c), p[0] < 0 ? 0.0f : 1.0f,
                 p[1] < 0 ? 0.0f : 1.0f, 0xFFFFFFFF});
  }
  return v;
}

// The span fillers ready and a texture of w x h texels.
void Prepare(Velk::MemoryImage& texture, int w, int h, const std::vector<uint32_t>& texels) {
  Velk::InitSpanFillerTable();
  texture.CreateBlank(w, h);
  std::memcpy(texture.GetArgbBits(), texels.data(), texels.size() * 4);
  texture.OnBitsChanged();
}

// Args: format word, bilinear, global colour, input.
void BM_Rasteriser(benchmark::State& state) {
  Velk::MemoryImage texture(nullptr);
  Prepare(texture, kTex, kTex, Texels(state.range(3)));
  std::vector<uint32_t> dest = Background();
  const std::vector<Velk::PolygonVertex> quad = Quad();
  const Velk::Color color = state.range(2) ? Velk::Color(255, 200, 160, 200) : Velk::Color::White;
  for (auto _ : state) {
    Velk::DrawSoftwarePolygon(quad.data(), 4, &texture, color, 0, Velk::Rect(0, 0, kW, kH), dest.data(), kW * 4,
                              int(state.range(0)), state.range(1) != 0, false);
    benchmark::ClobberMemory();
  }
  SetRate(state);
}
BENCHMARK(BM_Rasteriser)
    ->ArgNames({"format", "bilinear", "colour", "input"})
    ->ArgsProduct({{0x888, 0x8888}, {0, 1}, {0, 1}, {0, 1}});

// A whole 800 x 600 picture at whole pixels, scale 1, as the memory road draws every widget picture:
// opaque (the filler without blending) or banded with transparent, opaque and translucent stretches.
// Args: input (0 opaque, 1 banded). Rates are megapixels of the picture per second.
std::vector<uint32_t> Picture(int64_t banded) {
  std::vector<uint32_t> px(size_t(kW) * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const int band = (x / 40 + y / 30) % 3;
      const uint32_t a = !banded || band == 1 ? 255 : band == 0 ? 0 : 1 + uint32_t(x * 5 + y) % 254;
      px[size_t(y) * kW + x] = a << 24 | ((uint32_t(x) * 0x010203u + uint32_t(y) * 0x030201u) & 0xFFFFFF);
    }
  return px;
}

void BM_RasteriserWholePixels(benchmark::State& state) {
  Velk::MemoryImage texture(nullptr);
  Prepare(texture, kW, kH, Picture(state.range(0)));
  std::vector<uint32_t> dest = Background();
  // Pixel centres on texel centres, as the memory image's transformed blit places a picture.
  std::vector<Velk::PolygonVertex> quad;
  for (const auto& [x, y] : {std::pair{0, 0}, {kW, 0}, {0, kH}, {kW, kH}})
    quad.push_back({float(x) - 0.5f, float(y) - 0.5f, float(x) / kW, float(y) / kH, 0xFFFFFFFF});
  for (auto _ : state) {
    Velk::DrawSoftwarePolygon(quad.data(), 4, &texture, Velk::Color::White, 0, Velk::Rect(0, 0, kW, kH), dest.data(),
                              kW * 4, 0x888, false, false);
    benchmark::ClobberMemory();
  }
  state.counters["MPix/s"] =
      benchmark::Counter(double(state.iterations()) * kW * kH / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RasteriserWholePixels)->ArgNames({"banded"})->Arg(0)->Arg(1);

// SDL2's software renderer: SDL_RenderCopyEx with blend mode BLEND.
void BM_SDL2RenderCopyEx(benchmark::State& state) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, state.range(0) ? "linear" : "nearest");
  std::vector<uint32_t> dest = Background();
  SDL_Surface* target = SDL_CreateRGBSurfaceWithFormatFrom(dest.data(), kW, kH, 32, kW * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
  SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kTex, kTex);
  const std::vector<uint32_t> sprite = Texels(state.range(2));
  SDL_UpdateTexture(texture, nullptr, sprite.data(), kTex * 4);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
  if (state.range(1)) {
    SDL_SetTextureColorMod(texture, 200, 160, 200);
    SDL_SetTextureAlphaMod(texture, 255);
  }
  const SDL_FRect to = {float(kW / 2 - kSide / 2), float(kH / 2 - kSide / 2), float(kSide), float(kSide)};
  for (auto _ : state) {
    SDL_RenderCopyExF(renderer, texture, nullptr, &to, kAngle, nullptr, SDL_FLIP_NONE);
    SDL_RenderFlush(renderer);
    benchmark::ClobberMemory();
  }
  SetRate(state);
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_FreeSurface(target);
}
BENCHMARK(BM_SDL2RenderCopyEx)->ArgNames({"bilinear", "colour", "input"})->ArgsProduct({{0, 1}, {0, 1}, {0, 1}});

// pixman OVER through the inverse transform, with a solid mask for the colour. pixman works over
// the quad's bounding box, not only the covered area.
void BM_PixmanTransformedOver(benchmark::State& state) {
  std::vector<uint32_t> dest = Background();
  std::vector<uint32_t> sprite = Texels(state.range(2));
  pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, dest.data(), kW * 4);
  pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, kTex, kTex, sprite.data(), kTex * 4);
  pixman_f_transform inverse;
  pixman_f_transform_init_translate(&inverse, -kW / 2.0, -kH / 2.0);
  pixman_f_transform_rotate(&inverse, nullptr, std::cos(-kRad), std::sin(-kRad));
  pixman_f_transform_scale(&inverse, nullptr, 1 / kScale, 1 / kScale);
  pixman_f_transform_translate(&inverse, nullptr, kTex / 2.0, kTex / 2.0);
  pixman_transform transform;
  pixman_transform_from_pixman_f_transform(&transform, &inverse);
  pixman_image_set_transform(src, &transform);
  pixman_image_set_filter(src, state.range(0) ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_color_t tint = {200 * 257, 160 * 257, 200 * 257, 0xFFFF};
  pixman_image_t* mask = state.range(1) ? pixman_image_create_solid_fill(&tint) : nullptr;
  const double box = kSide * (std::cos(kRad) + std::sin(kRad));
  const int x0 = int(kW / 2 - box / 2), y0 = int(kH / 2 - box / 2);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, x0, y0, 0, 0, x0, y0, int(box) + 1, int(box) + 1);
    benchmark::ClobberMemory();
  }
  SetRate(state);
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(src);
  pixman_image_unref(dst);
}
BENCHMARK(BM_PixmanTransformedOver)->ArgNames({"bilinear", "colour", "input"})->ArgsProduct({{0, 1}, {0, 1}, {0, 1}});

}  // namespace

BENCHMARK_MAIN();
