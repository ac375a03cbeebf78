#include <random>

#include "DisplayTestKit.h"
#include "graphics/PixelOps.h"
#include "platform/ddraw/DDrawSettings.h"

namespace Velk::Testing {
namespace {

using DDImageLoopTest = DisplayTest;

TEST_F(DDImageLoopTest, OpaqueAndTranslucentFills) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(4, 1, 0xFF000000);
  image->FillRect(Rect(0, 0, 1, 1), Color::White, 0);
  // 255 x 0xFF0000 >> 8 keeps only 0xFE in each channel.
  EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0x00FEFEFEu);
  image->FillRect(Rect(1, 0, 1, 1), Color(255, 0, 0, 128), 0);
  // ((255 x 128 + 127) >> 8) + 1 = 128; 128 x 0xFF0000 >> 8 = 0x7F8000.
  EXPECT_EQ(SurfacePixel(image->mSurface, 1, 0), 0x007F0000u);
  EXPECT_EQ(SurfacePixel(image->mSurface, 2, 0), 0u);
  EXPECT_EQ(image->mBits, nullptr);
}

TEST_F(DDImageLoopTest, OpaqueWhiteFillAt16BitsIsAllOnes) {
  ASSERT_EQ(Start(16), 0);
  auto image = SurfaceImage(2, 1, 0xFF000000);
  image->FillRect(Rect(0, 0, 1, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0xFFFFu);
}

TEST_F(DDImageLoopTest, AdditiveFillsSaturateAndClearForeignBits) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(2, 1, 0xFF646464);
  SetSurfacePixel(image->mSurface, 1, 0, 0xAB101010);
  image->FillRect(Rect(0, 0, 2, 1), Color(200, 200, 200), 1);
  EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0x00FFFFFFu);
  EXPECT_EQ(SurfacePixel(image->mSurface, 1, 0), 0x00D8D8D8u);

  ASSERT_EQ(Start(16), 0);
  auto small = SurfaceImage(1, 1, 0xFF808080);
  // 128 grey is 16/32/16; the colour adds 25/50/25 and each channel saturates.
  small->FillRect(Rect(0, 0, 1, 1), Color(200, 200, 200), 1);
  EXPECT_EQ(SurfacePixel(small->mSurface, 0, 0), 0xFFFFu);
  auto dim = SurfaceImage(1, 1, 0xFF000000);
  dim->FillRect(Rect(0, 0, 1, 1), Color(64, 64, 64), 1);
  EXPECT_EQ(SurfacePixel(dim->mSurface, 0, 0), (8u << 11) | (16u << 5) | 8u);
}

std::vector<std::pair<int, int>> Lit(DDImage& image, int w, int h) {
  std::vector<std::pair<int, int>> lit;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (DisplayTest::SurfacePixel(image.mSurface, x, y) != 0) lit.emplace_back(x, y);
  return lit;
}

TEST_F(DDImageLoopTest, PlainLinesPlotTheirBresenhamPixels) {
  ASSERT_EQ(Start(), 0);
  auto diagonal = SurfaceImage(6, 6, 0xFF000000);
  diagonal->DrawLine(0, 0, 3, 3, Color::White, 0);
  EXPECT_EQ(Lit(*diagonal, 6, 6), (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  auto shallow = SurfaceImage(6, 6, 0xFF000000);
  shallow->DrawLine(4, 2, 0, 0, Color::White, 0);
  EXPECT_EQ(Lit(*shallow, 6, 6), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}));
}

TEST_F(DDImageLoopTest, HorizontalLineBecomesARectangleFill) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(14, 7, 0xFF000000);
  image->DrawLine(10.7, 5, 3.2, 5, Color::White, 0);
  std::vector<std::pair<int, int>> expected;
  for (int x = 3; x <= 10; ++x) expected.emplace_back(x, 5);
  EXPECT_EQ(Lit(*image, 14, 7), expected);
}

