#include <gtest/gtest.h>

#include "fonts/FontTestSupport.h"
#include "fonts/SysFont.h"
#include "graphics/Graphics.h"

namespace Velk {
namespace {

using Testing::FontTest;
using Testing::Px;

class SysFontTest : public FontTest {
 protected:
  // A 60 x 40 white image.
  MemoryImage& Canvas() {
    std::vector<uint32_t> white(60 * 40, 0xFFFFFFFF);
    mCanvas.SetPixels(white.data(), 60, 40, true);
    return mCanvas;
  }
  // The rows and columns where the canvas is no longer (nearly) white.
  Rect Ink() {
    int left = 60, top = 40, right = -1, bottom = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 60; ++x)
        if ((Px(mCanvas, x, y) & 0xF0F0F0) != 0xF0F0F0) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    return right < 0 ? Rect() : Rect(left, top, right - left + 1, bottom - top + 1);
  }

  MemoryImage mCanvas;
};

TEST(SysFontAlphaTest, PixelPairsGiveTheTextsAlphaAndColour) {
  // Untouched: white over white, black over black.
  EXPECT_EQ(SysFont::RecoverPixel(0xFFFFFF, 0x000000), 0u);
  // Fully covered: the same colour over both.
  EXPECT_EQ(SysFont::RecoverPixel(0x123456, 0x123456), 0xFF123456u);
  // Half covered by pure red: over white (255, 128, 128), over black (127, 0, 0): a = 127 in every
  // channel, and the red is 127 * 255 / 127.
  EXPECT_EQ(SysFont::RecoverPixel(0xFF8080, 0x7F0000), 0x7FFF0000u);
  // Channels that disagree: the smallest estimate is the alpha.
  EXPECT_EQ(SysFont::RecoverPixel(0xFF8090, 0x7F0000), 0x6FFF0000u);
  // A quarter of (200, 100, 0): over white 255 - 64 + 50 = 241, 216, 191; over black 50, 25, 0. a is 64
  // in every channel, and 50 * 255 / 64 = 199, 25 * 255 / 64 = 99.
  EXPECT_EQ(SysFont::RecoverPixel(0xF1D8BF, 0x321900), 0x40C76300u);
  // No coverage estimate in a channel: nothing can be recovered.
  EXPECT_EQ(SysFont::RecoverPixel(0xFF0000, 0x000000), 0u);
  EXPECT_EQ(SysFont::RecoverPixel(0x00FF00, 0x000000), 0u);
}

TEST_F(SysFontTest, PixelHeightsAtNinetySixDotsAndFaceMetrics) {
  SysFont twelve("Arial", 12, false, false, false);
  // 12 pt is 16 px; DejaVu Sans has ascender 1901 and descender 483 of 2048 units: 14.85 and 3.77,
  // rounded outwards.
  EXPECT_EQ(twelve.GetAscent(), 15);
  EXPECT_EQ(twelve.GetHeight(), 19);
  SysFont eight(&mHost, "Tahoma", 8, DEFAULT_CHARSET, true, true, true);
  EXPECT_GT(eight.GetAscent(), 0);
  EXPECT_LT(eight.GetAscent(), eight.GetHeight());
  EXPECT_LT(eight.GetHeight(), twelve.GetHeight());
}

TEST_F(SysFontTest, WidthsAreTheSumOfAdvancesAndTheWidestLine) {
  SysFont font(&mHost, "Arial Unicode MS", 10, ANSI_CHARSET, false, false, false);
  EXPECT_EQ(font.StringWidth(L""), 0);
  const int a = font.CharWidth(L'A'), w = font.CharWidth(L'W');
  EXPECT_GT(a, 0);
  EXPECT_EQ(font.StringWidth(L"AW"), a + w);
  EXPECT_EQ(font.StringWidth(L"A&W"), a + w + font.CharWidth(L'&'));
  EXPECT_EQ(font.StringWidth(L"AW\nA"), a + w);
  SysFont mono("Courier New", 10, false, false, false);
  EXPECT_EQ(mono.StringWidth(L"iii"), mono.StringWidth(L"WWW"));
}

TEST_F(SysFontTest, DuplicatesKeepMetricsShadowAndBold) {
  SysFont font(&mHost, "Arial", 14, ANSI_CHARSET, true, false, false);
  font.mDrawShadow = true;
  font.mSimulateBold = true;
  std::unique_ptr<Velk::Font> copy(font.Duplicate());
  auto& sys = static_cast<SysFont&>(*copy);
  EXPECT_EQ(sys.GetAscent(), font.GetAscent());
  EXPECT_EQ(sys.GetHeight(), font.GetHeight());
  EXPECT_EQ(sys.StringWidth(L"Bold"), font.StringWidth(L"Bold"));
  EXPECT_NE(sys.mHFont, font.mHFont);
  EXPECT_TRUE(sys.mDrawShadow);
  EXPECT_TRUE(sys.mSimulateBold);
}

TEST_F(SysFontTest, TextIsDrawnFromTheBaselineInTheColourWithoutItsAlpha) {
  SysFont font(&mHost, "Arial", 12, ANSI_CHARSET, false, false, false);
  Graphics g(&Canvas());
  g.Translate(5, 0);
  font.DrawString(&g, 10, 30, L"HH", Color(0, 0, 255, 0), Rect());
  const Rect ink = Ink();
  // H stands on the baseline: its last row is the one above y, and its stems start near the pen.
  EXPECT_EQ(ink.mY + ink.mHeight, 30);
  EXPECT_GE(ink.mX, 15);
  EXPECT_LE(ink.mX, 17);
  EXPECT_LE(ink.mX + ink.mWidth, 15 + font.StringWidth(L"HH"));
  EXPECT_GE(ink.mHeight, 11);  // the cap height of 16 px DejaVu Sans is 11.7 px
  // The stems are covered fully, in the colour.
  bool solid = false;
  for (int x = ink.mX; x < ink.mX + ink.mWidth; ++x) solid |= Px(mCanvas, x, 25) == 0xFF0000FF;
  EXPECT_TRUE(solid);
}

TEST_F(SysFontTest, TheShadowIsBlackOnePixelRightAndDown) {
  SysFont font(&mHost, "Arial", 12, ANSI_CHARSET, false, false, false);
  Graphics g(&Canvas());
  font.DrawString(&g, 10, 30, L"l", Color::Black, Rect());
  const Rect text = Ink();
  Canvas();
  font.DrawString(&g, 10, 30, L"l", Color::White, Rect());
  EXPECT_EQ(Ink(), Rect());  // white on white
  font.mDrawShadow = true;
  font.DrawString(&g, 10, 30, L"l", Color::White, Rect());
  const Rect shadow = Ink();
  EXPECT_EQ(shadow.mX + shadow.mWidth, text.mX + text.mWidth + 1);
  EXPECT_EQ(shadow.mY + shadow.mHeight, text.mY + text.mHeight + 1);
  // The white stem covers the shadow but for its right and bottom edges.
  EXPECT_EQ(Px(mCanvas, text.mX, text.mY + 3) & 0xF0F0F0, 0xF0F0F0u);
  EXPECT_EQ(Px(mCanvas, shadow.mX + shadow.mWidth - 1, shadow.mY + 3) & 0x808080, 0u);
}

TEST_F(SysFontTest, NothingIsDrawnWithoutAnImageOrText) {
  SysFont font(&mHost, "Arial", 12, ANSI_CHARSET, false, false, false);
  Graphics none;
  font.DrawString(&none, 0, 20, L"text", Color::Black, Rect());
  Graphics g(&Canvas());
  font.DrawString(&g, 10, 30, L"", Color::Black, Rect());
  EXPECT_EQ(Ink(), Rect());
}

}  // namespace
}  // namespace Velk
