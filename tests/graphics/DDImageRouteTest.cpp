#include <cmath>

#include "DisplayTestKit.h"
#include "graphics/Graphics.h"
#include "raster/SpanFillerTable.h"

namespace Velk::Testing {
namespace {

using DDImageRouteTest = DisplayTest;

void ExpectMaps(const Matrix3x3& m, float u, float v, float x, float y) {
  const Vector2 p = m.TransformPoint(u, v);
  EXPECT_NEAR(p.x, x, 1e-3) << "(" << u << "," << v << ")";
  EXPECT_NEAR(p.y, y, 1e-3) << "(" << u << "," << v << ")";
}

TEST_F(DDImageRouteTest, TheThreeDDrawSurfaceSendsDrawingToTheRenderer) {
  ASSERT_EQ(Start(32, true), 0);
  DDImage* screen = mDisplay->GetScreenImage();
  MemoryImage src(&mHost);
  const uint32_t px[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
  src.SetPixels(px, 2, 2, true);
  mCalls.clear();
  POINT tri[3] = {{0, 0}, {4, 0}, {0, 4}};
  EXPECT_TRUE(screen->FillPolygon(tri, 3, Rect(0, 0, 10, 10), Color::White, 0, 0, 0, true));
  screen->FillRect(Rect(0, 0, 2, 2), Color::White, 0);
  screen->DrawLine(0, 0, 5, 3, Color::White, 0);
  screen->DrawLineSmooth(0, 0, 5, 3, Color::White, 0);
  screen->Blit(&src, 1, 1, Rect(0, 0, 2, 2), Color::White, 0);
  screen->BlitF(&src, 1, 1, Rect(0, 0, 2, 2), Rect(0, 0, 100, 100), Color::White, 0);
  screen->BlitF(&src, 1, 1, Rect(0, 0, 2, 2), Rect(2, 0, 100, 100), Color::White, 0);
  screen->BlitF(&src, 1, 1, Rect(0, 0, 2, 2), Rect(50, 50, 10, 10), Color::White, 0);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"FillPolygon", "FillRect", "DrawLine", "DrawLine", "Blit", "Blit",
                                                   "BlitTransformed"}));
  EXPECT_FALSE(mCalls[4].linear);
  EXPECT_TRUE(mCalls[5].linear);
  EXPECT_TRUE(mCalls[6].clipped);
  EXPECT_TRUE(src.mDrawn);
}

TEST_F(DDImageRouteTest, ContextsKnowWhenTheyDrawOnTheThreeDSurface) {
  ASSERT_EQ(Start(32, true), 0);
  Graphics onScreen(mDisplay->GetScreenImage());
  EXPECT_TRUE(onScreen.mIs3D);
  EXPECT_TRUE(Graphics(onScreen).mIs3D);
  EXPECT_FALSE(Graphics(mDisplay->mOldCursorAreaImage.get()).mIs3D);
  MemoryImage plain(&mHost);
  EXPECT_FALSE(Graphics(&plain).mIs3D);
  EXPECT_FALSE(Graphics(nullptr).mIs3D);
}

TEST_F(DDImageRouteTest, ContextsOnASoftwareDisplayAreNotThreeD) {
  ASSERT_EQ(Start(32, false), 0);
  EXPECT_FALSE(Graphics(mDisplay->GetScreenImage()).mIs3D);
}

TEST_F(DDImageRouteTest, OpaqueSurfaceCopiesOntoTheThreeDSurfaceAreBlts) {
  ASSERT_EQ(Start(32, true), 0);
  DDImage* screen = mDisplay->GetScreenImage();
  auto sprite = SurfaceImage(2, 2, 0xFF123456);
  mCalls.clear();
  screen->Blit(sprite.get(), 5, 6, Rect(0, 0, 2, 2), Color::White, 0);
  EXPECT_TRUE(CallNames().empty());
  EXPECT_EQ(SurfacePixel(mDisplay->mDrawSurface, 6, 7), 0x00123456u);
  screen->Blit(sprite.get(), 5, 6, Rect(0, 0, 2, 2), Color(255, 255, 255, 254), 0);
  EXPECT_EQ(CallNames(), std::vector<std::string>{"Blit"});
}

