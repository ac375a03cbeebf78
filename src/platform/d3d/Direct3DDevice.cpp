#include "platform/d3d/Direct3DDevice.h"
#include "platform/ddraw/DDrawPixelFormat.h"

#include "platform/d3d/D3DPixelCodec.h"
#include "platform/d3d/D3DPixelPipeline.h"
#include "platform/d3d/D3DRasterizer.h"
#include "platform/d3d/D3DSettings.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/ddraw/DDrawSurface.h"

#include <algorithm>
#include <mutex>
#include <optional>

namespace Velk {

namespace {

DWORD MinimumCount(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return 1;
    case D3DPT_LINELIST:
    case D3DPT_LINESTRIP:
      return 2;
    default:
      return 3;
  }
}

// The triangles of a strip or a fan, which share an edge with the next; corners(i, c) gives those of
// triangle i.
template <class Corners>
void DrawInPairs(const D3DRasterizer& raster, DWORD triangles, Corners corners) {
  const D3DTLVERTEX* first[3];
  const D3DTLVERTEX* second[3];
  DWORD i = 0;
  for (; i + 1 < triangles; i += 2) {
    corners(i, first);
    corners(i + 1, second);
    raster.TrianglePair(first, second);
  }
  if (i < triangles) {
    corners(i, first);
    raster.Triangle(*first[0], *first[1], *first[2]);
  }
}

}  // namespace

DDPIXELFORMAT Direct3DDevice::TextureFormat(DWORD settingsBit) {
  switch (settingsBit) {
    case D3DSettings::kA8R8G8B8:
      return RgbPixelFormat(32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF);
    case D3DSettings::kX8R8G8B8:
      return RgbPixelFormat(32, 0, 0xFF0000, 0xFF00, 0xFF);
    case D3DSettings::kA4R4G4B4:
      return RgbPixelFormat(16, 0xF000, 0x0F00, 0x00F0, 0x000F);
    case D3DSettings::kA1R5G5B5:
      return RgbPixelFormat(16, 0x8000, 0x7C00, 0x03E0, 0x001F);
    case D3DSettings::kX1R5G5B5:
      return RgbPixelFormat(16, 0, 0x7C00, 0x03E0, 0x001F);
    case D3DSettings::kR5G6B5:
      return RgbPixelFormat(16, 0, 0xF800, 0x07E0, 0x001F);
    default:
      return Pal8PixelFormat();
  }
}

Direct3DDevice::Direct3DDevice(DDrawSurface* target) : target_(target) {
  static_cast<IDirectDrawSurface7*>(target_)->AddRef();
  auto& rs = renderStates_;
  rs[D3DRENDERSTATE_ZENABLE] = D3DZB_FALSE;
  rs[D3DRENDERSTATE_FILLMODE] = D3DFILL_SOLID;
  rs[D3DRENDERSTATE_SHADEMODE] = D3DSHADE_GOURAUD;
  rs[D3DRENDERSTATE_ZWRITEENABLE] = TRUE;
  rs[D3DRENDERSTATE_LASTPIXEL] = TRUE;
  rs[D3DRENDERSTATE_SRCBLEND] = D3DBLEND_ONE;
  rs[D3DRENDERSTATE_DESTBLEND] = D3DBLEND_ZERO;
  rs[D3DRENDERSTATE_CULLMODE] = D3DCULL_CCW;
  rs[D3DRENDERSTATE_ALPHAFUNC] = D3DCMP_ALWAYS;
  rs[D3DRENDERSTATE_TEXTUREFACTOR] = 0xFFFFFFFFu;
  rs[D3DRENDERSTATE_CLIPPING] = TRUE;
  rs[D3DRENDERSTATE_LIGHTING] = TRUE;
  for (int s = 0; s < kStages; ++s) {
    auto& ts = stageStates_[s];
    ts[D3DTSS_COLOROP] = s == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ts[D3DTSS_ALPHAOP] = s == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ts[D3DTSS_COLORARG1] = ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ts[D3DTSS_COLORARG2] = ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = D3DTFG_POINT;
    ts[D3DTSS_MIPFILTER] = D3DTFP_NONE;
  }
  ResetViewport();
}

Direct3DDevice::~Direct3DDevice() {
  for (DDrawSurface* t : textures_)
    if (t) static_cast<IDirectDrawSurface7*>(t)->Release();
  static_cast<IDirectDrawSurface7*>(target_)->Release();
}

