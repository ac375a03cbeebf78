// Images that the manifest asks to keep on a display surface.
#include <gtest/gtest.h>

#include "ResourceManagerTestSupport.h"
#include "graphics/DisplayTestKit.h"
#include "resources/ResourceManager.h"

using namespace ResourceManagerTest;

namespace {

class ResourceManagerSurfaceTest : public Velk::Testing::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ASSERT_EQ(Start(32), 0);
    mResHost.mMakeImage = [this] { return std::make_unique<Velk::DDImage>(mDisplay.get()); };
  }
  void TearDown() override {
    mManager.reset();
    mResHost.mImages.clear();
    DisplayTest::TearDown();
  }
  Velk::DDImage* Load(const std::string& image) {
    WriteText("m.xml", "<ResourceManifest><Resources id=\"G\">" + image + "</Resources></ResourceManifest>");
    mManager = std::make_unique<Velk::ResourceManager>(&mResHost);
    EXPECT_TRUE(mManager->ParseResourcesFile("m.xml"));
    EXPECT_TRUE(mManager->LoadResources("G")) << mManager->GetErrorText();
    return dynamic_cast<Velk::DDImage*>(mManager->GetImage("a").GetImage());
  }

  WorkingScratchFolder mFolder;
  TestHost mResHost;
  std::unique_ptr<Velk::ResourceManager> mManager;
};

TEST_F(ResourceManagerSurfaceTest, OnlyImagesWithoutTranslucencyMoveToASurface) {
  WriteTga("a.tga", 2, 1, {0xFF102030, 0x00000000});
  Velk::DDImage* opaque = Load("<Image path=\"a\" ddsurface nopal />");
  ASSERT_NE(opaque, nullptr);
  EXPECT_TRUE(opaque->mWantDDSurface);
  EXPECT_TRUE(opaque->mPurgeBits);
  EXPECT_NE(opaque->mSurface, nullptr);

  WriteTga("a.tga", 2, 1, {0xFF102030, 0x80000000});
  mManager.reset();
  mResHost.mImages.clear();
  Velk::DDImage* translucent = Load("<Image path=\"a\" ddsurface nopal />");
  ASSERT_NE(translucent, nullptr);
  EXPECT_FALSE(translucent->mWantDDSurface);
  EXPECT_FALSE(translucent->mPurgeBits);
  EXPECT_EQ(translucent->mSurface, nullptr);
}

TEST_F(ResourceManagerSurfaceTest, PalettizingAnImageOnASurfaceOnlyRecordsTheRequest) {
  WriteTga("a.tga", 2, 1, {0xFF102030, 0xFF405060});
  Velk::DDImage* image = Load("<Image path=\"a\" ddsurface nopal />");
  ASSERT_NE(image->mSurface, nullptr);

  // Loaded again from the cache, where the picture already lives on the surface.
  mManager->DeleteResources("G");
  WriteText("m.xml", "<ResourceManifest><Resources id=\"G\"><Image path=\"a\"/></Resources></ResourceManifest>");
  Velk::ResourceManager again(&mResHost);
  ASSERT_TRUE(again.ParseResourcesFile("m.xml"));
  ASSERT_TRUE(again.LoadResources("G")) << again.GetErrorText();
  EXPECT_EQ(again.GetImage("a").GetImage(), image);
  EXPECT_TRUE(image->mWantPal);
  EXPECT_EQ(image->mColorTable, nullptr);
  EXPECT_NE(image->mSurface, nullptr);
}

}  // namespace
