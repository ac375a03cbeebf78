#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

using namespace ImageLibTest;
using ImageLib::DecodeGIF;

namespace {

const std::vector<uint32_t> kFourColours{0x000000, 0x112233, 0x445566, 0x778899};

std::unique_ptr<ImageLib::Image> DecodeShape(const GifShape& shape) { return Decode(DecodeGIF, MakeGif(shape)); }

}  // namespace

TEST(ImageLibGif, DecodesTableEntriesAndRepeatedStrings) {
  GifShape shape;
  shape.width = 3;
  shape.height = 2;
  shape.globalColours = kFourColours;
  // 1 2 1 2 1 2: literals, then entry 6 ("1 2") twice; the width grows to 4 bits after entry 7.
  shape.codes = {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {6, 4}, {5, 4}};
  auto image = DecodeShape(shape);
  ASSERT_TRUE(image);
  uint32_t a = 0xFF112233, b = 0xFF445566;
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{a, b, a, b, a, b}));

  // 1, then "1 1" and "1 1 1", each code being the entry not yet in the table.
  shape.codes = {{4, 3}, {1, 3}, {6, 3}, {7, 3}, {5, 4}};
  image = DecodeShape(shape);
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), std::vector<uint32_t>(6, a));
}

TEST(ImageLibGif, InterlacedRowsFollowThePassOrder) {
  GifShape shape;
  shape.height = 10;
  shape.interlaced = true;
  shape.minBits = 4;
  for (uint32_t k = 0; k < 16; ++k) shape.globalColours.push_back(k * 0x111111);
  shape.codes = LiteralCodes(4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  auto image = DecodeShape(shape);
  ASSERT_TRUE(image);
  // Decoded rows land on rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  const int kDecodedAt[10] = {0, 5, 3, 6, 2, 7, 4, 8, 1, 9};
  for (int row = 0; row < 10; ++row) EXPECT_EQ(image->Row(row)[0], 0xFF000000u | kDecodedAt[row] * 0x111111u) << row;
}

TEST(ImageLibGif, TransparentAndOutOfTableIndicesAreClear) {
  GifShape shape;
  shape.width = 4;
  shape.globalColours = {0xFFFFFF, 0xFFFFFF};
  shape.localColours = kFourColours;
  shape.transparentIndex = 2;
  shape.codes = LiteralCodes(2, {0, 1, 2, 3});
  auto image = DecodeShape(shape);
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF000000, 0xFF112233, 0, 0xFF778899}));

  shape.localColours.clear();
  shape.transparentIndex = -1;
  image = DecodeShape(shape);
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFFFFFFFF, 0xFFFFFFFF, 0, 0}));
}

TEST(ImageLibGif, FilesWithoutAUsableImageGiveNull) {
  GifShape shape;
  shape.globalColours = kFourColours;
  shape.codes = LiteralCodes(2, {1});
  Bytes good = MakeGif(shape);
  ASSERT_TRUE(Decode(DecodeGIF, good));

  Bytes trailerFirst(good.begin(), good.begin() + 13 + 12);
  trailerFirst.push_back(0x3B);
  EXPECT_FALSE(Decode(DecodeGIF, trailerFirst));
  Bytes badSignature = good;
  badSignature[4] = '8';
  EXPECT_FALSE(Decode(DecodeGIF, badSignature));
  for (size_t cut : {3u, 12u, 20u, 40u, 50u})
    EXPECT_FALSE(Decode(DecodeGIF, Bytes(good.begin(), good.begin() + long(cut)))) << cut;

  shape.globalColours.clear();
  EXPECT_FALSE(DecodeShape(shape));  // no colour table at all
  shape.globalColours = kFourColours;
  shape.width = 0;
  EXPECT_FALSE(DecodeShape(shape));
}

TEST(ImageLibGif, BadCodeStreamsStopDecodingSafely) {
  GifShape shape;
  shape.width = 2;
  shape.globalColours = kFourColours;
  const uint32_t a = 0xFF112233;
  const std::vector<std::pair<std::vector<std::pair<int, int>>, std::vector<uint32_t>>> cases{
      {{{4, 3}, {6, 3}}, {0, 0}},                            // a table code with nothing before it
      {{{4, 3}, {1, 3}, {7, 3}}, {a, 0}},                    // a code beyond the next free one
      {{{4, 3}, {1, 3}, {5, 3}, {1, 3}}, {a, 0}},            // the end code
      {LiteralCodes(2, std::vector<int>(5000, 1)), {a, a}},  // more pixels than the image holds
  };
  for (const auto& [codes, expected] : cases) {
    shape.codes = codes;
    auto image = DecodeShape(shape);
    ASSERT_TRUE(image);
    EXPECT_EQ(Pixels(*image), expected);
  }

  shape.width = 1;
  shape.height = 3;
  shape.interlaced = true;
  shape.codes = LiteralCodes(2, std::vector<int>(50, 1));
  auto image = DecodeShape(shape);
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), std::vector<uint32_t>(3, a));

  shape.minBits = 12;
  image = DecodeShape(shape);
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), std::vector<uint32_t>(3, 0));
}
