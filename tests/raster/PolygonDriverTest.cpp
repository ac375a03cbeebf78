// The strip walk, clipping and 16.16 set-up, seen through the triangles handed to the fillers.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "Canvas.h"
#include "raster/PolygonDriver.h"

using namespace Velk;
using RasterTest::Canvas;

namespace {

struct Recorder : TriangleSink {
  std::vector<std::array<SpanVertex, 3>> triangles;
  void Triangle(const SpanVertex* const v[3]) override { triangles.push_back({*v[0], *v[1], *v[2]}); }
};

constexpr PolygonClip kWide{0, 0, 100, 100};

PolygonVertex At(float x, float y, uint32_t colour = 0, float u = 0, float v = 0) { return {x, y, u, v, colour}; }

std::vector<int> Xs(const std::array<SpanVertex, 3>& t) { return {t[0].x >> 16, t[1].x >> 16, t[2].x >> 16}; }

Recorder Record(const std::vector<PolygonVertex>& v, const PolygonClip& clip = kWide,
                const PolygonTexture* texture = nullptr, bool vertexColors = false) {
  Recorder r;
  PolygonDriver(clip, texture, vertexColors).DrawStrip(v.data(), int(v.size()), r);
  return r;
}

SpanFillerTable& ReadyTable() {
  static SpanFillerTable table;
  table.Init();
  return table;
}

}  // namespace

TEST(PolygonStrip, OrientationTogglesAlongTheStrip) {
  // Vertex n sits at x = 10 * (n + 1), so a triangle is read off its x values.
  std::vector<PolygonVertex> v;
  for (int n = 0; n < 5; ++n) v.push_back(At(10.0f * float(n + 1), float(n % 2 ? 40 : 5)));
  const Recorder quad = Record({v.begin(), v.begin() + 4});
  ASSERT_EQ(quad.triangles.size(), 2u);
  EXPECT_EQ(Xs(quad.triangles[0]), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(Xs(quad.triangles[1]), (std::vector<int>{20, 40, 30}));
  const Recorder five = Record(v);
  ASSERT_EQ(five.triangles.size(), 3u);
  EXPECT_EQ(Xs(five.triangles[2]), (std::vector<int>{30, 40, 50}));
  EXPECT_TRUE(Record({v.begin(), v.begin() + 2}).triangles.empty());
}

TEST(PolygonStrip, InsideTriangleReachesTheFillerUnchanged) {
  const uint32_t texels[12] = {};
  const PolygonTexture tex{texels, 4, 3, false, false};
  const Recorder r =
      Record({At(1.5f, 2.25f, 0x80FF4010, 0.5f, 1.0f), At(50, 2, 0, 1, 0), At(1, 60, 0, 0, 0.25f)}, kWide, &tex, true);
  ASSERT_EQ(r.triangles.size(), 1u);
  const SpanVertex& a = r.triangles[0][0];
  EXPECT_EQ(a.x, 0x18000);
  EXPECT_EQ(a.y, 0x24000);
  EXPECT_EQ(a.c[kChanA], 0x80 << 16);
  EXPECT_EQ(a.c[kChanR], 0xFF << 16);
  EXPECT_EQ(a.c[kChanG], 0x40 << 16);
  EXPECT_EQ(a.c[kChanB], 0x10 << 16);
  EXPECT_EQ(a.c[kChanU], 2 << 16) << "0.5 of 4 texels";
  EXPECT_EQ(a.c[kChanV], 3 << 16) << "1.0 is one texel past the last row";
  EXPECT_EQ(r.triangles[0][1].c[kChanU], 4 << 16);
}

TEST(PolygonClipping, CornerGivesAFanFromTheFirstVertex) {
  // Crosses the clip's top-left corner: left and top passes add two vertices each.
  const PolygonClip clip{10, 10, 50, 50};
  const Recorder r = Record({At(0, 20), At(30, 0), At(30, 30)}, clip);
  ASSERT_EQ(r.triangles.size(), 3u) << "a five-vertex polygon";
  for (const auto& t : r.triangles) {
    EXPECT_EQ(t[0].x, r.triangles[0][0].x);
    EXPECT_EQ(t[0].y, r.triangles[0][0].y);
    for (const SpanVertex& v : t) {
      EXPECT_GE(v.x, 10 << 16);
      EXPECT_GE(v.y, 10 << 16);
    }
  }
  EXPECT_EQ(r.triangles[1][1].x, r.triangles[0][2].x) << "fan triangles share their edges";
}

TEST(PolygonClipping, BoundsAreInclusiveAndColoursTruncate) {
  const PolygonClip clip{10, 0, 50, 50};
  const Recorder onBound = Record({At(10, 0), At(40, 0), At(10, 30)}, clip);
  ASSERT_EQ(onBound.triangles.size(), 1u);
  EXPECT_EQ(onBound.triangles[0][0].x, 10 << 16);

  // Halfway from alpha 0 to alpha 255 is 127.5, truncated.
  const Recorder cut =
      Record({At(0, 0, 0x00000000), At(20, 0, 0xFF000000), At(20, 20, 0xFF000000)}, clip, nullptr, true);
  ASSERT_FALSE(cut.triangles.empty());
  bool found = false;
  for (const auto& t : cut.triangles)
    for (const SpanVertex& v : t)
      if (v.x == 10 << 16 && v.y == 0) {
        EXPECT_EQ(v.c[kChanA], 127 << 16);
        found = true;
      }
  EXPECT_TRUE(found);
}

TEST(PolygonClipping, NonFiniteTrianglesAreSkipped) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // The middle triangle of four holds the NaN; the first and last are drawn.
  const Recorder r = Record({At(0, 0), At(10, 0), At(0, 10), At(nan, 10), At(10, 20), At(20, 20)});
  EXPECT_EQ(r.triangles.size(), 1u);
  EXPECT_TRUE(Record({At(0, 0), At(inf, 0), At(0, 10)}).triangles.empty());
  // Huge finite edges make intersections of inf - inf; nothing outside the clip comes through.
  const Recorder huge = Record({At(-3e38f, 5), At(3e38f, 6), At(50, 3e38f)});
  for (const auto& t : huge.triangles)
    for (const SpanVertex& v : t) {
      EXPECT_GE(v.x, -65535);
      EXPECT_LE(v.x, 100 << 16);
    }
}

