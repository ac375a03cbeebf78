// The device's sprite row against its per-pixel blend: every pair of texel and pixel alpha, random
// colours, rows of every length around the vector width and every start within 64 bytes, with and
// without a target alpha.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "platform/d3d/D3DSpanRows.h"

using namespace Velk;

TEST(D3DSpanRows, SpriteRowMatchesThePerPixelBlend) {
  std::mt19937 rng(3);
  std::vector<uint32_t> texels, pixels;
  for (uint32_t ta = 0; ta < 256; ++ta)
    for (uint32_t pa = 0; pa < 256; ++pa) {
      texels.push_back(ta << 24 | (rng() & 0xFFFFFF));
      pixels.push_back(pa << 24 | (rng() & 0xFFFFFF));
    }
  for (uint32_t keep : {0xFFFFFFFFu, 0x00FFFFFFu}) {
    std::vector<uint32_t> row = pixels;
    D3DSpanRows::SpriteRow(row.data(), texels.data(), static_cast<int>(row.size()), keep);
    for (size_t i = 0; i < row.size(); ++i)
      ASSERT_EQ(D3DSpanRows::SpritePixel(pixels[i], texels[i], keep), row[i])
          << std::hex << texels[i] << " " << pixels[i];
    for (int offset = 0; offset < 16; ++offset)
      for (int count = 0; count <= 67; ++count) {
        const size_t at = (rng() % 4000) * 16 + offset;
        row = pixels;
        D3DSpanRows::SpriteRow(row.data() + at, texels.data() + at, count, keep);
        for (int i = -1; i <= count; ++i) {
          const uint32_t want =
              i >= 0 && i < count ? D3DSpanRows::SpritePixel(pixels[at + i], texels[at + i], keep) : pixels[at + i];
          ASSERT_EQ(want, row[at + i]) << "count " << count << " offset " << offset << " pixel " << i;
        }
      }
  }
}

TEST(D3DSpanRows, BlendRoundsEachTermAndSaturates) {
  // Alpha 128 over white: 255 x 128 rounds to 128, 255 x 127 to 127; the alpha 128 x 128 to 64.
  EXPECT_EQ(0xBFFFFFFFu, D3DSpanRows::BlendAlpha(0x80FFFFFFu, 0xFFFFFFFFu));
  // 200 x 128 / 255 = 100.4 -> 100; 10 x 127 / 255 = 4.98 -> 5; alpha 128 x 128 -> 64, 255 x 127 -> 127.
  EXPECT_EQ(0xBF696969u, D3DSpanRows::BlendAlpha(0x80C8C8C8u, 0xFF0A0A0Au));
}

// Positions run past every edge of a padded texture, so the clamped addressing is taken on all sides.
TEST(D3DSpanRows, FilteredRowMatchesThePerPixelSample) {
  std::mt19937 rng(5);
  const int w = 29, h = 13, pitch = (w + 3) * 4;
  std::vector<uint32_t> store(pitch / 4 * h);
  for (uint32_t& t : store) t = (rng() % 3 == 0 ? 0u : rng() % 2 ? 0xFF000000u : rng() << 24) | (rng() & 0xFFFFFF);
  std::uniform_real_distribution<float> pos(-0.3f, 1.3f), step(-0.05f, 0.05f);
  for (uint32_t opaque : {0u, 0xFF000000u})
    for (bool wrap : {false, true})
      for (uint32_t keep : {0xFFFFFFFFu, 0x00FFFFFFu})
        for (int count : {1, 5, 8, 13, 64, 67, 800}) {
          const D3DSpanRows::SpriteTexture tex{
              reinterpret_cast<const uint8_t*>(store.data()), pitch, w, h, opaque, wrap, wrap};
          const float u = pos(rng), v = pos(rng), du = step(rng), dv = count % 2 ? 0.0f : step(rng);
          std::vector<uint32_t> before(count);
          for (uint32_t& p : before) p = rng();
          std::vector<uint32_t> row = before;
          D3DSpanRows::FilteredSpriteRow(row.data(), count, u, v, du, dv, tex, keep);
          float pu = u, pv = v;
          for (int i = 0; i < count; ++i, pu += du, pv += dv)
            ASSERT_EQ(D3DSpanRows::SpritePixel(before[i], D3DSpanRows::FilteredTexel(tex, pu, pv), keep), row[i])
                << "pixel " << i << " of " << count << " wrap " << wrap;
        }
}

