#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "graphics/PackedPixels.h"

using namespace Velk;

namespace {

std::vector<uint32_t> Unpacked(const PackedPixels& packed) {
  std::vector<uint32_t> out(packed.Count() + 1, 0xDEADBEEFu);
  packed.Unpack(out.data());
  EXPECT_EQ(0xDEADBEEFu, out.back()) << "wrote past the end";
  out.pop_back();
  return out;
}

// Rows of flat art: runs of every length from 1 up, a few colours, some of them repeating the colour
// before them after a run of another, and stretches of noise.
std::vector<uint32_t> FlatArt(std::mt19937& random, size_t count) {
  std::vector<uint32_t> pixels;
  const uint32_t colours[] = {0, 0xFF102030, 0x80FF8040, 0x00FFFFFF, 0xFF102031};
  while (pixels.size() < count) {
    const size_t length = random() % 4 == 0 ? random() % 4 + 1 : random() % 300 + 1;
    const bool noise = random() % 8 == 0;
    const uint32_t colour = colours[random() % 5];
    for (size_t i = 0; i < length && pixels.size() < count; ++i) pixels.push_back(noise ? random() : colour);
  }
  return pixels;
}

}  // namespace

TEST(PackedPixels, FlatArtComesBackWordForWord) {
  std::mt19937 random(7);
  for (size_t count : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{64}, size_t{999}, size_t{360 * 1440}}) {
    for (int round = 0; round < 20; ++round) {
      const std::vector<uint32_t> pixels = FlatArt(random, count);
      std::unique_ptr<PackedPixels> packed = PackedPixels::Pack(pixels.data(), pixels.size());
      if (!packed) continue;
      ASSERT_EQ(count, packed->Count());
      ASSERT_EQ(pixels, Unpacked(*packed)) << count << " pixels, round " << round;
      EXPECT_LE(packed->ByteSize(), count / 2 * 4);
    }
  }
  // The large flat rows always pay.
  const std::vector<uint32_t> sheet = FlatArt(random, 360 * 1440);
  EXPECT_NE(nullptr, PackedPixels::Pack(sheet.data(), sheet.size()));
}

// Sizes worked out by hand: a length word for each piece, then one word for a run or every word of a
// stretch; runs of fewer than three words stay in the stretch around them.
TEST(PackedPixels, RunsAndStretchesTakeTheirWords) {
  const std::vector<uint32_t> flat(100, 0xFF00FF00u);
  std::unique_ptr<PackedPixels> packed = PackedPixels::Pack(flat.data(), flat.size());
  ASSERT_NE(nullptr, packed);
  EXPECT_EQ(8u, packed->ByteSize());
  EXPECT_EQ(flat, Unpacked(*packed));

  // 5 words as they are (1, 2, 2, 3, 4: the pair is too short), a run of 40, 3 words as they are, a
  // run of 3 at the end: 1 + 5 + 2 + 1 + 3 + 2 = 14 words.
  std::vector<uint32_t> mixed = {1, 2, 2, 3, 4};
  mixed.insert(mixed.end(), 40, 9u);
  mixed.insert(mixed.end(), {5, 6, 7, 8, 8, 8});
  packed = PackedPixels::Pack(mixed.data(), mixed.size());
  ASSERT_NE(nullptr, packed);
  EXPECT_EQ(14u * 4, packed->ByteSize());
  EXPECT_EQ(mixed, Unpacked(*packed));
}

TEST(PackedPixels, NoPackingWhereItWouldNotHalveTheRoom) {
  std::vector<uint32_t> pairs;
  for (uint32_t i = 0; i < 500; ++i) pairs.insert(pairs.end(), {i, i});
  EXPECT_EQ(nullptr, PackedPixels::Pack(pairs.data(), pairs.size()));
  // Ten runs of 4: 20 words for 40, exactly half, pays; one more word does not.
  std::vector<uint32_t> runs;
  for (uint32_t i = 0; i < 10; ++i) runs.insert(runs.end(), 4, i);
  EXPECT_NE(nullptr, PackedPixels::Pack(runs.data(), runs.size()));
  runs.push_back(99);
  runs.push_back(100);
  EXPECT_EQ(nullptr, PackedPixels::Pack(runs.data(), runs.size()));
  EXPECT_EQ(nullptr, PackedPixels::Pack(nullptr, 10));
  EXPECT_EQ(nullptr, PackedPixels::Pack(runs.data(), 0));
}
