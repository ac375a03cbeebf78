#include <gtest/gtest.h>

#include "fonts/SysFont.h"
#include "graphics/DisplayTestKit.h"
#include "graphics/Graphics.h"

namespace Velk {
namespace {

class SysFontSurfaceTest : public Testing::DisplayTest {
 protected:
  // The rows and columns of the surface that are no longer white.
  Rect Ink(IDirectDrawSurface* s, int w, int h) {
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((SurfacePixel(s, x, y) & 0xF0F0F0) != 0xF0F0F0) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return right < 0 ? Rect() : Rect(left, top, right - left + 1, bottom - top + 1);
  }
};

TEST_F(SysFontSurfaceTest, TextGoesStraightOntoTheSurfaceOnePixelLowerAndClipped) {
  Start(32);
  SysFont font("Arial", 12, false, false, false);
  auto image = SurfaceImage(60, 40, 0xFFFFFFFF);
  Graphics g(image.get());
  font.DrawString(&g, 10, 30, L"HH", Color::Black, Rect(0, 0, 60, 40));
  const Rect ink = Ink(image->GetSurface(), 60, 40);
  EXPECT_EQ(ink.mY + ink.mHeight, 31);
  EXPECT_GE(ink.mX, 10);
  EXPECT_LE(ink.mX, 12);
  EXPECT_EQ(image->mBits, nullptr);  // the surface is the one copy

  auto clipped = SurfaceImage(60, 40, 0xFFFFFFFF);
  Graphics h(clipped.get());
  font.DrawString(&h, 10, 30, L"HHHH", Color::Black, Rect(0, 0, 16, 40));
  const Rect part = Ink(clipped->GetSurface(), 60, 40);
  EXPECT_EQ(part.mX + part.mWidth, 16);
}

TEST_F(SysFontSurfaceTest, ALockedImageLendsItsLockAndKeepsIt) {
  Start(32);
  SysFont font("Arial", 12, false, false, false);
  auto image = SurfaceImage(60, 40, 0xFFFFFFFF);
  ASSERT_TRUE(image->LockSurface());
  Graphics g(image.get());
  font.DrawString(&g, 10, 30, L"H", Color::Black, Rect(0, 0, 60, 40));
  EXPECT_EQ(image->mLockCount, 1);
  ASSERT_TRUE(image->UnlockSurface());
  EXPECT_NE(Ink(image->GetSurface(), 60, 40), Rect());
}

TEST_F(SysFontSurfaceTest, SixteenBitSurfacesTakeTheMemoryPath) {
  Start(16);
  SysFont font("Arial", 12, false, false, false);
  auto image = SurfaceImage(60, 40, 0xFFFFFFFF);
  Graphics g(image.get());
  font.DrawString(&g, 10, 30, L"H", Color::Black, Rect(0, 0, 60, 40));
  bool dark = false;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) dark |= SurfacePixel(image->GetSurface(), x, y) == 0;
  EXPECT_TRUE(dark);
}

}  // namespace
}  // namespace Velk
