#include "ImageLibTestUtil.h"

#include "resources/PakInterface.h"
#include "resources/PakWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ImageLibTest;

namespace {

class ImageLibLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        mFolder = TempPath("load/");
        std::filesystem::remove_all(mFolder);
        std::filesystem::create_directories(mFolder + "a.b");
    }

    void TearDown() override { ImageLib::gAlphaColor = 0xFFFFFF; }

    void Write(const std::string& name, const Bytes& bytes) const
    {
        WriteBytes(mFolder + name, bytes);
    }

    // A one-row GIF whose pixels are the given 0xRRGGBB colours.
    void WriteGif(const std::string& name, const std::vector<uint32_t>& colours) const
    {
        GifSpec spec;
        spec.width = int(colours.size());
        spec.globalColours = colours;
        while (spec.globalColours.size() < 2 || (spec.globalColours.size() & (spec.globalColours.size() - 1)))
            spec.globalColours.push_back(0);
        spec.minBits = std::max(2, TableBits(spec.globalColours.size()) + 1);
        std::vector<int> indices;
        for (size_t i = 0; i < colours.size(); ++i)
            indices.push_back(int(i));
        spec.codes = LiteralCodes(spec.minBits, indices);
        Write(name, MakeGif(spec));
    }

    void WriteTga(const std::string& name, const std::vector<uint32_t>& pixels) const
    {
        Bytes bytes;
        for (uint32_t p : pixels)
            bytes.insert(bytes.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)});
        Write(name, MakeTga(int(pixels.size()), 1, 32, 0x28, bytes));
    }

    std::vector<uint32_t> Load(const std::string& name, bool lookForAlpha) const
    {
        std::unique_ptr<ImageLib::Image> image(LoadImageByExtension(mFolder + name, lookForAlpha));
        return image ? Pixels(*image) : std::vector<uint32_t>{};
    }

    std::string mFolder;
};

} // namespace

TEST_F(ImageLibLoad, ExtensionsAreTriedInOrderUnlessOneIsGiven)
{
    PngSpec png;
    png.rows = {{0xFF, 0x00, 0x00, 0xFF}};
    Write("pic.png", EncodePng(png));
    WriteGif("pic.gif", {0x00FF00});
    EXPECT_EQ(Load("pic", false), std::vector<uint32_t>{0xFFFF0000});
    EXPECT_EQ(Load("pic.gif", false), std::vector<uint32_t>{0xFF00FF00});
    EXPECT_EQ(Load("pic.GIF", false), std::vector<uint32_t>{0xFF00FF00});
    EXPECT_TRUE(Load("pic.bmp", false).empty());
    EXPECT_TRUE(Load("pic.jpg", false).empty());

    // A file that fails to decode does not end the search; the first that decodes does.
    Write("pic.tga", Bytes(10, 0));
    EXPECT_EQ(Load("pic", false), std::vector<uint32_t>{0xFFFF0000});
    WriteTga("pic.tga", {0x80123456});
    EXPECT_EQ(Load("pic", false), std::vector<uint32_t>{0x80123456});

    // A dot in a folder name is no extension.
    WriteGif("a.b/pic.gif", {0x0000FF});
    EXPECT_EQ(Load("a.b/pic", false), std::vector<uint32_t>{0xFF0000FF});
}

TEST_F(ImageLibLoad, CompanionBlueBecomesAlphaWhenSizesMatch)
{
    WriteTga("logo.tga", {0xFF102030, 0xFF405060});
    WriteGif("_logo.gif", {0x000080, 0xFFFF0C});
    EXPECT_EQ(Load("logo", true), (std::vector<uint32_t>{0x80102030, 0x0C405060}));
    EXPECT_EQ(Load("logo", false), (std::vector<uint32_t>{0xFF102030, 0xFF405060}));
    // With an extension the companion must have the same one.
    EXPECT_EQ(Load("logo.tga", true), (std::vector<uint32_t>{0xFF102030, 0xFF405060}));

    WriteTga("icon.tga", {0xFF102030, 0xFF405060});
    WriteGif("_icon.gif", {0x000080});
    EXPECT_EQ(Load("icon", true), (std::vector<uint32_t>{0xFF102030, 0xFF405060}));

    // Without an "_" prefix file, the name followed by "_" is the companion.
    WriteTga("shade.tga", {0xFF0000FF});
    WriteGif("shade_.gif", {0x000033});
    EXPECT_EQ(Load("shade", true), std::vector<uint32_t>{0x330000FF});
}

