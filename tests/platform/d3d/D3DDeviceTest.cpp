#include <random>
#include <vector>

#include "../ScopedEnv.h"
#include "D3DDeviceFixture.h"

namespace Velk {
namespace {

using namespace D3DTest;

TEST_F(D3DDeviceTest, CreationNeedsA3DTargetAndCanBeForcedToFail) {
  IDirectDrawSurface7* plain = Surface(8, 8, kX8R8G8B8, DDSCAPS_OFFSCREENPLAIN);
  EXPECT_EQ(d3d_->CreateDevice(IID_IDirect3DHALDevice, plain, &device_), DDERR_INVALIDCAPS);
  IDirectDrawSurface7* target = Surface(8, 8, kX8R8G8B8, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE);
  {
    ScopedEnv software("VELK_FORCE_SOFTWARE", "1");
    EXPECT_TRUE(FAILED(d3d_->CreateDevice(IID_IDirect3DHALDevice, target, &device_)));
    EXPECT_EQ(device_, nullptr);
  }
  EXPECT_EQ(d3d_->CreateDevice(IID_IDirect3DHALDevice, target, &device_), DD_OK);
}

TEST_F(D3DDeviceTest, ScenesVertexFormatAndShortCounts) {
  Start(4, 4);
  EXPECT_EQ(device_->BeginScene(), D3DERR_SCENE_IN_SCENE);
  D3DTLVERTEX v[3] = {V(0, 0, 0xFFFFFFFF), V(4, 0, 0xFFFFFFFF), V(0, 4, 0xFFFFFFFF)};
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0x142, v, 3, 0), D3DERR_INVALIDVERTEXTYPE);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 2, 0), DD_OK);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(device_->EndScene(), DD_OK);
  EXPECT_EQ(device_->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, v, 3, 0), D3DERR_SCENE_NOT_IN_SCENE);
  EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1, 0), D3DERR_ZBUFFER_NOTPRESENT);
}

// Quads offset by half a pixel cover whole pixels; with additive blending an overlap would show as
// a doubled value and a gap as zero.
TEST_F(D3DDeviceTest, FillRulesLeaveNoGapAndNoOverlap) {
  Start(8, 8);
  Additive();
  Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFF404040);
  Quad(3.5f, -0.5f, 7.5f, 3.5f, 0xFF404040);
  // Fractional edges: pixel centres 1..2 covered in x, row 5 only in y.
  Quad(0.7f, 4.2f, 2.9f, 5.6f, 0xFF101010);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      uint32_t expected = y < 4 ? 0x404040 : 0;
      if (y == 5 && x >= 1 && x <= 2) expected = 0x101010;
      EXPECT_EQ(At(x, y), expected) << x << "," << y;
    }
  }
}

TEST_F(D3DDeviceTest, UntexturedDrawsInVertexColourAndBlendsWithRounding) {
  Start(4, 4);
  Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFF0000FF);
  device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
  device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  Quad(-0.5f, -0.5f, 1.5f, 3.5f, 0x80FF0000);
  // 255 x 128 / 255 = 128 red; 255 x 127 / 255 = 127 blue; the X byte is written as 0.
  EXPECT_EQ(At(0, 0), 0x0080007Fu);
  EXPECT_EQ(At(3, 3), 0x000000FFu);
  // The same blend from texels, one per pixel, through the device's direct 32-bit road.
  device_->SetTexture(0, Texture(2, 4, kA8R8G8B8, std::vector<uint32_t>(8, 0x80FF0000u)));
  Quad(1.5f, -0.5f, 3.5f, 3.5f, 0xFFFFFFFF);
  EXPECT_EQ(At(2, 0), 0x0080007Fu);
  EXPECT_EQ(At(3, 3), 0x0080007Fu);
}

