#include "graphics/DDInterface.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "common/DebugPrint.h"
#include "common/DirectXErrorName.h"
#include "common/StringUtil.h"
#include "graphics/DDImage.h"
#include "graphics/DisplayHost.h"
#include "graphics/DisplayRenderer.h"
#include "platform/metrics/SystemMetrics.h"
#include "platform/modules/Modules.h"
#include "platform/window/WinUser.h"

namespace Velk {

DirectDrawCreateFunc DDInterface::sDirectDrawCreate = nullptr;
DirectDrawCreateExFunc DDInterface::sDirectDrawCreateEx = nullptr;
std::atomic<bool> DDInterface::sRgbOrder{false};

namespace {

template <typename T>
void ReleaseAndNull(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

// For a channel of n bits: 2^(n+1) - 1 entries, entry i = min(i, 2^n - 1).
std::vector<uint32_t> AddTable(int bits) {
  const uint32_t top = (1u << bits) - 1;
  std::vector<uint32_t> table((size_t{1} << (bits + 1)) - 1);
  for (uint32_t i = 0; i < table.size(); ++i) table[i] = std::min(i, top);
  return table;
}

void ConvTable(uint32_t (&table)[256], uint32_t mask) {
  for (uint32_t v = 0; v < 256; ++v) table[v] = static_cast<uint32_t>(static_cast<uint64_t>(v) * mask / 255) & mask;
}

// The largest rectangle of the picture's aspect centred in the display, with bars beside it or
// above and below it.
Rect FitPicture(int displayWidth, int displayHeight, int width, int height) {
  if (int64_t{displayWidth} * height >= int64_t{displayHeight} * width) {
    const int w = static_cast<int>(int64_t{width} * displayHeight / height);
    return Rect((displayWidth - w) / 2, 0, w, displayHeight);
  }
  const int h = static_cast<int>(int64_t{height} * displayWidth / width);
  return Rect(0, (displayHeight - h) / 2, displayWidth, h);
}

DDSURFACEDESC2 SurfaceDesc(DWORD caps) {
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = caps;
  return desc;
}

DDSURFACEDESC2 SizedDesc(int width, int height, DWORD caps) {
  DDSURFACEDESC2 desc = SurfaceDesc(caps);
  desc.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = static_cast<DWORD>(width);
  desc.dwHeight = static_cast<DWORD>(height);
  return desc;
}

}  // namespace

DDInterface::DDInterface(DisplayHost* app, std::unique_ptr<DisplayRenderer> renderer)
    : mApp(app), mRenderer(std::move(renderer)) {
  HMODULE ddraw = GetModuleHandleA("ddraw.dll");
  if (!ddraw) ddraw = LoadLibraryA("ddraw.dll");
  sDirectDrawCreate = reinterpret_cast<DirectDrawCreateFunc>(GetProcAddress(ddraw, "DirectDrawCreate"));
  sDirectDrawCreateEx = reinterpret_cast<DirectDrawCreateExFunc>(GetProcAddress(ddraw, "DirectDrawCreateEx"));
}

DDInterface::~DDInterface() {
  Cleanup();
  // Images that outlive the display must not reach back into it.
  std::lock_guard<CriticalSection> guard(mCritSect);
  for (DDImage* image : std::set<DDImage*>(mDDImageSet)) image->DetachFromDisplay();
  mDDImageSet.clear();
}

std::string DDInterface::ResultName(int result) {
  switch (result) {
    case RESULT_OK:
      return "RESULT_OK";
    case RESULT_FAIL:
      return "RESULT_FAIL";
    case RESULT_DD_CREATE_FAIL:
      return "RESULT_DD_CREATE_FAIL";
    case RESULT_SURFACE_FAIL:
      return "RESULT_SURFACE_FAIL";
    case RESULT_EXCLUSIVE_FAIL:
      return "RESULT_EXCLUSIVE_FAIL";
    case RESULT_DISPCHANGE_FAIL:
      return "RESULT_DISPCHANGE_FAIL";
    case RESULT_INVALID_COLORDEPTH:
      return "RESULT_INVALID_COLORDEPTH";
    default:
      return "RESULT_UNKNOWN";
  }
}

bool DDInterface::CheckResult(HRESULT result, const char* call) {
  if (SUCCEEDED(result)) return false;
  mErrorString = FormatString("%s: %s", call, DirectXErrorName(static_cast<uint32_t>(result)).c_str());
  return true;
}

HRESULT DDInterface::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface** surface, IUnknown* outer) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  HRESULT result;
  if (mDD7) {
    IDirectDrawSurface7* surface7 = nullptr;
    result = mDD7->CreateSurface(desc, &surface7, outer);
    if (FAILED(result)) return result;
    result = surface7->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(surface));
    surface7->Release();
    if (FAILED(result)) return result;
  } else if (mDD) {
    DDSURFACEDESC old;
    CopySurfaceDesc(old, *desc);
    result = mDD->CreateSurface(&old, surface, outer);
    if (FAILED(result)) return result;
  } else {
    return DDERR_NOTINITIALIZED;
  }
  DDSURFACEDESC primary;
  primary.dwFlags = DDSD_PIXELFORMAT;
  if (!mPrimarySurface || FAILED(mPrimarySurface->GetSurfaceDesc(&primary))) primary.ddpfPixelFormat.dwRGBBitCount = 0;
  const DDPIXELFORMAT& f = primary.ddpfPixelFormat;
  if (mPrimarySurface && f.dwRGBBitCount != 16 && f.dwRGBBitCount != 32) {
    (*surface)->Release();
    *surface = nullptr;
    return DDERR_INVALIDPIXELFORMAT;
  }
  if (mPrimarySurface) sRgbOrder = f.dwBBitMask < f.dwGBitMask && f.dwGBitMask < f.dwRBitMask;
  return result;
}