TEST_F(DDImageLoopTest, SmoothLinesBlendAndAdditiveSmoothLinesDrawNothing) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(8, 8, 0xFF000000);
  image->DrawLineSmooth(1, 1, 5, 3, Color(255, 255, 255), 1);
  EXPECT_TRUE(Lit(*image, 8, 8).empty());
  // A 45-degree line from whole coordinates gives each diagonal pixel weight 255 of the colour 0xFE:
  // 0xFE x 255 >> 8 = 0xFD.
  image->DrawLineSmooth(1, 1, 4, 4, Color(255, 255, 255), 0);
  EXPECT_EQ(SurfacePixel(image->mSurface, 2, 2), 0x00FDFDFDu);
  EXPECT_EQ(SurfacePixel(image->mSurface, 1, 1), 0x00FDFDFDu);
  EXPECT_EQ(SurfacePixel(image->mSurface, 2, 1), 0u);
}

TEST_F(DDImageLoopTest, SmoothLineSplitsEachStepBetweenTwoRows) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(6, 4, 0xFF000000);
  image->DrawLineSmooth(0, 0, 4, 2, Color::White, 0);
  // Slope 1/2: the fraction alternates 0x8000 and 0, giving weights 127/128 and 255/0 of 0xFE.
  const uint32_t full = 0xFD, part = 0x7E, rest = 0x7F;
  const uint32_t expected[4][6] = {
      {full, part, 0, 0, 0, 0}, {0, rest, full, part, 0, 0}, {0, 0, 0, rest, part, 0}, {0, 0, 0, 0, 0, 0}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(SurfacePixel(image->mSurface, x, y) & 0xFF, expected[y][x]) << x << "," << y;
}

TEST_F(DDImageLoopTest, FullCoverageKeepsOne256thOfTheOldPixel) {
  ASSERT_EQ(Start(), 0);
  auto image = SurfaceImage(2, 1, 0xFF000000);
  Span span{0, 0, 1};
  const unsigned char coverage[1] = {255};
  image->FillSpansCoverage(&span, 1, Color::White, 0, coverage, 0, 0, 1, false);
  // K = 0xFEFEFE; a' = 256 x 255 >> 8 = 255; each channel 0xFE x 255 >> 8 = 0xFD.
  EXPECT_EQ(SurfacePixel(image->mSurface, 0, 0), 0x00FDFDFDu);
  EXPECT_EQ(SurfacePixel(image->mSurface, 1, 0), 0u);
}

TEST_F(DDImageLoopTest, OpaqueCopiesUseTheHardwareBltOnlyWhenMemoryKindsAllow) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(2, 1, 0xFF000000);
  auto src = SurfaceImage(2, 1, 0xFF00FF00);
  // Both in system memory: a Blt, so a failing Blt leaves the destination untouched.
  DDrawFaults::Fail("Blt", DDERR_GENERIC);
  dest->Blit(src.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0u);
  DDrawFaults::Clear();
  // A video-memory source onto a system-memory destination is copied by the loop.
  auto video = Image(2, 1, {0xFF0000FF, 0xFF0000FF});
  video->SetInVideoMemory(true);
  ASSERT_NE(video->GetSurface(), nullptr);
  DDrawFaults::Fail("Blt", DDERR_GENERIC);
  dest->Blit(video.get(), 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0), 0xFF0000FFu);
}

TEST_F(DDImageLoopTest, KeyedSourcesSkipExactlyTheirTransparentPixels) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(3, 1, 0xFF101010);
  auto memory = std::make_unique<MemoryImage>(&mHost);
  const uint32_t pixels[3] = {0x00FFFFFF, 0xFF202020, 0x00000000};
  memory->SetPixels(pixels, 3, 1, true);
  dest->Blit(memory.get(), 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0x00101010u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0), 0xFF202020u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 2, 0), 0x00101010u);

  // The same picture as a surface goes by a keyed Blt with the same outcome.
  auto keyed = Image(3, 1, {0x00FFFFFF, 0xFF202020, 0x00000000});
  ASSERT_NE(keyed->GetSurface(), nullptr);
  auto other = SurfaceImage(3, 1, 0xFF101010);
  other->Blit(keyed.get(), 0, 0, Rect(0, 0, 3, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(other->mSurface, 0, 0), 0x00101010u);
  EXPECT_EQ(SurfacePixel(other->mSurface, 1, 0), 0x00202020u);
}

