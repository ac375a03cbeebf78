#pragma once
// The DirectDraw 7 calls the display and the surface images are written against: structures,
// flags, result codes and the object interfaces. Our own layout; the field names and numeric values
// are the ones callers compare against.

#include "platform/base/ComBase.h"
#include "platform/base/WinTypes.h"

#include <cstdint>

extern const IID IID_IDirectDraw;
extern const IID IID_IDirectDraw7;
extern const IID IID_IDirectDrawSurface;
extern const IID IID_IDirectDrawSurface7;
extern const IID IID_IDirect3D7;

constexpr HRESULT DD_OK = 0;
constexpr HRESULT MakeDDError(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT DDERR_GENERIC = E_FAIL;
constexpr HRESULT DDERR_INVALIDPARAMS = E_INVALIDARG;
constexpr HRESULT DDERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DDERR_UNSUPPORTED = E_NOTIMPL;
constexpr HRESULT DDERR_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
constexpr HRESULT DDERR_INVALIDCAPS = MakeDDError(100);
constexpr HRESULT DDERR_INVALIDMODE = MakeDDError(120);
constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDError(130);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDDError(145);
constexpr HRESULT DDERR_INVALIDRECT = MakeDDError(150);
constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDDError(212);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDDError(225);
constexpr HRESULT DDERR_NOTFOUND = MakeDDError(255);
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeDDError(380);
constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDError(564);
constexpr HRESULT DDERR_SURFACEBUSY = MakeDDError(430);
constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = MakeDDError(510);
constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = MakeDDError(537);
constexpr HRESULT DDERR_NOTLOCKED = MakeDDError(584);
constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDDError(582);

constexpr DWORD DDSCL_FULLSCREEN = 0x1;
constexpr DWORD DDSCL_NORMAL = 0x8;
constexpr DWORD DDSCL_EXCLUSIVE = 0x10;

constexpr DWORD DDSD_CAPS = 0x1;
constexpr DWORD DDSD_HEIGHT = 0x2;
constexpr DWORD DDSD_WIDTH = 0x4;
constexpr DWORD DDSD_PITCH = 0x8;
constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
constexpr DWORD DDSD_LPSURFACE = 0x800;
constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
constexpr DWORD DDSD_CKSRCBLT = 0x10000;

constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
constexpr DWORD DDSCAPS_COMPLEX = 0x8;
constexpr DWORD DDSCAPS_FLIP = 0x10;
constexpr DWORD DDSCAPS_FRONTBUFFER = 0x20;
constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
constexpr DWORD DDSCAPS2_TEXTUREMANAGE = 0x10;

constexpr DWORD DDPF_ALPHAPIXELS = 0x1;
constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
constexpr DWORD DDPF_RGB = 0x40;

constexpr DWORD DDLOCK_WAIT = 0x1;
constexpr DWORD DDLOCK_READONLY = 0x10;
constexpr DWORD DDLOCK_WRITEONLY = 0x20;

constexpr DWORD DDBLT_DDFX = 0x800;
constexpr DWORD DDBLT_KEYSRC = 0x8000;
constexpr DWORD DDBLT_WAIT = 0x1000000;
constexpr DWORD DDBLTFX_ARITHSTRETCHY = 0x1;

constexpr DWORD DDFLIP_WAIT = 0x1;
constexpr DWORD DDCKEY_SRCBLT = 0x8;
constexpr DWORD DDWAITVB_BLOCKBEGIN = 0x1;

constexpr DWORD DDPCAPS_8BIT = 0x4;
constexpr DWORD DDPCAPS_ALLOW256 = 0x40;
constexpr DWORD DDPCAPS_ALPHA = 0x400;

struct DDPIXELFORMAT {
  DWORD dwSize = sizeof(DDPIXELFORMAT);
  DWORD dwFlags = 0;
  DWORD dwFourCC = 0;
  DWORD dwRGBBitCount = 0;
  DWORD dwRBitMask = 0;
  DWORD dwGBitMask = 0;
  DWORD dwBBitMask = 0;
  DWORD dwRGBAlphaBitMask = 0;
};

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue = 0;
  DWORD dwColorSpaceHighValue = 0;
};

struct DDSCAPS {
  DWORD dwCaps = 0;
};

struct DDSCAPS2 {
  DWORD dwCaps = 0;
  DWORD dwCaps2 = 0;
  DWORD dwCaps3 = 0;
  DWORD dwCaps4 = 0;
};

// The two descriptions share everything up to the capabilities.
template <typename Caps>
struct DDSurfaceDescOf {
  DWORD dwSize = sizeof(DDSurfaceDescOf);
  DWORD dwFlags = 0;
  DWORD dwHeight = 0;
  DWORD dwWidth = 0;
  LONG lPitch = 0;
  DWORD dwBackBufferCount = 0;
  DWORD dwRefreshRate = 0;
  DWORD dwAlphaBitDepth = 0;
  DWORD dwReserved = 0;
  void* lpSurface = nullptr;
  DDCOLORKEY ddckCKDestOverlay;
  DDCOLORKEY ddckCKDestBlt;
  DDCOLORKEY ddckCKSrcOverlay;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  Caps ddsCaps;
};

using DDSURFACEDESC = DDSurfaceDescOf<DDSCAPS>;

