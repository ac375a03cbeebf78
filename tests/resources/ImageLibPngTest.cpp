#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <zlib.h>

using namespace ImageLibTest;
using ImageLib::DecodePNG;

namespace {

// The 5 x 5 picture stored in rgba16.png and rgba8i.png: every channel differs in every pixel.
std::vector<uint32_t> SamplePixels() {
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < 5; ++y)
    for (uint32_t x = 0; x < 5; ++x)
      pixels.push_back((0xFF - x * 7) << 24 | (x * 40) << 16 | (y * 40) << 8 | (x + y * 5));
  return pixels;
}

}  // namespace

TEST(ImageLibPng, SixteenBitInterlacedPaletteAndGreyFilesExpand) {
  // 16-bit samples keep their high byte; the interlaced file's seven passes fill the same rows.
  for (const char* name : {"rgba16.png", "rgba8i.png"}) {
    auto image = Decode(DecodePNG, ReadBytes(DataPath(name)));
    ASSERT_TRUE(image) << name;
    EXPECT_EQ(image->GetWidth(), 5);
    EXPECT_EQ(Pixels(*image), SamplePixels()) << name;
  }
  // Palette indices 2, 1, 0 with transparency for the first two entries only.
  auto image = Decode(DecodePNG, ReadBytes(DataPath("palette.png")));
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF708090, 0x7F405060, 0x00102030}));
  // 2-bit grey samples 0..3.
  image = Decode(DecodePNG, ReadBytes(DataPath("grey2.png")));
  ASSERT_TRUE(image);
  EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));
}

TEST(ImageLibPng, WriterRoundTripsEveryChannel) {
  auto image = ImageLib::Image::Create(5, 5);
  std::vector<uint32_t> pixels = SamplePixels();
  std::copy(pixels.begin(), pixels.end(), image->GetBits());
  std::string path = TempPath("roundtrip.png");
  ASSERT_TRUE(ImageLib::WritePNGImage(path, image.get()));
  auto back = Decode(DecodePNG, ReadBytes(path));
  ASSERT_TRUE(back);
  EXPECT_EQ(Pixels(*back), pixels);

  EXPECT_FALSE(ImageLib::WritePNGImage(TempPath("no/such/folder.png"), image.get()));
  ImageLib::Image empty;
  EXPECT_FALSE(ImageLib::WritePNGImage(path, &empty));
}

TEST(ImageLibPng, DamagedFilesGiveNull) {
  Bytes good = ReadBytes(DataPath("rgba16.png"));
  ASSERT_TRUE(Decode(DecodePNG, good));
  for (size_t cut : {0u, 8u, 20u, 40u, 60u})
    EXPECT_FALSE(Decode(DecodePNG, Bytes(good.begin(), good.begin() + long(cut)))) << cut;
  Bytes badCrc = good;
  badCrc[29] ^= 1;  // inside the header chunk's CRC
  EXPECT_FALSE(Decode(DecodePNG, badCrc));

  // A valid header asking for 60000 x 60000 pixels.
  Bytes huge = good;
  const uint8_t k60000[4] = {0x00, 0x00, 0xEA, 0x60};
  std::copy(k60000, k60000 + 4, huge.begin() + 16);  // width
  std::copy(k60000, k60000 + 4, huge.begin() + 20);  // height
  uint32_t crc = uint32_t(crc32(0, huge.data() + 12, 17));
  for (int i = 0; i < 4; ++i) huge[29 + i] = uint8_t(crc >> (24 - 8 * i));
  EXPECT_FALSE(Decode(DecodePNG, huge));
}