HRESULT Direct3DDevice::QueryInterface(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

ULONG Direct3DDevice::AddRef() { return ++refs_; }

ULONG Direct3DDevice::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

void Direct3DDevice::ResetViewport() {
  viewport_ = D3DVIEWPORT7{0, 0, static_cast<DWORD>(target_->Width()), static_cast<DWORD>(target_->Height()), 0, 1};
}

HRESULT Direct3DDevice::GetCaps(D3DDEVICEDESC7* desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetCaps")) return hr;
  const D3DSettings& s = D3DSettings::Get();
  *desc = D3DDEVICEDESC7();
  for (D3DPRIMCAPS* caps : {&desc->dpcLineCaps, &desc->dpcTriCaps}) {
    caps->dwTextureCaps = s.textureCaps;
    caps->dwSrcBlendCaps = caps->dwDestBlendCaps = D3DPBLENDCAPS_ZERO | D3DPBLENDCAPS_ONE | D3DPBLENDCAPS_SRCCOLOR |
                                                   D3DPBLENDCAPS_INVSRCCOLOR | D3DPBLENDCAPS_SRCALPHA |
                                                   D3DPBLENDCAPS_INVSRCALPHA;
    caps->dwTextureFilterCaps = D3DPTFILTERCAPS_NEAREST | D3DPTFILTERCAPS_LINEAR;
    caps->dwTextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_CLAMP;
  }
  desc->dwDeviceRenderBitDepth = 0x500;  // 16 and 32 bits
  desc->dwMinTextureWidth = s.minTextureWidth;
  desc->dwMinTextureHeight = s.minTextureHeight;
  desc->dwMaxTextureWidth = s.maxTextureWidth;
  desc->dwMaxTextureHeight = s.maxTextureHeight;
  desc->dwMaxTextureAspectRatio = s.maxTextureAspectRatio;
  desc->deviceGUID = IID_IDirect3DHALDevice;
  return DD_OK;
}

HRESULT Direct3DDevice::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("EnumTextureFormats")) return hr;
  const DWORD offered = D3DSettings::Get().formats;
  for (DWORD bit = 1; bit <= D3DSettings::kPal8; bit <<= 1) {
    if (!(offered & bit)) continue;
    DDPIXELFORMAT f = TextureFormat(bit);
    if (callback(&f, context) == D3DENUMRET_CANCEL) break;
  }
  return DD_OK;
}

HRESULT Direct3DDevice::BeginScene() {
  if (HRESULT hr = DDrawFaults::Take("BeginScene")) return hr;
  if (inScene_) return D3DERR_SCENE_IN_SCENE;
  inScene_ = true;
  return DD_OK;
}

HRESULT Direct3DDevice::EndScene() {
  if (HRESULT hr = DDrawFaults::Take("EndScene")) return hr;
  if (!inScene_) return D3DERR_SCENE_NOT_IN_SCENE;
  inScene_ = false;
  return DD_OK;
}

HRESULT Direct3DDevice::SetRenderTarget(IDirectDrawSurface7* target, DWORD) {
  if (!target) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("SetRenderTarget")) return hr;
  DDrawSurface* surface = DDrawSurface::From(target);
  const int bits = surface->BytesPerPixel() * 8;
  if (!(surface->Caps() & DDSCAPS_3DDEVICE) || (bits != 16 && bits != 24 && bits != 32)) return DDERR_INVALIDCAPS;
  target->AddRef();
  static_cast<IDirectDrawSurface7*>(target_)->Release();
  target_ = surface;
  ResetViewport();
  return DD_OK;
}

HRESULT Direct3DDevice::Clear(DWORD count, D3DRECT* rects, DWORD flags, DWORD color, float, DWORD) {
  if (HRESULT hr = DDrawFaults::Take("Clear")) return hr;
  if (flags & D3DCLEAR_ZBUFFER) return D3DERR_ZBUFFER_NOTPRESENT;
  if (flags & D3DCLEAR_STENCIL) return D3DERR_STENCILBUFFER_NOTPRESENT;
  if (!(flags & D3DCLEAR_TARGET)) return DD_OK;
  const D3DRECT whole{static_cast<LONG>(viewport_.dwX), static_cast<LONG>(viewport_.dwY),
                      static_cast<LONG>(viewport_.dwX + viewport_.dwWidth),
                      static_cast<LONG>(viewport_.dwY + viewport_.dwHeight)};
  if (!rects) count = 1;
  std::lock_guard<std::mutex> guard(target_->Mutex());
  if (target_->IsLocked()) return DDERR_SURFACEBUSY;
  const D3DPixelCodec codec(target_->Format());
  const uint32_t pixel = codec.Encode(color);
  uint8_t* pixels = target_->MutablePixels();
  for (DWORD i = 0; i < count; ++i) {
    const D3DRECT r = rects ? rects[i] : whole;
    const LONG left = std::max(r.x1, whole.x1), right = std::min(r.x2, whole.x2);
    const LONG top = std::max(r.y1, whole.y1), bottom = std::min(r.y2, whole.y2);
    for (LONG y = top; y < bottom; ++y)
      for (LONG x = left; x < right; ++x)
        codec.Write(pixels + static_cast<size_t>(y) * target_->Pitch() + static_cast<size_t>(x) * codec.BytesPerPixel(),
                    pixel);
  }
  return DD_OK;
}

