#pragma once
// A headless display on a stand-in application, a renderer that records what reaches it, and
// helpers to read and write surface pixels directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/Matrix3x3.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/DisplayHost.h"
#include "graphics/DisplayRenderer.h"
#include "platform/backend/Backend.h"
#include "platform/ddraw/DDrawSettings.h"
#include "platform/ddraw/DDrawSurface.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/modules/Modules.h"
#include "platform/window/WinUser.h"

namespace Velk::Testing {

class FakeDisplayHost : public DisplayHost {
 public:
  DDInterface* mDisplay = nullptr;
  bool m3DMode = false;
  int mTested = 0;
  uint8_t mSat[512];

  FakeDisplayHost() {
    for (int i = 0; i < 512; ++i) mSat[i] = static_cast<uint8_t>(std::min(i, 255));
  }
  void RegisterMemoryImage(MemoryImage*) override {}
  void UnregisterMemoryImage(MemoryImage*) override {}
  void ReleaseImageTextures(MemoryImage*) override {}
  bool ReadBackTextures(MemoryImage*, uint32_t*) override { return false; }
  bool Is3DModeOn() override { return m3DMode; }
  NativeDisplay* GetNativeDisplay() override { return mDisplay; }
  const uint8_t* GetSaturationTable() override { return mSat; }
  void On3DTested() override { ++mTested; }
};

struct RendererCall {
  std::string name;
  Matrix3x3 matrix;
  bool linear = false;
  bool clipped = false;
  Color color;
};

class RecordingRenderer : public DisplayRenderer {
 public:
  std::vector<RendererCall>* mCalls;
  bool mInitOk = true;
  std::string mError;

  explicit RecordingRenderer(std::vector<RendererCall>* calls) : mCalls(calls) {}
  bool Init(DDInterface*) override {
    if (!mInitOk) mError = "no device";
    return mInitOk;
  }
  void ReleaseAll() override {}
  std::string GetErrorText() override { return mError; }
  void EndSceneIfBegun() override { Record("EndScene"); }
  void ForgetImage(MemoryImage*) override {}
  void SetHiddenRows(int, int) override {}
  void FillPolygon(const POINT*, int, const Rect&, const Color&, int, int, int) override { Record("FillPolygon"); }
  void FillRect(const Rect&, const Color&, int) override { Record("FillRect"); }
  void DrawLine(double, double, double, double, const Color&, int) override { Record("DrawLine"); }
  void Blit(Image*, float, float, const Rect&, const Color& color, int, bool linear) override {
    RendererCall call;
    call.name = "Blit";
    call.linear = linear;
    call.color = color;
    mCalls->push_back(call);
  }
  void BlitTransformed(Image*, const Matrix3x3& m, const Rect&, const Color& color, int, const Rect* clip, float, float,
                       bool linear, bool) override {
    RendererCall call{"BlitTransformed", m, linear, clip != nullptr, color};
    mCalls->push_back(call);
  }
  void BlitTriangles(Image*, const TriVertex (*)[3], int, const Rect&, const Color&, int, float, float, bool) override {
    Record("BlitTriangles");
  }

 private:
  void Record(const char* name) {
    RendererCall call;
    call.name = name;
    mCalls->push_back(call);
  }
};

class DisplayTest : public ::testing::Test {
 protected:
  FakeDisplayHost mHost;
  std::vector<RendererCall> mCalls;
  RecordingRenderer* mRenderer = nullptr;
  std::unique_ptr<DDInterface> mDisplay;
  HWND mWindow = nullptr;

  void SetUp() override {
    Backend::Install(std::make_unique<HeadlessBackend>());
    DDrawSettings::Reset();
    DDInterface::sRgbOrder = false;
    OpenWindow();
  }