// Converts between the two descriptions; caps beyond the first word are dropped or zero.
template <typename To, typename From>
void CopySurfaceDesc(To& to, const From& from) {
  to.dwFlags = from.dwFlags;
  to.dwHeight = from.dwHeight;
  to.dwWidth = from.dwWidth;
  to.lPitch = from.lPitch;
  to.dwBackBufferCount = from.dwBackBufferCount;
  to.dwRefreshRate = from.dwRefreshRate;
  to.dwAlphaBitDepth = from.dwAlphaBitDepth;
  to.lpSurface = from.lpSurface;
  to.ddckCKDestOverlay = from.ddckCKDestOverlay;
  to.ddckCKDestBlt = from.ddckCKDestBlt;
  to.ddckCKSrcOverlay = from.ddckCKSrcOverlay;
  to.ddckCKSrcBlt = from.ddckCKSrcBlt;
  to.ddpfPixelFormat = from.ddpfPixelFormat;
  to.ddsCaps.dwCaps = from.ddsCaps.dwCaps;
}
struct DDSURFACEDESC2 : DDSurfaceDescOf<DDSCAPS2> {
  DDSURFACEDESC2() { dwSize = sizeof(DDSURFACEDESC2); }
  DWORD dwTextureStage = 0;
};

struct DDBLTFX {
  DWORD dwSize = sizeof(DDBLTFX);
  DWORD dwDDFX = 0;
  DWORD dwFillColor = 0;
  DDCOLORKEY ddckSrcColorkey;
};

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

struct DDDEVICEIDENTIFIER2 {
  char szDriver[512] = {};
  char szDescription[512] = {};
  DWORD dwVendorId = 0;
  DWORD dwDeviceId = 0;
  GUID guidDeviceIdentifier;
};

class IDirectDrawClipper : public IUnknown {
 public:
  virtual HRESULT SetHWnd(DWORD flags, HWND hwnd) = 0;

 protected:
  ~IDirectDrawClipper() = default;
};

class IDirectDrawPalette : public IUnknown {
 public:
  virtual HRESULT GetEntries(DWORD flags, DWORD base, DWORD count, PALETTEENTRY* entries) = 0;

 protected:
  ~IDirectDrawPalette() = default;
};

class IDirectDrawSurface : public IUnknown {
 public:
  virtual HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT Unlock(void* rect) = 0;
  virtual HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) = 0;
  virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
  virtual HRESULT Blt(RECT* dst, IDirectDrawSurface* src, RECT* srcRect, DWORD flags, DDBLTFX* fx) = 0;
  virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;
  virtual HRESULT GetAttachedSurface(DDSCAPS* caps, IDirectDrawSurface** out) = 0;
  virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;

 protected:
  ~IDirectDrawSurface() = default;
};

class IDirectDrawSurface7 : public IUnknown {
 public:
  virtual HRESULT Lock(RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) = 0;
  virtual HRESULT Unlock(void* rect) = 0;
  virtual HRESULT GetSurfaceDesc(DDSURFACEDESC2* desc) = 0;
  virtual HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) = 0;
  virtual HRESULT Blt(RECT* dst, IDirectDrawSurface7* src, RECT* srcRect, DWORD flags, DDBLTFX* fx) = 0;
  virtual HRESULT GetAttachedSurface(DDSCAPS2* caps, IDirectDrawSurface7** out) = 0;
  virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
  virtual HRESULT SetPalette(IDirectDrawPalette* palette) = 0;

 protected:
  ~IDirectDrawSurface7() = default;
};

class IDirectDraw : public IUnknown {
 public:
  virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** out, IUnknown* outer) = 0;
  virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, IUnknown* outer) = 0;
  virtual HRESULT FlipToGDISurface() = 0;
  virtual HRESULT GetMonitorFrequency(DWORD* hz) = 0;
  virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
  virtual HRESULT GetScanLine(DWORD* line) = 0;

 protected:
  ~IDirectDraw() = default;
};

class IDirectDraw7 : public IUnknown {
 public:
  virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) = 0;
  virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refresh, DWORD flags) = 0;
  virtual HRESULT RestoreDisplayMode() = 0;
  virtual HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface7** out, IUnknown* outer) = 0;
  virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** out, IUnknown* outer) = 0;
  virtual HRESULT CreatePalette(DWORD flags, PALETTEENTRY* entries, IDirectDrawPalette** out, IUnknown* outer) = 0;
  virtual HRESULT FlipToGDISurface() = 0;
  virtual HRESULT GetMonitorFrequency(DWORD* hz) = 0;
  virtual HRESULT WaitForVerticalBlank(DWORD flags, HANDLE event) = 0;
  virtual HRESULT GetScanLine(DWORD* line) = 0;
  virtual HRESULT GetAvailableVidMem(DDSCAPS2* caps, DWORD* total, DWORD* free) = 0;
  virtual HRESULT GetDeviceIdentifier(DDDEVICEIDENTIFIER2* id, DWORD flags) = 0;

 protected:
  ~IDirectDraw7() = default;
};

// The entry points of the "ddraw.dll" stand-in module.
HRESULT DirectDrawCreate(GUID* guid, IDirectDraw** out, IUnknown* outer);
HRESULT DirectDrawCreateEx(GUID* guid, void** out, REFIID iid, IUnknown* outer);
using DirectDrawCreateFunc = HRESULT (*)(GUID*, IDirectDraw**, IUnknown*);
using DirectDrawCreateExFunc = HRESULT (*)(GUID*, void**, REFIID, IUnknown*);
