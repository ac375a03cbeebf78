#include <gtest/gtest.h>

#include <vector>

#include "TestHost.h"

using namespace Velk;
using namespace Velk::Testing;

TEST(MemoryImageStore, NewImageReadsZeroedAndRegistrationFollowsLifetime) {
  TestHost host;
  {
    MemoryImage image(&host);
    image.mWidth = 3;
    image.mHeight = 2;
    EXPECT_EQ(nullptr, image.mBits);
    const uint32_t* bits = image.GetArgbBits();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(0u, bits[i]);
    EXPECT_EQ(0x4BEEFADEu, bits[6]);
    MemoryImage copy(image);
    EXPECT_EQ(2u, host.mLive.size());
    EXPECT_EQ(0x4BEEFADEu, copy.mBits[6]);
  }
  EXPECT_TRUE(host.mLive.empty());
}

TEST(MemoryImageStore, ScanAlphaFlagsAndForcing) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 2, 1, {0xFF000000, 0xFFFFFFFF});
  EXPECT_FALSE(image.mHasTrans);
  EXPECT_FALSE(image.mHasAlpha);

  Fill(image, 2, 1, {0x00000000, 0xFFFFFFFF});
  EXPECT_TRUE(image.mHasTrans);
  EXPECT_FALSE(image.mHasAlpha);

  Fill(image, 2, 1, {0x80000000, 0xFFFFFFFF});
  EXPECT_FALSE(image.mHasTrans);
  EXPECT_TRUE(image.mHasAlpha);

  // An image that has never had pixels counts as transparent.
  MemoryImage empty(&host);
  empty.mBitsChanged = true;
  empty.ScanAlpha();
  EXPECT_TRUE(empty.mHasTrans);

  image.ForceAlphaFlags(false, false);
  image.FillRect(Rect(0, 0, 2, 1), Color(0, 0, 0, 0x40), 0);
  image.ScanAlpha();
  EXPECT_FALSE(image.mHasAlpha);
  EXPECT_FALSE(image.mHasTrans);
}

TEST(MemoryImageStore, AlphaRunBytes) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 6, 2,
       {0x00000000, 0x00FFFFFF, 0xFF000000, 0x80000000, 0x80123456, 0x80000000,  //
        0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000});
  const uint8_t* runs = image.BuildAlphaRuns();
  EXPECT_EQ((std::vector<uint8_t>{2, 1, 1, 3, 2, 1, 6, 5, 4, 3, 2, 1}), std::vector<uint8_t>(runs, runs + 12));

  std::vector<uint32_t> row(300, 0xFF000000);
  image.SetPixels(row.data(), 300, 1, true);
  runs = image.BuildAlphaRuns();
  EXPECT_EQ(255, runs[0]);
  EXPECT_EQ(255, runs[45]);
  EXPECT_EQ(254, runs[46]);
  EXPECT_EQ(3, runs[297]);
  EXPECT_EQ(1, runs[299]);

  // A change drops the table.
  image.FillRect(Rect(0, 0, 1, 1), Color(0, 0, 0, 0), 0);
  EXPECT_EQ(nullptr, image.mRLAlphaData);
}

TEST(MemoryImageStore, DisplayFormatIsPremultipliedAndAdditiveRunsFollowColour) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 3, 1, {0x80FF0000, 0xFF000000, 0x00000001});
  const uint32_t* native = image.BuildDisplayFormatData(&host.mDisplay);
  // 255 x 129 / 256 = 128.5, truncated.
  EXPECT_EQ(0x80800000u, native[0]);
  EXPECT_EQ(0xFF000000u, native[1]);
  // Blue 1 x 1 / 256 is 0 once premultiplied, so the transparent pixel adds nothing.
  EXPECT_EQ(0x00000000u, native[2]);
  const uint8_t* runs = image.BuildAdditiveRuns(&host.mDisplay);
  EXPECT_EQ((std::vector<uint8_t>{1, 2, 1}), std::vector<uint8_t>(runs, runs + 3));
}

TEST(MemoryImageStore, PaletteOfExactly256Colours) {
  TestHost host;
  MemoryImage image(&host);
  std::vector<uint32_t> px(257);
  for (uint32_t i = 0; i < 257; ++i) px[i] = 0xFF000000u | (i * 0x10101u);
  image.SetPixels(px.data(), 256, 1, true);
  ASSERT_TRUE(image.ReduceToPalette());
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_TRUE(image.mWantPal);
  EXPECT_EQ(px[255], image.mColorTable[image.mColorIndices[255]]);

  image.SetPixels(px.data(), 257, 1, true);
  EXPECT_FALSE(image.ReduceToPalette());
  EXPECT_EQ(nullptr, image.mColorTable);
  ASSERT_NE(nullptr, image.mBits);
  EXPECT_EQ(px, std::vector<uint32_t>(image.mBits.get(), image.mBits.get() + 257));
}

