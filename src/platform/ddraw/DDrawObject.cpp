#include "platform/ddraw/DDrawObject.h"
#include "platform/ddraw/DDrawPixelFormat.h"

#include "platform/backend/Backend.h"
#include "platform/d3d/D3D.h"
#include "platform/clock/Clock.h"
#include "platform/ddraw/DDrawClipper.h"
#include "platform/ddraw/DDrawPalette.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/ddraw/DDrawSurface.h"
#include "platform/window/WinUser.h"

#include <unistd.h>

#include <cstring>

namespace Velk {

namespace {

DDPIXELFORMAT FormatOfDepth(int bits, bool is555) {
  switch (bits) {
    case 32:
      return RgbPixelFormat(32, 0, 0xFF0000, 0xFF00, 0xFF);
    case 24:
      return RgbPixelFormat(24, 0, 0xFF0000, 0xFF00, 0xFF);
    case 16:
      return is555 ? RgbPixelFormat(16, 0, 0x7C00, 0x03E0, 0x1F) : RgbPixelFormat(16, 0, 0xF800, 0x07E0, 0x1F);
    default:
      return Pal8PixelFormat();
  }
}

// X8R8G8B8, A8R8G8B8, R5G6B5, X1R5G5B5, A4R4G4B4 and PAL8 are the formats surfaces may ask for.
bool SupportedFormat(const DDPIXELFORMAT& f) {
  const DDPIXELFORMAT known[] = {
      RgbPixelFormat(32, 0, 0xFF0000, 0xFF00, 0xFF), RgbPixelFormat(32, 0xFF000000, 0xFF0000, 0xFF00, 0xFF),
      RgbPixelFormat(16, 0, 0xF800, 0x07E0, 0x1F), RgbPixelFormat(16, 0, 0x7C00, 0x03E0, 0x1F),
      RgbPixelFormat(16, 0xF000, 0x0F00, 0x00F0, 0x0F)};
  if (f.dwFlags & DDPF_PALETTEINDEXED8) return f.dwRGBBitCount == 8;
  for (const DDPIXELFORMAT& k : known) {
    if (f.dwRGBBitCount == k.dwRGBBitCount && f.dwRBitMask == k.dwRBitMask && f.dwGBitMask == k.dwGBitMask &&
        f.dwBBitMask == k.dwBBitMask &&
        ((f.dwFlags & DDPF_ALPHAPIXELS) ? f.dwRGBAlphaBitMask : 0) == k.dwRGBAlphaBitMask)
      return true;
  }
  return false;
}

void CopyText(char (&out)[512], const std::string& text) {
  std::strncpy(out, text.c_str(), sizeof(out) - 1);
  out[sizeof(out) - 1] = 0;
}

DisplayMode Desktop() {
  DisplayMode mode = Backend::Get().Display().desktop;
  if (DDrawSettings::Get().desktopBits) mode.bitsPerPixel = DDrawSettings::Get().desktopBits;
  return mode;
}

std::string ProgramPath() {
  char path[4096];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

}  // namespace

DDrawObject::DDrawObject() : mainThread_(std::this_thread::get_id()) {}

DDrawObject::~DDrawObject() = default;

HRESULT DDrawObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("QueryInterface")) return hr;
  if (iid == IID_IDirectDraw) {
    *out = static_cast<IDirectDraw*>(this);
  } else if (iid == IID_IDirectDraw7) {
    *out = static_cast<IDirectDraw7*>(this);
  } else if (iid == IID_IDirect3D7) {
    return CreateDirect3D7(static_cast<IDirectDraw7*>(this), out);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return DD_OK;
}

ULONG DDrawObject::AddRef() { return ++refs_; }

ULONG DDrawObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT DDrawObject::SetCooperativeLevel(HWND hwnd, DWORD flags) {
  if (HRESULT hr = DDrawFaults::Take("SetCooperativeLevel")) return hr;
  const bool exclusive = flags & DDSCL_EXCLUSIVE;
  const bool fullScreen = flags & DDSCL_FULLSCREEN;
  const bool normal = flags & DDSCL_NORMAL;
  if (exclusive != fullScreen || normal == exclusive) return DDERR_INVALIDPARAMS;
  if (exclusive && !hwnd) return DDERR_INVALIDPARAMS;
  std::lock_guard<std::mutex> guard(mutex_);
  if (hwnd != window_ || !presenter_) presenter_ = DDrawPresenter::ForWindow(hwnd);
  window_ = hwnd;
  level_ = flags;
  if (normal && modeWidth_) {
    modeWidth_ = modeHeight_ = modeBits_ = 0;
    presenter_->SetMode(0, 0);
  }
  return DD_OK;
}

HRESULT DDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bpp) {
  if (HRESULT hr = DDrawFaults::Take("SetDisplayMode")) return hr;
  const DisplayMode desktop = Desktop();
  std::lock_guard<std::mutex> guard(mutex_);
  if (!(level_ & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  if ((bpp != 16 && bpp != 32) || width == 0 || height == 0 || width > static_cast<DWORD>(desktop.width) ||
      height > static_cast<DWORD>(desktop.height))
    return DDERR_INVALIDMODE;
  // Where the desktop's mode stays, the mode is the desktop's and the display places its picture in it.
  const bool desktopMode = presenter_->KeepsDesktopMode();
  modeWidth_ = desktopMode ? desktop.width : static_cast<int>(width);
  modeHeight_ = desktopMode ? desktop.height : static_cast<int>(height);
  modeBits_ = static_cast<int>(bpp);
  presenter_->SetMode(modeWidth_, modeHeight_);
  return DD_OK;
}

HRESULT DDrawObject::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD, DWORD) {
  return SetDisplayMode(width, height, bpp);
}

HRESULT DDrawObject::RestoreDisplayMode() {
  std::lock_guard<std::mutex> guard(mutex_);
  modeWidth_ = modeHeight_ = modeBits_ = 0;
  if (presenter_) presenter_->SetMode(0, 0);
  return DD_OK;
}

DDPIXELFORMAT DDrawObject::DisplayFormat() const {
  return FormatOfDepth(modeBits_ ? modeBits_ : Desktop().bitsPerPixel, DDrawSettings::Get().desktop555);
}

HRESULT DDrawObject::MakeSurface(DDSURFACEDESC2& desc, DDrawSurface** out) {
  const DDrawSettings& s = DDrawSettings::Get();
  std::lock_guard<std::mutex> guard(mutex_);
  const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
  const DDPIXELFORMAT display = DisplayFormat();
  if (caps & DDSCAPS_PRIMARYSURFACE) {
    if (!level_) return DDERR_NOCOOPERATIVELEVELSET;
    if (hasPrimary_) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    const bool flipping = caps & DDSCAPS_FLIP;
    if (flipping &&
        (!(level_ & DDSCL_EXCLUSIVE) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount != 1))
      return (level_ & DDSCL_EXCLUSIVE) ? DDERR_INVALIDPARAMS : DDERR_NOEXCLUSIVEMODE;
    const DisplayMode desktop = Desktop();
    int w = modeWidth_ ? modeWidth_ : desktop.width;
    int h = modeHeight_ ? modeHeight_ : desktop.height;
    // A windowed primary is the window's client area: screen and client coordinates are one here.
    RECT client{};
    if (!(level_ & DDSCL_EXCLUSIVE) && window_ && GetClientRect(window_, &client) && client.right > 0 &&
        client.bottom > 0) {
      w = client.right;
      h = client.bottom;
    }
    auto* primary = new DDrawSurface(this, w, h, display, caps | (flipping ? DDSCAPS_FRONTBUFFER : 0), 0);
    if (flipping)
      primary->AttachBackBuffer(new DDrawSurface(this, w, h, display, DDSCAPS_BACKBUFFER | DDSCAPS_FLIP, 0));
    hasPrimary_ = true;
    *out = primary;
    return DD_OK;
  }
  if (!(desc.dwFlags & DDSD_WIDTH) || !(desc.dwFlags & DDSD_HEIGHT) || desc.dwWidth == 0 || desc.dwHeight == 0 ||
      desc.dwWidth > 16384 || desc.dwHeight > 16384)
    return DDERR_INVALIDPARAMS;
  if ((caps & DDSCAPS_VIDEOMEMORY) && (caps & DDSCAPS_SYSTEMMEMORY)) return DDERR_INVALIDCAPS;
  DDPIXELFORMAT format = display;
  if (desc.dwFlags & DDSD_PIXELFORMAT) {
    if (!SupportedFormat(desc.ddpfPixelFormat)) return DDERR_INVALIDPIXELFORMAT;
    format = desc.ddpfPixelFormat;
  }
  const int w = static_cast<int>(desc.dwWidth);
  const int h = static_cast<int>(desc.dwHeight);
  const size_t bytes = static_cast<size_t>(w * static_cast<int>(format.dwRGBBitCount / 8) + s.pitchPadding) * h;
  if ((caps & DDSCAPS_VIDEOMEMORY) && !ReserveVideoMemory(bytes)) return DDERR_OUTOFVIDEOMEMORY;
  *out = new DDrawSurface(this, w, h, format, caps, desc.ddsCaps.dwCaps2);
  return DD_OK;
}

HRESULT DDrawObject::CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, IUnknown*) {
  if (!desc || !out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("CreateSurface")) return hr;
  DDrawSurface* surface = nullptr;
  const HRESULT hr = MakeSurface(*desc, &surface);
  if (surface) *out = surface;
  return hr;
}

