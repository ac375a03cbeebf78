#pragma once
// Decides once per start of the display whether the 3-D road may be used: identifies the card and
// its driver, checks the video memory and the card lists, then draws five test pictures on a small
// device and compares what comes back. The verdict is a failure reason (3-D must not be used) and a
// warning (3-D works but is doubtful).
#include <exception>
#include <string>

#include "graphics/D3DTestImage.h"
#include "graphics/DisplayHost.h"
#include "platform/d3d/D3D.h"

namespace Velk {

class D3DTester : public DisplayCapabilityTest {
 public:
  class TestException : public std::exception {
   public:
    explicit TestException(std::string message) : mMessage(std::move(message)) {}
    const char* what() const noexcept override { return mMessage.c_str(); }
    std::string mMessage;
  };

  // Whether the device takes A8R8G8B8 textures; the tile drawing reads it.
  static bool sUse32BitTextures;

  IDirectDraw7* mDD = nullptr;
  IDirectDrawSurface7* mPrimarySurface = nullptr;
  IDirectDrawSurface7* mTexture = nullptr;
  IDirectDrawSurface7* mTexture2 = nullptr;
  IDirect3D7* mD3D = nullptr;
  IDirect3DDevice7* mD3DDevice = nullptr;
  GUID mDisplayGUID;
  std::string mDriver;
  std::string mDescription;
  D3DTestImage mTestImage;
  std::string mFailureReason;
  std::string mWarning;
  DWORD mMinVidMemory = 0;
  DWORD mRecommendedVidMemory = 0;
  bool mNoStoredFailureReason = false;
  int mDriverYear = 0;

  D3DTester() = default;
  ~D3DTester() override;
  D3DTester(const D3DTester&) = delete;
  D3DTester& operator=(const D3DTester&) = delete;

  void SetVidMemoryLimits(DWORD minimum, DWORD recommended);
  void Run(HWND window, IDirectDraw7* directDraw);
  bool Init(HWND window, IDirectDraw7* directDraw);
  void Cleanup();
  bool SetFailureReason(const std::string& reason);
  bool SetWarning(const std::string& warning);
  void CheckResult(HRESULT result, const char* what);
  bool IsCardSupported(const std::string& description);
  bool GetD3D8AdapterInfo();

  void Run(HWND window, IDirectDraw7* directDraw, DWORD minVideoMemory, DWORD recVideoMemory) override;
  std::string GetFailureReason() override { return mFailureReason; }
  std::string GetWarning() override { return mWarning; }
  bool NoStoredFailureReason() override { return mNoStoredFailureReason; }

 private:
  struct BlendTest;

  void InitSteps(HWND window, IDirectDraw7* directDraw);
  bool CheckVideoMemory();
  void ReadDriverYear();
  void CreateTestObjects(HWND window);
  bool RunTests();
  bool RunBlendTest(const BlendTest& test);
  bool RunClipTest();
  void BeginTest(DWORD srcBlend, const char* srcLabel, DWORD destBlend, const char* destLabel);
  void DrawImage(float x, float y, DWORD color);
  void DrawTile(float x, float y, int sx, int sy, int w, int h, DWORD color);
  void CopyPrimary();
};

}  // namespace Velk