TEST(MemoryImageStore, PaletteOrderUnusedEntriesAndScan) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 4, 1, {0xFF0000FF, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF});
  ASSERT_TRUE(image.ReduceToPalette());
  EXPECT_EQ(3, image.mNumColors);
  EXPECT_EQ((std::vector<uint8_t>{0, 1, 0, 2}),
            std::vector<uint8_t>(image.mColorIndices.get(), image.mColorIndices.get() + 4));
  EXPECT_EQ(0x80FFFFFFu, image.mColorTable[2]);
  // Unused entries repeat entry 0, and scanning looks at the used ones.
  for (int i = 3; i < 256; ++i) ASSERT_EQ(0xFF0000FFu, image.mColorTable[i]);
  image.mBitsChanged = true;
  image.ScanAlpha();
  EXPECT_TRUE(image.mHasAlpha);
  EXPECT_FALSE(image.mHasTrans);

  // A copy of a palettized image is palettized only.
  MemoryImage copy(image);
  EXPECT_EQ(nullptr, copy.mBits);
  ASSERT_NE(nullptr, copy.mColorTable);
  EXPECT_EQ(0x80FFFFFFu, Px(copy, 3, 0));

  // Reading the bits back ends the palette storage.
  EXPECT_EQ(0xFF00FF00u, Px(image, 1, 0));
  EXPECT_EQ(nullptr, image.mColorTable);
  EXPECT_TRUE(image.mWantPal);
}

// Taken pixels are kept where they are: the marker goes into their spare word, a colour table from
// before goes, and the alpha flags follow the new pixels.
TEST(MemoryImageStore, TakenPixelsStayInPlaceAndEndWithTheMarker) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 2, 2, {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFF000000});
  ASSERT_TRUE(image.ReduceToPalette());
  auto pixels = std::make_unique<uint32_t[]>(7);
  for (uint32_t i = 0; i < 6; ++i) pixels[i] = 0xFF000000u | i;
  pixels[4] = 0x80123456u;
  const uint32_t* given = pixels.get();
  image.TakePixels(std::move(pixels), 3, 2, true);
  EXPECT_EQ(given, image.mBits.get());
  EXPECT_EQ(0x4BEEFADEu, image.mBits[6]);
  EXPECT_EQ(nullptr, image.mColorTable);
  EXPECT_EQ(nullptr, image.mColorIndices);
  EXPECT_TRUE(image.mHasAlpha);
  EXPECT_FALSE(image.mHasTrans);
  EXPECT_EQ(0x80123456u, Px(image, 1, 1));
  EXPECT_EQ(0xFF000005u, Px(image, 2, 1));
}

TEST(MemoryImageStore, CreateBlankDropsTheColourTable) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 2, 2, {0xFF000000, 0xFF000000, 0xFFFFFFFF, 0xFF000000});
  ASSERT_TRUE(image.ReduceToPalette());
  image.CreateBlank(5, 4);
  EXPECT_EQ(nullptr, image.mColorTable);
  EXPECT_EQ(nullptr, image.mColorIndices);
  EXPECT_TRUE(image.mHasTrans);
  EXPECT_TRUE(image.mHasAlpha);
  const uint32_t* bits = image.GetArgbBits();
  for (int i = 0; i < 20; ++i) ASSERT_EQ(0u, bits[i]);
  EXPECT_EQ(0x4BEEFADEu, bits[20]);
}

TEST(MemoryImageStore, PurgeWithoutThreeDKeepsOpaquePixels) {
  TestHost host;
  MemoryImage image(&host);
  Fill(image, 2, 1, {0xFF123456, 0xFFFEDCBA});
  image.DropBits();
  EXPECT_TRUE(image.mPurgeBits);
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_EQ(0xFF123456u, Px(image, 0, 0));
  EXPECT_EQ(0xFFFEDCBAu, Px(image, 1, 0));

  // Without a display the pixels have nowhere else to live and stay.
  host.mHasDisplay = false;
  image.FillRect(Rect(0, 0, 1, 1), Color::Black, 0);
  image.DropBits();
  EXPECT_NE(nullptr, image.mBits);
}

