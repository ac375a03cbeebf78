// Table wiring: every entry against an explicit list, format groups and the empty table.

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "Canvas.h"
#include "raster/SpanFiller.h"
#include "raster/SpanFillerTable.h"

using namespace Velk;

namespace {

constexpr SpanFillerFn N = &SpanFillerNone;

// The 32 entries of one group; Copy is the format whose fillers sit at entries 16 and 17.
template <SpanFormat F, SpanFormat Copy>
std::vector<SpanFillerFn> GroupEntries() {
  const SpanFillerFn vc = &SpanFill<F, false, false, true, false, false>;
  const SpanFillerFn vcMod = &SpanFill<F, false, false, true, true, false>;
  return {
      N,
      N,
      N,
      N,
      vc,
      vc,
      vcMod,
      vcMod,
      N,
      N,
      N,
      N,
      vc,
      vc,
      vcMod,
      vcMod,
      &SpanFill<Copy, true, false, false, false, false>,
      &SpanFill<Copy, true, false, false, false, true>,
      &SpanFill<F, true, false, false, true, false>,
      &SpanFill<F, true, false, false, true, true>,
      &SpanFill<F, true, false, true, false, false>,
      &SpanFill<F, true, false, true, false, true>,
      &SpanFill<F, true, false, true, true, false>,
      &SpanFill<F, true, false, true, true, true>,
      &SpanFill<F, true, true, false, false, false>,
      &SpanFill<F, true, true, false, false, true>,
      &SpanFill<F, true, true, false, true, false>,
      &SpanFill<F, true, true, false, true, true>,
      &SpanFill<F, true, true, true, false, false>,
      &SpanFill<F, true, true, true, false, true>,
      &SpanFill<F, true, true, true, true, false>,
      &SpanFill<F, true, true, true, true, true>,
  };
}

std::vector<SpanFillerFn> ExpectedTable() {
  std::vector<SpanFillerFn> all;
  for (const auto& group :
       {GroupEntries<SpanFormat::Argb8888, SpanFormat::Argb8888>(),
        GroupEntries<SpanFormat::Xrgb888, SpanFormat::Argb8888>(),
        GroupEntries<SpanFormat::Rgb565, SpanFormat::Rgb565>(), GroupEntries<SpanFormat::Rgb555, SpanFormat::Rgb555>()})
    all.insert(all.end(), group.begin(), group.end());
  return all;
}

}  // namespace

TEST(SpanFillerTable, EveryEntryHoldsItsFiller) {
  SpanFillerTable table;
  table.Init();
  const std::vector<SpanFillerFn> expected = ExpectedTable();
  ASSERT_EQ(expected.size(), size_t(kSpanFillerCount));
  std::set<SpanFillerFn> distinct;
  for (int i = 0; i < kSpanFillerCount; ++i) {
    EXPECT_EQ(table.Entry(i), expected[size_t(i)]) << "entry " << i;
    distinct.insert(table.Entry(i));
  }
  // 18 per group, less the two that group 1 shares with group 0, plus the empty filler.
  EXPECT_EQ(distinct.size(), 71u);
}

TEST(SpanFillerTable, IndexFromFormatWordAndFlags) {
  EXPECT_EQ(SpanFormatGroup(0x8888), 0);
  EXPECT_EQ(SpanFormatGroup(0), 0);
  EXPECT_EQ(SpanFormatGroup(0x1234), 0);
  EXPECT_EQ(SpanFormatGroup(0x888), 1);
  EXPECT_EQ(SpanFormatGroup(0x565), 2);
  EXPECT_EQ(SpanFormatGroup(0x555), 3);
  SpanFlags f;
  f.texture = f.modulate = f.bilinear = true;
  EXPECT_EQ(SpanFillerIndex(0x565, f), 64 + 16 + 2 + 1);
  f = {};
  f.vertexColors = f.alphaBlend = true;
  EXPECT_EQ(SpanFillerIndex(0x555, f), 96 + 8 + 4);
}

TEST(SpanFillerTable, EmptyUntilInitDrawsNothing) {
  SpanFillerTable table;
  EXPECT_FALSE(table.IsReady());
  for (int i = 0; i < kSpanFillerCount; ++i) EXPECT_EQ(table.Entry(i), nullptr);

  RasterTest::Canvas canvas(4, 4, 4);
  const SpanVertex a = RasterTest::Vertex(0, 0, 255 << 16, 255 << 16);
  SpanVertex b = a, c = a;
  b.x = 4 << 16;
  c.y = 4 << 16;
  const SpanVertex* const v[3] = {&a, &b, &c};
  SpanFlags flags;
  flags.vertexColors = true;
  table.Dispatch(flags, v, canvas.Bits(), canvas.pitch, {}, {}, 0x8888, {});
  EXPECT_EQ(canvas.At(0, 0), 0u);
  table.Init();
  table.Dispatch(flags, v, canvas.Bits(), canvas.pitch, {}, {}, 0x8888, {});
  EXPECT_EQ(canvas.At(0, 0), 0xFFFF0000u);
}

TEST(SpanFillerTable, InitFromSeveralThreadsWhileDrawing) {
  SpanFillerTable table;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&table] {
      for (int i = 0; i < 100; ++i) {
        table.Init();
        EXPECT_NE(table.Entry(16), nullptr);
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(table.Entry(16), (&SpanFill<SpanFormat::Argb8888, true, false, false, false, false>));
}
