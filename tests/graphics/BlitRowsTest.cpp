// The row routines against the per-pixel arithmetic they stand for, over random pixels, every pair
// of source and destination alpha, row widths around the vector width and every start within 64 bytes.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "TestHost.h"
#include "graphics/BlitPathTable.h"
#include "graphics/BlitRows.h"
#include "graphics/PixelOps.h"

using namespace Velk;
using namespace Velk::Testing;
using PixelOps::Tint;

namespace {

using Reference = uint32_t (*)(uint32_t d, uint32_t s, const Tint& t);

std::vector<int> Widths() {
  std::vector<int> w;
  for (int n = 0; n <= 67; ++n) w.push_back(n);
  w.push_back(800);
  return w;
}

// n random pixels in runs of clear, opaque, translucent and mixed alpha, mostly a group long or
// longer, so that groups of every kind and every mix of kinds come up wherever a row starts.
std::vector<uint32_t> AlphaKindRuns(std::mt19937& rng, size_t n) {
  const auto next = [&rng](uint32_t below) { return static_cast<uint32_t>(rng() % below); };
  std::vector<uint32_t> px(n);
  for (size_t i = 0, left = 0, kind = 0; i < n; ++i, --left) {
    if (left == 0) left = next(3) ? 8 + next(24) : 1 + next(8), kind = next(4);
    const uint32_t alpha[] = {0, 255, 1 + next(254), next(3) == 0 ? 0 : next(2) ? 255 : next(256)};
    px[i] = alpha[kind] << 24 | next(1 << 24);
  }
  return px;
}

// Source and destination rows holding every alpha pair, then random pixels, then runs of each kind.
struct Rows {
  std::vector<uint32_t> src, dst;
  explicit Rows(std::mt19937& rng) {
    for (uint32_t sa = 0; sa < 256; ++sa)
      for (uint32_t da = 0; da < 256; ++da) {
        src.push_back(sa << 24 | (rng() & 0xFFFFFF));
        dst.push_back(da << 24 | (rng() & 0xFFFFFF));
      }
    for (int i = 0; i < 4096; ++i) {
      src.push_back(rng());
      dst.push_back(rng());
    }
    for (std::vector<uint32_t>* row : {&src, &dst}) {
      const std::vector<uint32_t> runs = AlphaKindRuns(rng, 4096);
      row->insert(row->end(), runs.begin(), runs.end());
    }
  }
};

// Runs row over pieces of every tested width and start offset, and over the whole rows at once,
// comparing each pixel with the reference.
void ExpectMatches(BlitRows::Row row, Reference reference, const Tint& tint, uint32_t seed) {
  std::mt19937 rng(seed);
  Rows rows(rng);
  for (int offset = 0; offset < 16; ++offset)
    for (int width : Widths()) {
      const size_t at = (rng() % (rows.src.size() / 16 - 64)) * 16 + offset;
      if (at + width > rows.src.size()) continue;
      std::vector<uint32_t> d(rows.dst.begin(), rows.dst.end());
      row(d.data() + at, rows.src.data() + at, width, tint);
      for (int i = 0; i < width; ++i)
        ASSERT_EQ(reference(rows.dst[at + i], rows.src[at + i], tint), d[at + i])
            << "width " << width << " offset " << offset << " pixel " << i << " src " << std::hex << rows.src[at + i]
            << " dst " << rows.dst[at + i];
    }
  std::vector<uint32_t> d = rows.dst;
  row(d.data(), rows.src.data(), static_cast<int>(d.size()), tint);
  for (size_t i = 0; i < d.size(); ++i)
    ASSERT_EQ(reference(rows.dst[i], rows.src[i], tint), d[i])
        << "pixel " << i << " src " << std::hex << rows.src[i] << " dst " << rows.dst[i];
}

Tint Colour(uint32_t r, uint32_t g, uint32_t b, uint32_t a, const uint8_t* sat = nullptr) {
  Tint t;
  t.r = r, t.g = g, t.b = b, t.a = a;
  t.k[0] = r * a / 255, t.k[1] = g * a / 255, t.k[2] = b * a / 255;
  t.sat = sat;
  t.clamp = PixelOps::IsClampTable(sat, 512, 255);
  return t;
}

}  // namespace

