#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ImageLibTest;
using ImageLib::DecodeJPEG;

namespace {

bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift : {0, 8, 16, 24})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

} // namespace

TEST(ImageLibJpeg, WriterRoundTripDropsAlpha)
{
    // Flat 16 x 16 blocks; away from their edges quality 80 keeps every pixel close to its colour.
    const uint32_t kBlocks[4] = {0x20C04080, 0x00FF0000, 0x800000FF, 0xFF808080};
    auto block = [&](int x, int y) { return kBlocks[(y / 16) * 2 + x / 16]; };
    auto image = ImageLib::Image::Create(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image->Row(y)[x] = block(x, y);
    std::string path = TempPath("roundtrip.jpg");
    ASSERT_TRUE(ImageLib::WriteJPEGImage(path, image.get()));
    auto back = Decode(DecodeJPEG, ReadBytes(path));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->GetWidth(), 32);
    ASSERT_EQ(back->GetHeight(), 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (x % 16 < 4 || x % 16 >= 12 || y % 16 < 4 || y % 16 >= 12)
                continue;
            EXPECT_TRUE(Near(back->Row(y)[x], block(x, y) | 0xFF000000, 8)) << x << "," << y;
        }

    EXPECT_FALSE(ImageLib::WriteJPEGImage(TempPath("no/such/folder.jpg"), image.get()));
}

TEST(ImageLibJpeg, GreyscaleGivesEqualChannels)
{
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

TEST(ImageLibJpeg, DamagedFilesGiveNullAndTruncatedDataStillEnds)
{
    Bytes good = ReadBytes(DataPath("grey.jpg"));
    EXPECT_FALSE(Decode(DecodeJPEG, {}));
    EXPECT_FALSE(Decode(DecodeJPEG, Bytes(good.begin(), good.begin() + 100))); // inside the tables
    EXPECT_FALSE(Decode(DecodeJPEG, Bytes(200, 0x5A)));
    // Cut inside the scan: the source ends it with an end marker and the picture comes back.
    auto partial = Decode(DecodeJPEG, Bytes(good.begin(), good.end() - 4));
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->GetWidth(), 8);
}
