// The device's sprite row against its per-pixel blend: every pair of texel and pixel alpha, random
// colours, rows of every length around the vector width and every start within 64 bytes, with and
// without a target alpha.
#include <gtest/gtest.h>

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
      ASSERT_EQ(D3DSpanRows::SpritePixel(pixels[i], texels[i], keep), row[i]) << std::hex << texels[i] << " " << pixels[i];
    for (int offset = 0; offset < 16; ++offset)
      for (int count = 0; count <= 67; ++count) {
        const size_t at = (rng() % 4000) * 16 + offset;
        row = pixels;
        D3DSpanRows::SpriteRow(row.data() + at, texels.data() + at, count, keep);
        for (int i = -1; i <= count; ++i) {
          const uint32_t want = i >= 0 && i < count ? D3DSpanRows::SpritePixel(pixels[at + i], texels[at + i], keep)
                                                    : pixels[at + i];
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
          const D3DSpanRows::SpriteTexture tex{reinterpret_cast<const uint8_t*>(store.data()), pitch, w, h, opaque, wrap, wrap};
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