TEST_F(D3DDeviceTest, PointAndBilinearSamplingWithClampAndWrap) {
  Start(4, 1);
  device_->SetTexture(0, Texture(2, 1, kA8R8G8B8, {0xFF000000, 0xFFFFFFFF}));
  Quad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFF);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(1, 0), 0u);
  EXPECT_EQ(At(2, 0), 0xFFFFFFu);
  device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
  Quad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFF);
  // Pixel 1 samples at texel 0.25: 255 x 64 / 256 = 63. Pixel 0 clamps to black on both sides.
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(1, 0), 0x3F3F3Fu);
  device_->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_WRAP);
  Quad(-0.5f, -0.5f, 3.5f, 0.5f, 0xFFFFFFFF);
  // Wrapping, pixel 0 mixes a quarter of the white texel from the far side.
  EXPECT_EQ(At(0, 0), 0x3F3F3Fu);
}

TEST_F(D3DDeviceTest, TextureFormatsDecodeByReplication) {
  Start(3, 1);
  device_->SetTexture(0, Texture(1, 1, Format(16, 0xF000, 0xF00, 0xF0, 0xF), {0xF84C}));
  Quad(-0.5f, -0.5f, 0.5f, 0.5f, 0xFFFFFFFF);
  EXPECT_EQ(At(0, 0), 0x8844CCu);  // nibbles x 17, opaque
  device_->SetTexture(0, Texture(1, 1, Format(16, 0, 0xF800, 0x7E0, 0x1F), {0x8410}));
  Quad(0.5f, -0.5f, 1.5f, 0.5f, 0xFFFFFFFF);
  EXPECT_EQ(At(1, 0), 0x848284u);  // 10000 -> 0x84, 100000 -> 0x82
  DDPIXELFORMAT pal;
  pal.dwFlags = DDPF_RGB | DDPF_PALETTEINDEXED8;
  pal.dwRGBBitCount = 8;
  IDirectDrawSurface7* t = Texture(1, 1, pal, {3});
  PALETTEENTRY entries[256] = {};
  entries[3] = PALETTEENTRY{0x12, 0x34, 0x56, 0xFF};
  IDirectDrawPalette* palette = nullptr;
  ASSERT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256 | DDPCAPS_ALPHA, entries, &palette, nullptr), DD_OK);
  t->SetPalette(palette);
  palette->Release();
  device_->SetTexture(0, t);
  Quad(1.5f, -0.5f, 2.5f, 0.5f, 0xFFFFFFFF);
  EXPECT_EQ(At(2, 0), 0x123456u);
}

TEST_F(D3DDeviceTest, SixteenBitTargetsTruncateOnWrite) {
  Start(2, 1, Format(16, 0, 0xF800, 0x7E0, 0x1F));
  Quad(-0.5f, -0.5f, 1.5f, 0.5f, 0xFF0F0F0F);
  EXPECT_EQ(At(0, 0), (1u << 11) | (3u << 5) | 1u);
}

TEST_F(D3DDeviceTest, DrawingIsClippedToTheViewportAndTarget) {
  Start(6, 6);
  D3DVIEWPORT7 tooBig{0, 0, 7, 6, 0, 1};
  EXPECT_EQ(device_->SetViewport(&tooBig), DDERR_INVALIDPARAMS);
  D3DVIEWPORT7 inner{1, 1, 3, 3, 0, 1};
  ASSERT_EQ(device_->SetViewport(&inner), DD_OK);
  Quad(-100.5f, -100.5f, 100.5f, 100.5f, 0xFFFFFFFF);
  int lit = 0;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) lit += At(x, y) != 0;
  EXPECT_EQ(lit, 9);
  EXPECT_NE(At(1, 1), 0u);
  EXPECT_NE(At(3, 3), 0u);
}

TEST_F(D3DDeviceTest, LineStripsLeaveOutTheEndPixel) {
  Start(6, 3);
  D3DTLVERTEX line[3] = {V(1, 1, 0xFFFFFFFF), V(4, 1, 0xFFFFFFFF), V(4.5f, 1.5f, 0xFFFFFFFF)};
  ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, line, 2, 0), DD_OK);
  EXPECT_EQ(At(3, 1), 0xFFFFFFu);
  EXPECT_EQ(At(4, 1), 0u);
  ASSERT_EQ(device_->DrawPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, line, 3, 0), DD_OK);
  EXPECT_EQ(At(4, 1), 0xFFFFFFu);
  EXPECT_EQ(At(5, 1), 0u);
  EXPECT_EQ(At(0, 1), 0u);
}

