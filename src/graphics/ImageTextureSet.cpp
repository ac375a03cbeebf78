#include "graphics/ImageTextureSet.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "graphics/D3DInterface.h"
#include "graphics/MemoryImage.h"
#include "platform/ddraw/DDrawPixelFormat.h"

namespace Velk {

namespace {

int NextPowerOfTwo(int s) {
  int p = 1;
  while (p < s) p <<= 1;
  return p;
}

bool IsPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

// Piece sides for full pieces: the power of two that wastes at most 64 texels, or one that divides the
// size into pieces whose remainder is small or a power of two itself.
const std::array<int, 1024>& SideTable() {
  static const std::array<int, 1024> table = [] {
    std::array<int, 1024> t{};
    for (int s = 0; s < 1024; ++s) {
      int p = NextPowerOfTwo(s);
      if (p - s > 64) {
        p /= 2;
        while (s % p >= 64 && !IsPowerOfTwo(s % p)) p /= 2;
      }
      t[static_cast<size_t>(s)] = p;
    }
    return t;
  }();
  return table;
}

int BytesPerTexel(int format) {
  return format == ImageTextureSet::kA8R8G8B8 ? 4 : format == ImageTextureSet::kPalettized ? 1 : 2;
}

uint32_t ToTexel(uint32_t p, int format) {
  switch (format) {
    case ImageTextureSet::kA4R4G4B4:
      return ((p >> 16) & 0xF000) | ((p >> 12) & 0x0F00) | ((p >> 8) & 0x00F0) | ((p >> 4) & 0x000F);
    case ImageTextureSet::kR5G6B5:
      return ((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F);
    default:
      return p;
  }
}

uint32_t FromTexel(uint32_t t, int format, const PALETTEENTRY* palette) {
  switch (format) {
    case ImageTextureSet::kA4R4G4B4:
      // Alpha is kept: these textures may be the image's only copy.
      return ((t >> 12) & 0xF) * 17u << 24 | ((t >> 8) & 0xF) << 20 | ((t >> 4) & 0xF) << 12 | (t & 0xF) << 4;
    case ImageTextureSet::kR5G6B5:
      return 0xFF000000u | ((t >> 11) & 0x1F) << 19 | ((t >> 5) & 0x3F) << 10 | (t & 0x1F) << 3;
    case ImageTextureSet::kPalettized: {
      const PALETTEENTRY& e = palette[t & 0xFF];
      return uint32_t{e.peFlags} << 24 | uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
    }
    default:
      return t;
  }
}

void WriteTexel(uint8_t* at, uint32_t texel, int bytes) {
  if (bytes == 4) {
    std::memcpy(at, &texel, 4);
  } else if (bytes == 2) {
    const uint16_t v = static_cast<uint16_t>(texel);
    std::memcpy(at, &v, 2);
  } else {
    *at = static_cast<uint8_t>(texel);
  }
}

uint32_t ReadTexel(const uint8_t* at, int bytes) {
  uint32_t v = 0;
  std::memcpy(&v, at, static_cast<size_t>(bytes));
  return v;
}

// The channel's mask moved so that its highest bit lands on bit `top`.
uint32_t Place(uint32_t pixel, DWORD mask, int top) {
  if (!mask) return 0;
  const int high = 31 - __builtin_clz(mask);
  const uint32_t v = pixel & mask;
  return high > top ? v >> (high - top) : v << (top - high);
}

void CopySurfaceToArgb(const DDSURFACEDESC2& locked, uint32_t* out, int width, int height, int bytes) {
  const DDPIXELFORMAT& f = locked.ddpfPixelFormat;
  const int w = std::min(width, static_cast<int>(locked.dwWidth));
  const int h = std::min(height, static_cast<int>(locked.dwHeight));
  for (int y = 0; y < h; ++y) {
    const auto* row = static_cast<const uint8_t*>(locked.lpSurface) + static_cast<size_t>(y) * locked.lPitch;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = ReadTexel(row + static_cast<size_t>(x) * bytes, bytes);
      out[static_cast<size_t>(y) * width + x] =
          0xFF000000u | Place(p, f.dwRBitMask, 23) | Place(p, f.dwGBitMask, 15) | Place(p, f.dwBBitMask, 7);
    }
  }
}

}  // namespace

ImageTextureSet::~ImageTextureSet() { ReleaseTextures(); }

void ImageTextureSet::ReleaseTextures() {
  for (Piece& piece : mTextures)
    if (piece.mTexture) piece.mTexture->Release();
  mTextures.clear();
  if (mPalette) mPalette->Release();
  mPalette = nullptr;
  mTexMemSize = 0;
}

DDPIXELFORMAT ImageTextureSet::PixelFormatOf(int format) {
  switch (format) {
    case kA8R8G8B8:
      return RgbPixelFormat(32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF);
    case kA4R4G4B4:
      return RgbPixelFormat(16, 0xF000, 0x0F00, 0x00F0, 0x000F);
    case kR5G6B5:
      return RgbPixelFormat(16, 0, 0xF800, 0x07E0, 0x001F);
    default:
      return Pal8PixelFormat();
  }
}

void ImageTextureSet::PieceSize(int& w, int& h, bool remainder, bool pieces, int flags) {
  if (flags & kPieces64) {
    w = h = 64;
    return;
  }
  const int maxW = D3DInterface::sMaxTextureWidth;
  const int maxH = D3DInterface::sMaxTextureHeight;
  if (pieces) {
    const bool table = !remainder && !(flags & kPowerOfTwoPieces);
    auto side = [&](int s, int max) {
      if (s >= max) return max;
      return table ? SideTable()[static_cast<size_t>(std::clamp(s, 0, 1023))] : NextPowerOfTwo(s);
    };
    w = side(w, maxW);
    h = side(h, maxH);
  }
  w = std::max(w, D3DInterface::sMinTextureWidth);
  h = std::max(h, D3DInterface::sMinTextureHeight);
  const int64_t aspect = D3DInterface::sMaxTextureAspectRatio;
  if (h < w) {
    while (w > aspect * h) h *= 2;
  } else if (w < h) {
    while (h > aspect * w) w *= 2;
  }
}

void ImageTextureSet::LayOut(int width, int height, int flags) {
  int pw = width, ph = height;
  PieceSize(pw, ph, false, true, flags);
  int rw = pw, rh1 = ph;
  if (width % pw > 0) {
    rw = width % pw;
    PieceSize(rw, rh1, true, true, flags);
  }
  int rw2 = pw, rh = ph;
  if (height % ph > 0) {
    rh = height % ph;
    PieceSize(rw2, rh, true, true, flags);
  }
  int cw = rw, ch = rh;
  PieceSize(cw, ch, true, true, flags);
  mTexPieceWidth = pw;
  mTexPieceHeight = ph;
  mTexPiecesX = (width + pw - 1) / pw;
  mTexPiecesY = (height + ph - 1) / ph;
  mTextures.assign(static_cast<size_t>(mTexPiecesX) * mTexPiecesY, Piece{nullptr, pw, ph});
  for (int row = 0; row < mTexPiecesY; ++row) {
    for (int col = 0; col < mTexPiecesX; ++col) {
      Piece& p = mTextures[static_cast<size_t>(row * mTexPiecesX + col)];
      const bool lastCol = col == mTexPiecesX - 1 && width % pw > 0;
      const bool lastRow = row == mTexPiecesY - 1 && height % ph > 0;
      if (lastCol && lastRow) {
        p.mWidth = cw;
        p.mHeight = ch;
      } else if (lastCol) {
        p.mWidth = rw;
        p.mHeight = rh1;
      } else if (lastRow) {
        p.mWidth = rw2;
        p.mHeight = rh;
      }
    }
  }
  mMaxTotalU = static_cast<float>(width) / static_cast<float>(pw);
  mMaxTotalV = static_cast<float>(height) / static_cast<float>(ph);
}

void ImageTextureSet::Ensure(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* directDraw) {
  if (mTextureFormat != 0 && image->mWidth == mWidth && image->mHeight == mHeight &&
      image->mBitsChangedCount == mBitsChangedCount && image->mTextureFlags == mImageFlags)
    return;
  Build(image, device, directDraw);
}

int ImageTextureSet::ChooseFormat(MemoryImage* image, IDirectDraw7* directDraw, IDirectDrawPalette*& palette) {
  DWORD& offered = D3DInterface::sSupportedTextureFormats;
  int format = kA8R8G8B8;
  if (!image->mHasTrans && !image->mHasAlpha && (offered & kR5G6B5) && !(image->mTextureFlags & kNoR5G6B5))
    format = kR5G6B5;
  if (image->mColorIndices && image->mColorTable && (offered & kPalettized)) {
    PALETTEENTRY entries[256];
    for (int i = 0; i < 256; ++i) {
      const uint32_t c = image->mColorTable[static_cast<size_t>(i)];
      entries[i] = PALETTEENTRY{static_cast<BYTE>(c >> 16), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c),
                                static_cast<BYTE>(c >> 24)};
    }
    if (directDraw && SUCCEEDED(directDraw->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA, entries,
                                                          &palette, nullptr))) {
      format = kPalettized;
    } else {
      offered &= ~static_cast<DWORD>(kPalettized);
    }
  }
  if (format == kA8R8G8B8 &&
      (((image->mTextureFlags & kPreferA4R4G4B4) && (offered & kA4R4G4B4)) || !(offered & kA8R8G8B8)))
    format = kA4R4G4B4;
  return format;
}