void DDInterface::ClearSurface(IDirectDrawSurface* surface) {
  if (!surface) return;
  DDSURFACEDESC desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr))) return;
  auto* row = static_cast<uint8_t*>(desc.lpSurface);
  const size_t bytes = static_cast<size_t>(desc.dwWidth) * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
  for (DWORD y = 0; y < desc.dwHeight; ++y, row += desc.lPitch) std::memset(row, 0, bytes);
  surface->Unlock(nullptr);
}

void DDInterface::Cleanup() {
  std::lock_guard<CriticalSection> guard(mCritSect);
  mInitialized = false;
  if (mRenderer) mRenderer->ReleaseAll();
  mOldCursorAreaImage.reset();
  mNewCursorAreaImage.reset();
  ReleaseAndNull(mOldCursorArea);
  ReleaseAndNull(mNewCursorArea);
  mHasOldCursorArea = false;
  mScreenImage.reset();
  ReleaseAndNull(mDrawSurface);
  ReleaseAndNull(mSecondarySurface);
  ReleaseAndNull(mPrimarySurface);
  if (mDD) mDD->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);
  ReleaseAndNull(mDD);
  ReleaseAndNull(mDD7);
}

void DDInterface::AddImage(DDImage* image) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  mDDImageSet.insert(image);
}

void DDInterface::RemoveImage(DDImage* image) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  mDDImageSet.erase(image);
}

void DDInterface::ForgetImageTextures(MemoryImage* image) {
  if (mRenderer) mRenderer->ForgetImage(image);
}

bool DDInterface::IsCursorArea(const DDImage* image) const {
  return image && (image == mOldCursorAreaImage.get() || image == mNewCursorAreaImage.get());
}

const uint32_t* DDInterface::AddTableFor(int channel) const {
  switch (channel) {
    case 0:
      return mRedAddTable.data();
    case 1:
      return mGreenAddTable.data();
    default:
      return mBlueAddTable.data();
  }
}