TEST_F(D3DDeviceTest, TextureFormatsEnumerateInOrderUntilCancelled) {
  Start(1, 1);
  struct Seen {
    std::vector<DWORD> bits;
    size_t stopAfter;
  } seen{{}, 3};
  auto collect = [](DDPIXELFORMAT* f, void* ctx) -> HRESULT {
    auto* s = static_cast<Seen*>(ctx);
    s->bits.push_back(f->dwRGBBitCount);
    return s->bits.size() == s->stopAfter ? D3DENUMRET_CANCEL : D3DENUMRET_OK;
  };
  ASSERT_EQ(device_->EnumTextureFormats(collect, &seen), DD_OK);
  EXPECT_EQ(seen.bits, (std::vector<DWORD>{32, 32, 16}));
  D3DSettings::UseNoA8R8G8B8();
  seen = Seen{{}, 100};
  device_->EnumTextureFormats(collect, &seen);
  EXPECT_EQ(seen.bits, (std::vector<DWORD>{32, 16, 16, 16, 16, 8}));
}

// Strips and fans draw their triangles two at a time, row by row together; the bytes must be those of
// the same triangles drawn one after the other as a list. Quads on whole and half pixels with one
// texel a pixel (drawn as one run of texels), stretched, random and folded ones (whose halves overlap),
// in every blend, filter and cull mode, in white and in a colour, onto targets with and without alpha.
TEST_F(D3DDeviceTest, StripsAndFansGiveTheBytesOfTheirTrianglesOneByOne) {
  std::mt19937 rng(17);
  const int w = 48, h = 40, tw = 64, th = 32;
  auto random = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  std::vector<uint32_t> texels(tw * th);
  for (uint32_t& t : texels) t = (random(3) == 0 ? 0u : random(2) ? 0xFF000000u : rng() << 24) | (rng() & 0xFFFFFF);
  for (const DDPIXELFORMAT& format : {kX8R8G8B8, kA8R8G8B8}) {
    Start(w, h, format);
    IDirectDrawSurface7* withAlpha = Texture(tw, th, kA8R8G8B8, texels);
    IDirectDrawSurface7* opaque = Texture(tw, th, kX8R8G8B8, texels);
    for (int trial = 0; trial < 400; ++trial) {
      device_->SetTexture(0, random(4) ? withAlpha : opaque);
      const DWORD blends[][2] = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                                 {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                                 {D3DBLEND_ONE, D3DBLEND_ONE},
                                 {D3DBLEND_ONE, D3DBLEND_ZERO}};
      const int blend = random(5);
      device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, blend < 4);
      device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, blends[blend % 4][0]);
      device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, blends[blend % 4][1]);
      device_->SetRenderState(D3DRENDERSTATE_CULLMODE, random(2) ? D3DCULL_NONE : random(2) ? D3DCULL_CCW : D3DCULL_CW);
      device_->SetTextureStageState(0, D3DTSS_ALPHAOP, random(2) ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE);
      device_->SetTextureStageState(0, D3DTSS_MAGFILTER, random(3) ? D3DTFG_LINEAR : D3DTFG_POINT);
      device_->SetTextureStageState(0, D3DTSS_ADDRESSU, random(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP);
      const DWORD color = random(3) ? 0xFFFFFFFFu : random(2) ? rng() : rng() & 0x00FFFFFFu;
      // Corners in strip order: top left, top right, bottom left, bottom right.
      D3DTLVERTEX v[6];
      const int shape = random(4);
      const float left = static_cast<float>(random(w)) - (shape == 0 ? 0.5f : 0.0f) - 4;
      const float top = static_cast<float>(random(h)) - (shape == 0 ? 0.5f : 0.0f) - 4;
      const int qw = 1 + random(tw), qh = 1 + random(th);
      const int first = random(tw - qw + 1), row = random(th - qh + 1);
      const float u0 = static_cast<float>(first) / tw, v0 = static_cast<float>(row) / th;
      const float u1 = static_cast<float>(first + qw) / tw, v1 = static_cast<float>(row + qh) / th;
      const float sx = shape == 1 ? 0.5f + static_cast<float>(random(300)) / 100 : 1.0f;
      for (int i = 0; i < 4; ++i) {
        const float x = left + (i % 2 ? qw * sx : 0.0f), y = top + (i / 2 ? qh * sx : 0.0f);
        v[i] = V(x, y, color, i % 2 ? u1 : u0, i / 2 ? v1 : v0);
        if (shape >= 2)
          v[i] = V(static_cast<float>(random(w * 8)) / 7 - 4, static_cast<float>(random(h * 8)) / 7 - 4, rng(),
                   static_cast<float>(random(200)) / 100, static_cast<float>(random(200)) / 100);
      }
      if (shape == 2 && random(2)) std::swap(v[2], v[3]);  // a strip's quad becomes a fan's
      v[4] = V(left + 30, top - 3, color, 0.3f, 0.9f);
      v[5] = V(left + 10, top + 25, color, 0.7f, 0.1f);
      const DWORD count = 4 + static_cast<DWORD>(random(3));
      std::vector<uint32_t> before(w * h);
      for (uint32_t& p : before) p = rng();
      for (D3DPRIMITIVETYPE type : {D3DPT_TRIANGLESTRIP, D3DPT_TRIANGLEFAN}) {
        std::vector<D3DTLVERTEX> list;
        for (DWORD i = 0; i + 2 < count; ++i) {
          const DWORD corners[3] = {type == D3DPT_TRIANGLEFAN ? 0 : i + i % 2,
                                    type == D3DPT_TRIANGLEFAN ? i + 1 : i + 1 - i % 2, i + 2};
          for (DWORD c : corners) list.push_back(v[c]);
        }
        Fill(w, h, before);
        ASSERT_EQ(device_->DrawPrimitive(type, D3DFVF_TLVERTEX, v, count, 0), DD_OK);
        const std::vector<uint32_t> together = Pixels(w, h);
        Fill(w, h, before);
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, list.data(),
                                         static_cast<DWORD>(list.size()), 0),
                  DD_OK);
        ASSERT_EQ(Pixels(w, h), together) << "trial " << trial << " type " << type << " shape " << shape;
      }
    }
    device_->Release();
    device_ = nullptr;
  }
}

