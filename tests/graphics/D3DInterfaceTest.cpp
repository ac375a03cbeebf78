#include <cmath>
#include <random>
#include <utility>

#include "D3DTestKit.h"

namespace Velk::Testing {
namespace {

uint32_t Gradient(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x) << 16 | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x ^ y);
}
uint32_t White(int, int) { return 0xFFFFFFFFu; }

using D3DInterfaceTest = D3DTest;

TEST_F(D3DInterfaceTest, DeviceCapsAreClampedAtSetUp) {
  D3DSettings& s = D3DSettings::Get();
  s.minTextureWidth = 0;
  s.maxTextureWidth = s.maxTextureHeight = 2048;
  s.maxTextureAspectRatio = 0;
  Start();
  EXPECT_EQ(D3DInterface::sMinTextureWidth, 1);
  EXPECT_EQ(D3DInterface::sMaxTextureWidth, 1024);
  EXPECT_EQ(D3DInterface::sMaxTextureHeight, 1024);
  EXPECT_EQ(D3DInterface::sMaxTextureAspectRatio, 65536);
  EXPECT_EQ(D3DInterface::sSupportedTextureFormats, 15u);
  mDisplay.reset();

  D3DSettings::Use64Only();
  D3DSettings::UseNoPaletteAlpha();
  Start();
  EXPECT_EQ(D3DInterface::sMinTextureWidth, 64);
  EXPECT_EQ(D3DInterface::sMaxTextureHeight, 64);
  EXPECT_EQ(D3DInterface::sMaxTextureAspectRatio, 1);
  EXPECT_EQ(D3DInterface::sSupportedTextureFormats, 7u);
}

TEST_F(D3DInterfaceTest, DrawingBeginsOneSceneWithTheFrameStatesUnlessMinimised) {
  Start();
  bool minimised = true;
  mD3D->mIsMinimized = [&] { return minimised; };
  mD3D->FillRect(Rect(0, 0, 4, 4), Color(255, 0, 0), 0);
  EXPECT_FALSE(mD3D->mSceneBegun);
  EXPECT_EQ(Pixel(0, 0), 0u);

  minimised = false;
  mD3D->FillRect(Rect(0, 0, 4, 4), Color(255, 0, 0), 1);
  ASSERT_TRUE(mD3D->mSceneBegun);
  DWORD v = 0;
  mD3D->mD3DDevice->GetRenderState(D3DRENDERSTATE_DESTBLEND, &v);
  EXPECT_EQ(v, static_cast<DWORD>(D3DBLEND_ONE));
  mD3D->mD3DDevice->GetRenderState(D3DRENDERSTATE_CULLMODE, &v);
  EXPECT_EQ(v, D3DCULL_NONE);
  mD3D->mD3DDevice->GetTextureStageState(0, D3DTSS_ADDRESSU, &v);
  EXPECT_EQ(v, D3DTADDRESS_CLAMP);
  mD3D->mD3DDevice->GetTextureStageState(0, D3DTSS_ALPHAOP, &v);
  EXPECT_EQ(v, static_cast<DWORD>(D3DTOP_MODULATE));
  EXPECT_TRUE(mDisplay->Present(nullptr));
  EXPECT_FALSE(mD3D->mSceneBegun);
}

TEST_F(D3DInterfaceTest, FillsLinesAndClippedPolygonsLightExactPixels) {
  Start();
  mD3D->FillRect(Rect(1, 1, 2, 2), Color(255, 0, 0), 0);
  EXPECT_EQ(Pixel(1, 1), 0xFF0000u);
  EXPECT_EQ(Pixel(2, 2), 0xFF0000u);
  EXPECT_EQ(Pixel(3, 2), 0u);
  EXPECT_EQ(Pixel(0, 1), 0u);

  mD3D->DrawLine(10, 10, 10, 10, Color(0, 255, 0), 0);
  EXPECT_EQ(Pixel(10, 10), 0x00FF00u);
  EXPECT_EQ(Pixel(11, 10), 0u);
  EXPECT_EQ(Pixel(11, 11), 0u);
  mD3D->DrawLine(20, 5, 24, 5, Color(0, 255, 0), 0);
  for (int x = 19; x <= 25; ++x) EXPECT_EQ(Pixel(x, 5), x >= 20 && x <= 24 ? 0x00FF00u : 0u) << x;

  // A square reaching past the clip rectangle keeps only the part inside; one wholly outside draws nothing.
  const POINT square[4] = {{29, 19}, {41, 19}, {41, 31}, {29, 31}};
  mD3D->FillPolygon(square, 4, Rect(32, 22, 4, 4), Color(0, 0, 255), 0, 0, 0);
  mD3D->FillPolygon(square, 4, Rect(50, 40, 4, 4), Color(0, 0, 255), 0, 0, 0);
  const POINT two[2] = {{0, 0}, {40, 40}};
  mD3D->FillPolygon(two, 2, Rect(0, 0, 64, 48), Color(0, 0, 255), 0, 0, 0);
  int lit = 0;
  for (int y = 12; y < 48; ++y)
    for (int x = 26; x < 64; ++x) lit += Pixel(x, y) == 0x0000FFu;
  EXPECT_EQ(lit, 16);
  EXPECT_EQ(Pixel(32, 22), 0x0000FFu);
  EXPECT_EQ(Pixel(35, 25), 0x0000FFu);
}