int DDInterface::Init(HWND hwnd, bool isWindowed) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  mInitialized = false;
  Cleanup();

  HRESULT createResult = DD_OK;
  if (sDirectDrawCreateEx) {
    if (CheckResult(sDirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDD7), IID_IDirectDraw7, nullptr),
                    "DirectDrawCreateEx"))
      return RESULT_DD_CREATE_FAIL;
    if (CheckResult(mDD7->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&mDD)),
                    "QueryrInterface IID_IDirectDraw"))
      return RESULT_DD_CREATE_FAIL;
  } else {
    // Without either entry point there is no DirectDraw at all.
    createResult = sDirectDrawCreate ? sDirectDrawCreate(nullptr, &mDD, nullptr) : DDERR_UNSUPPORTED;
  }

  mHWnd = hwnd;
  if (Decide3D() && mTester && mTester->NoStoredFailureReason()) mApp->On3DTested();
  if (!mRenderer) mIs3D = false;
  SetUpSizes(hwnd, isWindowed);
  if (CheckResult(createResult, "DirectDrawCreate")) return RESULT_DD_CREATE_FAIL;

  const int result = isWindowed ? InitWindowed() : InitFullScreen();
  if (result != RESULT_OK) return result;
  DebugPrint(L"Draw buffer is       %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mWidth),
             static_cast<unsigned long>(mHeight), mAspect.mNumerator, mAspect.mDenominator);
  ReadRefreshRate();
  if (int r = CreateCursorAreas()) return r;
  if (int r = ReadPixelFormat()) return r;
  SetVideoMemoryDraw(mVideoOnlyDraw);
  if (mIs3D && !mRenderer->Init(this)) {
    mErrorString = "3D init error: " + mRenderer->GetErrorText();
    return RESULT_3D_FAIL;
  }
  ++mInitCount;
  mInitialized = true;
  return RESULT_OK;
}

bool DDInterface::Decide3D() {
  if (mTester || !(mApp->m3DRequested || mApp->m3DTestRequested) || !mTesterFactory) return false;
  mTester = mTesterFactory();
  mTester->Run(mHWnd, mDD7, mApp->mMinVideoMemory, mApp->mRecommendedVideoMemory);
  const bool failed = !mTester->GetFailureReason().empty();
  const bool warned = !mTester->GetWarning().empty();
  if (mApp->m3DRequested && !failed && !warned) mIs3D = true;
  if (failed) mIs3D = false;
  if (mTester->NoStoredFailureReason() && (failed || warned)) mIs3D = false;
  return true;
}

void DDInterface::SetUpSizes(HWND hwnd, bool isWindowed) {
  mHWnd = hwnd;
  mWidth = mApp->mWidth;
  mHeight = mApp->mHeight;
  mAspect.Set(mWidth, mHeight);
  mDesktopWidth = GetSystemMetrics(SM_CXSCREEN);
  mDesktopHeight = GetSystemMetrics(SM_CYSCREEN);
  mDesktopAspect.Set(mDesktopWidth, mDesktopHeight);
  mDisplayWidth = mWidth;
  mDisplayHeight = mHeight;
  mDisplayAspect = mAspect;
  mIsAspectCorrected = false;
  mPresentationRect = Rect(0, 0, mWidth, mHeight);
  mFullscreenBits = mApp->mColorDepth;
  mIsWindowed = isWindowed;
  mHasOldCursorArea = false;
  DebugPrint(L"Application requests %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mWidth),
             static_cast<unsigned long>(mHeight), mAspect.mNumerator, mAspect.mDenominator);
}

void DDInterface::CorrectWindowAspect() {
  const Fraction& forced = mApp->mForcedAspect;
  DebugPrint(L"Hack aspect is                   [%2d:%2d]\n", forced.mNumerator, forced.mDenominator);
  if (!mApp->mForceAspect || !mAspect.LessThan(forced)) return;
  mIsAspectCorrected = true;
  mDisplayWidth = forced.mNumerator * mHeight / forced.mDenominator;
  mDisplayHeight = mHeight;
  mDisplayAspect = forced;
  // Grow the client area to the display size around its old centre.
  POINT origin{0, 0};
  ClientToScreen(mHWnd, &origin);
  RECT outer{origin.x - (mDisplayWidth - mWidth) / 2, origin.y - (mDisplayHeight - mHeight) / 2, 0, 0};
  outer.right = outer.left + mDisplayWidth;
  outer.bottom = outer.top + mDisplayHeight;
  AdjustWindowRect(&outer, static_cast<DWORD>(GetWindowLongPtr(mHWnd, GWL_STYLE)), FALSE);
  MoveWindow(mHWnd, std::max<LONG>(outer.left, 0), std::max<LONG>(outer.top, 0), outer.right - outer.left,
             outer.bottom - outer.top, FALSE);
  if (!mApp->mWidenAspect) {
    mPresentationRect = Rect((mDisplayWidth - mWidth) / 2, 0, mWidth, mHeight);
  } else {
    mWidth = mDisplayWidth;
    mAspect = mDisplayAspect;
    mPresentationRect = Rect(0, 0, mDisplayWidth, mDisplayHeight);
  }
}