void ImageTextureSet::Build(MemoryImage* image, IDirect3DDevice7* device, IDirectDraw7* directDraw) {
  if (!image->mBits && !image->mColorIndices) image->GetArgbBits();
  image->FreeSoftwareCaches();
  image->ScanAlpha();
  IDirectDrawPalette* palette = nullptr;
  const int format = ChooseFormat(image, directDraw, palette);
  if (image->mWidth != mWidth || image->mHeight != mHeight || format != mTextureFormat ||
      image->mTextureFlags != mImageFlags || mTextures.empty()) {
    ReleaseTextures();
    mImageFlags = image->mTextureFlags;
    LayOut(image->mWidth, image->mHeight, static_cast<int>(mImageFlags));
  }
  if (palette) {
    if (mPalette)
      mPalette->Release();
    else
      mTexMemSize += 1024;
    mPalette = palette;
  }
  mTextureFormat = format;
  for (int row = 0; row < mTexPiecesY; ++row) {
    for (int col = 0; col < mTexPiecesX; ++col) {
      Piece& p = mTextures[static_cast<size_t>(row * mTexPiecesX + col)];
      if (!p.mTexture) {
        p.mTexture = CreateTexture(device, p.mWidth, p.mHeight, format, directDraw);
        if (!p.mTexture) {
          mTextureFormat = 0;
          return;
        }
        mTexMemSize += static_cast<uint32_t>(p.mWidth * p.mHeight * BytesPerTexel(format));
      }
      if (mPalette) p.mTexture->SetPalette(mPalette);
      FillTexture(p.mTexture, image, col * mTexPieceWidth, row * mTexPieceHeight, p.mWidth, p.mHeight, format);
    }
  }
  mWidth = image->mWidth;
  mHeight = image->mHeight;
  mBitsChangedCount = image->mBitsChangedCount;
}

