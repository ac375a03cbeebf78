#pragma once
// The Direct3D 7 side of a DirectDraw object: creates software devices on its surfaces.

#include "platform/d3d/D3D.h"

#include <atomic>

namespace Velk {

class Direct3DObject final : public IDirect3D7 {
 public:
  explicit Direct3DObject(IDirectDraw7* directDraw);
  Direct3DObject(const Direct3DObject&) = delete;
  Direct3DObject& operator=(const Direct3DObject&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT CreateDevice(REFIID iid, IDirectDrawSurface7* target, IDirect3DDevice7** out) override;
  HRESULT EnumZBufferFormats(REFIID iid, LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override;

 private:
  ~Direct3DObject();

  std::atomic<ULONG> refs_{1};
  IDirectDraw7* directDraw_;
};

}  // namespace Velk
