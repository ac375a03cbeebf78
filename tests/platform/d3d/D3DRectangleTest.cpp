#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "D3DDeviceFixture.h"

namespace Velk {
namespace {

using namespace D3DTest;

struct TextureChoice {
  IDirectDrawSurface7* surface;  // null: no texture
  int width;
  int height;
};

// A strip's or fan's two triangles that tile a rectangle one texel a pixel are drawn as the
// rectangle's rows; the bytes must be those of the same triangles drawn as a list. Pictures in one
// to three pieces side by side, on whole and half pixels and off by a hair, clipped by the target and
// by the viewport; texture positions on and off the texel grid, mirrored, stretched, and reaching past
// the texture's edges; textures a power of two each way and not, with and without alpha, 16-bit, and
// none; corners in every order (folded pairs and culled halves included); targets with and without
// alpha and a 16-bit one; every blend, filter, address, cull and shade mode; white, coloured, faded to
// alpha 0 and shaded corner by corner.
TEST_F(D3DDeviceTest, RectanglesGiveTheBytesOfTheirTriangles) {
  std::mt19937 rng(29);
  auto random = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  const int w = 40, h = 32;
  const DDPIXELFORMAT k565 = Format(16, 0, 0xF800, 0x7E0, 0x1F);
  const DDPIXELFORMAT k4444 = Format(16, 0xF000, 0xF00, 0xF0, 0xF);
  const int sizes[][2] = {{32, 16}, {16, 32}, {8, 64}, {24, 16}, {1, 2}};
  const DWORD blends[][2] = {{D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
                             {D3DBLEND_SRCALPHA, D3DBLEND_ONE},
                             {D3DBLEND_ONE, D3DBLEND_ONE},
                             {D3DBLEND_ONE, D3DBLEND_ZERO}};
  const float hairs[] = {0.0f, 0.0f, 0.0f, 0.01f, -0.01f, 0.04f, -0.04f};
  for (const DDPIXELFORMAT& format : {kX8R8G8B8, kA8R8G8B8, k565}) {
    Start(w, h, format);
    std::vector<TextureChoice> textures{{nullptr, 0, 0}};
    for (const auto& size : sizes) {
      std::vector<uint32_t> texels(static_cast<size_t>(size[0] * size[1]));
      for (uint32_t& t : texels) t = (random(3) == 0 ? 0u : random(2) ? 0xFF000000u : rng() << 24) | (rng() & 0xFFFFFF);
      for (const DDPIXELFORMAT& f : {kA8R8G8B8, kA8R8G8B8, kA8R8G8B8, kX8R8G8B8, k4444})
        textures.push_back({Texture(size[0], size[1], f, texels), size[0], size[1]});
    }
    for (int trial = 0; trial < 2500; ++trial) {
      const int blend = random(3) ? 0 : random(5);
      device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, blend < 4);
      device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, blends[blend % 4][0]);
      device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, blends[blend % 4][1]);
      device_->SetRenderState(D3DRENDERSTATE_CULLMODE, random(3) ? D3DCULL_NONE : random(2) ? D3DCULL_CCW : D3DCULL_CW);
      device_->SetRenderState(D3DRENDERSTATE_SHADEMODE, random(4) ? D3DSHADE_GOURAUD : D3DSHADE_FLAT);
      device_->SetTextureStageState(0, D3DTSS_ALPHAOP, random(2) ? D3DTOP_SELECTARG1 : D3DTOP_MODULATE);
      device_->SetTextureStageState(0, D3DTSS_MAGFILTER, random(2) ? D3DTFG_LINEAR : D3DTFG_POINT);
      device_->SetTextureStageState(0, D3DTSS_ADDRESSU, random(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP);
      device_->SetTextureStageState(0, D3DTSS_ADDRESSV, random(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP);
      D3DVIEWPORT7 viewport{0, 0, w, h, 0, 1};
      if (random(4) == 0)
        viewport = D3DVIEWPORT7{DWORD(random(8)), DWORD(random(8)), DWORD(8 + random(24)), DWORD(8 + random(16)), 0, 1};
      ASSERT_EQ(device_->SetViewport(&viewport), DD_OK);
      const int colours = random(7);
      const DWORD colour = colours < 4    ? 0xFFFFFFFFu
                           : colours == 4 ? rng() | 0xFF000000u
                           : colours == 5 ? rng()
                                          : rng() & 0xFFFFFFu;
      const bool shaded = random(10) == 0;
      const bool wholePixels = random(3) != 0;
      float x = static_cast<float>(random(w + 16) - 8) - (wholePixels ? 0.5f : 0.0f) + hairs[random(7)];
      const float top = static_cast<float>(random(h + 16) - 8) - (wholePixels ? 0.5f : 0.0f) + hairs[random(7)];
      const float hair = hairs[random(7)];
      const int pieceHeight = 1 + random(20);
      const bool strip = random(2) != 0;
      // Mostly orders whose two triangles share a diagonal, which tile the rectangle.
      int order[4] = {0, 1, 2, 3};
      const bool tiling = random(4) != 0;
      do {
        std::shuffle(order, order + 4, rng);
      } while (tiling && (order[strip ? 1 : 0] ^ order[2]) != 3);
      // Each piece: its texture and the four corners in the order drawn.
      std::vector<std::pair<TextureChoice, std::vector<D3DTLVERTEX>>> pieces;
      for (int piece = 1 + random(3); piece > 0; --piece) {
        const TextureChoice t = textures[static_cast<size_t>(random(static_cast<int>(textures.size())))];
        const int tw = std::max(t.width, 1), th = std::max(t.height, 1);
        const int qw = 1 + random(std::min(tw, 24)), qh = std::min(pieceHeight, th);
        const bool past = random(4) == 0;
        const int first = past ? random(2 * tw) - tw / 2 : random(tw - qw + 1);
        const int row = past ? random(2 * th) - th / 2 : random(th - qh + 1);
        float u0 = static_cast<float>(first) / tw, u1 = static_cast<float>(first + qw) / tw;
        const float v0 = static_cast<float>(row) / th, v1 = static_cast<float>(row + qh) / th;
        switch (random(12)) {
          case 0:
            std::swap(u0, u1);
            break;  // mirrored
          case 1:
            u1 += 1.0f / tw;
            break;  // stretched
          case 2:
            u0 += 0.001f, u1 += 0.001f;
            break;  // off the grid
          case 3:
            u0 += 0.25f / tw, u1 += 0.25f / tw;
            break;  // on the grid between texel centres
          case 4:
            u0 += 1.0f / (3 * tw), u1 += 1.0f / (3 * tw);
            break;  // a third of a texel over
          case 5:
            u0 = std::nextafter(u0, -1.0f), u1 = std::nextafter(u1, -1.0f);
            break;  // a hair under
          default:
            break;
        }
        const float right = x + static_cast<float>(qw) + (random(8) == 0 ? hair : 0.0f);
        const float bottom = top + static_cast<float>(qh);
        const D3DTLVERTEX corners[4] = {V(x, top, colour, u0, v0), V(right, top, colour, u1, v0),
                                        V(x, bottom, colour, u0, v1), V(right, bottom, colour, u1, v1)};
        std::vector<D3DTLVERTEX> v;
        for (int c : order) {
          v.push_back(corners[c]);
          if (shaded) v.back().color = rng();
        }
        pieces.push_back({t, v});
        x = right;
      }
      std::vector<uint32_t> before(static_cast<size_t>(w * h));
      for (uint32_t& p : before) p = rng();
      Fill(w, h, before);
      for (auto& [t, v] : pieces) {
        ASSERT_EQ(device_->SetTexture(0, t.surface), DD_OK);
        const D3DPRIMITIVETYPE type = strip ? D3DPT_TRIANGLESTRIP : D3DPT_TRIANGLEFAN;
        ASSERT_EQ(device_->DrawPrimitive(type, D3DFVF_TLVERTEX, v.data(), 4, 0), DD_OK);
      }
      const std::vector<uint32_t> rows = Pixels(w, h);
      Fill(w, h, before);
      for (auto& [t, v] : pieces) {
        ASSERT_EQ(device_->SetTexture(0, t.surface), DD_OK);
        // The triangles a strip or fan of four corners makes, in the same corner order.
        std::vector<D3DTLVERTEX> list = strip ? std::vector<D3DTLVERTEX>{v[0], v[1], v[2], v[2], v[1], v[3]}
                                              : std::vector<D3DTLVERTEX>{v[0], v[1], v[2], v[0], v[2], v[3]};
        ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, list.data(), 6, 0), DD_OK);
      }
      ASSERT_EQ(Pixels(w, h), rows) << "trial " << trial << " format " << format.dwRGBBitCount << " order " << order[0]
                                    << order[1] << order[2] << order[3] << (strip ? " strip" : " fan");
    }
    device_->Release();
    device_ = nullptr;
  }
}

}  // namespace
}  // namespace Velk