IDirectDrawSurface7* ImageTextureSet::GetPiece(int x, int y, int& w, int& h, float& uMin, float& vMin, float& uMax,
                                               float& vMax) {
  if (x < 0 || y < 0 || mTexPieceWidth <= 0 || mTexPieceHeight <= 0) return nullptr;
  const int col = x / mTexPieceWidth;
  const int row = y / mTexPieceHeight;
  if (col >= mTexPiecesX || row >= mTexPiecesY) return nullptr;
  const Piece& p = mTextures[static_cast<size_t>(row * mTexPiecesX + col)];
  const int ox = x % mTexPieceWidth;
  const int oy = y % mTexPieceHeight;
  // A last-column piece may be taller than its row (and a last-row one wider): the image part of a
  // piece never reaches past the nominal size.
  w = std::min(w, std::min(p.mWidth, mTexPieceWidth) - ox);
  h = std::min(h, std::min(p.mHeight, mTexPieceHeight) - oy);
  uMin = static_cast<float>(ox) / static_cast<float>(p.mWidth);
  vMin = static_cast<float>(oy) / static_cast<float>(p.mHeight);
  uMax = static_cast<float>(ox + w) / static_cast<float>(p.mWidth);
  vMax = static_cast<float>(oy + h) / static_cast<float>(p.mHeight);
  return p.mTexture;
}