TEST(DrawPolygon, LastClipColumnAndRowAreNeverDrawn) {
  Canvas c(10, 8, 4);
  const std::vector<PolygonVertex> quad = {At(-5, -5, 0xFFFFFFFF), At(20, -5, 0xFFFFFFFF), At(-5, 20, 0xFFFFFFFF),
                                           At(20, 20, 0xFFFFFFFF)};
  DrawPolygon(quad.data(), 4, nullptr, {}, {2, 1, 6, 5}, c.Bits(), c.pitch, 0x888, false, true, ReadyTable());
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool drawn = x >= 2 && x <= 6 && y >= 1 && y <= 4;
      EXPECT_EQ(c.At(x, y), drawn ? 0xFFFFFFFFu : 0u) << x << "," << y;
    }
}

TEST(DrawPolygon, FlagsFollowTheTextureAndColour) {
  const uint32_t texels[1] = {0x00123456};
  const std::vector<PolygonVertex> tri = {At(0, 0), At(4, 0), At(0, 4)};
  auto draw = [&](bool transparency, const SpanColor& color, bool vertexColors) {
    PolygonTexture tex{texels, 1, 1, transparency, false};
    Canvas c(4, 4, 4, 0xFF000000);
    DrawPolygon(tri.data(), 3, &tex, color, {0, 0, 4, 4}, c.Bits(), c.pitch, 0x8888, false, vertexColors, ReadyTable());
    return c.At(0, 0);
  };
  EXPECT_EQ(draw(false, {}, false), 0xFF123456u) << "no alpha in the image: texel alpha ignored";
  EXPECT_EQ(draw(true, {}, false), 0xFF000000u) << "with transparency: alpha 0 is skipped";
  // Colour (255, 128, 128, 128) modulates: 0x12 * 128 >> 8 = 9, 0x34 -> 26, 0x56 -> 43.
  EXPECT_EQ(draw(false, {255, 128, 128, 128}, false), 0xFF091A2Bu);
  // Vertex colour 0 (alpha 0) gives sA = 0 over opaque black: D = 255, so the alpha drops by one.
  EXPECT_EQ(draw(false, {}, true), 0xFE000000u);
}

TEST(DrawPolygon, UntexturedNeedsVertexColours) {
  Canvas c(4, 4, 4);
  const std::vector<PolygonVertex> tri = {At(0, 0, 0xFFFFFFFF), At(4, 0, 0xFFFFFFFF), At(0, 4, 0xFFFFFFFF)};
  DrawPolygon(tri.data(), 3, nullptr, {255, 10, 20, 30}, {0, 0, 4, 4}, c.Bits(), c.pitch, 0x8888, true, false,
              ReadyTable());
  EXPECT_EQ(c.bytes, Canvas(4, 4, 4).bytes);
  SpanFillerTable empty;
  DrawPolygon(tri.data(), 3, nullptr, {}, {0, 0, 4, 4}, c.Bits(), c.pitch, 0x8888, false, true, empty);
  EXPECT_EQ(c.bytes, Canvas(4, 4, 4).bytes) << "nothing is drawn before the table is filled";
}

TEST(DrawPolygon, ThreadsClippingAtOnceDoNotShareIntersections) {
  // Each thread draws its own strip, cut on all four sides, and must get what it gets alone.
  auto draw = [](float shift, Canvas& c) {
    const std::vector<PolygonVertex> strip = {At(-9 + shift, -7, 0xFF0000FF), At(30, -5, 0xFFFF0000),
                                              At(-6, 28 - shift, 0xFF00FF00), At(35, 31, 0xFFFFFFFF)};
    DrawPolygon(strip.data(), 4, nullptr, {}, {1, 1, 18, 16}, c.Bits(), c.pitch, 0x8888, false, true, ReadyTable());
  };
  Canvas alone[2] = {Canvas(20, 18, 4), Canvas(20, 18, 4)};
  draw(0, alone[0]);
  draw(3, alone[1]);
  bool same[2] = {true, true};
  std::thread threads[2];
  for (int t = 0; t < 2; ++t) {
    threads[t] = std::thread([&, t] {
      for (int i = 0; i < 2000 && same[t]; ++i) {
        Canvas c(20, 18, 4);
        draw(float(3 * t), c);
        same[t] = c.bytes == alone[t].bytes;
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_TRUE(same[0]);
  EXPECT_TRUE(same[1]);
}