TEST_F(DDImageLoopTest, GreyOn565HalvesEachChannel) {
  ASSERT_EQ(Start(16), 0);
  auto dest = SurfaceImage(1, 1, 0xFF000000);
  MemoryImage white(&mHost);
  const uint32_t pixel = 0xFFFFFFFF;
  white.SetPixels(&pixel, 1, 1, true);
  dest->Blit(&white, 0, 0, Rect(0, 0, 1, 1), Color(128, 128, 128), 0);
  // 31 x 16 / 32 = 15, 63 x 16 / 32 = 31.
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), (15u << 11) | (31u << 5) | 15u);
}

TEST_F(DDImageLoopTest, TranslucentRunsAt16BitsBlendInEighths) {
  ASSERT_EQ(Start(16), 0);
  auto dest = SurfaceImage(2, 1, 0xFFFFFFFF);
  MemoryImage src(&mHost);
  const uint32_t pixels[2] = {0x80000000, 0xFF000000};
  src.SetPixels(pixels, 2, 1, true);
  dest->Blit(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
  // Black at alpha 128 keeps (256 - 128) >> 3 = 16 of 32 of white: 15, 31, 15.
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), (15u << 11) | (31u << 5) | 15u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0), 0u);
}

TEST_F(DDImageLoopTest, ColourisedAdditiveBlitScalesTheSourceChannels) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(1, 1, 0xFF000010);
  MemoryImage src(&mHost);
  const uint32_t grey = 0xFF808080;
  src.SetPixels(&grey, 1, 1, true);
  dest->Blit(&src, 0, 0, Rect(0, 0, 1, 1), Color(255, 0, 0), 1);
  // Red: 0x80 x 255 >> 8 = 0x7F added to 0; green and blue add nothing; blue keeps 0x10.
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0x007F0010u);
}

TEST_F(DDImageLoopTest, TranslucentAndColourisedRunsAt32Bits) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(2, 1, 0xFF804020);
  MemoryImage src(&mHost);
  const uint32_t pixels[2] = {0x80FF0000, 0xFF00FF00};
  src.SetPixels(pixels, 2, 1, true);
  dest->Blit(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
  // Native red = 255 x 129 >> 8 = 128; destination keeps (256 - 128) / 256.
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0x80000000u | (0x40u + 0x80u) << 16 | 0x20u << 8 | 0x10u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0), 0xFF00FF00u);
  // Colourised by (255, 0, 0, 255): green of the opaque pixel goes, the top byte stays 0.
  dest->Blit(&src, 0, 0, Rect(1, 0, 1, 1), Color(255, 0, 0), 0);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0u);
}

TEST_F(DDImageLoopTest, MirroredBlitsReverseEachRow) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(14, 1, 0xFF000000);
  MemoryImage src(&mHost);
  const uint32_t abc[3] = {0xFF0000AA, 0xFF0000BB, 0xFF0000CC};
  src.SetPixels(abc, 3, 1, true);
  dest->BlitMirrored(&src, 10, 0, Rect(0, 0, 3, 1), Color::White, 0);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 10, 0) & 0xFFFFFF, 0xCCu);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 11, 0) & 0xFFFFFF, 0xBBu);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 12, 0) & 0xFFFFFF, 0xAAu);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 13, 0), 0u);
}

