#include "platform/ddraw/DDrawPalette.h"

#include "platform/ddraw/DDrawObject.h"
#include "platform/ddraw/DDrawSettings.h"

#include <algorithm>

namespace Velk {

DDrawPalette::DDrawPalette(DDrawObject* owner, const PALETTEENTRY* entries) : owner_(owner) {
  std::copy(entries, entries + 256, entries_.begin());
  static_cast<IDirectDraw*>(owner_)->AddRef();
}

DDrawPalette::~DDrawPalette() { static_cast<IDirectDraw*>(owner_)->Release(); }

HRESULT DDrawPalette::QueryInterface(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

ULONG DDrawPalette::AddRef() { return ++refs_; }

ULONG DDrawPalette::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT DDrawPalette::GetEntries(DWORD, DWORD base, DWORD count, PALETTEENTRY* entries) {
  if (!entries || base > 256 || count > 256 - base) return DDERR_INVALIDPARAMS;
  if (HRESULT hr = DDrawFaults::Take("GetEntries")) return hr;
  std::copy(entries_.begin() + base, entries_.begin() + base + count, entries);
  return DD_OK;
}

}  // namespace Velk
