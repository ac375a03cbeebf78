// System-font text: measuring and drawing a line through the two-bitmap path, beside FreeType
// rendering the same glyphs with no blending at all.
#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "fonts/SysFont.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

namespace {

const std::wstring kLine = L"The quick brown fox jumps over the lazy dog";

void BM_SysFontStringWidth(benchmark::State& state) {
  Velk::SysFont font("Arial", 12, false, false, false);
  for (auto _ : state) benchmark::DoNotOptimize(font.StringWidth(kLine));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLine.size()));
}

void BM_SysFontDrawString(benchmark::State& state) {
  Velk::SysFont font("Arial", 12, false, false, false);
  font.mDrawShadow = state.range(0) != 0;
  Velk::MemoryImage canvas(nullptr);
  canvas.CreateBlank(400, 40);
  Velk::Graphics g(&canvas);
  for (auto _ : state) font.DrawString(&g, 4, 30, kLine, Velk::Color::Black, Velk::Rect(0, 0, 400, 40));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLine.size()));
}

void BM_FreeTypeRenderLine(benchmark::State& state) {
  FT_Library library;
  FT_Face face;
  FT_Init_FreeType(&library);
  FT_New_Face(library, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 0, &face);
  FT_Set_Pixel_Sizes(face, 0, 16);
  for (auto _ : state) {
    long pen = 0;
    for (wchar_t c : kLine) {
      FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
      pen += face->glyph->advance.x;
    }
    benchmark::DoNotOptimize(pen);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kLine.size()));
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

}  // namespace

BENCHMARK(BM_SysFontStringWidth);
BENCHMARK(BM_SysFontDrawString)->Arg(0)->Arg(1);
BENCHMARK(BM_FreeTypeRenderLine);

BENCHMARK_MAIN();