TEST_F(DDImageLoopTest, AdditiveBlitsSkipBlackRuns) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(3, 1, 0xFF000000);
  for (int x = 0; x < 3; ++x) SetSurfacePixel(dest->mSurface, x, 0, 0xAB808080);
  MemoryImage src(&mHost);
  const uint32_t pixels[3] = {0xFF000000, 0xFF000000, 0xFF909090};
  src.SetPixels(pixels, 3, 1, true);
  dest->Blit(&src, 0, 0, Rect(0, 0, 3, 1), Color::White, 1);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0xAB808080u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0), 0xAB808080u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 2, 0), 0x00FFFFFFu);
}

TEST_F(DDImageLoopTest, VolatileSourcesBlendDirectlyAndAlphaZeroLeavesThePixel) {
  for (int bits : {32, 16}) {
    for (bool rgbOrder : {true, false}) {
      ASSERT_EQ(Start(bits), 0);
      auto dest = SurfaceImage(2, 1, 0xFF000000);
      DDInterface::sRgbOrder = rgbOrder;
      const uint32_t old = bits == 32 ? 0x00123456u : 0x1234u;
      SetSurfacePixel(dest->mSurface, 0, 0, old);
      MemoryImage src(&mHost);
      const uint32_t pixels[2] = {0x00FFFFFF, 0x40FFFFFF};
      src.SetPixels(pixels, 2, 1, true);
      src.SetVolatile(true);
      dest->Blit(&src, 0, 0, Rect(0, 0, 2, 1), Color::White, 0);
      EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), old) << bits << " " << rgbOrder;
      EXPECT_NE(SurfacePixel(dest->mSurface, 1, 0), 0u) << bits << " " << rgbOrder;
    }
  }
}

TEST_F(DDImageLoopTest, PalettizedAndDirectSourcesDrawAlike) {
  ASSERT_EQ(Start(16), 0);
  std::vector<uint32_t> pixels;
  for (int i = 0; i < 16; ++i)
    pixels.push_back((i % 3 == 0   ? 0x00000000u
                      : i % 3 == 1 ? 0x80000000u
                                   : 0xFF000000u) |
                     static_cast<uint32_t>(i * 0x0F0B07));
  MemoryImage direct(&mHost);
  direct.SetPixels(pixels.data(), 4, 4, true);
  MemoryImage palettized(&mHost);
  palettized.SetPixels(pixels.data(), 4, 4, true);
  ASSERT_TRUE(palettized.ReduceToPalette());
  for (int mode : {0, 1}) {
    for (const Color& color : {Color::White, Color(200, 100, 50, 180)}) {
      auto a = SurfaceImage(4, 4, 0xFF406080);
      auto b = SurfaceImage(4, 4, 0xFF406080);
      a->Blit(&direct, 0, 0, Rect(0, 0, 4, 4), color, mode);
      b->Blit(&palettized, 0, 0, Rect(0, 0, 4, 4), color, mode);
      a->BlitMirrored(&direct, 0, 0, Rect(0, 0, 4, 4), color, mode);
      b->BlitMirrored(&palettized, 0, 0, Rect(0, 0, 4, 4), color, mode);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
          EXPECT_EQ(SurfacePixel(a->mSurface, x, y), SurfacePixel(b->mSurface, x, y)) << x << "," << y;
    }
  }
}

TEST_F(DDImageLoopTest, MirroredStretchMapsTheLastColumnToTheFirstSourceColumn) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(10, 1, 0xFF000000);
  MemoryImage src(&mHost);
  const uint32_t pixels[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
  src.SetPixels(pixels, 4, 1, true);
  dest->BlitStretchedMirrored(&src, Rect(1, 0, 8, 1), Rect(0, 0, 4, 1), Rect(0, 0, 10, 1), Color::White, 0, true);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 8, 0) & 0xFF, 1u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 7, 0) & 0xFF, 1u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 1, 0) & 0xFF, 4u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 9, 0), 0u);
}

