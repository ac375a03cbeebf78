#include "graphics/DDImage.h"

#include <memory>
#include <mutex>
#include <vector>

#include "graphics/DDInterface.h"
#include "graphics/DisplayHost.h"
#include "graphics/SurfaceView.h"

namespace Velk {

namespace {

uint32_t ToSurfacePixel(uint32_t p, const DDInterface& d, const SurfaceView& v) {
  return (((p >> (24 - d.mRedBits)) << d.mRedShift) & v.mask[0]) |
         (((p >> (16 - d.mGreenBits)) << d.mGreenShift) & v.mask[1]) |
         (((p >> (8 - d.mBlueBits)) << d.mBlueShift) & v.mask[2]);
}

uint32_t FromSurfacePixel(uint32_t q, const DDInterface& d) {
  const uint32_t r = ((q >> d.mRedShift) << (8 - d.mRedBits)) & 255;
  const uint32_t g = ((q >> d.mGreenShift) << (8 - d.mGreenBits)) & 255;
  const uint32_t b = ((q >> d.mBlueShift) << (8 - d.mBlueBits)) & 255;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// A bit per value; marks come in, free values go out.
class ValueTable {
 public:
  explicit ValueTable(size_t values) : mWords(values / 32) {}
  void Mark(uint32_t v) { mWords[v >> 5] |= 1u << (v & 31); }
  bool Full(size_t word) const { return mWords[word] == 0xFFFFFFFFu; }
  uint32_t LowestClear(size_t word) const {
    uint32_t bit = 0;
    while (mWords[word] & (1u << bit)) ++bit;
    return static_cast<uint32_t>(word * 32 + bit);
  }
  size_t Words() const { return mWords.size(); }

 private:
  std::vector<uint32_t> mWords;
};

}  // namespace

DDImage::DDImage(DDInterface* display) : MemoryImage(display->mApp), mDDInterface(display) { display->AddImage(this); }

DDImage::~DDImage() {
  if (mSurface) mSurface->Release();
  mSurface = nullptr;
  if (mDDInterface) mDDInterface->RemoveImage(this);
}

void DDImage::DetachFromDisplay() {
  if (mSurface) {
    if (!mSurfaceSet) GetArgbBits();
    mSurface->Release();
    mSurface = nullptr;
  }
  mLockCount = 0;
  mDDInterface = nullptr;
}

bool DDImage::Is3DOn() const { return mDDInterface && mDDInterface->mIs3D; }

DisplayRenderer* DDImage::Renderer() const { return mDDInterface ? mDDInterface->mRenderer.get() : nullptr; }

bool DDImage::Is3DDrawSurface() const {
  return Is3DOn() && mSurface && mSurface == mDDInterface->mDrawSurface && Renderer();
}

bool DDImage::ImageIs3DDrawSurface(Image* image) {
  auto* dd = dynamic_cast<DDImage*>(image);
  return dd && dd->Is3DDrawSurface();
}

IDirectDrawSurface* DDImage::GetSurface() {
  if (!mSurface) GenerateSurface();
  return mSurface;
}

void DDImage::ReleaseSurface() {
  if (!mSurface) return;
  if (!mBits && !mColorTable && !mTextureData) GetArgbBits();
  mSurface->Release();
  mSurface = nullptr;
  mLockCount = 0;
}

void DDImage::FreeNonSurfaceData() {
  // Without a surface these are the only copy of the picture.
  if (!mSurface) return;
  mBits.reset();
  mPackedBits.reset();
  mNativeAlphaData.reset();
  mRLAdditiveData.reset();
  mRLAlphaData.reset();
  mColorTable.reset();
  mColorIndices.reset();
  mNumColors = 0;
}

void DDImage::SetInVideoMemory(bool inVideoMemory) {
  if (inVideoMemory == mVideoMemory) return;
  mVideoMemory = inVideoMemory;
  GetArgbBits();
  ReleaseSurface();
}

bool DDImage::ApplyColorKey() { return GetSurface() != nullptr; }

bool DDImage::LockSurface() {
  if (Is3DDrawSurface()) return false;
  if (mLockCount == 0) {
    mLockedSurfaceDesc = DDSURFACEDESC();
    IDirectDrawSurface* surface = GetSurface();
    if (!surface || FAILED(surface->Lock(nullptr, &mLockedSurfaceDesc, DDLOCK_WAIT, nullptr))) return false;
  }
  ++mLockCount;
  return true;
}

bool DDImage::UnlockSurface() {
  // An unlock without its lock would leave the count negative and the surface locked for good.
  if (Is3DDrawSurface() || mLockCount == 0) return false;
  if (--mLockCount == 0 && mSurface) mSurface->Unlock(nullptr);
  return true;
}

HRESULT DDImage::AdoptSurface(IDirectDrawSurface* surface) {
  mSurfaceSet = true;
  if (surface) surface->AddRef();
  if (mSurface) mSurface->Release();
  mSurface = surface;
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
  const HRESULT result = surface ? surface->GetSurfaceDesc(&desc) : DDERR_INVALIDPARAMS;
  if (SUCCEEDED(result)) {
    mWidth = static_cast<int>(desc.dwWidth);
    mHeight = static_cast<int>(desc.dwHeight);
  }
  mNoLock = false;
  return result;
}

SurfaceView DDImage::View() const {
  SurfaceView v;
  const DDSURFACEDESC& d = mLockedSurfaceDesc;
  v.bits = static_cast<uint8_t*>(d.lpSurface);
  v.pitch = d.lPitch;
  v.bitsPerPixel = static_cast<int>(d.ddpfPixelFormat.dwRGBBitCount);
  v.mask[0] = d.ddpfPixelFormat.dwRBitMask;
  v.mask[1] = d.ddpfPixelFormat.dwGBitMask;
  v.mask[2] = d.ddpfPixelFormat.dwBBitMask;
  v.imageHeight = mHeight;
  if (mDDInterface) {
    v.shift[0] = mDDInterface->mRedShift;
    v.shift[1] = mDDInterface->mGreenShift;
    v.shift[2] = mDDInterface->mBlueShift;
    v.width[0] = mDDInterface->mRedBits;
    v.width[1] = mDDInterface->mGreenBits;
    v.width[2] = mDDInterface->mBlueBits;
    for (int c = 0; c < 3; ++c) v.addTable[c] = mDDInterface->AddTableFor(c);
  }
  return v;
}

bool DDImage::BeginSurfaceDraw(bool honourNoReadback) {
  if (honourNoReadback && mNoLock) return false;
  if (!GetSurface() || !LockSurface()) return false;
  const int bpp = static_cast<int>(mLockedSurfaceDesc.ddpfPixelFormat.dwRGBBitCount);
  if ((bpp != 16 && bpp != 32) || !mLockedSurfaceDesc.lpSurface) {
    UnlockSurface();
    return false;
  }
  return true;
}

bool DDImage::GenerateSurface() {
  if (mSurface) return true;
  if (!mDDInterface) return false;
  ScanAlpha();
  if (mHasAlpha) return false;
  mWantDDSurface = true;
  // The surface is written from the pixels: rebuilt from a colour table or a packed copy first.
  if (!mBits) GetArgbBits();
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = static_cast<DWORD>(mWidth);
  desc.dwHeight = static_cast<DWORD>(mHeight);
  desc.ddsCaps.dwCaps = mVideoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_SYSTEMMEMORY;
  std::lock_guard<CriticalSection> guard(mDDInterface->mCritSect);
  if (FAILED(mDDInterface->CreateSurface(&desc, &mSurface, nullptr))) {
    mSurface = nullptr;
    return false;
  }
  if (!LockSurface()) {
    // An unwritten surface would stand for the picture; the bits stay the only copy instead.
    mSurface->Release();
    mSurface = nullptr;
    return false;
  }
  const SurfaceView view = View();
  if (view.bits && view.bitsPerPixel == 16) WriteSurface16(view, mHasTrans);
  if (view.bits && view.bitsPerPixel == 32) WriteSurface32(view);
  UnlockSurface();
  return true;
}

// The key is the converted colour of the first pixel that is not opaque; when an opaque pixel shares
// it, a colour no visible pixel uses is searched.
void DDImage::WriteSurface16(const SurfaceView& view, bool keyed) {
  const uint32_t* bits = mBits.get();
  const size_t n = static_cast<size_t>(mWidth) * mHeight;
  std::vector<uint16_t> scratch(bits ? n : 0);
  uint32_t key = 0;
  bool keyFound = false;
  for (size_t i = 0; i < scratch.size(); ++i) {
    scratch[i] = static_cast<uint16_t>(ToSurfacePixel(bits[i], *mDDInterface, view));
    if (!keyFound && (bits[i] >> 24) < 255) {
      key = scratch[i];
      keyFound = true;
    }
  }
  if (!bits) return;
  if (keyed) {
    bool collides = false;
    for (size_t i = 0; i < n && !collides; ++i) collides = (bits[i] >> 24) == 255 && scratch[i] == key;
    if (collides) {
      ValueTable used(65536);
      for (size_t i = 0; i < n; ++i)
        if (bits[i] >> 24) used.Mark(scratch[i]);
      for (size_t w = 0; w < used.Words(); ++w)
        if (!used.Full(w)) key = used.LowestClear(w);
    }
    for (size_t i = 0; i < n; ++i)
      if ((bits[i] >> 24) != 255) scratch[i] = static_cast<uint16_t>(key);
  }
  for (int y = 0; y < mHeight; ++y) {
    uint16_t* row = view.Row<uint16_t>(y);
    for (int x = 0; x < mWidth; ++x) row[x] = scratch[static_cast<size_t>(y) * mWidth + x];
  }
  if (keyed) {
    DDCOLORKEY ck{key, key};
    mSurface->SetColorKey(DDCKEY_SRCBLT, &ck);
  }
}

void DDImage::WriteSurface32(const SurfaceView& view) {
  const uint32_t* bits = mBits.get();
  if (!bits) return;
  const size_t n = static_cast<size_t>(mWidth) * mHeight;
  const bool keyed = mHasTrans;
  uint32_t key = 0;
  if (keyed) {
    for (size_t i = 0; i < n; ++i) {
      if ((bits[i] >> 24) < 255) {
        key = bits[i];
        break;
      }
    }
    bool collides = false;
    for (size_t i = 0; i < n && !collides; ++i) collides = (bits[i] >> 24) == 255 && (bits[i] & 0xFFFFFF) == key;
    if (collides) {
      ValueTable used(size_t{1} << 24);
      for (size_t i = 0; i < n; ++i)
        if (bits[i] >> 24) used.Mark(bits[i] & 0xFFFFFF);
      for (size_t w = 0; w < used.Words(); ++w) {
        if (!used.Full(w)) {
          key = used.LowestClear(w);
          break;
        }
      }
    }
  }
  for (int y = 0; y < mHeight; ++y) {
    uint32_t* row = view.Row<uint32_t>(y);
    const uint32_t* from = bits + static_cast<size_t>(y) * mWidth;
    for (int x = 0; x < mWidth; ++x)
      row[x] = keyed && (from[x] >> 24) < 255 ? key : ToSurfacePixel(from[x], *mDDInterface, view);
  }
  if (keyed) {
    DDCOLORKEY ck{key, key};
    mSurface->SetColorKey(DDCKEY_SRCBLT, &ck);
  }
}

uint32_t* DDImage::GetArgbBits() {
  if (mBits) return mBits.get();
  if (!mSurface) return MemoryImage::GetArgbBits();
  if (mNoLock || !mDDInterface || !LockSurface()) return nullptr;
  const SurfaceView view = View();
  if (!view.bits || (view.bitsPerPixel != 16 && view.bitsPerPixel != 32)) {
    UnlockSurface();
    return nullptr;
  }
  // Pixels of the colour key are the transparent ones: they come back with alpha 0.
  const bool keyed = mHasTrans && (mLockedSurfaceDesc.dwFlags & DDSD_CKSRCBLT);
  const size_t n = static_cast<size_t>(mWidth) * mHeight;
  auto bits = std::make_unique<uint32_t[]>(n + 1);
  ConvertRows(view, keyed, mLockedSurfaceDesc.ddckCKSrcBlt.dwColorSpaceLowValue, bits.get());
  bits[n] = kEndMarker;
  UnlockSurface();
  mBits = std::move(bits);
  return mBits.get();
}

void DDImage::ConvertRows(const SurfaceView& view, bool keyed, uint32_t key, uint32_t* out) const {
  for (int y = 0; y < mHeight; ++y, out += mWidth) {
    for (int x = 0; x < mWidth; ++x) {
      const uint32_t q = view.bitsPerPixel == 16 ? view.Row<uint16_t>(y)[x] : view.Row<uint32_t>(y)[x];
      out[x] = keyed && q == key ? 0 : FromSurfacePixel(q, *mDDInterface);
    }
  }
}

bool DDImage::ReadFrame(std::vector<uint32_t>& argb) {
  if (!mSurface || !mDDInterface || mLockCount != 0) return false;
  // The surface itself is locked, not the image: image locks are refused on the 3D draw surface
  // while a frame is drawn, and none is being drawn now.
  if (FAILED(mSurface->Lock(nullptr, &mLockedSurfaceDesc, DDLOCK_WAIT, nullptr))) return false;
  const SurfaceView view = View();
  const bool readable = view.bits && (view.bitsPerPixel == 16 || view.bitsPerPixel == 32);
  if (readable) {
    argb.assign(static_cast<size_t>(mWidth) * mHeight, 0);
    ConvertRows(view, false, 0, argb.data());
  }
  mSurface->Unlock(nullptr);
  return readable;
}

void DDImage::ScanAlpha() {
  if (!mSurface) MemoryImage::ScanAlpha();
}

void DDImage::OnBitsChanged() {
  MemoryImage::OnBitsChanged();
  if (mSurface && !mSurfaceSet) {
    mSurface->Release();
    mSurface = nullptr;
    mLockCount = 0;
  }
}

void DDImage::CreateBlank(int width, int height) {
  mBits.reset();
  mColorTable.reset();
  mColorIndices.reset();
  mNumColors = 0;
  mWidth = width;
  mHeight = height;
  OnBitsChanged();
}

void DDImage::DropBits() {
  if (mSurfaceSet) return;
  ScanAlpha();
  mPurgeBits = true;
  if (mApp && mApp->Is3DModeOn()) {
    if (mSurface) {
      GetArgbBits();
      ReleaseSurface();
    }
    MemoryImage::DropBits();
    return;
  }
  if (mWantDDSurface && GenerateSurface()) {
    mBits.reset();
    mPackedBits.reset();
    mColorIndices.reset();
    mColorTable.reset();
    mNumColors = 0;
    return;
  }
  MemoryImage::DropBits();
}

void DDImage::FreeAllCaches() {
  if (mSurfaceSet) return;
  MemoryImage::FreeAllCaches();
  ReleaseSurface();
}

void DDImage::FreeDisplayFormatData() {
  if (mSurfaceSet) return;
  MemoryImage::FreeDisplayFormatData();
  ReleaseSurface();
}

void DDImage::Restore() {
  MemoryImage::Restore();
  if (mWantDDSurface) GenerateSurface();
}

bool DDImage::ReduceToPalette() {
  const bool reduced = MemoryImage::ReduceToPalette();
  if (reduced) ReleaseSurface();
  return reduced;
}

}  // namespace Velk
