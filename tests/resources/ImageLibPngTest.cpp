#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <zlib.h>


using namespace ImageLibTest;
using ImageLib::DecodePNG;

namespace {

// A 5 x 5 picture with every channel different in every pixel.
uint32_t Sample(int x, int y)
{
    return uint32_t(0xFF - x * 7) << 24 | uint32_t(x * 40) << 16 | uint32_t(y * 40) << 8 | uint32_t(x + y * 5);
}

PngSpec SamplePng(int bitDepth, bool interlaced)
{
    PngSpec spec;
    spec.width = spec.height = 5;
    spec.bitDepth = bitDepth;
    spec.interlaced = interlaced;
    int bytes = bitDepth / 8;
    for (int y = 0; y < 5; ++y) {
        Bytes row;
        for (int x = 0; x < 5; ++x) {
            uint32_t p = Sample(x, y);
            // File order R, G, B, A; a 16-bit sample carries the 8-bit value in its high byte.
            for (int shift : {16, 8, 0, 24}) {
                row.push_back(uint8_t(p >> shift));
                if (bytes == 2)
                    row.push_back(0x5A);
            }
        }
        spec.rows.push_back(row);
    }
    return spec;
}

std::vector<uint32_t> SamplePixels()
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            pixels.push_back(Sample(x, y));
    return pixels;
}

} // namespace

TEST(ImageLibPng, EightBitSixteenBitAndInterlacedGiveTheSamePixels)
{
    for (int depth : {8, 16})
        for (bool interlaced : {false, true}) {
            auto image = Decode(DecodePNG, EncodePng(SamplePng(depth, interlaced)));
            ASSERT_TRUE(image) << depth << interlaced;
            EXPECT_EQ(image->GetWidth(), 5);
            EXPECT_EQ(Pixels(*image), SamplePixels()) << depth << interlaced;
        }
}

TEST(ImageLibPng, PaletteAndGreyExpandToArgb)
{
    PngSpec palette;
    palette.width = 3;
    palette.colourType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = {{0x10, 0x20, 0x30}, {0x40, 0x50, 0x60}, {0x70, 0x80, 0x90}};
    palette.paletteAlpha = {0x00, 0x7F};
    palette.rows = {{2, 1, 0}};
    auto image = Decode(DecodePNG, EncodePng(palette));
    ASSERT_TRUE(image);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF708090, 0x7F405060, 0x00102030}));

    PngSpec grey;
    grey.width = 4;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 2;
    grey.rows = {{0x1B}}; // samples 0, 1, 2, 3
    image = Decode(DecodePNG, EncodePng(grey));
    ASSERT_TRUE(image);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}));
}

TEST(ImageLibPng, WriterRoundTripsEveryChannel)
{
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

TEST(ImageLibPng, DamagedFilesGiveNull)
{
    Bytes good = EncodePng(SamplePng(8, false));
    ASSERT_TRUE(Decode(DecodePNG, good));
    for (size_t cut : {0u, 8u, 20u, 40u, 60u})
        EXPECT_FALSE(Decode(DecodePNG, Bytes(good.begin(), good.begin() + long(cut)))) << cut;
    Bytes badCrc = good;
    badCrc[29] ^= 1; // inside the header chunk's CRC
    EXPECT_FALSE(Decode(DecodePNG, badCrc));

    // A header asking for 60000 x 60000 pixels with almost no data.
    Bytes header = good;
    const uint8_t k60000[4] = {0x00, 0x00, 0xEA, 0x60};
    std::copy(k60000, k60000 + 4, header.begin() + 16); // width
    std::copy(k60000, k60000 + 4, header.begin() + 20); // height
    uint32_t crc = uint32_t(crc32(0, header.data() + 12, 17));
    for (int i = 0; i < 4; ++i)
        header[29 + i] = uint8_t(crc >> (24 - 8 * i));
    EXPECT_FALSE(Decode(DecodePNG, header));
}