TEST_F(DDImageLoopTest, FastStretchTakesTheKeyedBltOnlyForUncolouredCopies) {
  ASSERT_EQ(Start(), 0);
  auto src = Image(2, 1, {0x00000000, 0xFF00FF00});
  ASSERT_NE(src->GetSurface(), nullptr);
  auto dest = SurfaceImage(4, 1, 0xFF0000FF);
  dest->BlitStretched(src.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color::White, 0, true);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0x000000FFu);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 3, 0), 0x0000FF00u);
  // A colour goes through the loops: the Blt failing changes nothing there.
  auto tinted = SurfaceImage(4, 1, 0xFF000000);
  DDrawFaults::Fail("Blt", DDERR_GENERIC);
  tinted->BlitStretched(src.get(), Rect(0, 0, 4, 1), Rect(0, 0, 2, 1), Rect(0, 0, 4, 1), Color(0, 255, 0, 255), 0,
                        true);
  EXPECT_EQ(SurfacePixel(tinted->mSurface, 3, 0), 0x0000FE00u);
  EXPECT_EQ(SurfacePixel(tinted->mSurface, 0, 0), 0u);
}

TEST_F(DDImageLoopTest, SmoothStretchGoesThroughATemporaryImageOntoTheSurface) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(6, 6, 0xFF000000);
  MemoryImage src(&mHost);
  std::vector<uint32_t> blue(4, 0xFF0000FF);
  src.SetPixels(blue.data(), 2, 2, true);
  dest->BlitStretched(&src, Rect(1, 1, 4, 4), Rect(0, 0, 2, 2), Rect(0, 0, 6, 6), Color::White, 0, false);
  // The smoothing may round full blue down by one.
  EXPECT_GE(SurfacePixel(dest->mSurface, 2, 3) & 0xFFFFFF, 0x0000FEu);
  EXPECT_LE(SurfacePixel(dest->mSurface, 2, 3) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 0, 0), 0u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 5, 5), 0u);
  EXPECT_EQ(dest->mBits, nullptr);
  // A clip that leaves no source width draws nothing.
  dest->BlitStretched(&src, Rect(1, 1, 4, 4), Rect(0, 0, 2, 2), Rect(5, 0, 0, 6), Color(255, 0, 0), 0, true);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 5, 1), 0u);
}

// Copies a 32-bit surface's pixels, row after row, into or out of `pixels`.
void SurfaceRows(IDirectDrawSurface* s, std::vector<uint32_t>& pixels, bool write) {
  DDSURFACEDESC d;
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  for (DWORD y = 0; y < d.dwHeight; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + static_cast<size_t>(y) * d.lPitch);
    uint32_t* at = pixels.data() + static_cast<size_t>(y) * d.dwWidth;
    write ? std::copy(at, at + d.dwWidth, row) : std::copy(row, row + d.dwWidth, at);
  }
  s->Unlock(nullptr);
}

// A normal blit's pixel onto a 32-bit surface: the source in display format (each channel times
// alpha + 1, over 256), a clear source pixel leaving the destination, any other keeping
// (256 - alpha) / 256 of each channel and adding the source.
uint32_t ModelOver(uint32_t d, uint32_t p) {
  const uint32_t a = p >> 24;
  if (a == 0) return d;
  uint32_t out = a << 24;
  for (int c = 0; c < 24; c += 8) out |= ((((p >> c) & 0xFF) * (a + 1)) >> 8) << c;
  for (int c = 0; c < 24; c += 8) out += (((d & (0xFFu << c)) * (256 - a)) >> 8) & (0xFFu << c);
  return out;
}

