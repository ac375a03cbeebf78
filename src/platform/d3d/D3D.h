#pragma once
// The Direct3D 7 calls the renderer and the 3-D test are written against: a fixed-function device
// for pre-transformed vertices that draws into the DirectDraw stand-in's surfaces. Our own layout; the
// names and numeric values are the ones callers pass and compare against.

#include "platform/ddraw/DDraw.h"

extern const IID IID_IDirect3DHALDevice;
extern const IID IID_IDirect3DRGBDevice;
extern const IID IID_IDirect3DTnLHalDevice;

constexpr HRESULT MakeD3DError(uint32_t code) { return static_cast<HRESULT>(0x88760000u | code); }
constexpr HRESULT D3DERR_INVALIDPRIMITIVETYPE = MakeD3DError(736);
constexpr HRESULT D3DERR_INVALIDVERTEXTYPE = MakeD3DError(737);
constexpr HRESULT D3DERR_SCENE_IN_SCENE = MakeD3DError(760);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = MakeD3DError(761);
constexpr HRESULT D3DERR_ZBUFFER_NOTPRESENT = MakeD3DError(2070);
constexpr HRESULT D3DERR_STENCILBUFFER_NOTPRESENT = MakeD3DError(2071);

constexpr HRESULT D3DENUMRET_CANCEL = 0;
constexpr HRESULT D3DENUMRET_OK = 1;

constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_TLVERTEX = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

constexpr DWORD D3DDP_WAIT = 0x1;
constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;
constexpr DWORD D3DCLEAR_STENCIL = 0x4;

enum D3DPRIMITIVETYPE : DWORD {
  D3DPT_POINTLIST = 1,
  D3DPT_LINELIST = 2,
  D3DPT_LINESTRIP = 3,
  D3DPT_TRIANGLELIST = 4,
  D3DPT_TRIANGLESTRIP = 5,
  D3DPT_TRIANGLEFAN = 6,
};

enum D3DRENDERSTATETYPE : DWORD {
  D3DRENDERSTATE_ZENABLE = 7,
  D3DRENDERSTATE_FILLMODE = 8,
  D3DRENDERSTATE_SHADEMODE = 9,
  D3DRENDERSTATE_ZWRITEENABLE = 14,
  D3DRENDERSTATE_ALPHATESTENABLE = 15,
  D3DRENDERSTATE_LASTPIXEL = 16,
  D3DRENDERSTATE_SRCBLEND = 19,
  D3DRENDERSTATE_DESTBLEND = 20,
  D3DRENDERSTATE_CULLMODE = 22,
  D3DRENDERSTATE_ZFUNC = 23,
  D3DRENDERSTATE_ALPHAREF = 24,
  D3DRENDERSTATE_ALPHAFUNC = 25,
  D3DRENDERSTATE_DITHERENABLE = 26,
  D3DRENDERSTATE_ALPHABLENDENABLE = 27,
  D3DRENDERSTATE_FOGENABLE = 28,
  D3DRENDERSTATE_SPECULARENABLE = 29,
  D3DRENDERSTATE_TEXTUREFACTOR = 60,
  D3DRENDERSTATE_CLIPPING = 136,
  D3DRENDERSTATE_LIGHTING = 137,
};

enum D3DTEXTURESTAGESTATETYPE : DWORD {
  D3DTSS_COLOROP = 1,
  D3DTSS_COLORARG1 = 2,
  D3DTSS_COLORARG2 = 3,
  D3DTSS_ALPHAOP = 4,
  D3DTSS_ALPHAARG1 = 5,
  D3DTSS_ALPHAARG2 = 6,
  D3DTSS_ADDRESSU = 13,
  D3DTSS_ADDRESSV = 14,
  D3DTSS_MAGFILTER = 16,
  D3DTSS_MINFILTER = 17,
  D3DTSS_MIPFILTER = 18,
};

constexpr DWORD D3DZB_FALSE = 0;
constexpr DWORD D3DFILL_SOLID = 3;
constexpr DWORD D3DSHADE_FLAT = 1;
constexpr DWORD D3DSHADE_GOURAUD = 2;
constexpr DWORD D3DCMP_ALWAYS = 8;
constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;

enum D3DBLEND : DWORD {
  D3DBLEND_ZERO = 1,
  D3DBLEND_ONE = 2,
  D3DBLEND_SRCCOLOR = 3,
  D3DBLEND_INVSRCCOLOR = 4,
  D3DBLEND_SRCALPHA = 5,
  D3DBLEND_INVSRCALPHA = 6,
  D3DBLEND_DESTALPHA = 7,
  D3DBLEND_INVDESTALPHA = 8,
  D3DBLEND_DESTCOLOR = 9,
  D3DBLEND_INVDESTCOLOR = 10,
  D3DBLEND_SRCALPHASAT = 11,
};

enum D3DTEXTUREOP : DWORD {
  D3DTOP_DISABLE = 1,
  D3DTOP_SELECTARG1 = 2,
  D3DTOP_SELECTARG2 = 3,
  D3DTOP_MODULATE = 4,
  D3DTOP_ADD = 7,
};

constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTA_TFACTOR = 3;

