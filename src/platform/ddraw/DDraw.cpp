#include "platform/ddraw/DDraw.h"

#include "platform/ddraw/DDrawObject.h"
#include "platform/ddraw/DDrawSettings.h"

// Our own identifiers: only equality matters to the callers.
const IID IID_IDirectDraw{0x56454C01, 0x4444, 0x0001, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 0, 1}};
const IID IID_IDirectDraw7{0x56454C01, 0x4444, 0x0007, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 0, 7}};
const IID IID_IDirectDrawSurface{0x56454C02, 0x4444, 0x0001, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 1, 1}};
const IID IID_IDirectDrawSurface7{0x56454C02, 0x4444, 0x0007, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 1, 7}};
const IID IID_IDirect3D7{0x56454C03, 0x3344, 0x0007, {0x56, 0x45, 0x4C, 0x4B, 0, 0, 2, 7}};

HRESULT DirectDrawCreate(GUID*, IDirectDraw** out, IUnknown*) {
  if (!out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (HRESULT hr = Velk::DDrawFaults::Take("DirectDrawCreate")) return hr;
  *out = new Velk::DDrawObject();
  return DD_OK;
}

HRESULT DirectDrawCreateEx(GUID*, void** out, REFIID iid, IUnknown*) {
  if (!out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (!(iid == IID_IDirectDraw7)) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = Velk::DDrawFaults::Take("DirectDrawCreateEx")) return hr;
  *out = static_cast<IDirectDraw7*>(new Velk::DDrawObject());
  return DD_OK;
}
