#pragma once
// A DirectDraw object with its software device: targets, textures and pixels for the device tests.

#include "platform/d3d/D3D.h"
#include "platform/d3d/D3DSettings.h"
#include "platform/ddraw/DDrawPixelFormat.h"
#include "platform/ddraw/DDrawSettings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace Velk::D3DTest {

inline DDPIXELFORMAT Format(DWORD bits, DWORD a, DWORD r, DWORD g, DWORD b) { return RgbPixelFormat(bits, a, r, g, b); }

inline const DDPIXELFORMAT kX8R8G8B8 = Format(32, 0, 0xFF0000, 0xFF00, 0xFF);
inline const DDPIXELFORMAT kA8R8G8B8 = Format(32, 0xFF000000u, 0xFF0000, 0xFF00, 0xFF);

inline D3DTLVERTEX V(float x, float y, DWORD color, float u = 0, float v = 0) {
  return D3DTLVERTEX{x, y, 0, 1, color, 0, u, v};
}

class D3DDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DDrawSettings::Reset();
    D3DSettings::Reset();
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd_), IID_IDirectDraw7, nullptr), DD_OK);
    ASSERT_EQ(dd_->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d_)), DD_OK);
  }
  void TearDown() override {
    if (device_) device_->Release();
    for (IDirectDrawSurface7* s : surfaces_) s->Release();
    d3d_->Release();
    dd_->Release();
    DDrawSettings::Reset();
    D3DSettings::Reset();
  }

  IDirectDrawSurface7* Surface(int w, int h, const DDPIXELFORMAT& f, DWORD caps) {
    DDSURFACEDESC2 desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(w);
    desc.dwHeight = static_cast<DWORD>(h);
    desc.ddpfPixelFormat = f;
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface7* s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &s, nullptr), DD_OK);
    surfaces_.push_back(s);
    return s;
  }

  // A device on a cleared target, inside a scene.
  void Start(int w, int h, const DDPIXELFORMAT& f = kX8R8G8B8) {
    target_ = Surface(w, h, f, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
    ASSERT_EQ(d3d_->CreateDevice(IID_IDirect3DHALDevice, target_, &device_), DD_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), DD_OK);
    ASSERT_EQ(device_->BeginScene(), DD_OK);
  }

  IDirectDrawSurface7* Texture(int w, int h, const DDPIXELFORMAT& f, const std::vector<uint32_t>& texels) {
    IDirectDrawSurface7* t = Surface(w, h, f, DDSCAPS_TEXTURE);
    DDSURFACEDESC2 d;
    EXPECT_EQ(t->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    const size_t bytes = f.dwRGBBitCount / 8;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        std::memcpy(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bytes, &texels[y * w + x], bytes);
    t->Unlock(nullptr);
    return t;
  }

  uint32_t At(int x, int y) {
    DDSURFACEDESC2 d;
    EXPECT_EQ(target_->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    uint32_t v = 0;
    std::memcpy(&v, static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * (d.ddpfPixelFormat.dwRGBBitCount / 8),
                d.ddpfPixelFormat.dwRGBBitCount / 8);
    target_->Unlock(nullptr);
    return v;
  }

  void Quad(float l, float t, float r, float b, DWORD color, float u1 = 1, float v1 = 1) {
    D3DTLVERTEX v[4] = {V(l, t, color, 0, 0), V(r, t, color, u1, 0), V(l, b, color, 0, v1), V(r, b, color, u1, v1)};
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, v, 4, D3DDP_WAIT), DD_OK);
  }

  std::vector<uint32_t> Pixels(int w, int h) {
    DDSURFACEDESC2 d;
    EXPECT_EQ(target_->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    const DWORD bytes = d.ddpfPixelFormat.dwRGBBitCount / 8;
    std::vector<uint32_t> out(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        std::memcpy(&out[static_cast<size_t>(y * w + x)], static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bytes,
                    bytes);
    target_->Unlock(nullptr);
    return out;
  }

  void Fill(int w, int h, const std::vector<uint32_t>& pixels) {
    DDSURFACEDESC2 d;
    ASSERT_EQ(target_->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    const DWORD bytes = d.ddpfPixelFormat.dwRGBBitCount / 8;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        std::memcpy(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bytes,
                    &pixels[static_cast<size_t>(y * w + x)], bytes);
    target_->Unlock(nullptr);
  }

  void Additive() {
    device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ONE);
    device_->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  }

  IDirectDraw7* dd_ = nullptr;
  IDirect3D7* d3d_ = nullptr;
  IDirect3DDevice7* device_ = nullptr;
  IDirectDrawSurface7* target_ = nullptr;
  std::vector<IDirectDrawSurface7*> surfaces_;
};

}  // namespace Velk::D3DTest
