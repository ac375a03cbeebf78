// The image writers, read back by the game's own image loader.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "contentlib/GifWriter.h"
#include "contentlib/ImageFile.h"
#include "contentlib/Jp2Writer.h"
#include "contentlib/JpegWriter.h"
#include "contentlib/PngWriter.h"
#include "contentlib/TgaWriter.h"
#include "resources/PakTestSupport.h"
#include "resources/ImageLib.h"

namespace Content {
namespace {

// A picture with every channel varying, so swapped channels or rows show.
Picture Pattern(int w, int h, bool alpha) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t a = alpha ? static_cast<uint32_t>((x * 37 + y * 11) & 0xFF) : 0xFF;
      p.At(x, y) = a << 24 | static_cast<uint32_t>(x * 16) << 16 | static_cast<uint32_t>(y * 16) << 8 | ((x + y) * 8);
    }
  return p;
}

class ImageWritersTest : public ::testing::Test {
 protected:
  // Writes the bytes and decodes them with the loader the game uses for that extension.
  std::unique_ptr<ImageLib::Image> Load(const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteBytes(name, bytes);
    return std::unique_ptr<ImageLib::Image>(LoadImageByExtension(name, true));
  }
  std::unique_ptr<ImageLib::Image> Encoded(const std::string& name, const Picture& picture) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ImageFile::Encode(name, picture, bytes, error)) << error;
    return Load(name, bytes);
  }
  static void ExpectPixels(const ImageLib::Image& image, const Picture& picture) {
    ASSERT_EQ(image.GetWidth(), picture.width);
    ASSERT_EQ(image.GetHeight(), picture.height);
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) ASSERT_EQ(image.Row(y)[x], picture.At(x, y)) << "at " << x << "," << y;
  }

  WorkingScratchFolder mFolder;  // the current folder while the test runs
};

TEST_F(ImageWritersTest, LosslessFormatsGiveBackEveryPixel) {
  const Picture withAlpha = Pattern(13, 9, true), opaque = Pattern(13, 9, false);
  for (const char* name : {"p.png", "p.tga"}) {
    auto image = Encoded(name, withAlpha);
    ASSERT_TRUE(image) << name;
    ExpectPixels(*image, withAlpha);
  }
  ImageLib::LoadJ2KCodec();
  auto jp2 = Encoded("p.jp2", opaque);
  ImageLib::FreeJ2KCodec();
  ASSERT_TRUE(jp2);
  ExpectPixels(*jp2, opaque);
}

TEST_F(ImageWritersTest, TgaHeaderIsUncompressedTopDown32Bit) {
  std::vector<uint8_t> bytes;
  std::string error;
  ASSERT_TRUE(TgaWriter::Write(Pattern(3, 2, true), bytes, error));
  ASSERT_EQ(bytes.size(), 18u + 3 * 2 * 4);
  EXPECT_EQ(bytes[2], 2);
  EXPECT_EQ(bytes[12] | bytes[13] << 8, 3);
  EXPECT_EQ(bytes[14] | bytes[15] << 8, 2);
  EXPECT_EQ(bytes[16], 32);
  EXPECT_EQ(bytes[17], 0x28);
  const uint32_t first = Pattern(3, 2, true).At(0, 0);  // B G R A of the top-left pixel first
  EXPECT_EQ(bytes[18] | bytes[19] << 8 | bytes[20] << 16 | static_cast<uint32_t>(bytes[21]) << 24, first);
}

TEST_F(ImageWritersTest, GifKeepsPaletteColoursAndTransparency) {
  Picture p(40, 30);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.At(x, y) = (x + y) % 7 == 0 ? 0 : 0xFF000000 | static_cast<uint32_t>((x % 10) * 20 << 16 | (y % 10) << 8);
  auto image = Encoded("p.gif", p);
  ASSERT_TRUE(image);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const uint32_t got = image->Row(y)[x];
      if (p.At(x, y) == 0)
        ASSERT_EQ(got >> 24, 0u) << x << "," << y;
      else
        ASSERT_EQ(got, p.At(x, y)) << x << "," << y;
    }
  Picture many(257, 1);
  for (int x = 0; x < 257; ++x) many.At(x, 0) = 0xFF000000 | static_cast<uint32_t>(x);
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_FALSE(GifWriter::Write(many, bytes, error));
  EXPECT_EQ(error, "more than 256 colours for a GIF");
}

TEST_F(ImageWritersTest, GifCodesWidenAndResetOverLongInput) {
  // Enough distinct runs to fill the 4096-code table several times.
  Picture p(256, 256);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      p.At(x, y) = 0xFF000000 | static_cast<uint32_t>(((x * 7 + y * 13 + x * y) % 251) << 8);
  auto image = Encoded("big.gif", p);
  ASSERT_TRUE(image);
  ExpectPixels(*image, p);
}

TEST_F(ImageWritersTest, JpegIsCloseOnFlatAreasAndTakesItsAlphaFromTheCompanion) {
  Picture p(32, 32, 0xFF3A9E9A);
  for (int y = 0; y < 32; ++y)
    for (int x = 16; x < 32; ++x) p.At(x, y) = 0x80D9A441;
  std::vector<uint8_t> colour, alpha;
  std::string error;
  ASSERT_TRUE(JpegWriter::Write(p, colour, error));
  ASSERT_TRUE(ImageFile::Encode("gfx\\_pic.jpg", p, alpha, error));  // the '_' name makes the companion
  WriteBytes("_pic.jpg", alpha);
  auto image = Load("pic.jpg", colour);
  ASSERT_TRUE(image);
  auto near = [](uint32_t a, uint32_t b, int shift) {
    return std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) <= 3;
  };
  for (auto [x, y] : {std::pair{3, 3}, std::pair{27, 20}})
    for (int shift : {0, 8, 16, 24}) EXPECT_TRUE(near(image->Row(y)[x], p.At(x, y), shift)) << x << " " << shift;
  // No thumbnail and no comment: the only markers before the frame are JFIF, tables and the frame.
  EXPECT_EQ(std::string(colour.begin() + 6, colour.begin() + 10), "JFIF");
  for (size_t i = 0; i + 1 < colour.size(); ++i) ASSERT_FALSE(colour[i] == 0xFF && colour[i + 1] == 0xFE);
}

TEST_F(ImageWritersTest, OpaqueFormatsFromPicturesWithAlphaAndSameInputSameBytes) {
  EXPECT_TRUE(ImageFile::KeepsAlpha("a.png"));
  EXPECT_FALSE(ImageFile::KeepsAlpha("a.jp2"));
  std::vector<uint8_t> one, two;
  std::string error;
  ASSERT_TRUE(PngWriter::Write(Pattern(20, 20, true), one, error));
  ASSERT_TRUE(PngWriter::Write(Pattern(20, 20, true), two, error));
  EXPECT_EQ(one, two);
  const std::string bytes(one.begin(), one.end());
  EXPECT_EQ(bytes.find("tIME"), std::string::npos);
  EXPECT_FALSE(ImageFile::Encode("a.bmp", Pattern(2, 2, false), one, error));
}

}  // namespace
}  // namespace Content
