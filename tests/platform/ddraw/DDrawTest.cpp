#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/DDrawPresenter.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/ddraw/DDrawSurface.h"
#include "platform/modules/Modules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace Velk {
namespace {

class DDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DDrawSettings::Reset();
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd7_), IID_IDirectDraw7, nullptr), DD_OK);
    ASSERT_EQ(dd7_->QueryInterface(IID_IDirectDraw, reinterpret_cast<void**>(&dd_)), DD_OK);
  }
  void TearDown() override {
    if (dd_) dd_->Release();
    if (dd7_) dd7_->Release();
    DDrawSettings::Reset();
  }

  IDirectDrawSurface* Plain(int w, int h, DWORD caps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY) {
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(w);
    desc.dwHeight = static_cast<DWORD>(h);
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface* s = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &s, nullptr), DD_OK);
    return s;
  }

  static void Fill32(IDirectDrawSurface* s, uint32_t (*pixel)(int x, int y)) {
    DDSURFACEDESC d;
    ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < d.dwHeight; ++y)
      for (DWORD x = 0; x < d.dwWidth; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch)[x] =
            pixel(static_cast<int>(x), static_cast<int>(y));
    ASSERT_EQ(s->Unlock(nullptr), DD_OK);
  }

  static uint32_t At(IDirectDrawSurface* s, int x, int y) {
    DDSURFACEDESC d;
    EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    const uint32_t v = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch)[x];
    s->Unlock(nullptr);
    return v;
  }

  IDirectDraw7* dd7_ = nullptr;
  IDirectDraw* dd_ = nullptr;
};

TEST_F(DDrawTest, OneObjectBehindEachInterfaceAndChildrenKeepTheParent) {
  IDirectDraw7* again = nullptr;
  ASSERT_EQ(dd_->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(&again)), DD_OK);
  EXPECT_EQ(again, dd7_);
  again->Release();

  IDirectDrawSurface* s = Plain(4, 4);
  IDirectDrawSurface7* s7 = nullptr;
  IDirectDrawSurface* s1 = nullptr;
  ASSERT_EQ(s->QueryInterface(IID_IDirectDrawSurface7, reinterpret_cast<void**>(&s7)), DD_OK);
  ASSERT_EQ(s7->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&s1)), DD_OK);
  EXPECT_EQ(s1, s);
  s1->Release();
  s7->Release();
  // The parent goes first, as the renderer's clean-up does; the surface stays usable.
  dd_->Release();
  dd7_->Release();
  dd_ = nullptr;
  dd7_ = nullptr;
  DDSURFACEDESC d;
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(s->Unlock(nullptr), DD_OK);
  EXPECT_EQ(s->Release(), 0u);
}

