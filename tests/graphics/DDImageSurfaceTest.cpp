#include "DisplayTestKit.h"
#include "platform/ddraw/DDrawSettings.h"

namespace Velk::Testing {
namespace {

using DDImageSurfaceTest = DisplayTest;

DDCOLORKEY KeyOf(IDirectDrawSurface* s) {
  DDSURFACEDESC d;
  EXPECT_EQ(s->GetSurfaceDesc(&d), DD_OK);
  EXPECT_TRUE(d.dwFlags & DDSD_CKSRCBLT);
  return d.ddckCKSrcBlt;
}

TEST_F(DDImageSurfaceTest, TranslucentPicturesStayInBitsAndAreFilledThere) {
  ASSERT_EQ(Start(), 0);
  auto image = Image(2, 1, {0x80FF0000, 0xFF000000});
  EXPECT_EQ(image->GetSurface(), nullptr);
  image->FillRect(Rect(1, 0, 1, 1), Color(0, 0, 255), 0);
  EXPECT_EQ(image->mSurface, nullptr);
  EXPECT_EQ(image->GetArgbBits()[1], 0xFF0000FFu);
}

TEST_F(DDImageSurfaceTest, KeyOf32BitSurfaceIsLowestFreeColourWhenBlackIsTaken) {
  ASSERT_EQ(Start(), 0);
  // Transparent black collides with opaque black; 0x000001 and 0x000003 are also used.
  auto image = Image(4, 1, {0x00000000, 0xFF000000, 0xFF000001, 0xFF000003});
  IDirectDrawSurface* s = image->GetSurface();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(KeyOf(s).dwColorSpaceLowValue, 2u);
  EXPECT_EQ(SurfacePixel(s, 0, 0), 2u);
  EXPECT_EQ(SurfacePixel(s, 3, 0), 3u);
}

TEST_F(DDImageSurfaceTest, KeyOf16BitSurfaceIsTheCandidateOfTheLastOpenWord) {
  ASSERT_EQ(Start(16), 0);
  // Black converts to 0 for both pixels; white marks 0xFFFF, so the last word's lowest free value
  // is 2047 x 32 + 0.
  auto image = Image(3, 1, {0x00000000, 0xFF000000, 0xFFFFFFFF});
  IDirectDrawSurface* s = image->GetSurface();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(KeyOf(s).dwColorSpaceLowValue, 0xFFE0u);
  EXPECT_EQ(SurfacePixel(s, 0, 0), 0xFFE0u);
  EXPECT_EQ(SurfacePixel(s, 1, 0), 0u);
  EXPECT_EQ(SurfacePixel(s, 2, 0), 0xFFFFu);
}

TEST_F(DDImageSurfaceTest, ReadBackKeepsTransparencyAndDropsLowBits) {
  ASSERT_EQ(Start(16), 0);
  auto image = Image(3, 1, {0x00123456, 0xFFFFFFFF, 0xFF102030});
  ASSERT_NE(image->GetSurface(), nullptr);
  image->FreeNonSurfaceData();
  ASSERT_EQ(image->mBits, nullptr);
  const uint32_t* bits = image->GetArgbBits();
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(bits[0], 0u);
  EXPECT_EQ(bits[1], 0xFFF8FCF8u);
  // 0x10 -> 2 -> 0x10, 0x20 -> 8 -> 0x20, 0x30 -> 6 -> 0x30.
  EXPECT_EQ(bits[2], 0xFF102030u);
  EXPECT_EQ(bits[3], MemoryImage::kEndMarker);
}

TEST_F(DDImageSurfaceTest, LocksNestAndAnUnmatchedUnlockIsRefused) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(2, 2, 0xFF000000);
  auto* raw = DDrawSurface::From(image->mSurface);
  EXPECT_TRUE(image->LockSurface());
  EXPECT_TRUE(image->LockSurface());
  EXPECT_TRUE(image->UnlockSurface());
  EXPECT_TRUE(raw->IsLocked());
  EXPECT_TRUE(image->UnlockSurface());
  EXPECT_FALSE(raw->IsLocked());
  EXPECT_FALSE(image->UnlockSurface());
  EXPECT_EQ(image->mLockCount, 0);
  EXPECT_TRUE(image->LockSurface());
  EXPECT_TRUE(raw->IsLocked());
  image->UnlockSurface();
}

TEST_F(DDImageSurfaceTest, ThreeDDrawSurfaceCannotBeLocked) {
  ASSERT_EQ(Start(32, true), 0);
  DDImage* screen = mDisplay->GetScreenImage();
  EXPECT_TRUE(screen->Is3DDrawSurface());
  EXPECT_TRUE(DDImage::ImageIs3DDrawSurface(screen));
  EXPECT_FALSE(screen->LockSurface());
  EXPECT_FALSE(screen->UnlockSurface());
  EXPECT_FALSE(DDrawSurface::From(mDisplay->mDrawSurface)->IsLocked());
}

TEST_F(DDImageSurfaceTest, RefusedSurfaceLeavesTheBitsAndSurfaceDrawsKeepThem) {
  ASSERT_EQ(Start(), 0);
  auto image = Image(2, 1, {0xFF00FF00, 0xFF00FF00});
  DDrawFaults::Fail("CreateSurface", DDERR_OUTOFMEMORY);
  EXPECT_EQ(image->GetSurface(), nullptr);
  EXPECT_TRUE(image->mWantDDSurface);
  // A surface fill that cannot get a surface must not drop the only copy.
  DDrawFaults::Fail("CreateSurface", DDERR_OUTOFMEMORY);
  image->FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0), 0);
  ASSERT_NE(image->mBits, nullptr);
  EXPECT_EQ(image->mBits[0], 0xFF00FF00u);
  DDrawFaults::Fail("CreateSurface", DDERR_OUTOFMEMORY);
  image->Blit(image.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, 2);
  ASSERT_NE(image->mBits, nullptr);
}

