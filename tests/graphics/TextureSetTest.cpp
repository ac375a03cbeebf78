#include "D3DTestKit.h"

namespace Velk::Testing {
namespace {

uint32_t Opaque(int x, int y) {
  return 0xFF000000u | static_cast<uint32_t>(x * 16) << 16 | static_cast<uint32_t>(y * 16);
}
uint32_t HalfClear(int x, int) { return x % 2 ? 0xFF102030u : 0u; }

std::pair<int, int> Size(int w, int h, bool remainder = false, int flags = 0) {
  ImageTextureSet::PieceSize(w, h, remainder, true, flags);
  return {w, h};
}

class TextureSetTest : public D3DTest {
 protected:
  ImageTextureSet* Prepare(MemoryImage* image) {
    EXPECT_TRUE(mD3D->PrepareImage(image));
    return image->mTextureData;
  }
};

TEST_F(TextureSetTest, PieceSizesFollowTheDeviceLimits) {
  D3DSettings::Get().maxTextureAspectRatio = 8;
  Start();
  EXPECT_EQ(Size(200, 300), std::make_pair(256, 256));
  EXPECT_EQ(Size(800, 600), std::make_pair(256, 64));
  EXPECT_EQ(Size(1000, 3, true), std::make_pair(1024, 128));  // power of two, then aspect 8
  EXPECT_EQ(Size(200, 300, false, ImageTextureSet::kPieces64), std::make_pair(64, 64));
  EXPECT_EQ(Size(200, 300, false, ImageTextureSet::kPowerOfTwoPieces), std::make_pair(256, 512));

  auto image = Image(800, 600, Opaque);
  ImageTextureSet* set = Prepare(image.get());
  ASSERT_EQ(set->mTexPiecesX, 4);
  ASSERT_EQ(set->mTexPiecesY, 10);
  EXPECT_EQ(set->mTexPieceWidth, 256);
  EXPECT_EQ(set->mTexPieceHeight, 64);
  auto piece = [&](int col, int row) {
    const ImageTextureSet::Piece& p = set->mTextures[static_cast<size_t>(row * 4 + col)];
    return std::make_pair(p.mWidth, p.mHeight);
  };
  EXPECT_EQ(piece(0, 0), std::make_pair(256, 64));
  EXPECT_EQ(piece(3, 0), std::make_pair(32, 64));
  EXPECT_EQ(piece(0, 9), std::make_pair(256, 32));
  EXPECT_EQ(piece(3, 9), std::make_pair(32, 32));
  EXPECT_FLOAT_EQ(set->mMaxTotalU, 3.125f);
  EXPECT_FLOAT_EQ(set->mMaxTotalV, 9.375f);
}

TEST_F(TextureSetTest, TinyImagesAndSmallDevices) {
  D3DSettings::Get().minTextureWidth = D3DSettings::Get().minTextureHeight = 8;
  Start();
  auto dot = Image(1, 1, Opaque);
  ImageTextureSet* set = Prepare(dot.get());
  ASSERT_EQ(set->mTextures.size(), 1u);
  EXPECT_EQ(set->mTextures[0].mWidth, 8);
  EXPECT_EQ(set->mTextures[0].mHeight, 8);
  mDisplay.reset();

  D3DSettings::Use64Only();
  Start();
  auto image = Image(100, 70, Opaque);
  set = Prepare(image.get());
  EXPECT_EQ(set->mTextures.size(), 4u);
  for (const ImageTextureSet::Piece& p : set->mTextures)
    EXPECT_EQ(std::make_pair(p.mWidth, p.mHeight), std::make_pair(64, 64));
}

TEST_F(TextureSetTest, FormatFollowsTheImageFlagsAndTheDevice) {
  Start();
  auto opaque = Image(4, 4, Opaque);
  EXPECT_EQ(Prepare(opaque.get())->mTextureFormat, ImageTextureSet::kA8R8G8B8);  // default flags forbid R5G6B5
  auto plain = Image(4, 4, Opaque);
  plain->mTextureFlags = 0;
  EXPECT_EQ(Prepare(plain.get())->mTextureFormat, ImageTextureSet::kR5G6B5);
  auto holes = Image(4, 4, HalfClear);
  holes->mTextureFlags = ImageTextureSet::kPreferA4R4G4B4;
  EXPECT_EQ(Prepare(holes.get())->mTextureFormat, ImageTextureSet::kA4R4G4B4);
  auto few = Image(4, 4, HalfClear);
  ASSERT_TRUE(few->ReduceToPalette());
  EXPECT_EQ(Prepare(few.get())->mTextureFormat, ImageTextureSet::kPalettized);
  mDisplay.reset();

  D3DSettings::UseNoA8R8G8B8();
  Start();
  auto soft = Image(4, 4, HalfClear);
  EXPECT_EQ(Prepare(soft.get())->mTextureFormat, ImageTextureSet::kA4R4G4B4);
}

TEST_F(TextureSetTest, ShortPiecesRepeatTheirLastTexelAndRow) {
  Start();
  auto image = Image(3, 2, Opaque);
  IDirectDrawSurface7* texture =
      ImageTextureSet::CreateTexture(mD3D->mD3DDevice, 4, 4, ImageTextureSet::kA8R8G8B8, mD3D->mDD);
  ASSERT_NE(texture, nullptr);
  ImageTextureSet::FillTexture(texture, image.get(), 0, 0, 4, 4, ImageTextureSet::kA8R8G8B8);
  DDSURFACEDESC2 d;
  ASSERT_EQ(texture->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  auto texel = [&](int x, int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch)[x];
  };
  EXPECT_EQ(texel(2, 1), Opaque(2, 1));
  EXPECT_EQ(texel(3, 1), Opaque(2, 1));
  EXPECT_EQ(texel(3, 0), Opaque(2, 0));
  EXPECT_EQ(texel(1, 2), Opaque(1, 1));
  EXPECT_EQ(texel(3, 2), Opaque(2, 1));
  EXPECT_EQ(texel(0, 3), 0u);
  texture->Unlock(nullptr);
  texture->Release();
}

TEST_F(TextureSetTest, ChangesRefillTheTexturesAndNewSizesRebuildThem) {
  Start();
  auto image = Image(8, 8, Opaque);
  ImageTextureSet* set = Prepare(image.get());
  IDirectDrawSurface7* first = set->mTextures[0].mTexture;
  image->GetArgbBits()[0] = 0xFF00FF00u;
  image->OnBitsChanged();
  Prepare(image.get());
  EXPECT_EQ(set->mTextures[0].mTexture, first);
  EXPECT_EQ(set->mBitsChangedCount, image->mBitsChangedCount);
  std::vector<uint32_t> back(64);
  ASSERT_TRUE(mD3D->ReadBackImage(image.get(), back.data()));
  EXPECT_EQ(back[0], 0xFF00FF00u);

  image->mBitsChangedCount += 1;  // changed since the last transfer: the textures are stale
  EXPECT_FALSE(mD3D->ReadBackImage(image.get(), back.data()));

  std::vector<uint32_t> bigger(16 * 8, 0xFF123456u);
  image->SetPixels(bigger.data(), 16, 8, true);
  Prepare(image.get());
  EXPECT_EQ(set->mWidth, 16);
  EXPECT_EQ(set->mTextures[0].mWidth, 16);
}

TEST_F(TextureSetTest, ReadBackRestoresEachFormat) {
  Start();
  struct Case {
    uint32_t flags;
    bool palette;
    uint32_t pixel;
    uint32_t expected;
  };
  const Case cases[] = {
      {8, false, 0x80123456u, 0x80123456u},
      // Alpha survives as nibble x 17; colour nibbles come back x 16.
      {4, false, 0x80F0A050u, 0x88F0A050u},
      {0, false, 0xFF0C0804u, 0xFF080800u},  // 5-6-5 drops the low bits
      {8, true, 0x40ABCDEFu, 0x40ABCDEFu},
  };
  for (const Case& c : cases) {
    std::vector<uint32_t> bits(6, c.pixel);
    MemoryImage image(&mHost);
    image.SetPixels(bits.data(), 3, 2, true);
    image.mTextureFlags = c.flags;
    if (c.palette) {
      ASSERT_TRUE(image.ReduceToPalette());
    }
    Prepare(&image);
    std::vector<uint32_t> back(6, 0);
    ASSERT_TRUE(mD3D->ReadBackImage(&image, back.data()));
    EXPECT_EQ(back[5], c.expected) << std::hex << c.pixel;
  }
}

}  // namespace
}  // namespace Velk::Testing