constexpr DWORD D3DTADDRESS_WRAP = 1;
constexpr DWORD D3DTADDRESS_CLAMP = 3;
constexpr DWORD D3DTFG_POINT = 1;
constexpr DWORD D3DTFG_LINEAR = 2;
constexpr DWORD D3DTFP_NONE = 1;
constexpr DWORD D3DTFP_POINT = 2;

constexpr DWORD D3DPTEXTURECAPS_PERSPECTIVE = 0x1;
constexpr DWORD D3DPTEXTURECAPS_ALPHA = 0x4;
constexpr DWORD D3DPTEXTURECAPS_TRANSPARENCY = 0x8;
constexpr DWORD D3DPTEXTURECAPS_ALPHAPALETTE = 0x80;

constexpr DWORD D3DPBLENDCAPS_ZERO = 0x1;
constexpr DWORD D3DPBLENDCAPS_ONE = 0x2;
constexpr DWORD D3DPBLENDCAPS_SRCCOLOR = 0x4;
constexpr DWORD D3DPBLENDCAPS_INVSRCCOLOR = 0x8;
constexpr DWORD D3DPBLENDCAPS_SRCALPHA = 0x10;
constexpr DWORD D3DPBLENDCAPS_INVSRCALPHA = 0x20;
constexpr DWORD D3DPTFILTERCAPS_NEAREST = 0x1;
constexpr DWORD D3DPTFILTERCAPS_LINEAR = 0x2;
constexpr DWORD D3DPTADDRESSCAPS_WRAP = 0x1;
constexpr DWORD D3DPTADDRESSCAPS_CLAMP = 0x4;

struct D3DPRIMCAPS {
  DWORD dwSize = sizeof(D3DPRIMCAPS);
  DWORD dwMiscCaps = 0;
  DWORD dwRasterCaps = 0;
  DWORD dwZCmpCaps = 0;
  DWORD dwSrcBlendCaps = 0;
  DWORD dwDestBlendCaps = 0;
  DWORD dwAlphaCmpCaps = 0;
  DWORD dwShadeCaps = 0;
  DWORD dwTextureCaps = 0;
  DWORD dwTextureFilterCaps = 0;
  DWORD dwTextureBlendCaps = 0;
  DWORD dwTextureAddressCaps = 0;
};

struct D3DDEVICEDESC7 {
  DWORD dwDevCaps = 0;
  D3DPRIMCAPS dpcLineCaps;
  D3DPRIMCAPS dpcTriCaps;
  DWORD dwDeviceRenderBitDepth = 0;
  DWORD dwDeviceZBufferBitDepth = 0;
  DWORD dwMinTextureWidth = 0;
  DWORD dwMinTextureHeight = 0;
  DWORD dwMaxTextureWidth = 0;
  DWORD dwMaxTextureHeight = 0;
  DWORD dwMaxTextureRepeat = 0;
  DWORD dwMaxTextureAspectRatio = 0;
  GUID deviceGUID;
};

struct D3DVIEWPORT7 {
  DWORD dwX = 0;
  DWORD dwY = 0;
  DWORD dwWidth = 0;
  DWORD dwHeight = 0;
  float dvMinZ = 0;
  float dvMaxZ = 1;
};

struct D3DRECT {
  LONG x1 = 0;
  LONG y1 = 0;
  LONG x2 = 0;
  LONG y2 = 0;
};

// The 32-byte transformed-and-lit vertex of D3DFVF_TLVERTEX.
struct D3DTLVERTEX {
  float sx = 0;
  float sy = 0;
  float sz = 0;
  float rhw = 1;
  DWORD color = 0;
  DWORD specular = 0;
  float tu = 0;
  float tv = 0;
};
static_assert(sizeof(D3DTLVERTEX) == 32);

using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* format, void* context);

class IDirect3DDevice7 : public IUnknown {
 public:
  virtual HRESULT GetCaps(D3DDEVICEDESC7* desc) = 0;
  virtual HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) = 0;
  virtual HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, DWORD color, float z, DWORD stencil) = 0;
  virtual HRESULT SetViewport(D3DVIEWPORT7* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT7* viewport) = 0;
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
  virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) = 0;
  virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) = 0;
  virtual HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count, DWORD flags) = 0;
  // Our own, beside the device's calls: rows top..bottom - 1 of the target that the following draws
  // leave as they are, since the caller covers them opaquely afterwards; every other pixel gets the
  // bytes it gets without it. Equal values: none.
  virtual void SetHiddenRows(int top, int bottom) = 0;

 protected:
  ~IDirect3DDevice7() = default;
};

class IDirect3D7 : public IUnknown {
 public:
  virtual HRESULT CreateDevice(REFIID iid, IDirectDrawSurface7* target, IDirect3DDevice7** out) = 0;
  virtual HRESULT EnumZBufferFormats(REFIID iid, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;

 protected:
  ~IDirect3D7() = default;
};

// The Direct3D side of a DirectDraw object; it keeps the object alive. DirectDraw's QueryInterface
// for IID_IDirect3D7 answers with it.
HRESULT CreateDirect3D7(IDirectDraw7* directDraw, void** out);