TEST(BlitRows, NormalBlitsMatchThePerPixelComposite) {
  const Tint white;
  ExpectMatches(
      BlitRows::Over, [](uint32_t d, uint32_t s, const Tint&) { return PixelOps::OverLane(d, s, s >> 24); }, white, 2);
  ExpectMatches(
      BlitRows::OntoOpaque, [](uint32_t d, uint32_t s, const Tint&) { return PixelOps::OntoOpaque(d, s); }, white, 4);
  ExpectMatches(
      BlitRows::Copy, [](uint32_t, uint32_t s, const Tint&) { return s; }, white, 3);
}

TEST(BlitRows, ColourisedBlitsMatchForGreyUnequalAndOutOfRangeChannels) {
  uint32_t seed = 10;
  // Nothing holds a blit colour to 0..255, so channels and alpha past it are drawn as the per-pixel
  // arithmetic draws them too.
  for (const Tint& t : {Colour(128, 128, 128, 255), Colour(255, 255, 255, 254), Colour(200, 150, 100, 200),
                        Colour(0, 255, 7, 1), Colour(90, 90, 90, 0), Colour(300, 20, 255, 255),
                        Colour(256, 256, 256, 200), Colour(1000, 5, 70, 400), Colour(40, 50, 60, 256)})
    ExpectMatches(
        BlitRows::OverColorized, [](uint32_t d, uint32_t s, const Tint& c) { return PixelOps::OverColorized(d, s, c); },
        t, ++seed);
}

TEST(BlitRows, AdditiveBlitsMatchTheSaturationTable) {
  TestHost host;
  uint8_t odd[512];  // a table that is not a plain clamp takes the table itself
  for (int i = 0; i < 512; ++i) odd[i] = static_cast<uint8_t>(i * 7);
  const struct {
    BlitRows::Row row;
    uint32_t (*amount)(uint32_t, const Tint&);
  } kinds[] = {{BlitRows::AddPlain, PixelOps::AddPlain},
               {BlitRows::AddWeighted, PixelOps::AddWeighted},
               {BlitRows::AddTinted, PixelOps::AddTinted},
               {BlitRows::AddTintedWeighted, PixelOps::AddTintedWeighted}};
  uint32_t seed = 20;
  for (const auto& kind : kinds)
    for (const uint8_t* sat : {static_cast<const uint8_t*>(host.mSat), static_cast<const uint8_t*>(odd)})
      for (const Tint& t :
           {Colour(255, 255, 255, 255, sat), Colour(200, 200, 200, 128, sat), Colour(255, 100, 3, 250, sat)}) {
        static uint32_t (*amount)(uint32_t, const Tint&);
        amount = kind.amount;
        ExpectMatches(
            kind.row,
            [](uint32_t d, uint32_t s, const Tint& c) { return PixelOps::AddThroughTable(c.sat, d, amount(s, c)); }, t,
            ++seed);
      }
}

TEST(BlitRows, KeepAndAddScalesEveryChannelValueByEveryAlpha) {
  // Each channel of the destination takes every value under every source alpha (red c, green
  // 255 - c, blue c ^ 0xA5), so a product formed in the wrong half or cut short shows.
  std::vector<uint32_t> src, dst;
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t c = 0; c < 256; ++c) {
      src.push_back(a << 24 | (c * 37 & 0xFF) << 16 | (c * 91 & 0xFF) << 8 | (c * 13 & 0xFF));
      dst.push_back((255 - a) << 24 | c << 16 | (255 - c) << 8 | (c ^ 0xA5));
    }
  std::vector<uint32_t> out = dst;
  BlitRows::KeepAndAdd(out.data(), src.data(), static_cast<int>(out.size()));
  for (size_t i = 0; i < out.size(); ++i) {
    const uint32_t keep = 256 - (src[i] >> 24);
    uint32_t expected = src[i];
    for (int shift : {0, 8, 16}) expected += ((dst[i] >> shift & 0xFF) * keep >> 8) << shift;
    ASSERT_EQ(expected, out[i]) << "pixel " << i << " src " << std::hex << src[i] << " dst " << dst[i];
  }
}