int DDInterface::InitWindowed() {
  CorrectWindowAspect();
  DebugPrint(L"Window is            %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mDisplayWidth),
             static_cast<unsigned long>(mDisplayHeight), mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);
  mDD->SetCooperativeLevel(mHWnd, DDSCL_NORMAL);
  DDSURFACEDESC2 desc = SurfaceDesc(DDSCAPS_PRIMARYSURFACE | (mIs3D ? DDSCAPS_3DDEVICE : 0));
  const HRESULT result = CreateSurface(&desc, &mPrimarySurface, nullptr);
  if (result == DDERR_INVALIDPIXELFORMAT) return RESULT_INVALID_COLORDEPTH;
  if (CheckResult(result, "CreateSurface Windowed Primary")) return RESULT_SURFACE_FAIL;
  FollowPrimarySize();
  if (int r = CreateDrawSurface("CreateSurface Windowed DrawSurface")) return r;
  return AttachClipper("CreateClipper Windowed");
}

int DDInterface::InitFullScreen() {
  DebugPrint(L"Desktop is           %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mDesktopWidth),
             static_cast<unsigned long>(mDesktopHeight), mDesktopAspect.mNumerator, mDesktopAspect.mDenominator);
  if (mIs3D && mAspect.LessThan(mDesktopAspect)) {
    mIsAspectCorrected = true;
    mDisplayWidth = mDesktopWidth;
    mDisplayHeight = mDesktopHeight;
    mDisplayAspect = mDesktopAspect;
    if (!mApp->mWidenAspect) {
      const int w = mWidth * mDesktopHeight / mHeight;
      mPresentationRect = Rect((mDesktopWidth - w) / 2, 0, w, mDesktopHeight);
    } else {
      mAspect = mDesktopAspect;
      mWidth = mDesktopAspect.mNumerator * mHeight / mDesktopAspect.mDenominator;
      mPresentationRect = Rect(0, 0, mDesktopWidth, mDesktopHeight);
    }
  }
  DebugPrint(L"Display is           %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(mDisplayWidth),
             static_cast<unsigned long>(mDisplayHeight), mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);
  if (CheckResult(mDD->SetCooperativeLevel(mHWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
                  "SetCooperativeLevel FullScreen"))
    return RESULT_EXCLUSIVE_FAIL;
  if (CheckResult(mDD->SetDisplayMode(static_cast<DWORD>(mDisplayWidth), static_cast<DWORD>(mDisplayHeight),
                                      static_cast<DWORD>(mFullscreenBits)),
                  "SetDisplayMode FullScreen"))
    return RESULT_DISPCHANGE_FAIL;
  DDSURFACEDESC2 desc =
      SurfaceDesc(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | (mIs3D ? DDSCAPS_3DDEVICE : 0));
  desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  const HRESULT result = CreateSurface(&desc, &mPrimarySurface, nullptr);
  if (result == DDERR_INVALIDPIXELFORMAT) return RESULT_INVALID_COLORDEPTH;
  if (CheckResult(result, "CreateSurface FullScreen Primary")) return RESULT_SURFACE_FAIL;
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  if (CheckResult(mPrimarySurface->GetAttachedSurface(&caps, &mSecondarySurface), "GetAttachedSurface"))
    return RESULT_SURFACE_FAIL;
  FollowPrimarySize();
  if (mIsAspectCorrected) {
    ClearSurface(mPrimarySurface);
    ClearSurface(mSecondarySurface);
  }
  if (int r = CreateDrawSurface("CreateSurface FullScreen DrawSurface")) return r;
  if (int r = AttachClipper("CreateClipper FullScreen")) return r;
  if (!mApp->mFullScreenFlip) mDD->FlipToGDISurface();
  return RESULT_OK;
}

// The screen the primary really covers can differ from the display size asked for: the desktop,
// whose mode is never changed, or a client area that a window manager sized. The picture then keeps
// its aspect in the middle of it, scaled.
void DDInterface::FollowPrimarySize() {
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT;
  if (FAILED(mPrimarySurface->GetSurfaceDesc(&desc))) return;
  const int width = static_cast<int>(desc.dwWidth);
  const int height = static_cast<int>(desc.dwHeight);
  if (width == mDisplayWidth && height == mDisplayHeight) return;
  mIsAspectCorrected = true;
  mDisplayWidth = width;
  mDisplayHeight = height;
  mDisplayAspect.Set(width, height);
  mPresentationRect = FitPicture(width, height, mWidth, mHeight);
  DebugPrint(L"Screen is            %4lu x %4lu [%2d:%2d]\n", static_cast<unsigned long>(width),
             static_cast<unsigned long>(height), mDisplayAspect.mNumerator, mDisplayAspect.mDenominator);
}

int DDInterface::CreateDrawSurface(const char* call) {
  const DWORD caps = mIs3D ? DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE
                           : DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  DDSURFACEDESC2 desc = SizedDesc(mWidth, mHeight, caps);
  return CheckResult(CreateSurface(&desc, &mDrawSurface, nullptr), call) ? RESULT_SURFACE_FAIL : RESULT_OK;
}

int DDInterface::AttachClipper(const char* call) {
  IDirectDrawClipper* clipper = nullptr;
  if (CheckResult(mDD->CreateClipper(0, &clipper, nullptr), call)) return RESULT_FAIL;
  if (SUCCEEDED(clipper->SetHWnd(0, mHWnd))) mPrimarySurface->SetClipper(clipper);
  clipper->Release();
  return RESULT_OK;
}

void DDInterface::ReadRefreshRate() {
  DWORD hz = 0;
  const bool ok = SUCCEEDED(mDD->GetMonitorFrequency(&hz));
  if (!ok || hz < 60) {
    mRefreshRate = 60;
    mApp->mRefreshUnreliable = true;
  } else if (hz > 100) {
    mRefreshRate = 100;
    mApp->mRefreshUnreliable = true;
  } else {
    mRefreshRate = static_cast<int>(hz);
  }
  mMillisecondsPerFrame = 1000 / mRefreshRate;
}

int DDInterface::CreateCursorAreas() {
  struct Area {
    IDirectDrawSurface** surface;
    std::unique_ptr<DDImage>* image;
    const char* call;
  };
  const Area areas[] = {{&mOldCursorArea, &mOldCursorAreaImage, "CreateSurface OldCursorArea"},
                        {&mNewCursorArea, &mNewCursorAreaImage, "CreateSurface NewCursorArea"}};
  for (const Area& area : areas) {
    DDSURFACEDESC2 desc = SizedDesc(mCursorWidth, mCursorHeight, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    if (CheckResult(CreateSurface(&desc, area.surface, nullptr), area.call)) return RESULT_SURFACE_FAIL;
    *area.image = std::make_unique<DDImage>(this);
    (*area.image)->AdoptSurface(*area.surface);
    (*area.image)->ForceAlphaFlags(false, false);
  }
  return RESULT_OK;
}

int DDInterface::ReadPixelFormat() {
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  mPrimarySurface->GetSurfaceDesc(&desc);
  const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
  if (f.dwRGBBitCount != 16 && f.dwRGBBitCount != 32) return RESULT_INVALID_COLORDEPTH;
  SetPixelFormat(static_cast<int>(f.dwRGBBitCount), f.dwRBitMask, f.dwGBitMask, f.dwBBitMask);
  mRedAddTable = AddTable(mRedBits);
  mGreenAddTable = AddTable(mGreenBits);
  mBlueAddTable = AddTable(mBlueBits);
  ConvTable(mRedConvTable, f.dwRBitMask);
  ConvTable(mGreenConvTable, f.dwGBitMask);
  ConvTable(mBlueConvTable, f.dwBBitMask);
  return RESULT_OK;
}

void DDInterface::SetVideoMemoryDraw(bool on) {
  std::lock_guard<CriticalSection> guard(mCritSect);
  mVideoOnlyDraw = on;
  // The copy surface is made only when it will be drawn into.
  if (on && !mSecondarySurface) {
    DDSURFACEDESC2 desc = SizedDesc(mWidth, mHeight, DDSCAPS_VIDEOMEMORY);
    if (FAILED(CreateSurface(&desc, &mSecondarySurface, nullptr))) mVideoOnlyDraw = false;
  }
  mScreenImage.reset();
  mScreenImage = std::make_unique<DDImage>(this);
  mScreenImage->AdoptSurface(mVideoOnlyDraw ? mSecondarySurface : mDrawSurface);
  mScreenImage->mNoLock = mVideoOnlyDraw;
  mScreenImage->mVideoMemory = mVideoOnlyDraw;
  mScreenImage->ForceAlphaFlags(false, false);
}

}  // namespace Velk
