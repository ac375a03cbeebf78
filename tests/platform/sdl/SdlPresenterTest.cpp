#include "platform/backend/Backend.h"
#include "platform/ddraw/DDraw.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/window/WinUser.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

namespace Velk {
namespace {

class SdlPresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    auto backend = std::make_unique<SdlBackend>();
    if (!backend->Ready()) GTEST_SKIP() << "SDL dummy video is not available";
    Backend::Install(std::move(backend));
    DDrawSettings::Reset();
    WNDCLASSW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"PresenterTest";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, L"PresenterTest", L"t", WS_POPUP, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd_, nullptr);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
    ASSERT_EQ(dd_->SetCooperativeLevel(hwnd_, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(dd_->CreateSurface(&desc, &primary_, nullptr), DD_OK);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 64;
    desc.dwHeight = 48;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    ASSERT_EQ(dd_->CreateSurface(&desc, &frame_, nullptr), DD_OK);
  }
  void TearDown() override {
    if (frame_) frame_->Release();
    if (primary_) primary_->Release();
    if (dd_) dd_->Release();
    Backend::Install(nullptr);
  }

  void Paint(uint32_t colour) {
    DDSURFACEDESC d;
    ASSERT_EQ(frame_->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < d.dwHeight; ++y)
      for (DWORD x = 0; x < d.dwWidth; ++x)
        reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch)[x] = colour;
    frame_->Unlock(nullptr);
  }

  uint32_t Shown() {
    SDL_Surface* s = SDL_GetWindowSurface(static_cast<SDL_Window*>(Backend::Get().NativeWindow(hwnd_)));
    return s ? reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + 10 * s->pitch)[10] & 0xFFFFFF : 0;
  }

  HWND hwnd_ = nullptr;
  IDirectDraw* dd_ = nullptr;
  IDirectDrawSurface* primary_ = nullptr;
  IDirectDrawSurface* frame_ = nullptr;
};

TEST_F(SdlPresenterTest, MainThreadBltsShowAtOnceOtherThreadsOnTheNextPump) {
  Paint(0x00FF8000);
  ASSERT_EQ(primary_->Blt(nullptr, frame_, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Shown(), 0xFF8000u);

  Paint(0x000080FF);
  std::thread cursor([this] { EXPECT_EQ(primary_->Blt(nullptr, frame_, nullptr, DDBLT_WAIT, nullptr), DD_OK); });
  cursor.join();
  EXPECT_EQ(Shown(), 0xFF8000u);
  Backend::Get().PumpEvents();
  EXPECT_EQ(Shown(), 0x0080FFu);
}

}  // namespace
}  // namespace Velk