TEST(BlitRows, SurfaceLoopsMatchTheClampTablesAndMasks) {
  std::vector<uint32_t> table(511);
  for (uint32_t i = 0; i < 511; ++i) table[i] = std::min(i, 255u);
  static const Reference keepAndAdd = [](uint32_t d, uint32_t s, const Tint&) {
    const uint32_t keep = 256 - (s >> 24);
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out += (((d & (0xFFu << 8 * c)) * keep) >> 8) & (0xFFu << 8 * c);
    return out + s;
  };
  ExpectMatches([](uint32_t* d, const uint32_t* s, int n, const Tint&) { BlitRows::KeepAndAdd(d, s, n); }, keepAndAdd,
                Tint{}, 30);
  ExpectMatches([](uint32_t* d, const uint32_t* s, int n, const Tint&) { BlitRows::KeepAndAddUnlessClear(d, s, n); },
                [](uint32_t d, uint32_t s, const Tint& t) { return s >> 24 ? keepAndAdd(d, s, t) : d; }, Tint{}, 32);
  static const uint32_t* t = table.data();
  static const Reference clamped = [](uint32_t d, uint32_t s, const Tint&) {
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) out |= t[((d & (0xFFu << 8 * c)) + (s & (0xFFu << 8 * c))) >> 8 * c] << 8 * c;
    return out;
  };
  ExpectMatches([](uint32_t* d, const uint32_t* s, int n, const Tint&) { BlitRows::AddClampedUnlessBlack(d, s, n); },
                clamped, Tint{}, 31);
  // A third of the source made black (any alpha): those pixels leave the destination whole, top byte too.
  static const auto black = [](uint32_t s) { return (s >> 24) % 3 == 0; };
  ExpectMatches(
      [](uint32_t* d, const uint32_t* s, int n, const Tint&) {
        std::vector<uint32_t> source(s, s + n);
        for (uint32_t& p : source) p = black(p) ? p & 0xFF000000u : p;
        BlitRows::AddClampedUnlessBlack(d, source.data(), n);
      },
      [](uint32_t d, uint32_t s, const Tint& none) { return black(s) ? d : clamped(d, s, none); }, Tint{}, 32);
}

namespace {

// The normal blit onto an opaque destination worked out channel by channel: red and green are the
// sum of both weighted channels over 256, blue the sum of each weighted channel over 256; a clear
// source pixel leaves the destination pixel, an opaque one replaces it.
uint32_t OntoOpaqueByChannel(uint32_t d, uint32_t s) {
  const uint32_t a = s >> 24;
  if (a == 0) return d;
  if (a == 255) return s;
  const auto channel = [&](int shift) { return std::pair{(s >> shift) & 0xFF, (d >> shift) & 0xFF}; };
  const auto [sr, dr] = channel(16);
  const auto [sg, dg] = channel(8);
  const auto [sb, db] = channel(0);
  const uint32_t red = (sr * a + dr * (256 - a)) / 256, green = (sg * a + dg * (256 - a)) / 256;
  const uint32_t blue = sb * a / 256 + db * (256 - a) / 256;
  return 0xFF000000u | red << 16 | green << 8 | blue;
}

void ExpectOntoOpaqueByChannel(const std::vector<uint32_t>& src, const std::vector<uint32_t>& dst, size_t at, int n) {
  std::vector<uint32_t> d = dst;
  BlitRows::OntoOpaque(d.data() + at, src.data() + at, n, Tint{});
  for (size_t i = 0; i < d.size(); ++i) {
    const bool drawn = i >= at && i < at + n;
    ASSERT_EQ(drawn ? OntoOpaqueByChannel(dst[i], src[i]) : dst[i], d[i])
        << "start " << at << " count " << n << " pixel " << i << std::hex << " src " << src[i] << " dst " << dst[i];
  }
}

}  // namespace