HRESULT Direct3DDevice::SetViewport(D3DVIEWPORT7* viewport) {
  if (!viewport) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("SetViewport")) return hr;
  const uint64_t right = uint64_t{viewport->dwX} + viewport->dwWidth;
  const uint64_t bottom = uint64_t{viewport->dwY} + viewport->dwHeight;
  if (right > static_cast<uint64_t>(target_->Width()) || bottom > static_cast<uint64_t>(target_->Height()))
    return DDERR_INVALIDPARAMS;
  viewport_ = *viewport;
  return DD_OK;
}

void Direct3DDevice::SetHiddenRows(int top, int bottom) {
  hiddenTop_ = top;
  hiddenBottom_ = bottom;
}

HRESULT Direct3DDevice::GetViewport(D3DVIEWPORT7* viewport) {
  if (!viewport) return DDERR_INVALIDPARAMS;
  *viewport = viewport_;
  return DD_OK;
}

HRESULT Direct3DDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= renderStates_.size()) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("SetRenderState")) return hr;
  renderStates_[state] = value;
  return DD_OK;
}

HRESULT Direct3DDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
  if (state >= renderStates_.size() || !value) return DDERR_INVALIDPARAMS;
  *value = renderStates_[state];
  return DD_OK;
}

HRESULT Direct3DDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
  if (stage >= kStages || state >= 32) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("SetTextureStageState")) return hr;
  stageStates_[stage][state] = value;
  return DD_OK;
}

HRESULT Direct3DDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) {
  if (stage >= kStages || state >= 32 || !value) return DDERR_INVALIDPARAMS;
  *value = stageStates_[stage][state];
  return DD_OK;
}

HRESULT Direct3DDevice::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
  if (stage >= kStages) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("SetTexture")) return hr;
  DDrawSurface* surface = texture ? DDrawSurface::From(texture) : nullptr;
  if (surface && !(surface->Caps() & DDSCAPS_TEXTURE)) return DDERR_INVALIDCAPS;
  if (texture) texture->AddRef();
  if (textures_[stage]) static_cast<IDirectDrawSurface7*>(textures_[stage])->Release();
  textures_[stage] = surface;
  return DD_OK;
}

D3DPipelineState Direct3DDevice::PipelineState() const {
  const auto& rs = renderStates_;
  const auto& ts = stageStates_[0];
  D3DPipelineState s;
  s.linear = ts[D3DTSS_MAGFILTER] == D3DTFG_LINEAR || ts[D3DTSS_MINFILTER] == D3DTFG_LINEAR;
  s.wrapU = ts[D3DTSS_ADDRESSU] != D3DTADDRESS_CLAMP;
  s.wrapV = ts[D3DTSS_ADDRESSV] != D3DTADDRESS_CLAMP;
  s.colorOp = ts[D3DTSS_COLOROP];
  s.colorArg1 = ts[D3DTSS_COLORARG1];
  s.colorArg2 = ts[D3DTSS_COLORARG2];
  s.alphaOp = ts[D3DTSS_ALPHAOP];
  s.alphaArg1 = ts[D3DTSS_ALPHAARG1];
  s.alphaArg2 = ts[D3DTSS_ALPHAARG2];
  s.textureFactor = rs[D3DRENDERSTATE_TEXTUREFACTOR];
  s.blend = rs[D3DRENDERSTATE_ALPHABLENDENABLE] != 0;
  s.srcBlend = rs[D3DRENDERSTATE_SRCBLEND];
  s.destBlend = rs[D3DRENDERSTATE_DESTBLEND];
  s.hiddenTop = hiddenTop_;
  s.hiddenBottom = hiddenBottom_;
  if (const auto& fault = D3DSettings::Get().blendFault) fault(s.srcBlend, s.destBlend);
  return s;
}

