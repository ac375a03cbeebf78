#include "graphics/D3DInterface.h"

#include <algorithm>
#include <mutex>

#include "common/DirectXErrorName.h"
#include "graphics/DDInterface.h"
#include "graphics/ImageTextureSet.h"
#include "graphics/MemoryImage.h"

namespace Velk {

int D3DInterface::sMinTextureWidth = 64;
int D3DInterface::sMinTextureHeight = 64;
int D3DInterface::sMaxTextureWidth = 64;
int D3DInterface::sMaxTextureHeight = 64;
int D3DInterface::sMaxTextureAspectRatio = 1;
DWORD D3DInterface::sSupportedTextureFormats = 0;
bool D3DInterface::sLinearFilter = false;
std::atomic<bool> D3DInterface::sRenderTargetFailed{false};

namespace {

template <typename T>
void ReleaseAndNull(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
  return a.dwFlags == b.dwFlags && a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
         a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask && a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

HRESULT CollectFormat(DDPIXELFORMAT* format, void* context) {
  auto* mask = static_cast<DWORD*>(context);
  for (int bit : {1, 2, 4, 8})
    if (SameFormat(*format, ImageTextureSet::PixelFormatOf(bit))) *mask |= static_cast<DWORD>(bit);
  return D3DENUMRET_OK;
}

HRESULT FirstZFormat(DDPIXELFORMAT*, void*) { return D3DENUMRET_CANCEL; }

}  // namespace

D3DInterface::D3DInterface() {
  sMinTextureWidth = sMinTextureHeight = sMaxTextureWidth = sMaxTextureHeight = 64;
  sMaxTextureAspectRatio = 1;
}

D3DInterface::~D3DInterface() { ReleaseAll(); }

CriticalSection& D3DInterface::Lock() { return mDisplay ? mDisplay->mCritSect : mOwnCritSect; }

std::string D3DInterface::GetErrorText() { return mErrorText; }

bool D3DInterface::CheckError(HRESULT result, const char* call) {
  if (SUCCEEDED(result)) return false;
  mErrorText = std::string(call) + ": " + DirectXErrorName(static_cast<uint32_t>(result));
  if (mWriteRegistryString) mWriteRegistryString("Test3D\\RuntimeError", mErrorText);
  return true;
}

bool D3DInterface::Init(DDInterface* display) {
  mErrorText.clear();
  mDisplay = display;
  mDD = display->mDD7;
  mHWnd = display->mHWnd;
  mWidth = display->mWidth;
  mHeight = display->mHeight;
  if (!display->mDrawSurface || CheckError(display->mDrawSurface->QueryInterface(
                                               IID_IDirectDrawSurface7, reinterpret_cast<void**>(&mDrawSurface)),
                                           "Query DrawSurface"))
    return false;
  mIsWindowed = display->mIsWindowed;
  return SetUpDevice();
}

void D3DInterface::ReadCaps(const D3DDEVICEDESC7& desc) {
  if (desc.dwMaxTextureWidth == 0) {
    sMinTextureWidth = sMinTextureHeight = sMaxTextureWidth = sMaxTextureHeight = 64;
    sMaxTextureAspectRatio = 1;
    return;
  }
  sMaxTextureWidth = static_cast<int>(std::min<DWORD>(desc.dwMaxTextureWidth, 1024));
  sMaxTextureHeight = static_cast<int>(std::min<DWORD>(desc.dwMaxTextureHeight, 1024));
  sMinTextureWidth = static_cast<int>(std::clamp<DWORD>(desc.dwMinTextureWidth, 1, 1024));
  sMinTextureHeight = static_cast<int>(std::clamp<DWORD>(desc.dwMinTextureHeight, 1, 1024));
  sMaxTextureAspectRatio =
      desc.dwMaxTextureAspectRatio ? static_cast<int>(std::min<DWORD>(desc.dwMaxTextureAspectRatio, 65536)) : 65536;
}

bool D3DInterface::SetUpDevice() {
  if (!mDD ||
      CheckError(mDD->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D)), "QueryInterface IID_IDirect3D7"))
    return false;
  if (CheckError(mD3D->CreateDevice(IID_IDirect3DHALDevice, mDrawSurface, &mD3DDevice),
                 "CreateDevice IID_IDirect3DHALDevice"))
    return false;
  D3DDEVICEDESC7 desc;
  if (CheckError(mD3DDevice->GetCaps(&desc), "")) return false;
  ReadCaps(desc);

  sSupportedTextureFormats = 0;
  mD3DDevice->EnumTextureFormats(CollectFormat, &sSupportedTextureFormats);
  if (!(desc.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_ALPHAPALETTE)) sSupportedTextureFormats &= ~8u;

