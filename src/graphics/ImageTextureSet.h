#pragma once
// A memory image held as a grid of managed textures (the pieces) in one texture format, sized within
// the device's limits. Refilled when the image's change count moves, rebuilt when its size, format or
// texture flags change, and readable back into ARGB pixels.
#include <cstdint>
#include <vector>

#include "platform/d3d/D3D.h"

namespace Velk {

class MemoryImage;

class ImageTextureSet {
 public:
  // Texture formats, one bit each in the renderer's format mask.
  enum Format { kA8R8G8B8 = 1, kA4R4G4B4 = 2, kR5G6B5 = 4, kPalettized = 8 };
  // Texture-flag bits of the image.
  enum Flags { kPowerOfTwoPieces = 1, kPieces64 = 2, kPreferA4R4G4B4 = 4, kNoR5G6B5 = 8 };

  struct Piece {
    IDirectDrawSurface7* mTexture = nullptr;
    int mWidth = 0;
    int mHeight = 0;
  };

  std::vector<Piece> mTextures;  // row by row
  IDirectDrawPalette* mPalette = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  int mTexPiecesX = 0;
  int mTexPiecesY = 0;
  int mTexPieceWidth = 64;
  int mTexPieceHeight = 64;
  int mBitsChangedCount = 0;
  uint32_t mTexMemSize = 0;
  float mMaxTotalU = 0;
  float mMaxTotalV = 0;
  int mTextureFormat = 0;  // 0: unusable
  uint32_t mImageFlags = 0;

  ImageTextureSet() = default;
  ~ImageTextureSet();
  ImageTextureSet(const ImageTextureSet&) = delete;
  ImageTextureSet& operator=(const ImageTextureSet&) = delete;

  void ReleaseTextures();
  void Ensure(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* directDraw);
  void Build(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* directDraw);
  // The piece holding image point (x, y); w and h (wanted on entry) are cut to what it holds there.
  IDirectDrawSurface7* GetPiece(int x, int y, int& w, int& h, float& uMin, float& vMin, float& uMax, float& vMax);
  // The pixels back from the textures into bits (image width x height words).
  bool ReadBack(MemoryImage* image, uint32_t* bits);

  static void PieceSize(int& w, int& h, bool remainder, bool pieces, int flags);
  static DDPIXELFORMAT PixelFormatOf(int format);
  static IDirectDrawSurface7* CreateTexture(IDirect3DDevice7* device, int w, int h, int format,
                                            IDirectDraw7* directDraw);
  static void FillTexture(IDirectDrawSurface7* texture, MemoryImage* image, int x, int y, int w, int h, int format);
  // A locked 32- or 16-bit surface into opaque ARGB words (width x height of the surface, at most).
  static void CopySurface32ToArgb(const DDSURFACEDESC2& locked, uint32_t* out, int width, int height);
  static void CopySurface16ToArgb(const DDSURFACEDESC2& locked, uint32_t* out, int width, int height);

 private:
  int ChooseFormat(MemoryImage* image, IDirectDraw7* directDraw, IDirectDrawPalette*& palette);
  void LayOut(int width, int height, int flags);
};

}  // namespace Velk
