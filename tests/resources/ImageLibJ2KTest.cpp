#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

using namespace ImageLibTest;
using ImageLib::DecodeJ2K;

namespace {

class ImageLibJ2K : public ::testing::Test {
 protected:
  void SetUp() override { ImageLib::LoadJ2KCodec(); }
  void TearDown() override { ImageLib::FreeJ2KCodec(); }
};

}  // namespace

TEST_F(ImageLibJ2K, FileAndCodestreamDecodeOpaque) {
  // Both hold the 4 x 3 picture R = 60x + 20y, G = R + 7, B = R + 14.
  for (const char* name : {"tiny.j2k", "tiny.jp2"}) {
    auto image = Decode(DecodeJ2K, ReadBytes(DataPath(name)));
    ASSERT_TRUE(image) << name;
    ASSERT_EQ(image->GetWidth(), 4);
    ASSERT_EQ(image->GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        uint32_t r = uint32_t(60 * x + 20 * y);
        EXPECT_EQ(image->Row(y)[x], 0xFF000000 | r << 16 | (r + 7) << 8 | (r + 14));
      }
  }
}

TEST_F(ImageLibJ2K, GreyOfOtherPrecisionsScalesToEightBits) {
  // grey12.j2k holds 1000x + 17y in 12 bits: the top 8 bits are kept (3034 >> 4 = 189).
  auto twelve = Decode(DecodeJ2K, ReadBytes(DataPath("grey12.j2k")));
  ASSERT_TRUE(twelve);
  EXPECT_EQ(twelve->Row(2)[3], 0xFFBDBDBDu);
  // grey4.j2k holds x + 4y in 4 bits, stretched over 0..255 (11 * 255 / 15 = 187).
  auto four = Decode(DecodeJ2K, ReadBytes(DataPath("grey4.j2k")));
  ASSERT_TRUE(four);
  EXPECT_EQ(four->Row(0)[1], 0xFF111111u);
  EXPECT_EQ(four->Row(2)[3], 0xFFBBBBBBu);
}

TEST_F(ImageLibJ2K, RefusesWithoutCodecAndOnDamage) {
  Bytes file = ReadBytes(DataPath("tiny.jp2"));
  for (size_t cut : {size_t(0), size_t(11), size_t(40), size_t(100), file.size() - 10})
    EXPECT_FALSE(Decode(DecodeJ2K, Bytes(file.begin(), file.begin() + long(cut)))) << cut;
  EXPECT_FALSE(Decode(DecodeJ2K, Bytes(64, 0x42)));
  ImageLib::FreeJ2KCodec();
  EXPECT_FALSE(Decode(DecodeJ2K, file));
}