  // The viewport covers the draw surface: the window's client area may be smaller (minimised, or a
  // widened full-screen buffer) and would clip drawing away.
  DDSURFACEDESC2 surface;
  const bool sized = SUCCEEDED(mDrawSurface->GetSurfaceDesc(&surface));
  mD3DViewport = D3DVIEWPORT7{0,
                              0,
                              sized ? surface.dwWidth : static_cast<DWORD>(mWidth),
                              sized ? surface.dwHeight : static_cast<DWORD>(mHeight),
                              0.0f,
                              1.0f};
  mD3DDevice->SetViewport(&mD3DViewport);
  mD3D->EnumZBufferFormats(IID_IDirect3DHALDevice, FirstZFormat, nullptr);
  mD3DDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
  return true;
}

void D3DInterface::EndSceneIfBegun() {
  if (!mSceneBegun) return;
  if (mD3DDevice) mD3DDevice->EndScene();
  mSceneBegun = false;
  mErrorText.clear();
}

void D3DInterface::ReleaseAll() {
  if (mSceneBegun && mD3DDevice) mD3DDevice->EndScene();
  mSceneBegun = false;
  {
    std::lock_guard<CriticalSection> guard(Lock());
    for (MemoryImage* image : mImageSet) {
      delete image->mTextureData;
      image->mTextureData = nullptr;
    }
    mImageSet.clear();
  }
  ReleaseAndNull(mD3DDevice);
  ReleaseAndNull(mD3D);
  ReleaseAndNull(mDrawSurface);
}

void D3DInterface::SetHiddenRows(int top, int bottom) {
  if (mD3DDevice) mD3DDevice->SetHiddenRows(top, bottom);
}

void D3DInterface::ForgetImage(MemoryImage* image) {
  // All of it under the lock: the loading thread may forget an image while Cleanup releases all.
  std::lock_guard<CriticalSection> guard(Lock());
  delete image->mTextureData;
  image->mTextureData = nullptr;
  mImageSet.erase(image);
}

bool D3DInterface::BeginDraw() {
  if (mIsMinimized && mIsMinimized()) return false;
  if (!mD3DDevice) return false;
  if (mSceneBegun) return true;
  if (FAILED(mD3DDevice->SetRenderTarget(mDrawSurface, 0))) {
    sRenderTargetFailed = true;
    return false;
  }
  sRenderTargetFailed = false;
  IDirect3DDevice7* d = mD3DDevice;
  d->BeginScene();
  d->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  d->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  d->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  d->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
  d->SetRenderState(D3DRENDERSTATE_DITHERENABLE, FALSE);
  d->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
  d->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, FALSE);
  d->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_FALSE);
  d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFG_POINT);
  d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
  d->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
  d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  d->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  d->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
  mSceneBegun = true;
  sLinearFilter = false;
  return true;
}

void D3DInterface::SetDrawMode(int mode) {
  mD3DDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  mD3DDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, mode == 0 ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
}

void D3DInterface::SetLinearFilter(bool linear) {
  if (linear == sLinearFilter) return;
  const DWORD value = linear ? 2 : 1;
  const char* call = linear ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
  for (D3DTEXTURESTAGESTATETYPE state : {D3DTSS_MINFILTER, D3DTSS_MAGFILTER, D3DTSS_MIPFILTER})
    CheckError(mD3DDevice->SetTextureStageState(0, state, value), call);
  sLinearFilter = linear;
}

bool D3DInterface::PrepareImage(MemoryImage* image) {
  bool created = false;
  if (!image->mTextureData) {
    std::lock_guard<CriticalSection> guard(Lock());
    image->mTextureData = new ImageTextureSet();
    mImageSet.insert(image);
    created = true;
  }
  image->mTextureData->Ensure(image, mD3DDevice, mDD);
  if (created && image->mPurgeBits) image->DropBits();
  return image->mTextureData->mTextureFormat != 0;
}

bool D3DInterface::ReadBackImage(MemoryImage* image, uint32_t* bits) {
  ImageTextureSet* set = image->mTextureData;
  if (!set || set->mBitsChangedCount != image->mBitsChangedCount) return false;
  return set->ReadBack(image, bits);
}

// A8R8G8B8 texels and a palette of ARGB entries hold the pixels as they are; 4-4-4-4 and 5-6-5
// texels drop bits.
bool D3DInterface::TexturesHoldPixels(const MemoryImage* image) const {
  const ImageTextureSet* set = image->mTextureData;
  return set && set->mBitsChangedCount == image->mBitsChangedCount &&
         (set->mTextureFormat == ImageTextureSet::kA8R8G8B8 || set->mTextureFormat == ImageTextureSet::kPalettized);
}

}  // namespace Velk
