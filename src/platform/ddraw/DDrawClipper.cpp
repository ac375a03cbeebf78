#include "platform/ddraw/DDrawClipper.h"

#include "platform/ddraw/DDrawObject.h"
#include "platform/ddraw/DDrawSettings.h"

namespace Velk {

DDrawClipper::DDrawClipper(DDrawObject* owner) : owner_(owner) { static_cast<IDirectDraw*>(owner_)->AddRef(); }

DDrawClipper::~DDrawClipper() { static_cast<IDirectDraw*>(owner_)->Release(); }

HRESULT DDrawClipper::QueryInterface(REFIID, void** out) {
  if (out) *out = nullptr;
  return E_NOINTERFACE;
}

ULONG DDrawClipper::AddRef() { return ++refs_; }

ULONG DDrawClipper::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT DDrawClipper::SetHWnd(DWORD, HWND hwnd) {
  if (HRESULT hr = DDrawFaults::Take("SetHWnd")) return hr;
  window_ = hwnd;
  return DD_OK;
}

}  // namespace Velk
