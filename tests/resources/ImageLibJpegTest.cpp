#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

using namespace ImageLibTest;
using ImageLib::DecodeJPEG;

namespace {

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16, 24})
    if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
  return true;
}

// libjpeg's own RGB output of a file, as 0xFFRRGGBB pixels; empty on failure.
std::vector<uint32_t> PlainRgbDecode(const std::vector<uint8_t>& bytes) {
  jpeg_decompress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  std::vector<uint32_t> pixels;
  std::vector<JSAMPLE> row(info.output_width * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (JDIMENSION x = 0; x < info.output_width; ++x)
      pixels.push_back(0xFF000000u | uint32_t(row[x * 3]) << 16 | uint32_t(row[x * 3 + 1]) << 8 | row[x * 3 + 2]);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return pixels;
}

}  // namespace

// A colour file gives exactly libjpeg's RGB output, on a size that is no multiple of the blocks.
TEST(ImageLibJpeg, ColourPixelsAreLibjpegsRgb) {
  auto image = ImageLib::Image::Create(37, 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 37; ++x)
      image->Row(y)[x] = uint32_t(x * 7 + y * 3) << 16 | uint32_t(x * y) << 8 | uint32_t(255 - x * 5);
  std::string path = TempPath("colour.jpg");
  ASSERT_TRUE(ImageLib::WriteJPEGImage(path, image.get()));
  const std::vector<uint8_t> bytes = ReadBytes(path);
  auto decoded = Decode(DecodeJPEG, bytes);
  ASSERT_TRUE(decoded);
  const std::vector<uint32_t> expected = PlainRgbDecode(bytes);
  ASSERT_EQ(expected.size(), 37u * 21u);
  EXPECT_EQ(std::vector<uint32_t>(decoded->GetBits(), decoded->GetBits() + expected.size()), expected);
}

TEST(ImageLibJpeg, WriterRoundTripDropsAlpha) {
  // Flat 16 x 16 blocks; away from their edges quality 80 keeps every pixel close to its colour.
  const uint32_t kBlocks[4] = {0x20C04080, 0x00FF0000, 0x800000FF, 0xFF808080};
  auto block = [&](int x, int y) { return kBlocks[(y / 16) * 2 + x / 16]; };
  auto image = ImageLib::Image::Create(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) image->Row(y)[x] = block(x, y);
  std::string path = TempPath("roundtrip.jpg");
  ASSERT_TRUE(ImageLib::WriteJPEGImage(path, image.get()));
  auto back = Decode(DecodeJPEG, ReadBytes(path));
  ASSERT_TRUE(back);
  ASSERT_EQ(back->GetWidth(), 32);
  ASSERT_EQ(back->GetHeight(), 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      if (x % 16 < 4 || x % 16 >= 12 || y % 16 < 4 || y % 16 >= 12) continue;
      EXPECT_TRUE(Near(back->Row(y)[x], block(x, y) | 0xFF000000, 8)) << x << "," << y;
    }

  EXPECT_FALSE(ImageLib::WriteJPEGImage(TempPath("no/such/folder.jpg"), image.get()));
}

TEST(ImageLibJpeg, GreyscaleGivesEqualChannels) {
  // grey.jpg: 8 x 8, every sample 0x64.
  auto image = Decode(DecodeJPEG, ReadBytes(DataPath("grey.jpg")));
  ASSERT_TRUE(image);
  for (uint32_t p : Pixels(*image)) {
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_EQ(p >> 16 & 0xFF, p & 0xFF);
    EXPECT_EQ(p >> 8 & 0xFF, p & 0xFF);
    EXPECT_NEAR(int(p & 0xFF), 0x64, 2);
  }
}

TEST(ImageLibJpeg, DamagedFilesGiveNullAndTruncatedDataStillEnds) {
  Bytes good = ReadBytes(DataPath("grey.jpg"));
  EXPECT_FALSE(Decode(DecodeJPEG, {}));
  EXPECT_FALSE(Decode(DecodeJPEG, Bytes(good.begin(), good.begin() + 100)));  // inside the tables
  EXPECT_FALSE(Decode(DecodeJPEG, Bytes(200, 0x5A)));
  // Cut inside the scan: the source ends it with an end marker and the picture comes back.
  auto partial = Decode(DecodeJPEG, Bytes(good.begin(), good.end() - 4));
  ASSERT_TRUE(partial);
  EXPECT_EQ(partial->GetWidth(), 8);
}

namespace {

// Writes `rgb` (w x h, 0xRRGGBB) as a four-component JPEG of quality 100. The inks are worked out
// here as amounts of light left (255 = no ink) and stored inverted when the file carries the Adobe
// marker, plain when it does not.
Bytes WriteInkJpeg(const std::vector<uint32_t>& rgb, int w, int h, J_COLOR_SPACE stored, bool adobe) {
  jpeg_compress_struct info = {};
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = JDIMENSION(w);
  info.image_height = JDIMENSION(h);
  info.input_components = 4;
  info.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&info);
  jpeg_set_colorspace(&info, stored);
  info.write_Adobe_marker = adobe ? TRUE : FALSE;
  for (int i = 0; i < info.num_components; ++i)
    info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;  // no chroma blur at block edges
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(size_t(w) * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = rgb[size_t(y * w + x)];
      int r = int(p >> 16 & 0xFF), g = int(p >> 8 & 0xFF), b = int(p & 0xFF);
      int key = std::max({r, g, b, 1});
      int light[4] = {r * 255 / key, g * 255 / key, b * 255 / key, key};
      for (int i = 0; i < 4; ++i) row[size_t(x * 4 + i)] = JSAMPLE(adobe ? light[i] : 255 - light[i]);
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

}  // namespace

TEST(ImageLibJpeg, InkFilesDecodeCloseToTheirColours) {
  // Flat 8 x 8 blocks, so that quality 100 keeps each block's samples exact or nearly so.
  const std::vector<uint32_t> kBlocks = {0xC04080, 0xFF0000, 0x2080FF, 0x808080, 0xFFFFFF, 0x102030};
  const int w = 8 * int(kBlocks.size()), h = 8;
  std::vector<uint32_t> rgb(size_t(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) rgb[size_t(y * w + x)] = kBlocks[size_t(x / 8)];
  const std::pair<J_COLOR_SPACE, bool> kKinds[] = {{JCS_CMYK, true}, {JCS_YCCK, true}, {JCS_CMYK, false}};
  for (auto [stored, adobe] : kKinds) {
    auto image = Decode(DecodeJPEG, WriteInkJpeg(rgb, w, h, stored, adobe));
    ASSERT_TRUE(image) << stored << adobe;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        EXPECT_TRUE(Near(image->Row(y)[x], rgb[size_t(y * w + x)] | 0xFF000000, 2))
            << std::hex << image->Row(y)[x] << " at " << std::dec << x << "," << y << " kind " << stored << adobe;
  }
}
