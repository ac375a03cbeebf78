// Random and degenerate strips in every format and flag set: nothing may be written outside the
// clip rectangle (the buffer's margin must stay as it was; run under ASan for the rest).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "Canvas.h"
#include "raster/PolygonDriver.h"

using namespace Velk;
using RasterTest::Canvas;

namespace {

constexpr int kW = 48, kH = 40;

float RandomCoord(std::mt19937& rng, float base, float extent) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  switch (rng() % 9) {
    case 0:
      return base + unit(rng) * 1e-4f;  // sub-pixel
    case 5:
      return base + float(int(rng() % 512) - 256) / 65536;  // a few 16.16 units off a pixel corner
    case 1:
      return (rng() % 2 ? 1.0f : -1.0f) * std::pow(10.0f, float(rng() % 39));  // huge
    case 2:
      return std::numeric_limits<float>::quiet_NaN();
    case 3:
      return rng() % 2 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    case 4:
      return std::floor(unit(rng) * extent);  // on pixel corners and bounds
    default:
      return (unit(rng) * 2.0f - 0.5f) * extent;
  }
}

std::vector<PolygonVertex> RandomStrip(std::mt19937& rng) {
  std::vector<PolygonVertex> v(3 + rng() % 5);
  const float bx = float(rng() % kW), by = float(rng() % kH);
  for (size_t i = 0; i < v.size(); ++i) {
    if (i >= 2 && rng() % 4 == 0) {
      // Collinear with the two before.
      v[i].x = 2 * v[i - 1].x - v[i - 2].x;
      v[i].y = 2 * v[i - 1].y - v[i - 2].y;
    } else {
      v[i].x = RandomCoord(rng, bx, kW);
      v[i].y = RandomCoord(rng, by, kH);
    }
    v[i].u = RandomCoord(rng, 0.5f, 1.5f);
    v[i].v = RandomCoord(rng, 0.5f, 1.5f);
    v[i].colour = rng();
  }
  return v;
}

}  // namespace

TEST(PolygonFuzz, NoWriteOutsideTheClip) {
  SpanFillerTable table;
  table.Init();
  std::mt19937 rng(7);
  static const int32_t kFormats[] = {0x8888, 0x888, 0x565, 0x555};
  std::vector<uint32_t> texels(5 * 3);
  for (auto& t : texels) t = rng();
  int drawn = 0;
  for (int run = 0; run < 20000; ++run) {
    const int32_t format = kFormats[rng() % 4];
    const int size = format == 0x565 || format == 0x555 ? 2 : 4;
    Canvas canvas(kW, kH, size, 0, size * int32_t(rng() % 3));  // padded rows
    for (auto& b : canvas.bytes) b = uint8_t(rng());
    const Canvas before = canvas;
    const PolygonClip clip{int32_t(rng() % 10), int32_t(rng() % 10), int32_t(rng() % 40), int32_t(rng() % 30)};
    const PolygonTexture tex{texels.data(), 5, 3, rng() % 2 == 0, rng() % 2 == 0};
    const SpanColor color{int32_t(rng() % 256), int32_t(rng() % 256), int32_t(rng() % 256), int32_t(rng() % 256)};
    const std::vector<PolygonVertex> strip = RandomStrip(rng);
    DrawPolygon(strip.data(), int(strip.size()), rng() % 2 ? &tex : nullptr, rng() % 2 ? color : SpanColor{}, clip,
                canvas.Bits(), canvas.pitch, format, rng() % 2 == 0, rng() % 2 == 0, table);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const bool inside = x >= clip.x && x < clip.x + clip.width && y >= clip.y && y < clip.y + clip.height;
        drawn += inside && canvas.At(x, y) != before.At(x, y);
        if (!inside && canvas.At(x, y) != before.At(x, y))
          FAIL() << "run " << run << " wrote (" << x << "," << y << ") outside the clip";
      }
  }
  EXPECT_GT(drawn, 20000) << "the runs must draw";
}