IDirectDrawSurface7* ImageTextureSet::CreateTexture(IDirect3DDevice7* device, int w, int h, int format,
                                                    IDirectDraw7* directDraw) {
  if (!device || !directDraw || FAILED(device->SetTexture(0, nullptr))) return nullptr;
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
  desc.dwWidth = static_cast<DWORD>(w);
  desc.dwHeight = static_cast<DWORD>(h);
  desc.ddpfPixelFormat = PixelFormatOf(format);
  IDirectDrawSurface7* texture = nullptr;
  if (FAILED(directDraw->CreateSurface(&desc, &texture, nullptr))) return nullptr;
  return texture;
}

void ImageTextureSet::FillTexture(IDirectDrawSurface7* texture, MemoryImage* image, int x, int y, int w, int h,
                                  int format) {
  DDSURFACEDESC2 desc;
  if (FAILED(texture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) return;
  const int cw = std::min(w, image->mWidth - x);
  const int ch = std::min(h, image->mHeight - y);
  const int bytes = BytesPerTexel(format);
  const bool indexed = image->mColorIndices && image->mColorTable;
  const uint32_t* bits = indexed ? nullptr : image->GetArgbBits();
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  if (cw >= 1 && ch >= 1) {
    for (int row = 0; row < ch; ++row) {
      uint8_t* out = base + static_cast<size_t>(row) * desc.lPitch;
      const size_t from = static_cast<size_t>(y + row) * image->mWidth + x;
      for (int col = 0; col < cw; ++col) {
        const size_t i = from + col;
        uint32_t texel;
        if (format == kPalettized) {
          texel = image->mColorIndices[i];
        } else {
          texel = ToTexel(indexed ? image->mColorTable[image->mColorIndices[i]] : bits[i], format);
        }
        WriteTexel(out + static_cast<size_t>(col) * bytes, texel, bytes);
      }
      // Bilinear sampling at the edge reads one texel further: repeat the last one.
      if (cw < w) std::memcpy(out + static_cast<size_t>(cw) * bytes, out + static_cast<size_t>(cw - 1) * bytes, bytes);
    }
    if (ch < h)
      std::memcpy(base + static_cast<size_t>(ch) * desc.lPitch, base + static_cast<size_t>(ch - 1) * desc.lPitch,
                  static_cast<size_t>(std::min(cw + 1, w)) * bytes);
  }
  texture->Unlock(nullptr);
}

bool ImageTextureSet::ReadBack(MemoryImage* image, uint32_t* bits) {
  PALETTEENTRY palette[256] = {};
  if (mTextureFormat == kPalettized && (!mPalette || FAILED(mPalette->GetEntries(0, 0, 256, palette)))) return false;
  const int bytes = BytesPerTexel(mTextureFormat);
  for (int row = 0; row < mTexPiecesY; ++row) {
    for (int col = 0; col < mTexPiecesX; ++col) {
      const Piece& p = mTextures[static_cast<size_t>(row * mTexPiecesX + col)];
      DDSURFACEDESC2 desc;
      if (!p.mTexture || FAILED(p.mTexture->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return false;
      const int x0 = col * mTexPieceWidth;
      const int y0 = row * mTexPieceHeight;
      const int w = std::min({p.mWidth, mTexPieceWidth, image->mWidth - x0});
      const int h = std::min({p.mHeight, mTexPieceHeight, image->mHeight - y0});
      for (int y = 0; y < h; ++y) {
        const auto* in = static_cast<const uint8_t*>(desc.lpSurface) + static_cast<size_t>(y) * desc.lPitch;
        uint32_t* out = bits + static_cast<size_t>(y0 + y) * image->mWidth + x0;
        for (int x = 0; x < w; ++x)
          out[x] = FromTexel(ReadTexel(in + static_cast<size_t>(x) * bytes, bytes), mTextureFormat, palette);
      }
      p.mTexture->Unlock(nullptr);
    }
  }
  return true;
}

void ImageTextureSet::CopySurface32ToArgb(const DDSURFACEDESC2& locked, uint32_t* out, int width, int height) {
  CopySurfaceToArgb(locked, out, width, height, 4);
}

void ImageTextureSet::CopySurface16ToArgb(const DDSURFACEDESC2& locked, uint32_t* out, int width, int height) {
  CopySurfaceToArgb(locked, out, width, height, 2);
}

}  // namespace Velk