// The nearest-pixel stretch onto a 32-bit surface, one pixel at a time: the source column and line
// stepped in 16.16, each pixel drawn as ModelOver.
void ModelFastStretch(const std::vector<uint32_t>& src, int sw, int sh, const Rect& from, const Rect& to, bool mirrored,
                      std::vector<uint32_t>& surface, int pitch) {
  const int64_t xstep = PixelOps::TruncInt(from.mWidth * 65536.0 / to.mWidth);
  const int64_t ystep = PixelOps::TruncInt(from.mHeight * 65536.0 / to.mHeight);
  for (int r = 0; r < to.mHeight; ++r)
    for (int i = 0; i < to.mWidth; ++i) {
      const int sx = std::clamp(static_cast<int>((from.mX * int64_t{65536} + i * xstep) >> 16), 0, sw - 1);
      const int sy = std::clamp(static_cast<int>((from.mY * int64_t{65536} + r * ystep) >> 16), 0, sh - 1);
      uint32_t& d = surface[static_cast<size_t>(to.mY + r) * pitch + to.mX + (mirrored ? to.mWidth - 1 - i : i)];
      d = ModelOver(d, src[static_cast<size_t>(sy) * sw + sx]);
    }
}

TEST_F(DDImageLoopTest, FastStretchesOnto32BitsMatchThePerPixelBlend) {
  ASSERT_EQ(Start(), 0);
  constexpr int kW = 830, kH = 5;
  std::mt19937 rng(77);
  std::vector<uint32_t> widths;
  for (int w = 1; w <= 67; ++w) widths.push_back(w);
  widths.push_back(800);
  for (uint32_t sw : widths) {
    // Stretches of clear, opaque and translucent pixels; with few colours the source can be palettized.
    const bool palettized = sw % 5 == 0;
    const int sh = 3;
    std::vector<uint32_t> pixels(sw * sh);
    for (size_t i = 0; i < pixels.size();) {
      const uint32_t kind = rng() % 3;
      for (size_t end = std::min(pixels.size(), i + 1 + rng() % 20); i < end; ++i) {
        const uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : palettized ? 1 + (rng() % 8) * 36 : rng() % 256;
        pixels[i] = a << 24 | (palettized ? (rng() % 4) * 0x3F2F1F : rng() & 0xFFFFFF);
      }
    }
    MemoryImage src(&mHost);
    src.SetPixels(pixels.data(), static_cast<int>(sw), sh, true);
    if (palettized) {
      ASSERT_TRUE(src.ReduceToPalette());
    }
    const int dw = std::min<int>(kW - 20, sw % 3 == 0 ? sw : sw % 3 == 1 ? 2 * sw + 1 : sw / 2 + 1);
    const Rect to(static_cast<int>(rng() % 16), static_cast<int>(rng() % 2), dw, sw % 4 == 0 ? 3 : 2);
    const Rect from(0, sw % 7 == 0 ? 1 : 0, static_cast<int>(sw), 2);
    for (bool mirrored : {false, true}) {
      auto dest = SurfaceImage(kW, kH, 0xFF000000);
      std::vector<uint32_t> expected(static_cast<size_t>(kW) * kH);
      for (uint32_t& p : expected) p = rng();
      SurfaceRows(dest->mSurface, expected, true);
      if (mirrored) {
        dest->BlitStretchedMirrored(&src, to, from, Rect(0, 0, kW, kH), Color::White, 0, true);
      } else {
        dest->BlitStretched(&src, to, from, Rect(0, 0, kW, kH), Color::White, 0, true);
      }
      ModelFastStretch(pixels, static_cast<int>(sw), sh, from, to, mirrored, expected, kW);
      std::vector<uint32_t> drawn(expected.size());
      SurfaceRows(dest->mSurface, drawn, false);
      for (size_t i = 0; i < drawn.size(); ++i)
        ASSERT_EQ(drawn[i], expected[i]) << "source width " << sw << " mirrored " << mirrored << " at " << i % kW << ","
                                         << i / kW;
    }
  }
}

