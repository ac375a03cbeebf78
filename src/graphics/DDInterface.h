#pragma once
// The display: the DirectDraw objects and surfaces, the draw buffer every frame is drawn into and
// its screen image, the set of live surface images, the display's pixel format and tables, the
// letterboxing on wide desktops, presenting each frame, and a software mouse cursor drawn over it.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/CriticalSection.h"
#include "common/Fraction.h"
#include "graphics/DisplayRenderer.h"
#include "graphics/NativeDisplay.h"
#include "graphics/Rect.h"
#include "platform/ddraw/DDraw.h"

namespace Velk {

class DDImage;
class DisplayCapabilityTest;
class DisplayHost;
class Image;
class MemoryImage;

class DDInterface : public NativeDisplay {
 public:
  enum Result {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DD_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4,
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
    RESULT_3D_FAIL = 7,
  };
  using TesterFactory = std::function<std::unique_ptr<DisplayCapabilityTest>()>;

  // The entry points found in ddraw.dll; either may be missing.
  static DirectDrawCreateFunc sDirectDrawCreate;
  static DirectDrawCreateExFunc sDirectDrawCreateEx;
  // Blue mask < green mask < red mask on the display; the surface loops read it.
  static std::atomic<bool> sRgbOrder;

  DisplayHost* mApp;
  std::unique_ptr<DisplayRenderer> mRenderer;
  std::unique_ptr<DisplayCapabilityTest> mTester;
  TesterFactory mTesterFactory;
  bool mIs3D = true;
  CriticalSection mCritSect;
  std::atomic<bool> mPresenting{false};
  IDirectDraw* mDD = nullptr;
  IDirectDraw7* mDD7 = nullptr;
  IDirectDrawSurface* mPrimarySurface = nullptr;
  IDirectDrawSurface* mSecondarySurface = nullptr;
  IDirectDrawSurface* mDrawSurface = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  Fraction mAspect;
  int mDesktopWidth = 0;
  int mDesktopHeight = 0;
  Fraction mDesktopAspect;
  bool mIsAspectCorrected = false;
  int mDisplayWidth = 0;
  int mDisplayHeight = 0;
  Fraction mDisplayAspect;
  Rect mPresentationRect;
  int mFullscreenBits = 32;
  int mRefreshRate = 60;
  int mMillisecondsPerFrame = 16;
  int mScanLineFailCount = 0;
  std::vector<uint32_t> mRedAddTable;
  std::vector<uint32_t> mGreenAddTable;
  std::vector<uint32_t> mBlueAddTable;
  uint32_t mRedConvTable[256] = {};
  uint32_t mGreenConvTable[256] = {};
  uint32_t mBlueConvTable[256] = {};
  bool mInitialized = false;
  HWND mHWnd = nullptr;
  bool mIsWindowed = true;
  std::unique_ptr<DDImage> mScreenImage;
  std::set<DDImage*> mDDImageSet;
  bool mVideoOnlyDraw = false;
  uint32_t mInitCount = 0;
  int mCursorWidth = 64;
  int mCursorHeight = 64;
  std::atomic<int> mCursorX{0};  // written by the cursor thread
  std::atomic<int> mCursorY{0};
  int mCursorDrawnX = 0;
  int mCursorDrawnY = 0;
  Image* mCursorImage = nullptr;
  bool mHasOldCursorArea = false;
  IDirectDrawSurface* mOldCursorArea = nullptr;
  IDirectDrawSurface* mNewCursorArea = nullptr;
  std::unique_ptr<DDImage> mOldCursorAreaImage;
  std::unique_ptr<DDImage> mNewCursorAreaImage;
  std::string mErrorString;

  explicit DDInterface(DisplayHost* app, std::unique_ptr<DisplayRenderer> renderer = nullptr);
  ~DDInterface() override;
  DDInterface(const DDInterface&) = delete;
  DDInterface& operator=(const DDInterface&) = delete;

  int Init(HWND hwnd, bool isWindowed);
  static std::string ResultName(int result);
  // True (and the error text set) when the result is a failure.
  bool CheckResult(HRESULT result, const char* call);
  HRESULT CreateSurface(DDSURFACEDESC2* desc, IDirectDrawSurface** surface, IUnknown* outer);
  void ClearSurface(IDirectDrawSurface* surface);
  void Cleanup();
  DDImage* GetScreenImage() { return mScreenImage.get(); }
  void AddImage(DDImage* image);
  void RemoveImage(DDImage* image);
  void SetVideoMemoryDraw(bool on);
  void ForgetImageTextures(MemoryImage* image);
  bool SetCursorImage(Image* image);
  void MoveCursor(int x, int y);
  bool Present(const Rect* area);
  // The draw buffer's point under a pixel of the window's client area, through the presentation
  // rectangle, as the widget manager maps the mouse.
  POINT ToDrawBuffer(int x, int y);

  bool IsCursorArea(const DDImage* image) const;
  // The additive clamp table of channel 0 (red), 1 (green) or 2 (blue).
  const uint32_t* AddTableFor(int channel) const;

 private:
  bool Decide3D();
  void SetUpSizes(HWND hwnd, bool isWindowed);
  int InitWindowed();
  int InitFullScreen();
  int CreateDrawSurface(const char* call);
  int AttachClipper(const char* call);
  void ReadRefreshRate();
  int CreateCursorAreas();
  int ReadPixelFormat();
  void CorrectWindowAspect();
  void FollowPrimarySize();
  HRESULT BlitFrame(IDirectDrawSurface* target, IDirectDrawSurface* source, RECT dst, RECT src, DWORD flags,
                    DDBLTFX* fx);
  HRESULT PresentWindowed(RECT& src, RECT& dst, DWORD flags, DDBLTFX* fx);
  HRESULT SplitBlit(RECT& src, RECT& dst, DWORD flags, DDBLTFX* fx);
  HRESULT BltWithRetry(IDirectDrawSurface* target, RECT dst, IDirectDrawSurface* source, RECT src);
  void DrawCursorTo(IDirectDrawSurface* target);
  void RestoreCursorArea(IDirectDrawSurface* target);
  void MoveDrawnCursor(int x, int y);
  struct CursorPlace {
    RECT onTarget;
    RECT inArea;
    int areaX;  // the whole area's corner on the target
    int areaY;
  };
  POINT OnDisplay(int x, int y) const;
  bool IsDisplaySurface(IDirectDrawSurface* target) const;
  CursorPlace PlaceCursor(int x, int y, IDirectDrawSurface* target) const;
  void DrawCursorInto(DDImage* area, int offsetX, int offsetY);
};

}  // namespace Velk