// A vertex colour of alpha 0 modulated into the texels' alpha leaves every pixel under the alpha
// blends as it was, a target without alpha storing no alpha.
TEST_F(D3DDeviceTest, AVertexAlphaOfZeroLeavesThePixels) {
  std::mt19937 rng(23);
  const int w = 20, h = 12;
  std::vector<uint32_t> texels(16 * 16);
  for (uint32_t& t : texels) t = rng();
  for (const DDPIXELFORMAT& format : {kX8R8G8B8, kA8R8G8B8}) {
    Start(w, h, format);
    device_->SetTexture(0, Texture(16, 16, kA8R8G8B8, texels));
    device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    for (DWORD dest : {D3DBLEND_INVSRCALPHA, D3DBLEND_ONE})
      for (DWORD filter : {D3DTFG_POINT, D3DTFG_LINEAR}) {
        device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, dest);
        device_->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
        std::vector<uint32_t> before(w * h);
        for (uint32_t& p : before) p = rng();
        Fill(w, h, before);
        Quad(-0.5f, -0.5f, 19.5f, 11.5f, rng() & 0x00FFFFFFu, 1.25f, 0.75f);
        Quad(2.3f, 1.7f, 19.1f, 9.2f, 0x00FFFFFFu, 0.8f, 0.6f);
        for (uint32_t& p : before) p &= format.dwRGBAlphaBitMask ? 0xFFFFFFFFu : 0x00FFFFFFu;
        EXPECT_EQ(Pixels(w, h), before) << "dest blend " << dest << " filter " << filter;
      }
    device_->Release();
    device_ = nullptr;
  }
}

}  // namespace
}  // namespace Velk