// Every alpha with every pair of source and destination values in each channel. Neighbouring pixels
// differ in alpha, so every group mixes alphas, clear and opaque ones among translucent ones.
TEST(BlitRows, OntoOpaqueMatchesItsChannelFormulaForEveryAlphaAndChannelPair) {
  std::vector<uint32_t> src(1 << 16), dst(1 << 16);
  for (uint32_t y = 0; y < 256; ++y) {
    for (uint32_t x = 0; x < 256; ++x)
      for (uint32_t a = 0; a < 256; ++a) {
        const size_t i = x << 8 | a;
        src[i] = a << 24 | x << 16 | (x ^ 0x5A) << 8 | (255 - x);
        dst[i] = (x * 7 + a) % 256 << 24 | y << 16 | (y ^ 0xA5) << 8 | (255 - y);
      }
    ASSERT_NO_FATAL_FAILURE(ExpectOntoOpaqueByChannel(src, dst, 0, 1 << 16));
  }
}

// Rows of runs of every kind, with counts 1 to 67 and 800 from every start within 16 pixels.
TEST(BlitRows, OntoOpaqueMatchesItsChannelFormulaOverGroupsOfEveryKind) {
  std::mt19937 rng(50);
  const std::vector<uint32_t> src = AlphaKindRuns(rng, 4096), dst = AlphaKindRuns(rng, 4096);
  for (size_t start = 0; start < 16; ++start)
    for (int n : Widths()) ASSERT_NO_FATAL_FAILURE(ExpectOntoOpaqueByChannel(src, dst, start + rng() % 200 * 16, n));
}

// Whole blits through the path table against the per-pixel rules: transparent source pixels are
// skipped, opaque ones copied onto an opaque destination, the rest composited.
TEST(BlitRows, TableBlitsDrawEveryPixelByItsRule) {
  TestHost host;
  std::mt19937 rng(40);
  const int w = 157, h = 9;
  std::vector<uint32_t> src(w * h), back(w * h);
  // Runs of each kind from 1 to 60 pixels long, so that some are drawn whole and some by the pixel.
  for (int i = 0, left = 0, band = 0; i < w * h; ++i, --left) {
    if (left == 0) left = 1 + rng() % 60, band = rng() % 3;
    src[i] = (band == 0 ? 0u : band == 1 ? 255u : 1 + rng() % 254) << 24 | (rng() & 0xFFFFFF);
    back[i] = 0xFF000000u | (rng() & 0xFFFFFF);
  }
  for (bool opaqueDest : {true, false})
    for (bool palettized : {false, true}) {
      MemoryImage s(&host), d(&host);
      std::vector<uint32_t> pixels = src;
      if (palettized)
        for (uint32_t& p : pixels) p = (p & 0xFF000000u) | (p >> 24);  // few enough colours for a table
      Fill(s, w, h, pixels);
      if (palettized) {
        ASSERT_TRUE(s.ReduceToPalette());
      }
      Fill(d, w, h, back);
      if (!opaqueDest) d.ForceAlphaFlags(false, true);
      d.Blit(&s, 3, 2, Rect(1, 0, w - 1, h), Color::White, 0);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const uint32_t old = back[y * w + x];
          uint32_t want = old;
          if (x >= 3 && y >= 2) {
            const uint32_t p = pixels[(y - 2) * w + x - 2];
            const uint32_t a = p >> 24;
            want = opaqueDest ? (a == 255 ? p
                                 : a == 0 ? old
                                          : PixelOps::BlendOntoOpaque(old, p))
                              : PixelOps::OverLane(old, p, a);
          }
          ASSERT_EQ(want, Px(d, x, y)) << x << "," << y << " opaque " << opaqueDest << " palette " << palettized;
        }
    }
}

TEST(BlitRows, AnImageBlittedOntoItselfReadsWhatItHasDrawn) {
  TestHost host;
  MemoryImage image(&host);
  std::vector<uint32_t> px(40);
  for (int i = 0; i < 40; ++i) px[i] = (i % 3 ? 0x80u : 0xFFu) << 24 | static_cast<uint32_t>(i * 0x030507);
  Fill(image, 40, 1, px);
  image.ForceAlphaFlags(false, true);
  image.Blit(&image, 1, 0, Rect(0, 0, 39, 1), Color(255, 255, 255, 200), 0);
  std::vector<uint32_t> want = px;
  Tint t;
  t.a = 200;
  for (int i = 1; i < 40; ++i) want[i] = PixelOps::OverColorized(want[i], want[i - 1], t);
  for (int i = 0; i < 40; ++i) EXPECT_EQ(want[i], Px(image, i, 0)) << i;
}