HRESULT Direct3DDevice::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count, DWORD) {
  if (HRESULT hr = DDrawFaults::Take("DrawPrimitive")) return hr;
  if (fvf != D3DFVF_TLVERTEX) return D3DERR_INVALIDVERTEXTYPE;
  if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) return D3DERR_INVALIDPRIMITIVETYPE;
  if (!inScene_) return D3DERR_SCENE_NOT_IN_SCENE;
  if (!vertices) return DDERR_INVALIDPARAMS;
  if (count < MinimumCount(type)) return DD_OK;
  return Draw(type, static_cast<const D3DTLVERTEX*>(vertices), count);
}

HRESULT Direct3DDevice::Draw(D3DPRIMITIVETYPE type, const D3DTLVERTEX* v, DWORD count) {
  DDrawSurface* texture = textures_[0];
  std::unique_lock<std::mutex> targetLock(target_->Mutex(), std::defer_lock);
  std::unique_lock<std::mutex> textureLock;
  if (texture && texture != target_) {
    textureLock = std::unique_lock<std::mutex>(texture->Mutex(), std::defer_lock);
    std::lock(targetLock, textureLock);
  } else {
    targetLock.lock();
  }
  if (target_->IsLocked() || (texture && texture->IsLocked())) return DDERR_SURFACEBUSY;
  D3DPipelineState state = PipelineState();
  std::optional<D3DPixelCodec> texelCodec;
  std::array<uint32_t, 256> palette{};
  if (texture) {
    texelCodec.emplace(texture->Format());
    state.texture =
        D3DTextureView{texture->Pixels(), texture->Width(), texture->Height(), texture->Pitch(), &*texelCodec, nullptr};
    if (texelCodec->IsPalettized()) {
      PALETTEENTRY entries[256];
      IDirectDrawPalette* p = texture->Palette();
      if (p && SUCCEEDED(p->GetEntries(0, 0, 256, entries))) {
        for (int i = 0; i < 256; ++i)
          palette[i] = uint32_t{entries[i].peFlags} << 24 | uint32_t{entries[i].peRed} << 16 |
                       uint32_t{entries[i].peGreen} << 8 | entries[i].peBlue;
      }
      state.texture.palette = &palette;
    }
  }
  const D3DPixelCodec codec(target_->Format());
  const D3DPixelPipeline pipeline(state, target_->MutablePixels(), target_->Pitch(), codec);
  const int right = std::min<int>(target_->Width(), static_cast<int>(viewport_.dwX + viewport_.dwWidth));
  const int bottom = std::min<int>(target_->Height(), static_cast<int>(viewport_.dwY + viewport_.dwHeight));
  const D3DRasterizer raster(
      pipeline, D3DRasterizer::Clip{static_cast<int>(viewport_.dwX), static_cast<int>(viewport_.dwY), right, bottom},
      renderStates_[D3DRENDERSTATE_SHADEMODE] == D3DSHADE_FLAT, renderStates_[D3DRENDERSTATE_CULLMODE]);
  switch (type) {
    case D3DPT_POINTLIST:
      for (DWORD i = 0; i < count; ++i) raster.Point(v[i]);
      break;
    case D3DPT_LINELIST:
      for (DWORD i = 0; i + 1 < count; i += 2) raster.Line(v[i], v[i + 1]);
      break;
    case D3DPT_LINESTRIP:
      for (DWORD i = 0; i + 1 < count; ++i) raster.Line(v[i], v[i + 1]);
      break;
    case D3DPT_TRIANGLELIST:
      for (DWORD i = 0; i + 2 < count; i += 3) raster.Triangle(v[i], v[i + 1], v[i + 2]);
      break;
    case D3DPT_TRIANGLESTRIP:
      // Every other triangle is taken in reverse so that all keep the winding of the first.
      DrawInPairs(raster, count - 2, [v](DWORD i, const D3DTLVERTEX*(&corners)[3]) {
        corners[0] = &v[i + i % 2];
        corners[1] = &v[i + 1 - i % 2];
        corners[2] = &v[i + 2];
      });
      break;
    default:
      DrawInPairs(raster, count - 2, [v](DWORD i, const D3DTLVERTEX*(&corners)[3]) {
        corners[0] = &v[0];
        corners[1] = &v[i + 1];
        corners[2] = &v[i + 2];
      });
      break;
  }
  return DD_OK;
}

}  // namespace Velk