// A span filtered exactly on texel centres of a power-of-two texture gives the bytes of its texels drawn
// one per pixel; a position a hair off the centre, a width not a power of two or a step not one texel
// does not count as exact, and a hair below the centre weighs the texel before it.
TEST(D3DSpanRows, FilteringOnTexelCentresGivesTheTexelsThemselves) {
  std::mt19937 rng(11);
  for (int width : {2, 8, 64, 256, 1024}) {
    const int height = 16, pitch = (width + 8) * 4;
    std::vector<uint32_t> store(pitch / 4 * height);
    for (uint32_t& t : store)
      t = (rng() % 4 == 0 ? 0u : rng() % 3 == 0 ? 0xFF000000u : rng() << 24) | (rng() & 0xFFFFFF);
    for (bool wrap : {false, true})
      for (uint32_t keep : {0xFFFFFFFFu, 0x00FFFFFFu})
        for (int trial = 0; trial < 40; ++trial) {
          const int count = 1 + static_cast<int>(rng() % static_cast<uint32_t>(width));
          const int first = static_cast<int>(rng() % static_cast<uint32_t>(width - count + 1));
          const int row = static_cast<int>(rng() % height);
          const float w = static_cast<float>(width);
          const float u = (static_cast<float>(first) + 0.5f) / w, du = 1.0f / w;
          const float v = (static_cast<float>(row) + 0.5f) / height;
          const D3DSpanRows::SpriteTexture tex{
              reinterpret_cast<const uint8_t*>(store.data()), pitch, width, height, 0, wrap, wrap};
          ASSERT_EQ(first, D3DSpanRows::ExactTexelColumn(u, du, width, count));
          ASSERT_EQ(row, D3DSpanRows::ExactTexelRow(v, height, wrap));
          std::vector<uint32_t> filtered(static_cast<size_t>(count));
          for (uint32_t& p : filtered) p = rng();
          std::vector<uint32_t> plain = filtered;
          D3DSpanRows::FilteredSpriteRow(filtered.data(), count, u, v, du, 0.0f, tex, keep);
          D3DSpanRows::SpriteRow(plain.data(), &store[static_cast<size_t>(row * pitch / 4 + first)], count, keep);
          ASSERT_EQ(plain, filtered) << "width " << width << " first " << first << " count " << count;
        }
  }
  EXPECT_EQ(-1, D3DSpanRows::ExactTexelColumn(std::nextafter(0.5f / 64, 1.0f), 1.0f / 64, 64, 4));
  EXPECT_EQ(-1, D3DSpanRows::ExactTexelColumn(0.5f / 48, 1.0f / 48, 48, 4));
  EXPECT_EQ(-1, D3DSpanRows::ExactTexelColumn(0.5f / 64, 1.01f / 64, 64, 4));
  EXPECT_EQ(-1, D3DSpanRows::ExactTexelColumn(60.5f / 64, 1.0f / 64, 64, 5));  // runs past the last texel
  EXPECT_EQ(-1, D3DSpanRows::ExactTexelRow(std::nextafter(2.5f / 16, 0.0f), 16, false));
  EXPECT_EQ(15, D3DSpanRows::ExactTexelRow(40.5f / 16, 16, false));  // clamped to the last row
  EXPECT_EQ(8, D3DSpanRows::ExactTexelRow(40.5f / 16, 16, true));    // wrapped
}