// The additive blit onto a 32-bit surface, one pixel at a time: the source in display format (each
// channel times alpha + 1, over 256); a black one leaves the destination whole, any other adds each
// channel up to 255 and clears the top byte.
uint32_t ModelAdditive(uint32_t d, uint32_t p) {
  const uint32_t a = p >> 24;
  uint32_t out = 0;
  for (int c = 0; c < 24; c += 8) out |= std::min(((d >> c) & 0xFF) + ((((p >> c) & 0xFF) * (a + 1)) >> 8), 255u) << c;
  for (int c = 0; c < 24; c += 8)
    if (((((p >> c) & 0xFF) * (a + 1)) >> 8) != 0) return out;
  return d;
}

// Both walks of the run table against their models, from source rectangles cut on both sides: the
// normal blit hands runs drawn alike, also those longer than a run byte holds (255), to one row call.
TEST_F(DDImageLoopTest, AdditiveAndNormalBlitsOnto32BitsMatchThePerPixelModelsAroundLongStretches) {
  ASSERT_EQ(Start(), 0);
  constexpr int kW = 830;
  std::mt19937 rng(78);
  std::vector<int> widths{255, 256, 511};
  for (int w = 1; w <= 67; ++w) widths.push_back(w);
  widths.push_back(800);
  for (int sw : widths) {
    // Stretches, long and short, of translucent black pixels, of dark ones (black in display format
    // wherever alpha or colour is small) and of opaque ones without blue.
    std::vector<uint32_t> pixels;
    while (pixels.size() < static_cast<size_t>(sw) * 2) {
      const uint32_t kind = rng() % 3;
      for (uint32_t n = 1 + rng() % (rng() % 3 ? 12 : 600); n > 0; --n)
        pixels.push_back(kind == 0   ? (1 + rng() % 254) << 24
                         : kind == 1 ? (rng() % 40) << 24 | (rng() & 0x0F0F0F)
                                     : 0xFF010000u | (rng() & 0xFFFF00));
    }
    pixels.resize(static_cast<size_t>(sw) * 2);
    MemoryImage src(&mHost);
    src.SetPixels(pixels.data(), sw, 2, true);
    const int left = static_cast<int>(rng() % static_cast<uint32_t>(sw / 4 + 1));
    const Rect from(left, 0, sw - left - static_cast<int>(rng() % static_cast<uint32_t>(sw / 4 + 1)), 2);
    for (int mode : {0, 1}) {
      auto dest = SurfaceImage(kW, 2, 0xFF000000);
      std::vector<uint32_t> expected(static_cast<size_t>(kW) * 2);
      for (uint32_t& p : expected) p = rng();
      SurfaceRows(dest->mSurface, expected, true);
      const int x = static_cast<int>(rng() % 16);
      dest->Blit(&src, x, 0, from, Color::White, mode);
      for (int y = 0; y < 2; ++y)
        for (int i = 0; i < from.mWidth; ++i) {
          uint32_t& d = expected[static_cast<size_t>(y) * kW + x + i];
          const uint32_t p = pixels[static_cast<size_t>(y) * sw + from.mX + i];
          d = mode ? ModelAdditive(d, p) : ModelOver(d, p);
        }
      std::vector<uint32_t> drawn(expected.size());
      SurfaceRows(dest->mSurface, drawn, false);
      for (size_t i = 0; i < drawn.size(); ++i)
        ASSERT_EQ(drawn[i], expected[i]) << "source width " << sw << " mode " << mode << " at " << i % kW << ","
                                         << i / kW;
    }
  }
}

TEST_F(DDImageLoopTest, FastStretchOntoADestinationWithoutSurfaceDrawsInSoftware) {
  ASSERT_EQ(Start(), 0);
  auto src = SurfaceImage(1, 1, 0xFF00FF00);
  auto dest = Image(2, 1, {0x80000000, 0xFF000000});
  dest->BlitStretched(src.get(), Rect(0, 0, 2, 1), Rect(0, 0, 1, 1), Rect(0, 0, 2, 1), Color::White, 0, true);
  EXPECT_EQ(dest->mSurface, nullptr);
  const uint32_t drawn = dest->GetArgbBits()[1];
  EXPECT_EQ(drawn & 0xFFFF00FFu, 0xFF000000u);
  EXPECT_GE((drawn >> 8) & 0xFF, 0xFEu);
}