TEST_F(ImageLibLoad, CompanionAloneTakesTheAlphaColour)
{
    WriteGif("_mask.gif", {0x000080, 0x0000FF, 0xABCD00});
    EXPECT_EQ(Load("mask", true), (std::vector<uint32_t>{0x80FFFFFF, 0xFFFFFFFF, 0x00FFFFFF}));
    ImageLib::gAlphaColor = 0x123456;
    EXPECT_EQ(Load("mask", true), (std::vector<uint32_t>{0x80123456, 0xFF123456, 0x00123456}));
    EXPECT_TRUE(Load("mask", false).empty());
}

TEST_F(ImageLibLoad, FileDecodersReadThroughTheFileLayer)
{
    ImageLib::LoadJ2KCodec();
    auto image = ImageLib::Image::Create(2, 1);
    image->GetBits()[0] = 0x7F010203;
    ASSERT_TRUE(ImageLib::WritePNGImage(mFolder + "w.png", image.get()));
    std::unique_ptr<ImageLib::Image> back(ImageLib::GetPNGImage(mFolder + "w.png"));
    ASSERT_TRUE(back);
    EXPECT_EQ(Pixels(*back), (std::vector<uint32_t>{0x7F010203, 0}));
    ASSERT_TRUE(ImageLib::WriteJPEGImage(mFolder + "w.jpg", image.get()));
    back.reset(ImageLib::GetJPEGImage(mFolder + "w.jpg"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetWidth(), 2);
    for (auto decode : {ImageLib::GetTGAImage, ImageLib::GetGIFImage, ImageLib::GetPNGImage,
                        ImageLib::GetJPEGImage, ImageLib::GetJ2KImage})
        EXPECT_EQ(decode(mFolder + "missing"), nullptr);
    ImageLib::FreeJ2KCodec();
}

TEST_F(ImageLibLoad, ImagesAndCompanionsComeFromAMountedArchive)
{
    auto colours = ImageLib::Image::Create(16, 8);
    std::fill(colours->GetBits(), colours->GetBits() + 128, 0xFF3060C0);
    ASSERT_TRUE(ImageLib::WriteJPEGImage(mFolder + "logo.jpg", colours.get()));
    PngSpec alpha;
    alpha.width = 16;
    alpha.height = 8;
    alpha.colourType = PNG_COLOR_TYPE_GRAY;
    alpha.rows.assign(8, Bytes(16, 0x40));
    std::string error;
    Velk::PakWriter writer;
    ASSERT_TRUE(writer.AddMember("gfx\\logo.jpg", ReadBytes(mFolder + "logo.jpg"), 0, error));
    ASSERT_TRUE(writer.AddMember("gfx\\_logo.png", EncodePng(alpha), 0, error));
    ASSERT_TRUE(writer.AddMember("gfx\\tiny.jp2", ReadBytes(std::string(TEST_DATA_DIR) + "/resources/imagelib/tiny.jp2"), 0, error));
    ASSERT_TRUE(writer.WriteFile(mFolder + "data.pak", error)) << error;

    PakInterface pak;
    ASSERT_TRUE(pak.MountArchive(mFolder + "data.pak"));
    std::unique_ptr<ImageLib::Image> image(LoadImageByExtension("gfx/logo", true));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->GetWidth(), 16);
    for (uint32_t p : Pixels(*image)) {
        EXPECT_EQ(p >> 24, 0x40u);
        EXPECT_NEAR(int(p >> 16 & 0xFF), 0x30, 4);
        EXPECT_NEAR(int(p & 0xFF), 0xC0, 4);
    }
    ImageLib::LoadJ2KCodec();
    image.reset(LoadImageByExtension("gfx/tiny", false));
    ImageLib::FreeJ2KCodec();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->Row(2)[3], 0xFFDCE3EAu); // 60 * 3 + 20 * 2 = 220
}
