// The start-up resources read from an archive, as the game finds them.
#include <gtest/gtest.h>

#include "ResourceManagerTestSupport.h"
#include "fonts/ImageFont.h"
#include "fonts/SysFont.h"
#include "resources/PakInterface.h"
#include "resources/PakWriter.h"
#include "resources/ResourceManager.h"

using namespace ResourceManagerTest;
using testing::_;
using testing::Return;

namespace {

const char kManifest[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n"
    "<ResourceManifest>\n"
    "  <Resources id=\"Init\">\n"
    "    <SetDefaults path=\"images\\\" idprefix=\"GFX_\"/>\n"
    "    <Image id=\"GAME_GROUND\" path=\"ground\" alphaimage=\"ground_a\" nopal />\n"
    "    <SetDefaults path=\"\" idprefix=\"\"/>\n"
    "    <Font id=\"FONT_DEFAULT\" path=\"fonts\\default.txt\" tags=\"shadow, outline\"/>\n"
    "    <Font id=\"FONT_ARIAL10\" path=\"!sys:Arial\" size=\"10\" shadow />\n"
    "    <Font id=\"FONT_ARIAL8\" path=\"!sys:Arial\" size=\"8\" bold />\n"
    "    <Font id=\"FONT_ARIAL6\" path=\"!ref:FONT_ARIAL8\"/>\n"
    "    <Sound id=\"SND_CLICK\" path=\"sounds\\click\" volume=\"0.5\"/>\n"
    "  </Resources>\n"
    "  <Resources id=\"Extra\">\n"
    "    <Image path=\"images\\cels\" rows=\"2\" cols=\"4\" anim=\"pingpong\" framedelay=\"3\""
    " alphagrid=\"images\\cel_a\"/>\n"
    "  </Resources>\n"
    "</ResourceManifest>\n";

class ResourceManagerStartupTest : public testing::Test {
 protected:
  void SetUp() override {
    Velk::PakWriter writer;
    std::string error;
    auto add = [&](const std::string& name, std::vector<uint8_t> data) {
      ASSERT_TRUE(writer.AddMember(name, std::move(data), 0, error)) << error;
    };
    add("properties\\resources.xml", std::vector<uint8_t>(std::begin(kManifest), std::end(kManifest) - 1));
    add("images\\ground.tga", TgaBytes(2, 1, {0xFF112233, 0xFF445566}));
    add("images\\ground_a.tga", TgaBytes(2, 1, {0xFF000080, 0xFF0000FF}));
    add("images\\cels.tga", TgaBytes(4, 2, std::vector<uint32_t>(8, 0xFF808080)));
    add("images\\cel_a.tga", TgaBytes(1, 1, {0xFF000040}));
    add("fonts\\default.txt", Utf16Bytes("SetDefaultPointSize 12;\r\nCreateLayer Main;\r\n"));
    ASSERT_TRUE(writer.WriteFile("data.pak", error)) << error;
    ASSERT_TRUE(mPak.MountArchive("data.pak"));
  }

  WorkingScratchFolder mFolder;
  PakInterface mPak;
  TestHost mHost;
  Velk::ResourceManager mManager{&mHost};
};

TEST_F(ResourceManagerStartupTest, InitGroupLoadsImagesFontsAndSounds) {
  EXPECT_CALL(mHost.mSounds, GetFreeSoundId()).WillOnce(Return(0));
  EXPECT_CALL(mHost.mSounds, LoadSoundAt(0, "sounds\\click")).WillOnce(Return(true));
  EXPECT_CALL(mHost.mSounds, SetBaseVolume(0, 0.5));

  ASSERT_TRUE(mManager.ParseResourcesFile("properties\\resources.xml")) << mManager.GetErrorText();
  ASSERT_TRUE(mManager.LoadResources("Init")) << mManager.GetErrorText();

  Velk::MemoryImage* ground = mManager.GetImageOrThrow("GFX_GAME_GROUND").GetImage();
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->GetArgbBits()[0], 0x80112233u);
  EXPECT_EQ(ground->GetArgbBits()[1], 0xFF445566u);

  auto* bitmap = dynamic_cast<Velk::ImageFont*>(mManager.GetFontOrThrow("FONT_DEFAULT"));
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->mTagVector, (std::vector<std::string>{"SHADOW", "OUTLINE"}));
  EXPECT_TRUE(bitmap->mActiveListValid);

  auto* arial10 = dynamic_cast<Velk::SysFont*>(mManager.GetFontOrThrow("FONT_ARIAL10"));
  auto* arial8 = dynamic_cast<Velk::SysFont*>(mManager.GetFontOrThrow("FONT_ARIAL8"));
  auto* arial6 = dynamic_cast<Velk::SysFont*>(mManager.GetFontOrThrow("FONT_ARIAL6"));
  ASSERT_TRUE(arial10 && arial8 && arial6);
  EXPECT_TRUE(arial10->mDrawShadow);
  EXPECT_FALSE(arial8->mDrawShadow);
  EXPECT_NE(arial6, arial8);  // a copy of its own
  EXPECT_EQ(arial6->mHeight, arial8->mHeight);
  EXPECT_EQ(mManager.GetSoundOrThrow("SND_CLICK"), 0);

  // The second group is separate: its cel sheet loads only when asked for.
  EXPECT_EQ(mManager.GetFont("cels"), nullptr);
  ASSERT_TRUE(mManager.LoadResources("Extra")) << mManager.GetErrorText();
  Velk::MemoryImage* cels = mManager.GetImageOrThrow("cels").GetImage();
  EXPECT_EQ(cels->mNumCols, 4);
  EXPECT_EQ(cels->mAnimInfo->mFrameMap, (std::vector<int>{0, 1, 2, 3, 2, 1}));
}

TEST_F(ResourceManagerStartupTest, FontsThatCannotBeBuiltFail) {
  WriteText("m.xml",
            "<ResourceManifest><Resources id=\"A\"><Font path=\"fonts\\bad.txt\"/></Resources>"
            "<Resources id=\"R\"><Font id=\"F6\" path=\"!ref:F8\"/></Resources>"
            "<Resources id=\"I\"><Font path=\"fonts\\default.txt\" image=\"x\"/></Resources>"
            "<Resources id=\"B\"><Font id=\"F\" path=\"fonts\\default.txt\"/><Font id=\"G\" path=\"!ref:F\"/>"
            "</Resources></ResourceManifest>");
  WriteBytes("fonts/bad.txt", Utf16Bytes("NoSuchCommand 1;"));
  ASSERT_TRUE(mManager.ParseResourcesFile("m.xml"));
  EXPECT_FALSE(mManager.LoadResources("A"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load font: fonts\\bad.txt");
  EXPECT_FALSE(mManager.LoadResources("R"));
  EXPECT_EQ(mManager.GetErrorText(), "Ref font not found: F8");
  EXPECT_FALSE(mManager.LoadResources("I"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load font: fonts\\default.txt");
  ASSERT_TRUE(mManager.LoadResources("B")) << mManager.GetErrorText();
  auto* copy = dynamic_cast<Velk::ImageFont*>(mManager.GetFont("G"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->mFontData, static_cast<Velk::ImageFont*>(mManager.GetFont("F"))->mFontData);
  mManager.DeleteResources("B");
  EXPECT_EQ(mManager.GetFont("F"), nullptr);
  EXPECT_FALSE(mManager.IsGroupLoaded("B"));
}

}  // namespace