HRESULT DDrawObject::CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, IUnknown*) {
  if (!desc || !out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("CreateSurface")) return hr;
  DDSURFACEDESC2 full;
  CopySurfaceDesc(full, *desc);
  DDrawSurface* surface = nullptr;
  const HRESULT hr = MakeSurface(full, &surface);
  if (surface) *out = surface;
  return hr;
}

HRESULT DDrawObject::CreateClipper(DWORD, IDirectDrawClipper** out, IUnknown*) {
  if (!out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("CreateClipper")) return hr;
  *out = new DDrawClipper(this);
  return DD_OK;
}

HRESULT DDrawObject::CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, IUnknown*) {
  if (!out || !entries || !(flags & DDPCAPS_8BIT)) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (HRESULT hr = DDrawFaults::Take("CreatePalette")) return hr;
  *out = new DDrawPalette(this, entries);
  return DD_OK;
}

HRESULT DDrawObject::FlipToGDISurface() {
  if (HRESULT hr = DDrawFaults::Take("FlipToGDISurface")) return hr;
  flippedToGdi_ = true;
  return DD_OK;
}

HRESULT DDrawObject::GetMonitorFrequency(DWORD* hz) {
  if (!hz) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetMonitorFrequency")) return hr;
  *hz = DDrawSettings::Get().refreshRate;
  return DD_OK;
}