TEST_F(DDImageRouteTest, WithThreeDOnCursorAreasUseTheLoopsAndOtherImagesTheBits) {
  ASSERT_EQ(Start(32, true), 0);
  MemoryImage src(&mHost);
  const uint32_t px = 0xFF00FF00;
  src.SetPixels(&px, 1, 1, true);
  DDImage* area = mDisplay->mOldCursorAreaImage.get();
  area->Blit(&src, 3, 3, Rect(0, 0, 1, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(mDisplay->mOldCursorArea, 3, 3), 0xFF00FF00u);
  auto other = Image(2, 2, {0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000});
  ASSERT_NE(other->GetSurface(), nullptr);
  other->Blit(&src, 1, 1, Rect(0, 0, 1, 1), Color::White, 0);
  EXPECT_EQ(other->mSurface, nullptr);
  EXPECT_EQ(other->GetArgbBits()[3] & 0x00FFFFFF, 0x00FF00u);
  EXPECT_TRUE(CallNames().empty());
}

TEST_F(DDImageRouteTest, RendererMatricesPlaceTheCornersOfTheSource) {
  ASSERT_EQ(Start(32, true), 0);
  DDImage* screen = mDisplay->GetScreenImage();
  MemoryImage src(&mHost);
  src.CreateBlank(4, 2);
  mCalls.clear();
  screen->BlitMirrored(&src, 10, 20, Rect(0, 0, 4, 2), Color::White, 0);
  ASSERT_EQ(mCalls.size(), 1u);
  ExpectMaps(mCalls[0].matrix, 0, 0, 14, 20);
  ExpectMaps(mCalls[0].matrix, 4, 2, 10, 22);
  EXPECT_FALSE(mCalls[0].clipped);

  mCalls.clear();
  screen->BlitStretchedMirrored(&src, Rect(10, 20, 8, 4), Rect(0, 0, 4, 2), Rect(0, 0, 800, 600), Color::White, 0,
                                true);
  ASSERT_EQ(mCalls.size(), 1u);
  ExpectMaps(mCalls[0].matrix, 0, 0, 18, 20);
  ExpectMaps(mCalls[0].matrix, 4, 2, 10, 24);
  EXPECT_FALSE(mCalls[0].linear);

  mCalls.clear();
  screen->BlitStretched(&src, Rect(10, 20, 8, 4), Rect(0, 0, 4, 2), Rect(0, 0, 800, 600), Color::White, 0, false);
  ExpectMaps(mCalls[0].matrix, 4, 2, 18, 24);
  EXPECT_TRUE(mCalls[0].linear);

  mCalls.clear();
  const double a = M_PI / 2;
  screen->BlitRotated(&src, 100, 50, Rect(0, 0, 4, 2), Rect(0, 0, 800, 600), Color::White, 0, a, 2, 1);
  ASSERT_EQ(mCalls.size(), 1u);
  // (u, v) lands at (x + cx + (u - cx) cos a + (v - cy) sin a, y + cy - (u - cx) sin a + (v - cy) cos a).
  ExpectMaps(mCalls[0].matrix, 0, 0, 100 + 2 + 0 + (-1), 50 + 1 - (-2) + 0);
  ExpectMaps(mCalls[0].matrix, 4, 2, 100 + 2 + 0 + 1, 50 + 1 - 2 + 0);
}

// The renderer takes every stretch on the 3-D draw surface, opaque surface copies and stretches that
// miss the image included; off it, a mirrored stretch is nearest-pixel whatever the fast flag says.
TEST_F(DDImageRouteTest, StretchesOnTheThreeDSurfaceAllGoToTheRenderer) {
  ASSERT_EQ(Start(32, true), 0);
  DDImage* screen = mDisplay->GetScreenImage();
  auto sprite = SurfaceImage(2, 1, 0xFF123456);
  mCalls.clear();
  screen->BlitStretched(sprite.get(), Rect(0, 0, 4, 2), Rect(0, 0, 2, 1), Rect(0, 0, 800, 600), Color::White, 0, true);
  screen->BlitStretched(sprite.get(), Rect(900, 0, 4, 2), Rect(0, 0, 2, 1), Rect(0, 0, 800, 600), Color::White, 0,
                        true);
  screen->BlitStretchedMirrored(sprite.get(), Rect(0, 0, 4, 2), Rect(0, 0, 2, 1), Rect(0, 0, 0, 0), Color::White, 0,
                                false);
  EXPECT_EQ(CallNames(), (std::vector<std::string>{"BlitTransformed", "BlitTransformed", "BlitTransformed"}));
  EXPECT_EQ(SurfacePixel(mDisplay->mDrawSurface, 1, 1), 0u);

  auto dest = SurfaceImage(4, 1, 0xFF000000);
  MemoryImage src(&mHost);
  const uint32_t px[2] = {0xFF0000FF, 0xFF00FF00};
  src.SetPixels(px, 2, 1, true);
  dest->BlitStretchedMirrored(&src, Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color::White, 0, false);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0) & 0xFFFFFF, 0x0000FF00u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0) & 0xFFFFFF, 0x0000FF00u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 2, 0) & 0xFFFFFF, 0x000000FFu);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 3, 0) & 0xFFFFFF, 0x000000FFu);
}

