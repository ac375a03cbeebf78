// Stored inputs: tiny JPEG 2000 files made with OpenJPEG's encoder, and inputs the fuzz targets
// found worth keeping, which every decoder must survive.
#include "ImageLibTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ImageLibTest;

namespace {

const std::string kFolder = std::string(TEST_DATA_DIR) + "/resources/imagelib/";

class ImageLibReplay : public ::testing::Test {
protected:
    void SetUp() override { ImageLib::LoadJ2KCodec(); }
    void TearDown() override { ImageLib::FreeJ2KCodec(); }
};

// Both files hold the 4 x 3 picture R = 60x + 20y, G = R + 7, B = R + 14.
void ExpectTinyPicture(const ImageLib::Image& image)
{
    ASSERT_EQ(image.GetWidth(), 4);
    ASSERT_EQ(image.GetHeight(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            uint32_t r = uint32_t(60 * x + 20 * y);
            EXPECT_EQ(image.Row(y)[x], 0xFF000000 | r << 16 | (r + 7) << 8 | (r + 14));
        }
}

} // namespace

TEST_F(ImageLibReplay, TinyJpeg2000FilesDecode)
{
    for (const char* name : {"tiny.j2k", "tiny.jp2"}) {
        auto image = Decode(ImageLib::DecodeJ2K, ReadBytes(kFolder + name));
        ASSERT_TRUE(image) << name;
        ExpectTinyPicture(*image);
    }
    // Through the extension search: ".j2k" and ".jp2" share the decoder.
    std::string folder = TempPath("replay/");
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kFolder + "tiny.jp2", folder + "pic.jp2",
                               std::filesystem::copy_options::overwrite_existing);
    std::unique_ptr<ImageLib::Image> image(LoadImageByExtension(folder + "pic", true));
    ASSERT_TRUE(image);
    ExpectTinyPicture(*image);
}

TEST_F(ImageLibReplay, KeptFuzzInputsDecodeSafelyEverywhere)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
        Bytes bytes = ReadBytes(entry.path().string());
        // The whole-path target's first byte chose the file name, not the contents.
        if (entry.path().filename().string().rfind("load-", 0) == 0 && !bytes.empty())
            bytes.erase(bytes.begin());
        for (Decoder decode : {ImageLib::DecodeTGA, ImageLib::DecodeGIF, ImageLib::DecodePNG,
                               ImageLib::DecodeJPEG, ImageLib::DecodeJ2K})
            Decode(decode, bytes);
        ++files;
    }
    EXPECT_GT(files, 10);
}
