#include <gtest/gtest.h>

#include "ResourceManagerTestSupport.h"
#include "graphics/MemoryImage.h"
#include "resources/ResourceManager.h"
#include "resources/ResourceManagerException.h"

using namespace ResourceManagerTest;
using testing::_;
using testing::Return;

namespace {

class ResourceManagerLoadTest : public testing::Test {
 protected:
  bool Parse(const std::string& resources) {
    WriteText("properties/resources.xml", "<ResourceManifest>" + resources + "</ResourceManifest>");
    return mManager.ParseResourcesFile("properties\\resources.xml");
  }
  Velk::MemoryImage* Image(const std::string& id) { return mManager.GetImage(id).GetImage(); }
  static uint32_t Pixel(Velk::MemoryImage* image, int x, int y) { return image->GetArgbBits()[y * image->mWidth + x]; }
  // The text of the exception a getter throws ("" when none).
  template <typename Getter>
  static std::string Thrown(Getter getter) {
    try {
      getter();
    } catch (const Velk::ResourceManagerException& e) {
      return e.what();
    }
    return "";
  }

  WorkingScratchFolder mFolder;
  TestHost mHost;
  Velk::ResourceManager mManager{&mHost};
};

TEST_F(ResourceManagerLoadTest, AlphaImageAndAlphaGridTakeAlphaFromBlue) {
  WriteTga("images/ground.tga", 2, 1, {0xFF102030, 0x80405060});
  WriteTga("images/ground_a.tga", 2, 1, {0xFF0000C0, 0xFFFFFF07});
  // Two rows of two 2x1 cels; the grid gives each cel the same alpha.
  WriteTga("images/cels.tga", 4, 2,
           {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004,  //
            0xFF000005, 0xFF000006, 0xFF000007, 0xFF000008});
  WriteTga("images/cel_a.tga", 2, 1, {0xFFABCD11, 0x00000022});
  ASSERT_TRUE(
      Parse("<Resources id=\"Init\"><SetDefaults path=\"images\\\" idprefix=\"GFX_\"/>"
            "<Image id=\"GAME_GROUND\" path=\"ground\" alphaimage=\"ground_a\" nopal />"
            "<Image id=\"CELS\" path=\"cels\" rows=\"2\" cols=\"2\" alphagrid=\"cel_a\" nopal />"
            "</Resources>"));
  ASSERT_TRUE(mManager.LoadResources("Init")) << mManager.GetErrorText();
  EXPECT_TRUE(mManager.IsGroupLoaded("Init"));

  Velk::MemoryImage* ground = mManager.GetImageOrThrow("GFX_GAME_GROUND").GetImage();
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(Pixel(ground, 0, 0), 0xC0102030u);
  EXPECT_EQ(Pixel(ground, 1, 0), 0x07405060u);

  Velk::MemoryImage* cels = Image("GFX_CELS");
  ASSERT_NE(cels, nullptr);
  const uint32_t expected[2][4] = {{0x11000001, 0x22000002, 0x11000003, 0x22000004},
                                   {0x11000005, 0x22000006, 0x11000007, 0x22000008}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(cels, x, y), expected[y][x]) << x << "," << y;
  EXPECT_EQ(cels->mNumRows, 2);
  EXPECT_EQ(cels->mNumCols, 2);
}

TEST_F(ResourceManagerLoadTest, AlphaFailuresNameBothFiles) {
  WriteTga("a.tga", 2, 2, std::vector<uint32_t>(4, 0xFF000000));
  WriteTga("small.tga", 1, 2, {0xFF000000, 0xFF000000});
  WriteTga("cel.tga", 2, 1, {0xFF000000, 0xFF000000});
  struct Case {
    const char* image;
    const char* error;
  } cases[] = {
      {"<Image path=\"a\" alphaimage=\"small\"/>", "AlphaImage size mismatch between a and small"},
      {"<Image path=\"a\" alphaimage=\"gone\"/>", "Failed to load image: gone"},
      {"<Image path=\"a\" rows=\"2\" alphagrid=\"small\"/>", "GridAlphaImage size mismatch between a and small"},
      {"<Image path=\"a\" alphagrid=\"gone\"/>", "Failed to load image: gone"},
      {"<Image path=\"gone\"/>", "Failed to load image: gone"},
  };
  for (const Case& c : cases) {
    TestHost host;
    Velk::ResourceManager manager(&host);
    WriteText("m.xml", std::string("<ResourceManifest><Resources id=\"G\">") + c.image + "</Resources>");
    ASSERT_TRUE(manager.ParseResourcesFile("m.xml"));
    EXPECT_FALSE(manager.LoadResources("G"));
    EXPECT_EQ(manager.GetErrorText(), c.error);
    EXPECT_FALSE(manager.IsGroupLoaded("G"));
  }
}

TEST_F(ResourceManagerLoadTest, CelGridBelowOneCountsAsOne) {
  WriteTga("a.tga", 2, 2, std::vector<uint32_t>(4, 0xFF000000));
  WriteTga("a_grid.tga", 2, 2, {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
  ASSERT_TRUE(
      Parse("<Resources id=\"G\"><Image path=\"a\" rows=\"x\" cols=\"0\" alphagrid=\"a_grid\" nopal />"
            "<Image id=\"b\" path=\"a\" variant=\"v\" rows=\"-3\" anim=\"loop\"/></Resources>"));
  ASSERT_TRUE(mManager.LoadResources("G")) << mManager.GetErrorText();
  Velk::MemoryImage* a = Image("a");
  EXPECT_EQ(a->mNumRows, 1);
  EXPECT_EQ(a->mNumCols, 1);
  EXPECT_EQ(Pixel(a, 1, 1), 0x04000000u);
  EXPECT_EQ(Image("b")->mNumRows, 1);
  EXPECT_EQ(Image("b")->mAnimInfo->mNumCels, 1);
}

TEST_F(ResourceManagerLoadTest, ImageSettingsReachTheImage) {
  WriteTga("cels.tga", 4, 2, std::vector<uint32_t>(8, 0xFF336699));
  WriteTga("plain.tga", 2, 1, {0xFF000000, 0xFFFFFFFF});
  ASSERT_TRUE(
      Parse("<Resources id=\"Extra\">"
            "<Image path=\"cels\" rows=\"2\" cols=\"4\" anim=\"pingpong\" framedelay=\"3\" enddelay=\"5\""
            " a4r4g4b4 minsubdivide nobits2d alphacolor=\"ff00ff\"/>"
            "<Image id=\"still\" path=\"plain\" anim=\"none\" framedelay=\"9\" nopal nobits3d />"
            "<Image id=\"timed\" path=\"plain\" variant=\"t\" anim=\"once\" perframedelay=\"4,,6\""
            " framemap=\"1,0\"/>"
            "</Resources>"));
  ASSERT_TRUE(mManager.LoadResources("Extra")) << mManager.GetErrorText();

  Velk::MemoryImage* cels = Image("cels");
  ASSERT_NE(cels->mAnimInfo, nullptr);
  const Velk::ImageAnimSettings& anim = *cels->mAnimInfo;
  EXPECT_EQ(anim.mAnimType, Velk::ImageAnimSettings::PingPong);
  EXPECT_EQ(anim.mFrameDelay, 3);
  EXPECT_EQ(anim.mFrameMap, (std::vector<int>{0, 1, 2, 3, 2, 1}));
  EXPECT_EQ(anim.mPerFrameDelay, (std::vector<int>{3, 3, 3, 3, 3, 5}));
  EXPECT_EQ(cels->mTextureFlags, 0x8u | 0x4u | 0x1u);
  EXPECT_TRUE(cels->mPurgeBits);          // nobits2d without 3-D
  EXPECT_NE(cels->mColorTable, nullptr);  // palettized
  EXPECT_EQ(mHost.mAlphaColorsSeen[0], 0xFF00FFu);
  EXPECT_EQ(ImageLib::gAlphaColor, 0xFFFFFFu);

  Velk::MemoryImage* still = Image("still");
  EXPECT_EQ(still->mAnimInfo, nullptr);
  EXPECT_FALSE(still->mPurgeBits);
  EXPECT_EQ(still->mColorTable, nullptr);
  EXPECT_EQ(Image("timed")->mAnimInfo->mPerFrameDelay, (std::vector<int>{4, 1}));  // two cels: the map decides
  EXPECT_EQ(Image("timed")->mAnimInfo->mNumCels, 2);
}

TEST_F(ResourceManagerLoadTest, SoundsGoIntoFreeSlotsWithTheirBaseVolumeAndPan) {
  ASSERT_TRUE(
      Parse("<Resources id=\"Init\"><SetDefaults path=\"sounds\"/>"
            "<Sound id=\"SND_CLICK\" path=\"click\" volume=\"0\"/>"
            "<Sound id=\"SND_PLAIN\" path=\"plain\"/>"
            "<Sound id=\"SND_LEFT\" path=\"left\" volume=\" 0.5\" pan=\"-300\"/></Resources>"));
  EXPECT_CALL(mHost.mSounds, GetFreeSoundId()).WillOnce(Return(4)).WillOnce(Return(5)).WillOnce(Return(6));
  EXPECT_CALL(mHost.mSounds, LoadSoundAt(_, _)).WillRepeatedly(Return(true));
  EXPECT_CALL(mHost.mSounds, SetBaseVolume(4, 0.0));
  EXPECT_CALL(mHost.mSounds, SetBaseVolume(6, 0.5));
  EXPECT_CALL(mHost.mSounds, SetBasePan(6, -300));
  EXPECT_CALL(mHost.mSounds, SetBaseVolume(5, _)).Times(0);
  EXPECT_CALL(mHost.mSounds, SetBasePan(4, _)).Times(0);
  EXPECT_CALL(mHost.mSounds, SetBasePan(5, _)).Times(0);
  ASSERT_TRUE(mManager.LoadResources("Init")) << mManager.GetErrorText();
  EXPECT_EQ(mManager.GetSoundOrThrow("SND_CLICK"), 4);
  EXPECT_EQ(mManager.GetSoundOrThrow("SND_LEFT"), 6);
}

TEST_F(ResourceManagerLoadTest, SoundFailures) {
  ASSERT_TRUE(Parse("<Resources id=\"A\"><Sound path=\"sounds\\click\"/></Resources>"));
  EXPECT_CALL(mHost.mSounds, GetFreeSoundId()).WillOnce(Return(-1)).WillOnce(Return(0));
  EXPECT_CALL(mHost.mSounds, LoadSoundAt(0, "sounds\\click")).WillOnce(Return(false));
  EXPECT_FALSE(mManager.LoadResources("A"));
  EXPECT_EQ(mManager.GetErrorText(), "Out of free sound ids");
  EXPECT_FALSE(mManager.LoadResources("A"));
  EXPECT_EQ(mManager.GetErrorText(), "Failed to load sound: sounds\\click");
  EXPECT_EQ(Thrown([&] { mManager.GetSoundOrThrow("click"); }), "Failed to load sound: sounds\\click");
}

TEST_F(ResourceManagerLoadTest, GroupLoadsOnceAndStopsAtTheFirstFailure) {
  WriteTga("a.tga", 1, 1, {0xFF000000});
  WriteTga("c.tga", 1, 1, {0xFF000000});
  ASSERT_TRUE(
      Parse("<Resources id=\"G\"><Image path=\"a\"/><Image path=\"b\"/><Image path=\"c\"/></Resources>"
            "<Resources id=\"H\"><Image path=\"c\"  id=\"c2\"/></Resources>"));
  EXPECT_FALSE(mManager.LoadResources("G"));
  EXPECT_EQ(mHost.mRequests, (std::vector<std::string>{"a", "b"}));
  EXPECT_NE(Image("c2"), nullptr);  // group H was never loaded: GetImage loads on demand
  EXPECT_EQ(mHost.mRequests.back(), "c");

  WriteTga("b.tga", 1, 1, {0xFF000000});
  TestHost host;  // a cache without the failed entry
  Velk::ResourceManager manager(&host);
  ASSERT_TRUE(manager.ParseResourcesFile("properties\\resources.xml"));
  ASSERT_TRUE(manager.LoadResources("G"));
  ASSERT_TRUE(manager.LoadResources("G"));
  EXPECT_TRUE(manager.IsGroupLoaded("G"));
  EXPECT_EQ(host.mRequests, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(manager.LoadResources("Unknown"));
}

TEST_F(ResourceManagerLoadTest, GettersNeverLoadAndProgramImagesComeThroughReplaceImage) {
  WriteTga("a.tga", 1, 1, {0xFF000000});
  ASSERT_TRUE(Parse("<Resources id=\"Init\"><Image id=\"SCREEN\" path=\"!program\"/><Image path=\"a\"/></Resources>"));
  EXPECT_EQ(Thrown([&] { mManager.GetFontOrThrow("FONT_NONE"); }), "Font resource not found: FONT_NONE");
  // Defined but not loaded; the first error stays the text.
  EXPECT_EQ(Thrown([&] { mManager.GetImageOrThrow("a"); }), "Font resource not found: FONT_NONE");
  EXPECT_TRUE(mHost.mRequests.empty());

  ASSERT_TRUE(mManager.LoadResources("Init"));
  EXPECT_EQ(mHost.mRequests, (std::vector<std::string>{"a"}));
  EXPECT_EQ(Image("SCREEN"), nullptr);
  auto* image = new Velk::MemoryImage(nullptr);
  EXPECT_TRUE(mManager.ReplaceImage("SCREEN", image));
  EXPECT_TRUE(mManager.ReplaceImage("SCREEN", image));  // the same image again must stay alive
  EXPECT_EQ(mManager.GetImageOrThrow("SCREEN").GetImage()->mWidth, 0);
  EXPECT_FALSE(mManager.ReplaceImage("OTHER", nullptr));
}

TEST_F(ResourceManagerLoadTest, DeleteResourcesFreesAGroupThatCanLoadAgain) {
  WriteTga("a.tga", 1, 1, {0xFF000000});
  ASSERT_TRUE(Parse("<Resources id=\"G\"><Image path=\"a\"/><Sound path=\"s\"/></Resources>"));
  ON_CALL(mHost.mSounds, GetFreeSoundId()).WillByDefault(Return(7));
  EXPECT_CALL(mHost.mSounds, LoadSoundAt(7, "s")).Times(2).WillRepeatedly(Return(true));
  EXPECT_CALL(mHost.mSounds, ReleaseSound(7)).Times(2);  // once by DeleteResources, once at destruction

  ASSERT_TRUE(mManager.LoadResources("G"));
  TestHost::Entry& entry = *mHost.mImages.begin()->second;
  EXPECT_EQ(entry.shared.mRefCount, 1);

  mManager.DeleteResources("G");
  EXPECT_FALSE(mManager.IsGroupLoaded("G"));
  EXPECT_EQ(entry.shared.mRefCount, 0);
  EXPECT_EQ(Thrown([&] { mManager.GetSoundOrThrow("s"); }), "Sound resource not found: s");

  ASSERT_TRUE(mManager.LoadResources("G"));
  EXPECT_EQ(entry.shared.mRefCount, 1);
  EXPECT_EQ(mManager.GetSoundOrThrow("s"), 7);
}

}  // namespace