TEST_F(D3DInterfaceTest, BlitAcrossPiecesHasNoSeam) {
  D3DSettings::Use64Only();
  Start(160, 120);
  // The viewport is the draw surface's, whatever the (here absent) window's client area.
  EXPECT_EQ(mD3D->mD3DViewport.dwWidth, 160u);
  EXPECT_EQ(mD3D->mD3DViewport.dwHeight, 120u);
  auto image = Image(100, 80, Gradient);
  mD3D->Blit(image.get(), 3, 2, Rect(0, 0, 100, 80), Color::White, 0, false);
  ASSERT_NE(image->mTextureData, nullptr);
  EXPECT_EQ(image->mTextureData->mTexPiecesX, 2);
  int wrong = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) wrong += Pixel(x + 3, y + 2) != (Gradient(x, y) & 0xFFFFFF);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Pixel(103, 2), 0u);
  EXPECT_EQ(Pixel(3, 82), 0u);
}

// Additive gray over black: a pixel drawn twice would show 0x80, a gap 0.
TEST_F(D3DInterfaceTest, TrianglesSpanningTwoPiecesMeetWithoutGapOrOverlap) {
  D3DSettings::Use64Only();
  Start(160, 80);
  auto image = Image(128, 64, White);
  const TriVertex tris[2][3] = {{{0, 0, 0, 0, 0}, {128, 0, 1, 0, 0}, {0, 64, 0, 1, 0}},
                                {{128, 0, 1, 0, 0}, {128, 64, 1, 1, 0}, {0, 64, 0, 1, 0}}};
  mD3D->BlitTriangles(image.get(), tris, 2, Rect(0, 0, 160, 80), Color(0x40, 0x40, 0x40), 1, -0.5f, -0.5f, false);
  int wrong = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 128; ++x) wrong += Pixel(x, y) != 0x404040u;
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(Pixel(128, 0), 0u);
}

TEST_F(D3DInterfaceTest, FailedCallIsRecordedAndTheNextPresentFallsBack) {
  Start();
  DDrawFaults::Fail("DrawPrimitive", D3DERR_INVALIDVERTEXTYPE);
  mD3D->FillRect(Rect(0, 0, 2, 2), Color::White, 0);
  EXPECT_EQ(mD3D->GetErrorText(), "DrawPrimitive (Rect): D3DERR_INVALIDVERTEXTYPE");
  ASSERT_EQ(mRegistry.size(), 1u);
  EXPECT_EQ(mRegistry[0].first, "Test3D\\RuntimeError");
  EXPECT_EQ(mRegistry[0].second, "DrawPrimitive (Rect): D3DERR_INVALIDVERTEXTYPE");
  EXPECT_FALSE(mDisplay->Present(nullptr));
  EXPECT_FALSE(mDisplay->mIs3D);
}

