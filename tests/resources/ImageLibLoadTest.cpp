#include "ImageLibTestUtil.h"
#include "resources/PakInterface.h"
#include "resources/PakWriter.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ImageLibTest;

namespace {

using Pixels32 = std::vector<uint32_t>;

class ImageLibLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(mFolder);
    std::filesystem::create_directories(mFolder);
  }

  void TearDown() override { ImageLib::gAlphaColor = 0xFFFFFF; }

  void Write(const std::string& name, const Bytes& bytes) const { WriteBytes(mFolder + name, bytes); }

  void WriteTga(const std::string& name, const Pixels32& pixels) const {
    Bytes bytes;
    for (uint32_t p : pixels)
      bytes.insert(bytes.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16), uint8_t(p >> 24)});
    Write(name, MakeTga(int(pixels.size()), 1, 32, 0x28, bytes));
  }

  Pixels32 Load(const std::string& name, bool lookForAlpha) const {
    std::unique_ptr<ImageLib::Image> image(LoadImageByExtension(mFolder + name, lookForAlpha));
    return image ? Pixels(*image) : Pixels32{};
  }

  const std::string mFolder = TempPath("load/");
};

}  // namespace

TEST_F(ImageLibLoad, ExtensionsAreTriedInOrderUnlessOneIsGiven) {
  const Pixels32 kPng{0xFF708090, 0x7F405060, 0x00102030};  // palette.png
  Write("pic.png", ReadBytes(DataPath("palette.png")));
  Write("pic.gif", GifRow({0x00FF00}));
  EXPECT_EQ(Load("pic", false), kPng);
  EXPECT_EQ(Load("pic.gif", false), Pixels32{0xFF00FF00});
  EXPECT_EQ(Load("pic.GIF", false), Pixels32{0xFF00FF00});
  EXPECT_TRUE(Load("pic.bmp", false).empty());
  EXPECT_TRUE(Load("pic.jpg", false).empty());

  // A file that fails to decode does not end the search; the first that decodes does.
  Write("pic.tga", Bytes(10, 0));
  EXPECT_EQ(Load("pic", false), kPng);
  WriteTga("pic.tga", {0x80123456});
  EXPECT_EQ(Load("pic", false), Pixels32{0x80123456});

  // A dot in a folder name is no extension.
  Write("a.b/pic.gif", GifRow({0x0000FF}));
  EXPECT_EQ(Load("a.b/pic", false), Pixels32{0xFF0000FF});
}

TEST_F(ImageLibLoad, CompanionBlueBecomesAlphaWhenSizesMatch) {
  WriteTga("logo.tga", {0xFF102030, 0xFF405060});
  Write("_logo.gif", GifRow({0x000080, 0xFFFF0C}));
  EXPECT_EQ(Load("logo", true), (Pixels32{0x80102030, 0x0C405060}));
  EXPECT_EQ(Load("logo", false), (Pixels32{0xFF102030, 0xFF405060}));
  // With an extension the companion must have the same one.
  EXPECT_EQ(Load("logo.tga", true), (Pixels32{0xFF102030, 0xFF405060}));

  WriteTga("icon.tga", {0xFF102030, 0xFF405060});
  Write("_icon.gif", GifRow({0x000080}));
  EXPECT_EQ(Load("icon", true), (Pixels32{0xFF102030, 0xFF405060}));

  // Without an "_" prefix file, the name followed by "_" is the companion.
  WriteTga("shade.tga", {0xFF0000FF});
  Write("shade_.gif", GifRow({0x000033}));
  EXPECT_EQ(Load("shade", true), Pixels32{0x330000FF});
}

TEST_F(ImageLibLoad, CompanionAloneTakesTheAlphaColour) {
  Write("_mask.gif", GifRow({0x000080, 0x0000FF, 0xABCD00}));
  EXPECT_EQ(Load("mask", true), (Pixels32{0x80FFFFFF, 0xFFFFFFFF, 0x00FFFFFF}));
  ImageLib::gAlphaColor = 0x123456;
  EXPECT_EQ(Load("mask", true), (Pixels32{0x80123456, 0xFF123456, 0x00123456}));
  EXPECT_TRUE(Load("mask", false).empty());
}

TEST_F(ImageLibLoad, FilesComeFromAMountedArchive) {
  auto colours = ImageLib::Image::Create(16, 1);
  std::fill(colours->GetBits(), colours->GetBits() + 16, 0xFF3060C0);
  ASSERT_TRUE(ImageLib::WriteJPEGImage(mFolder + "logo.jpg", colours.get()));
  std::string error;
  Velk::PakWriter writer;
  ASSERT_TRUE(writer.AddMember("gfx\\logo.jpg", ReadBytes(mFolder + "logo.jpg"), 0, error));
  ASSERT_TRUE(writer.AddMember("gfx\\_logo.gif", GifRow(Pixels32(16, 0x000040)), 0, error));
  ASSERT_TRUE(writer.AddMember("gfx\\tiny.jp2", ReadBytes(DataPath("tiny.jp2")), 0, error));
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
  // The file form needs seeks within the member; ".j2k" is tried first and is absent.
  ImageLib::LoadJ2KCodec();
  image.reset(LoadImageByExtension("gfx/tiny", false));
  ImageLib::FreeJ2KCodec();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Row(2)[3], 0xFFDCE3EAu);  // R = 60 * 3 + 20 * 2 = 220
}

TEST_F(ImageLibLoad, MissingFilesGiveNull) {
  ImageLib::LoadJ2KCodec();
  for (auto decode : {ImageLib::GetTGAImage, ImageLib::GetGIFImage, ImageLib::GetPNGImage, ImageLib::GetJPEGImage,
                      ImageLib::GetJ2KImage})
    EXPECT_EQ(decode(mFolder + "missing"), nullptr);
  ImageLib::FreeJ2KCodec();
}
