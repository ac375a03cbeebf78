#pragma once
// The software Direct3D 7 device: render and texture-stage state tables with the device defaults, a
// render target and viewport, scenes, Clear and DrawPrimitive of pre-transformed vertices. Every call
// draws at once, so DirectDraw blits onto the target between primitives keep their order.

#include "platform/d3d/D3D.h"

#include <array>
#include <atomic>

namespace Velk {

class DDrawSurface;
struct D3DPipelineState;

class Direct3DDevice final : public IDirect3DDevice7 {
 public:
  explicit Direct3DDevice(DDrawSurface* target);
  Direct3DDevice(const Direct3DDevice&) = delete;
  Direct3DDevice& operator=(const Direct3DDevice&) = delete;

  HRESULT QueryInterface(REFIID iid, void** out) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetCaps(D3DDEVICEDESC7* desc) override;
  HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override;
  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) override;
  HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, DWORD color, float z, DWORD stencil) override;
  HRESULT SetViewport(D3DVIEWPORT7* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT7* viewport) override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
  HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;
  HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) override;
  HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count, DWORD flags) override;
  void SetHiddenRows(int top, int bottom) override;

  // The pixel formats the device enumerates, in order.
  static DDPIXELFORMAT TextureFormat(DWORD settingsBit);

 private:
  ~Direct3DDevice();
  void ResetViewport();
  D3DPipelineState PipelineState() const;
  HRESULT Draw(D3DPRIMITIVETYPE type, const D3DTLVERTEX* v, DWORD count);

  static constexpr int kStages = 8;
  std::atomic<ULONG> refs_{1};
  DDrawSurface* target_;
  std::array<DWORD, 256> renderStates_{};
  std::array<std::array<DWORD, 32>, kStages> stageStates_{};
  std::array<DDrawSurface*, kStages> textures_{};
  D3DVIEWPORT7 viewport_;
  int hiddenTop_ = 0;
  int hiddenBottom_ = 0;
  bool inScene_ = false;
};

}  // namespace Velk