TEST_F(DDrawTest, LocksAreStrictWholeAndPadded) {
  IDirectDrawSurface* s = Plain(10, 3);
  DDSURFACEDESC d;
  ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(d.lPitch, 10 * 4 + 32);
  EXPECT_EQ(d.dwWidth, 10u);
  EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 32u);
  EXPECT_EQ(d.ddpfPixelFormat.dwRBitMask, 0xFF0000u);
  EXPECT_TRUE(d.dwFlags & DDSD_LPSURFACE);
  DDSURFACEDESC again;
  EXPECT_EQ(s->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  IDirectDrawSurface* other = Plain(10, 3);
  EXPECT_EQ(other->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(s->Unlock(nullptr), DD_OK);
  EXPECT_EQ(s->Unlock(nullptr), DDERR_NOTLOCKED);
  RECT part{0, 0, 2, 2};
  EXPECT_EQ(s->Lock(&part, &d, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
  other->Release();
  s->Release();
}

TEST_F(DDrawTest, BltChecksRectanglesKeysAndStretches) {
  IDirectDrawSurface* src = Plain(2, 2);
  IDirectDrawSurface* dst = Plain(4, 4);
  Fill32(src,
         [](int x, int y) { return x == 1 && y == 1 ? 0x00FF00FFu : static_cast<uint32_t>(0x10 * (y * 2 + x + 1)); });
  Fill32(dst, [](int, int) { return 0x00ABCDEFu; });

  RECT outside{3, 3, 5, 5};
  EXPECT_EQ(dst->Blt(&outside, src, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  RECT srcOutside{1, 1, 3, 3};
  RECT small{0, 0, 2, 2};
  EXPECT_EQ(dst->Blt(&small, src, &srcOutside, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);

  // Nearest-neighbour doubling with the magenta key left out.
  DDCOLORKEY key{0x00FF00FF, 0x00FF00FF};
  ASSERT_EQ(src->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(At(dst, 0, 0), 0x10u);
  EXPECT_EQ(At(dst, 1, 1), 0x10u);
  EXPECT_EQ(At(dst, 2, 0), 0x20u);
  EXPECT_EQ(At(dst, 0, 3), 0x30u);
  EXPECT_EQ(At(dst, 3, 3), 0x00ABCDEFu);
  // Without the flag the key colour is copied.
  EXPECT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(At(dst, 3, 3), 0x00FF00FFu);

  // With a clipper the destination is cut to the surface and the source in proportion.
  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(dd_->CreateClipper(0, &clipper, nullptr), DD_OK);
  ASSERT_EQ(dst->SetClipper(clipper), DD_OK);
  clipper->Release();
  Fill32(dst, [](int, int) { return 0u; });
  RECT hanging{3, 3, 5, 5};
  EXPECT_EQ(dst->Blt(&hanging, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(At(dst, 3, 3), 0x10u);
  EXPECT_EQ(At(dst, 2, 2), 0u);
  src->Release();
  dst->Release();
}

// A same-size copy lands row for row in its rectangle and leaves the rest; a stretch takes the nearest
// source pixel below each destination pixel's position, columns and rows alike.
TEST_F(DDrawTest, BltCopiesRowsWholeAndStretchesByNearestPixels) {
  IDirectDrawSurface* src = Plain(37, 11);
  IDirectDrawSurface* dst = Plain(50, 20);
  auto pattern = [](int x, int y) { return static_cast<uint32_t>((x * 7919 + y * 104729) * 2654435761u); };
  Fill32(src, pattern);
  Fill32(dst, [](int, int) { return 0x00123456u; });
  RECT place{5, 3, 42, 14};
  ASSERT_EQ(dst->Blt(&place, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 50; ++x) {
      const bool inside = x >= 5 && x < 42 && y >= 3 && y < 14;
      ASSERT_EQ(At(dst, x, y), inside ? pattern(x - 5, y - 3) : 0x00123456u) << x << ", " << y;
    }
  ASSERT_EQ(dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  // 37 columns over 50: destination column 49 takes 49 x 37 / 50 = 36.26 -> 36; row 19 takes 10.45 -> 10.
  EXPECT_EQ(At(dst, 49, 19), pattern(36, 10));
  EXPECT_EQ(At(dst, 1, 1), pattern(0, 0));
  EXPECT_EQ(At(dst, 2, 2), pattern(1, 1));
  EXPECT_EQ(At(dst, 27, 13), pattern(19, 7));  // 19.98 and 7.15
  src->Release();
  dst->Release();
}

TEST_F(DDrawTest, BltRefusesMixedFormats) {
  IDirectDrawSurface* dst = Plain(2, 2);
  DDSURFACEDESC2 desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = desc.dwHeight = 2;
  desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
  desc.ddpfPixelFormat.dwFlags = DDPF_RGB | DDPF_ALPHAPIXELS;
  desc.ddpfPixelFormat.dwRGBBitCount = 16;
  desc.ddpfPixelFormat.dwRBitMask = 0x0F00;
  desc.ddpfPixelFormat.dwGBitMask = 0x00F0;
  desc.ddpfPixelFormat.dwBBitMask = 0x000F;
  desc.ddpfPixelFormat.dwRGBAlphaBitMask = 0xF000;
  IDirectDrawSurface7* texture = nullptr;
  ASSERT_EQ(dd7_->CreateSurface(&desc, &texture, nullptr), DD_OK);
  IDirectDrawSurface* t1 = nullptr;
  ASSERT_EQ(texture->QueryInterface(IID_IDirectDrawSurface, reinterpret_cast<void**>(&t1)), DD_OK);
  EXPECT_EQ(dst->Blt(nullptr, t1, nullptr, DDBLT_WAIT, nullptr), DDERR_UNSUPPORTEDFORMAT);
  desc.ddpfPixelFormat.dwRGBBitCount = 24;
  IDirectDrawSurface7* odd = nullptr;
  EXPECT_EQ(dd7_->CreateSurface(&desc, &odd, nullptr), DDERR_INVALIDPIXELFORMAT);
  t1->Release();
  texture->Release();
  dst->Release();
}

TEST_F(DDrawTest, FullScreenNeedsExclusiveModeAndFlipsItsBackBuffer) {
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.dwBackBufferCount = 1;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  IDirectDrawSurface* primary = nullptr;
  EXPECT_EQ(dd_->CreateSurface(&desc, &primary, nullptr), DDERR_NOCOOPERATIVELEVELSET);
  ASSERT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(dd_->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(dd_->SetDisplayMode(640, 480, 32), DDERR_NOEXCLUSIVEMODE);
  EXPECT_EQ(dd_->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  HWND fake = reinterpret_cast<HWND>(0x1234);
  ASSERT_EQ(dd_->SetCooperativeLevel(fake, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  EXPECT_EQ(dd_->SetDisplayMode(640, 480, 24), DDERR_INVALIDMODE);
  ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16), DD_OK);
  ASSERT_EQ(dd_->CreateSurface(&desc, &primary, nullptr), DD_OK);
  IDirectDrawSurface* second = nullptr;
  EXPECT_EQ(dd_->CreateSurface(&desc, &second, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);

  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* back = nullptr;
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
  DDSURFACEDESC d;
  ASSERT_EQ(back->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(d.dwWidth, 640u);
  EXPECT_EQ(d.ddpfPixelFormat.dwGBitMask, 0x07E0u);
  reinterpret_cast<uint16_t*>(d.lpSurface)[0] = 0xF800;
  back->Unlock(nullptr);
  const uint64_t frames = DDrawScreen::FrameCount();
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(DDrawScreen::FrameCount(), frames + 1);
  int w = 0;
  int h = 0;
  const std::vector<uint32_t> shown = DDrawScreen::Snapshot(&w, &h);
  ASSERT_EQ(w, 640);
  EXPECT_EQ(shown[0], 0xF80000u);
  // The back buffer now holds the previous front.
  ASSERT_EQ(back->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(reinterpret_cast<uint16_t*>(d.lpSurface)[0], 0u);
  back->Unlock(nullptr);
  back->Release();
  primary->Release();
}

// A 32-bit primary is recorded as it is shown, the unused top byte cleared, with its padded rows.
TEST_F(DDrawTest, AThirtyTwoBitFlipIsRecordedWithoutItsTopByte) {
  DDSURFACEDESC desc{};
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  desc.dwBackBufferCount = 1;
  ASSERT_EQ(dd_->SetCooperativeLevel(reinterpret_cast<HWND>(0x1234), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
  ASSERT_EQ(dd_->SetDisplayMode(640, 480, 32), DD_OK);
  IDirectDrawSurface* primary = nullptr;
  ASSERT_EQ(dd_->CreateSurface(&desc, &primary, nullptr), DD_OK);
  DDSCAPS caps{DDSCAPS_BACKBUFFER};
  IDirectDrawSurface* back = nullptr;
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
  DDSURFACEDESC d;
  ASSERT_EQ(back->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
  auto* pixels = static_cast<uint8_t*>(d.lpSurface);
  reinterpret_cast<uint32_t*>(pixels)[0] = 0xAB123456;
  reinterpret_cast<uint32_t*>(pixels + d.lPitch)[639] = 0xFF00FF00;
  back->Unlock(nullptr);
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  int w = 0, h = 0;
  const std::vector<uint32_t> shown = DDrawScreen::Snapshot(&w, &h);
  ASSERT_EQ(w, 640);
  ASSERT_EQ(h, 480);
  EXPECT_EQ(shown[0], 0x123456u);
  EXPECT_EQ(shown[640 + 639], 0x00FF00u);
  back->Release();
  primary->Release();
}

TEST_F(DDrawTest, VideoMemoryIsAccountedAndRunsOut) {
  DDrawSettings::Get().videoMemoryTotal = 60000;
  DDSCAPS2 caps{DDSCAPS_VIDEOMEMORY};
  DWORD total = 0;
  DWORD free = 0;
  ASSERT_EQ(dd7_->GetAvailableVidMem(&caps, &total, &free), DD_OK);
  EXPECT_EQ(free, 60000u);
  IDirectDrawSurface* s = Plain(100, 100, DDSCAPS_VIDEOMEMORY);
  ASSERT_NE(s, nullptr);
  dd7_->GetAvailableVidMem(&caps, &total, &free);
  EXPECT_EQ(free, 60000u - (100 * 4 + 32) * 100);
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = desc.dwHeight = 100;
  desc.ddsCaps.dwCaps = DDSCAPS_VIDEOMEMORY;
  IDirectDrawSurface* more = nullptr;
  EXPECT_EQ(dd_->CreateSurface(&desc, &more, nullptr), DDERR_OUTOFVIDEOMEMORY);
  s->Release();
  dd7_->GetAvailableVidMem(&caps, &total, &free);
  EXPECT_EQ(free, 60000u);
}

TEST_F(DDrawTest, FaultsFireOnTheChosenCallOnceAndTimingAnswersAsConfigured) {
  DDrawFaults::Fail("CreateClipper", DDERR_OUTOFMEMORY, 1);
  IDirectDrawClipper* c = nullptr;
  ASSERT_EQ(dd_->CreateClipper(0, &c, nullptr), DD_OK);
  c->Release();
  EXPECT_EQ(dd_->CreateClipper(0, &c, nullptr), DDERR_OUTOFMEMORY);
  ASSERT_EQ(dd_->CreateClipper(0, &c, nullptr), DD_OK);
  c->Release();

  DWORD line = 0;
  EXPECT_EQ(dd_->GetScanLine(&line), DDERR_UNSUPPORTED);
  DDrawSettings::Get().scanLine = [](DWORD* l) {
    *l = 123;
    return DD_OK;
  };
  EXPECT_EQ(dd_->GetScanLine(&line), DD_OK);
  EXPECT_EQ(line, 123u);
  DDrawSettings::Get().refreshRate = 75;
  DWORD hz = 0;
  EXPECT_EQ(dd_->GetMonitorFrequency(&hz), DD_OK);
  EXPECT_EQ(hz, 75u);

  DDDEVICEIDENTIFIER2 id;
  ASSERT_EQ(dd7_->GetDeviceIdentifier(&id, 0), DD_OK);
  EXPECT_EQ(id.szDriver[0], '/');
  EXPECT_NE(std::strstr(id.szDescription, "software"), nullptr);
}

TEST(DDrawModuleTest, EntryPointsComeFromTheModuleAndCanBeHidden) {
  HMODULE ddraw = LoadLibraryA("ddraw.dll");
  ASSERT_NE(ddraw, nullptr);
  EXPECT_EQ(GetProcAddress(ddraw, "DirectDrawCreateEx"), reinterpret_cast<FARPROC>(&DirectDrawCreateEx));
  ModuleTable::HideEntry("ddraw.dll", "DirectDrawCreateEx");
  EXPECT_EQ(GetProcAddress(ddraw, "DirectDrawCreateEx"), nullptr);
  EXPECT_NE(GetProcAddress(ddraw, "DirectDrawCreate"), nullptr);
  ModuleTable::ShowAll();
  FreeLibrary(ddraw);
}

}  // namespace
}  // namespace Velk
