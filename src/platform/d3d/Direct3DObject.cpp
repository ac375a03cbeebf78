#include "platform/d3d/Direct3DObject.h"

#include "platform/d3d/D3DSettings.h"
#include "platform/d3d/Direct3DDevice.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/ddraw/DDrawSurface.h"

// Our own identifiers: only equality matters to the callers.
const IID IID_IDirect3DHALDevice{0x56454C03, 0x3344, 0x0101, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 3, 1}};
const IID IID_IDirect3DRGBDevice{0x56454C03, 0x3344, 0x0102, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 3, 2}};
const IID IID_IDirect3DTnLHalDevice{0x56454C03, 0x3344, 0x0103, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 3, 3}};

HRESULT CreateDirect3D7(IDirectDraw7* directDraw, void** out) {
  if (!out) return E_POINTER;
  *out = static_cast<IDirect3D7*>(new Velk::Direct3DObject(directDraw));
  return DD_OK;
}

namespace Velk {

Direct3DObject::Direct3DObject(IDirectDraw7* directDraw) : directDraw_(directDraw) { directDraw_->AddRef(); }

Direct3DObject::~Direct3DObject() { directDraw_->Release(); }

HRESULT Direct3DObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!(iid == IID_IDirect3D7)) return E_NOINTERFACE;
  AddRef();
  *out = static_cast<IDirect3D7*>(this);
  return DD_OK;
}

ULONG Direct3DObject::AddRef() { return ++refs_; }

ULONG Direct3DObject::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT Direct3DObject::CreateDevice(REFIID iid, IDirectDrawSurface7* target, IDirect3DDevice7** out) {
  if (!out || !target) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (!(iid == IID_IDirect3DHALDevice || iid == IID_IDirect3DRGBDevice || iid == IID_IDirect3DTnLHalDevice))
    return DDERR_INVALIDPARAMS;
  if (D3DSettings::SoftwareForced()) return MakeDDError(170);  // DDERR_NO3D
  if (HRESULT hr = DDrawFaults::Take("CreateDevice")) return hr;
  DDrawSurface* surface = DDrawSurface::From(target);
  const int bits = surface->BytesPerPixel() * 8;
  if (!(surface->Caps() & DDSCAPS_3DDEVICE) || (bits != 16 && bits != 24 && bits != 32)) return DDERR_INVALIDCAPS;
  *out = new Direct3DDevice(surface);
  return DD_OK;
}

HRESULT Direct3DObject::EnumZBufferFormats(REFIID, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) {
  if (!callback) return DDERR_INVALIDPARAMS;
  DDPIXELFORMAT z;
  z.dwFlags = 0x400;  // DDPF_ZBUFFER
  z.dwRGBBitCount = 16;
  z.dwGBitMask = 0xFFFF;
  callback(&z, context);
  return DD_OK;
}

}  // namespace Velk