TEST_F(DDImageSurfaceTest, VideoMemorySwitchRebuildsTheSurfaceOnlyOnChange) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(2, 2, 0xFF336699);
  IDirectDrawSurface* before = image->mSurface;
  image->SetInVideoMemory(false);
  EXPECT_EQ(image->mSurface, before);
  image->SetInVideoMemory(true);
  EXPECT_EQ(image->mSurface, nullptr);
  ASSERT_NE(image->mBits, nullptr);
  EXPECT_EQ(image->mBits[3], 0xFF336699u);
  ASSERT_NE(image->GetSurface(), nullptr);
  EXPECT_TRUE(DDrawSurface::From(image->mSurface)->Caps() & DDSCAPS_VIDEOMEMORY);
}

TEST_F(DDImageSurfaceTest, NoReadbackSurfaceGivesNoBitsAndTakesNoLoopDrawing) {
  ASSERT_EQ(Start(), 0);
  mDisplay->SetVideoMemoryDraw(true);
  DDImage* screen = mDisplay->GetScreenImage();
  ASSERT_TRUE(screen->mNoLock);
  EXPECT_EQ(screen->GetArgbBits(), nullptr);
  FillSurface(mDisplay->mSecondarySurface, 0x00112233);
  screen->FillRect(Rect(0, 0, 4, 4), Color(255, 255, 255), 0);
  screen->DrawLine(0, 0, 3, 2, Color(255, 255, 255), 0);
  EXPECT_EQ(SurfacePixel(mDisplay->mSecondarySurface, 0, 0), 0x00112233u);
}

TEST_F(DDImageSurfaceTest, PurgingKeepsTheSurfaceOutsideThreeDModeAndTheBitsInIt) {
  ASSERT_EQ(Start(), 0);
  auto image = Image(2, 1, {0xFF112233, 0xFF445566});
  ASSERT_NE(image->GetSurface(), nullptr);
  image->DropBits();
  EXPECT_EQ(image->mBits, nullptr);
  ASSERT_NE(image->mSurface, nullptr);
  EXPECT_TRUE(image->mPurgeBits);
  // Outliving a display re-initialisation: the surface goes, the picture comes back from it.
  image->FreeDisplayFormatData();
  EXPECT_EQ(image->mSurface, nullptr);
  ASSERT_NE(image->mBits, nullptr);
  EXPECT_EQ(image->mBits[1], 0xFF445566u);
  image->Restore();
  EXPECT_NE(image->mSurface, nullptr);

  mHost.m3DMode = true;
  image->DropBits();
  EXPECT_EQ(image->mSurface, nullptr);
  EXPECT_EQ(image->GetArgbBits()[0], 0xFF112233u);

  // Adopted surfaces are never purged or released on their own.
  DDImage* screen = mDisplay->GetScreenImage();
  screen->DropBits();
  screen->FreeAllCaches();
  EXPECT_EQ(screen->mSurface, mDisplay->mDrawSurface);
}

TEST_F(DDImageSurfaceTest, SoftwareDrawingLeavesTheBitsAsTheOnlyCopy) {
  ASSERT_EQ(Start(), 0);
  auto image = Image(2, 1, {0xFF000000, 0xFF000000});
  ASSERT_NE(image->GetSurface(), nullptr);
  image->mHasAlpha = true;  // a translucent picture is drawn in software
  image->FillRect(Rect(0, 0, 1, 1), Color(0, 255, 0), 0);
  EXPECT_EQ(image->mSurface, nullptr);
  EXPECT_EQ(image->GetArgbBits()[0] & 0xFFFFFF, 0x00FF00u);
  image->CreateBlank(3, 3);
  EXPECT_EQ(image->mWidth, 3);
  EXPECT_EQ(image->mSurface, nullptr);
}

TEST_F(DDImageSurfaceTest, ImagesOutlivingTheDisplayLetGoOfIt) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(1, 1, 0xFF445566);
  mDisplay.reset();
  mHost.mDisplay = nullptr;
  EXPECT_EQ(image->mDDInterface, nullptr);
  EXPECT_EQ(image->mSurface, nullptr);
  EXPECT_EQ(image->GetArgbBits()[0], 0xFF445566u);
}

}  // namespace
}  // namespace Velk::Testing