HRESULT DDrawObject::WaitForVerticalBlank(DWORD flags, HANDLE) {
  if (flags != DDWAITVB_BLOCKBEGIN) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("WaitForVerticalBlank")) return hr;
  const DDrawSettings& s = DDrawSettings::Get();
  if (s.waitForVerticalBlank && s.refreshRate > 0) {
    const DWORD period = 1000 / s.refreshRate;
    if (period > 0) Sleep(period - GetTickCount() % period);
  }
  return DD_OK;
}

HRESULT DDrawObject::GetScanLine(DWORD* line) {
  if (!line) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetScanLine")) return hr;
  const auto& beam = DDrawSettings::Get().scanLine;
  return beam ? beam(line) : DDERR_UNSUPPORTED;
}

HRESULT DDrawObject::GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) {
  if (!caps) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetAvailableVidMem")) return hr;
  std::lock_guard<std::mutex> guard(mutex_);
  const DWORD all = DDrawSettings::Get().videoMemoryTotal;
  if (total) *total = all;
  if (free) *free = all - static_cast<DWORD>(std::min<size_t>(videoMemoryUsed_, all));
  return DD_OK;
}

HRESULT DDrawObject::GetDeviceIdentifier(DDDEVICEIDENTIFIER2* id, DWORD) {
  if (!id) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetDeviceIdentifier")) return hr;
  const DDrawSettings& s = DDrawSettings::Get();
  *id = DDDEVICEIDENTIFIER2();
  CopyText(id->szDriver, s.driver.empty() ? ProgramPath() : s.driver);
  CopyText(id->szDescription, s.description);
  id->guidDeviceIdentifier = GUID{0x56454C4B, 0x0DD7, 0x0001, {'s', 'o', 'f', 't', 'w', 'a', 'r', 'e'}};
  return DD_OK;
}

bool DDrawObject::ReserveVideoMemory(size_t bytes) {
  if (videoMemoryUsed_ + bytes > DDrawSettings::Get().videoMemoryTotal) return false;
  videoMemoryUsed_ += bytes;
  return true;
}

void DDrawObject::ReturnVideoMemory(size_t bytes) {
  std::lock_guard<std::mutex> guard(mutex_);
  videoMemoryUsed_ -= std::min(bytes, videoMemoryUsed_);
}

void DDrawObject::PrimaryGone() {
  std::lock_guard<std::mutex> guard(mutex_);
  hasPrimary_ = false;
}

POINT DDrawObject::WindowedOrigin() {
  HWND window = nullptr;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!(level_ & DDSCL_EXCLUSIVE)) window = window_;
  }
  POINT origin{0, 0};
  if (window != nullptr) ClientToScreen(window, &origin);
  return origin;
}

void DDrawObject::ShowPrimary(const DDrawSurface& primary) {
  const bool mainThread = std::this_thread::get_id() == mainThread_;
  std::lock_guard<std::mutex> guard(mutex_);
  if (presenter_) {
    presenter_->Present(primary, mainThread);
  } else {
    DDrawScreen::Record(primary);
  }
}

}  // namespace Velk