TEST_F(DDImageRouteTest, BlitFAwayFromTheThreeDSurfaceIsAnUnturnedRotation) {
  ASSERT_EQ(Start(), 0);
  mDisplay->SetVideoMemoryDraw(true);
  DDImage* screen = mDisplay->GetScreenImage();
  FillSurface(mDisplay->mSecondarySurface, 0x00010203);
  MemoryImage src(&mHost);
  std::vector<uint32_t> px(16, 0xFFFFFFFF);
  src.SetPixels(px.data(), 4, 4, true);
  screen->BlitF(&src, 2.5f, 2.5f, Rect(0, 0, 4, 4), Rect(0, 0, 800, 600), Color::White, 0);
  EXPECT_EQ(SurfacePixel(mDisplay->mSecondarySurface, 4, 4), 0x00010203u);
  EXPECT_TRUE(src.mDrawn);
}

TEST_F(DDImageRouteTest, MemoryPathsSurviveASurfaceWithoutReadback) {
  // With 3-D on, the video-memory screen image is not the 3-D surface and cannot be read back.
  ASSERT_EQ(Start(32, true), 0);
  mDisplay->SetVideoMemoryDraw(true);
  DDImage* screen = mDisplay->GetScreenImage();
  MemoryImage src(&mHost);
  const uint32_t px = 0xFFFFFFFF;
  src.SetPixels(&px, 1, 1, true);
  screen->FillRect(Rect(0, 0, 4, 4), Color::White, 0);
  screen->Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color::White, 0);
  screen->BlitStretched(&src, Rect(0, 0, 4, 4), Rect(0, 0, 1, 1), Rect(0, 0, 800, 600), Color::White, 0, false);
  screen->DrawLine(0, 0, 5, 3, Color::White, 0);
  EXPECT_EQ(screen->GetArgbBits(), nullptr);
}

TEST_F(DDImageRouteTest, MatrixBlitsRasteriseIntoTheSurfaceOrElseTheBits) {
  InitSpanFillerTable();
  for (int bits : {32, 16}) {
    ASSERT_EQ(Start(bits), 0);
    auto dest = SurfaceImage(8, 8, 0xFF000000);
    MemoryImage src(&mHost);
    std::vector<uint32_t> red(16, 0xFFFF0000);
    src.SetPixels(red.data(), 4, 4, true);
    dest->BlitTransformed(&src, 2, 2, Matrix3x3(), Rect(0, 0, 8, 8), Color::White, 0, Rect(0, 0, 4, 4), false);
    EXPECT_EQ(SurfacePixel(dest->mSurface, 3, 3) & (bits == 32 ? 0xFFFFFFu : 0xFFFFu),
              bits == 32 ? 0xFF0000u : 0xF800u);
    EXPECT_EQ(SurfacePixel(dest->mSurface, 7, 7), 0u);
    EXPECT_EQ(dest->mBits, nullptr);
    EXPECT_TRUE(src.mDrawn);
  }
  // A translucent destination has no surface; the picture is drawn into its bits.
  auto translucent = Image(4, 4, std::vector<uint32_t>(16, 0x80000000));
  MemoryImage src(&mHost);
  std::vector<uint32_t> green(4, 0xFF00FF00);
  src.SetPixels(green.data(), 2, 2, true);
  translucent->BlitTransformed(&src, 0, 0, Matrix3x3(), Rect(0, 0, 4, 4), Color::White, 0, Rect(0, 0, 2, 2), false);
  EXPECT_EQ(translucent->mSurface, nullptr);
  EXPECT_EQ(translucent->GetArgbBits()[0] & 0xFFFFFF, 0x00FF00u);
}

}  // namespace
}  // namespace Velk::Testing