TEST_F(DDImageLoopTest, RotationAtHalfAPixelBlendsNeighboursEvenly) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(40, 30, 0xFF000000);
  MemoryImage src(&mHost);
  std::vector<uint32_t> pixels(4 * 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) pixels[y * 4 + x] = x % 2 ? 0xFF000000 : 0xFF0000FF;
  src.SetPixels(pixels.data(), 4, 3, true);
  dest->BlitF(&src, 10.5f, 20.0f, Rect(0, 0, 4, 3), Rect(0, 0, 40, 30), Color::White, 0);
  // Row 20 starts at X0 = 10 with i0 = 1: pixel 11 samples u = 0x8000 between columns 0 and 1.
  const uint32_t p = SurfacePixel(dest->mSurface, 11, 20);
  EXPECT_GE(p & 0xFF, 0x7Eu);
  EXPECT_LE(p & 0xFF, 0x80u);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 10, 20), 0u);
}

TEST_F(DDImageLoopTest, RotationOfAClearSourceLeavesEveryChannelAndAdditiveClearsForeignBits) {
  ASSERT_EQ(Start(), 0);
  auto dest = SurfaceImage(20, 20, 0xFF000000);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) SetSurfacePixel(dest->mSurface, x, y, 0xAB405060);
  MemoryImage clear(&mHost);
  std::vector<uint32_t> none(36, 0x00FFFFFF);
  clear.SetPixels(none.data(), 6, 6, true);
  dest->BlitRotated(&clear, 5, 5, Rect(0, 0, 6, 6), Rect(0, 0, 20, 20), Color::White, 0, 0.3, 3, 3);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(SurfacePixel(dest->mSurface, x, y) & 0xFFFFFF, 0x405060u);
  MemoryImage solid(&mHost);
  std::vector<uint32_t> full(36, 0xFFFFFFFF);
  solid.SetPixels(full.data(), 6, 6, true);
  dest->BlitRotated(&solid, 5, 5, Rect(0, 0, 6, 6), Rect(0, 0, 20, 20), Color(255, 255, 255, 0), 1, 0.0, 0, 0);
  EXPECT_EQ(SurfacePixel(dest->mSurface, 7, 7), 0x00405060u);
}

TEST_F(DDImageLoopTest, The565LaneLoopWeighsTheDestinationInEighths) {
  // Alpha 157 at weight 65534 gives w = 156, so the destination keeps rest = 100 of 256.
  for (bool lanes : {true, false}) {
    ASSERT_EQ(Start(16), 0);
    auto dest = SurfaceImage(20, 30, 0xFFFFFFFF);
    DDInterface::sRgbOrder = lanes;
    MemoryImage src(&mHost);
    std::vector<uint32_t> dark(12, 0x9D000000);
    src.SetPixels(dark.data(), 4, 3, true);
    dest->BlitRotated(&src, 10, 20, Rect(0, 0, 4, 3), Rect(0, 0, 20, 30), Color::White, 0, 0.0, 0, 0);
    // Lanes: 31 x 96 / 256 = 11 and 63 x 96 / 256 = 23; plain: 31 x 100 / 256 = 12, 63 x 100 / 256 = 24.
    const uint32_t expected = lanes ? (11u << 11) | (23u << 5) | 11u : (12u << 11) | (24u << 5) | 12u;
    EXPECT_EQ(SurfacePixel(dest->mSurface, 11, 20), expected) << lanes;
    EXPECT_EQ(SurfacePixel(dest->mSurface, 10, 20), 0xFFFFu);
  }
}

}  // namespace
}  // namespace Velk::Testing