TEST_F(D3DInterfaceTest, ForgottenAndReleasedImagesLoseTheirTextures) {
  Start();
  auto kept = Image(8, 8, White);
  auto dropped = Image(8, 8, White);
  mD3D->Blit(kept.get(), 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
  mD3D->Blit(dropped.get(), 0, 0, Rect(0, 0, 8, 8), Color::White, 0, false);
  EXPECT_EQ(mD3D->mImageSet.size(), 2u);
  dropped.reset();
  EXPECT_EQ(mD3D->mImageSet.size(), 1u);
  mDisplay->Cleanup();
  EXPECT_EQ(kept->mTextureData, nullptr);
  EXPECT_TRUE(mD3D->mImageSet.empty());
}

// The same frame through both roads: a background, an opaque and a translucent sprite.
TEST_F(D3DInterfaceTest, ThreeDAndSoftwareRoadsDrawTheSameFrame) {
  Start();
  auto sprite = Image(20, 16, [](int x, int y) { return Gradient(x * 8, y * 8); });
  auto ghost = Image(12, 12, [](int x, int) { return static_cast<uint32_t>(x * 20) << 24 | 0x20C0F0u; });
  MemoryImage soft(&mHost);
  soft.CreateBlank(64, 48);
  const Color back(30, 60, 90);
  auto draw = [&](auto fill, auto blit) {
    fill(Rect(0, 0, 64, 48), back);
    blit(sprite.get(), 5, 7, Rect(0, 0, 20, 16));
    blit(ghost.get(), 20, 10, Rect(0, 0, 12, 12));
  };
  draw([&](const Rect& r, const Color& c) { soft.FillRect(r, c, 0); },
       [&](Velk::Image* src, int x, int y, const Rect& sr) { soft.Blit(src, x, y, sr, Color::White, 0); });
  draw([&](const Rect& r, const Color& c) { mD3D->FillRect(r, c, 0); },
       [&](Velk::Image* src, int x, int y, const Rect& sr) {
         mD3D->Blit(src, static_cast<float>(x), static_cast<float>(y), sr, Color::White, 0, false);
       });
  const uint32_t* bits = soft.GetArgbBits();
  int worst = 0;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      const uint32_t a = bits[y * 64 + x], b = Pixel(x, y);
      for (int s = 0; s < 24; s += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)));
    }
  }
  // The roads round blends differently by a step or two.
  EXPECT_LE(worst, 4);
}

// A filtered transformed blit at a whole-pixel place and scale 1 gives the plain blit's bytes in every
// drawing mode and colour: random pictures with clear, translucent and opaque texels, over one texture
// piece and over several, onto a random background.
TEST_F(D3DInterfaceTest, FilteredWholePixelBlitsGiveThePlainBlitsBytes) {
  D3DSettings::Get().maxTextureWidth = D3DSettings::Get().maxTextureHeight = 64;
  Start(160, 100);
  std::mt19937 rng(7);
  auto random = [&](int w, int h, bool opaque) {
    std::vector<uint32_t> bits(static_cast<size_t>(w) * h);
    for (uint32_t& p : bits) {
      const uint32_t alpha = opaque || rng() % 3 == 0 ? 255 : rng() % 3 == 0 ? 0 : rng() & 0xFF;
      p = alpha << 24 | (rng() & 0xFFFFFF);
    }
    auto image = std::make_unique<MemoryImage>(&mHost);
    image->SetPixels(bits.data(), w, h, true);
    return image;
  };
  const auto background = random(160, 100, true);
  auto drawn = [&](auto draw) {
    mD3D->Blit(background.get(), 0, 0, Rect(0, 0, 160, 100), Color::White, 0, false);
    draw();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 160; ++x) pixels.push_back(Pixel(x, y));
    return pixels;
  };
  const Color colours[] = {Color::White, Color(255, 255, 255, 128), Color(200, 120, 60), Color(90, 200, 255, 170)};
  const Rect clip(0, 0, 160, 100);
  for (const auto& [w, h] : {std::pair{37, 23}, std::pair{64, 64}, std::pair{150, 90}, std::pair{1, 5}}) {
    const auto picture = random(w, h, false);
    for (int drawMode : {0, 1})
      for (const Color& colour : colours) {
        const int x = static_cast<int>(rng() % static_cast<uint32_t>(161 - w));
        const int y = static_cast<int>(rng() % static_cast<uint32_t>(101 - h));
        const Rect part = w > 8 ? Rect(3, 2, w - 5, h - 4) : Rect(0, 0, w, h);
        const auto plain = drawn([&] {
          mD3D->Blit(picture.get(), static_cast<float>(x), static_cast<float>(y), part, colour, drawMode, false);
        });
        Matrix3x3 place;
        place.Translate(static_cast<float>(x), static_cast<float>(y));
        const auto filtered = drawn(
            [&] { mD3D->BlitTransformed(picture.get(), place, part, colour, drawMode, &clip, 0, 0, true, false); });
        ASSERT_EQ(plain, filtered) << w << " x " << h << " mode " << drawMode << " at " << x << ", " << y;
      }
  }
}

}  // namespace
}  // namespace Velk::Testing