// Premultiplied, 0x80FF8040 would read back as 0x80FE7F3F and a clear 0x00FFFFFF as 0; on a 5-6-5
// display even an opaque 0xFF123456 loses its low bits. Such pictures keep their pixels.
TEST(MemoryImageStore, PurgeWithoutThreeDKeepsPixelsTheDisplayCannotGiveBack) {
  TestHost host;
  for (uint32_t pixel : {0x80FF8040u, 0x00FFFFFFu}) {
    MemoryImage image(&host);
    Fill(image, 2, 1, {0xFF123456, pixel});
    image.DropBits();
    ASSERT_NE(nullptr, image.mBits) << std::hex << pixel;
    EXPECT_EQ(pixel, Px(image, 1, 0));
    EXPECT_EQ(0xFF123456u, Px(image, 0, 0));
  }

  host.mDisplay.mBitsPerPixel = 16;
  host.mDisplay.mRedMask = 0xF800;
  host.mDisplay.mGreenMask = 0x07E0;
  host.mDisplay.mBlueMask = 0x001F;
  host.mDisplay.mRedBits = host.mDisplay.mBlueBits = 5;
  host.mDisplay.mGreenBits = 6;
  host.mDisplay.mRedShift = 11;
  host.mDisplay.mGreenShift = 5;
  MemoryImage image(&host);
  Fill(image, 2, 1, {0xFF123456, 0xFF000000});
  image.DropBits();
  ASSERT_NE(nullptr, image.mBits);
  EXPECT_EQ(0xFF123456u, Px(image, 0, 0));
  // Pixels a 5-6-5 display holds whole do go.
  Fill(image, 2, 1, {0xFF000000, 0xFFF8FCF8});
  image.DropBits();
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_EQ(0xFFF8FCF8u, Px(image, 1, 0));
}

TEST(MemoryImageStore, PurgeInThreeDReadsTexturesBack) {
  TestHost host;
  host.m3D = true;
  MemoryImage image(&host);
  Fill(image, 2, 2, {0xFF000000, 0xFF112233, 0xFF112233, 0xFF112233});
  image.DropBits();
  EXPECT_NE(nullptr, image.mBits);  // no textures yet: nothing else holds the pixels

  // Textures that would give other pixels back (0xFF112233 everywhere) do not stand for these.
  ImageTextureSet* textures = reinterpret_cast<ImageTextureSet*>(&host);
  image.mTextureData = textures;
  image.DropBits();
  ASSERT_NE(nullptr, image.mBits);
  EXPECT_EQ(0xFF000000u, Px(image, 0, 0));

  Fill(image, 2, 2, {0xFF112233, 0xFF112233, 0xFF112233, 0xFF112233});
  image.DropBits();
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_EQ(0xFF112233u, Px(image, 1, 1));

  image.mBits.reset();
  host.mReadBackOk = false;
  EXPECT_EQ(0u, Px(image, 1, 1));

  image.FreeAllCaches();
  EXPECT_EQ((std::vector<MemoryImage*>{&image}), host.mReleased);
  image.mTextureData = nullptr;
}

namespace {

// 64 x 4 of flat art: clear, translucent and opaque runs, one translucent pixel the premultiplied
// display copy cannot give back (0x80FF8040 would read as 0x80FE7F3F).
std::vector<uint32_t> FlatPicture() {
  std::vector<uint32_t> pixels(64 * 4, 0x00FFFFFFu);
  for (size_t i = 64; i < 128; ++i) pixels[i] = 0xFF336699u;
  for (size_t i = 128; i < 160; ++i) pixels[i] = 0x80FF8040u;
  pixels[200] = 0xFF000001u;
  return pixels;
}

std::vector<uint32_t> Bits(MemoryImage& image) {
  const uint32_t* bits = image.GetArgbBits();
  return std::vector<uint32_t>(bits, bits + image.mWidth * image.mHeight);
}

}  // namespace