  static LRESULT Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  // An 800 x 600 popup: its client area is the windowed primary.
  void OpenWindow() {
    WNDCLASSW wc;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = L"DisplayTestWindow";
    RegisterClassW(&wc);
    mWindow =
        CreateWindowExW(0, L"DisplayTestWindow", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mWindow, nullptr);
  }
  void TearDown() override {
    mDisplay.reset();
    DDrawSettings::Reset();
    ModuleTable::ShowAll();
  }

  void SetDesktop(int w, int h) {
    auto backend = std::make_unique<HeadlessBackend>();
    DisplayInfo info = backend->Display();
    info.desktop.width = w;
    info.desktop.height = h;
    backend->SetDisplay(info);
    Backend::Install(std::move(backend));
    OpenWindow();
  }

  void MakeDisplay(bool withRenderer) {
    auto renderer = withRenderer ? std::make_unique<RecordingRenderer>(&mCalls) : nullptr;
    mRenderer = renderer.get();
    mDisplay = std::make_unique<DDInterface>(&mHost, std::move(renderer));
    mHost.mDisplay = mDisplay.get();
  }

  // A windowed (or full-screen) display of the given depth; 3-D only with a renderer.
  int Start(int bits = 32, bool with3D = false, bool windowed = true) {
    DDrawSettings::Get().desktopBits = bits;
    MakeDisplay(with3D);
    return mDisplay->Init(mWindow, windowed);
  }

  std::unique_ptr<DDImage> Image(int w, int h, const std::vector<uint32_t>& pixels) {
    auto image = std::make_unique<DDImage>(mDisplay.get());
    image->SetPixels(pixels.data(), w, h, true);
    return image;
  }

  // A plain image whose surface holds the picture; the bits are gone.
  std::unique_ptr<DDImage> SurfaceImage(int w, int h, uint32_t argb) {
    auto image = Image(w, h, std::vector<uint32_t>(static_cast<size_t>(w) * h, argb));
    EXPECT_NE(image->GetSurface(), nullptr);
    image->FreeNonSurfaceData();
    return image;
  }

 public:
  static uint32_t SurfacePixel(IDirectDrawSurface* s, int x, int y) {
    DDSURFACEDESC d;
    EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    const uint8_t* row = static_cast<uint8_t*>(d.lpSurface) + static_cast<size_t>(y) * d.lPitch;
    const uint32_t v = d.ddpfPixelFormat.dwRGBBitCount == 16 ? reinterpret_cast<const uint16_t*>(row)[x]
                                                             : reinterpret_cast<const uint32_t*>(row)[x];
    s->Unlock(nullptr);
    return v;
  }

  static void SetSurfacePixel(IDirectDrawSurface* s, int x, int y, uint32_t v) {
    DDSURFACEDESC d;
    ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    uint8_t* row = static_cast<uint8_t*>(d.lpSurface) + static_cast<size_t>(y) * d.lPitch;
    if (d.ddpfPixelFormat.dwRGBBitCount == 16) {
      reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(v);
    } else {
      reinterpret_cast<uint32_t*>(row)[x] = v;
    }
    s->Unlock(nullptr);
  }

  static void FillSurface(IDirectDrawSurface* s, uint32_t v) {
    DDSURFACEDESC d;
    ASSERT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DD_OK);
    for (DWORD y = 0; y < d.dwHeight; ++y) {
      uint8_t* row = static_cast<uint8_t*>(d.lpSurface) + static_cast<size_t>(y) * d.lPitch;
      for (DWORD x = 0; x < d.dwWidth; ++x) {
        if (d.ddpfPixelFormat.dwRGBBitCount == 16) {
          reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(v);
        } else {
          reinterpret_cast<uint32_t*>(row)[x] = v;
        }
      }
    }
    s->Unlock(nullptr);
  }

  std::vector<std::string> CallNames() const {
    std::vector<std::string> names;
    for (const RendererCall& c : mCalls)
      if (c.name != "EndScene") names.push_back(c.name);
    return names;
  }
};

}  // namespace Velk::Testing