TEST(MemoryImageStore, PackedPixelsReadBackAndGoWhenThePixelsChange) {
  TestHost host;
  const std::vector<uint32_t> pixels = FlatPicture();
  MemoryImage image(&host);
  image.SetPixels(pixels.data(), 64, 4, true);
  ASSERT_TRUE(image.PackBits());
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_TRUE(image.mHasTrans);
  EXPECT_TRUE(image.mHasAlpha);

  MemoryImage copy(image);
  EXPECT_EQ(pixels, Bits(copy));
  EXPECT_EQ(nullptr, image.mBits);  // the copy leaves the source packed
  EXPECT_EQ(pixels, Bits(image));
  EXPECT_EQ(0x4BEEFADEu, image.mBits[64 * 4]);
  ASSERT_NE(nullptr, image.mPackedBits);  // still stands for the pixels once they are out

  // A change makes the packed copy stale: it goes, and the changed pixels are the ones kept.
  image.FillRect(Rect(0, 0, 1, 1), Color(1, 2, 3), 0);
  EXPECT_EQ(nullptr, image.mPackedBits);
  EXPECT_EQ(0xFF010203u, Px(image, 0, 0));

  // A picture whose packed form would not halve it keeps its pixels.
  Fill(image, 3, 1, {1, 2, 3});
  EXPECT_FALSE(image.PackBits());
  EXPECT_NE(nullptr, image.mBits);
  // So does one that goes to a colour table instead.
  image.SetPixels(pixels.data(), 64, 4, true);
  ASSERT_TRUE(image.PackBits());
  ASSERT_TRUE(image.ReduceToPalette());
  EXPECT_EQ(nullptr, image.mPackedBits);
  EXPECT_EQ(pixels, Bits(image));
}

// The memory road draws from the display copy: made from the packed pixels, it is the copy the pixels
// themselves give, and the unpacked pixels go again; freeing it leaves the packed pixels alone.
TEST(MemoryImageStore, DisplayCopyOfPackedPixelsLeavesThemPacked) {
  TestHost host;
  const std::vector<uint32_t> pixels = FlatPicture();
  MemoryImage whole(&host);
  whole.SetPixels(pixels.data(), 64, 4, true);
  MemoryImage packed(&host);
  packed.SetPixels(pixels.data(), 64, 4, true);
  ASSERT_TRUE(packed.PackBits());
  const uint32_t* expected = whole.BuildDisplayFormatData(&host.mDisplay);
  const uint32_t* native = packed.BuildDisplayFormatData(&host.mDisplay);
  ASSERT_NE(nullptr, native);
  EXPECT_EQ(std::vector<uint32_t>(expected, expected + 256), std::vector<uint32_t>(native, native + 256));
  EXPECT_EQ(nullptr, packed.mBits);
  EXPECT_EQ(0x80804020u, native[128]);  // 255, 128, 64 times 129 / 256, truncated

  packed.FreeDisplayFormatData();
  EXPECT_EQ(nullptr, packed.mBits);
  EXPECT_EQ(nullptr, packed.mNativeAlphaData);
  EXPECT_EQ(pixels, Bits(packed));

  // Pixels already out when the copy is made stay out: whoever asked for them may hold them.
  packed.mBits.reset();
  const uint32_t* out = packed.GetArgbBits();
  packed.FreeDisplayFormatData();
  packed.BuildDisplayFormatData(&host.mDisplay);
  EXPECT_EQ(out, packed.mBits.get());
}

// Asked to go, pixels nothing else holds exactly are packed: on the memory road where the display copy
// cannot give them back, on the 3-D road until the textures exist and where the textures would give
// other colours back; textures that hold them let both go.
TEST(MemoryImageStore, PurgedPixelsNothingElseHoldsArePacked) {
  TestHost host;
  const std::vector<uint32_t> pixels = FlatPicture();
  MemoryImage image(&host);
  image.SetPixels(pixels.data(), 64, 4, true);
  image.DropBits();
  EXPECT_EQ(nullptr, image.mBits);
  ASSERT_NE(nullptr, image.mPackedBits);
  ASSERT_NE(nullptr, image.mNativeAlphaData);
  EXPECT_EQ(pixels, Bits(image));

  host.m3D = true;
  image.mNativeAlphaData.reset();
  image.DropBits();
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_EQ(pixels, Bits(image));

  // Textures that read back as 0xFF112233 everywhere do not hold these pixels.
  image.mTextureData = reinterpret_cast<ImageTextureSet*>(&host);
  image.DropBits();
  EXPECT_EQ(nullptr, image.mBits);
  ASSERT_NE(nullptr, image.mPackedBits);
  image.DropBits();  // packed already: nothing to compare the textures with, so the packed pixels stay
  EXPECT_EQ(pixels, Bits(image));

  std::vector<uint32_t> flat(64 * 4, 0xFF112233u);
  image.SetPixels(flat.data(), 64, 4, true);
  ASSERT_TRUE(image.PackBits());
  image.GetArgbBits();
  image.DropBits();
  EXPECT_EQ(nullptr, image.mBits);
  EXPECT_EQ(nullptr, image.mPackedBits);
  EXPECT_EQ(flat, Bits(image));
  image.mTextureData = nullptr;
}
